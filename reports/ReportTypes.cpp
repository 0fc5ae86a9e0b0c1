#include "ReportTypes.h"

#include "GeneralError.h"
#include "TReportBuilders.h"

namespace {

using B = TReportBuilders;

const std::array<TReportType, kReportTypeCount> kTypes{{
    {0, "Conciliación de Nómina", "GenerarConciliacionNomina", &B::GenerarConciliacionNomina, "frxRptRtgen",
     false},
    {1, "Requisición de Personal", "GenerarRequisicionPersonal", &B::GenerarRequisicionPersonal,
     "frxRptRpqGen", false},
    {2, "Ingresos, Retiros, Planta, Vacaciones", "GenerarIngresosRetiros", &B::GenerarIngresosRetiros,
     "frxRptIngr", false},
    {3, "Conciliación de Novedades", "GenerarConciliacionNovedades", &B::GenerarConciliacionNovedades,
     "frxRptConNov", false},
    {4, "Valor Nómina Centro de Costos", "GenerarNominaCentroCostos", &B::GenerarNominaCentroCostos,
     "frxRptTotNomi", false},
    {5, "Comisiones Conductores", "GenerarComisionesConductores", &B::GenerarComisionesConductores,
     "frxRptComisCdtor", false},
    {6, "Factura Empresa Usuaria", "GenerarFacturaEmpresa", &B::GenerarFacturaEmpresa, "frxRptFacturaEmpr",
     true},
    {7, "Temporales", "GenerarTemporales", &B::GenerarTemporales, "frxRptTempo", true},
    {8, "Parafiscales", "GenerarParafiscales", &B::GenerarParafiscales, "frxRptParafiscales", false},
    {9, "Consolidado Vacaciones", "GenerarConsolidadoVacaciones", &B::GenerarConsolidadoVacaciones,
     "frxRptConva", false},
    {10, "Gestión Humana", "GenerarGestionHumana", &B::GenerarGestionHumana, "frxRptGH", true},
}};

} // namespace

const std::array<TReportType, kReportTypeCount>& ReportTypes() {
    return kTypes;
}

const TReportType* ReportTypeAt(int T) {
    return T >= 0 && T < kReportTypeCount ? &kTypes[static_cast<size_t>(T)] : nullptr;
}

void Despachar(TReportBuilders& builders, int T) {
    if (const TReportType* type = ReportTypeAt(T))
        (builders.*(type->builder))();
}

void InformeNoDisponible(int T) {
    const TReportType* type = ReportTypeAt(T);
    throw GeneralError(QStringLiteral("El informe \"%1\" no está disponible en esta versión.")
                           .arg(type ? type->Caption() : QString::number(T)));
}
