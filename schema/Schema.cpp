#include "Schema.h"

#include "GeneralError.h"
#include "SqlBackend.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

static void initSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

namespace {

// The line that separates tables and view from the secondary indexes.
const char* const kIndexMarker = "\n-- @indexes\n";

QString schemaScript() {
    initSchemaResource();
    QFile file(QStringLiteral(":/schema/schema.sql"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw GeneralError(QStringLiteral("No se encontró el esquema de la base de datos en los recursos."));
    return QString::fromUtf8(file.readAll());
}

// Names the object a DDL statement creates or drops, for error messages.
QString objectOf(const QString& statement) {
    static const QRegularExpression re(
        QStringLiteral(R"(^(?:CREATE|DROP)\s+(?:TABLE|VIEW|INDEX)(?:\s+IF\s+(?:NOT\s+)?EXISTS)?\s+(\w+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = re.match(statement);
    return match.hasMatch() ? match.captured(1) : statement.left(40);
}

// Runs the statements in one transaction; on failure rolls back and throws with the object's name.
void runAll(QSqlDatabase& db, const QStringList& statements) {
    if (!db.isOpen())
        throw GeneralError(QStringLiteral("La conexión a la base de datos no está abierta."));
    const bool inTransaction = db.transaction();
    try {
        Schema::apply(db, statements);
    } catch (const GeneralError&) {
        if (inTransaction)
            db.rollback();
        throw;
    }
    if (inTransaction && !db.commit())
        throw GeneralError(
            QStringLiteral("No se pudo confirmar la creación del esquema: %1").arg(db.lastError().text()));
}

} // namespace

QStringList Schema::splitStatements(const QString& script) {
    QStringList result;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < n ? script.at(i + 1) : QChar();
        if (c == u'-' && next == u'-') {
            while (i < n && script.at(i) != u'\n')
                ++i;
            current += u'\n';
        } else if (c == u'/' && next == u'*') {
            i += 2;
            while (i + 1 < n && !(script.at(i) == u'*' && script.at(i + 1) == u'/'))
                ++i;
            ++i;
            current += u' ';
        } else if (c == u'\'' || c == u'"') {
            // Quoted text or identifier, copied whole; a doubled quote stays inside it.
            current += c;
            for (++i; i < n; ++i) {
                current += script.at(i);
                if (script.at(i) == c) {
                    if (i + 1 < n && script.at(i + 1) == c)
                        current += script.at(++i);
                    else
                        break;
                }
            }
        } else if (c == u';') {
            const QString statement = current.trimmed();
            if (!statement.isEmpty())
                result << statement;
            current.clear();
        } else {
            current += c;
        }
    }
    const QString last = current.trimmed();
    if (!last.isEmpty())
        result << last;
    return result;
}

QStringList Schema::statements(Part part) {
    const QString script = schemaScript();
    const qsizetype marker = script.indexOf(QLatin1String(kIndexMarker));
    if (marker < 0)
        throw GeneralError(QStringLiteral("El esquema de la base de datos no separa los índices."));
    return splitStatements(part == Part::Tables ? script.left(marker) : script.mid(marker));
}

QStringList Schema::tableNames() {
    static const QRegularExpression re(QStringLiteral(R"(^CREATE\s+TABLE\s+(\w+))"),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    for (const QString& statement : statements(Part::Tables)) {
        const auto match = re.match(statement);
        if (match.hasMatch())
            names << match.captured(1).toUpper();
    }
    return names;
}

QString Schema::viewName() {
    return QStringLiteral("V_SALDOS_CONTABLES");
}

void Schema::create(QSqlDatabase& db) {
    runAll(db, statements(Part::Tables) + statements(Part::Indexes));
}

void Schema::createTables(QSqlDatabase& db) {
    runAll(db, statements(Part::Tables));
}

void Schema::createIndexes(QSqlDatabase& db) {
    runAll(db, statements(Part::Indexes));
}

void Schema::apply(QSqlDatabase& db, const QStringList& statements) {
    QSqlQuery query(db);
    for (const QString& statement : statements)
        if (!query.exec(statement))
            throw GeneralError(QStringLiteral("No se pudo %1 %2 en la base de datos: %3")
                                   .arg(statement.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive)
                                            ? QStringLiteral("eliminar")
                                            : QStringLiteral("crear"),
                                        objectOf(statement), query.lastError().text()));
}

QStringList Schema::dropStatements() {
    QStringList drops{QStringLiteral("DROP VIEW IF EXISTS %1").arg(viewName())};
    QStringList tables = tableNames();
    std::reverse(tables.begin(), tables.end());
    for (const QString& table : tables)
        drops << QStringLiteral("DROP TABLE IF EXISTS %1").arg(table);
    return drops;
}

void Schema::drop(QSqlDatabase& db) {
    runAll(db, dropStatements());
}

bool Schema::hasAnyTable(const QSqlDatabase& db) {
    // The tables of the schema the connection writes to (PostgreSQL: the first schema of the search path).
    const QString sql = sqlBackendOf(db) == SqlBackend::Sqlite
                            ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")
                            : QStringLiteral("SELECT table_name FROM information_schema.tables "
                                             "WHERE table_schema = current_schema()");
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw GeneralError(QStringLiteral("No se pudieron leer las tablas de la base de datos: %1")
                               .arg(query.lastError().text()));
    QSet<QString> existing;
    while (query.next())
        existing.insert(query.value(0).toString().toUpper());
    for (const QString& table : tableNames())
        if (existing.contains(table))
            return true;
    return false;
}

QString Schema::createSqliteFile(const QString& path, bool withIndexes) {
    if (QFileInfo::exists(path))
        throw GeneralError(QStringLiteral("El archivo de base de datos ya existe: %1").arg(path));
    static QAtomicInt counter;
    const QString name = QStringLiteral("vn_schema_%1").arg(counter.fetchAndAddRelaxed(1));
    bool ok = false;
    QString reason;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            reason = QStringLiteral("No se pudo crear el archivo de base de datos %1: %2")
                         .arg(path, db.lastError().text());
        } else {
            try {
                if (withIndexes)
                    create(db);
                else
                    createTables(db);
                ok = true;
            } catch (const GeneralError& error) {
                reason = error.message();
                db.close();
            }
        }
    }
    if (!ok) {
        QSqlDatabase::removeDatabase(name);
        QFile::remove(path);
        throw GeneralError(reason);
    }
    return name;
}
