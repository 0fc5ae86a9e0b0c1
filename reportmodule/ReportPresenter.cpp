#include "ReportPresenter.h"

#include "PdfExporter.h"
#include "PreviewWindow.h"
#include "XlsxExporter.h"

void PreviewPresenter::present(const QString&, const report::PreparedReport& pages) {
    report::PreviewWindow::exec(pages, m_parent);
}

void PreviewPresenter::presentWithData(const QString&, const report::PreparedReport& pages,
                                       const std::vector<const report::DataTable*>& data) {
    report::PreviewWindow::exec(pages, m_parent, data);
}

void ExportPresenter::present(const QString&, const report::PreparedReport& pages) {
    if (!m_pdf.isEmpty())
        report::PdfExporter::exportToFile(pages, m_pdf);
    if (!m_xlsx.isEmpty())
        report::XlsxExporter::exportToFile(pages, m_xlsx);
}
