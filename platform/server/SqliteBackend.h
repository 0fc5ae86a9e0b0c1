// SqliteBackend: the embedded database (QSQLITE), one file. The file is opened read-only (a missing file
// is an error, never created) and the session is put in query-only mode, so no statement can write.
//
// Dialect: SQLite has no DATEPART (strftime of the ISO text dates instead), concatenates with '||', takes
// no parenthesised member in a UNION, and matches the ORDER BY of a union to its result columns only by
// alias or identical expression (so terms become column positions). Dates are
// stored as ISO text ("YYYY-MM-DD" for whole days, "YYYY-MM-DD HH:MM:SS" otherwise) and parameters are
// bound in the same form, so that comparisons of dates are comparisons of text. The types the driver
// reports follow the values, not the declared columns, so result columns are reported ftUnknown and dates
// come back as their ISO text; the dataset layer converts them to the declared field types.
//
// A WAL database in a folder the user cannot write is read all the same: immutable when all of its data
// are in the database file, from a private copy of the file and its -wal file otherwise (configureRetry).
//
// A file replaced while a report reads it is no harm: the connection goes on reading the file it opened.
// One emptied or cut short in place (a copy or a restore over it) fails the next statement that reaches
// the missing part, and the message says so rather than blaming a missing table or a damaged file.
#pragma once

#include "DatabaseBackend.h"

#include <memory>

class QTemporaryDir;

class SqliteBackend final : public DatabaseBackend {
public:
    SqliteBackend();
    ~SqliteBackend() override;
    QString protocol() const override { return QStringLiteral("sqlite"); }

protected:
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString databaseLabel(const ConnectionParams& params) const override { return params.server; }
    void configure(QSqlDatabase& db, const ConnectionParams& params) const override;
    void prepareSession(QSqlDatabase& db) const override;
    bool configureRetry(QSqlDatabase& db, const ConnectionParams& params, const QSqlError& cause) override;
    void released() override;
    QString errorReason(const QSqlError& error) const override;
    QString schemaColumnsQuery() const override;
    void rewrite(SqlRewriter& statement) const override;
    QVariant bindDateTime(TDateTime value) const override;
    TResultColumn describeColumn(const QSqlField& field) const override;

private:
    // The file being read, and its size once the session was ready (0 until then): a file emptied or cut
    // short under a report is told apart from one that was never whole.
    mutable QString m_path;
    mutable qint64 m_sizeWhenOpened = 0;
    // The copy of a WAL database being read (see configureRetry); removed when the connection closes.
    std::unique_ptr<QTemporaryDir> m_snapshot;
};
