// TReportBuilders: the eleven report builders of one run. Whoever starts a run (the form, the batch command,
// a test) describes it in a TReportRun and dispatches it through ReportTypes.h, which builds the builders
// for that run and calls exactly one of them.
//
// Each builder is one method, defined in its own unit of this folder (GenerarConciliacionNomina.cpp, ...),
// so that a builder is written or replaced without touching the others. A builder reads the data module,
// fills its result sets and shows its layout of the report module with ShowReport(Run); the run's
// presenter decides what showing means (preview, files, capture).
#pragma once

#include "TReportRun.h"

class TDtmNmRtgen;
class TDtmNmRtrep;

class TReportBuilders {
public:
    TReportBuilders(TDtmNmRtgen& dtm, TDtmNmRtrep& rep, const TReportRun& run)
        : DtmNmRtgen(dtm), DtmNmRtrep(rep), Run(run), gDtFecInic(run.gDtFecInic), gDtFecFina(run.gDtFecFina),
          CodEmpr(run.CodEmpr), TiposNomina(run.TiposNomina) {}

    TDtmNmRtgen& DtmNmRtgen;
    TDtmNmRtrep& DtmNmRtrep;
    const TReportRun& Run;

    // The run's values under the names the builders use.
    const TDateTime gDtFecInic;
    const TDateTime gDtFecFina;
    const int CodEmpr;
    const QString TiposNomina;

    // --- the builders (dispatch table: ReportTypes.h) ---
    void GenerarConciliacionNomina();
    void GenerarRequisicionPersonal();
    void GenerarIngresosRetiros();
    void GenerarConciliacionNovedades();
    void GenerarNominaCentroCostos();
    void GenerarComisionesConductores();
    void GenerarFacturaEmpresa();
    void GenerarTemporales();
    void GenerarParafiscales();
    void GenerarConsolidadoVacaciones();
    void GenerarGestionHumana();
};
