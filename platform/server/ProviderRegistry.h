// ProviderRegistry: the providers the application server offers, by name ("DtsP" + query name without
// "Qry"). A provider either runs the statement text the client sends, or its own statement held on the
// server (the client's text is then ignored). Any other name is refused.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class ProviderRegistry {
public:
    struct Provider {
        QString name;
        // Empty: the provider runs the client's command text.
        QString serverStatement;
    };

    void add(const QString& name, const QString& serverStatement = QString());
    const Provider* find(const QString& name) const;
    bool contains(const QString& name) const { return find(name) != nullptr; }
    QStringList names() const;

private:
    QHash<QString, Provider> m_providers; // keyed by upper-case name
};
