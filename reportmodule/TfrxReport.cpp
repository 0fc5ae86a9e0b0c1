#include "TfrxReport.h"

#include "DocumentLoader.h"
#include "FormatSettings.h"
#include "GeneralError.h"
#include "LayoutFiles.h"
#include "ReportEngine.h"
#include "ReportPresenter.h"
#include "ReportTables.h"
#include "TDtmNmRtrep.h"
#include "TReportRun.h"

TfrxReport::TfrxReport(const QString& name, TDtmNmRtrep* module) : QObject(module), m_module(module) {
    setObjectName(name);
}

const report::ReportDocument& TfrxReport::Document() {
    if (!m_document) {
        const QByteArray xml = TDtmNmRtrep::layoutXml(Name());
        if (xml.isEmpty())
            throw GeneralError(QStringLiteral("El informe %1 no está disponible en esta versión del módulo.").arg(Name()));
        report::DocumentLoader loader;
        loader.setFragmentResolver(&TDtmNmRtrep::fragmentXml);
        m_document = std::make_unique<report::ReportDocument>(
            loader.load(xml, layoutfiles::path(Name())));
    }
    return *m_document;
}

void TfrxReport::PrepareReport(const TReportRun& run, bool clearLastReport) {
    if (clearLastReport)
        m_prepared = report::PreparedReport();
    // The company binding shows the run's row for this preparation only.
    TfrxDBDataset* company = m_module->BindingByUserName(QStringLiteral("QryGnEmpre"));
    company->SetDataSet(run.CdsGnEmpre);
    struct Unbind {
        TfrxDBDataset* binding;
        ~Unbind() { binding->SetDataSet(nullptr); }
    } unbind{company};
    report::ReportEngine engine(Document());
    for (const auto& binding : m_module->Bindings())
        engine.bindDataSet(binding.get());
    engine.setVariableHandler([this, &run](const QString& name, QVariant& value) {
        return m_module->frxRptRtgenGetValue(run, name, value);
    });
    engine.setFormatSettings(FormatSettings::global());
    m_prepared = engine.prepare();
}

void TfrxReport::ShowReport(const TReportRun& run, bool clearLastReport) {
    PrepareReport(run, clearLastReport);
    if (!run.Presenter)
        throw GeneralError(QStringLiteral("No hay una vista previa asignada para mostrar el informe %1.").arg(Name()));
    const ReportTables data(Document(), m_module->Bindings());
    run.Presenter->presentWithData(Name(), m_prepared, data.tables());
}
