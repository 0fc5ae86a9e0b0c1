// Builder of report type 9. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarConsolidadoVacaciones() {
    InformeNoDisponible(9);
}
