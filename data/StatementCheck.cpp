#include "StatementCheck.h"

#include "DateRoutines.h"
#include "GeneralError.h"
#include "SClientDataSet.h"
#include "TDtmNmRtgen.h"

#include <QList>
#include <functional>

namespace {

// The company and period of the check; set once per run.
struct CheckPeriod {
    int company = 1;
    TDateTime from, to;
};
CheckPeriod g;

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
    return {{"P_COD_EMPR", g.company}};
}
ParamSet period() {
    return {{"P_COD_EMPR", g.company}, {"P_FEC_INIC", g.from.value()}, {"P_FEC_FINA", g.to.value()}};
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
        ParamSet set{{"P_COD_EMPR", g.company}, {"P_COD_TNOM", c}};
        if (dated)
            set << std::pair<QString, QVariant>{"P_FEC_INIC", g.from.value()}
                << std::pair<QString, QVariant>{"P_FEC_FINA", g.to.value()};
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
                 return ParamSet{{"cod_empr", g.company}, {"cod_tnom", c}};
             });
         }},
        {"QryNmConce",
         [](const DemoValues& v) {
             return each<int>(v.prototypes, [](const int& p) {
                 return ParamSet{{"cod_empr", g.company}, {"cod_prot", p}};
             });
         }},
        {"QrySaldoOrvex",
         [](const DemoValues& v) {
             return each<QString>(v.accounts, [](const QString& account) {
                 return ParamSet{{"P_COD_EMPR", g.company},
                                 {"P_ANO_ACUM", g.to.year()},
                                 {"P_MES_ACUM", g.to.month() + 1},
                                 {"P_COD_CUEN", account}};
             });
         }},
        {"QryNmPrtgeCn",
         [](const DemoValues&) {
             return one({{"COD_EMPR", g.company}});
         }},
        {"QryNmPrtgePf",
         [](const DemoValues&) {
             return one({{"COD_EMPR", g.company}});
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
                     {"P_COD_EMPR", g.company}, {"P_FEC_PAGO", g.to.value()}, {"P_COD_PROT", p}};
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
             return one({{"P_FEC_INIC", PrimerDiaDelMes(g.to).value()}, {"P_FEC_FINA", g.to.value()}});
         }},
        {"QryParafiscales",
         [](const DemoValues&) {
             return one({{"P_FEC_INIC", PrimerDiaDelMes(g.to).value()}, {"P_FEC_FINA", g.to.value()}});
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
    forEachRow(*dtm.QryNmTprot, {{"PSM_COD_EMPR", g.company}},
               [&](SClientDataSet& q) { v.prototypes << field(q, "COD_PROT").AsInteger(); });
    forEachRow(*dtm.QryNmPrtgeCn, {{"COD_EMPR", g.company}}, [&](SClientDataSet& q) {
        v.accounts << field(q, "COD_CUEN").AsString().trimmed();
        v.noveltyPrototypes << field(q, "COD_PROT").AsInteger();
    });
    forEachRow(*dtm.QryNmPrtgePf, {{"COD_EMPR", g.company}},
               [&](SClientDataSet& q) { v.reportedPositions << field(q, "COD_TNOM").AsString().trimmed(); });
    forEachRow(*dtm.QryTotRqpEst, period(), [&](SClientDataSet& q) {
        v.applicantCombinations << with(period(),
                                        {{"P_COD_CCOS", field(q, "COD_CCOS").AsInteger()},
                                         {"P_COD_CARP", field(q, "COD_CARP").AsString().trimmed()},
                                         {"P_EST_SELE", field(q, "EST_SELE").AsString().trimmed()},
                                         {"P_DES_GERE", field(q, "DES_GERE").AsString().trimmed()}});
    });
    forEachRow(*dtm.QryRpTemporales, period(), [&](SClientDataSet& q) {
        v.requisitions << ParamSet{{"P_COD_EMPR", g.company},
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

} // namespace

std::vector<StatementCheckResult> checkFixedStatements(TDtmNmRtgen& dtm, int company, TDateTime from, TDateTime to) {
    g = CheckPeriod{company, from, to};
    const DemoValues values = readDemoValues(dtm);
    std::vector<StatementCheckResult> results;
    for (const Sample& sample : samples()) {
        StatementCheckResult r;
        r.query = QString::fromLatin1(sample.query);
        r.expectsRows = sample.expect == Expect::Rows;
        auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(r.query));
        if (!query) {
            r.error = QStringLiteral("la consulta no existe en el módulo de datos");
            results.push_back(r);
            continue;
        }
        const QList<ParamSet> cases = sample.cases(values);
        r.parameterSets = static_cast<int>(cases.size());
        for (const ParamSet& params : cases) {
            try {
                openWith(*query, params);
            } catch (const GeneralError& error) {
                r.error = error.message();
                break;
            }
            r.rows = std::max(r.rows, query->RecordCount());
            r.data = r.data || givesData(*query);
        }
        results.push_back(r);
    }
    return results;
}

QStringList checkedStatementProviders() {
    QStringList names;
    for (const Sample& sample : samples())
        names << QLatin1String("DtsP") + QString::fromLatin1(sample.query).mid(3);
    return names;
}
