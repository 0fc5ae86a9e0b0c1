// Report type 8, "Parafiscales": for the positions the company configured (parameter rows of kind "PF"),
// head count, basic salary, payroll base, the three social-security contributions and the three levies
// paid to the providers the company's parameters name for SENA, ICBF and the family fund. One position
// prints its own line; several print one "ADMINISTRACION" line that adds them up.
#include "GeneralError.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

#include <QVariant>

namespace {

const char* const kSocialSecurity[] = {"ING_SALU", "EPS_APOR", "AFP_APOR", "ARP_APOR"};

// The levy field a provider's payment goes to: SENA, then ICBF, then the family fund, the first whose
// configured provider code it is; nullptr for any other provider.
const char* levyField(SClientDataSet& parin, int provider) {
    if (!parin.Active() || parin.IsEmpty())
        return nullptr;
    if (provider == parin.FieldByName(QStringLiteral("COD_SENA")).AsInteger())
        return "SEN_APOR";
    if (provider == parin.FieldByName(QStringLiteral("COD_ICBF")).AsInteger())
        return "ICB_APOR";
    if (provider == parin.FieldByName(QStringLiteral("COD_CDCF")).AsInteger())
        return "CCF_APOR";
    return nullptr;
}

} // namespace

void TReportBuilders::GenerarParafiscales() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    TClientDataSet& out = *dtm.CdsParafiscales;
    out.EmptyDataSet();

    SClientDataSet& prtge = *dtm.QryNmPrtgePf;
    prtge.Close();
    prtge.ParamByName(QStringLiteral("COD_EMPR")).SetAsSmallInt(CodEmpr);
    prtge.Open();
    if (prtge.IsEmpty())
        throw GeneralError(QStringLiteral("No ha parametrizado los cargos a consultar."));
    QStringList positions;
    for (prtge.First(); !prtge.Eof(); prtge.Next())
        positions << prtge.FieldByName(QStringLiteral("COD_TNOM")).AsString();

    // The levy providers of the run's company.
    SClientDataSet& parin = *dtm.QryNmParin;
    parin.Close();
    parin.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
    parin.Open();

    SClientDataSet& autol = *dtm.QryAutol;
    SClientDataSet& propa = *dtm.QryNmPropa;
    const auto open = [&](SClientDataSet& query, const QString& position) {
        query.Close();
        query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsInteger(CodEmpr);
        query.ParamByName(QStringLiteral("P_COD_CARG")).SetAsString(position);
        query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
        query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
        query.Open();
    };
    // Each levy row of the open provider query, added to (or, for a single position, set in) its field.
    const auto levies = [&](bool add) {
        for (propa.First(); !propa.Eof(); propa.Next()) {
            const char* field = levyField(parin, propa.FieldByName(QStringLiteral("COD_PROV")).AsInteger());
            if (!field)
                continue;
            TField& f = out.FieldByName(QString::fromLatin1(field));
            const double value = propa.FieldByName(QStringLiteral("VAR_LIQU")).AsFloat();
            f.SetAsFloat(add ? f.AsFloat() + value : value);
        }
    };

    if (positions.size() == 1) {
        open(autol, positions.first());
        open(propa, positions.first());
        if (autol.IsEmpty()) {
            DtmNmRtrep.frxRptParafiscales->ShowReport(Run);
            return;
        }
        out.Append();
        // Fixed-width codes and names come padded from some servers.
        for (const char* name : {"COD_CARG", "NOM_CARG"})
            out.FieldByName(QString::fromLatin1(name))
                .SetAsString(autol.FieldByName(QString::fromLatin1(name)).AsString().trimmed());
        for (const char* name : {"CONTEO", "SUE_BASI"})
            out.FieldByName(QString::fromLatin1(name)).SetValue(autol.FieldByName(QString::fromLatin1(name)).Value());
        for (const char* name : kSocialSecurity)
            out.FieldByName(QString::fromLatin1(name)).SetValue(autol.FieldByName(QString::fromLatin1(name)).Value());
        levies(false);
        out.Post();
    } else {
        out.Append();
        out.FieldByName(QStringLiteral("NOM_CARG")).SetAsString(QStringLiteral("ADMINISTRACION"));
        qint64 headCount = 0;
        double salaryTimesCount = 0;
        for (const QString& position : positions) {
            open(autol, position);
            open(propa, position);
            if (!autol.IsEmpty()) {
                const int count = autol.FieldByName(QStringLiteral("CONTEO")).AsInteger();
                headCount += count;
                // The line's salary is an average over all its people: each position's average weighs as
                // many as the people it averages.
                salaryTimesCount += autol.FieldByName(QStringLiteral("SUE_BASI")).AsFloat() * count;
                for (const char* name : kSocialSecurity) {
                    TField& f = out.FieldByName(QString::fromLatin1(name));
                    f.SetAsFloat(f.AsFloat() + autol.FieldByName(QString::fromLatin1(name)).AsFloat());
                }
            }
            levies(true);
        }
        out.FieldByName(QStringLiteral("CONTEO")).SetAsInteger(int(headCount));
        if (headCount > 0)
            out.FieldByName(QStringLiteral("SUE_BASI")).SetAsFloat(salaryTimesCount / double(headCount));
        out.Post();
    }
    DtmNmRtrep.frxRptParafiscales->ShowReport(Run);
}
