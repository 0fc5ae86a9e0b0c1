// The application server on the embedded database: a SQLite file that the test writes with QtSql and the
// module's connection then reads.
#include "DatabaseBackend.h"
#include "ExecutionFixture.h"
#include "GeneralError.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

class SqliteTestDatabase : public TestDatabase {
public:
    SqliteTestDatabase() {
        static int counter = 0;
        m_path = testsupport::tempPath(QStringLiteral("servidor-%1.db").arg(++counter));
        createFixtureTables(*this);
    }

    // Each statement through a writer of its own, closed again at once: the module's connection must find
    // the file as any other process would, with no writer holding it.
    void write(const QString& statement) override {
        const QString writer = QStringLiteral("fixture-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writer);
            db.setDatabaseName(m_path);
            EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(statement)) << statement.toStdString() << ": " << q.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(writer);
    }

    ConnectionParams params() const override { return ConnectionParams::fromLocator(m_path); }

    QByteArray fingerprint() override {
        QFile f(m_path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }

private:
    QString m_path;
};

} // namespace

void makeTestDatabase(std::unique_ptr<TestDatabase>& database) {
    database = std::make_unique<SqliteTestDatabase>();
}

namespace {

void writeDatabase(const QString& path, std::initializer_list<const char*> statements) {
    const QString writer = QStringLiteral("file-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writer);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        QSqlQuery q(db);
        for (const char* s : statements)
            EXPECT_TRUE(q.exec(QString::fromLatin1(s))) << s;
    }
    QSqlDatabase::removeDatabase(writer);
}

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The message of a refused open, after checking that the connection stayed closed.
QString openRefusal(const QString& locator) {
    SDCOMConnection connection;
    const QString message =
        testsupport::errorOf([&] { connection.Open(ConnectionParams::fromLocator(locator)); });
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(connection.backend(), nullptr);
    return message;
}

TEST(SqliteOpen, MissingFileOrDirectoryRefusedAndNothingCreated) {
    const QString path = testsupport::tempPath(QStringLiteral("no-existe.db"));
    const QString dir = testsupport::tempPath(QStringLiteral("una-carpeta"));
    ASSERT_TRUE(QDir().mkpath(dir));
    const QStringList namesBefore = QSqlDatabase::connectionNames();
    EXPECT_EQ(openRefusal(path),
              QStringLiteral("No se pudo abrir la base de datos '%1': el archivo no existe.").arg(path));
    EXPECT_EQ(openRefusal(dir),
              QStringLiteral("No se pudo abrir la base de datos '%1': no es un archivo.").arg(dir));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QSqlDatabase::connectionNames(), namesBefore);
}

// A file that is no database, and a database whose schema page was overwritten.
TEST(SqliteOpen, DamagedFilesRefusedAndKept) {
    const QString text = testsupport::tempPath(QStringLiteral("notas.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(
            "Esto no es una base de datos, aunque sea bastante largo para parecerlo a primera vista."));
    }
    const QString damaged = testsupport::tempPath(QStringLiteral("danada.db"));
    writeDatabase(damaged, {"CREATE TABLE NM_CONCE (COD_CONC INTEGER)", "INSERT INTO NM_CONCE VALUES (1)"});
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(100)); // past the file header: the first page of the schema
        f.write(QByteArray(100, '\xff'));
    }
    for (const QString& path : {text, damaged}) {
        const QByteArray before = contentsOf(path);
        EXPECT_EQ(openRefusal(path), QStringLiteral("No se pudo abrir la base de datos '%1': el archivo de la base "
                                                    "de datos está dañado o no es una base de datos SQLite.")
                                         .arg(path));
        EXPECT_EQ(contentsOf(path), before);
    }
}

#ifdef Q_OS_UNIX
// A payroll database in WAL mode, in a folder that whoever runs the reports may only read.
class SqliteReadOnlyWal : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_path = m_folder.filePath(QStringLiteral("nomina.db"));
    }

    void TearDown() override {
        QFile::setPermissions(m_folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
    }

    // Rows 1 and 2 copied into the database file; rows 3 and 4, when pending, only in its -wal file, as a
    // writer that ended without its last checkpoint leaves them. Then nobody may write the folder.
    void create(bool pending) {
        const QString source = testsupport::tempPath(QStringLiteral("wal-%1.db").arg(pending));
        const QString writer = QStringLiteral("wal-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writer);
            db.setDatabaseName(source);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            for (const char* s :
                 {"PRAGMA journal_mode = WAL", "PRAGMA wal_autocheckpoint = 0",
                  "CREATE TABLE NM_CONCE (COD_CONC INTEGER, NOM_CONC VARCHAR(40))",
                  "INSERT INTO NM_CONCE VALUES (1, 'SUELDO'), (2, 'SALUD')", "PRAGMA wal_checkpoint(TRUNCATE)"})
                ASSERT_TRUE(q.exec(QString::fromLatin1(s))) << s;
            if (pending) {
                ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO NM_CONCE VALUES (3, 'PENSION'), (4, 'PRIMA')")));
                // Copied while the writer is open: closing it would move the rows into the file.
                ASSERT_TRUE(QFile::copy(source + QStringLiteral("-wal"), m_path + QStringLiteral("-wal")));
                ASSERT_TRUE(QFile::copy(source, m_path));
            }
        }
        QSqlDatabase::removeDatabase(writer);
        if (!pending) {
            ASSERT_TRUE(QFile::copy(source, m_path));
        }
        ASSERT_FALSE(QFile::exists(m_path + QStringLiteral("-shm")));
        const QFileDevice::Permissions readOnly =
            QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        for (const QString& file : QDir(m_folder.path()).entryList(QDir::Files))
            ASSERT_TRUE(QFile::setPermissions(m_folder.filePath(file), readOnly));
        ASSERT_TRUE(QFile::setPermissions(m_folder.path(), readOnly | QFileDevice::ExeOwner |
                                                               QFileDevice::ExeGroup | QFileDevice::ExeOther));
    }

    // The codes the module reads, as another user would: permissions do not stop root, so as root the
    // effective user becomes nobody meanwhile.
    QStringList readAsReportUser() {
        struct Unprivileged {
            bool switched = false;
            ~Unprivileged() {
                if (switched) {
                    EXPECT_EQ(seteuid(0), 0);
                    EXPECT_EQ(setegid(0), 0);
                }
            }
        } user;
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || setegid(nobody->pw_gid) != 0 || seteuid(nobody->pw_uid) != 0) {
                ADD_FAILURE() << "cannot act as user nobody: " << std::strerror(errno);
                return {};
            }
            user.switched = true;
        }
        // Without this the test would pass whatever the module does.
        EXPECT_FALSE(QFile(m_folder.filePath(QStringLiteral("prueba"))).open(QIODevice::WriteOnly));
        SDCOMConnection connection;
        connection.Providers().add(QStringLiteral("DtsPPrueba"));
        QStringList codes;
        try {
            connection.Open(ConnectionParams::fromLocator(m_path));
            const TResultSet r =
                connection.Execute(QStringLiteral("DtsPPrueba"),
                                   QStringLiteral("SELECT COD_CONC FROM NM_CONCE ORDER BY COD_CONC"), TParams());
            for (const QVariantList& row : r.rows)
                codes << row[0].toString();
        } catch (const GeneralError& e) {
            ADD_FAILURE() << e.message().toStdString();
        }
        return codes;
    }

    QTemporaryDir m_folder{QDir::temp().filePath(QStringLiteral("vn-wal-XXXXXX"))};
    QString m_path;
};

TEST_F(SqliteReadOnlyWal, AllChangesInTheFile) {
    create(false);
    EXPECT_EQ(readAsReportUser(), QStringList({"1", "2"}));
}

TEST_F(SqliteReadOnlyWal, ChangesStillInTheWalFileAreRead) {
    create(true);
    EXPECT_EQ(readAsReportUser(), QStringList({"1", "2", "3", "4"}));
}
#endif

TEST_F(ServerExecution, SqliteReportsValuesAsStoredWithoutTypes) {
    const TResultSet r =
        run(QStringLiteral("DtsPPrueba"),
            QStringLiteral("SELECT COD_EMPL, VAL_ACUM AS Valor, FEC_ACUM, TIP_NOMI, "
                           "DATEPART(YEAR, FEC_ACUM) AS ANO FROM NM_ACUMU WHERE COD_EMPL = 103 AND "
                           "FEC_ACUM >= :P_FEC_INIC ORDER BY FEC_ACUM"));
    ASSERT_EQ(r.columns.size(), 5u);
    const QStringList names = {"COD_EMPL", "Valor", "FEC_ACUM", "TIP_NOMI", "ANO"};
    for (size_t c = 0; c < r.columns.size(); ++c) {
        EXPECT_EQ(r.columns[c].name, names[static_cast<qsizetype>(c)]);
        EXPECT_EQ(r.columns[c].type, TFieldType::ftUnknown) << c;
    }
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0].metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(r.rows[0][0].toLongLong(), 103);
    EXPECT_EQ(r.rows[0][1].toDouble(), 400.0);
    EXPECT_EQ(r.rows[0][2], QVariant(QStringLiteral("2024-01-31 10:30:00")));
    EXPECT_EQ(r.rows[1][2], QVariant(QStringLiteral("2024-02-01")));
    EXPECT_EQ(r.rows[0][3], QVariant(QStringLiteral("N")));
    EXPECT_EQ(r.rows[1][4].toLongLong(), 2024);
    const TResultSet nulls = run(QStringLiteral("DtsPPrueba"),
                                 QStringLiteral("SELECT COD_CARG FROM NM_CONTR WHERE COD_EMPL = 104"));
    ASSERT_EQ(nulls.rows.size(), 1u);
    EXPECT_FALSE(nulls.rows[0][0].isValid()) << "a null is an invalid variant";
}

TEST_F(ServerExecution, SqliteStaysReadOnlyWhenQueryOnlyIsLifted) {
    const QByteArray before = m_database->fingerprint();
    DatabaseBackend* backend = m_connection->backend();
    ASSERT_NE(backend, nullptr);
    ASSERT_NO_THROW(backend->run(TranslatedStatement{QStringLiteral("PRAGMA query_only = 0"), {}}, m_params));
    EXPECT_EQ(testsupport::errorOf([&] {
                  backend->run(TranslatedStatement{QStringLiteral("DELETE FROM NM_CONCE"), {}}, m_params);
              }),
              QStringLiteral("Error del servidor de base de datos: la base de datos está abierta solo para lectura "
                             "y la operación necesitaba escribir en ella."));
    EXPECT_EQ(m_database->fingerprint(), before);
}

// Another program changes the file between two statements of one report. Replaced (a new file renamed over
// it): the connection keeps reading the file it opened, so the report's statements agree. Cut short or
// emptied in place: the next statement that reaches the missing part fails, saying so.
TEST_F(ServerExecution, SqliteFileChangedBetweenStatements) {
    const QString path = m_database->params().server;
    const QString count = QStringLiteral("SELECT COUNT(*) FROM NM_ACUMU");
    const QStringList before = rowsOf(run(QStringLiteral("DtsPPrueba"), count));

    const QString other = path + QStringLiteral(".nuevo");
    ASSERT_TRUE(QFile::copy(path, other));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otro"));
        db.setDatabaseName(other);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("DELETE FROM NM_ACUMU")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("otro"));
    ASSERT_TRUE(QFile::remove(path) && QFile::rename(other, path));
    EXPECT_EQ(rowsOf(run(QStringLiteral("DtsPPrueba"), count)), before);

    // A fresh connection on the new file, which is then cut short and emptied under it.
    ASSERT_NO_THROW(m_connection->Open(m_database->params()));
    const QString cut = QStringLiteral(
        "Error del servidor de base de datos: el archivo de la base de datos se vació o quedó incompleto "
        "mientras se leía (otro programa lo copiaba o lo restauraba); repita la operación cuando el archivo "
        "esté completo.");
    QFile file(path);
    ASSERT_TRUE(file.resize(file.size() / 2));
    expectRefused(QStringLiteral("DtsPPrueba"), QStringLiteral("SELECT * FROM NM_ACUMU"), cut);
    ASSERT_TRUE(file.resize(0));
    expectRefused(QStringLiteral("DtsPPrueba"), count, cut);
}

} // namespace
