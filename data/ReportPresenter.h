// ReportPresenter: what ShowReport does with a prepared report. The host decides (the base form's
// preview handling): the desktop opens the preview window and waits until the user closes it; the batch
// command writes the requested files; tests keep the prepared report to inspect it.
#pragma once

#include "PreparedReport.h"

#include <QString>
#include <vector>

class TfrxReport;

class ReportPresenter {
public:
    virtual ~ReportPresenter() = default;
    // Called with the layout whose prepared pages are ready; returns when the user is done with them.
    virtual void present(TfrxReport& report) = 0;
};

// Opens the preview window modally over the given parent widget.
class PreviewPresenter : public ReportPresenter {
public:
    explicit PreviewPresenter(class QWidget* parent = nullptr) : m_parent(parent) {}
    void present(TfrxReport& report) override;

private:
    class QWidget* m_parent;
};

// Writes the prepared report to a PDF and/or a spreadsheet file (empty path: that file is not written).
class ExportPresenter : public ReportPresenter {
public:
    ExportPresenter(QString pdfPath, QString xlsxPath) : m_pdf(std::move(pdfPath)), m_xlsx(std::move(xlsxPath)) {}
    void present(TfrxReport& report) override;

private:
    QString m_pdf, m_xlsx;
};

// Keeps a copy of every report shown, for tests.
class CapturePresenter : public ReportPresenter {
public:
    void present(TfrxReport& report) override;
    std::vector<report::PreparedReport> reports;
    std::vector<QString> layouts;
};
