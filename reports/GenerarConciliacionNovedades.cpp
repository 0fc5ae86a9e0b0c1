// Report type 3, "Conciliación de Novedades": for each configured novelty (the company's parameter rows of
// kind "CN"), the balance payroll holds for it next to the ledger balance of its account.
#include "BuilderSupport.h"
#include "GeneralError.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

using namespace builders;

namespace {

// QryTotAcuNom for one prototype at a time, built once per run.
void ArmarSqlNoved(TDtmNmRtgen& dtm, const QString& kinds) {
    dtm.QryTotAcuNom->Close();
    dtm.QryTotAcuNom->SetCommandText(
        SqlNetoPorTipoConcepto(QStringLiteral("(PR.COD_PROT = :P_COD_PROT) AND (P.TIP_NOMI IN (%1))").arg(kinds)));
}

} // namespace

void TReportBuilders::GenerarConciliacionNovedades() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    SClientDataSet& params = *dtm.QryNmPrtgeCn;
    if (!params.Active() || params.IsEmpty())
        throw GeneralError(QStringLiteral("No ha parametrizado novedades."));

    TClientDataSet& out = *dtm.CdsNomxPag;
    out.SetIndexFieldNames(QStringLiteral("COD_CUEN"));
    dtm.gStObsErva = Run.PedirObservaciones();
    ArmarSqlNoved(dtm, ListaTiposNomina(TiposNomina));

    TField& salNomi = out.FieldByName(QStringLiteral("SAL_NOMI"));
    TField& salCont = out.FieldByName(QStringLiteral("SAL_CONT"));
    for (params.First(); !params.Eof(); params.Next()) {
        const QString tipo = params.FieldByName(QStringLiteral("TIP_NOVE")).AsString();
        const int prototipo = params.FieldByName(QStringLiteral("COD_PROT")).AsInteger();
        const QString cuenta = params.FieldByName(QStringLiteral("COD_CUEN")).AsString();
        out.Append();
        out.FieldByName(QStringLiteral("NOM_CONC")).SetAsString(params.FieldByName(QStringLiteral("NOM_NOVE")).AsString());
        out.FieldByName(QStringLiteral("COD_CUEN")).SetAsString(cuenta);

        if (tipo == QLatin1String("PRP")) {
            SClientDataSet& q = *dtm.QryNmNoved;
            q.Close();
            q.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
            q.ParamByName(QStringLiteral("P_FEC_PAGO")).SetAsDateTime(gDtFecFina);
            q.ParamByName(QStringLiteral("P_COD_PROT")).SetAsSmallInt(prototipo);
            q.Open();
            salNomi.SetAsFloat(q.FieldByName(QStringLiteral("SAL_NOVE")).AsFloat());
        } else if (tipo == QLatin1String("EPS") || tipo == QLatin1String("ARP")) {
            SClientDataSet& q = *dtm.QryNmCinca;
            q.Close();
            q.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
            q.ParamByName(QStringLiteral("P_TIP_ENTI")).SetAsString(tipo);
            q.Open();
            salNomi.SetValue(q.FieldByName(QStringLiteral("DIF_DOCT")).Value());
        } else if (tipo == QLatin1String("NOV")) {
            SClientDataSet& q = *dtm.QryTotAcuNom;
            q.Close();
            q.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
            q.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
            q.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
            q.ParamByName(QStringLiteral("P_COD_PROT")).SetAsSmallInt(prototipo);
            q.Open();
            salNomi.SetAsFloat(SaldoNetoNoved(q));
        }
        // Any other novelty type has no payroll source: its payroll balance stays empty.

        salCont.SetAsFloat(SaldoContable(*dtm.QrySaldoOrvex, CodEmpr, gDtFecFina, cuenta));
        out.FieldByName(QStringLiteral("DIF_SALD")).SetAsFloat(salNomi.AsFloat() - salCont.AsFloat());
        out.Post();
    }
    DtmNmRtrep.frxRptConNov->ShowReport(Run);
}
