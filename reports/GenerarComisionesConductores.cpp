// Report type 5, "Comisiones Conductores": per driver type and base service, the commissions paid through
// payroll (concepts of the chosen prototypes, income positive and deductions negative, over both payroll
// sources) and the maintenance liquidated as commissions, with the number of drivers. The population is the
// contracts whose process group is one of the chosen prototypes.
#include "BuilderSupport.h"
#include "GeneralError.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

#include <QStringList>

using namespace builders;

namespace {

// The name of a driver type; a code that is no digit from 1 to 5 has none.
QString NombreTipoConductor(const QString& tipCtor) {
    static const char* const names[] = {"TITULAR GRUPO", "TITULAR", "RELEVADOR", "AGENCIA/ADMIN", "RELEVADOR GRUPO"};
    const QString code = tipCtor.trimmed();
    if (code.size() != 1 || code[0] < QLatin1Char('1') || code[0] > QLatin1Char('5'))
        return QString();
    return QString::fromLatin1(names[code[0].unicode() - '1']);
}

// The statements of the two report queries, from the chosen prototypes and their concepts. Both payroll
// sources are read with UNION ALL: a source's row identical to the other's is a second payment.
void ArmarSqlComisiones(TDtmNmRtgen& dtm, const TReportRun& run) {
    if (run.Prototipos.isEmpty())
        throw GeneralError(QStringLiteral("No ha selecionado el prototipo."));
    const QStringList concepts = ConceptosDePrototipos(*dtm.QryNmConce, run.CodEmpr, run.Prototipos);
    if (concepts.isEmpty())
        throw GeneralError(
            QStringLiteral("El prototipo seleccionado no tiene conceptos asociados, por favor verifique."));
    const QString group = QStringLiteral(" (CT.COD_GPRO IN (%1)) AND ").arg(ListaCodigos(run.Prototipos));
    const QString branch = QStringLiteral(
        "SELECT CD.TIP_CTOR, CD.COD_SBAS, SV.NOM_SERV, COUNT (DISTINCT A.COD_EMPL) AS EMPLEADOS, "
        "SUM (CASE WHEN C.TIP_CONC = 'E' THEN A.VAL_ACUM * - 1 WHEN C.TIP_CONC = 'I' THEN A.VAL_ACUM END) AS VAL_ACUM "
        "FROM %1 A, NM_CONCE C, NM_CONTR CT, NM_CDTOR CD, NM_SERVI SV "
        "WHERE (A.COD_EMPR = CT.COD_EMPR) AND (A.COD_EMPL = CT.COD_EMPL) AND (A.NRO_CONT = CT.NRO_CONT) AND "
        "(A.COD_EMPR = CD.COD_EMPR) AND (A.COD_EMPL = CD.COD_CTOR) AND "
        "(CD.COD_EMPR = SV.COD_EMPR) AND (CD.COD_SBAS = SV.COD_SERV) AND "
        "(A.COD_EMPR = C.COD_EMPR) AND (A.COD_CONC = C.COD_CONC) AND "
        "%2 (A.COD_CONC IN (%3)) AND (A.COD_EMPR = :P_COD_EMPR) AND "
        "(A.FEC_ACUM >= :P_FEC_INIC) AND (A.FEC_ACUM <= :P_FEC_FINA) "
        "GROUP BY CD.TIP_CTOR, CD.COD_SBAS, SV.NOM_SERV");
    const QString conceptList = concepts.join(QLatin1Char(','));
    dtm.QryComisCdtor->Close();
    dtm.QryComisCdtor->SetCommandText(branch.arg(QStringLiteral("NM_PRENO"), group, conceptList) +
                                      QStringLiteral(" UNION ALL ") +
                                      branch.arg(QStringLiteral("NM_ACUMU"), group, conceptList));
    dtm.QryComisMante->Close();
    dtm.QryComisMante->SetCommandText(
        QStringLiteral("SELECT CD.TIP_CTOR, CD.COD_SBAS, SV.NOM_SERV, COUNT (DISTINCT A.COD_EMPL) AS EMPLEADOS, "
                       "SUM (A.VAL_LIQU) AS VAL_ACUM "
                       "FROM NM_COMLI A, NM_CONTR CT, NM_CDTOR CD, NM_SERVI SV "
                       "WHERE (A.COD_EMPR = CT.COD_EMPR) AND (A.COD_EMPL = CT.COD_EMPL) AND "
                       "(A.NRO_CONT = CT.NRO_CONT) AND (A.COD_EMPR = CD.COD_EMPR) AND (A.COD_EMPL = CD.COD_CTOR) AND "
                       "(CD.COD_EMPR = SV.COD_EMPR) AND (CD.COD_SBAS = SV.COD_SERV) AND %1 (A.TIP_COMI = 'N') AND "
                       "(A.COD_EMPR = :P_COD_EMPR) AND (A.FEC_COMI >= :P_FEC_INIC) AND (A.FEC_COMI <= :P_FEC_FINA) "
                       "GROUP BY CD.TIP_CTOR, CD.COD_SBAS, SV.NOM_SERV ORDER BY CD.TIP_CTOR, CD.COD_SBAS")
            .arg(group));
}

} // namespace

void TReportBuilders::GenerarComisionesConductores() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    ArmarSqlComisiones(dtm, Run);
    TClientDataSet& out = *dtm.CdsComisCdtor;
    out.EmptyDataSet();

    // Each query's rows merge by (driver type, base service); a key met again only adds its value.
    const auto merge = [&](SClientDataSet& query, const QString& valueField) {
        query.Close();
        query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsInteger(CodEmpr);
        query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
        query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
        query.Open();
        TField& value = out.FieldByName(valueField);
        for (query.First(); !query.Eof(); query.Next()) {
            const QString tipo = query.FieldByName(QStringLiteral("TIP_CTOR")).AsString();
            const int servicio = query.FieldByName(QStringLiteral("COD_SBAS")).AsInteger();
            const double amount = query.FieldByName(QStringLiteral("VAL_ACUM")).AsFloat();
            if (out.Locate(QStringLiteral("TIP_CTOR;COD_SBAS"), {tipo, servicio})) {
                out.Edit();
                value.SetAsFloat(value.AsFloat() + amount);
            } else {
                out.Append();
                out.FieldByName(QStringLiteral("TIP_CTOR")).SetAsString(tipo);
                out.FieldByName(QStringLiteral("NOM_TCTR")).SetAsString(NombreTipoConductor(tipo));
                out.FieldByName(QStringLiteral("COD_SBAS")).SetAsInteger(servicio);
                out.FieldByName(QStringLiteral("NOM_SERV"))
                    .SetAsString(query.FieldByName(QStringLiteral("NOM_SERV")).AsString());
                out.FieldByName(QStringLiteral("TOT_EMPL"))
                    .SetAsInteger(query.FieldByName(QStringLiteral("EMPLEADOS")).AsInteger());
                value.SetValue(query.FieldByName(QStringLiteral("VAL_ACUM")).Value());
            }
            out.Post();
        }
    };
    merge(*dtm.QryComisCdtor, QStringLiteral("VAL_ACUM"));
    merge(*dtm.QryComisMante, QStringLiteral("VAL_MANT"));

    DtmNmRtrep.frxRptComisCdtor->ShowReport(Run);
    // The prototype selection is cleared after every run of this report.
    dtm.CdsNmTprot->EmptyDataSet();
}
