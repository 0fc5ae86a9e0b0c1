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
    if (!Connected())
        throw GeneralError(QStringLiteral("La conexión con el servidor de aplicaciones no está abierta."));
    const QString& statement = provider->serverStatement.isEmpty() ? commandText : provider->serverStatement;
    return m_backend->execute(statement, params);
}
