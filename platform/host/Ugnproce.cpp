#include "Ugnproce.h"

namespace Ugnproce {

QString gStParSrv;
QString gStParUsu;
QString gStParPas;
QString gStParEmp;
QString gStParHpv;
QString gStAliasCnx;
QString gStProtocolo;
QString gStServerGUID;
QString gStServerName;
QString gStServerGUIDNet;
QString gStServerNameNet;
QString gStPublicKeyToken;
QString gStVersionCliente;
QString gStFechaCliente;
QStringList* gSlParams = nullptr;
QString gStCodiUsua;
QString gStNombProg;

} // namespace Ugnproce
