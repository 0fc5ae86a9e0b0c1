// Every fixed statement of the data module, run through the read-only application-server connection on
// the demo database (scale 1), on SQLite and on PostgreSQL: each must be accepted by the backend, return
// the columns its persistent fields expect, and give rows where the demo data holds some.
//
// Parameter values come from the module's own catalogue queries (classes, prototypes, parameter rows,
// requisitions of the period), so a sample follows the demo data rather than restating it.
#include "DemoGenerator.h"
#include "GeneralError.h"
#include "PostgresUrl.h"
#include "Providers.h"
#include "SDCOMConnection.h"
#include "Schema.h"
#include "StatementCheck.h"
#include "TDtmNmRtgen.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>

// Fails the test with the Spanish message when the statement raises the module's error.
#define ASSERT_NO_GENERAL_ERROR(statement)                                                                   \
    try {                                                                                                    \
        statement;                                                                                           \
    } catch (const GeneralError& error) {                                                                    \
        FAIL() << error.message().toStdString();                                                             \
    }

namespace {

const TDateTime kFrom = TDateTime::encodeDate(2026, 10, 1);
const TDateTime kTo = TDateTime::encodeDate(2026, 12, 31);

// Runs every fixed statement through the connection; each failure names the query and, for an error,
// the server's message. Then tries to write through the same connection, which must be refused.
void runEveryFixedStatement(SDCOMConnection& connection) {
    registerProviders(connection.Providers());
    TDtmNmRtgen dtm(&connection);

    QStringList covered = checkedStatementProviders();
    covered.sort();
    QStringList fixed = fixedStatementProviders();
    fixed.sort();
    ASSERT_EQ(covered, fixed) << "every fixed statement needs a sample";

    std::vector<StatementCheckResult> results;
    try {
        results = checkFixedStatements(dtm, 1, kFrom, kTo);
    } catch (const GeneralError& error) {
        FAIL() << "catálogos: " << error.message().toStdString();
    }
    for (const StatementCheckResult& r : results) {
        SCOPED_TRACE(r.query.toStdString());
        EXPECT_TRUE(r.error.isEmpty()) << r.error.toStdString();
        if (r.expectsRows) {
            EXPECT_GT(r.parameterSets, 0) << "a catalogue query it depends on returned no rows";
            EXPECT_TRUE(r.data) << "no data for any of " << r.parameterSets << " parameter sets";
        } else {
            EXPECT_EQ(r.rows, 0);
        }
    }

    // The last quarter of 2026 is partly closed and partly open payroll: a cost centre and class paid in
    // both comes back once per source, even when both sources hold the same figure.
    try {
        QHash<QPair<int, int>, int> rowsPerKey;
        SClientDataSet& q = *dtm.QryTotNomi;
        q.Close();
        q.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(1);
        q.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(kFrom);
        q.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(kTo);
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            ++rowsPerKey[{q.FieldByName(QStringLiteral("COD_CCOS")).AsInteger(),
                          q.FieldByName(QStringLiteral("COD_TNOM")).AsInteger()}];
        EXPECT_TRUE(std::any_of(rowsPerKey.cbegin(), rowsPerKey.cend(), [](int rows) { return rows == 2; }));
        EXPECT_TRUE(std::all_of(rowsPerKey.cbegin(), rowsPerKey.cend(), [](int rows) { return rows <= 2; }));
    } catch (const GeneralError& error) {
        ADD_FAILURE() << "QryTotNomi: " << error.message().toStdString();
    }

    // The module only reads: a write sent through its own connection is refused.
    for (const char* write : {"DELETE FROM NM_ACUMU", "UPDATE GN_EMPRE SET NOM_EMPR = 'X'",
                              "INSERT INTO NM_TNOMI (COD_EMPR, COD_TNOM, NOM_TNOM) VALUES (1, 999, 'X')"}) {
        EXPECT_THROW(connection.Execute(QStringLiteral("DtsPTotNomi"), QString::fromLatin1(write), TParams()), GeneralError)
            << write;
    }
}

QByteArray checksum(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

// Writes the demo data set into an empty schema on the given writable connection.
void fillDemo(QSqlDatabase& db) {
    DemoGenerator(DemoGenerator::kDefaultSeed, 1).fill(db);
}

} // namespace

TEST(StatementsOnDemo, SQLite) {
    const QString path = testsupport::tempPath(QStringLiteral("statements-demo.sqlite"));
    {
        const QString name = Schema::createSqliteFile(path, false);
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            ASSERT_NO_GENERAL_ERROR(fillDemo(db));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    SDCOMConnection connection;
    ConnectionParams params;
    params.protocol = QStringLiteral("sqlite");
    params.server = path;
    ASSERT_NO_GENERAL_ERROR(connection.Open(params));
    const QByteArray before = checksum(path);
    runEveryFixedStatement(connection);
    connection.Close();
    EXPECT_EQ(checksum(path), before) << "reading the demo database changed its file";
}

TEST(StatementsOnDemo, PostgreSQL) {
    VN_REQUIRE_POSTGRES(url);
    const PostgresUrl server = PostgresUrl::parse(url);
    // A database of its own, so that tests running beside it on the same server see none of its tables.
    PostgresUrl target;
    ASSERT_NO_GENERAL_ERROR(target = server.recreateDatabase(QStringLiteral("vn_test_data_statements")));
    {
        const QString name = target.open(QStringLiteral("statements-fill"));
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            ASSERT_NO_GENERAL_ERROR(Schema::createTables(db));
            ASSERT_NO_GENERAL_ERROR(fillDemo(db));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    SDCOMConnection connection;
    ConnectionParams params;
    params.protocol = QStringLiteral("postgresql");
    params.server = QStringLiteral("%1:%2").arg(target.host).arg(target.port);
    params.alias = target.database;
    params.user = target.user;
    params.password = target.password;
    ASSERT_NO_GENERAL_ERROR(connection.Open(params));
    runEveryFixedStatement(connection);
    connection.Close();

    server.dropDatabase(target.database);
}
