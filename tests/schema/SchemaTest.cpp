// The DDL: how the script splits into statements, and what it creates on SQLite.
#include "Schema.h"
#include "FixtureWriter.h"
#include "GeneralError.h"
#include "SchemaTestUtil.h"
#include "TestSupport.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

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
    const QString message = testsupport::errorOf([&] { Schema::create(m_db); });
    EXPECT_TRUE(message.startsWith(QLatin1String("No se pudo crear GN_EMPRE en la base de datos: ")))
        << message.toStdString();
    EXPECT_EQ(scalar(m_db, "SELECT NOM_EMPR FROM GN_EMPRE").toString(), QStringLiteral("UNA"));
    Schema::createIndexes(m_db); // the indexes may be created again
}

TEST_F(SchemaOnSqlite, CreatesTheTablesAndTheViewAndDropRemovesOnlyThose) {
    EXPECT_FALSE(Schema::hasAnyTable(m_db));
    Schema::create(m_db);
    for (const QString& table : Schema::tableNames())
        EXPECT_TRUE(m_db.tables().contains(table, Qt::CaseInsensitive)) << table.toStdString();
    EXPECT_TRUE(m_db.tables(QSql::Views).contains(Schema::viewName(), Qt::CaseInsensitive));
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
    EXPECT_EQ(testsupport::errorOf([&] { Schema::createSqliteFile(path); }),
              QStringLiteral("El archivo de base de datos ya existe: %1").arg(path));
    EXPECT_TRUE(QFile::exists(path));
}

TEST(SchemaSqliteFile, FailsOnAnUnwritablePathWithoutLeavingAConnection) {
    const QStringList before = QSqlDatabase::connectionNames();
    EXPECT_THROW(Schema::createSqliteFile(QStringLiteral("/nonexistent-dir/x/y.sqlite")), GeneralError);
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);
}

} // namespace
