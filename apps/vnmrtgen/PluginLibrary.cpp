#include "PluginLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <dlfcn.h>
#include <stdexcept>

QStringList PluginLibrary::candidates() {
    QStringList paths;
    const QString fromEnv = qEnvironmentVariable("VNMRTGEN_PLUGIN");
    if (!fromEnv.isEmpty())
        paths << fromEnv;
    const QString exeDir = QCoreApplication::applicationDirPath();
    paths << QDir(exeDir).filePath(QStringLiteral("libVNmRtgen.so"))
          << QDir(exeDir).filePath(QStringLiteral("../lib/libVNmRtgen.so"));
#ifdef VNMRTGEN_PLUGIN_BUILD_PATH
    paths << QStringLiteral(VNMRTGEN_PLUGIN_BUILD_PATH);
#endif
    return paths;
}

PluginLibrary::PluginLibrary() {
    QStringList tried;
    void* handle = nullptr;
    for (const QString& candidate : candidates()) {
        if (!QFileInfo::exists(candidate)) {
            tried << candidate + QStringLiteral(" (no existe)");
            continue;
        }
        handle = dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle) {
            m_path = QFileInfo(candidate).canonicalFilePath();
            break;
        }
        tried << candidate + QStringLiteral(" (") + QString::fromLocal8Bit(dlerror()) + QStringLiteral(")");
    }
    if (!handle)
        throw std::runtime_error(
            ("No se encontró libVNmRtgen.so; se buscó en:\n  " + tried.join(QStringLiteral("\n  ")))
                .toStdString());

    const auto entry = [&](const char* name) {
        void* symbol = dlsym(handle, name);
        if (!symbol)
            throw std::runtime_error(
                QStringLiteral("%1 no exporta %2.").arg(m_path, QLatin1String(name)).toStdString());
        return symbol;
    };
    VOpLoadDllW = reinterpret_cast<VOpLoadDllWFn>(entry("VOpLoadDllW"));
    VOpUnLoadDll = reinterpret_cast<VOpUnLoadDllFn>(entry("VOpUnLoadDll"));
    CambiarTamano = reinterpret_cast<CambiarTamanoFn>(entry("CambiarTamano"));
    CambiarAltura = reinterpret_cast<CambiarAlturaFn>(entry("CambiarAltura"));
}
