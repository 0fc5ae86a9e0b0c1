// The demo data set: reproducible, referentially sound, and shaped so that every report of the module
// has lines for company 1 in the default period (October to December 2026).
#include "DemoGenerator.h"
#include "GeneralError.h"
#include "Schema.h"
#include "SchemaTestUtil.h"
#include "SqlBackend.h"
#include "TestSupport.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using schematest::scalar;

namespace {

// Generates seed/scale into a new SQLite file and returns the open connection's name.
QString generate(quint64 seed, int scale, DemoSummary* summary = nullptr) {
    const QString name = Schema::createSqliteFile(schematest::freshPath(QStringLiteral("demo")), false);
    QSqlDatabase db = QSqlDatabase::database(name, false);
    const DemoSummary result = DemoGenerator(seed, scale).fill(db);
    if (summary)
        *summary = result;
    return name;
}

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_name = generate(DemoGenerator::kDefaultSeed, 1, &s_summary); }
    static void TearDownTestSuite() {
        QSqlDatabase::database(s_name, false).close();
        QSqlDatabase::removeDatabase(s_name);
    }
    static QSqlDatabase db() { return QSqlDatabase::database(s_name, false); }
    static qint64 count(const QString& sql) { return scalar(db(), sql).toLongLong(); }

    static QString s_name;
    static DemoSummary s_summary;
};

QString DemoDatabase::s_name;
DemoSummary DemoDatabase::s_summary;

TEST_F(DemoDatabase, SummaryCountsTheRowsWritten) {
    ASSERT_EQ(s_summary.rows.size(), Schema::tableNames().size());
    for (const auto& [table, rows] : s_summary.rows) {
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), rows) << table.toStdString();
        EXPECT_GT(rows, 0) << table.toStdString() << " is empty";
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM BI_EMPLE"), DemoGenerator(1, 1).employeeCount());
    EXPECT_EQ(DemoGenerator(1, 3).employeeCount(), 3 * DemoGenerator(1, 1).employeeCount());
}

TEST_F(DemoDatabase, SecondaryIndexesExistAfterTheLoad) {
    EXPECT_EQ(count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name LIKE 'IX_%'"),
              Schema::statements(Schema::Part::Indexes).size());
    EXPECT_GT(count("SELECT COUNT(*) FROM sqlite_master WHERE name = 'sqlite_stat1'"), 0); // analysed
}

// Every row of a table finds the row it refers to. The join is given as the key columns shared with the
// company, or as a condition between the referring row C and the referred row P.
TEST_F(DemoDatabase, EveryReferenceFindsItsRow) {
    const struct {
        const char* table;
        const char* referred;
        const char* on;
    } references[] = {
        {"NM_ACUMU", "NM_CONTR", "COD_EMPL NRO_CONT"},
        {"NM_PRENO", "NM_CONTR", "COD_EMPL NRO_CONT"},
        {"NM_ACUMU", "NM_CONCE", "COD_CONC"},
        {"NM_PRENO", "NM_CONCE", "COD_CONC"},
        {"NM_CONTR", "BI_EMPLE", "COD_EMPL"},
        {"NM_CONTR", "BI_CARGO", "COD_CARG"},
        {"NM_CONTR", "GN_CCOST", "COD_CCOS"},
        {"NM_CONTR", "NM_TNOMI", "COD_TNOM"},
        {"NM_CONTR", "NM_CENTP", "COD_CENP"},
        {"NM_CONTR", "GN_NIVEL",
         "P.COD_EMPR = C.COD_EMPR AND P.COD_ARBO = C.COD_ARBO AND P.IDE_ARBO = C.IDE_ARBO AND "
         "P.COD_NIVE = C.COD_NIV1 AND P.NUM_NIVE = 1"},
        {"NM_CONTR", "NM_TPROT", "P.COD_EMPR = C.COD_EMPR AND P.COD_PROT = C.COD_GPRO"},
        {"NM_PROTO", "NM_CONCE", "COD_CONC"},
        {"NM_CDTOR", "NM_SERVI", "P.COD_EMPR = C.COD_EMPR AND P.COD_SERV = C.COD_SBAS"},
        {"NM_PROPA", "NM_BEPRO", "COD_PROV"},
        {"NM_PARSS", "GN_DIVIP",
         "P.COD_PAIS = C.COD_PAIS AND P.COD_DPTO = C.COD_DPTO AND P.COD_MPIO = 0 AND P.COD_LOCA = 0"},
        {"SL_REQPF", "AC_ESPEC",
         "P.COD_EMPR = C.COD_EMPR AND P.TIP_REGI = C.COD_REGI AND P.TIP_APLI = C.TIP_APLI AND "
         "P.COD_REQU = C.COD_REQU AND P.COD_ESPE = C.COD_ESPE"},
        {"SL_INCOA", "RL_EMPLE", "P.COD_EMPR = C.COD_EMPR AND P.COD_EMPL = C.COD_ASPI"},
    };
    for (const auto& r : references) {
        QString on = QString::fromLatin1(r.on);
        if (!on.contains(u'=')) {
            QStringList conditions{QStringLiteral("P.COD_EMPR = C.COD_EMPR")};
            for (const QString& key : on.split(u' '))
                conditions << QStringLiteral("P.%1 = C.%1").arg(key);
            on = conditions.join(QStringLiteral(" AND "));
        }
        EXPECT_EQ(
            count(QStringLiteral("SELECT COUNT(*) FROM %1 C WHERE NOT EXISTS (SELECT 1 FROM %2 P WHERE %3)")
                      .arg(QString::fromLatin1(r.table), QString::fromLatin1(r.referred), on)),
            0)
            << r.table << " -> " << r.referred;
    }
}

TEST_F(DemoDatabase, PayrollRowsAgreeWithTheirContracts) {
    for (const char* table : {"NM_ACUMU", "NM_PRENO"}) {
        SCOPED_TRACE(table);
        const QString withContract =
            QStringLiteral("SELECT COUNT(*) FROM %1 P JOIN NM_CONTR CT ON CT.COD_EMPR = P.COD_EMPR AND "
                           "CT.COD_EMPL = P.COD_EMPL AND CT.NRO_CONT = P.NRO_CONT WHERE %2");
        // Class and cost centre of the row are those of its contract.
        EXPECT_EQ(count(withContract.arg(table, "CT.COD_TNOM <> P.COD_TNOM OR CT.COD_CCOS <> P.COD_CCOS")),
                  0);
        // Nothing is paid in a month before the hiring or after the leaving.
        EXPECT_EQ(count(withContract.arg(table, "substr(P.FEC_ACUM, 1, 7) < substr(CT.FEC_INGR, 1, 7) OR "
                                                "(CT.FEC_DEJA IS NOT NULL AND substr(P.FEC_ACUM, 1, 7) > "
                                                "substr(CT.FEC_DEJA, 1, 7))")),
                  0);
        EXPECT_EQ(
            count(QStringLiteral(
                      "SELECT COUNT(*) FROM %1 WHERE typeof(FEC_ACUM) <> 'text' OR length(FEC_ACUM) <> 10")
                      .arg(table)),
            0);
    }
    // Closed runs up to the cut, open runs after it: the reports pick their source by that date.
    const QString cut = isoDate(DemoGenerator::lastClosedDay());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NM_ACUMU WHERE FEC_ACUM > '%1'").arg(cut)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NM_PRENO WHERE FEC_ACUM <= '%1'").arg(cut)), 0);
}

// Rows of company 1 that each report of the default period (October to December 2026) shows.
TEST_F(DemoDatabase, EveryReportOfThePeriodHasRowsToShow) {
    const std::pair<const char*, const char*> present[] = {
        {"NM_PRENO", "FEC_ACUM >= '2026-10-01' AND FEC_ACUM <= '2026-12-31'"},
        {"NM_ACUMU", "FEC_ACUM >= '2026-12-01' AND FEC_ACUM <= '2026-12-31'"},
        // The same month a year earlier, for the human-management comparison (closed payroll only).
        {"NM_ACUMU", "FEC_ACUM >= '2025-12-01' AND FEC_ACUM <= '2025-12-31'"},
        {"NM_CONTR", "FEC_INGR >= '2026-10-01' AND FEC_INGR <= '2026-12-31'"},
        {"NM_CONTR", "IND_ACTI = 'I' AND FEC_DEJA >= '2026-10-01' AND FEC_DEJA <= '2026-12-31'"},
        {"NM_CONTR", "IND_ACTI = 'A' AND FEC_VENC >= '2026-10-01' AND FEC_VENC <= '2026-12-31'"},
        {"NM_CONTR", "IND_ACTI = 'A' AND FEC_INGR < '2026-10-01' AND FEC_VENC > '2026-12-31'"},
        {"NM_CONTR", "IND_ACTI = 'R'"},
        {"NM_CONTR", "TIP_CONT = 'I'"},
        {"NM_CONTR", "TIP_CONT = 'F'"},
        {"NM_CONTR", "TIP_CONT = 'S'"},
        {"NM_VACAC", "FEC_DIS1 <= '2026-12-31' AND FEC_DIS2 >= '2026-10-01'"},
        {"NM_INCAP", "FEC_DESD <= '2026-12-31' AND FEC_HAST >= '2026-10-01'"},
        {"NM_CONVA", "FEC_CONS >= '2026-10-01' AND FEC_CONS <= '2026-12-31'"},
        {"AC_PLANT", "COD_EMPL = 0"},
        {"NM_COMLI", "TIP_COMI = 'N' AND FEC_COMI >= '2026-10-01'"},
        {"NM_NOVED", "COD_CONC = 51 AND SAL_NOVE > 0"},
        // Settlement differences of both signs for the entities the novelty report reads.
        {"NM_CINCA", "TIP_ENTI = 'EPS' AND DIF_DOCT > 0"},
        {"NM_CINCA", "TIP_ENTI = 'EPS' AND DIF_DOCT < 0"},
        {"NM_CINCA", "TIP_ENTI = 'ARP' AND DIF_DOCT > 0"},
        {"NM_CINCA", "TIP_ENTI = 'ARP' AND DIF_DOCT < 0"},
        {"SL_REQPE", "SUE_PROP = 0"},
        {"NM_CDTOR", "COD_CTOR > 0"},
        // The accounts of the novelty reconciliation and the levy positions.
        {"NM_PRTGE", "TIP_PARA = 'CN'"},
        {"NM_PRTGE", "TIP_PARA = 'PF'"},
    };
    for (const auto& [table, condition] : present)
        EXPECT_GT(
            count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE COD_EMPR = 1 AND %2").arg(table, condition)),
            0)
            << table << ": " << condition;
}

// Contributions, levies and the ledger are derived from the payroll rows, not drawn apart from them.
TEST_F(DemoDatabase, ContributionsAndLedgerAgreeWithThePayroll) {
    const auto month = [](const char* table, const char* column, const char* where) {
        return QStringLiteral("SELECT COALESCE(SUM(%2), 0) FROM %1 WHERE COD_EMPR = 1 AND %3")
            .arg(QString::fromLatin1(table), QString::fromLatin1(column), QString::fromLatin1(where));
    };
    const double health = scalar(db(), month("NM_AUTOL", "CSA_EMPL", "FEC_PROC = '2026-10-31'")).toDouble();
    const double deducted =
        scalar(db(), month("NM_ACUMU", "VAL_ACUM",
                           "COD_CONC = 10 AND FEC_ACUM >= '2026-10-01' AND FEC_ACUM <= '2026-10-31'"))
            .toDouble();
    EXPECT_GT(health, 0);
    EXPECT_DOUBLE_EQ(health, deducted);

    const double net =
        scalar(db(),
               "SELECT SUM(CASE C.TIP_CONC WHEN 'I' THEN A.VAL_ACUM WHEN 'E' THEN -A.VAL_ACUM ELSE 0 END) "
               "FROM NM_ACUMU A JOIN NM_CONCE C ON C.COD_EMPR = A.COD_EMPR AND C.COD_CONC = A.COD_CONC "
               "WHERE A.COD_EMPR = 1 AND A.FEC_ACUM >= '2026-10-01' AND A.FEC_ACUM <= '2026-10-31'")
            .toDouble();
    const double accrued =
        scalar(db(), "SELECT VAL_CRED FROM V_SALDOS_CONTABLES WHERE COD_EMPR = 1 AND ANO_ACUM = 2026 "
                     "AND MES_ACUM = 10 AND COD_CUEN = '250505' AND NAT_CUEN = 'C'")
            .toDouble();
    EXPECT_GT(net, 0);
    EXPECT_NEAR(accrued, net, 1.0);

    // The 2026 opening balance of a balance-sheet account is its 2025 closing balance.
    const double closing2025 =
        scalar(db(), "SELECT SUM(VAL_CRED - VAL_DEBI) FROM V_SALDOS_CONTABLES WHERE COD_EMPR = 1 "
                     "AND ANO_ACUM = 2025 AND COD_CUEN = '237005'")
            .toDouble();
    const double opening2026 =
        scalar(db(), "SELECT VAL_CRED - VAL_DEBI FROM V_SALDOS_CONTABLES WHERE COD_EMPR = 1 "
                     "AND ANO_ACUM = 2026 AND MES_ACUM = 0 AND COD_CUEN = '237005'")
            .toDouble();
    EXPECT_NEAR(opening2026, closing2025, 1.0);
}

// The same seed gives the same file down to the bytes; another seed gives other data.
TEST(DemoGenerator, SameSeedSameFileOtherSeedOtherData) {
    QList<QByteArray> files;
    for (quint64 seed : {777, 777, 778}) {
        const QString name = generate(seed, 1);
        QFile file(QSqlDatabase::database(name, false).databaseName());
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
        files << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    EXPECT_FALSE(files[0].isEmpty());
    EXPECT_TRUE(files[0] == files[1]);
    EXPECT_FALSE(files[0] == files[2]);
}

TEST(DemoGenerator, RefusesANonPositiveScale) {
    EXPECT_EQ(testsupport::errorOf([] { DemoGenerator(1, 0); }),
              QStringLiteral("La escala debe ser un número entero mayor que cero."));
}

// Every report header prints the company's logo.
TEST(DemoGenerator, ALogoIsAPngThatDependsOnlyOnTheInitialsAndTheColour) {
    EXPECT_FALSE(QImage::fromData(DemoGenerator::companyLogo("STA", 0x1F4E79), "PNG").isNull());
    EXPECT_EQ(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("sta", 0x1F4E79));
    EXPECT_NE(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("STB", 0x1F4E79));
    EXPECT_NE(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("STA", 0x1F4E7A));
}

} // namespace
