#include "TDtmNmRtrep.h"

#include "FormatSettings.h"
#include "GeneralError.h"
#include "LayoutFiles.h"
#include "TDtmNmRtgen.h"
#include "TReportRun.h"

#include <QFile>

TDtmNmRtrep::TDtmNmRtrep(TDtmNmRtgen* data, QObject* parent) : QObject(parent), m_data(data) {
    setObjectName(QStringLiteral("DtmNmRtrep"));
    auto layout = [this](const char* name) {
        auto* r = new TfrxReport(QString::fromLatin1(name), this);
        m_reports.push_back(r);
        return r;
    };
    frxRptRtgen = layout("frxRptRtgen");
    frxRptRpqGen = layout("frxRptRpqGen");
    frxRptIngr = layout("frxRptIngr");
    frxRptConNov = layout("frxRptConNov");
    frxRptTotNomi = layout("frxRptTotNomi");
    frxRptComisCdtor = layout("frxRptComisCdtor");
    frxRptFacturaEmpr = layout("frxRptFacturaEmpr");
    frxRptTempo = layout("frxRptTempo");
    frxRptParafiscales = layout("frxRptParafiscales");
    frxRptConva = layout("frxRptConva");
    frxRptGH = layout("frxRptGH");

    // User name in the layouts -> dataset of the data module.
    static const char* const bindings[][2] = {
        {"QryGnEmpre", nullptr},                 // the run's company row
        {"CdsReporte", "CdsReporte"},
        {"CdsRqpReporte", "CdsRqpReporte"},
        {"CdsRptIngrRet", "CdsRptIngrRet"},
        {"CdsRptIngrRetCg", "CdsRptIngrRetCg"},
        {"CdsNomxPag", "CdsNomxPag"},
        {"QryTotNomi", "CdsTotNomi"},
        {"QryComisCdtor", "CdsComisCdtor"},
        {"CdsFacturaEmpr", "CdsFacturaEmpr"},
        {"QryRpTemporales", "QryRpTemporales"},
        {"QrySlRepf", "QrySlRepf"},
        {"QryEmplTemp", "CdsEmpTemp"},
        {"CdsParafiscales", "CdsParafiscales"},
        {"QryNmConva", "QryNmConva"},
        {"QryNmParam", "QryNmParam"},
        {"CdsGH", "CdsGH"},
        {"QryGestionHumana", "CdsGH"},
        {"QrySeguridadSocial", "CdsSeguridadSocial"},
        {"QryCmpTotNomi", "CdsCmpTotNomi"},
        {"CdsPrfsGH", "CdsPrfsGH"},
    };
    for (const auto& b : bindings)
        m_bindings.push_back(std::make_unique<TfrxDBDataset>(
            QString::fromLatin1(b[0]), b[1] && data ? data->dataSetByName(QString::fromLatin1(b[1])) : nullptr));
}

TDtmNmRtrep::~TDtmNmRtrep() = default;

TfrxReport* TDtmNmRtrep::ReportByName(const QString& name) const {
    for (TfrxReport* r : m_reports)
        if (r->Name().compare(name, Qt::CaseInsensitive) == 0)
            return r;
    return nullptr;
}

TfrxDBDataset* TDtmNmRtrep::BindingByUserName(const QString& userName) const {
    for (const auto& b : m_bindings)
        if (b->userName().compare(userName, Qt::CaseInsensitive) == 0)
            return b.get();
    return nullptr;
}

bool TDtmNmRtrep::frxRptRtgenGetValue(const TReportRun& run, const QString& VarName, QVariant& Value) const {
    // Exact, case-sensitive names.
    if (VarName == QLatin1String("gStCodUsua")) {
        Value = run.CodiUsua;
        return true;
    }
    if (VarName == QLatin1String("gStDateFormat")) {
        Value = FormatSettings::global().shortDateFormat;
        return true;
    }
    if (VarName == QLatin1String("gDtFecInic")) {
        Value = run.gDtFecInic.toDateTime();
        return true;
    }
    if (VarName == QLatin1String("gDtFecFina")) {
        Value = run.gDtFecFina.toDateTime();
        return true;
    }
    if (VarName == QLatin1String("gStObsErva")) {
        Value = m_data ? m_data->gStObsErva : QString();
        return true;
    }
    if (VarName == QLatin1String("gStEstudio")) {
        const TDataSet* q = m_data ? m_data->QrySlRepf : nullptr;
        Value = (!q || !q->Active() || q->IsEmpty()) ? QStringLiteral("N") : QStringLiteral("S");
        return true;
    }
    return false;
}

QByteArray TDtmNmRtrep::layoutXml(const QString& name) {
    return layoutfiles::layoutXml(name);
}

QByteArray TDtmNmRtrep::fragmentXml(const QString& name) {
    return layoutfiles::fragmentXml(name);
}
