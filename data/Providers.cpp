#include "Providers.h"

#include "DatasetCatalog.h"
#include "ProviderRegistry.h"

void registerProviders(ProviderRegistry& registry) {
    for (const QueryDecl& decl : serverQueryCatalog()) {
        const QString provider = decl.providerName();
        if (decl.source == StatementSource::Server)
            registry.add(provider, statementLines(provider).join(QLatin1Char('\n')));
        else
            registry.add(provider);
    }
}

QStringList fixedStatementProviders() {
    QStringList providers;
    for (const QueryDecl& decl : serverQueryCatalog()) {
        if (decl.source == StatementSource::Fixed)
            providers << decl.providerName();
    }
    return providers;
}
