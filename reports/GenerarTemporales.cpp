// Builder of report type 7. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarTemporales() {
    InformeNoDisponible(7);
}
