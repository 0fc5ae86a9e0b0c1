// Report type 2, "Ingresos, Retiros, Planta, Vacaciones": for each chosen payroll class, six staff figures
// (headcount, hires and terminations in the period, people on vacation or sick leave at any time of it,
// vacant plan posts), once per class and once per class and position. The class rows feed the chart and
// the table of the first page; the position rows the cross-tab of the second.
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

namespace {

struct Figure {
    SClientDataSet* classQuery;    // one row: CONTEO
    SClientDataSet* positionQuery; // a row per position: COD_CARG, NOM_CARG, CONTEO
    const char* field;             // where the count goes in both result sets
    bool dated;                    // takes the period
};

} // namespace

void TReportBuilders::GenerarIngresosRetiros() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    TClientDataSet& classes = *dtm.CdsRptIngrRet;
    TClientDataSet& positions = *dtm.CdsRptIngrRetCg;
    classes.EmptyDataSet();
    positions.EmptyDataSet();

    const Figure figures[] = {
        {dtm.QryPlanta, dtm.QryPlantCarg, "TOT_PLAN", false},
        {dtm.QryIngresos, dtm.QryIngreCarg, "TOT_INGR", true},
        {dtm.QryRetiros, dtm.QryRetirCarg, "TOT_RETI", true},
        {dtm.QryNmVacac, dtm.QryNmVacaCarg, "TOT_VACA", true},
        {dtm.QryIncapacidades, dtm.QryIncapCarg, "TOT_INCA", true},
        {dtm.QryVacantes, dtm.QryVacanCarg, "TOT_VCAN", false},
    };
    const auto open = [&](SClientDataSet& query, int tnom, bool dated) {
        query.Close();
        query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsInteger(CodEmpr);
        query.ParamByName(QStringLiteral("P_COD_TNOM")).SetAsInteger(tnom);
        if (dated) {
            query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
            query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
        }
        query.Open();
    };

    TClientDataSet& list = *dtm.CdsNmTnomi;
    for (list.First(); !list.Eof(); list.Next()) {
        const int tnom = list.FieldByName(QStringLiteral("COD_TNOM")).AsInteger();
        const QString nomTnom = list.FieldByName(QStringLiteral("NOM_TNOM")).AsString();
        for (const Figure& f : figures) {
            open(*f.classQuery, tnom, f.dated);
            SClientDataSet& byPosition = *f.positionQuery;
            open(byPosition, tnom, f.dated);
            const QString field = QString::fromLatin1(f.field);
            for (byPosition.First(); !byPosition.Eof(); byPosition.Next()) {
                // One position whatever blanks a query leaves around its code.
                const QString cargo = byPosition.FieldByName(QStringLiteral("COD_CARG")).AsString().trimmed();
                if (positions.Locate(QStringLiteral("COD_TNOM;COD_CARG"), {tnom, cargo})) {
                    positions.Edit();
                } else {
                    positions.Append();
                    positions.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(tnom);
                    positions.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(nomTnom);
                    positions.FieldByName(QStringLiteral("COD_CARG")).SetAsString(cargo);
                    positions.FieldByName(QStringLiteral("NOM_CARG"))
                        .SetAsString(byPosition.FieldByName(QStringLiteral("NOM_CARG")).AsString());
                }
                positions.FieldByName(field).SetAsInteger(byPosition.FieldByName(QStringLiteral("CONTEO")).AsInteger());
                positions.Post();
            }
        }
        classes.Append();
        classes.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(tnom);
        classes.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(nomTnom);
        for (const Figure& f : figures)
            classes.FieldByName(QString::fromLatin1(f.field))
                .SetAsInteger(f.classQuery->FieldByName(QStringLiteral("CONTEO")).AsInteger());
        classes.Post();
    }
    DtmNmRtrep.frxRptIngr->ShowReport(Run);
}
