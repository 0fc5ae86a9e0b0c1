#include "PreviewWindow.h"

#include "GeneralError.h"
#include "PdfExporter.h"
#include "PreviewPageView_p.h"
#include "PrintExporter.h"
#include "XlsxDataExporter.h"
#include "XlsxExporter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace report {

namespace {

// Zoom steps of Ctrl++ and Ctrl+-, and the fixed entries of the zoom box.
constexpr double kZoomSteps[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
constexpr double kZoomChoices[] = {0.5, 0.75, 1.0, 1.5, 2.0};
constexpr int kOutlinePageRole = Qt::UserRole;
constexpr int kOutlineYRole = Qt::UserRole + 1;

QString percent(double zoom) {
    return QStringLiteral("%1 %").arg(qRound(zoom * 100));
}

// A file name with the suffix the filter promises, when the user typed none.
QString withSuffix(QString path, const QString& suffix) {
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

} // namespace

class PreviewWindow::Private {
public:
    explicit Private(PreviewWindow* q) : q(q) {}

    PreviewWindow* q;
    PreparedReport report;
    // A reader wants the whole width of the page, amounts at the right edge included, without scrolling
    // sideways; real size is one click away in the zoom box.
    ZoomMode zoomMode = ZoomMode::FitWidth;
    std::vector<const DataTable*> data; // the report's data, when the caller offers them
    QAction* exportDataAction = nullptr;
    detail::PreviewPageView* view = nullptr;
    QTreeWidget* outline = nullptr;
    QDockWidget* outlineDock = nullptr;
    QSpinBox* pageBox = nullptr;
    QLabel* pageCountLabel = nullptr;
    QComboBox* zoomBox = nullptr;
    QLineEdit* findBox = nullptr;
    QPrinter printer{QPrinter::HighResolution};
    bool printerPaperChosen = false;
    QString lastDirectory;

    QAction* addAction(QToolBar* bar, const QString& text, const QList<QKeySequence>& keys,
                       std::function<void()> slot, QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
        auto* action = new QAction(text, q);
        if (icon != QStyle::SP_CustomBase)
            action->setIcon(q->style()->standardIcon(icon));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, q, std::move(slot));
        q->addAction(action);
        if (bar)
            bar->addAction(action);
        return action;
    }

    void buildUi() {
        view = new detail::PreviewPageView(q);
        q->setCentralWidget(view);

        QToolBar* bar = q->addToolBar(QStringLiteral("Archivo"));
        bar->setObjectName(QStringLiteral("fileToolBar"));
        bar->setMovable(false);
        addAction(bar, QStringLiteral("Imprimir"), {QKeySequence::Print}, [this] { q->print(); })->setToolTip(QStringLiteral("Imprimir (Ctrl+P)"));
        addAction(bar, QStringLiteral("Configurar página"), {}, [this] { q->pageSetup(); });
        bar->addSeparator();
        addAction(bar, QStringLiteral("Abrir"), {QKeySequence::Open}, [this] { q->openReport(); },
                  QStyle::SP_DialogOpenButton);
        addAction(bar, QStringLiteral("Guardar"), {QKeySequence::Save}, [this] { q->saveReport(); },
                  QStyle::SP_DialogSaveButton);
        addAction(bar, QStringLiteral("Exportar a PDF"), {}, [this] { q->exportPdf(); });
        addAction(bar, QStringLiteral("Exportar a Excel"), {}, [this] { q->exportXlsx(); });
        exportDataAction = addAction(bar, QStringLiteral("Exportar datos a Excel"), {}, [this] { q->exportData(); });
        exportDataAction->setToolTip(QStringLiteral("Los datos del informe, una hoja por conjunto de datos, para "
                                                    "filtrarlos y resumirlos"));
        exportDataAction->setVisible(false);
        bar->addSeparator();
        addAction(bar, QStringLiteral("Cerrar"), {Qt::Key_Escape}, [this] { q->close(); },
                  QStyle::SP_DialogCloseButton);

        // Reading the report on a second row, so that no control ends up hidden in an overflow menu.
        q->addToolBarBreak();
        bar = q->addToolBar(QStringLiteral("Navegación"));
        bar->setObjectName(QStringLiteral("navigationToolBar"));
        bar->setMovable(false);

        addAction(bar, QStringLiteral("Primera página"), {Qt::Key_Home, QKeySequence(Qt::CTRL | Qt::Key_Home)},
                  [this] { q->firstPage(); }, QStyle::SP_MediaSkipBackward);
        addAction(bar, QStringLiteral("Página anterior"), {Qt::Key_PageUp}, [this] { q->previousPage(); },
                  QStyle::SP_MediaSeekBackward);
        pageBox = new QSpinBox(q);
        pageBox->setPrefix(QStringLiteral("Página "));
        pageBox->setKeyboardTracking(false);
        pageBox->setAccelerated(true);
        bar->addWidget(pageBox);
        pageCountLabel = new QLabel(q);
        bar->addWidget(pageCountLabel);
        QObject::connect(pageBox, &QSpinBox::valueChanged, q, [this](int n) {
            if (n - 1 != view->currentPage())
                q->goToPage(n - 1);
        });
        addAction(bar, QStringLiteral("Página siguiente"), {Qt::Key_PageDown}, [this] { q->nextPage(); },
                  QStyle::SP_MediaSeekForward);
        addAction(bar, QStringLiteral("Última página"), {Qt::Key_End, QKeySequence(Qt::CTRL | Qt::Key_End)},
                  [this] { q->lastPage(); }, QStyle::SP_MediaSkipForward);
        bar->addSeparator();

        addAction(bar, QStringLiteral("Alejar"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                  [this] { q->zoomOut(); });
        zoomBox = new QComboBox(q);
        zoomBox->addItem(QStringLiteral("Ajustar al ancho"));
        zoomBox->addItem(QStringLiteral("Página completa"));
        for (double z : kZoomChoices)
            zoomBox->addItem(percent(z), z);
        zoomBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        bar->addWidget(zoomBox);
        QObject::connect(zoomBox, &QComboBox::activated, q, [this](int index) {
            if (index == 0)
                q->setZoomMode(ZoomMode::FitWidth);
            else if (index == 1)
                q->setZoomMode(ZoomMode::FitPage);
            else
                q->setZoom(zoomBox->itemData(index).toDouble());
        });
        addAction(bar, QStringLiteral("Acercar"),
                  {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                  [this] { q->zoomIn(); });
        bar->addSeparator();

        findBox = new QLineEdit(q);
        findBox->setPlaceholderText(QStringLiteral("Buscar texto"));
        findBox->setClearButtonEnabled(true);
        findBox->setMaximumWidth(220);
        bar->addWidget(findBox);
        QObject::connect(findBox, &QLineEdit::returnPressed, q, [this] { q->findNext(findBox->text()); });
        addAction(nullptr, QStringLiteral("Buscar"), {QKeySequence::Find}, [this] {
            findBox->setFocus(Qt::ShortcutFocusReason);
            findBox->selectAll();
        });
        addAction(bar, QStringLiteral("Buscar siguiente"), {QKeySequence::FindNext},
                  [this] { q->findNext(findBox->text()); });
        bar->addSeparator();
        auto* outlineAction = addAction(bar, QStringLiteral("Índice"), {}, [] {});
        outlineAction->setCheckable(true);

        outline = new QTreeWidget(q);
        outline->setHeaderHidden(true);
        outline->setColumnCount(1);
        outlineDock = new QDockWidget(QStringLiteral("Índice"), q);
        outlineDock->setObjectName(QStringLiteral("outlineDock"));
        outlineDock->setWidget(outline);
        outlineDock->setFeatures(QDockWidget::DockWidgetClosable);
        q->addDockWidget(Qt::LeftDockWidgetArea, outlineDock);
        QObject::connect(outlineAction, &QAction::toggled, outlineDock, &QDockWidget::setVisible);
        QObject::connect(outlineDock, &QDockWidget::visibilityChanged, outlineAction, &QAction::setChecked);
        QObject::connect(outline, &QTreeWidget::itemClicked, q, [this](QTreeWidgetItem* item) { jumpTo(item); });
        QObject::connect(outline, &QTreeWidget::itemActivated, q, [this](QTreeWidgetItem* item) { jumpTo(item); });

        QObject::connect(view, &detail::PreviewPageView::currentPageChanged, q, [this](int page) {
            syncPageBox();
            Q_EMIT q->currentPageChanged(page);
        });
        QObject::connect(view, &detail::PreviewPageView::viewportResized, q, [this] { applyFit(); });
        q->statusBar();
    }

    void jumpTo(QTreeWidgetItem* item) {
        if (!item)
            return;
        view->showPage(item->data(0, kOutlinePageRole).toInt(), item->data(0, kOutlineYRole).toDouble());
    }

    void fillOutline() {
        outline->clear();
        // An entry of level L hangs under the latest entry of level L-1.
        std::vector<QTreeWidgetItem*> stack;
        for (const OutlineEntry& e : report.outline) {
            const size_t level = size_t(std::max(0, e.level));
            while (stack.size() > level)
                stack.pop_back();
            auto* item = stack.empty() ? new QTreeWidgetItem(outline) : new QTreeWidgetItem(stack.back());
            item->setText(0, e.text);
            item->setData(0, kOutlinePageRole, e.page);
            item->setData(0, kOutlineYRole, e.yMm);
            stack.push_back(item);
        }
        outline->expandAll();
        outlineDock->setVisible(!report.outline.empty());
    }

    void syncPageBox() {
        const QSignalBlocker block(pageBox);
        pageBox->setRange(report.isEmpty() ? 0 : 1, std::max(1, report.pageCount()));
        pageBox->setValue(view->currentPage() + 1);
        pageCountLabel->setText(QStringLiteral(" de %1 ").arg(report.pageCount()));
    }

    void syncZoomBox() {
        int index = -1;
        if (zoomMode == ZoomMode::FitWidth)
            index = 0;
        else if (zoomMode == ZoomMode::FitPage)
            index = 1;
        else
            for (int i = 2; i < zoomBox->count(); ++i)
                if (qFuzzyCompare(zoomBox->itemData(i).toDouble(), view->zoom()) && zoomBox->itemData(i).isValid())
                    index = i;
        const int fixedCount = 2 + int(std::size(kZoomChoices));
        if (index < 0) {
            // A zoom between the fixed choices shows as one extra entry.
            if (zoomBox->count() == fixedCount)
                zoomBox->addItem(QString());
            zoomBox->setItemText(fixedCount, percent(view->zoom()));
            zoomBox->setItemData(fixedCount, view->zoom());
            index = fixedCount;
        } else if (zoomBox->count() > fixedCount && index != fixedCount) {
            zoomBox->removeItem(fixedCount);
        }
        zoomBox->setCurrentIndex(index);
    }

    void applyFit() {
        if (zoomMode == ZoomMode::Fixed || report.isEmpty())
            return;
        const double unit = view->unitsPerMmAtFullSize();
        const QSizeF space = view->availableSize();
        double widest = 0;
        for (int i = 0; i < report.pageCount(); ++i)
            widest = std::max(widest, report.pageFrame(i).paperMm.width());
        double zoom = space.width() / (widest * unit);
        if (zoomMode == ZoomMode::FitPage) {
            const QSizeF page = report.pageFrame(view->currentPage()).paperMm;
            zoom = std::min(space.width() / (page.width() * unit), space.height() / (page.height() * unit));
        }
        view->setZoom(zoom);
        syncZoomBox();
    }

    void showError(const QString& message) {
        QMessageBox::warning(q, QStringLiteral("Vista previa"), message);
    }

    // Runs an export or file action with the wait cursor and shows its failure.
    template <typename F>
    void guarded(F&& action) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            action();
            QApplication::restoreOverrideCursor();
        } catch (const GeneralError& e) {
            QApplication::restoreOverrideCursor();
            showError(e.message());
        }
    }

    QString askSavePath(const QString& caption, const QString& filter, const QString& suffix) {
        const QString base = report.title.isEmpty() ? QStringLiteral("informe") : report.title;
        const QString start = QDir(lastDirectory).filePath(base + QLatin1Char('.') + suffix);
        const QString path = withSuffix(QFileDialog::getSaveFileName(q, caption, start, filter), suffix);
        if (!path.isEmpty())
            lastDirectory = QFileInfo(path).absolutePath();
        return path;
    }
};

PreviewWindow::PreviewWindow(const PreparedReport& report, QWidget* parent)
    : QMainWindow(parent, Qt::Window), d(std::make_unique<Private>(this)) {
    d->buildUi();
    resize(1000, 760);
    setReport(report);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::exec(const PreparedReport& report, QWidget* parent, const std::vector<const DataTable*>& data) {
    PreviewWindow window(report, parent);
    window.setDataTables(data);
    window.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(&window, &PreviewWindow::closed, &loop, &QEventLoop::quit);
    // The report gets the whole screen: a page fitted to a small window would be too small to read.
    window.showMaximized();
    loop.exec(QEventLoop::DialogExec);
}

void PreviewWindow::setReport(const PreparedReport& report) {
    d->report = report;
    setWindowTitle(report.title.isEmpty() ? QStringLiteral("Vista previa")
                                          : QStringLiteral("Vista previa - %1").arg(report.title));
    d->view->setReport(&d->report);
    d->view->setHighlight(QString());
    d->fillOutline();
    d->syncPageBox();
    d->applyFit();
    d->syncZoomBox();
}

const PreparedReport& PreviewWindow::report() const { return d->report; }
int PreviewWindow::pageCount() const { return d->report.pageCount(); }
int PreviewWindow::currentPage() const { return d->view->currentPage(); }
double PreviewWindow::zoom() const { return d->view->zoom(); }
PreviewWindow::ZoomMode PreviewWindow::zoomMode() const { return d->zoomMode; }
QTreeWidget* PreviewWindow::outlineView() const { return d->outline; }
QAbstractScrollArea* PreviewWindow::pageView() const { return d->view; }
QString PreviewWindow::findText() const { return d->view->highlight(); }

void PreviewWindow::goToPage(int index) {
    if (pageCount() == 0)
        return;
    d->view->showPage(std::clamp(index, 0, pageCount() - 1));
    if (d->zoomMode == ZoomMode::FitPage)
        d->applyFit();
}

void PreviewWindow::firstPage() { goToPage(0); }
void PreviewWindow::previousPage() { goToPage(currentPage() - 1); }
void PreviewWindow::nextPage() { goToPage(currentPage() + 1); }
void PreviewWindow::lastPage() { goToPage(pageCount() - 1); }

void PreviewWindow::setZoom(double zoom) {
    d->zoomMode = ZoomMode::Fixed;
    d->view->setZoom(zoom);
    d->syncZoomBox();
}

void PreviewWindow::setZoomMode(ZoomMode mode) {
    d->zoomMode = mode;
    d->applyFit();
    d->syncZoomBox();
}

void PreviewWindow::zoomIn() {
    for (double step : kZoomSteps)
        if (step > zoom() + 1e-6) {
            setZoom(step);
            return;
        }
}

void PreviewWindow::zoomOut() {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < zoom() - 1e-6) {
            setZoom(*it);
            return;
        }
}

bool PreviewWindow::findNext(const QString& text) {
    if (d->findBox->text() != text)
        d->findBox->setText(text);
    d->view->setHighlight(text);
    if (text.isEmpty())
        return false;
    const std::vector<int> pages = d->report.findPages(text);
    if (pages.empty()) {
        statusBar()->showMessage(QStringLiteral("No se encontró el texto «%1».").arg(text), 5000);
        return false;
    }
    // The page after the current one, or the first page with the text when none follows.
    int target = pages.front();
    for (int p : pages)
        if (p > currentPage()) {
            target = p;
            break;
        }
    goToPage(target);
    statusBar()->showMessage(QStringLiteral("«%1» en la página %2.").arg(text).arg(target + 1), 5000);
    return true;
}

void PreviewWindow::print() {
    if (pageCount() == 0)
        return;
    QPrintDialog dialog(&d->printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    dialog.setMinMax(1, pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintOptions options;
    options.fitToPrinterPaper = d->printerPaperChosen;
    if (d->printer.printRange() == QPrinter::CurrentPage)
        options.fromPage = options.toPage = currentPage() + 1;
    d->guarded([&] { PrintExporter::print(d->report, d->printer, options); });
}

void PreviewWindow::pageSetup() {
    QPageSetupDialog dialog(&d->printer, this);
    dialog.setWindowTitle(QStringLiteral("Configurar página"));
    if (dialog.exec() == QDialog::Accepted)
        d->printerPaperChosen = true;
}

void PreviewWindow::exportPdf() {
    const QString path = d->askSavePath(QStringLiteral("Exportar a PDF"), QStringLiteral("Documentos PDF (*.pdf)"),
                                        QStringLiteral("pdf"));
    if (!path.isEmpty())
        exportPdfTo(path);
}

void PreviewWindow::exportPdfTo(const QString& path) {
    d->guarded([&] { PdfExporter::exportToFile(d->report, path); });
}

void PreviewWindow::exportXlsx() {
    const QString path = d->askSavePath(QStringLiteral("Exportar a Excel"),
                                        QStringLiteral("Libros de Excel (*.xlsx)"), QStringLiteral("xlsx"));
    if (!path.isEmpty())
        exportXlsxTo(path);
}

void PreviewWindow::exportXlsxTo(const QString& path) {
    d->guarded([&] { XlsxExporter::exportToFile(d->report, path); });
}

void PreviewWindow::setDataTables(const std::vector<const DataTable*>& data) {
    d->data = data;
    d->exportDataAction->setVisible(!data.empty());
}

void PreviewWindow::exportData() {
    const QString path = d->askSavePath(QStringLiteral("Exportar datos a Excel"),
                                        QStringLiteral("Libros de Excel (*.xlsx)"), QStringLiteral("xlsx"));
    if (!path.isEmpty())
        exportDataTo(path);
}

void PreviewWindow::exportDataTo(const QString& path) {
    d->guarded([&] { XlsxDataExporter::exportToFile(d->data, path); });
}

void PreviewWindow::saveReport() {
    const QString path = d->askSavePath(QStringLiteral("Guardar informe preparado"),
                                        QStringLiteral("Informes preparados (*.vnrp)"), QStringLiteral("vnrp"));
    if (!path.isEmpty())
        d->guarded([&] { d->report.save(path); });
}

void PreviewWindow::openReport() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Abrir informe preparado"), d->lastDirectory,
                                                      QStringLiteral("Informes preparados (*.vnrp)"));
    if (path.isEmpty())
        return;
    d->lastDirectory = QFileInfo(path).absolutePath();
    d->guarded([&] { setReport(PreparedReport::load(path)); });
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

} // namespace report
