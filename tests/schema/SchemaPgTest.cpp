// The schema and a scale-1 demo load on PostgreSQL, in a schema of their own that the test drops again, and
// the bulk writer's COPY path against what the same rows store in SQLite and as PostgreSQL literals.
#include "BulkWriter_p.h"
#include "DemoGenerator.h"
#include "FixtureWriter.h"
#include "GeneralError.h"
#include "PostgresUrl.h"
#include "Schema.h"
#include "SchemaTestUtil.h"
#include "SqlBackend.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using schematest::scalar;

namespace {

class SchemaOnPostgres : public ::testing::Test {
protected:
    void SetUp() override {
        VN_REQUIRE_POSTGRES(url);
        m_connection = PostgresUrl::parse(url).open(QStringLiteral("schema-pg"));
        m_schema = QStringLiteral("vn_schema_test_%1").arg(QCoreApplication::applicationPid());
        QSqlQuery query(db());
        ASSERT_TRUE(query.exec(QStringLiteral("SET client_min_messages TO WARNING")));
        ASSERT_TRUE(query.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema)));
        ASSERT_TRUE(query.exec(QStringLiteral("CREATE SCHEMA %1").arg(m_schema)))
            << query.lastError().text().toStdString();
        ASSERT_TRUE(query.exec(QStringLiteral("SET search_path TO %1").arg(m_schema)));
    }
    void TearDown() override {
        if (m_connection.isEmpty())
            return;
        QSqlQuery(db()).exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        db().close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_connection, false); }

    QString m_connection;
    QString m_schema;
};

TEST_F(SchemaOnPostgres, CreatesDropsAndStoresTimestamps) {
    QSqlDatabase database = db();
    EXPECT_FALSE(Schema::hasAnyTable(database));
    Schema::create(database);
    EXPECT_TRUE(Schema::hasAnyTable(database));
    FixtureWriter fx(database);
    fx.insert("NM_ACUMU", {{"COD_EMPR", 1},
                           {"COD_EMPL", 71234567.0},
                           {"NRO_CONT", 1},
                           {"COD_CONC", 1},
                           {"FEC_ACUM", QDate(2026, 12, 31)},
                           {"TIP_NOMI", "N"},
                           {"VAL_ACUM", 10.0}});
    EXPECT_EQ(scalar(database, "SELECT pg_typeof(FEC_ACUM)::text FROM NM_ACUMU").toString(),
              QStringLiteral("timestamp without time zone"));
    QSqlQuery period(database);
    ASSERT_TRUE(period.prepare("SELECT COUNT(*) FROM NM_ACUMU WHERE FEC_ACUM >= ? AND FEC_ACUM <= ?"));
    period.addBindValue(QDateTime(QDate(2026, 10, 1), QTime(0, 0)));
    period.addBindValue(QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
    ASSERT_TRUE(period.exec() && period.next());
    EXPECT_EQ(period.value(0).toInt(), 1);
    // CHAR columns pad; the reports trim.
    fx.insert("BI_CARGO", {{"COD_EMPR", 1}, {"COD_CARG", "101"}, {"NOM_CARG", "GERENTE"}});
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM BI_CARGO WHERE COD_CARG = '101'").toInt(), 1);
    Schema::drop(database);
    EXPECT_FALSE(Schema::hasAnyTable(database));
}

TEST_F(SchemaOnPostgres, LoadsTheDemoDataSet) {
    QSqlDatabase database = db();
    const DemoSummary summary =
        DemoGenerator(DemoGenerator::kDefaultSeed, 1).fill(database, {}, DemoGenerator::Tables::Create);
    for (const auto& [table, rows] : summary.rows)
        EXPECT_EQ(scalar(database, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong(), rows)
            << table.toStdString();
    for (const char* table : {"NM_ACUMU", "NM_PRENO"})
        EXPECT_GT(scalar(database, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE COD_EMPR = 1 AND "
                                                  "FEC_ACUM BETWEEN '2026-10-01' AND '2026-12-31'")
                                       .arg(table))
                      .toInt(),
                  0)
            << table;
    // The logos went through the hexadecimal literals intact.
    EXPECT_EQ(scalar(database, "SELECT BMP_REPO FROM GN_EMPRE WHERE COD_EMPR = 1").toByteArray(),
              DemoGenerator::companyLogo(QStringLiteral("STA"), 0x1F4E79));
    EXPECT_EQ(
        scalar(
            database,
            "SELECT COUNT(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname LIKE 'ix_%'")
            .toInt(),
        Schema::statements(Schema::Part::Indexes).size());
}

// Replacing drops and loads in one transaction: when it fails, the previous tables and rows are back.
TEST_F(SchemaOnPostgres, AFailedReplacementKeepsThePreviousData) {
    QSqlDatabase database = db();
    Schema::create(database);
    FixtureWriter(database).insert("CT_CUENT", {{"COD_EMPR", 1}, {"COD_CUEN", "250505"}, {"NAT_CUEN", "C"}});
    // A view of someone else's on a table of the schema makes its drop fail midway.
    ASSERT_TRUE(QSqlQuery(database).exec("CREATE VIEW OTRA_VISTA AS SELECT * FROM NM_ACUMU"));
    const QString message =
        testsupport::errorOf([&] { DemoGenerator(1, 1).fill(database, {}, DemoGenerator::Tables::Replace); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se pudo eliminar NM_ACUMU en la base de datos: ")))
        << message.toStdString();
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM CT_CUENT").toInt(),
              1); // dropped before NM_ACUMU, restored
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM GN_EMPRE").toInt(), 0);
}

// Awkward values go through COPY's text format as they would through the literals and through SQLite:
// escapes, NULL beside empty text and a text that reads like COPY's own NULL mark, bytes with zeros,
// dates with and without time, negative and fractional amounts. Enough rows to take several COPY chunks.
TEST_F(SchemaOnPostgres, CopyStoresWhatSqliteAndLiteralsStore) {
    const QString ddl = QStringLiteral("CREATE TABLE %1 (N INTEGER NOT NULL, TXT VARCHAR(200), COD CHAR(6), "
                                       "VAL DOUBLE PRECISION, DIA TIMESTAMP, BIN BYTEA, PRIMARY KEY (N))");
    const QString columns = QStringLiteral("N,TXT,COD,VAL,DIA,BIN");
    const QVariant texts[] = {QStringLiteral("tab\there"),
                              QStringLiteral("line\nbreak\r\n"),
                              QStringLiteral("C:\\nomina\\"),
                              QStringLiteral("\\N"),
                              QStringLiteral("\\."),
                              QStringLiteral("O'NEILL \"EL MONO\""),
                              QStringLiteral("ÑUÑOA BOGOTÁ €"),
                              QString(""),
                              QVariant()};
    const QVariant amounts[] = {-1234.5, 0.1, 1.0 / 3.0, 1e20, -987654321.125, 7, QVariant()};
    const QVariant days[] = {QDate(2026, 12, 31), QDateTime(QDate(2024, 11, 5), QTime(8, 30, 0)),
                             QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59, 900)),
                             QDateTime(QDate(2026, 3, 1), QTime(0, 0)), QVariant()};
    const QVariant bytes[] = {QByteArray("\x00\x01\\\n\t\xff\x00", 7), QByteArray("PNG"), QVariant()};
    const auto rowValues = [&](int n, SqlBackend backend) {
        const QString pad = n % 5 == 0 ? QString(150, u'x') : QString();
        const QVariant& text = texts[n % std::size(texts)];
        return std::vector<QVariant>{n - 1000,
                                     text.isNull() ? text : QVariant(text.toString() + pad),
                                     n % 4 ? QVariant(QStringLiteral("A\tB")) : QVariant(QStringLiteral("")),
                                     amounts[n % std::size(amounts)],
                                     storageValue(days[n % std::size(days)], backend),
                                     bytes[n % std::size(bytes)]};
    };
    constexpr int kRows = 3000; // some 300 KB of COPY text

    const auto load = [&](QSqlDatabase database, const QString& table) {
        ASSERT_TRUE(QSqlQuery(database).exec(ddl.arg(table)));
        ASSERT_TRUE(database.transaction()); // as the demo load does; SQLite would sync every row otherwise
        BulkWriter writer(database, table, columns, {});
        for (int n = 0; n < kRows; ++n) {
            const auto v = rowValues(n, sqlBackendOf(database));
            writer.add({v[0], v[1], v[2], v[3], v[4], v[5]});
        }
        writer.finish();
        ASSERT_TRUE(database.commit());
    };
    QSqlDatabase pg = db();
    ASSERT_NO_THROW(load(pg, QStringLiteral("VN_COPIA")));
    // The same rows as one multi-row INSERT of literals, the way the load wrote them before COPY.
    ASSERT_TRUE(QSqlQuery(pg).exec(ddl.arg(QStringLiteral("VN_LITERAL"))));
    QStringList tuples;
    for (int n = 0; n < kRows; ++n) {
        QStringList values;
        for (const QVariant& v : rowValues(n, SqlBackend::Postgres))
            values << sqlLiteral(v, SqlBackend::Postgres);
        tuples << u'(' + values.join(u',') + u')';
    }
    QSqlQuery literal(pg);
    ASSERT_TRUE(
        literal.exec(QStringLiteral("INSERT INTO VN_LITERAL (%1) VALUES %2").arg(columns, tuples.join(u','))))
        << literal.lastError().text().toStdString();
    // Exact on the server: the same doubles, timestamps, bytes and texts, row for row.
    EXPECT_EQ(scalar(pg, "SELECT COUNT(*) FROM VN_COPIA").toInt(), kRows);
    EXPECT_EQ(
        scalar(pg, "SELECT COUNT(*) FROM (SELECT * FROM VN_COPIA EXCEPT ALL SELECT * FROM VN_LITERAL) d")
            .toInt(),
        0);

    const QString sqliteName =
        Schema::createSqliteFile(schematest::freshPath(QStringLiteral("copia")), false);
    ASSERT_NO_THROW(load(QSqlDatabase::database(sqliteName, false), QStringLiteral("VN_COPIA")));
    // Read back as the module reads them: dates as ISO text, CHAR padding trimmed, bytes as hexadecimal.
    const auto readBack = [&](const QSqlDatabase& database) {
        QStringList rows;
        QSqlQuery query(database);
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT %1 FROM VN_COPIA ORDER BY N").arg(columns)));
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < 6; ++i) {
                const QVariant v = query.value(i);
                if (v.isNull())
                    fields << QStringLiteral("<NULL>");
                else if (i == 3)
                    fields << QString::number(v.toDouble(), 'g', 17);
                else if (i == 4)
                    fields << (v.typeId() == QMetaType::QDateTime ? isoDateTime(v.toDateTime())
                                                                  : v.toString());
                else if (i == 5)
                    fields << QString::fromLatin1(v.toByteArray().toHex());
                else
                    fields << (i == 2 ? v.toString().trimmed() : v.toString());
            }
            rows << fields.join(u'|');
        }
        return rows;
    };
    const QStringList fromSqlite = readBack(QSqlDatabase::database(sqliteName, false));
    QSqlDatabase::database(sqliteName, false).close();
    QSqlDatabase::removeDatabase(sqliteName);
    const QStringList fromPostgres = readBack(pg);
    ASSERT_EQ(fromPostgres.size(), kRows);
    for (int n = 0; n < kRows; ++n)
        ASSERT_EQ(fromPostgres.at(n), fromSqlite.value(n)) << "row " << n;
}

// A COPY the server refuses (a repeated key) surfaces as the writer's error, and leaves the connection
// able to roll the load back and go on.
TEST_F(SchemaOnPostgres, ARefusedCopyIsReportedAndRolledBack) {
    QSqlDatabase database = db();
    Schema::create(database);
    ASSERT_TRUE(database.transaction());
    const QString message = testsupport::errorOf([&] {
        BulkWriter writer(database, QStringLiteral("CT_CUENT"), QStringLiteral("COD_EMPR,COD_CUEN,NAT_CUEN"),
                          {});
        writer.add({1, QStringLiteral("250505"), QStringLiteral("C")});
        writer.add({1, QStringLiteral("250505"), QStringLiteral("D")});
        writer.finish();
    });
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se pudo escribir en CT_CUENT: ")) &&
                message.contains(QStringLiteral("250505")))
        << message.toStdString();
    EXPECT_TRUE(database.rollback()) << database.lastError().text().toStdString();
    EXPECT_EQ(scalar(database, "SELECT COUNT(*) FROM CT_CUENT").toInt(), 0);
}

} // namespace
