// Builder of report type 5. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarComisionesConductores() {
    InformeNoDisponible(5);
}
