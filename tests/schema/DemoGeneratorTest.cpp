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
#include <QSqlQuery>
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
}

TEST_F(DemoDatabase, BothPayrollSourcesCoverTheDefaultPeriod) {
    // Closed runs up to the cut, open runs after it.
    const QString cut = isoDate(DemoGenerator::lastClosedDay());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NM_ACUMU WHERE FEC_ACUM > '%1'").arg(cut)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NM_PRENO WHERE FEC_ACUM <= '%1'").arg(cut)), 0);
    // Every payroll kind occurs in the period, between the two sources.
    QSqlQuery kinds(db());
    ASSERT_TRUE(kinds.exec(
        "SELECT DISTINCT TIP_NOMI FROM (SELECT TIP_NOMI FROM NM_ACUMU WHERE COD_EMPR = 1 AND "
        "FEC_ACUM >= '2026-10-01' UNION SELECT TIP_NOMI FROM NM_PRENO WHERE COD_EMPR = 1) ORDER BY 1"));
    QString found;
    while (kinds.next())
        found += kinds.value(0).toString();
    EXPECT_EQ(found, QStringLiteral("ACDNPVX"));
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
    };
    for (const auto& [table, condition] : present)
        EXPECT_GT(
            count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE COD_EMPR = 1 AND %2").arg(table, condition)),
            0)
            << table << ": " << condition;
}

// The temporary-staff report finds user companies by name: a level-1 unit or a selection group whose
// name begins a company's name.
TEST_F(DemoDatabase, UserCompaniesAreFoundByNamePrefix) {
    const QString byLevel =
        QStringLiteral("SELECT COUNT(*) FROM GN_NIVEL GN JOIN GN_EMPRE EMP ON "
                       "UPPER(LTRIM(RTRIM(EMP.NOM_EMPR))) LIKE UPPER(LTRIM(RTRIM(GN.NOM_NIVE))) || '%' "
                       "WHERE GN.COD_EMPR = 1 AND GN.NUM_NIVE = 1 AND EMP.COD_EMPR %1");
    EXPECT_EQ(count(byLevel.arg("<> 1")), 3); // one unit per user company
    EXPECT_EQ(count(byLevel.arg("= 1")), 0);  // the own staff is no user company
    const QString byGroup =
        QStringLiteral("SELECT COUNT(DISTINCT EMP.COD_EMPR) FROM SL_GRSEL GS JOIN GN_EMPRE EMP ON "
                       "UPPER(LTRIM(RTRIM(EMP.NOM_EMPR))) LIKE UPPER(LTRIM(RTRIM(GS.DES_GRSE))) || '%' WHERE "
                       "GS.COD_EMPR = 1");
    EXPECT_EQ(count(byGroup), 3);
    // Workers are sent to them in the period.
    EXPECT_GT(count("SELECT COUNT(*) FROM NM_CONTR CT JOIN GN_NIVEL GN ON GN.COD_EMPR = CT.COD_EMPR AND "
                    "GN.COD_NIVE = CT.COD_NIV1 AND GN.NUM_NIVE = 1 JOIN GN_EMPRE EMP ON "
                    "UPPER(EMP.NOM_EMPR) LIKE UPPER(RTRIM(GN.NOM_NIVE)) || '%' WHERE CT.COD_EMPR = 1 AND "
                    "CT.IND_ACTI = 'A'"),
              0);
    // One user company has its department but no municipality.
    EXPECT_EQ(count("SELECT COUNT(*) FROM NM_PARSS WHERE COD_DPTO IS NOT NULL AND COD_MPIO IS NULL"), 1);
}

TEST_F(DemoDatabase, ReportParametersPointAtExistingData) {
    // Novelty rows: every known kind plus one unknown, prototypes that exist, one account missing from the
    // ledger.
    QSqlQuery kinds(db());
    ASSERT_TRUE(kinds.exec(
        "SELECT DISTINCT TIP_NOVE FROM NM_PRTGE WHERE COD_EMPR = 1 AND TIP_PARA = 'CN' ORDER BY 1"));
    QStringList found;
    while (kinds.next())
        found << kinds.value(0).toString();
    EXPECT_EQ(found, QStringList({"ARP", "EPS", "NOV", "OTR", "PRP"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM NM_PRTGE PG LEFT JOIN NM_TPROT TP ON TP.COD_EMPR = PG.COD_EMPR AND "
                    "TP.COD_PROT = PG.COD_PROT WHERE PG.TIP_PARA = 'CN' AND TP.COD_PROT IS NULL"),
              0);
    EXPECT_EQ(
        count(
            "SELECT COUNT(*) FROM NM_PRTGE PG LEFT JOIN CT_CUENT CU ON CU.COD_EMPR = PG.COD_EMPR AND "
            "CU.COD_CUEN = PG.COD_CUEN WHERE PG.COD_EMPR = 1 AND PG.TIP_PARA = 'CN' AND CU.COD_CUEN IS NULL"),
        1);
    // Levy positions are position codes held in the class column.
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM NM_PRTGE PG LEFT JOIN BI_CARGO CG ON CG.COD_EMPR = PG.COD_EMPR AND "
              "CG.COD_CARG = CAST(PG.COD_TNOM AS TEXT) WHERE PG.TIP_PARA = 'PF' AND CG.COD_CARG IS NULL"),
        0);
    EXPECT_GT(count("SELECT COUNT(*) FROM NM_PRTGE WHERE COD_EMPR = 1 AND TIP_PARA = 'PF'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM NM_PRTGE PG LEFT JOIN NM_TNOMI TN ON TN.COD_EMPR = PG.COD_EMPR AND "
                    "TN.COD_TNOM = PG.COD_TNOM WHERE PG.TIP_PARA = 'GH' AND TN.COD_TNOM IS NULL"),
              0);
    // The levy providers of the parameters exist and are active.
    for (const char* column : {"COD_SENA", "COD_ICBF", "COD_CDCF"})
        EXPECT_EQ(
            count(QStringLiteral(
                      "SELECT COUNT(*) FROM NM_PARIN PI LEFT JOIN NM_BEPRO BP ON BP.COD_EMPR = PI.COD_EMPR "
                      "AND BP.COD_PROV = PI.%1 AND BP.IND_PROV = 'A' WHERE BP.COD_PROV IS NULL")
                      .arg(column)),
            0)
            << column;
}

TEST_F(DemoDatabase, RequisitionsCarryEveryApplicantOutcome) {
    for (const char* pair : {"EE", "SE", "NN", "ES", "SS"})
        EXPECT_GT(
            count(QStringLiteral(
                      "SELECT COUNT(*) FROM SL_REQPE RQ JOIN SL_INCOA CA ON CA.COD_EMPR = RQ.COD_EMPR AND "
                      "CA.COD_GRSE = RQ.COD_GRSE AND CA.COD_REQS = RQ.COD_REQS AND CA.COD_CARP = RQ.COD_CARP "
                      "WHERE RQ.COD_EMPR = 1 AND RQ.FEC_SOLI >= '2026-10-01' AND CA.EST_SELE = '%1' AND "
                      "CA.DES_GERE = '%2'")
                      .arg(QChar(pair[0]), QChar(pair[1]))),
            0)
            << pair;
    // Those selected and approved hold an active contract in the requisition's cost centre.
    EXPECT_EQ(count("SELECT COUNT(*) FROM SL_REQPE RQ JOIN SL_INCOA CA ON CA.COD_EMPR = RQ.COD_EMPR AND "
                    "CA.COD_GRSE = RQ.COD_GRSE AND CA.COD_REQS = RQ.COD_REQS AND CA.COD_CARP = RQ.COD_CARP "
                    "WHERE CA.EST_SELE = 'S' AND CA.DES_GERE = 'E' AND NOT EXISTS (SELECT 1 FROM NM_CONTR CT "
                    "WHERE CT.COD_EMPL = CA.COD_ASPI AND CT.COD_CCOS = RQ.COD_CCOS AND CT.IND_ACTI = 'A')"),
              0);
    EXPECT_GT(
        count(
            "SELECT COUNT(*) FROM SL_REQPE RQ WHERE COD_EMPR = 1 AND FEC_SOLI >= '2026-10-01' AND NOT EXISTS "
            "(SELECT 1 FROM SL_REQPF PF WHERE PF.COD_EMPR = RQ.COD_EMPR AND PF.COD_GRSE = RQ.COD_GRSE AND "
            "PF.COD_REQS = RQ.COD_REQS AND PF.COD_REGI = 'E')"),
        0);
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

TEST_F(DemoDatabase, DriversAreTypedAndGroupedByTheCommissionPrototype) {
    EXPECT_EQ(count("SELECT COUNT(*) FROM NM_CDTOR WHERE TIP_CTOR NOT IN ('1', '2', '3', '4', '5')"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM NM_CDTOR CD JOIN NM_CONTR CT ON CT.COD_EMPR = CD.COD_EMPR AND "
                    "CT.COD_EMPL = CD.COD_CTOR WHERE NOT EXISTS (SELECT 1 FROM NM_PROTO PR WHERE PR.COD_EMPR "
                    "= CT.COD_EMPR "
                    "AND PR.COD_PROT = CT.COD_GPRO AND PR.COD_CONC = 60)"),
              0);
}

TEST_F(DemoDatabase, CompanyLogosArePngImages) {
    QSqlQuery logos(db());
    ASSERT_TRUE(logos.exec("SELECT BMP_REPO FROM GN_EMPRE ORDER BY COD_EMPR"));
    QList<QByteArray> seen;
    while (logos.next()) {
        const QByteArray bytes = logos.value(0).toByteArray();
        QImage image;
        ASSERT_TRUE(image.loadFromData(bytes, "PNG"));
        EXPECT_EQ(image.size(), QSize(240, 100));
        EXPECT_FALSE(seen.contains(bytes));
        seen << bytes;
    }
    EXPECT_EQ(seen.size(), 4);
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

TEST(DemoGenerator, ALogoDependsOnlyOnTheInitialsAndTheColour) {
    EXPECT_EQ(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("sta", 0x1F4E79));
    EXPECT_NE(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("STB", 0x1F4E79));
    EXPECT_NE(DemoGenerator::companyLogo("STA", 0x1F4E79), DemoGenerator::companyLogo("STA", 0x1F4E7A));
}

} // namespace
