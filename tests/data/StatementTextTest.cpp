// The fixed statement texts: each names exactly the parameters its query declares, and no statement file
// is left without a query. The statements themselves run on the demo database in StatementsTest.
#include "DatasetCatalog.h"
#include "Providers.h"
#include "SClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

QStringList upperSorted(QStringList names) {
    for (QString& name : names)
        name = name.toUpper();
    names.sort();
    return names;
}

} // namespace

TEST(FixedStatement, NamesExactlyTheDeclaredParameters) {
    TDtmNmRtgen dtm(nullptr);
    for (const QString& provider : fixedStatementProviders()) {
        auto* query =
            qobject_cast<SClientDataSet*>(dtm.dataSetByName(QStringLiteral("Qry") + provider.mid(4)));
        ASSERT_NE(query, nullptr) << provider.toStdString();
        QStringList declared;
        for (int i = 0; i < query->Params().Count(); ++i)
            declared << query->Params()[i].Name();
        EXPECT_EQ(upperSorted(parameterNamesOf(query->SQL().join(QLatin1Char('\n')))), upperSorted(declared))
            << provider.toStdString();
    }
}

TEST(StatementFiles, EveryFileBelongsToAProviderWithAStatement) {
    QStringList expected = fixedStatementProviders();
    expected << QStringLiteral("DtsPNmTprot");
    QStringList present;
    for (const QString& file : QDir(QStringLiteral(":/sql")).entryList(QDir::Files))
        present << file.chopped(4);
    EXPECT_EQ(upperSorted(present), upperSorted(expected));
}

TEST(StatementFiles, MissingStatementIsReportedByProvider) {
    EXPECT_EQ(testsupport::errorOf([] { statementLines(QStringLiteral("DtsPNoExiste")); }),
              QStringLiteral("No se encontró la sentencia del proveedor DtsPNoExiste."));
}
