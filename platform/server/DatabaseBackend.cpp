#include "DatabaseBackend.h"

#include "DatabaseErrors.h"
#include "GeneralError.h"
#include "OdbcBackend.h"
#include "PostgresBackend.h"
#include "SqlRewriter.h"
#include "SqliteBackend.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
// A failure while opening, with the driver's error a backend may know another way around.
class SessionError : public GeneralError {
public:
    SessionError(const QString& message, const QSqlError& cause) : GeneralError(message), error(cause) {}
    QSqlError error;
};

// Beyond this many distinct statements the translation cache starts over; the module uses a few dozen.
constexpr qsizetype kTranslationCacheLimit = 512;
constexpr qsizetype kPreparedCacheLimit = 64;

QMetaType metaTypeOf(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return QMetaType::fromType<int>();
    case TFieldType::ftLargeint:
        return QMetaType::fromType<qlonglong>();
    case TFieldType::ftFloat:
        return QMetaType::fromType<double>();
    case TFieldType::ftBoolean:
        return QMetaType::fromType<bool>();
    case TFieldType::ftBlob:
        return QMetaType::fromType<QByteArray>();
    case TFieldType::ftDateTime:
        return QMetaType::fromType<QDateTime>();
    default:
        return QMetaType::fromType<QString>();
    }
}
} // namespace

DatabaseBackend::~DatabaseBackend() {
    close();
}

std::unique_ptr<DatabaseBackend> DatabaseBackend::create(const QString& protocol) {
    const QString p = protocol.trimmed().toLower();
    if (p == QLatin1String("sqlite"))
        return std::make_unique<SqliteBackend>();
    if (p == QLatin1String("postgresql"))
        return std::make_unique<PostgresBackend>();
    if (p == QLatin1String("odbc"))
        return std::make_unique<OdbcBackend>();
    throw GeneralError(QStringLiteral("El protocolo de base de datos '%1' no es válido; se admiten sqlite, "
                                      "postgresql y odbc.")
                           .arg(protocol));
}

void DatabaseBackend::open(const ConnectionParams& params, const QString& connectionName) {
    close();
    const QString label = databaseLabel(params);
    if (!QSqlDatabase::isDriverAvailable(driverName()))
        throw GeneralError(QStringLiteral("No se pudo abrir la base de datos '%1': el controlador %2 no "
                                          "está instalado.")
                               .arg(label, driverName()));
    m_secret = params.password;
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driverName(), connectionName);
        try {
            configure(db, params);
            QSqlError cause;
            reason = startSession(db, cause);
            if (!reason.isEmpty() && configureRetry(db, params, cause)) {
                QSqlError ignored;
                if (startSession(db, ignored).isEmpty())
                    reason.clear();
            }
        } catch (const GeneralError& e) {
            reason = e.message();
        }
        if (!reason.isEmpty()) {
            db.close();
            db = QSqlDatabase();
        }
    }
    if (!reason.isEmpty()) {
        QSqlDatabase::removeDatabase(connectionName);
        released();
        const QString message = QStringLiteral("No se pudo abrir la base de datos '%1': %2")
                                    .arg(label, withoutSecret(reason, m_secret));
        m_secret.clear();
        throw GeneralError(message);
    }
    m_connectionName = connectionName;
    m_translations.clear();
}

QString DatabaseBackend::startSession(QSqlDatabase& db, QSqlError& cause) {
    try {
        if (!db.open())
            sessionFailure(db.lastError());
        prepareSession(db);
        m_schemaTextColumns.clear();
        const QString columnsQuery = schemaColumnsQuery();
        if (!columnsQuery.isEmpty()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(columnsQuery))
                sessionFailure(q.lastError());
            QSet<QString> text;
            QSet<QString> other;
            while (q.next())
                (isTextTypeName(q.value(1).toString()) ? text : other) << q.value(0).toString().toUpper();
            // A name counts as text only when no table holds it in another type: a qualified
            // name in a statement is not resolved to its table.
            m_schemaTextColumns = text - other;
        }
        return QString();
    } catch (const SessionError& e) {
        cause = e.error;
        db.close();
        return e.message();
    } catch (const GeneralError& e) {
        db.close();
        return e.message();
    }
}

bool DatabaseBackend::configureRetry(QSqlDatabase&, const ConnectionParams&, const QSqlError&) {
    return false;
}

void DatabaseBackend::close() {
    if (m_connectionName.isEmpty())
        return;
    m_prepared.clear(); // the statements belong to the connection: released before it closes
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
    m_secret.clear();
    m_schemaTextColumns.clear();
    m_translations.clear();
    released();
}

bool DatabaseBackend::isOpen() const {
    return !m_connectionName.isEmpty() && database().isOpen();
}

QSqlDatabase DatabaseBackend::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void DatabaseBackend::setTextColumns(const QSet<QString>& names) {
    m_extraTextColumns.clear();
    for (const QString& n : names)
        m_extraTextColumns << n.toUpper();
    m_translations.clear();
}

QSet<QString> DatabaseBackend::textColumns() const {
    return m_schemaTextColumns | m_extraTextColumns;
}

bool DatabaseBackend::isTextTypeName(const QString& typeName) const {
    const QString t = typeName.toUpper();
    return t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) ||
           t.contains(QLatin1String("CLOB"));
}

TranslatedStatement DatabaseBackend::translate(const QString& statement, const QSet<QString>& wholeDays) const {
    QString key = statement;
    if (!wholeDays.isEmpty()) {
        QStringList names = wholeDays.values();
        names.sort();
        key += QChar(0) + names.join(QChar(0));
    }
    if (const auto it = m_translations.constFind(key); it != m_translations.constEnd())
        return *it;
    SqlRewriter r(statement);
    r.requireSingleStatement();
    const QString first = r.leadingWord();
    if (first != QLatin1String("SELECT") && first != QLatin1String("WITH"))
        throw GeneralError(QStringLiteral("El servidor de aplicaciones solo ejecuta consultas (SELECT); la "
                                          "sentencia empieza por '%1'.")
                               .arg(first.isEmpty() ? r.text().trimmed().left(20) : first));
    r.removeComments();
    rewrite(r);
    r.closeDayRanges(wholeDays);
    TranslatedStatement result;
    result.parameterNames = r.replaceParameters(QStringLiteral("?"));
    result.sql = r.text().trimmed();
    if (m_translations.size() >= kTranslationCacheLimit)
        m_translations.clear();
    m_translations.insert(key, result);
    return result;
}

TResultSet DatabaseBackend::execute(const QString& statement, const TParams& params) {
    QSet<QString> wholeDays;
    for (int i = 0; i < params.Count(); ++i) {
        const TParam& p = params[i];
        if (p.DataType() == TFieldType::ftDateTime && !p.IsNull() && !TDateTime(p.Value().toDouble()).hasTime())
            wholeDays << p.Name().toUpper();
    }
    return run(translate(statement, wholeDays), params);
}

TResultSet DatabaseBackend::run(const TranslatedStatement& statement, const TParams& params) {
    QVariantList values;
    for (const QString& name : statement.parameterNames) {
        if (name.endsWith(SqlRewriter::kNextDaySuffix)) {
            const QString base = name.chopped(SqlRewriter::kNextDaySuffix.size());
            const TParam* p = params.FindParam(base);
            if (!p)
                throw GeneralError(QStringLiteral("Parámetro '%1' no encontrado.").arg(base));
            values << bindDateTime(TDateTime(p->Value().toDouble()).addDays(1));
            continue;
        }
        const TParam* p = params.FindParam(name);
        if (!p)
            throw GeneralError(QStringLiteral("Parámetro '%1' no encontrado.").arg(name));
        values << bindValue(*p);
    }
    if (!isOpen())
        throw GeneralError(QStringLiteral("La conexión con la base de datos no está abierta."));

    QSqlDatabase db = database();
    // Ends the statement before anything else runs on the connection, so that the driver releases it
    // (and its read lock) outside of the statement's scope.
    struct StatementScope {
        const DatabaseBackend& backend;
        QSqlDatabase& db;
        ~StatementScope() { backend.endStatement(db); }
    };
    beginStatement(db);
    const StatementScope scope{*this, db};
    // Reports send the same statements again and again (one per requisition, per class, per month):
    // each is prepared once per connection and bound anew, which spares the database its parsing and
    // planning every time.
    std::shared_ptr<QSqlQuery> prepared = m_prepared.value(statement.sql);
    if (!prepared) {
        prepared = std::make_shared<QSqlQuery>(db);
        prepared->setForwardOnly(true);
        if (!prepared->prepare(statement.sql))
            throw GeneralError(serverMessage(prepared->lastError()));
        if (m_prepared.size() >= kPreparedCacheLimit)
            m_prepared.clear();
        m_prepared.insert(statement.sql, prepared);
    }
    QSqlQuery& q = *prepared;
    // Whatever ends the statement, it is left finished; after a failure it is prepared anew next time.
    struct Finish {
        DatabaseBackend& backend;
        QSqlQuery& q;
        const QString& sql;
        bool ok = false;
        ~Finish() {
            q.finish();
            if (!ok)
                backend.m_prepared.remove(sql);
        }
    } finish{*this, q, statement.sql};
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        throw GeneralError(serverMessage(q.lastError()));

    TResultSet result;
    const QSqlRecord record = q.record();
    for (int c = 0; c < record.count(); ++c)
        result.columns.push_back(describeColumn(record.field(c)));
    while (q.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int c = 0; c < record.count(); ++c)
            row << convertValue(q.value(c), result.columns[static_cast<size_t>(c)].type);
        result.rows.push_back(std::move(row));
    }
    if (q.lastError().isValid())
        throw GeneralError(serverMessage(q.lastError()));
    finish.ok = true;
    return result;
}

QVariant DatabaseBackend::bindValue(const TParam& param) const {
    const TFieldType type = param.DataType();
    if (param.IsNull())
        return QVariant(metaTypeOf(type));
    const QVariant& v = param.Value();
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return v.toInt();
    case TFieldType::ftLargeint:
        return v.toLongLong();
    case TFieldType::ftFloat:
        return v.toDouble();
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
        return v.toString();
    case TFieldType::ftDateTime:
        return bindDateTime(TDateTime(v.toDouble()));
    case TFieldType::ftBoolean:
        return v.toBool();
    case TFieldType::ftBlob:
        return v.toByteArray();
    case TFieldType::ftUnknown:
        break;
    }
    return v;
}

TResultColumn DatabaseBackend::describeColumn(const QSqlField& field) const {
    TResultColumn column;
    column.name = field.name();
    switch (field.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
        column.type = TFieldType::ftSmallint;
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
        column.type = TFieldType::ftInteger;
        break;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        column.type = TFieldType::ftLargeint;
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        column.type = TFieldType::ftFloat;
        break;
    case QMetaType::QString:
        column.type = TFieldType::ftString;
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        column.type = TFieldType::ftDateTime;
        break;
    case QMetaType::Bool:
        column.type = TFieldType::ftBoolean;
        break;
    case QMetaType::QByteArray:
        column.type = TFieldType::ftBlob;
        break;
    default:
        column.type = TFieldType::ftUnknown;
        break;
    }
    return column;
}

QVariant DatabaseBackend::convertValue(const QVariant& value, TFieldType type) const {
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return value.toInt();
    case TFieldType::ftLargeint:
        return value.toLongLong();
    case TFieldType::ftFloat:
        return value.toDouble();
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
        return value.toString();
    case TFieldType::ftBoolean:
        return value.toBool();
    case TFieldType::ftBlob:
        return value.toByteArray();
    case TFieldType::ftDateTime:
        switch (value.metaType().id()) {
        case QMetaType::QDate:
            return TDateTime::fromDate(value.toDate()).value();
        case QMetaType::QDateTime:
            return TDateTime::fromDateTime(value.toDateTime()).value();
        case QMetaType::QTime:
            return static_cast<double>(value.toTime().msecsSinceStartOfDay()) / 86400000.0;
        default:
            if (const auto d = TDateTime::fromIso(value.toString()))
                return d->value();
            return value.toDouble();
        }
    case TFieldType::ftUnknown:
        break;
    }
    return value;
}

QString DatabaseBackend::errorReason(const QSqlError& error) const {
    return genericErrorReason(error);
}

QString DatabaseBackend::errorText(const QSqlError& error) const {
    return withoutSecret(errorReason(error), m_secret);
}

QString DatabaseBackend::serverMessage(const QSqlError& error) const {
    return QStringLiteral("Error del servidor de base de datos: %1").arg(errorText(error));
}

void DatabaseBackend::sessionFailure(const QSqlError& error) const {
    throw SessionError(errorText(error), error);
}
