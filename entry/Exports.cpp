// The twelve C entries of the plug-in and, where the platform lacks it, the OLE string allocator that the
// host family's strings come from. Every entry catches everything: a C++ exception must not unwind into a
// host that may not even be C++ code.
#include "VNmRtgen.h"

#include "GeneralError.h"
#include "PluginLifetime.h"
#include "StrictDecimal.h"
#include "TFrmFormaProcesos.h"

#include <QString>
#include <cstdlib>
#include <cstring>

namespace {

QString desdeBStr(VnBStr text) {
    if (!text)
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text),
                              static_cast<qsizetype>(SysStringLen(text)));
}

QString desdeTexto(const VnWideChar* text) {
    return text ? QString::fromUtf16(reinterpret_cast<const char16_t*>(text)) : QString();
}

VnBStr nuevoBStr(const char16_t* text) {
    return SysAllocString(reinterpret_cast<const VnWideChar*>(text));
}

int32_t cargar(const TLoadArguments& args) noexcept {
    // The entry can only say "no window" (0): why goes to the process's diagnostics, where the host's
    // log or the user's terminal shows it.
    try {
        return static_cast<int32_t>(VNmRtgenLib::Cargar(args));
    } catch (const GeneralError& e) {
        qWarning("VNmRtgen: no se cargó el módulo: %s", qUtf8Printable(e.message()));
        return 0;
    } catch (...) {
        return 0;
    }
}

template <typename F> void protegido(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

} // namespace

extern "C" {

#if !defined(_WIN32)
// Layout of a COM wide string: a 32-bit byte count, the UTF-16 characters, a 16-bit zero. The handle points
// at the first character, so the text reads as an ordinary zero-terminated UTF-16 string as well.
VN_EXPORT VnBStr SysAllocString(const VnWideChar* text) {
    if (!text)
        return nullptr;
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    const size_t bytes = length * sizeof(VnWideChar);
    if (bytes > 0xFFFFFFF0u)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(VnWideChar)));
    if (!block)
        return nullptr;
    const uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* chars = reinterpret_cast<VnWideChar*>(block + sizeof(uint32_t));
    std::memcpy(chars, text, bytes);
    chars[length] = 0;
    return chars;
}

VN_EXPORT void SysFreeString(VnBStr text) {
    if (text)
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t));
}

VN_EXPORT uint32_t SysStringLen(VnBStr text) {
    if (!text)
        return 0;
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - sizeof(uint32_t), sizeof bytes);
    return bytes / sizeof(VnWideChar);
}
#endif

VN_EXPORT int32_t VN_STDCALL VOpLoadDll(int32_t, VnBStr protocolo, VnBStr alias, VnBStr servidor,
                                        VnBStr usuario, VnBStr clave, VnBStr empresa, VnBStr parametros,
                                        VnBStr versionFecha) {
    TLoadArguments args;
    try {
        args = {desdeBStr(protocolo), desdeBStr(alias),   desdeBStr(servidor),   desdeBStr(usuario),
                desdeBStr(clave),     desdeBStr(empresa), desdeBStr(parametros), desdeBStr(versionFecha)};
    } catch (...) {
        return 0;
    }
    return cargar(args);
}

VN_EXPORT int32_t VN_STDCALL VOpLoadDllW(int32_t, const VnWideChar* protocolo, const VnWideChar* alias,
                                         const VnWideChar* servidor, const VnWideChar* usuario,
                                         const VnWideChar* clave, const VnWideChar* empresa,
                                         const VnWideChar* parametros, const VnWideChar* versionFecha) {
    TLoadArguments args;
    try {
        args = {desdeTexto(protocolo), desdeTexto(alias),   desdeTexto(servidor),   desdeTexto(usuario),
                desdeTexto(clave),     desdeTexto(empresa), desdeTexto(parametros), desdeTexto(versionFecha)};
    } catch (...) {
        return 0;
    }
    return cargar(args);
}

VN_EXPORT void VN_STDCALL VOpUnLoadDll(void) {
    protegido([] { VNmRtgenLib::Descargar(); });
}

VN_EXPORT VnBStr VN_STDCALL getServerGuidNet(void) {
    return nuevoBStr(VNmRtgenLib::kServerGUIDNet);
}
VN_EXPORT VnBStr VN_STDCALL getServerNameNet(void) {
    return nuevoBStr(VNmRtgenLib::kServerNameNet);
}
VN_EXPORT VnBStr VN_STDCALL getServerPublicT(void) {
    return nuevoBStr(VNmRtgenLib::kPublicKeyToken);
}

VN_EXPORT void VN_STDCALL getServerGuidNetW(const VnWideChar** texto) {
    if (texto)
        *texto = reinterpret_cast<const VnWideChar*>(VNmRtgenLib::kServerGUIDNet);
}
VN_EXPORT void VN_STDCALL getServerNameNetW(const VnWideChar** texto) {
    if (texto)
        *texto = reinterpret_cast<const VnWideChar*>(VNmRtgenLib::kServerNameNet);
}
VN_EXPORT void VN_STDCALL getServerPublicTW(const VnWideChar** texto) {
    if (texto)
        *texto = reinterpret_cast<const VnWideChar*>(VNmRtgenLib::kPublicKeyToken);
}

VN_EXPORT void VN_STDCALL CambiarAltura(int32_t alto) {
    protegido([alto] {
        if (VNmRtgenLib::FormaActiva)
            VNmRtgenLib::FormaActiva->CambiarAltura(alto);
    });
}

VN_EXPORT void VN_STDCALL CambiarTamano(int32_t ancho, int32_t alto) {
    protegido([ancho, alto] {
        if (VNmRtgenLib::FormaActiva)
            VNmRtgenLib::FormaActiva->CambiarTamano(ancho, alto);
    });
}

VN_EXPORT void VN_STDCALL CambiarTamanoW(const VnWideChar* ancho, const VnWideChar* alto) {
    protegido([ancho, alto] {
        const std::optional<int32_t> w = DecimalEstricto(desdeTexto(ancho));
        if (!w)
            return;
        const std::optional<int32_t> h = DecimalEstricto(desdeTexto(alto));
        if (!h)
            return;
        if (VNmRtgenLib::FormaActiva)
            VNmRtgenLib::FormaActiva->CambiarTamano(*w, *h);
    });
}

} // extern "C"
