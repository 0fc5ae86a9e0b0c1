// The data module as the builders and the report module see it: one dataset per catalogue entry, each
// result set open and empty, and the providers registered on the application server. What the queries
// send and read is tried on the demo database by StatementsTest.
#include "DatasetCatalog.h"
#include "ProviderRegistry.h"
#include "Providers.h"
#include "TDtmNmRtgen.h"

#include <gtest/gtest.h>

#include <QSet>

// Two catalogue entries bound to one member compile and leave another member null.
TEST(DataModule, NamedMembersAreTheCatalogueDatasets) {
    TDtmNmRtgen dtm(nullptr);
    QSet<TDataSet*> distinct;
    for (const QueryDecl& decl : serverQueryCatalog()) {
        EXPECT_EQ(dtm.*decl.member, dtm.dataSetByName(decl.name)) << decl.name.toStdString();
        distinct.insert(dtm.*decl.member);
    }
    for (const ResultSetDecl& decl : resultSetCatalog()) {
        EXPECT_EQ(dtm.*decl.member, dtm.dataSetByName(decl.name)) << decl.name.toStdString();
        distinct.insert(dtm.*decl.member);
    }
    EXPECT_FALSE(distinct.contains(nullptr));
    EXPECT_EQ(distinct.size(), qsizetype(serverQueryCatalog().size() + resultSetCatalog().size()));
}

// The builders set the period by name on the texts they build, and the server-side query sends none.
TEST(DataModule, QueriesWithoutAFixedTextCarryNoneButTheirParameters) {
    TDtmNmRtgen dtm(nullptr);
    for (const QueryDecl& decl : serverQueryCatalog()) {
        if (decl.source == StatementSource::Fixed)
            continue;
        SCOPED_TRACE(decl.name.toStdString());
        const SClientDataSet& query = *(dtm.*decl.member);
        EXPECT_TRUE(query.SQL().join(QString()).trimmed().isEmpty());
        EXPECT_EQ(query.Params().Count(), qsizetype(decl.params.size()));
        if (decl.source == StatementSource::BuiltAtRunTime) {
            EXPECT_NE(query.Params().FindParam(QStringLiteral("P_FEC_INIC")), nullptr);
            EXPECT_NE(query.Params().FindParam(QStringLiteral("P_FEC_FINA")), nullptr);
        }
    }
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

// Providers are registered by name (two queries on one provider would read each other's text), and only
// the prototype catalogue keeps its statement on the server.
TEST(Providers, OneForEachServerQueryAndOnlyThePrototypesRunTheirOwn) {
    ProviderRegistry registry;
    registerProviders(registry);
    TDtmNmRtgen dtm(nullptr);
    for (SClientDataSet* query : dtm.serverQueries())
        EXPECT_TRUE(registry.contains(query->ProviderName())) << query->ProviderName().toStdString();
    EXPECT_EQ(registry.names().size(), qsizetype(dtm.serverQueries().size()));
    for (const QString& name : registry.names()) {
        const QString statement = registry.find(name)->serverStatement;
        if (name == QLatin1String("DtsPNmTprot")) {
            EXPECT_EQ(parameterNamesOf(statement), QStringList{QStringLiteral("PSM_COD_EMPR")});
            EXPECT_TRUE(statement.contains(QLatin1String("NM_TPROT")));
        } else {
            EXPECT_TRUE(statement.isEmpty()) << name.toStdString();
        }
    }
}
