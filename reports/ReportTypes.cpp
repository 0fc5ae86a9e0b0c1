#include "ReportTypes.h"

#include "GeneralError.h"
#include "TReportBuilders.h"

namespace {

using B = TReportBuilders;

const std::array<TReportType, kReportTypeCount> kTypes{{
    {0, "Conciliación de Nómina", &B::GenerarConciliacionNomina, "frxRptRtgen"},
    {1, "Requisición de Personal", &B::GenerarRequisicionPersonal, "frxRptRpqGen"},
    {2, "Ingresos, Retiros, Planta, Vacaciones", &B::GenerarIngresosRetiros, "frxRptIngr"},
    {3, "Conciliación de Novedades", &B::GenerarConciliacionNovedades, "frxRptConNov"},
    {4, "Valor Nómina Centro de Costos", &B::GenerarNominaCentroCostos, "frxRptTotNomi"},
    {5, "Comisiones Conductores", &B::GenerarComisionesConductores, "frxRptComisCdtor"},
    {6, "Factura Empresa Usuaria", &B::GenerarFacturaEmpresa, "frxRptFacturaEmpr"},
    {7, "Temporales", &B::GenerarTemporales, "frxRptTempo"},
    {8, "Parafiscales", &B::GenerarParafiscales, "frxRptParafiscales"},
    {9, "Consolidado Vacaciones", &B::GenerarConsolidadoVacaciones, "frxRptConva"},
    {10, "Gestión Humana", &B::GenerarGestionHumana, "frxRptGH"},
}};

} // namespace

const std::array<TReportType, kReportTypeCount>& ReportTypes() {
    return kTypes;
}

const TReportType* ReportTypeAt(int T) {
    return T >= 0 && T < kReportTypeCount ? &kTypes[static_cast<size_t>(T)] : nullptr;
}

void Despachar(TDtmNmRtgen& dtm, TDtmNmRtrep& rep, const TReportRun& run, int T) {
    if (const TReportType* type = ReportTypeAt(T)) {
        TReportBuilders builders(dtm, rep, run);
        (builders.*(type->builder))();
    }
}
