// How fixture rows and bulk literals are stored: dates as ISO text on SQLite, so that the period filters of
// the reports (bound as ISO text too) compare them correctly.
#include "FixtureWriter.h"
#include "GeneralError.h"
#include "Schema.h"
#include "SchemaTestUtil.h"
#include "SqlBackend.h"
#include "TestSupport.h"

#include <QSqlDatabase>
#include <gtest/gtest.h>

using schematest::scalar;

namespace {

class FixtureWriterOnSqlite : public ::testing::Test {
protected:
    void SetUp() override {
        m_name = Schema::createSqliteFile(schematest::freshPath(QStringLiteral("fixture")));
        m_db = QSqlDatabase::database(m_name, false);
    }
    void TearDown() override {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    void payroll(FixtureWriter& fx, const QVariant& date, int code, double value) {
        fx.insert("NM_ACUMU", {{"COD_EMPR", 1},
                               {"COD_EMPL", 71234567.0},
                               {"NRO_CONT", 1},
                               {"COD_CONC", code},
                               {"FEC_ACUM", date},
                               {"TIP_NOMI", "N"},
                               {"VAL_ACUM", value}});
    }
    QString m_name;
    QSqlDatabase m_db;
};

TEST_F(FixtureWriterOnSqlite, StoresDatesAsIsoText) {
    FixtureWriter fx(m_db);
    payroll(fx, QDate(2026, 10, 15), 1, 100);
    payroll(fx, QDateTime(QDate(2026, 10, 31), QTime(0, 0)), 2, 200);
    fx.insert(
        "NM_PRTGE",
        {{"COD_EMPR", 1}, {"RMT_PRTG", 1}, {"ACT_HORA", QDateTime(QDate(2024, 11, 5), QTime(8, 30, 15))}});
    EXPECT_EQ(scalar(m_db, "SELECT FEC_ACUM FROM NM_ACUMU WHERE COD_CONC = 1").toString(),
              QStringLiteral("2026-10-15"));
    EXPECT_EQ(scalar(m_db, "SELECT FEC_ACUM FROM NM_ACUMU WHERE COD_CONC = 2").toString(),
              QStringLiteral("2026-10-31"));
    EXPECT_EQ(scalar(m_db, "SELECT ACT_HORA FROM NM_PRTGE").toString(),
              QStringLiteral("2024-11-05 08:30:15"));
    EXPECT_EQ(scalar(m_db, "SELECT COUNT(*) FROM NM_ACUMU WHERE typeof(FEC_ACUM) <> 'text'").toInt(), 0);
    EXPECT_EQ(fx.rowsWritten(), 3);
}

TEST_F(FixtureWriterOnSqlite, LeavesOmittedAndEmptyValuesNull) {
    FixtureWriter fx(m_db);
    fx.insert("NM_CONTR", {{"COD_EMPR", 1}, {"COD_EMPL", 5.0}, {"NRO_CONT", 1}, {"FEC_DEJA", QVariant()}});
    EXPECT_EQ(
        scalar(m_db, "SELECT COUNT(*) FROM NM_CONTR WHERE FEC_DEJA IS NULL AND COD_CARG IS NULL").toInt(), 1);
}

TEST_F(FixtureWriterOnSqlite, ReportsTheTableOfAFailedInsert) {
    FixtureWriter fx(m_db);
    fx.insert("NM_CONCE", {{"COD_EMPR", 1}, {"COD_CONC", 1}, {"TIP_CONC", "I"}});
    EXPECT_TRUE(testsupport::errorOf([&] {
                    fx.insert("NM_CONCE", {{"COD_EMPR", 1}, {"COD_CONC", 1}, {"TIP_CONC", "E"}});
                }).startsWith(QLatin1String("No se pudo insertar en NM_CONCE: ")));
    EXPECT_TRUE(testsupport::errorOf([&] {
                    fx.insert("NO_EXISTE", {{"X", 1}});
                }).startsWith(QStringLiteral("No se pudo preparar la inserción en NO_EXISTE: ")));
}

TEST(SqlBackendValues, LiteralsPerBackend) {
    const struct {
        const char* name;
        QVariant value;
        const char* sqlite;
        const char* postgres;
    } cases[] = {
        {"null", QVariant(), "NULL", "NULL"},
        {"integer", QVariant(42), "42", "42"},
        {"negative double", QVariant(-1234.5), "-1234.5", "-1234.5"},
        {"double keeps precision", QVariant(0.1), "0.10000000000000001", "0.10000000000000001"},
        {"large code", QVariant(1020456789.0), "1020456789", "1020456789"},
        {"text with quote", QVariant(QStringLiteral("O'NEILL")), "'O''NEILL'", "'O''NEILL'"},
        {"accented text", QVariant(QStringLiteral("BOGOTÁ")), "'BOGOTÁ'", "'BOGOTÁ'"},
        {"date", QVariant(QDate(2026, 12, 31)), "'2026-12-31'", "'2026-12-31'"},
        {"date-time", QVariant(QDateTime(QDate(2024, 11, 5), QTime(8, 30, 0))), "'2024-11-05 08:30:00'",
         "'2024-11-05 08:30:00'"},
        {"bytes", QVariant(QByteArray("\x00\xff", 2)), "X'00ff'", "'\\x00ff'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sqlLiteral(c.value, SqlBackend::Sqlite), QString::fromUtf8(c.sqlite));
        EXPECT_EQ(sqlLiteral(c.value, SqlBackend::Postgres), QString::fromUtf8(c.postgres));
    }
}

TEST(SqlBackendValues, StorageValues) {
    EXPECT_EQ(storageValue(QDate(2026, 1, 2), SqlBackend::Sqlite), QVariant(QStringLiteral("2026-01-02")));
    EXPECT_EQ(storageValue(QDate(2026, 1, 2), SqlBackend::Postgres),
              QVariant(QDateTime(QDate(2026, 1, 2), QTime(0, 0))));
    EXPECT_EQ(storageValue(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59, 900)), SqlBackend::Sqlite),
              QVariant(QStringLiteral("2026-01-02 23:59:59")));
    EXPECT_EQ(storageValue(7, SqlBackend::Sqlite), QVariant(7));
    EXPECT_TRUE(storageValue(QVariant(), SqlBackend::Postgres).isNull());
}

TEST(SqlBackendValues, RefusesOtherDrivers) {
    EXPECT_EQ(testsupport::errorOf([] { sqlBackendOf(QSqlDatabase()); }),
              QStringLiteral("Motor de base de datos no soportado para el esquema: "));
}

} // namespace
