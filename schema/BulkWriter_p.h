// BulkWriter: streams generated rows into one table without keeping them. On SQLite each row runs one
// prepared INSERT (the caller holds a transaction open around the whole load). On PostgreSQL rows are
// gathered as COPY text and sent through libpq as one COPY ... FROM STDIN per chunk of a few hundred
// kilobytes: the server then neither parses nor plans a statement per row. A connection runs one COPY at a
// time and a load fills many tables in turn, so each writer keeps its own chunk and sends it whole.
// Values are passed as the caller wants them stored (see storageValue); on PostgreSQL they are stored as
// their SQL literals (sqlLiteral) would store them.
#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>

#include "SqlBackend.h"

struct pg_conn;

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
    int m_columnCount = 0;
    QSqlQuery m_prepared;     // SQLite
    pg_conn* m_pg = nullptr;  // PostgreSQL: the driver's own connection
    QByteArray m_copyCommand; // "COPY T (cols) FROM STDIN"
    QByteArray m_chunk;
    qint64 m_rows = 0;
    Progress m_progress;
};
