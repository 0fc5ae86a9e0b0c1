// Builder of report type 3. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarConciliacionNovedades() {
    InformeNoDisponible(3);
}
