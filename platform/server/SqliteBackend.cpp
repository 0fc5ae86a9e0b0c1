#include "SqliteBackend.h"

#include "DatabaseErrors.h"
#include "GeneralError.h"
#include "SqlRewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Another process (the demo generator) may be writing the file: wait for its lock instead of failing.
const QString kReadOnlyOptions = QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
// What SQLite answers a reader of a WAL database that cannot create the -shm file (or the -wal file) next
// to it: SQLITE_READONLY when no -wal file exists, SQLITE_CANTOPEN when one does.
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCantOpen = 14;
// A -wal file holds its header and then the frames of the transactions not yet copied into the database.
constexpr qint64 kWalHeaderSize = 32;

bool isWalDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    // Bytes 18 and 19 of the header (the file format versions for writing and reading) are 2 in WAL mode.
    return header.size() == 20 && header.startsWith("SQLite format 3") &&
           (header[18] == 2 || header[19] == 2);
}

// Shorter than its own header says, or no longer a database at all: the file was emptied or cut short.
bool isCutShort(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false; // gone altogether: the connection still reads the file it opened
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith("SQLite format 3"))
        return true;
    const auto bigEndian = [&](int at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | quint8(header[at + i]);
        return value;
    };
    const quint32 pageSize = bigEndian(16, 2) == 1 ? 65536 : bigEndian(16, 2);
    // The page count is kept in the header only while it is valid for the current change counter.
    const bool countValid = bigEndian(92, 4) == bigEndian(24, 4);
    return countValid && qint64(bigEndian(28, 4)) * pageSize > file.size();
}

} // namespace

SqliteBackend::SqliteBackend() = default;

SqliteBackend::~SqliteBackend() {
    // Here, while the snapshot still exists: the base destructor would close the connection after it.
    close();
}

void SqliteBackend::configure(QSqlDatabase& db, const ConnectionParams& params) const {
    const QFileInfo file(params.server);
    if (params.server.isEmpty())
        throw GeneralError(QStringLiteral("no se indicó el archivo."));
    if (!file.exists())
        throw GeneralError(QStringLiteral("el archivo no existe."));
    if (!file.isFile())
        throw GeneralError(QStringLiteral("no es un archivo."));
    db.setDatabaseName(params.server);
    db.setConnectOptions(kReadOnlyOptions);
    m_path = params.server;
}

// Payroll databases are often in WAL mode and read-only to whoever runs the reports. A reader of a WAL
// database needs the -shm file beside it, and creates it when missing: in a folder it cannot write, the
// read fails although nothing is to be written.
bool SqliteBackend::configureRetry(QSqlDatabase& db, const ConnectionParams& params, const QSqlError& cause) {
    bool numeric = false;
    const int code = cause.nativeErrorCode().toInt(&numeric) & 0xff;
    if (!numeric || (code != kSqliteReadOnly && code != kSqliteCantOpen) || !isWalDatabase(params.server))
        return false;
    const QFileInfo wal(params.server + QStringLiteral("-wal"));
    if (!wal.exists() || wal.size() <= kWalHeaderSize) {
        // Every committed change is in the database file itself. Opened immutable, SQLite neither locks it
        // nor looks for the -wal and -shm files, and takes it that the file does not change while open: the
        // report reads the data as they were when it began, which is what a report run wants. A writer would
        // go unseen, and one that copied its changes into the file meanwhile could mix old and new pages;
        // none is expected where the folder lets no one create the files a writer needs.
        QUrl uri = QUrl::fromLocalFile(QFileInfo(params.server).absoluteFilePath());
        uri.setQuery(QStringLiteral("immutable=1"));
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        return true;
    }
    // The -wal file holds committed transactions, which an immutable open would silently leave out. With
    // no -shm file no writer is at work (every writer keeps one, unless it locks the file for itself), so a
    // copy of the two files taken now is the database as it stands; read where the -shm file can be made. It
    // costs the size of the file on the temporary disk, for as long as the connection stays open.
    auto snapshot = std::make_unique<QTemporaryDir>();
    if (!snapshot->isValid())
        return false;
    const QString copy = QDir(snapshot->path()).filePath(QFileInfo(params.server).fileName());
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QFile::copy(params.server, copy) || !QFile::copy(wal.filePath(), copy + QStringLiteral("-wal")) ||
        !QFile::setPermissions(copy, ownerOnly) ||
        !QFile::setPermissions(copy + QStringLiteral("-wal"), ownerOnly))
        return false;
    m_snapshot = std::move(snapshot);
    m_path = copy;
    db.setDatabaseName(copy);
    db.setConnectOptions(kReadOnlyOptions);
    return true;
}

void SqliteBackend::released() {
    m_snapshot.reset();
    m_path.clear();
    m_sizeWhenOpened = 0;
}

QString SqliteBackend::errorReason(const QSqlError& error) const {
    if (m_sizeWhenOpened > 0 && isCutShort(m_path))
        return QStringLiteral("el archivo de la base de datos se vació o quedó incompleto mientras se leía (otro "
                              "programa lo copiaba o lo restauraba); repita la operación cuando el archivo "
                              "esté completo.");
    return sqliteErrorReason(error);
}

void SqliteBackend::prepareSession(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA query_only = 1")))
        sessionFailure(q.lastError());
    // A file that is not a database opens without complaint; reading its schema tells.
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
        sessionFailure(q.lastError());
    m_sizeWhenOpened = QFileInfo(m_path).size();
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
