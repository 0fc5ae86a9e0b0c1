// How values are written for each backend, by the bulk loads of the demo data set and by the fixtures of
// the tests: dates as ISO text on SQLite, so that the period filters of the reports (bound as ISO text too)
// compare them correctly.
#include "SqlBackend.h"
#include "GeneralError.h"
#include "TestSupport.h"

#include <QSqlDatabase>
#include <gtest/gtest.h>

namespace {

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
