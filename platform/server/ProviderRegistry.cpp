#include "ProviderRegistry.h"

#include <algorithm>

void ProviderRegistry::add(const QString& name, const QString& serverStatement) {
    m_providers.insert(name.toUpper(), Provider{name, serverStatement});
}

const ProviderRegistry::Provider* ProviderRegistry::find(const QString& name) const {
    const auto it = m_providers.constFind(name.toUpper());
    return it == m_providers.constEnd() ? nullptr : &*it;
}

QStringList ProviderRegistry::names() const {
    QStringList result;
    for (const Provider& p : m_providers)
        result << p.name;
    std::sort(result.begin(), result.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return result;
}
