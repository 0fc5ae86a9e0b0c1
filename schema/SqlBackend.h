// SqlBackend: the two database engines the schema is written for, and how a value is stored in each.
// Dates are ISO text in SQLite ("YYYY-MM-DD" for a whole day, "YYYY-MM-DD HH:MM:SS" otherwise), the way
// the application server binds its date parameters there; PostgreSQL keeps them as TIMESTAMP values.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

enum class SqlBackend { Sqlite, Postgres };

// The backend of an open connection (driver QSQLITE or QPSQL); throws GeneralError for any other driver.
SqlBackend sqlBackendOf(const QSqlDatabase& db);

// "YYYY-MM-DD".
QString isoDate(QDate date);

// "YYYY-MM-DD" at midnight, "YYYY-MM-DD HH:MM:SS" otherwise (seconds truncated).
QString isoDateTime(const QDateTime& dateTime);

// The value to bind for a column: on SQLite dates and date-times become ISO text; on PostgreSQL a date
// becomes the date-time at its midnight. Everything else passes unchanged.
QVariant storageValue(const QVariant& value, SqlBackend backend);

// The value written as an SQL literal of the backend, for multi-row INSERT texts: NULL, numbers in full
// precision, quoted text with quotes doubled, dates as quoted ISO text, byte arrays as hexadecimal
// (X'..' on SQLite, '\x..' on PostgreSQL).
QString sqlLiteral(const QVariant& value, SqlBackend backend);
