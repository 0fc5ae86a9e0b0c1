#include "ReportPresenter.h"

#include "PdfExporter.h"
#include "PreviewWindow.h"
#include "TfrxReport.h"
#include "XlsxExporter.h"

void PreviewPresenter::present(TfrxReport& report) { report::PreviewWindow::exec(report.PreparedPages(), m_parent); }

void ExportPresenter::present(TfrxReport& report) {
    if (!m_pdf.isEmpty())
        report::PdfExporter::exportToFile(report.PreparedPages(), m_pdf);
    if (!m_xlsx.isEmpty())
        report::XlsxExporter::exportToFile(report.PreparedPages(), m_xlsx);
}

void CapturePresenter::present(TfrxReport& report) {
    reports.push_back(report.PreparedPages());
    layouts.push_back(report.Name());
}
