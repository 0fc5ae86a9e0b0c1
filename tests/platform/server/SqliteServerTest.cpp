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

TEST(SqliteOpen, FileThatIsNoDatabaseRefusedAndKept) {
    const QString path = testsupport::tempPath(QStringLiteral("notas.txt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(
            "Esto no es una base de datos, aunque sea bastante largo para parecerlo a primera vista."));
    }
    const QString message = openRefusal(path);
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se pudo abrir la base de datos '%1': ").arg(path)))
        << message.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("Esto no es una base de datos"));
}

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
    EXPECT_TRUE(testsupport::errorOf([&] {
                    backend->run(TranslatedStatement{QStringLiteral("DELETE FROM NM_CONCE"), {}}, m_params);
                }).startsWith(QStringLiteral("Error del servidor de base de datos: ")));
    EXPECT_EQ(m_database->fingerprint(), before);
}

} // namespace
