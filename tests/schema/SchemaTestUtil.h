// Helpers of the schema tests: fresh databases and single values.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace schematest {

// A new, empty SQLite file path in the test's temporary directory.
QString freshPath(const QString& stem);

// The first column of the first row of a query (invalid QVariant when there is none); fails the test
// when the statement fails.
QVariant scalar(const QSqlDatabase& db, const QString& sql);

} // namespace schematest
