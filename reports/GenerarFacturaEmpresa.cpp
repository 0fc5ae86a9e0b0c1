// Builder of report type 6. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarFacturaEmpresa() {
    InformeNoDisponible(6);
}
