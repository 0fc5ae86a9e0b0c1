// The host package's process-form unit: the globals the load entry fills and the form reads. They belong
// to the host and outlive the plug-in's objects (unload does not touch them).
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace Ugnproce {

extern QString gStParSrv;    // server
extern QString gStParUsu;    // user
extern QString gStParPas;    // password
extern QString gStParEmp;    // company (decimal text)
extern QString gStParHpv;    // parameter line; after parsing the extra "AND ..." filter, or empty
extern QString gStAliasCnx;  // connection alias
extern QString gStProtocolo; // connection protocol
// The words of the parameter line, made by the parser; null until a non-blank parameter line is parsed,
// replaced by the next one.
extern std::unique_ptr<QStringList> gSlParams;
extern QString gStCodiUsua; // the host's user code
extern QString gStNombProg; // set by the form: "VNmRtgen"

} // namespace Ugnproce
