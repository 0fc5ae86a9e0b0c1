// ReportPresenter: what showing a prepared report means. The host decides (the base form's preview
// handling): the desktop opens the preview window and waits until the user closes it; the batch command
// writes the requested files; tests keep the prepared report to inspect it.
#pragma once

#include "PreparedReport.h"
#include "XlsxDataExporter.h"

#include <QString>
#include <vector>

class QWidget;

class ReportPresenter {
public:
    virtual ~ReportPresenter() = default;
    // Called with the name of the layout and its prepared pages; returns when the user is done with them.
    virtual void present(const QString& layout, const report::PreparedReport& pages) = 0;
    // The same, with the data the layout read (one table per dataset), for a presenter that also offers
    // them as a data-only workbook; valid only during the call. Others ignore them.
    virtual void presentWithData(const QString& layout, const report::PreparedReport& pages,
                                 const std::vector<const report::DataTable*>& /*data*/) {
        present(layout, pages);
    }
};

// Opens the preview window modally over the given parent widget.
class PreviewPresenter : public ReportPresenter {
public:
    explicit PreviewPresenter(QWidget* parent = nullptr) : m_parent(parent) {}
    void present(const QString& layout, const report::PreparedReport& pages) override;
    void presentWithData(const QString& layout, const report::PreparedReport& pages,
                         const std::vector<const report::DataTable*>& data) override;

private:
    QWidget* m_parent;
};

// Writes the prepared report to a PDF and/or a spreadsheet file (empty path: that file is not written;
// "-": standard output).
class ExportPresenter : public ReportPresenter {
public:
    ExportPresenter(QString pdfPath, QString xlsxPath) : m_pdf(std::move(pdfPath)), m_xlsx(std::move(xlsxPath)) {}
    void present(const QString& layout, const report::PreparedReport& pages) override;

private:
    QString m_pdf, m_xlsx;
};
