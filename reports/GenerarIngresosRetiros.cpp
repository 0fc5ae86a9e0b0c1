// Builder of report type 2. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarIngresosRetiros() {
    InformeNoDisponible(2);
}
