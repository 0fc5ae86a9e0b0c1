// Builder of report type 8. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarParafiscales() {
    InformeNoDisponible(8);
}
