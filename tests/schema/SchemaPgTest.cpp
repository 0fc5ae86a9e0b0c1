// The schema and a scale-1 demo load on PostgreSQL, in a schema of their own that the test drops again.
#include "DemoGenerator.h"
#include "FixtureWriter.h"
#include "GeneralError.h"
#include "PostgresUrl.h"
#include "Schema.h"
#include "SchemaTestUtil.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using schematest::scalar;

namespace {

class SchemaOnPostgres : public ::testing::Test {
protected:
    void SetUp() override {
        VN_REQUIRE_POSTGRES(url);
        m_connection = PostgresUrl::parse(url).open(QStringLiteral("schema-pg"));
        m_schema = QStringLiteral("vn_schema_test_%1").arg(QCoreApplication::applicationPid());
        QSqlQuery query(db());
        ASSERT_TRUE(query.exec(QStringLiteral("SET client_min_messages TO WARNING")));
        ASSERT_TRUE(query.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema)));
        ASSERT_TRUE(query.exec(QStringLiteral("CREATE SCHEMA %1").arg(m_schema)))
            << query.lastError().text().toStdString();
        ASSERT_TRUE(query.exec(QStringLiteral("SET search_path TO %1").arg(m_schema)));
    }
    void TearDown() override {
        if (m_connection.isEmpty())
            return;
        QSqlQuery(db()).exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        db().close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_connection, false); }

    QString m_connection;
    QString m_schema;
};

TEST_F(SchemaOnPostgres, CreatesDropsAndStoresTimestamps) {
    QSqlDatabase database = db();
    EXPECT_FALSE(Schema::hasAnyTable(database));
    Schema::create(database);
    EXPECT_TRUE(Schema::hasAnyTable(database));
    FixtureWriter fx(database);
    fx.insert("NM_ACUMU", {{"COD_EMPR", 1},
                           {"COD_EMPL", 71234567.0},
                           {"NRO_CONT", 1},
                           {"COD_CONC", 1},
                           {"FEC_ACUM", QDate(2026, 12, 31)},
                           {"TIP_NOMI", "N"},
                           {"VAL_ACUM", 10.0}});
    EXPECT_EQ(scalar(database, "SELECT pg_typeof(FEC_ACUM)::text FROM NM_ACUMU").toString(),
              QStringLiteral("timestamp without time zone"));
    QSqlQuery period(database);
    ASSERT_TRUE(period.prepare("SELECT COUNT(*) FROM NM_ACUMU WHERE FEC_ACUM >= ? AND FEC_ACUM <= ?"));
    period.addBindValue(QDateTime(QDate(2026, 10, 1), QTime(0, 0)));
    period.addBindValue(QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
    ASSERT_TRUE(period.exec() && period.next());
    EXPECT_EQ(period.value(0).toInt(), 1);
    // CHAR columns pad; the reports trim.
    fx.insert("BI_CARGO", {{"COD_EMPR", 1}, {"COD_CARG", "101"}, {"NOM_CARG", "GERENTE"}});
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM BI_CARGO WHERE COD_CARG = '101'").toInt(), 1);
    Schema::drop(database);
    EXPECT_FALSE(Schema::hasAnyTable(database));
}

TEST_F(SchemaOnPostgres, LoadsTheDemoDataSet) {
    QSqlDatabase database = db();
    const DemoSummary summary =
        DemoGenerator(DemoGenerator::kDefaultSeed, 1).fill(database, {}, DemoGenerator::Tables::Create);
    for (const auto& [table, rows] : summary.rows)
        EXPECT_EQ(scalar(database, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong(), rows)
            << table.toStdString();
    for (const char* table : {"NM_ACUMU", "NM_PRENO"})
        EXPECT_GT(scalar(database, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE COD_EMPR = 1 AND "
                                                  "FEC_ACUM BETWEEN '2026-10-01' AND '2026-12-31'")
                                       .arg(table))
                      .toInt(),
                  0)
            << table;
    // The logos went through the hexadecimal literals intact.
    EXPECT_EQ(scalar(database, "SELECT BMP_REPO FROM GN_EMPRE WHERE COD_EMPR = 1").toByteArray(),
              DemoGenerator::companyLogo(QStringLiteral("STA"), 0x1F4E79));
    EXPECT_EQ(
        scalar(
            database,
            "SELECT COUNT(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname LIKE 'ix_%'")
            .toInt(),
        Schema::statements(Schema::Part::Indexes).size());
}

// Replacing drops and loads in one transaction: when it fails, the previous tables and rows are back.
TEST_F(SchemaOnPostgres, AFailedReplacementKeepsThePreviousData) {
    QSqlDatabase database = db();
    Schema::create(database);
    FixtureWriter(database).insert("CT_CUENT", {{"COD_EMPR", 1}, {"COD_CUEN", "250505"}, {"NAT_CUEN", "C"}});
    // A view of someone else's on a table of the schema makes its drop fail midway.
    ASSERT_TRUE(QSqlQuery(database).exec("CREATE VIEW OTRA_VISTA AS SELECT * FROM NM_ACUMU"));
    const QString message =
        testsupport::errorOf([&] { DemoGenerator(1, 1).fill(database, {}, DemoGenerator::Tables::Replace); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se pudo eliminar NM_ACUMU en la base de datos: ")))
        << message.toStdString();
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM CT_CUENT").toInt(),
              1); // dropped before NM_ACUMU, restored
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM GN_EMPRE").toInt(), 0);
}

} // namespace
