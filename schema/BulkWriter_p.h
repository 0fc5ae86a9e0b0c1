// BulkWriter: streams generated rows into one table without keeping them. On SQLite each row runs one
// prepared INSERT (the caller holds a transaction open around the whole load); on PostgreSQL rows are
// gathered as literals into multi-row INSERT statements of a few hundred rows, which saves a round trip
// per row. Values are passed as the caller wants them stored (see storageValue).
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>

#include "SqlBackend.h"

class BulkWriter {
public:
    using Progress = std::function<void(const QString& table, qint64 rows)>;

    // columns: comma-separated column names, in the order add() receives the values.
    BulkWriter(const QSqlDatabase& db, const QString& table, const QString& columns, Progress progress);

    BulkWriter(const BulkWriter&) = delete;
    BulkWriter& operator=(const BulkWriter&) = delete;

    // Writes one row; the number of values must match the columns. Throws GeneralError on a driver error.
    void add(std::initializer_list<QVariant> values);

    // Sends what is buffered and reports the final count to the progress callback.
    void finish();

    const QString& table() const { return m_table; }
    qint64 rows() const { return m_rows; }

private:
    void flush();
    void fail(const QString& reason) const;

    QSqlDatabase m_db;
    SqlBackend m_backend;
    QString m_table;
    QString m_insertHead; // "INSERT INTO T (cols) VALUES "
    int m_columnCount = 0;
    QSqlQuery m_prepared;
    QString m_buffer;
    int m_buffered = 0;
    qint64 m_rows = 0;
    Progress m_progress;
};
