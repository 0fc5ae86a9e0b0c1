// Report type 10, "Gestión Humana": a social balance of every company in the database. Seven passes under
// the progress window gather the active headcount of the "GH" payroll classes, then the social-security
// contributions, the levies and the net payroll cost of the month of the final date, each for the same
// month one year earlier and for the current one. Each pass merges its query into a result set by key; the
// stop button ends the pass it is in, and whatever ends the run, the window is closed and the rows
// gathered are shown in four cross-tabs.
#include "BuilderSupport.h"
#include "DateRoutines.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

#include <QStringList>
#include <utility>
#include <vector>

using namespace builders;

namespace {

// How one query's rows merge into a result set: the key, the amounts added up on a repeated key, and the
// fields copied into a new row (result-set field, query field).
struct Mezcla {
    QString keys;
    QStringList sums;
    std::vector<std::pair<const char*, const char*>> copies;
};

void Mezclar(const TDataSet& row, TClientDataSet& out, const Mezcla& m) {
    QVariantList key;
    for (const QString& f : m.keys.split(QLatin1Char(';')))
        key << row.FieldByName(f).Value();
    if (out.Locate(m.keys, key)) {
        out.Edit();
        for (const QString& f : m.sums) {
            const TField& add = row.FieldByName(f);
            TField& stored = out.FieldByName(f);
            if (!add.IsNull())
                stored.SetAsFloat(stored.AsFloat() + add.AsFloat());
        }
    } else {
        out.Append();
        for (const auto& [to, from] : m.copies)
            out.FieldByName(QLatin1String(to)).SetValue(row.FieldByName(QLatin1String(from)).Value());
    }
    out.Post();
}

// Net payroll by company, month, class and kind: deductions count negative, earnings positive, any other
// concept type adds nothing. Every payroll class enters; only the checked kinds do.
QString SqlCostoNomina(const QString& kinds) {
    return QStringLiteral(
               "SELECT A.COD_EMPR, E.NOM_EMPR, DATEPART (Year, A.FEC_ACUM) AS ANO_PROC, "
               "DATEPART (MONTH, A.FEC_ACUM) AS MES_PROC, A.COD_TNOM, A.TIP_NOMI, "
               "SUM (CASE   WHEN C.TIP_CONC = 'E' THEN    A.VAL_ACUM * - 1   WHEN C.TIP_CONC = 'I' THEN    "
               "A.VAL_ACUM   END) AS VAL_ACUM "
               "FROM NM_ACUMU A, GN_EMPRE E, NM_CONCE C "
               "WHERE (A.COD_EMPR = E.COD_EMPR) AND (A.COD_EMPR = C.COD_EMPR) AND (A.COD_CONC = C.COD_CONC) AND "
               "(A.TIP_NOMI IN (") +
           kinds +
           QStringLiteral(
               ")) AND  (A.FEC_ACUM >= :P_FEC_INIC) AND  (A.FEC_ACUM <= :P_FEC_FINA) "
               "GROUP BY A.COD_EMPR, E.NOM_EMPR, DATEPART (Year, A.FEC_ACUM), DATEPART (MONTH, A.FEC_ACUM), "
               "A.COD_TNOM, A.TIP_NOMI "
               "ORDER BY A.COD_EMPR, E.NOM_EMPR, DATEPART (Year, A.FEC_ACUM), DATEPART (MONTH, A.FEC_ACUM), "
               "A.COD_TNOM, A.TIP_NOMI");
}

} // namespace

void TReportBuilders::GenerarGestionHumana() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    dtm.QryCmpTotNomi->Close();
    dtm.QryCmpTotNomi->SetCommandText(SqlCostoNomina(ListaTiposNomina(TiposNomina)));
    for (TClientDataSet* r : {dtm.CdsGH, dtm.CdsCmpTotNomi, dtm.CdsSeguridadSocial, dtm.CdsPrfsGH})
        r->EmptyDataSet();
    // Class names are read afresh on every run, then once per company and class.
    dtm.OlvidarNombresTipoNomina();

    // The month of the final date up to that date, and the same stretch one year earlier (29 February
    // has 28 February for its counterpart).
    const TDateTime finAnterior = SumaAFecha(-1, QStringLiteral("Y"), gDtFecFina, false);
    const TDateTime inicioAnterior = PrimerDiaDelMes(finAnterior);
    const TDateTime inicioActual = PrimerDiaDelMes(gDtFecFina);

    // The company, month and class every monthly row starts with.
    const auto mensual = [](std::vector<std::pair<const char*, const char*>> more) {
        std::vector<std::pair<const char*, const char*>> copies{
            {"COD_EMPR", "COD_EMPR"}, {"NOM_EMPR", "NOM_EMPR"}, {"ANO_PROC", "ANO_PROC"},
            {"MES_PROC", "MES_PROC"}, {"COD_TNOM", "COD_TNOM"}, {"NOM_TNOM", "DtfNmbTipNom"}};
        copies.insert(copies.end(), more.begin(), more.end());
        return copies;
    };
    const Mezcla seguridad{
        QStringLiteral("COD_EMPR;ANO_PROC;MES_PROC;COD_TNOM"),
        {QStringLiteral("TOT_SALU"), QStringLiteral("TOT_PENS"), QStringLiteral("TOT_PARP")},
        mensual({{"NOM_MESP", "DtfNmbMes"}, {"TOT_SALU", "TOT_SALU"}, {"TOT_PENS", "TOT_PENS"}, {"TOT_PARP", "TOT_PARP"}})};
    const Mezcla parafiscales{
        QStringLiteral("COD_EMPR;ANO_PROC;MES_PROC;COD_TNOM;COD_PROV"),
        {QStringLiteral("VAL_LIQU")},
        mensual({{"NOM_MESP", "DtfNmbMes"}, {"COD_PROV", "COD_PROV"}, {"NOM_PROV", "NOM_PROV"}, {"VAL_LIQU", "VAL_LIQU"}})};
    const Mezcla costo{
        QStringLiteral("COD_EMPR;ANO_PROC;MES_PROC;COD_TNOM;TIP_NOMI"),
        {QStringLiteral("VAL_ACUM")},
        mensual({{"TIP_NOMI", "TIP_NOMI"}, {"VAL_ACUM", "VAL_ACUM"}, {"DtfNmbMes", "DtfNmbMes"}, {"DtfNmbTnom", "DtfNmbTnom"}})};
    const Mezcla plantilla{
        QStringLiteral("COD_EMPR;COD_TNOM;SEX_EMPL;EST_CIVI"),
        {QStringLiteral("CONTEO")},
        {{"COD_EMPR", "COD_EMPR"}, {"NOM_EMPR", "NOM_EMPR"}, {"COD_TNOM", "COD_TNOM"}, {"NOM_TNOM", "DtfNmbTipNom"},
         {"SEX_EMPL", "SEX_EMPL"}, {"EST_CIVI", "EST_CIVI"}, {"TOT_EMPL", "TOT_EMPL"}, {"CONTEO", "CONTEO"}}};

    std::unique_ptr<TProcessProgress> progress = Run.CrearProgreso();
    // One pass: the query is opened (for a period, when one is given) and merged row by row until its end
    // or the stop button, which ends this pass only.
    const auto pasada = [&](SClientDataSet& query, const TDateTime* desde, const TDateTime* hasta,
                            TClientDataSet& out, const Mezcla& mezcla, bool aunVacia) {
        query.Close();
        if (desde) {
            query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(*desde);
            query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(*hasta);
        }
        query.Open();
        if (query.IsEmpty() && !aunVacia)
            return;
        if (progress)
            progress->Inicializar(query.RecordCount(), true);
        for (query.First(); !query.Eof() && (!progress || progress->ContinuarProceso()); query.Next()) {
            if (progress) {
                progress->MensajeDelProceso(QStringLiteral("Procesando información por Empresa..."));
                progress->NombreItemActual(query.FieldByName(QStringLiteral("NOM_EMPR")).AsString());
            }
            try {
                Mezclar(query, out, mezcla);
            } catch (...) {
                if (out.State() != TDataSetState::dsBrowse)
                    out.Cancel();
                throw;
            }
            if (progress)
                progress->ItemActualTerminado();
        }
    };
    const auto finish = [&] {
        if (progress) {
            progress->Finalizar();
            progress.reset();
        }
        DtmNmRtrep.frxRptGH->ShowReport(Run);
    };
    try {
        pasada(*dtm.QryGestionHumana, nullptr, nullptr, *dtm.CdsGH, plantilla, true);
        pasada(*dtm.QrySeguridadSocial, &inicioAnterior, &finAnterior, *dtm.CdsSeguridadSocial, seguridad, false);
        pasada(*dtm.QrySeguridadSocial, &inicioActual, &gDtFecFina, *dtm.CdsSeguridadSocial, seguridad, false);
        pasada(*dtm.QryParafiscales, &inicioAnterior, &finAnterior, *dtm.CdsPrfsGH, parafiscales, false);
        pasada(*dtm.QryParafiscales, &inicioActual, &gDtFecFina, *dtm.CdsPrfsGH, parafiscales, false);
        pasada(*dtm.QryCmpTotNomi, &inicioAnterior, &finAnterior, *dtm.CdsCmpTotNomi, costo, false);
        pasada(*dtm.QryCmpTotNomi, &inicioActual, &gDtFecFina, *dtm.CdsCmpTotNomi, costo, false);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
