#include "SqliteBackend.h"

#include "GeneralError.h"
#include "SqlRewriter.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

void SqliteBackend::configure(QSqlDatabase& db, const ConnectionParams& params) const {
    const QFileInfo file(params.server);
    if (params.server.isEmpty())
        throw GeneralError(QStringLiteral("no se indicó el archivo."));
    if (!file.exists())
        throw GeneralError(QStringLiteral("el archivo no existe."));
    if (!file.isFile())
        throw GeneralError(QStringLiteral("no es un archivo."));
    db.setDatabaseName(params.server);
    // Another process (the demo generator) may be writing the file: wait for its lock instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
}

void SqliteBackend::prepareSession(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA query_only = 1")))
        throw GeneralError(errorText(q.lastError()));
    // A file that is not a database opens without complaint; reading its schema tells.
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
        throw GeneralError(errorText(q.lastError()));
}

QString SqliteBackend::schemaColumnsQuery() const {
    return QStringLiteral("SELECT p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p "
                          "WHERE m.type IN ('table', 'view')");
}

void SqliteBackend::rewrite(SqlRewriter& statement) const {
    statement.rewriteDatePart([](const QString& part) {
        static const QHash<QString, QString> formats = {{QStringLiteral("YEAR"), QStringLiteral("%Y")},
                                                        {QStringLiteral("MONTH"), QStringLiteral("%m")},
                                                        {QStringLiteral("DAY"), QStringLiteral("%d")},
                                                        {QStringLiteral("HOUR"), QStringLiteral("%H")},
                                                        {QStringLiteral("MINUTE"), QStringLiteral("%M")},
                                                        {QStringLiteral("SECOND"), QStringLiteral("%S")}};
        return SqlRewriter::DatePartForm{QStringLiteral("CAST(strftime('%1', ").arg(formats.value(part)),
                                         QStringLiteral(") AS INTEGER)")};
    });
    statement.rewriteTextConcatenation(textColumns());
    statement.unwrapCompoundMembers();
    statement.resolveCompoundOrderBy();
    statement.renameFunction(QLatin1String("ISNULL"), QStringLiteral("COALESCE"));
    statement.renameFunction(QLatin1String("LEN"), QStringLiteral("LENGTH"));
    // GETDATE() is the server's local time, in the form dates are stored.
    statement.replaceEmptyCall(QLatin1String("GETDATE"), QStringLiteral("datetime('now', 'localtime')"));
}

QVariant SqliteBackend::bindDateTime(TDateTime value) const {
    return value.toIso();
}

TResultColumn SqliteBackend::describeColumn(const QSqlField& field) const {
    return TResultColumn{field.name(), TFieldType::ftUnknown};
}
