#include "SDCOMConnection.h"

#include "DatabaseBackend.h"
#include "GeneralError.h"

#include <atomic>

SDCOMConnection::SDCOMConnection(const QString& name, QObject* parent) : QObject(parent) {
    static std::atomic<int> counter{0};
    setObjectName(name);
    m_connectionName = QStringLiteral("VNmRtgen.SDCOMConnection.%1").arg(++counter);
}

SDCOMConnection::~SDCOMConnection() {
    Close();
}

void SDCOMConnection::Open(const ConnectionParams& params) {
    Close();
    auto backend = DatabaseBackend::create(params.protocol);
    backend->open(params, m_connectionName);
    m_backend = std::move(backend);
    m_params = params;
}

void SDCOMConnection::Close() {
    if (m_backend) {
        m_backend->close();
        m_backend.reset();
    }
}

bool SDCOMConnection::Connected() const {
    return m_backend && m_backend->isOpen();
}

TResultSet SDCOMConnection::Execute(const QString& providerName, const QString& commandText,
                                    const TParams& params) {
    const ProviderRegistry::Provider* provider = m_providers.find(providerName);
    if (!provider)
        throw GeneralError(
            QStringLiteral("El proveedor '%1' no existe en el servidor de aplicaciones.").arg(providerName));
    // A connection the server ended (a restart, an administrator, a network cut) failed the statement
    // that met it; the next one opens it again, so that the user can repeat the report once the server is
    // back without reloading the module. Only between statements: a report that met the failure has
    // already stopped, and none goes on with part of its data read over another session.
    if (m_backend && !m_backend->isOpen()) {
        // When the server is still away, this throws why, and the backend stays closed for the next try.
        m_backend->close();
        m_backend->open(m_params, m_connectionName);
    }
    if (!Connected())
        throw GeneralError(QStringLiteral("La conexión con el servidor de aplicaciones no está abierta."));
    const QString& statement = provider->serverStatement.isEmpty() ? commandText : provider->serverStatement;
    return m_backend->execute(statement, params);
}
