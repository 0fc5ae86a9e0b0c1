// PostgresBackend: a PostgreSQL server (QPSQL), for companies that outgrow the embedded file. Nothing
// written through this connection lasts, whatever the login may do: the session defaults to read-only
// transactions, and every statement runs in a transaction started READ ONLY and rolled back, which also
// undoes any setting a statement changed (set_config in a SELECT) before the next one runs.
//
// Dialect: DATEPART becomes EXTRACT, '+' between text operands '||', and the ORDER BY of a union names
// result columns by position (the server knows no tables there); a parenthesised union member is
// accepted as it is. Whole-day dates are bound as
// dates; date-times with a time of day as their "YYYY-MM-DD HH:MM:SS" text, which the server reads as a
// timestamp without any time-zone conversion (a Qt date-time would travel as a zoned timestamp, shifted
// by the difference between the client's and the session's time zones).
#pragma once

#include "DatabaseBackend.h"

class PostgresBackend final : public DatabaseBackend {
public:
    QString protocol() const override { return QStringLiteral("postgresql"); }

protected:
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    // A locator may leave the database to its service= (pg_service.conf names it).
    QString databaseLabel(const ConnectionParams& params) const override {
        return params.alias.isEmpty() ? QStringLiteral("servicio ") + params.option(QStringLiteral("service"))
                                      : params.alias;
    }
    void configure(QSqlDatabase& db, const ConnectionParams& params) const override;
    void prepareSession(QSqlDatabase& db) const override;
    QString errorReason(const QSqlError& error) const override;
    void beginStatement(QSqlDatabase& db) const override;
    void endStatement(QSqlDatabase& db) const override;
    QString schemaColumnsQuery() const override;
    void rewrite(SqlRewriter& statement) const override;
    QVariant bindDateTime(TDateTime value) const override;
    TResultColumn describeColumn(const QSqlField& field) const override;
};
