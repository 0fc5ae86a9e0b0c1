// The plug-in's long-lived objects and the steps of load and unload. The C exports (Exports.cpp) are thin
// wrappers that convert strings and catch everything; the steps here throw GeneralError like any other
// part of the module.
#pragma once

#include <QString>
#include <cstdint>

class TDtmNmRtgen;
class TDtmNmRtrep;
class TFrmFormaProcesos;
class TFrmNmRtgen;

// The load's arguments 2 to 9, already converted from the host's string types.
struct TLoadArguments {
    QString protocolo;
    QString alias;
    QString servidor;
    QString usuario;
    QString clave;
    QString empresa;
    QString parametros;
    QString versionFecha;
};

namespace VNmRtgenLib {

// The library-level references, empty before the first load and again after an unload. The lookup
// dialog's reference is the dialogs' own (Captura()).
extern TDtmNmRtgen* DtmNmRtgen;
extern TDtmNmRtrep* DtmNmRtrep;
extern TFrmNmRtgen* FrmNmRtgen;
// The form as the resize entries see it.
extern TFrmFormaProcesos* FormaActiva;

// The identity of the module's server component (the getters and the globals hold the same texts).
extern const char16_t kServerGUID[];
extern const char16_t kServerName[];
extern const char16_t kServerGUIDNet[];
extern const char16_t kServerNameNet[];
extern const char16_t kPublicKeyToken[];

// Load: the host globals and the parameter line, then the data module, the report module, the form (whose
// FormCreate opens the connection) and the lookup dialog; creates the QApplication when the host has none. Returns the form's window id truncated to 32
// bits. A load while loaded returns the existing form's id and changes nothing. On failure whatever was
// created is destroyed again, the references stay empty, and the GeneralError goes to the caller.
uint32_t Cargar(const TLoadArguments& args);

// Unload: closes and destroys the form, then the lookup dialog, the report module and the data module.
// Does nothing when nothing is loaded. The host globals are left as they are.
void Descargar();

bool Cargado();

} // namespace VNmRtgenLib
