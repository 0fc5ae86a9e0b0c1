// The application server on PostgreSQL (VNMRTGEN_PG_URL). Each test gets a fresh database, created and
// filled through a writable connection of the test and dropped at the end; the module's connection reads
// it.
#include "DatabaseBackend.h"
#include "ExecutionFixture.h"
#include "GeneralError.h"
#include "PostgresUrl.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <chrono>
#include <thread>

namespace {

// A database of its own on the server of the run, filled through a writable connection of the test.
class PostgresTestDatabase : public TestDatabase {
public:
    explicit PostgresTestDatabase(const QString& url)
        : m_server(PostgresUrl::parse(url)), m_params(ConnectionParams::fromLocator(url)) {
        static int counter = 0;
        ++counter;
        m_params.alias =
            QStringLiteral("vn_servidor_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter);
        try {
            m_writer = m_server.recreateDatabase(m_params.alias)
                           .open(QStringLiteral("fixture-writer-%1").arg(counter));
        } catch (const GeneralError& e) {
            ADD_FAILURE() << e.message().toStdString();
            return;
        }
        createFixtureTables(*this);
    }

    ~PostgresTestDatabase() override {
        QSqlDatabase::database(m_writer, false).close();
        QSqlDatabase::removeDatabase(m_writer);
        m_server.dropDatabase(m_params.alias);
    }

    void write(const QString& statement) override {
        QSqlQuery q(QSqlDatabase::database(m_writer, false));
        EXPECT_TRUE(q.exec(statement))
            << statement.toStdString() << ": " << q.lastError().text().toStdString();
    }

    ConnectionParams params() const override { return m_params; }

    // Every row of every table of the database, in a fixed order.
    QByteArray fingerprint() override {
        QSqlQuery q(QSqlDatabase::database(m_writer, false));
        const QString sql = QStringLiteral(
            "SELECT string_agg(format('%s:%s', c.relname, "
            "(xpath('/row/c/text()', query_to_xml(format('SELECT md5(string_agg(t::text, '','' ORDER BY "
            "t::text)) "
            "AS c FROM %I t', c.relname), false, true, '')))[1]::text), ';' ORDER BY c.relname) "
            "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = 'public' AND c.relkind = 'r'");
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        EXPECT_TRUE(q.next());
        return QCryptographicHash::hash(q.value(0).toString().toUtf8(), QCryptographicHash::Sha256);
    }

private:
    PostgresUrl m_server;
    ConnectionParams m_params;
    QString m_writer;
};

} // namespace

void makeTestDatabase(std::unique_ptr<TestDatabase>& database) {
    VN_REQUIRE_POSTGRES(url);
    database = std::make_unique<PostgresTestDatabase>(url);
}

namespace {

TEST_F(ServerExecution, PostgresReportsColumnTypesAndDates) {
    const TResultSet r =
        run(QStringLiteral("DtsPPrueba"),
            QStringLiteral("SELECT COD_EMPR, COD_EMPL, VAL_ACUM AS Valor, FEC_ACUM, TIP_NOMI, "
                           "COUNT(*) AS CONTEO, DATEPART(YEAR, FEC_ACUM) AS ANO FROM NM_ACUMU "
                           "WHERE COD_EMPL = 103 AND FEC_ACUM >= :P_FEC_INIC GROUP BY COD_EMPR, "
                           "COD_EMPL, VAL_ACUM, FEC_ACUM, TIP_NOMI ORDER BY FEC_ACUM"));
    ASSERT_EQ(r.columns.size(), 7u);
    const struct {
        const char* name;
        TFieldType type;
    } expected[] = {{"cod_empr", TFieldType::ftSmallint},  {"cod_empl", TFieldType::ftInteger},
                    {"valor", TFieldType::ftFloat},        {"fec_acum", TFieldType::ftDateTime},
                    {"tip_nomi", TFieldType::ftFixedChar}, {"conteo", TFieldType::ftLargeint},
                    {"ano", TFieldType::ftInteger}};
    for (size_t c = 0; c < r.columns.size(); ++c) {
        EXPECT_EQ(r.columns[c].name, QString::fromLatin1(expected[c].name));
        EXPECT_EQ(r.columns[c].type, expected[c].type) << expected[c].name;
    }
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0], QVariant(1));
    EXPECT_EQ(r.rows[0][2], QVariant(400.0));
    const TDateTime firstDate(r.rows[0][3].toDouble());
    EXPECT_EQ(firstDate.toIso(), QStringLiteral("2024-01-31 10:30:00"));
    EXPECT_DOUBLE_EQ(r.rows[1][3].toDouble(), TDateTime::encodeDate(2024, 2, 1).value());
    EXPECT_EQ(r.rows[0][4], QVariant(QStringLiteral("N")));
    EXPECT_EQ(r.rows[0][5], QVariant(qlonglong(1)));
    EXPECT_EQ(r.rows[1][6], QVariant(2024));
}

TEST_F(ServerExecution, PostgresSettingsChangedByAStatementDoNotLast) {
    const QByteArray before = m_database->fingerprint();
    DatabaseBackend* backend = m_connection->backend();
    ASSERT_NE(backend, nullptr);
    const TranslatedStatement readOnly{
        QStringLiteral("SELECT current_setting('default_transaction_read_only') AS V"), {}};
    // A SELECT may change a setting; its transaction is rolled back, and the change with it.
    EXPECT_EQ(rowsOf(backend->run(
                  TranslatedStatement{QStringLiteral("SELECT set_config("
                                                     "'default_transaction_read_only', 'off', false)"),
                                      {}},
                  m_params)),
              QStringList({"off"}));
    EXPECT_EQ(rowsOf(backend->run(readOnly, m_params)), QStringList({"on"}));
    // Statements run prepared, so session commands and DDL cannot even be sent.
    for (const char* command :
         {"SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE", "CREATE TABLE X (A INTEGER)"})
        EXPECT_THROW(backend->run(TranslatedStatement{QString::fromLatin1(command), {}}, m_params),
                     GeneralError)
            << command;
    for (const char* write : {"DELETE FROM NM_CONCE", "INSERT INTO NM_CONCE VALUES (3, 1, 'X', 'I')",
                              "UPDATE NM_ACUMU SET VAL_ACUM = 0"}) {
        const QString message = testsupport::errorOf([&] {
            backend->run(TranslatedStatement{QString::fromLatin1(write), {}}, m_params);
        });
        EXPECT_EQ(message,
                  QStringLiteral("Error del servidor de base de datos: la conexión es de solo lectura y "
                                 "no admite cambios en la base de datos."));
    }
    EXPECT_EQ(m_database->fingerprint(), before);
}

TEST_F(ServerExecution, PostgresConnectionSurvivesAFailedStatement) {
    EXPECT_THROW(m_connection->Execute(QStringLiteral("DtsPPrueba"),
                                       QStringLiteral("SELECT 1 / 0 AS X FROM NM_CONCE"), m_params),
                 GeneralError);
    EXPECT_EQ(rowsOf(run(QStringLiteral("DtsPPrueba"), QStringLiteral("SELECT COUNT(*) FROM NM_CONCE"))),
              QStringList({"5"}));
}

TEST(PostgresOpen, MissingDatabaseRefused) {
    VN_REQUIRE_POSTGRES(url);
    ConnectionParams params = ConnectionParams::fromLocator(url);
    params.alias = QStringLiteral("vn_no_existe");
    SDCOMConnection connection;
    const QString message = testsupport::errorOf([&] { connection.Open(params); });
    EXPECT_EQ(message, QStringLiteral("No se pudo abrir la base de datos 'vn_no_existe': la base de datos "
                                      "vn_no_existe no existe en el servidor PostgreSQL."));
    EXPECT_FALSE(connection.Connected());
}

TEST(PostgresOpen, UnreachableServerRefusedWithoutThePassword) {
    ConnectionParams params;
    params.protocol = QStringLiteral("postgresql");
    params.server = QStringLiteral("127.0.0.1:1"); // a privileged port no test server listens on
    params.alias = QStringLiteral("nomina");
    params.user = QStringLiteral("informes");
    params.password = QStringLiteral("Cl4ve-Secreta");
    SDCOMConnection connection;
    const QString message = testsupport::errorOf([&] { connection.Open(params); });
    EXPECT_TRUE(message.startsWith(QStringLiteral(
        "No se pudo abrir la base de datos 'nomina': no se pudo comunicar con el servidor PostgreSQL; "
        "compruebe "
        "el nombre del servidor, el puerto y la red, y que el servidor esté en marcha (detalle técnico: ")))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(QStringLiteral(")."))) << message.toStdString();
    EXPECT_FALSE(message.contains(params.password));
}

// A socket directory as host reaches the server without TCP, and an application_name of the locator
// replaces the module's own.
TEST(PostgresOpen, SocketDirectoryAndTheLocatorsApplicationName) {
    VN_REQUIRE_POSTGRES(url);
    const PostgresUrl server = PostgresUrl::parse(url);
    QString directory;
    QString port;
    {
        const QString name = server.open(QStringLiteral("socket-settings"));
        QSqlQuery q(QSqlDatabase::database(name, false));
        ASSERT_TRUE(
            q.exec(QStringLiteral("SELECT split_part(current_setting('unix_socket_directories'), ',', 1), "
                                  "current_setting('port')")) &&
            q.next());
        directory = q.value(0).toString().trimmed();
        port = q.value(1).toString();
        q.finish();
        QSqlDatabase::database(name, false).close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("socket-settings"));
    QString locator = QStringLiteral("postgresql:///%1?host=%2&port=%3&application_name=Informes%20Sur")
                          .arg(server.database, QString::fromUtf8(QUrl::toPercentEncoding(directory)), port);
    if (!server.user.isEmpty())
        locator += QStringLiteral("&user=") + server.user;
    SDCOMConnection connection;
    try {
        connection.Open(ConnectionParams::fromLocator(locator));
    } catch (const GeneralError& e) {
        FAIL() << e.message().toStdString();
    }
    const TResultSet r = connection.backend()->run(
        TranslatedStatement{QStringLiteral("SELECT current_setting('application_name') || '|' || "
                                           "COALESCE(host(inet_server_addr()), 'socket')"),
                            {}},
        TParams());
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0].toString(), QStringLiteral("Informes Sur|socket"));
}

const QString kSessionEnded = QStringLiteral(
    "Error del servidor de base de datos: el servidor PostgreSQL cerró la conexión (apagado o reinicio del "
    "servidor, o un administrador la terminó); vuelva a conectarse y repita la operación.");

// Ends the module's session as a fast shutdown of the server does (57P01), from a connection of its own in
// another thread, once the module's statement has been running for `after` seconds.
class SessionEnder {
public:
    SessionEnder(const QString& database, double after) {
        m_thread = std::thread([database, after] {
            const QString name = QStringLiteral("session-ender");
            {
                QSqlDatabase db = QSqlDatabase::database(
                    PostgresUrl::parse(testsupport::postgresUrl()).open(name), false);
                QSqlQuery q(db);
                const QString sql = QStringLiteral(
                    "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity WHERE datname = '%1' AND "
                    "application_name = 'VNmRtgen' AND state = 'active' AND now() - query_start > "
                    "interval '%2 seconds'").arg(database).arg(after);
                for (int tries = 0; tries < 200; ++tries) {
                    if (q.exec(sql) && q.next())
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            QSqlDatabase::removeDatabase(name);
        });
    }
    ~SessionEnder() { m_thread.join(); }

private:
    std::thread m_thread;
};

// The server ends the session between two statements, during a statement that has sent nothing yet, and
// while rows are coming in (the driver fetches row by row: the server flushes a row every few of them).
// Each time the statement fails and says so, with no rows; the next statement opens the connection anew.
TEST_F(ServerExecution, PostgresConnectionEndedByTheServerSaysSo) {
    m_database->write(QStringLiteral("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                                     "WHERE datname = '%1' AND application_name = 'VNmRtgen'")
                          .arg(m_database->params().alias));
    expectRefused(QStringLiteral("DtsPPrueba"), QStringLiteral("SELECT COUNT(*) FROM NM_CONCE"), kSessionEnded);
    EXPECT_FALSE(m_connection->Connected());
    EXPECT_EQ(rowsOf(run(QStringLiteral("DtsPPrueba"), QStringLiteral("SELECT COUNT(*) FROM NM_CONCE"))),
              QStringList({"5"}));

    {
        const SessionEnder ender(m_database->params().alias, 0.3);
        expectRefused(QStringLiteral("DtsPPrueba"),
                      QStringLiteral("SELECT COUNT(*) FROM NM_CONCE WHERE (SELECT 1 FROM pg_sleep(20)) = 1"),
                      kSessionEnded);
    }
    {
        const SessionEnder ender(m_database->params().alias, 1);
        expectRefused(QStringLiteral("DtsPPrueba"),
                      QStringLiteral("SELECT G, REPEAT('x', 1000) AS R FROM generate_series(1, 2000) G "
                                     "WHERE (SELECT 1 FROM pg_sleep(0.01 + G * 0)) = 1"),
                      kSessionEnded);
    }
    EXPECT_EQ(rowsOf(run(QStringLiteral("DtsPPrueba"), QStringLiteral("SELECT COUNT(*) FROM NM_CONCE"))),
              QStringList({"5"}));
}

TEST(PostgresOpen, BadPortRefused) {
    ConnectionParams params;
    params.protocol = QStringLiteral("postgresql");
    params.server = QStringLiteral("localhost:cero");
    params.alias = QStringLiteral("nomina");
    SDCOMConnection connection;
    EXPECT_EQ(testsupport::errorOf([&] { connection.Open(params); }),
              QStringLiteral("No se pudo abrir la base de datos 'nomina': el puerto 'cero' no es válido."));
}

} // namespace
