// FixtureWriter: inserts hand-made rows into a database created by Schema, one call per row, storing each
// value the way the backend keeps it (dates as ISO text on SQLite, timestamps on PostgreSQL).
//
//     FixtureWriter fx(db);
//     fx.insert("NM_ACUMU", {{"COD_EMPR", 1}, {"COD_EMPL", 71234567.0}, {"NRO_CONT", 1},
//                            {"COD_CONC", 1}, {"FEC_ACUM", QDate(2026, 10, 15)}, {"TIP_NOMI", "N"},
//                            {"VAL_ACUM", 900000.0}});
//
// Columns left out are NULL. A QVariant without a value (QVariant()) writes NULL as well.
#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <utility>

#include "SqlBackend.h"

class FixtureWriter {
public:
    using Row = QList<std::pair<QString, QVariant>>;

    // The connection must be open and writable; it is shared, not owned.
    explicit FixtureWriter(const QSqlDatabase& db);
    explicit FixtureWriter(const QString& connectionName);

    // Inserts one row. Throws GeneralError naming the table and the driver's message on failure.
    void insert(const QString& table, const Row& row);

    // Rows inserted through this writer.
    qint64 rowsWritten() const { return m_rows; }

private:
    QSqlDatabase m_db;
    SqlBackend m_backend;
    QHash<QString, QSqlQuery> m_prepared; // by table and column list
    qint64 m_rows = 0;
};
