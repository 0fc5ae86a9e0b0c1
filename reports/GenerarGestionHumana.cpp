// Builder of report type 10. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarGestionHumana() {
    InformeNoDisponible(10);
}
