// Report type 0, "Conciliación de Nómina": for each chosen payroll class, the net payroll of the chosen
// prototypes and kinds in the period; once, the ledger balance of the account up to the end of the final
// date's month and the difference between all classes' payroll and that balance; then the observations.
#include "BuilderSupport.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

using namespace builders;

namespace {

// The statements of QryTotAcuNom (all chosen classes) and QryAcumuNomAdmon (one class), rebuilt on every
// run from the run's lists.
void ArmarSqlConciliacion(TDtmNmRtgen& dtm, const TReportRun& run, const QString& kinds) {
    const QString prototypes = ListaCodigos(run.Prototipos);
    const QString classes = ListaCodigos(run.Clases);
    const QString common = QStringLiteral("(PR.COD_PROT IN (%1)) AND (P.TIP_NOMI IN (%2))").arg(prototypes, kinds);
    dtm.QryTotAcuNom->Close();
    dtm.QryTotAcuNom->SetCommandText(
        SqlNetoPorTipoConcepto(common + QStringLiteral(" AND (P.COD_TNOM IN (%1))").arg(classes)));
    dtm.QryAcumuNomAdmon->Close();
    dtm.QryAcumuNomAdmon->SetCommandText(SqlNetoPorTipoConcepto(common + QStringLiteral(" AND (P.COD_TNOM = :P_COD_TNOM)")));
}

void abrirPeriodo(SClientDataSet& qry, int company, TDateTime from, TDateTime to) {
    qry.Close();
    qry.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(company);
    qry.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(from);
    qry.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(to);
}

} // namespace

void TReportBuilders::GenerarConciliacionNomina() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    dtm.gStObsErva = Run.PedirObservaciones();
    ArmarSqlConciliacion(dtm, Run, ListaTiposNomina(TiposNomina));

    const double saldo = SaldoContable(*dtm.QrySaldoOrvex, CodEmpr, gDtFecFina, dtm.gStCodCuen);

    abrirPeriodo(*dtm.QryTotAcuNom, CodEmpr, gDtFecInic, gDtFecFina);
    dtm.QryTotAcuNom->Open();

    // The first row carries the balance and the difference against all classes; it stays open so that
    // the first class fills it.
    TClientDataSet& rep = *dtm.CdsReporte;
    rep.Append();
    rep.FieldByName(QStringLiteral("SAL_CONT")).SetAsFloat(saldo);
    rep.FieldByName(QStringLiteral("DIF_SALD")).SetAsFloat(SaldoNetoNomina(*dtm.QryTotAcuNom) - saldo);

    TClientDataSet& classes = *dtm.CdsNmTnomi;
    for (classes.First(); !classes.Eof(); classes.Next()) {
        SClientDataSet& admon = *dtm.QryAcumuNomAdmon;
        abrirPeriodo(admon, CodEmpr, gDtFecInic, gDtFecFina);
        admon.ParamByName(QStringLiteral("P_COD_TNOM")).SetAsSmallInt(classes.FieldByName(QStringLiteral("COD_TNOM")).AsInteger());
        admon.Open();
        if (rep.State() != TDataSetState::dsInsert && rep.State() != TDataSetState::dsEdit)
            rep.Append();
        rep.FieldByName(QStringLiteral("COD_CUEN")).SetAsString(dtm.gStCodCuen);
        rep.FieldByName(QStringLiteral("NOM_CONC"))
            .SetAsString(QStringLiteral("Nómina ") + classes.FieldByName(QStringLiteral("NOM_TNOM")).AsString());
        rep.FieldByName(QStringLiteral("SAL_NOMI")).SetAsFloat(SaldoNetoNomina(admon));
        rep.Post();
    }
    DtmNmRtrep.frxRptRtgen->ShowReport(Run);
}
