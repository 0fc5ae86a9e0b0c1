// The DDL: how the script splits into statements, and what it creates on SQLite.
#include "Schema.h"
#include "FixtureWriter.h"
#include "GeneralError.h"
#include "SchemaTestUtil.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using schematest::columnsOf;
using schematest::scalar;

namespace {

struct SplitCase {
    const char* name;
    const char* script;
    QStringList expected; // compared after collapsing runs of blanks
};

TEST(SchemaSplit, SplitsAtSemicolonsOutsideQuotesAndComments) {
    const SplitCase cases[] = {
        {"two statements", "SELECT 1; SELECT 2;", {"SELECT 1", "SELECT 2"}},
        {"last without semicolon", "SELECT 1;\nSELECT 2", {"SELECT 1", "SELECT 2"}},
        {"semicolon in text",
         "INSERT INTO T VALUES ('a;b'); SELECT 2",
         {"INSERT INTO T VALUES ('a;b')", "SELECT 2"}},
        {"doubled quote in text", "SELECT 'it''s; here'; SELECT 2", {"SELECT 'it''s; here'", "SELECT 2"}},
        {"semicolon in quoted name", "SELECT \"a;b\" FROM T", {"SELECT \"a;b\" FROM T"}},
        {"line comment", "SELECT 1 -- not; a statement\n; SELECT 2", {"SELECT 1", "SELECT 2"}},
        {"comment marker in text", "SELECT '--x'; SELECT 2", {"SELECT '--x'", "SELECT 2"}},
        {"block comment", "SELECT /* ; */ 1;", {"SELECT 1"}},
        {"empty statements", ";;\n ; -- only a comment\n", {}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList got = Schema::splitStatements(QString::fromUtf8(c.script));
        for (QString& statement : got)
            statement = statement.simplified();
        EXPECT_EQ(got, c.expected);
    }
}

TEST(SchemaText, SeparatesTablesFromIndexes) {
    const QStringList tables = Schema::statements(Schema::Part::Tables);
    const QStringList indexes = Schema::statements(Schema::Part::Indexes);
    ASSERT_FALSE(tables.isEmpty());
    ASSERT_FALSE(indexes.isEmpty());
    for (const QString& statement : tables)
        EXPECT_TRUE(statement.startsWith(QLatin1String("CREATE TABLE")) ||
                    statement.startsWith(QLatin1String("CREATE VIEW")))
            << statement.left(60).toStdString();
    for (const QString& statement : indexes)
        EXPECT_TRUE(statement.startsWith(QLatin1String("CREATE INDEX IF NOT EXISTS")))
            << statement.left(60).toStdString();
    EXPECT_EQ(Schema::tableNames().size(), tables.size() - 1); // all but the view
    EXPECT_FALSE(Schema::tableNames().contains(Schema::viewName()));
}

class SchemaOnSqlite : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        m_name = QStringLiteral("schema-test-%1").arg(++counter);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(m_db.open());
    }
    void TearDown() override {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QString m_name;
    QSqlDatabase m_db;
};

TEST_F(SchemaOnSqlite, CreatesEveryTableAndTheView) {
    EXPECT_FALSE(Schema::hasAnyTable(m_db));
    Schema::create(m_db);
    EXPECT_TRUE(Schema::hasAnyTable(m_db));
    QStringList existing = m_db.tables(QSql::Tables);
    for (QString& name : existing)
        name = name.toUpper();
    for (const QString& table : Schema::tableNames())
        EXPECT_TRUE(existing.contains(table)) << table.toStdString();
    EXPECT_TRUE(m_db.tables(QSql::Views).contains(Schema::viewName(), Qt::CaseInsensitive));
}

// Every column that a statement of the reports reads, by table.
TEST_F(SchemaOnSqlite, HasTheColumnsTheReportsRead) {
    Schema::create(m_db);
    const std::pair<const char*, const char*> required[] = {
        {"GN_EMPRE", "COD_EMPR NOM_EMPR NIT_EMPR BMP_REPO"},
        {"GN_CCOST", "COD_EMPR COD_CCOS NOM_CCOS"},
        {"GN_NIVEL", "COD_EMPR COD_ARBO IDE_ARBO COD_NIVE NUM_NIVE NOM_NIVE"},
        {"GN_DIVIP", "COD_PAIS COD_DPTO COD_MPIO COD_LOCA NOM_MPIO"},
        {"BI_EMPLE",
         "COD_EMPR COD_EMPL NOM_EMPL APE_EMPL SEX_EMPL EST_CIVI TIP_DOCU FEC_NACI GRA_EDUC FOR_ACAD"},
        {"RL_EMPLE", "COD_EMPR COD_EMPL TIP_DOCU APE_EMPL NOM_EMPL FEC_NACI SEX_EMPL GRA_EDUC"},
        {"BI_CARGO", "COD_EMPR COD_CARG NOM_CARG"},
        {"NM_TNOMI", "COD_EMPR COD_TNOM NOM_TNOM"},
        {"NM_TPROT", "COD_EMPR COD_PROT NOM_PROT"},
        {"NM_CONCE", "COD_EMPR COD_CONC NOM_CONC TIP_CONC"},
        {"NM_PROTO", "COD_EMPR COD_PROT COD_CONC"},
        {"NM_CONTR",
         "COD_EMPR COD_EMPL NRO_CONT COD_CCOS COD_CARG COD_TNOM TIP_CONT IND_ACTI FEC_INGR FEC_DEJA "
         "FEC_VENC SUE_BASI COD_GPRO COD_NIV1 COD_ARBO IDE_ARBO COD_CENP"},
        {"NM_PRENO",
         "COD_EMPR COD_EMPL NRO_CONT COD_CONC FEC_ACUM TIP_NOMI COD_TNOM COD_CCOS CAN_ACUM VAL_ACUM"},
        {"NM_ACUMU",
         "COD_EMPR COD_EMPL NRO_CONT COD_CONC FEC_ACUM TIP_NOMI COD_TNOM COD_CCOS CAN_ACUM VAL_ACUM"},
        {"NM_NOVED", "COD_EMPR COD_EMPL NRO_NOVE COD_CONC FEC_PAGO SAL_NOVE"},
        {"NM_CINCA", "COD_EMPR TIP_ENTI COD_ENTI NRO_DOCU DIF_DOCT"},
        {"NM_VACAC", "COD_EMPR COD_EMPL NRO_CONT NRO_VACA FEC_DIS1 FEC_DIS2"},
        {"NM_INCAP", "COD_EMPR COD_EMPL NRO_CONT NRO_INCA FEC_DESD FEC_HAST"},
        {"NM_CONVA", "COD_EMPR COD_EMPL NRO_CONT FEC_CONS BAS_LIQU DIA_CONS VAC_CONS"},
        {"NM_PARAM", "COD_EMPR SAL_MINL"},
        {"NM_PARIN", "COD_EMPR COD_SENA COD_ICBF COD_CDCF"},
        {"NM_AUTOL",
         "COD_EMPR COD_EMPL NRO_CONT FEC_PROC ING_SALU CSA_EMPL CSA_PATR COP_EMPL COP_PATR CAR_PATR"},
        {"NM_PROPA", "COD_EMPR COD_EMPL NRO_CONT COD_PROV FEC_LIQU VAL_LIQU"},
        {"NM_BEPRO", "COD_EMPR COD_PROV NOM_PROV IND_PROV"},
        {"NM_CDTOR", "COD_EMPR COD_CTOR TIP_CTOR COD_SBAS"},
        {"NM_SERVI", "COD_EMPR COD_SERV NOM_SERV"},
        {"NM_COMLI", "COD_EMPR COD_EMPL NRO_CONT NRO_LIQU FEC_COMI TIP_COMI VAL_LIQU"},
        {"NM_CENTP", "COD_EMPR COD_CENP NOM_CENP TAR_ATEP"},
        {"NM_PARSS", "COD_EMPR DIG_VERI COD_PAIS COD_DPTO COD_MPIO"},
        {"SL_GRSEL", "COD_EMPR COD_GRSE DES_GRSE"},
        {"SL_REQPE", "COD_EMPR COD_GRSE COD_REQS COD_CCOS COD_CARP FEC_SOLI NRO_PLAZ NRO_VACU SUE_PROP"},
        {"SL_INCOA", "COD_EMPR COD_GRSE COD_REQS COD_CARP COD_ASPI EST_SELE DES_GERE"},
        {"SL_REQPF", "COD_EMPR COD_GRSE COD_REQS COD_REGI TIP_APLI COD_REQU COD_ESPE"},
        {"AC_REQUI", "COD_EMPR TIP_REGI TIP_APLI COD_REQU NOM_REQU"},
        {"AC_ESPEC", "COD_EMPR TIP_REGI TIP_APLI COD_REQU COD_ESPE NOM_ESPE"},
        {"AC_PLANT", "COD_EMPR NRO_PLAZ COD_CARG COD_EMPL"},
        {"V_SALDOS_CONTABLES", "COD_EMPR ANO_ACUM MES_ACUM COD_CUEN NAT_CUEN VAL_DEBI VAL_CRED"},
    };
    for (const auto& [table, columns] : required) {
        const QStringList present = columnsOf(m_db, QString::fromLatin1(table));
        for (const QString& column : QString::fromLatin1(columns).split(u' '))
            EXPECT_TRUE(present.contains(column)) << table << "." << column.toStdString();
    }
}

// "select *" on the report parameters binds the fields by position.
TEST_F(SchemaOnSqlite, ReportParametersHaveTheirTwelveColumnsInOrder) {
    Schema::create(m_db);
    EXPECT_EQ(columnsOf(m_db, QStringLiteral("NM_PRTGE")),
              QStringList({"ACT_USUA", "ACT_HORA", "ACT_ESTA", "COD_EMPR", "RMT_PRTG", "TIP_PARA", "TIP_NOVE",
                           "NOM_NOVE", "COD_CUEN", "COD_PROT", "COD_TNOM", "DES_AGRU"}));
}

// The ledger view joins each month's movements to the nature of the account, as the balance query needs.
TEST_F(SchemaOnSqlite, BalanceViewCarriesTheAccountNature) {
    Schema::create(m_db);
    FixtureWriter fx(m_db);
    fx.insert(
        "CT_CUENT",
        {{"COD_EMPR", 1}, {"COD_CUEN", "250505"}, {"NOM_CUEN", "SALARIOS POR PAGAR"}, {"NAT_CUEN", "C"}});
    fx.insert("CT_CUENT",
              {{"COD_EMPR", 1}, {"COD_CUEN", "510506"}, {"NOM_CUEN", "SUELDOS"}, {"NAT_CUEN", "D"}});
    const struct {
        int month;
        const char* account;
        double debit, credit;
    } movements[] = {{0, "250505", 0, 500},
                     {11, "250505", 100, 300},
                     {12, "250505", 50, 0},
                     {12, "510506", 900, 100},
                     {1, "999999", 7, 7}};
    for (const auto& m : movements)
        fx.insert("CT_SALDO", {{"COD_EMPR", 1},
                               {"ANO_ACUM", 2026},
                               {"MES_ACUM", m.month},
                               {"COD_CUEN", m.account},
                               {"VAL_DEBI", m.debit},
                               {"VAL_CRED", m.credit}});
    // Movements of an account missing from the chart do not reach the view.
    EXPECT_EQ(scalar(m_db, "SELECT COUNT(*) FROM V_SALDOS_CONTABLES").toInt(), 4);
    const QString balance = QStringLiteral("SELECT CASE WHEN NAT_CUEN = 'C' THEN SUM(VAL_CRED-VAL_DEBI) ELSE "
                                           "SUM(VAL_DEBI-VAL_CRED) END AS SALDO "
                                           "FROM V_SALDOS_CONTABLES WHERE COD_EMPR = 1 AND ANO_ACUM = 2026 "
                                           "AND MES_ACUM < %1 AND COD_CUEN = '%2' "
                                           "GROUP BY NAT_CUEN");
    EXPECT_DOUBLE_EQ(scalar(m_db, balance.arg(13).arg("250505")).toDouble(), 650.0);
    EXPECT_DOUBLE_EQ(scalar(m_db, balance.arg(12).arg("250505")).toDouble(), 700.0);
    EXPECT_DOUBLE_EQ(scalar(m_db, balance.arg(13).arg("510506")).toDouble(), 800.0);
}

TEST_F(SchemaOnSqlite, CreatingTwiceFailsAndKeepsTheFirstSchema) {
    Schema::create(m_db);
    FixtureWriter(m_db).insert("GN_EMPRE", {{"COD_EMPR", 1}, {"NOM_EMPR", "UNA"}});
    try {
        Schema::create(m_db);
        FAIL() << "a second create must fail";
    } catch (const GeneralError& error) {
        EXPECT_TRUE(
            error.message().startsWith(QLatin1String("No se pudo crear GN_EMPRE en la base de datos: ")))
            << error.message().toStdString();
    }
    EXPECT_EQ(scalar(m_db, "SELECT NOM_EMPR FROM GN_EMPRE").toString(), QStringLiteral("UNA"));
    Schema::createIndexes(m_db); // the indexes may be created again
}

TEST_F(SchemaOnSqlite, DropRemovesOnlyTheSchemasTables) {
    Schema::create(m_db);
    QSqlQuery(m_db).exec(QStringLiteral("CREATE TABLE OTRA_TABLA (X INTEGER)"));
    Schema::drop(m_db);
    EXPECT_FALSE(Schema::hasAnyTable(m_db));
    EXPECT_TRUE(m_db.tables().contains(QStringLiteral("OTRA_TABLA")));
    Schema::create(m_db); // and the schema can be created anew
    EXPECT_TRUE(Schema::hasAnyTable(m_db));
}

TEST(SchemaSqliteFile, CreatesAWritableFileAndRefusesAnExistingOne) {
    const QString path = schematest::freshPath(QStringLiteral("file"));
    const QString name = Schema::createSqliteFile(path, false);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        ASSERT_TRUE(db.isOpen());
        EXPECT_TRUE(Schema::hasAnyTable(db));
        // Without indexes the secondary index of the requisitions is missing.
        EXPECT_EQ(
            scalar(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = 'IX_SL_REQPE_FEC'")
                .toInt(),
            0);
        FixtureWriter(db).insert("NM_PARAM", {{"COD_EMPR", 1}, {"SAL_MINL", 1750905.0}});
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    try {
        Schema::createSqliteFile(path);
        FAIL() << "an existing file must be refused";
    } catch (const GeneralError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("El archivo de base de datos ya existe: %1").arg(path));
    }
    EXPECT_TRUE(QFile::exists(path));
}

TEST(SchemaSqliteFile, FailsOnAnUnwritablePathWithoutLeavingAConnection) {
    const QStringList before = QSqlDatabase::connectionNames();
    EXPECT_THROW(Schema::createSqliteFile(QStringLiteral("/nonexistent-dir/x/y.sqlite")), GeneralError);
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);
}

} // namespace
