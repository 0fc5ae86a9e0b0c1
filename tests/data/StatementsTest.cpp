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
#include "TDtmNmRtgen.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <functional>

// Fails the test with the Spanish message when the statement raises the module's error.
#define ASSERT_NO_GENERAL_ERROR(statement)                                                                   \
    try {                                                                                                    \
        statement;                                                                                           \
    } catch (const GeneralError& error) {                                                                    \
        FAIL() << error.message().toStdString();                                                             \
    }

namespace {

constexpr int kCompany = 1;

QVariant date(int year, int month, int day) {
    return TDateTime::encodeDate(year, month, day).value();
}

using ParamSet = QList<std::pair<QString, QVariant>>;

// Values read from the demo database through the module's catalogue queries.
struct DemoValues {
    QList<int> classes;
    QList<int> prototypes;
    QStringList accounts;          // COD_CUEN of the "CN" parameter rows
    QList<int> noveltyPrototypes;  // COD_PROT of the "CN" parameter rows
    QStringList reportedPositions; // COD_TNOM of the "PF" parameter rows, as text
    QList<ParamSet> applicantCombinations;
    QList<ParamSet> requisitions;
    QList<ParamSet> territories;
};

enum class Expect { Rows, NoRows };

struct Sample {
    const char* query;
    std::function<QList<ParamSet>(const DemoValues&)> cases;
    Expect expect = Expect::Rows;
};

ParamSet company() {
    return {{"P_COD_EMPR", kCompany}};
}
ParamSet period() {
    return {{"P_COD_EMPR", kCompany}, {"P_FEC_INIC", date(2026, 10, 1)}, {"P_FEC_FINA", date(2026, 12, 31)}};
}
ParamSet with(ParamSet set, const ParamSet& more) {
    set += more;
    return set;
}
template <typename T>
QList<ParamSet> each(const QList<T>& values, const std::function<ParamSet(const T&)>& make) {
    QList<ParamSet> sets;
    for (const T& value : values)
        sets << make(value);
    return sets;
}
QList<ParamSet> one(const ParamSet& set) {
    return {set};
}
QList<ParamSet> perClass(const DemoValues& v, bool dated) {
    return each<int>(v.classes, [dated](const int& c) {
        ParamSet set{{"P_COD_EMPR", kCompany}, {"P_COD_TNOM", c}};
        if (dated)
            set << std::pair<QString, QVariant>{"P_FEC_INIC", date(2026, 10, 1)}
                << std::pair<QString, QVariant>{"P_FEC_FINA", date(2026, 12, 31)};
        return set;
    });
}

// Every fixed-statement query with the parameter sets to try; at least one set must give data.
const std::vector<Sample>& samples() {
    static const std::vector<Sample> all{
        {"QryNmRtgen", [](const DemoValues&) { return one({}); }, Expect::NoRows},
        {"QryNmTnomi", [](const DemoValues&) { return one(company()); }},
        {"QryNmParin", [](const DemoValues&) { return one(company()); }},
        {"QryNmParam", [](const DemoValues&) { return one(company()); }},
        {"QryNmTnomi1",
         [](const DemoValues& v) {
             return each<int>(v.classes, [](const int& c) {
                 return ParamSet{{"cod_empr", kCompany}, {"cod_tnom", c}};
             });
         }},
        {"QryNmConce",
         [](const DemoValues& v) {
             return each<int>(v.prototypes, [](const int& p) {
                 return ParamSet{{"cod_empr", kCompany}, {"cod_prot", p}};
             });
         }},
        {"QrySaldoOrvex",
         [](const DemoValues& v) {
             return each<QString>(v.accounts, [](const QString& account) {
                 return ParamSet{{"P_COD_EMPR", kCompany},
                                 {"P_ANO_ACUM", 2026},
                                 {"P_MES_ACUM", 13},
                                 {"P_COD_CUEN", account}};
             });
         }},
        {"QryNmPrtgeCn",
         [](const DemoValues&) {
             return one({{"COD_EMPR", kCompany}});
         }},
        {"QryNmPrtgePf",
         [](const DemoValues&) {
             return one({{"COD_EMPR", kCompany}});
         }},
        {"QryAcumPreno", [](const DemoValues&) { return one(period()); }},
        {"QryTotRqpEst", [](const DemoValues&) { return one(period()); }},
        {"QryTotAspiCarg", [](const DemoValues& v) { return v.applicantCombinations; }},
        {"QryTotAspiContr", [](const DemoValues& v) { return v.applicantCombinations; }},
        {"QrySlReqpe", [](const DemoValues&) { return one(period()); }},
        {"QryPlanta", [](const DemoValues& v) { return perClass(v, false); }},
        {"QryPlantCarg", [](const DemoValues& v) { return perClass(v, false); }},
        {"QryIngresos", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryIngreCarg", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryRetiros", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryRetirCarg", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryNmVacac", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryNmVacaCarg", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryIncapacidades", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryIncapCarg", [](const DemoValues& v) { return perClass(v, true); }},
        {"QryVacantes", [](const DemoValues& v) { return perClass(v, false); }},
        {"QryVacanCarg", [](const DemoValues& v) { return perClass(v, false); }},
        {"QryNmNoved",
         [](const DemoValues& v) {
             return each<int>(v.noveltyPrototypes, [](const int& p) {
                 return ParamSet{
                     {"P_COD_EMPR", kCompany}, {"P_FEC_PAGO", date(2026, 12, 31)}, {"P_COD_PROT", p}};
             });
         }},
        {"QryNmCinca",
         [](const DemoValues&) {
             return QList<ParamSet>{with(company(), {{"P_TIP_ENTI", "EPS"}}),
                                    with(company(), {{"P_TIP_ENTI", "ARP"}})};
         }},
        {"QryTotNomi", [](const DemoValues&) { return one(period()); }},
        {"QryEmplTemp", [](const DemoValues&) { return one(period()); }},
        {"QryEmplNoTemp", [](const DemoValues&) { return one(period()); }},
        {"QryRpTemporales", [](const DemoValues&) { return one(period()); }},
        {"QryGnDivip", [](const DemoValues& v) { return v.territories; }},
        {"QrySlRepf", [](const DemoValues& v) { return v.requisitions; }},
        {"QryAutol",
         [](const DemoValues& v) {
             return each<QString>(v.reportedPositions, [](const QString& position) {
                 return with(period(), {{"P_COD_CARG", position}});
             });
         }},
        {"QryNmPropa",
         [](const DemoValues& v) {
             return each<QString>(v.reportedPositions, [](const QString& position) {
                 return with(period(), {{"P_COD_CARG", position}});
             });
         }},
        {"QryNmConva", [](const DemoValues&) { return one(period()); }},
        {"QryGestionHumana", [](const DemoValues&) { return one({}); }},
        {"QrySeguridadSocial",
         [](const DemoValues&) {
             return one({{"P_FEC_INIC", date(2026, 12, 1)}, {"P_FEC_FINA", date(2026, 12, 31)}});
         }},
        {"QryParafiscales",
         [](const DemoValues&) {
             return one({{"P_FEC_INIC", date(2026, 12, 1)}, {"P_FEC_FINA", date(2026, 12, 31)}});
         }},
        {"QryGHActivos", [](const DemoValues&) { return one({}); }},
    };
    return all;
}

void openWith(SClientDataSet& query, const ParamSet& params) {
    query.Close();
    for (const auto& [name, value] : params)
        query.ParamByName(name).SetValue(value);
    query.Open();
}

// Rows with at least one data value that is neither null nor zero: an aggregate over nothing returns one
// row of nulls or zeros, which is no data.
bool givesData(SClientDataSet& query) {
    for (query.First(); !query.Eof(); query.Next()) {
        for (int i = 0; i < query.FieldCount(); ++i) {
            const TField& field = query.Field(i);
            if (field.Calculated() || field.IsNull())
                continue;
            if (isTextType(field.DataType()) ? !field.AsString().trimmed().isEmpty() : field.AsFloat() != 0.0)
                return true;
        }
    }
    return false;
}

template <typename F> void forEachRow(SClientDataSet& query, const ParamSet& params, F&& f) {
    openWith(query, params);
    for (query.First(); !query.Eof(); query.Next())
        f(query);
}

DemoValues readDemoValues(TDtmNmRtgen& dtm) {
    DemoValues v;
    auto field = [](SClientDataSet& q, const char* name) -> TField& {
        return q.FieldByName(QString::fromLatin1(name));
    };
    forEachRow(*dtm.QryNmTnomi, company(),
               [&](SClientDataSet& q) { v.classes << field(q, "COD_TNOM").AsInteger(); });
    forEachRow(*dtm.QryNmTprot, {{"PSM_COD_EMPR", kCompany}},
               [&](SClientDataSet& q) { v.prototypes << field(q, "COD_PROT").AsInteger(); });
    forEachRow(*dtm.QryNmPrtgeCn, {{"COD_EMPR", kCompany}}, [&](SClientDataSet& q) {
        v.accounts << field(q, "COD_CUEN").AsString().trimmed();
        v.noveltyPrototypes << field(q, "COD_PROT").AsInteger();
    });
    forEachRow(*dtm.QryNmPrtgePf, {{"COD_EMPR", kCompany}},
               [&](SClientDataSet& q) { v.reportedPositions << field(q, "COD_TNOM").AsString().trimmed(); });
    forEachRow(*dtm.QryTotRqpEst, period(), [&](SClientDataSet& q) {
        v.applicantCombinations << with(period(),
                                        {{"P_COD_CCOS", field(q, "COD_CCOS").AsInteger()},
                                         {"P_COD_CARP", field(q, "COD_CARP").AsString().trimmed()},
                                         {"P_EST_SELE", field(q, "EST_SELE").AsString().trimmed()},
                                         {"P_DES_GERE", field(q, "DES_GERE").AsString().trimmed()}});
    });
    forEachRow(*dtm.QryRpTemporales, period(), [&](SClientDataSet& q) {
        v.requisitions << ParamSet{{"P_COD_EMPR", kCompany},
                                   {"P_COD_GRSE", field(q, "COD_GRSE").AsString().trimmed()},
                                   {"P_COD_REQS", field(q, "COD_REQS").AsString().trimmed()}};
        if (field(q, "COD_PAIS").IsNull() || field(q, "COD_DPTO").IsNull())
            return;
        const ParamSet territory{{"P_COD_PAIS", field(q, "COD_PAIS").AsInteger()},
                                 {"P_COD_DPTO", field(q, "COD_DPTO").AsInteger()}};
        v.territories << with(territory, {{"P_COD_MPIO", 0}});
        if (!field(q, "COD_MPIO").IsNull())
            v.territories << with(territory, {{"P_COD_MPIO", field(q, "COD_MPIO").AsInteger()}});
    });
    return v;
}

// Runs every sample through the connection; each failure names the query and, for an error, the
// server's message.
void runEveryFixedStatement(SDCOMConnection& connection) {
    registerProviders(connection.Providers());
    TDtmNmRtgen dtm(&connection);

    QStringList covered;
    for (const Sample& sample : samples())
        covered << QLatin1String("DtsP") + QString::fromLatin1(sample.query).mid(3);
    covered.sort();
    QStringList fixed = fixedStatementProviders();
    fixed.sort();
    ASSERT_EQ(covered, fixed) << "every fixed statement needs a sample";

    DemoValues values;
    try {
        values = readDemoValues(dtm);
    } catch (const GeneralError& error) {
        FAIL() << "catálogos: " << error.message().toStdString();
    }

    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.query);
        auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(QString::fromLatin1(sample.query)));
        ASSERT_NE(query, nullptr);
        const QList<ParamSet> cases = sample.cases(values);
        if (cases.isEmpty()) {
            ADD_FAILURE() << "no parameter set: the catalogue query it depends on returned no rows";
            continue;
        }
        bool data = false;
        for (const ParamSet& params : cases) {
            try {
                openWith(*query, params);
            } catch (const GeneralError& error) {
                ADD_FAILURE() << error.message().toStdString();
                break;
            }
            data = data || givesData(*query);
            if (sample.expect == Expect::NoRows) {
                EXPECT_EQ(query->RecordCount(), 0);
            }
        }
        if (sample.expect == Expect::Rows) {
            EXPECT_TRUE(data) << "no data for any of " << cases.size() << " parameter sets";
        }
    }

    // The last quarter of 2026 is partly closed and partly open payroll: a cost centre and class paid in
    // both comes back once per source, even when both sources hold the same figure.
    try {
        QHash<QPair<int, int>, int> rowsPerKey;
        forEachRow(*dtm.QryTotNomi, period(), [&](SClientDataSet& q) {
            ++rowsPerKey[{q.FieldByName(QStringLiteral("COD_CCOS")).AsInteger(),
                          q.FieldByName(QStringLiteral("COD_TNOM")).AsInteger()}];
        });
        EXPECT_TRUE(std::any_of(rowsPerKey.cbegin(), rowsPerKey.cend(), [](int rows) { return rows == 2; }));
        EXPECT_TRUE(std::all_of(rowsPerKey.cbegin(), rowsPerKey.cend(), [](int rows) { return rows <= 2; }));
    } catch (const GeneralError& error) {
        ADD_FAILURE() << "QryTotNomi: " << error.message().toStdString();
    }
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
    runEveryFixedStatement(connection);
}

TEST(StatementsOnDemo, PostgreSQL) {
    VN_REQUIRE_POSTGRES(url);
    const PostgresUrl server = PostgresUrl::parse(url);
    PostgresUrl target = server;
    target.database = QStringLiteral("vn_test_data_statements");

    // A database of its own, so that tests running beside it on the same server see none of its tables.
    {
        const QString admin = server.open(QStringLiteral("statements-admin"));
        {
            QSqlDatabase db = QSqlDatabase::database(admin);
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + target.database));
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE DATABASE ") + target.database));
            db.close();
        }
        QSqlDatabase::removeDatabase(admin);
    }
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

    const QString admin = server.open(QStringLiteral("statements-drop"));
    {
        QSqlDatabase db = QSqlDatabase::database(admin);
        QSqlQuery(db).exec(QStringLiteral("DROP DATABASE IF EXISTS ") + target.database);
        db.close();
    }
    QSqlDatabase::removeDatabase(admin);
}
