#include "Ugnproce.h"

namespace Ugnproce {

QString gStParSrv;
QString gStParUsu;
QString gStParPas;
QString gStParEmp;
QString gStParHpv;
QString gStAliasCnx;
QString gStProtocolo;
std::unique_ptr<QStringList> gSlParams;
QString gStCodiUsua;
QString gStNombProg;

} // namespace Ugnproce
