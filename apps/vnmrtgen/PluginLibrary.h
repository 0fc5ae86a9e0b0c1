// PluginLibrary: libVNmRtgen.so loaded with dlopen and the entries the desktop host calls, looked up by
// name as any host of the suite would (the host links nothing of the module).
#pragma once

#include "VNmRtgen.h"

#include <QString>
#include <QStringList>

using VOpLoadDllWFn = decltype(&::VOpLoadDllW);
using VOpUnLoadDllFn = decltype(&::VOpUnLoadDll);
using CambiarTamanoFn = decltype(&::CambiarTamano);
using CambiarAlturaFn = decltype(&::CambiarAltura);

class PluginLibrary {
public:
    // Looks for the library, in this order: $VNMRTGEN_PLUGIN; the executable's directory; ../lib beside
    // it; the build tree the host was built in. Throws std::runtime_error naming every place tried (and
    // the loader's message) when none loads or an entry is missing.
    PluginLibrary();
    // The library stays loaded for the life of the process: Qt keeps pointers into it (meta-objects,
    // resources) until the application object is gone.
    ~PluginLibrary() = default;

    QString path() const { return m_path; }

    VOpLoadDllWFn VOpLoadDllW = nullptr;
    VOpUnLoadDllFn VOpUnLoadDll = nullptr;
    CambiarTamanoFn CambiarTamano = nullptr;
    CambiarAlturaFn CambiarAltura = nullptr;

    // Places tried for the library, in order.
    static QStringList candidates();

private:
    QString m_path;
};
