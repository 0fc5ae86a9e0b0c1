// PreviewWindow: shows a prepared report and lets the user read, search, print, export, save and load it.
// Nothing in it edits the report.
#pragma once

#include "PreparedReport.h"

#include <QMainWindow>
#include <memory>
#include <vector>

class QTreeWidget;
class QAbstractScrollArea;

namespace report {

class DataTable;

class PreviewWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class ZoomMode { Fixed, FitWidth, FitPage };

    // A window of its own even with a parent; shown by the caller.
    explicit PreviewWindow(const PreparedReport& report, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Shows the report in a window modal to the whole application and returns when the user closes it.
    // With data tables, the window also offers them as a data-only workbook ("Exportar datos a Excel");
    // they must outlive the call.
    static void exec(const PreparedReport& report, QWidget* parent, const std::vector<const DataTable*>& data = {});
    void setDataTables(const std::vector<const DataTable*>& data);

    const PreparedReport& report() const;
    int pageCount() const;
    int currentPage() const;          // 0-based
    double zoom() const;              // 1.0 = the paper's real size
    ZoomMode zoomMode() const;
    QTreeWidget* outlineView() const;
    QAbstractScrollArea* pageView() const;
    QString findText() const;         // the text marked on the pages

public Q_SLOTS:
    void goToPage(int index);
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void setZoom(double zoom);
    void setZoomMode(ZoomMode mode);
    void zoomIn();
    void zoomOut();
    // Marks text on the pages and shows the next page after the current one that contains it, wrapping
    // round to the first; returns false, and says so in the status bar, when no page contains it.
    bool findNext(const QString& text);
    void setReport(const PreparedReport& report);

    // Commands of the tool bar: they ask for what they need in dialogs and report failures in a message box.
    void print();
    void pageSetup();
    void exportPdf();
    void exportXlsx();
    // The exports once the file is chosen: a failure is shown to the user, the window stays as it was.
    void exportPdfTo(const QString& path);
    void exportXlsxTo(const QString& path);
    void exportData();
    void exportDataTo(const QString& path);
    void saveReport();
    void openReport();

Q_SIGNALS:
    void currentPageChanged(int index);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace report
