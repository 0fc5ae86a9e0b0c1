/* The plug-in boundary of VNmRtgen: the twelve entries a host application drives the module through.
 *
 *   load     VOpLoadDll (host family) / VOpLoadDllW (standard family): stores the connection and user
 *            settings in the host package's globals, creates the data module, the report module, the report
 *            form and the lookup dialog, and returns the form's window id truncated to 32 bits; 0 when the
 *            load failed. A load while loaded returns the window id of the existing form and changes
 *            nothing: a host that wants other settings unloads first.
 *   unload   VOpUnLoadDll: closes and destroys the form, then the lookup dialog, the report module and
 *            the data module. Unloading twice, or before a load, does nothing.
 *   identity getServer...: the program identifier, class identifier and public key token of the module's
 *            server component; the host-family getters return a new BSTR that the caller frees with
 *            SysFreeString, the W getters store the address of a constant text of the library (the same
 *            address on every call; not to be freed or changed).
 *   resize   CambiarAltura, CambiarTamano, CambiarTamanoW: resize the form; CambiarTamanoW takes two
 *            decimal texts and does nothing when either is not a decimal 32-bit integer.
 *
 * No entry lets an exception out: failures are swallowed (load: 0), and entries other than a load do
 * nothing while no form exists. Every entry must be called on the thread that made the load. */
#ifndef VNMRTGEN_H
#define VNMRTGEN_H

#include "VNmRtgenExport.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Arguments 2 to 9: protocol, connection alias, server, user, password, company, parameter line, and
 * client version and date joined by ";". Argument 1 is not used. */
VN_EXPORT int32_t VN_STDCALL VOpLoadDll(int32_t unused, VnBStr protocolo, VnBStr alias, VnBStr servidor,
                                        VnBStr usuario, VnBStr clave, VnBStr empresa, VnBStr parametros,
                                        VnBStr versionFecha);
VN_EXPORT int32_t VN_STDCALL VOpLoadDllW(int32_t unused, const VnWideChar* protocolo, const VnWideChar* alias,
                                         const VnWideChar* servidor, const VnWideChar* usuario,
                                         const VnWideChar* clave, const VnWideChar* empresa,
                                         const VnWideChar* parametros, const VnWideChar* versionFecha);
VN_EXPORT void VN_STDCALL VOpUnLoadDll(void);

VN_EXPORT VnBStr VN_STDCALL getServerGuidNet(void);
VN_EXPORT VnBStr VN_STDCALL getServerNameNet(void);
VN_EXPORT VnBStr VN_STDCALL getServerPublicT(void);
VN_EXPORT void VN_STDCALL getServerGuidNetW(const VnWideChar** texto);
VN_EXPORT void VN_STDCALL getServerNameNetW(const VnWideChar** texto);
VN_EXPORT void VN_STDCALL getServerPublicTW(const VnWideChar** texto);

VN_EXPORT void VN_STDCALL CambiarAltura(int32_t alto);
VN_EXPORT void VN_STDCALL CambiarTamano(int32_t ancho, int32_t alto);
VN_EXPORT void VN_STDCALL CambiarTamanoW(const VnWideChar* ancho, const VnWideChar* alto);

#if !defined(_WIN32)
/* The OLE automation string allocator, which this platform lacks. SysAllocString copies a zero-terminated
 * text (NULL gives NULL); SysStringLen counts characters from the length prefix (NULL: 0); SysFreeString
 * frees a string of SysAllocString (NULL: nothing). */
VN_EXPORT VnBStr SysAllocString(const VnWideChar* text);
VN_EXPORT void SysFreeString(VnBStr text);
VN_EXPORT uint32_t SysStringLen(VnBStr text);
#endif

#ifdef __cplusplus
}
#endif

#endif
