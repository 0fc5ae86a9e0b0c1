// Report type 4, "Valor Nómina Centro de Costos": net value paid per cost centre and payroll class over
// both payroll sources. The query returns up to one row per source for each pair; they are merged here by
// key, in the order each pair is first met.
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarNominaCentroCostos() {
    TClientDataSet& cds = *DtmNmRtgen.CdsTotNomi;
    SClientDataSet& qry = *DtmNmRtgen.QryTotNomi;
    cds.EmptyDataSet();

    qry.Close();
    qry.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
    qry.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
    qry.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
    qry.Open();

    TField& qCcos = qry.FieldByName(QStringLiteral("COD_CCOS"));
    TField& qTnom = qry.FieldByName(QStringLiteral("COD_TNOM"));
    TField& qVal = qry.FieldByName(QStringLiteral("VAL_ACUM"));
    TField& cVal = cds.FieldByName(QStringLiteral("VAL_ACUM"));
    for (qry.First(); !qry.Eof(); qry.Next()) {
        if (cds.Locate(QStringLiteral("COD_CCOS;COD_TNOM"), {qCcos.AsInteger(), qTnom.AsInteger()})) {
            cds.Edit();
            cVal.SetAsFloat(cVal.AsFloat() + qVal.AsFloat());
        } else {
            cds.Append();
            for (const char* name : {"COD_CCOS", "NOM_CCOS", "COD_TNOM", "NOM_TNOM"})
                cds.FieldByName(QString::fromLatin1(name)).SetValue(qry.FieldByName(QString::fromLatin1(name)).Value());
            // A pair whose concepts are neither income nor deduction sums to nothing: it prints as zero.
            cVal.SetAsFloat(qVal.AsFloat());
        }
        cds.Post();
    }
    DtmNmRtrep.frxRptTotNomi->ShowReport(Run);
}
