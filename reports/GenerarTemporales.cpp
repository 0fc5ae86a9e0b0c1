// Report type 7, "Temporales": the quarterly statement of a staffing company. Pages 1 and 2 print the
// requisitions of the period straight from QryRpTemporales (the data module names their territories and
// loads their requirements as the report walks them); page 3 prints CdsEmpTemp, which this builder fills
// with the workers sent to user companies whose contract was active or ended in the period, classified by
// contract state, followed by the applicants to the period's requisitions who were not hired.
#include "BuilderSupport.h"
#include "DateRoutines.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

#include <QDate>
#include <functional>

using namespace builders;

namespace {

QString Texto(const TDataSet& row, const char* field) {
    const TField& f = row.FieldByName(QLatin1String(field));
    return f.IsNull() ? QString() : f.AsString();
}

// A full name split in two: the text up to its first blank, and everything after it; both trimmed.
void PartirNombre(const QString& full, TField& first, TField& rest) {
    const QString text = full.trimmed();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    first.SetAsString(blank < 0 ? text : text.left(blank).trimmed());
    rest.SetAsString(blank < 0 ? QString() : text.mid(blank + 1).trimmed());
}

// Education level from the school grade alone; empty for a grade outside 01..11.
QString NivelPorGrado(const QString& grade) {
    static const QStringList primaria{"01", "02", "03", "04", "05"};
    static const QStringList vocacional{"06", "07", "08", "09"};
    if (primaria.contains(grade))
        return QStringLiteral("BASICA PRIMARIA");
    if (vocacional.contains(grade))
        return QStringLiteral("MEDIA VOCACIONAL");
    if (grade == QLatin1String("10") || grade == QLatin1String("11"))
        return QStringLiteral("MEDIA ACADEMICA O CLASICA");
    return QString();
}

// A worker's education: primary school by grade; then, for basic schooling ("B"), secondary by grade;
// otherwise the kind of higher education.
QString NivelEducativoEmpleado(const QString& grade, const QString& kind) {
    if (NivelPorGrado(grade) == QLatin1String("BASICA PRIMARIA"))
        return NivelPorGrado(grade);
    if (!grade.isEmpty() && kind == QLatin1String("B"))
        return NivelPorGrado(grade);
    if (kind == QLatin1String("T"))
        return QStringLiteral("TECNICO PROFESIONAL O LABORAL");
    if (kind == QLatin1String("G"))
        return QStringLiteral("TECNOLOGIA");
    if (kind == QLatin1String("R"))
        return QStringLiteral("PROFESIONAL UNIVERSITARIO");
    return QString();
}

// Fills the columns that contracted workers and applicants share.
void CopiarComunes(const TDataSet& from, TClientDataSet& out, const char* group, const char* id) {
    const auto copy = [&](const char* src, const char* dst) {
        out.FieldByName(QLatin1String(dst)).SetValue(from.FieldByName(QLatin1String(src)).Value());
    };
    copy(group, "NOM_NIVE");
    copy("NIT_EMPR", "NIT_EMPR");
    copy("DIG_VERI", "DIG_VERI");
    copy("TIP_DOCU", "TIP_DOCU");
    copy(id, "COD_EMPL");
    copy("SEX_EMPL", "SEX_EMPL");
    copy("FEC_NACI", "FEC_NACI");
    copy("NOM_CARG", "NOM_CARG");
    PartirNombre(Texto(from, "APE_EMPL"), out.FieldByName(QStringLiteral("APE_EMP1")),
                 out.FieldByName(QStringLiteral("APE_EMP2")));
    PartirNombre(Texto(from, "NOM_EMPL"), out.FieldByName(QStringLiteral("NOM_EMP1")),
                 out.FieldByName(QStringLiteral("NOM_EMP2")));
}

} // namespace

void TReportBuilders::GenerarTemporales() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    AbrirPeriodo(*dtm.QryRpTemporales, CodEmpr, gDtFecInic, gDtFecFina);
    TClientDataSet& out = *dtm.CdsEmpTemp;
    out.EmptyDataSet();
    SClientDataSet& workers = *dtm.QryEmplTemp;
    SClientDataSet& applicants = *dtm.QryEmplNoTemp;
    AbrirPeriodo(workers, CodEmpr, gDtFecInic, gDtFecFina);
    AbrirPeriodo(applicants, CodEmpr, gDtFecInic, gDtFecFina);

    // The form keeps the company's parameters open; a run started elsewhere may not have them yet, and both
    // the builder and the requisition page read the minimum salary there.
    SClientDataSet& param = *dtm.QryNmParam;
    if (!param.Active() || param.ParamByName(QStringLiteral("P_COD_EMPR")).AsInteger() != CodEmpr) {
        param.Close();
        param.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
        param.Open();
    }
    const QVariant salarioMinimo =
        param.IsEmpty() ? QVariant() : param.FieldByName(QStringLiteral("SAL_MINL")).Value();
    // Dates are compared by day: the period holds the whole of its first and last day.
    const QDate inicio = gDtFecInic.date();
    const QDate fin = gDtFecFina.date();

    std::unique_ptr<TProcessProgress> progress = Run.CrearProgreso();
    bool detenido = false;
    // One pass over a query: the stop button (Ctrl+C on the terminal) ends the whole walk, and the rows
    // gathered so far are printed.
    const auto recorrer = [&](SClientDataSet& query, const QString& message, const char* group, const char* id,
                              const std::function<void()>& fill) {
        if (detenido || query.IsEmpty())
            return;
        if (progress) {
            progress->Inicializar(query.RecordCount(), true);
            progress->MensajeDelProceso(message);
        }
        for (query.First(); !query.Eof(); query.Next()) {
            if (progress && !progress->ContinuarProceso()) {
                detenido = true;
                break;
            }
            if (progress)
                progress->EmpleadoActual(query.FieldByName(QLatin1String(id)).AsFloat(),
                                         Texto(query, "APE_EMPL") + QLatin1Char(' ') + Texto(query, "NOM_EMPL"));
            out.Append();
            CopiarComunes(query, out, group, id);
            fill();
            out.Post();
            if (progress)
                progress->EmpleadoActualTerminado();
        }
    };

    try {
        recorrer(workers, QStringLiteral("Procesando Empleados..."), "NOM_NIVE", "COD_EMPL", [&] {
            const QString activo = Texto(workers, "IND_ACTI").trimmed();
            const TField& ingreso = workers.FieldByName(QStringLiteral("FEC_INGR"));
            const TField& vence = workers.FieldByName(QStringLiteral("FEC_VENC"));
            // An empty date reads as earlier than any period.
            const QDate ingr = ingreso.IsNull() ? QDate() : ingreso.AsDateTime().date();
            const QDate venc = vence.IsNull() ? QDate() : vence.AsDateTime().date();
            const auto estado = [&](int code, const char* label) {
                out.FieldByName(QStringLiteral("COD_ESTA")).SetAsInteger(code);
                out.FieldByName(QStringLiteral("NOM_ESTA")).SetAsString(QString::fromUtf8(label));
            };
            if (activo == QLatin1String("I"))
                estado(3, "3 - TERMINA CONTRATO");
            else if (activo == QLatin1String("A")) {
                if (ingr.isValid() && ingr < inicio && venc.isValid() && venc > fin)
                    estado(1, "5 - CONTRATO VIGENTE");
                else if (ingr.isValid() && ingr >= inicio && ingr <= fin)
                    estado(2, "2 - INICIA CONTRATO");
                else if (venc.isValid() && venc >= inicio && venc <= fin)
                    estado(3, "3 - TERMINA CONTRATO");
            }
            out.FieldByName(QStringLiteral("IND_ACTI")).SetValue(workers.FieldByName(QStringLiteral("IND_ACTI")).Value());
            out.FieldByName(QStringLiteral("FEC_INGR")).SetValue(ingreso.Value());
            out.FieldByName(QStringLiteral("FEC_VENC")).SetValue(vence.Value());
            out.FieldByName(QStringLiteral("COD_CARG")).SetValue(workers.FieldByName(QStringLiteral("COD_CARG")).Value());
            // A contract that ended counts up to the end of the period; an open-ended one has no term.
            TField& dias = out.FieldByName(QStringLiteral("TIE_DIAS"));
            if (!ingreso.IsNull() && activo == QLatin1String("I"))
                dias.SetAsInteger(DiasEntreFechas(QStringLiteral("A"), ingreso.AsDateTime(), gDtFecFina));
            else if (!ingreso.IsNull() && !vence.IsNull())
                dias.SetAsInteger(DiasEntreFechas(QStringLiteral("A"), ingreso.AsDateTime(), vence.AsDateTime()));
            const TField& sueldo = workers.FieldByName(QStringLiteral("SUE_BASI"));
            TField& salario = out.FieldByName(QStringLiteral("SUE_BASI"));
            if (!sueldo.IsNull() && sueldo.AsFloat() != 0)
                salario.SetAsFloat(sueldo.AsFloat());
            else
                salario.SetValue(salarioMinimo);
            out.FieldByName(QStringLiteral("NIV_EDUC"))
                .SetAsString(NivelEducativoEmpleado(Texto(workers, "GRA_EDUC").trimmed(),
                                                    Texto(workers, "FOR_ACAD").trimmed()));
        });
        recorrer(applicants, QStringLiteral("Procesando Empleados No Contratados..."), "DES_GRSE", "COD_ASPI", [&] {
            out.FieldByName(QStringLiteral("COD_ESTA")).SetAsInteger(5);
            out.FieldByName(QStringLiteral("NOM_ESTA")).SetAsString(QStringLiteral("1 - NO CONTRATADO"));
            out.FieldByName(QStringLiteral("COD_CARG")).SetValue(applicants.FieldByName(QStringLiteral("COD_CARP")).Value());
            out.FieldByName(QStringLiteral("NIV_EDUC")).SetAsString(NivelPorGrado(Texto(applicants, "GRA_EDUC").trimmed()));
        });
    } catch (...) {
        if (out.State() != TDataSetState::dsBrowse)
            out.Cancel();
        if (progress)
            progress->Finalizar();
        throw;
    }
    if (progress) {
        progress->Finalizar();
        progress.reset();
    }
    DtmNmRtrep.frxRptTempo->ShowReport(Run);
}
