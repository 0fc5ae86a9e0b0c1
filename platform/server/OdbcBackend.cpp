#include "OdbcBackend.h"

#include "GeneralError.h"

void OdbcBackend::configure(QSqlDatabase& db, const ConnectionParams& params) const {
    if (params.alias.isEmpty())
        throw GeneralError(QStringLiteral("no se indicó el origen de datos ODBC."));
    db.setDatabaseName(params.alias);
    db.setUserName(params.user);
    db.setPassword(params.password);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY;SQL_ATTR_LOGIN_TIMEOUT=10"));
}

void OdbcBackend::prepareSession(QSqlDatabase&) const {}

void OdbcBackend::rewrite(SqlRewriter&) const {}

QVariant OdbcBackend::bindDateTime(TDateTime value) const {
    return value.toDateTime();
}
