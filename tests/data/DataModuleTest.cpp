// The data module as the form, the builders and the report module see it: every component by name, each
// server query wired to its provider and connection, each result set open and empty, and the providers
// registered on the application server.
#include "DatasetCatalog.h"
#include "ProviderRegistry.h"
#include "Providers.h"
#include "TDtmNmRtgen.h"
#include "TRemoteServer.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

// Records what a server query sends and answers with a prepared result.
class RecordingServer : public TRemoteServer {
public:
    TResultSet Execute(const QString& providerName, const QString& commandText,
                       const TParams& params) override {
        calls.push_back({providerName, commandText, {}});
        for (int i = 0; i < params.Count(); ++i)
            calls.back().params.insert(params[i].Name().toUpper(), params[i].Value());
        return answer;
    }

    struct Call {
        QString provider;
        QString text;
        QHash<QString, QVariant> params;
    };
    std::vector<Call> calls;
    TResultSet answer;
};

// The components of the module, report by report, as the form, builders and layouts name them.
const char* const kServerQueries[] = {
    "QryNmRtgen",    "QryNmTnomi",      "QryNmTprot",      "QryNmParin",       "QryNmParam",
    "QryNmTnomi1",   "QryNmConce",      "QryTotAcuNom",    "QryAcumuNomAdmon", "QrySaldoOrvex",
    "QryAcumPreno",  "QryTotRqpEst",    "QryTotAspiContr", "QryTotAspiCarg",   "QrySlReqpe",
    "QryNmVacac",    "QryPlanta",       "QryIngresos",     "QryRetiros",       "QryIncapacidades",
    "QryVacantes",   "QryNmVacaCarg",   "QryPlantCarg",    "QryIngreCarg",     "QryRetirCarg",
    "QryIncapCarg",  "QryVacanCarg",    "QryNmNoved",      "QryNmCinca",       "QryNmPrtgeCn",
    "QryTotNomi",    "QryComisCdtor",   "QryComisMante",   "QryFacturaEmpr",   "QryEmplTemp",
    "QryEmplNoTemp", "QryRpTemporales", "QryGnDivip",      "QrySlRepf",        "QryAutol",
    "QryNmPropa",    "QryNmPrtgePf",    "QryNmConva",      "QryGestionHumana", "QrySeguridadSocial",
    "QryCmpTotNomi", "QryParafiscales", "QryGHActivos"};
const char* const kResultSets[] = {
    "CdsNmTnomi",      "CdsNmTprot",   "CdsReporte",      "CdsRqpReporte", "CdsRptIngrRet",
    "CdsRptIngrRetCg", "CdsCueNoved",  "CdsNomxPag",      "CdsTotNomi",    "CdsComisCdtor",
    "CdsFacturaEmpr",  "CdsEmpTemp",   "CdsParafiscales", "CdsGH",         "CdsSeguridadSocial",
    "CdsPrfsGH",       "CdsCmpTotNomi"};

const char* const kBuiltAtRunTime[] = {"QryTotAcuNom",  "QryAcumuNomAdmon", "QryCmpTotNomi",
                                       "QryComisCdtor", "QryComisMante",    "QryFacturaEmpr"};

} // namespace

TEST(DataModule, HoldsEveryComponentUnderItsName) {
    TDtmNmRtgen dtm(nullptr);
    for (const char* name : kServerQueries) {
        auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(QString::fromLatin1(name)));
        ASSERT_NE(query, nullptr) << name;
        EXPECT_EQ(query->objectName(), QString::fromLatin1(name));
    }
    for (const char* name : kResultSets) {
        auto* resultSet = qobject_cast<TClientDataSet*>(dtm.dataSetByName(QString::fromLatin1(name)));
        ASSERT_NE(resultSet, nullptr) << name;
        EXPECT_EQ(resultSet->objectName(), QString::fromLatin1(name));
    }
    EXPECT_EQ(dtm.serverQueries().size(), std::size(kServerQueries));
    EXPECT_EQ(dtm.resultSets().size(), std::size(kResultSets));
    EXPECT_EQ(dtm.dataSetByName(QStringLiteral("QryNoExiste")), nullptr);
    EXPECT_EQ(dtm.dataSetByName(QStringLiteral("DtsNmTnomi")), nullptr);
}

TEST(DataModule, NamedMembersAreTheCatalogueDatasets) {
    TDtmNmRtgen dtm(nullptr);
    for (const QueryDecl& decl : serverQueryCatalog())
        EXPECT_EQ(dtm.*decl.member, dtm.dataSetByName(decl.name)) << decl.name.toStdString();
    for (const ResultSetDecl& decl : resultSetCatalog())
        EXPECT_EQ(dtm.*decl.member, dtm.dataSetByName(decl.name)) << decl.name.toStdString();
    // Two catalogue entries bound to one member would leave another member null.
    QSet<TDataSet*> distinct;
    for (SClientDataSet* query : dtm.serverQueries())
        distinct.insert(query);
    for (TClientDataSet* resultSet : dtm.resultSets())
        distinct.insert(resultSet);
    EXPECT_EQ(distinct.size(), qsizetype(std::size(kServerQueries) + std::size(kResultSets)));
}

TEST(DataModule, ServerQueriesFollowTheQueryConventions) {
    RecordingServer server;
    TDtmNmRtgen dtm(&server);
    for (SClientDataSet* query : dtm.serverQueries()) {
        SCOPED_TRACE(query->objectName().toStdString());
        ASSERT_TRUE(query->objectName().startsWith(QLatin1String("Qry")));
        EXPECT_EQ(query->ProviderName(), QLatin1String("DtsP") + query->objectName().mid(3));
        EXPECT_EQ(query->RemoteServer(), static_cast<TRemoteServer*>(&server));
        EXPECT_EQ(query->Company, 0);
        EXPECT_FALSE(query->SAuditFields);
        EXPECT_FALSE(query->Active());
        EXPECT_GT(query->FieldCount(), 0);
    }
}

TEST(DataModule, RebuiltAndServerSideQueriesCarryNoText) {
    TDtmNmRtgen dtm(nullptr);
    for (const char* name : kBuiltAtRunTime) {
        auto* query = qobject_cast<SClientDataSet*>(dtm.dataSetByName(QString::fromLatin1(name)));
        ASSERT_NE(query, nullptr) << name;
        EXPECT_TRUE(query->SQL().join(QString()).trimmed().isEmpty()) << name;
        // Their builders set the period (and more) by name on the text they build.
        EXPECT_NE(query->Params().FindParam(QStringLiteral("P_FEC_INIC")), nullptr) << name;
        EXPECT_NE(query->Params().FindParam(QStringLiteral("P_FEC_FINA")), nullptr) << name;
    }
    EXPECT_TRUE(dtm.QryNmTprot->SQL().join(QString()).trimmed().isEmpty());
}

TEST(DataModule, ResultSetsAreOpenAndEmptyFromCreation) {
    TDtmNmRtgen dtm(nullptr);
    for (TClientDataSet* resultSet : dtm.resultSets()) {
        SCOPED_TRACE(resultSet->objectName().toStdString());
        EXPECT_TRUE(resultSet->Active());
        EXPECT_TRUE(resultSet->IsEmpty());
        EXPECT_EQ(resultSet->State(), TDataSetState::dsBrowse);
    }
}

TEST(DataModule, DataSourcesOfTheFormGrids) {
    TDtmNmRtgen dtm(nullptr);
    ASSERT_NE(dtm.DtsNmRtgen, nullptr);
    ASSERT_NE(dtm.DtsNmTnomi, nullptr);
    ASSERT_NE(dtm.DtsNmTprot, nullptr);
    ASSERT_NE(dtm.DtsCueNoved, nullptr);
    EXPECT_EQ(dtm.DtsNmRtgen->DataSet(), dtm.QryNmRtgen);
    EXPECT_EQ(dtm.DtsNmTnomi->DataSet(), dtm.CdsNmTnomi);
    EXPECT_EQ(dtm.DtsNmTprot->DataSet(), dtm.CdsNmTprot);
    EXPECT_EQ(dtm.DtsCueNoved->DataSet(), dtm.QryNmPrtgeCn);
    EXPECT_EQ(dtm.DtsCueNoved->objectName(), QStringLiteral("DtsCueNoved"));
}

TEST(DataModule, RunStringsStartEmpty) {
    TDtmNmRtgen dtm(nullptr);
    EXPECT_TRUE(dtm.gStObsErva.isEmpty());
    EXPECT_TRUE(dtm.gStCodCuen.isEmpty());
}

TEST(Providers, EveryServerQueryHasItsProvider) {
    ProviderRegistry registry;
    registerProviders(registry);
    TDtmNmRtgen dtm(nullptr);
    for (SClientDataSet* query : dtm.serverQueries())
        EXPECT_TRUE(registry.contains(query->ProviderName())) << query->ProviderName().toStdString();
    EXPECT_EQ(registry.names().size(), qsizetype(dtm.serverQueries().size()));
}

TEST(Providers, OnlyThePrototypeCatalogueRunsAStatementOfItsOwn) {
    ProviderRegistry registry;
    registerProviders(registry);
    for (const QString& name : registry.names()) {
        const ProviderRegistry::Provider* provider = registry.find(name);
        ASSERT_NE(provider, nullptr);
        if (name.compare(QLatin1String("DtsPNmTprot"), Qt::CaseInsensitive) == 0) {
            EXPECT_EQ(parameterNamesOf(provider->serverStatement),
                      QStringList{QStringLiteral("PSM_COD_EMPR")});
            EXPECT_TRUE(provider->serverStatement.contains(QLatin1String("NM_TPROT")));
        } else {
            EXPECT_TRUE(provider->serverStatement.isEmpty()) << name.toStdString();
        }
    }
}

TEST(Providers, FixedStatementListLeavesOutRebuiltAndServerQueries) {
    const QStringList fixed = fixedStatementProviders();
    EXPECT_EQ(fixed.size(), qsizetype(std::size(kServerQueries) - std::size(kBuiltAtRunTime) - 1));
    EXPECT_TRUE(fixed.contains(QStringLiteral("DtsPTotNomi")));
    EXPECT_TRUE(fixed.contains(QStringLiteral("DtsPNmTnomi1")));
    EXPECT_FALSE(fixed.contains(QStringLiteral("DtsPNmTprot")));
    for (const char* name : kBuiltAtRunTime)
        EXPECT_FALSE(fixed.contains(QLatin1String("DtsP") + QString::fromLatin1(name).mid(3))) << name;
}

TEST(DataModule, OpeningAQuerySendsItsProviderTextAndTypedParameters) {
    RecordingServer server;
    server.answer.columns = {{"COD_CCOS"}, {"NOM_CCOS"}, {"COD_TNOM"}, {"NOM_TNOM"}, {"VAL_ACUM"}};
    server.answer.rows = {{3, QStringLiteral("ADMINISTRACION"), 1, QStringLiteral("QUINCENAL"), -1500.5}};
    TDtmNmRtgen dtm(&server);

    SClientDataSet& query = *dtm.QryTotNomi;
    query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(1);
    query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(TDateTime::encodeDate(2026, 10, 1));
    query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(TDateTime::encodeDate(2026, 12, 31));
    query.Open();

    ASSERT_EQ(server.calls.size(), 1u);
    const RecordingServer::Call& call = server.calls.front();
    EXPECT_EQ(call.provider, QStringLiteral("DtsPTotNomi"));
    EXPECT_TRUE(call.text.contains(QLatin1String("NM_PRENO")));
    EXPECT_TRUE(call.text.contains(QLatin1String("NM_ACUMU")));
    EXPECT_EQ(call.params.value(QStringLiteral("P_COD_EMPR")).toInt(), 1);
    EXPECT_DOUBLE_EQ(call.params.value(QStringLiteral("P_FEC_INIC")).toDouble(),
                     TDateTime::encodeDate(2026, 10, 1).value());
    EXPECT_DOUBLE_EQ(call.params.value(QStringLiteral("P_FEC_FINA")).toDouble(),
                     TDateTime::encodeDate(2026, 12, 31).value());

    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.FieldByName(QStringLiteral("COD_CCOS")).AsInteger(), 3);
    EXPECT_EQ(query.FieldByName(QStringLiteral("NOM_TNOM")).AsString().trimmed(),
              QStringLiteral("QUINCENAL"));
    EXPECT_DOUBLE_EQ(query.FieldByName(QStringLiteral("VAL_ACUM")).AsFloat(), -1500.5);
}

TEST(DataModule, PrototypeCatalogueSendsOnlyItsCompany) {
    RecordingServer server;
    server.answer.columns = {{"COD_PROT"}, {"NOM_PROT"}};
    server.answer.rows = {{7, QStringLiteral("DEVENGOS")}};
    TDtmNmRtgen dtm(&server);
    dtm.QryNmTprot->ParamByName(QStringLiteral("PSM_COD_EMPR")).SetAsSmallInt(2);
    dtm.QryNmTprot->Open();
    ASSERT_EQ(server.calls.size(), 1u);
    EXPECT_EQ(server.calls.front().provider, QStringLiteral("DtsPNmTprot"));
    EXPECT_TRUE(server.calls.front().text.trimmed().isEmpty());
    EXPECT_EQ(server.calls.front().params.value(QStringLiteral("PSM_COD_EMPR")).toInt(), 2);
    EXPECT_EQ(dtm.QryNmTprot->FieldByName(QStringLiteral("COD_PROT")).AsInteger(), 7);
}
