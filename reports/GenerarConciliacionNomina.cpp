// Builder of report type 0. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarConciliacionNomina() {
    InformeNoDisponible(0);
}
