// OdbcBackend: a database reached through ODBC (QODBC), in practice the suite's SQL Server through
// FreeTDS. The statements are already in that server's dialect: only the named parameters become ODBC
// placeholders. The connection asks the driver for read-only access (SQL_MODE_READ_ONLY); drivers that
// ignore the attribute rely on the login having read rights only.
//
// ConnectionParams: alias is the DSN (or a full "DRIVER=...;SERVER=..." connection string), user and
// password the login; server is not used.
#pragma once

#include "DatabaseBackend.h"

class OdbcBackend final : public DatabaseBackend {
public:
    QString protocol() const override { return QStringLiteral("odbc"); }

protected:
    QString driverName() const override { return QStringLiteral("QODBC"); }
    QString databaseLabel(const ConnectionParams& params) const override { return params.alias; }
    void configure(QSqlDatabase& db, const ConnectionParams& params) const override;
    void prepareSession(QSqlDatabase& db) const override;
    void rewrite(SqlRewriter& statement) const override;
    QVariant bindDateTime(TDateTime value) const override;
};
