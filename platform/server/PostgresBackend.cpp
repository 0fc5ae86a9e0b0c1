#include "PostgresBackend.h"

#include "DatabaseErrors.h"
#include "GeneralError.h"
#include "SqlRewriter.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace {
// Type OIDs of the server catalogue that QtSql reports as the field's type id.
enum PgType {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestamptz = 1184,
    kNumeric = 1700
};
} // namespace

void PostgresBackend::configure(QSqlDatabase& db, const ConnectionParams& params) const {
    if (params.alias.isEmpty() && params.option(QStringLiteral("service")).isEmpty())
        throw GeneralError(QStringLiteral("no se indicó el nombre de la base de datos."));
    // QPSQL hands each non-empty field to libpq and leaves an empty one out: no host means the local
    // socket (or the service's host), no password lets libpq look in PGPASSWORD, the password file
    // (passfile=, PGPASSFILE, ~/.pgpass) and the service, as every other PostgreSQL client does.
    const auto [host, port] = params.postgresHostPort();
    if (!host.isEmpty())
        db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setDatabaseName(params.alias);
    db.setUserName(params.user);
    db.setPassword(params.password);
    // The locator's own keywords come last, and libpq keeps the last value of a keyword: a locator that
    // names its application_name (a department telling its sessions apart in pg_stat_activity) or a
    // longer connect_timeout (a distant replica) is obeyed; without one, sessions show as VNmRtgen, which
    // an administrator ending the module's sessions looks for.
    QString options = QStringLiteral("connect_timeout=10;application_name=VNmRtgen");
    if (const QString own = params.libpqOptions(); !own.isEmpty())
        options += QLatin1Char(';') + own;
    db.setConnectOptions(options);
}

void PostgresBackend::prepareSession(QSqlDatabase& db) const {
    QSqlQuery q(db);
    for (const char* sql :
         {"SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY", "SET default_transaction_read_only = on"}) {
        if (!q.exec(QString::fromLatin1(sql)))
            sessionFailure(q.lastError());
    }
    // Statements are prepared once and run many times: each run is still planned for its own values (a
    // period of a quarter and one of a day want different plans; a plan made for any value once took a
    // second where the right one takes a fraction). Servers before version 12 plan so anyway.
    q.exec(QStringLiteral("SET plan_cache_mode = force_custom_plan"));
}

QString PostgresBackend::errorReason(const QSqlError& error) const {
    return postgresErrorReason(error);
}

void PostgresBackend::beginStatement(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("START TRANSACTION READ ONLY")))
        throw GeneralError(serverMessage(q.lastError()));
}

void PostgresBackend::endStatement(QSqlDatabase& db) const {
    QSqlQuery q(db);
    q.exec(QStringLiteral("ROLLBACK"));
}

QString PostgresBackend::schemaColumnsQuery() const {
    return QStringLiteral("SELECT column_name, data_type FROM information_schema.columns "
                          "WHERE table_schema = ANY (current_schemas(false))");
}

void PostgresBackend::rewrite(SqlRewriter& statement) const {
    statement.rewriteDatePart([](const QString& part) {
        return SqlRewriter::DatePartForm{QStringLiteral("CAST(EXTRACT(%1 FROM ").arg(part),
                                         QStringLiteral(") AS INTEGER)")};
    });
    statement.rewriteTextConcatenation(textColumns());
    statement.resolveCompoundOrderBy();
    statement.renameFunction(QLatin1String("ISNULL"), QStringLiteral("COALESCE"));
    statement.renameFunction(QLatin1String("LEN"), QStringLiteral("LENGTH"));
    // GETDATE() is the server's local time without a zone.
    statement.replaceEmptyCall(QLatin1String("GETDATE"), QStringLiteral("LOCALTIMESTAMP"));
}

QVariant PostgresBackend::bindDateTime(TDateTime value) const {
    if (!value.hasTime())
        return value.date();
    return value.toIso();
}

TResultColumn PostgresBackend::describeColumn(const QSqlField& field) const {
    TResultColumn column = DatabaseBackend::describeColumn(field);
    switch (field.typeID()) {
    case kInt2:
        column.type = TFieldType::ftSmallint;
        break;
    case kInt4:
        column.type = TFieldType::ftInteger;
        break;
    case kInt8:
        column.type = TFieldType::ftLargeint;
        break;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        column.type = TFieldType::ftFloat;
        break;
    case kBpchar:
        column.type = TFieldType::ftFixedChar;
        break;
    case kText:
    case kVarchar:
        column.type = TFieldType::ftString;
        break;
    case kDate:
    case kTime:
    case kTimestamp:
    case kTimestamptz:
        column.type = TFieldType::ftDateTime;
        break;
    case kBool:
        column.type = TFieldType::ftBoolean;
        break;
    case kBytea:
        column.type = TFieldType::ftBlob;
        break;
    default:
        break;
    }
    return column;
}
