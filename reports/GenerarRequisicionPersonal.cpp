// Builder of report type 1. Not written yet: the dispatch reports it as not available.
#include "ReportTypes.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarRequisicionPersonal() {
    InformeNoDisponible(1);
}
