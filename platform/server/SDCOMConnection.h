// SDCOMConnection: the application-server connection of the module (the form's DCOMCnction). It opens a
// database from ConnectionParams through the backend for the protocol, read-only by construction, and
// serves server queries: provider lookup, translation of the suite's T-SQL dialect for the backend,
// binding of the typed parameters (every occurrence of a name gets its value), and conversion of the
// rows. Database errors surface as GeneralError saying in Spanish what happened (DatabaseErrors).
#pragma once

#include "ConnectionParams.h"
#include "ProviderRegistry.h"
#include "TRemoteServer.h"

#include <QObject>
#include <QString>
#include <memory>

class DatabaseBackend;

class SDCOMConnection : public QObject, public TRemoteServer {
    Q_OBJECT
public:
    explicit SDCOMConnection(const QString& name = QString(), QObject* parent = nullptr);
    ~SDCOMConnection() override;

    // Identity of the server component, as the form's connection carries it.
    QString ServerGUID;
    QString ServerName;

    // Opens the connection; throws GeneralError with a Spanish message naming what failed.
    void Open(const ConnectionParams& params);
    void Close();
    bool Connected() const;
    const ConnectionParams& Params() const { return m_params; }

    ProviderRegistry& Providers() { return m_providers; }
    const ProviderRegistry& Providers() const { return m_providers; }

    TResultSet Execute(const QString& providerName, const QString& commandText,
                       const TParams& params) override;

    // The backend in use (for diagnostics and tests); nullptr when closed.
    DatabaseBackend* backend() const { return m_backend.get(); }

private:
    ConnectionParams m_params;
    ProviderRegistry m_providers;
    // QtSql connection name of this connection, unique in the process.
    QString m_connectionName;
    std::unique_ptr<DatabaseBackend> m_backend;
};
