// Report type 1, "Requisición de Personal": the applicants of the requisitions requested in the period,
// per cost centre and requested position, split by their selection state and the management's decision;
// those selected and hired ("S"/"E") further by the type of the active contract they hold in the
// requisition's cost centre.
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportBuilders.h"

void TReportBuilders::GenerarRequisicionPersonal() {
    TDtmNmRtgen& dtm = DtmNmRtgen;
    TClientDataSet& out = *dtm.CdsRqpReporte;
    out.EmptyDataSet();

    SClientDataSet& combinations = *dtm.QryTotRqpEst;
    SClientDataSet& applicants = *dtm.QryTotAspiCarg;
    SClientDataSet& byContract = *dtm.QryTotAspiContr;
    const auto period = [&](SClientDataSet& query) {
        query.Close();
        query.ParamByName(QStringLiteral("P_COD_EMPR")).SetAsSmallInt(CodEmpr);
        query.ParamByName(QStringLiteral("P_FEC_INIC")).SetAsDateTime(gDtFecInic);
        query.ParamByName(QStringLiteral("P_FEC_FINA")).SetAsDateTime(gDtFecFina);
    };
    // One combination's parameters, for the two counting queries.
    const auto combination = [&](SClientDataSet& query) {
        period(query);
        query.ParamByName(QStringLiteral("P_COD_CCOS"))
            .SetAsSmallInt(combinations.FieldByName(QStringLiteral("COD_CCOS")).AsInteger());
        for (const char* name : {"COD_CARP", "EST_SELE", "DES_GERE"})
            query.ParamByName(QStringLiteral("P_") + QString::fromLatin1(name))
                .SetAsString(combinations.FieldByName(QString::fromLatin1(name)).AsString());
        query.Open();
    };

    period(combinations);
    combinations.Open();
    for (combinations.First(); !combinations.Eof(); combinations.Next()) {
        const int ccos = combinations.FieldByName(QStringLiteral("COD_CCOS")).AsInteger();
        const QString carp = combinations.FieldByName(QStringLiteral("COD_CARP")).AsString();
        if (out.Locate(QStringLiteral("COD_CCOS;COD_CARG"), {ccos, carp})) {
            out.Edit();
        } else {
            out.Append();
            out.FieldByName(QStringLiteral("COD_CCOS")).SetAsInteger(ccos);
            out.FieldByName(QStringLiteral("NOM_CCOS"))
                .SetAsString(combinations.FieldByName(QStringLiteral("NOM_CCOS")).AsString());
            out.FieldByName(QStringLiteral("COD_CARG")).SetAsString(carp);
            out.FieldByName(QStringLiteral("NOM_CARG"))
                .SetAsString(combinations.FieldByName(QStringLiteral("NOM_CARG")).AsString());
        }
        combination(applicants);
        const int total = applicants.FieldByName(QStringLiteral("TOT_ASPI")).AsInteger();
        const QString state = combinations.FieldByName(QStringLiteral("EST_SELE")).AsString();
        const QString decision = combinations.FieldByName(QStringLiteral("DES_GERE")).AsString();
        const auto is = [&](const char* s, const char* d) {
            return state == QLatin1String(s) && decision == QLatin1String(d);
        };
        if (is("E", "E")) {
            out.FieldByName(QStringLiteral("TRA_CONT")).SetAsInteger(total);
        } else if (is("S", "E")) {
            combination(byContract);
            for (byContract.First(); !byContract.Eof(); byContract.Next()) {
                const QString type = byContract.FieldByName(QStringLiteral("TIP_CONT")).AsString().left(1);
                const char* field = type == QLatin1String("F")   ? "CON_TFIJ"
                                    : type == QLatin1String("I") ? "CON_INDF"
                                    : type == QLatin1String("S") ? "CON_APRE"
                                                                 : nullptr;
                if (field)
                    out.FieldByName(QString::fromLatin1(field))
                        .SetAsInteger(byContract.FieldByName(QStringLiteral("TOT_ASPI")).AsInteger());
            }
        } else if (is("N", "N")) {
            out.FieldByName(QStringLiteral("TOT_NSEL")).SetAsInteger(total);
        } else if (is("E", "S")) {
            out.FieldByName(QStringLiteral("TOT_EESS")).SetAsInteger(total);
        } else if (is("S", "S")) {
            out.FieldByName(QStringLiteral("TOT_SSSS")).SetAsInteger(total);
        }
        out.Post();
    }
    DtmNmRtrep.frxRptRpqGen->ShowReport(Run);
}
