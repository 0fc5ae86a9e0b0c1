// TfrxReport: one layout of the report module. ShowReport prepares the layout anew for a run over the
// module's bindings (discarding the pages of the previous run), asking the module for the run's report
// variables, and hands the prepared pages to the run's presenter; it returns when the presenter is done.
#pragma once

#include "PreparedReport.h"
#include "ReportDocument.h"

#include <QObject>
#include <QString>
#include <memory>

class TDtmNmRtrep;
struct TReportRun;

class TfrxReport : public QObject {
    Q_OBJECT
public:
    TfrxReport(const QString& name, TDtmNmRtrep* module);

    QString Name() const { return objectName(); }
    // The layout document (":/layouts/<name>.xml"), loaded on first use. Throws GeneralError when the
    // layout is missing or broken.
    const report::ReportDocument& Document();
    // Prepares the pages without presenting them.
    void PrepareReport(const TReportRun& run, bool clearLastReport = true);
    // Throws GeneralError when the run has no presenter.
    void ShowReport(const TReportRun& run, bool clearLastReport = true);
    const report::PreparedReport& PreparedPages() const { return m_prepared; }

private:
    TDtmNmRtrep* m_module;
    std::unique_ptr<report::ReportDocument> m_document;
    report::PreparedReport m_prepared;
};
