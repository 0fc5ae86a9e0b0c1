// Every fixed statement of the data module, run through the read-only application-server connection on
// the demo database (scale 1), on SQLite and on PostgreSQL: each must be accepted by the backend, return
// a column of a fitting kind for every persistent field the module declares, and give rows where the demo
// data holds some.
//
// Parameter values come from the module's own catalogue queries (classes, prototypes, parameter rows,
// requisitions of the period), so a sample follows the demo data rather than restating it.
#include "DatasetCatalog.h"
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

enum class Kind { Number, Text, Date };

Kind kindOf(TFieldType type) {
    if (isTextType(type))
        return Kind::Text;
    return type == TFieldType::ftDateTime ? Kind::Date : Kind::Number;
}

// SQLite reports no column types: there the values tell, dates being ISO text.
bool holdsKind(const QVariant& value, Kind kind) {
    if (kind == Kind::Date)
        return value.typeId() == QMetaType::QString && TDateTime::fromIso(value.toString()).has_value();
    return value.typeId() != QMetaType::QString && value.canConvert<double>();
}

// Every persistent field declared for a fixed statement is a column the statement returns (with the
// parameters the check last opened it with), of a kind the field can hold and, for text, no longer than
// the field: a renamed column or a wrong declaration shows here rather than as a blank in a report.
void expectDeclaredFieldsAmongTheColumns(SDCOMConnection& connection, TDtmNmRtgen& dtm) {
    for (const QueryDecl& decl : serverQueryCatalog()) {
        if (decl.source != StatementSource::Fixed)
            continue;
        SCOPED_TRACE(decl.name.toStdString());
        const SClientDataSet& query = *(dtm.*decl.member);
        TResultSet result;
        try {
            result = connection.Execute(decl.providerName(), query.CommandText(), query.Params());
        } catch (const GeneralError& error) {
            ADD_FAILURE() << error.message().toStdString();
            continue;
        }
        for (const FieldDecl& field : decl.fields) {
            if (field.flag == FieldFlag::Calculated)
                continue;
            const auto column =
                std::find_if(result.columns.cbegin(), result.columns.cend(), [&](const TResultColumn& c) {
                    return c.name.compare(field.name, Qt::CaseInsensitive) == 0;
                });
            if (column == result.columns.cend()) {
                ADD_FAILURE() << field.name.toStdString() << " is no column of the statement";
                continue;
            }
            // A text field takes any value; numbers and dates need columns of their own kind.
            const Kind kind = kindOf(field.type);
            if (kind != Kind::Text && column->type != TFieldType::ftUnknown) {
                EXPECT_TRUE(kindOf(column->type) == kind)
                    << field.name.toStdString() << ": " << fieldTypeName(field.type) << " fed by "
                    << fieldTypeName(column->type);
            }
            const qsizetype at = column - result.columns.cbegin();
            for (const QVariantList& row : result.rows) {
                const QVariant& value = row[at];
                if (value.isNull())
                    continue;
                if (kind == Kind::Text) {
                    EXPECT_LE(value.toString().trimmed().size(), field.size)
                        << field.name.toStdString() << ": " << value.toString().toStdString();
                } else if (column->type == TFieldType::ftUnknown) {
                    EXPECT_TRUE(holdsKind(value, kind))
                        << field.name.toStdString() << ": " << fieldTypeName(field.type) << " fed by "
                        << value.toString().toStdString();
                }
            }
        }
    }
}

// Runs every fixed statement through the connection; each failure names the query and, for an error,
// the server's message.
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

    expectDeclaredFieldsAmongTheColumns(connection, dtm);

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
}

QByteArray checksum(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

} // namespace

TEST(StatementsOnDemo, SQLite) {
    const QString path = testsupport::tempPath(QStringLiteral("statements-demo.sqlite"));
    {
        const QString name = Schema::createSqliteFile(path, false);
        {
            QSqlDatabase db = QSqlDatabase::database(name);
            ASSERT_NO_GENERAL_ERROR(DemoGenerator(DemoGenerator::kDefaultSeed, 1).fill(db));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    SDCOMConnection connection;
    ASSERT_NO_GENERAL_ERROR(connection.Open(ConnectionParams::fromLocator(path)));
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
            ASSERT_NO_GENERAL_ERROR(DemoGenerator(DemoGenerator::kDefaultSeed, 1).fill(db));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    SDCOMConnection connection;
    ConnectionParams params = ConnectionParams::fromLocator(url);
    params.alias = target.database;
    ASSERT_NO_GENERAL_ERROR(connection.Open(params));
    runEveryFixedStatement(connection);
    connection.Close();

    server.dropDatabase(target.database);
}
