// Report type 9, "Consolidado Vacaciones": the layout lists the query itself; nothing is computed here.
#include "SClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarConsolidadoVacaciones() {
    SClientDataSet& qry = *DtmNmRtgen.QryNmConva;
    qry.Close();
    qry.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
    qry.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
    qry.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
    qry.Open();
    DtmNmRtrep.frxRptConva->ShowReport(Run);
}
