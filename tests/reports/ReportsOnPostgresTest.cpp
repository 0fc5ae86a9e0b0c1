// The four reports on PostgreSQL give what they give on SQLite: the same fixture rows are loaded into a
// fresh PostgreSQL database, every comparison scenario runs on both, and the result-set rows and the
// printed texts (all but the print date and time) must be equal. The SQLite figures themselves are
// checked by hand in the other tests of this folder.
#include "GeneralError.h"
#include "PayrollFixture.h"
#include "PostgresUrl.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

struct Outcome {
    QStringList rows;
    QStringList texts;
    QString error;
};

Outcome runScenario(const ConnectionParams& params, const Scenario& s) {
    Outcome out;
    try {
        ReportRun run(params);
        s.run(run);
        out.rows = rowsOf(*s.resultSet(run.dtm), s.fields);
        out.texts = printedTexts(run.lastReport());
    } catch (const GeneralError& e) {
        out.error = e.message();
    }
    return out;
}

TEST(ReportsOnPostgres, SameRowsAndTextsAsOnSqlite) {
    VN_REQUIRE_POSTGRES(url);
    const PostgresUrl server = PostgresUrl::parse(url);
    PostgresUrl target;
    try {
        target = server.recreateDatabase(QStringLiteral("vn_test_reports_compare"));
    } catch (const GeneralError& e) {
        FAIL() << e.message().toStdString();
    }
    try {
        const QString name = target.open(QStringLiteral("reports-pg-fill"));
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            Schema::create(db);
            writeRows(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } catch (const GeneralError& e) {
        server.dropDatabase(target.database);
        FAIL() << e.message().toStdString();
    }

    ConnectionParams pg;
    pg.protocol = QStringLiteral("postgresql");
    pg.server = QStringLiteral("%1:%2").arg(target.host).arg(target.port);
    pg.alias = target.database;
    pg.user = target.user;
    pg.password = target.password;

    for (const Scenario& s : comparisonScenarios()) {
        SCOPED_TRACE(s.name.toStdString());
        const Outcome lite = runScenario(sqliteParams(), s);
        const Outcome post = runScenario(pg, s);
        ASSERT_TRUE(lite.error.isEmpty()) << "SQLite: " << lite.error.toStdString();
        EXPECT_TRUE(post.error.isEmpty()) << "PostgreSQL: " << post.error.toStdString();
        EXPECT_FALSE(lite.texts.isEmpty());
        EXPECT_EQ(post.rows, lite.rows);
        EXPECT_EQ(post.texts, lite.texts);
    }

    server.dropDatabase(target.database);
}

} // namespace
