// The providers of the module on the application server. The server refuses any provider name it does
// not know, so every server query of the data module must have its provider registered here.
#pragma once

#include <QStringList>

class ProviderRegistry;

// Registers one provider per server query of the data module ("DtsP" + name without "Qry"). Providers of
// queries whose statement lives on the server (DtsPNmTprot) are registered with that statement.
void registerProviders(ProviderRegistry& registry);

// The providers whose query carries a fixed statement file, in catalogue order.
QStringList fixedStatementProviders();
