// Report type 6, "Factura Empresa Usuaria": per employee and payroll concept of the chosen prototypes and
// kinds, the quantity and value paid in the period over both payroll sources, with the descriptive columns
// a staffing company bills the user company with. The walk over the rows shows the progress window and
// stops at its stop button; whatever happens, the window is closed and the rows gathered are shown.
#include "BuilderSupport.h"
#include "GeneralError.h"
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

// The statement of QryFacturaEmpr. Both payroll sources are read with UNION ALL: identical fortnights in
// pre-payroll and closed payroll are two payments. Rows come by employee, names and concept, then cost
// centre and position, so that "the first row met" of an employee's concept is the same on every server.
void ArmarSqlFactura(TDtmNmRtgen& dtm, const TReportRun& run, const QString& kinds) {
    const QStringList concepts = ConceptosDePrototipos(*dtm.QryNmConce, run.CodEmpr, run.Prototipos);
    // Without concepts the statement would not even be SQL: say so before sending it.
    if (concepts.isEmpty())
        throw GeneralError(
            QStringLiteral("El prototipo seleccionado no tiene conceptos asociados, por favor verifique."));
    const QString columns = QStringLiteral(
        "CT.COD_EMPL, BE.NOM_EMPL, BE.APE_EMPL, A.COD_CONC, CN.NOM_CONC, CT.COD_CCOS, CC.NOM_CCOS, CT.COD_CARG, "
        "CG.NOM_CARG, %1CT.COD_NIV1, NV.NOM_NIVE, CT.COD_CENP, CP.NOM_CENP, CP.TAR_ATEP, CT.FEC_INGR");
    const QString branch =
        QStringLiteral("SELECT ") + columns.arg(QStringLiteral("SUM (A.CAN_ACUM) AS CAN_ACUM, SUM (A.VAL_ACUM) AS VAL_ACUM, ")) +
        QStringLiteral(
            " FROM NM_CONTR CT, BI_EMPLE BE, %1 A, NM_CONCE CN, GN_CCOST CC, BI_CARGO CG, GN_NIVEL NV, NM_CENTP CP "
            "WHERE (CT.COD_EMPR = BE.COD_EMPR) AND (CT.COD_EMPL = BE.COD_EMPL) AND "
            "(CT.COD_EMPR = A.COD_EMPR) AND (CT.COD_EMPL = A.COD_EMPL) AND (CT.NRO_CONT = A.NRO_CONT) AND "
            "(A.COD_EMPR = CN.COD_EMPR) AND (A.COD_CONC = CN.COD_CONC) AND "
            "(CT.COD_EMPR = CC.COD_EMPR) AND (CT.COD_CCOS = CC.COD_CCOS) AND "
            "(CT.COD_EMPR = CG.COD_EMPR) AND (CT.COD_CARG = CG.COD_CARG) AND "
            "(CT.COD_EMPR = NV.COD_EMPR) AND (CT.COD_ARBO = NV.COD_ARBO) AND (CT.IDE_ARBO = NV.IDE_ARBO) AND "
            "(CT.COD_NIV1 = NV.COD_NIVE) AND (NV.NUM_NIVE = 1) AND "
            "(CT.COD_EMPR = CP.COD_EMPR) AND (CT.COD_CENP = CP.COD_CENP) AND "
            "(A.COD_EMPR = :P_COD_EMPR) AND (A.FEC_ACUM >= :P_FEC_INIC) AND (A.FEC_ACUM <= :P_FEC_FINA) AND "
            "(A.TIP_NOMI IN (%2)) AND (A.COD_CONC IN (%3)) GROUP BY ")
            .arg(QStringLiteral("%1"), kinds, concepts.join(QLatin1Char(','))) +
        columns.arg(QString());
    dtm.QryFacturaEmpr->Close();
    dtm.QryFacturaEmpr->SetCommandText(branch.arg(QStringLiteral("NM_PRENO")) + QStringLiteral(" UNION ALL ") +
                                       branch.arg(QStringLiteral("NM_ACUMU")) +
                                       QStringLiteral(" ORDER BY 1, 2, 3, 4, 6, 8"));
}

} // namespace

void TReportBuilders::GenerarFacturaEmpresa() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    ArmarSqlFactura(dtm, Run, ListaTiposNomina(TiposNomina));
    TClientDataSet& out = *dtm.CdsFacturaEmpr;
    out.EmptyDataSet();

    std::unique_ptr<TProcessProgress> progress = Run.CrearProgreso();
    SClientDataSet& query = *dtm.QryFacturaEmpr;
    // The window closes and the rows gathered so far are shown whatever ends the walk; an error then goes on
    // to the caller.
    const auto finish = [&] {
        if (progress) {
            progress->Finalizar();
            progress.reset();
        }
        DtmNmRtrep.frxRptFacturaEmpr->ShowReport(Run);
    };
    try {
        AbrirPeriodo(query, CodEmpr, gDtFecInic, gDtFecFina);
        if (progress)
            progress->Inicializar(query.RecordCount(), true);
        TField& valAcum = out.FieldByName(QStringLiteral("VAL_ACUM"));
        TField& canAcum = out.FieldByName(QStringLiteral("CAN_ACUM"));
        // The fields of a row are looked up once: a quarter of a large payroll is some 200,000 rows.
        TField& codEmpl = query.FieldByName(QStringLiteral("COD_EMPL"));
        TField& nomEmpl = query.FieldByName(QStringLiteral("NOM_EMPL"));
        TField& apeEmpl = query.FieldByName(QStringLiteral("APE_EMPL"));
        TField& codConc = query.FieldByName(QStringLiteral("COD_CONC"));
        TField& rowVal = query.FieldByName(QStringLiteral("VAL_ACUM"));
        TField& rowCan = query.FieldByName(QStringLiteral("CAN_ACUM"));
        std::vector<std::pair<const TField*, TField*>> copied;
        for (int i = 0; i < query.FieldCount(); ++i)
            if (TField* f = out.FindField(query.Field(i).FieldName()))
                copied.emplace_back(&query.Field(i), f);
        const QString key = QStringLiteral("COD_EMPL;COD_CONC");
        for (query.First(); !query.Eof() && (!progress || progress->ContinuarProceso());) {
            const double empl = codEmpl.AsFloat();
            if (progress) {
                progress->MensajeDelProceso(QStringLiteral("Procesando empleados..."));
                progress->EmpleadoActual(empl, nomEmpl.AsString() + QLatin1Char(' ') + apeEmpl.AsString());
            }
            if (out.Locate(key, {empl, codConc.AsInteger()})) {
                out.Edit();
                valAcum.SetAsFloat(valAcum.AsFloat() + rowVal.AsFloat());
                canAcum.SetAsFloat(canAcum.AsFloat() + rowCan.AsFloat());
            } else {
                out.Append();
                for (const auto& [from, to] : copied)
                    to->SetValue(from->Value());
            }
            out.Post();
            query.Next();
            if (progress)
                progress->EmpleadoActualTerminado();
        }
    } catch (...) {
        if (out.State() != TDataSetState::dsBrowse)
            out.Cancel();
        finish();
        throw;
    }
    finish();
}
