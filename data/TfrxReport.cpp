#include "TfrxReport.h"

#include "DocumentLoader.h"
#include "GeneralError.h"
#include "ReportEngine.h"
#include "ReportPresenter.h"
#include "TDtmNmRtrep.h"

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
            loader.load(xml, QStringLiteral(":/layouts/%1.xml").arg(Name())));
    }
    return *m_document;
}

void TfrxReport::PrepareReport(bool clearLastReport) {
    if (clearLastReport)
        m_prepared = report::PreparedReport();
    report::ReportEngine engine(Document());
    for (const auto& binding : m_module->Bindings())
        engine.bindDataSet(binding.get());
    engine.setVariableHandler([this](const QString& name, QVariant& value) {
        return m_module->frxRptRtgenGetValue(name, value);
    });
    engine.setFormatSettings(FormatSettings::global());
    m_prepared = engine.prepare();
}

void TfrxReport::ShowReport(bool clearLastReport) {
    PrepareReport(clearLastReport);
    ReportPresenter* presenter = m_module->Presenter();
    if (!presenter)
        throw GeneralError(QStringLiteral("No hay una vista previa asignada para mostrar el informe %1.").arg(Name()));
    presenter->present(*this);
}
