// TReportBuilders: the eleven report builders and what they run on. The form (and the batch command, which
// runs the same form logic without a window) validates the request, copies the run values here and calls
// exactly one builder through the dispatch table of ReportTypes.h.
//
// Each builder is one method, defined in its own unit of this folder (GenerarConciliacionNomina.cpp, ...),
// so that a builder is written or replaced without touching the others. A builder reads the data module,
// fills its result sets and shows its layout of the report module with ShowReport(true); the report
// module's presenter decides what showing means (preview, files, capture).
#pragma once

#include "TDateTime.h"
#include "TProcessProgress.h"

#include <QString>
#include <functional>
#include <memory>

class TDtmNmRtgen;
class TDtmNmRtrep;

class TReportBuilders {
public:
    TReportBuilders(TDtmNmRtgen& dtm, TDtmNmRtrep& rep) : DtmNmRtgen(dtm), DtmNmRtrep(rep) {}

    TDtmNmRtgen& DtmNmRtgen;
    TDtmNmRtrep& DtmNmRtrep;

    // --- run values, set by the form after its validation ---
    TDateTime gDtFecInic;
    TDateTime gDtFecFina;
    // The current company (the application object's Tag when the run started).
    int CodEmpr = 0;
    // The checked payroll kinds as letters, in the fixed order N, A, D, C, X, P, V ("NAV").
    QString TiposNomina;

    // --- what the host supplies ---
    // The observations dialog (types 0 and 3): the accepted text, or empty when the user cancelled.
    std::function<QString()> PedirObservaciones;
    // A new progress display for one run (types 6, 7 and 10); may be empty: the run then shows none.
    std::function<std::unique_ptr<TProcessProgress>()> CrearProgreso;

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
