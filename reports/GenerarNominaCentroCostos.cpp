// Builder of report type 4. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarNominaCentroCostos() {
    InformeNoDisponible(4);
}
