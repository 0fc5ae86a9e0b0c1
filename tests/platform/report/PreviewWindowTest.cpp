// The preview window driven offscreen: navigation by commands, the page box, the outline and the user's
// own scrolling; zoom modes; search; and what the window shows on screen.
#include "OutputFixture.h"
#include "PreviewWindow.h"
#include "XlsxDataExporter.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTemporaryDir>

using namespace report;

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<PreviewWindow>(outtest::sampleReport());
        window->resize(1000, 760);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        openedMode = window->zoomMode();
        openedSideways = window->pageView()->horizontalScrollBar()->maximum();
        // The geometry the cases check is worked out at real size.
        window->setZoom(1.0);
    }

    QScrollBar* vertical() const { return window->pageView()->verticalScrollBar(); }
    double unitsPerMm() const { return window->pageView()->viewport()->logicalDpiX() / 25.4; }

    std::unique_ptr<PreviewWindow> window;
    PreviewWindow::ZoomMode openedMode{};
    int openedSideways = -1;
};

} // namespace

TEST_F(PreviewTest, OpensOnTheFirstPageFittingItsWidthAndNavigates) {
    EXPECT_EQ(window->pageCount(), 3);
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_EQ(openedMode, PreviewWindow::ZoomMode::FitWidth);
    // The page's right edge was in view: no sideways scrolling.
    EXPECT_EQ(openedSideways, 0);
    auto* pageBox = window->findChild<QSpinBox*>();
    ASSERT_NE(pageBox, nullptr);
    EXPECT_EQ(pageBox->maximum(), 3);

    QSignalSpy changed(window.get(), &PreviewWindow::currentPageChanged);
    struct Step {
        const char* name;
        void (PreviewWindow::*command)();
        int expected;
    };
    const Step steps[] = {
        {"next", &PreviewWindow::nextPage, 1},     {"next again", &PreviewWindow::nextPage, 2},
        {"next at end", &PreviewWindow::nextPage, 2}, {"previous", &PreviewWindow::previousPage, 1},
        {"first", &PreviewWindow::firstPage, 0},   {"previous at start", &PreviewWindow::previousPage, 0},
        {"last", &PreviewWindow::lastPage, 2},
    };
    for (const Step& s : steps) {
        (window.get()->*s.command)();
        EXPECT_EQ(window->currentPage(), s.expected) << s.name;
    }
    EXPECT_EQ(changed.count(), 5);
    window->goToPage(99);
    EXPECT_EQ(window->currentPage(), 2);
    window->goToPage(-4);
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_EQ(pageBox->value(), 1);
    pageBox->setValue(3);
    EXPECT_EQ(window->currentPage(), 2);
}

TEST_F(PreviewTest, ZoomStepsAndFits) {
    window->zoomIn();
    EXPECT_DOUBLE_EQ(window->zoom(), 1.25);
    window->setZoom(0.5);
    window->zoomOut();
    EXPECT_DOUBLE_EQ(window->zoom(), 0.25);
    window->zoomOut();
    EXPECT_DOUBLE_EQ(window->zoom(), 0.25) << "smallest step";
    auto* zoomBox = window->findChild<QComboBox*>();
    ASSERT_NE(zoomBox, nullptr);
    EXPECT_EQ(zoomBox->currentText(), QStringLiteral("25 %"));

    QWidget* viewport = window->pageView()->viewport();
    window->setZoomMode(PreviewWindow::ZoomMode::FitWidth);
    EXPECT_EQ(zoomBox->currentText(), QStringLiteral("Ajustar al ancho"));
    // The widest page (the landscape one) fills the width but for the margins around pages.
    EXPECT_NEAR(279.4 * unitsPerMm() * window->zoom(), viewport->width() - 24, 1.0);

    window->goToPage(1);
    window->setZoomMode(PreviewWindow::ZoomMode::FitPage);
    EXPECT_EQ(zoomBox->currentText(), QStringLiteral("Página completa"));
    const double shownHeight = 279.4 * unitsPerMm() * window->zoom();
    const double shownWidth = 215.9 * unitsPerMm() * window->zoom();
    EXPECT_LE(shownHeight, viewport->height() - 24 + 1);
    EXPECT_LE(shownWidth, viewport->width() - 24 + 1);
    EXPECT_TRUE(std::abs(shownHeight - (viewport->height() - 24)) < 1 || std::abs(shownWidth - (viewport->width() - 24)) < 1);
    EXPECT_EQ(window->currentPage(), 1) << "zooming keeps the page";

    zoomBox->setCurrentIndex(zoomBox->findText(QStringLiteral("150 %")));
    Q_EMIT zoomBox->activated(zoomBox->currentIndex());
    EXPECT_DOUBLE_EQ(window->zoom(), 1.5);
    EXPECT_EQ(window->zoomMode(), PreviewWindow::ZoomMode::Fixed);

    window->setZoomMode(PreviewWindow::ZoomMode::FitWidth);
    const double before = window->zoom();
    window->resize(700, 760);
    QApplication::processEvents();
    EXPECT_LT(window->zoom(), before) << "the fit follows the window";
}

TEST_F(PreviewTest, FindGoesToTheNextPageWithTheTextWrapsAndMarksIt) {
    EXPECT_TRUE(window->findNext(QStringLiteral("CONTINUACIÓN")));
    EXPECT_EQ(window->currentPage(), 1);
    EXPECT_EQ(window->findText(), QStringLiteral("CONTINUACIÓN"));
    EXPECT_TRUE(window->findNext(QStringLiteral("nómina")));
    EXPECT_EQ(window->currentPage(), 2);
    EXPECT_TRUE(window->findNext(QStringLiteral("nómina")));
    EXPECT_EQ(window->currentPage(), 0) << "wraps to the first page";
    EXPECT_FALSE(window->findNext(QStringLiteral("inexistente")));
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("No se encontró el texto «inexistente»."));

    // Found text is marked on the page.
    const QImage before = window->pageView()->viewport()->grab().toImage();
    window->findNext(QStringLiteral("Ñandú"));
    const QImage after = window->pageView()->viewport()->grab().toImage();
    // The mark is a yellow box over "Total: Ñandú" (x 11 mm, y 82 mm on the page at 100 %).
    int yellow = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const QColor c = after.pixelColor(x, y);
            if (c.red() > 240 && c.green() > 200 && c.blue() < 150)
                ++yellow;
        }
    EXPECT_GT(yellow, 200);
    EXPECT_NE(before, after);
}

TEST_F(PreviewTest, OutlineClickJumpsToTheEntry) {
    QTreeWidget* tree = window->outlineView();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Grupo A"));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    QTreeWidgetItem* sub = tree->topLevelItem(0)->child(0);
    EXPECT_EQ(sub->text(0), QStringLiteral("Subgrupo A.1"));

    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(sub).center());
    EXPECT_EQ(window->currentPage(), 1);
    // Page 2 starts below page 1 and two gaps; the entry is 40 mm into it.
    const int expectedTop = 12 + qRound(279.4 * unitsPerMm()) + 12 + qRound(40 * unitsPerMm());
    EXPECT_NEAR(vertical()->value(), expectedTop, 2);

    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(1)).center());
    EXPECT_EQ(window->currentPage(), 2);
}

TEST_F(PreviewTest, ScrollingByHandMovesTheCurrentPage) {
    QSignalSpy changed(window.get(), &PreviewWindow::currentPageChanged);
    const int pageTwoTop = 12 + qRound(279.4 * unitsPerMm()) + 12;
    vertical()->setValue(pageTwoTop + 50);
    EXPECT_EQ(window->currentPage(), 1);
    EXPECT_EQ(window->findChild<QSpinBox*>()->value(), 2);
    EXPECT_EQ(changed.count(), 1);
    vertical()->setValue(0);
    EXPECT_EQ(window->currentPage(), 0);
}

TEST_F(PreviewTest, ScreenShowsWhitePagesWithText) {
    window->setZoomMode(PreviewWindow::ZoomMode::FitWidth);
    QApplication::processEvents();
    const QImage shot = window->grab().toImage();
    const QWidget* viewport = window->pageView()->viewport();
    const QRect area(viewport->mapTo(window.get(), QPoint(0, 0)), viewport->size());
    int white = 0, dark = 0, red = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            white += qGray(c.rgb()) == 255;
            dark += qGray(c.rgb()) < 100;
            red += c.red() > 180 && c.green() < 60 && c.blue() < 60;
        }
    const int total = area.width() * area.height();
    EXPECT_GT(white, total * 0.5) << "the page fills most of the view";
    EXPECT_GT(dark, 500) << "text, frames and the rule are visible";
    EXPECT_LT(dark, total * 0.2);
    EXPECT_GT(red, 200) << "the logo";
}

TEST_F(PreviewTest, ShowsAnotherReport) {
    PreparedReport other = outtest::sampleReport();
    other.title = QStringLiteral("Otro");
    other.pages.resize(1);
    other.outline.clear();
    window->lastPage();
    window->findNext(QStringLiteral("nómina"));
    window->setReport(other);
    EXPECT_EQ(window->pageCount(), 1);
    EXPECT_EQ(window->currentPage(), 0);
    EXPECT_EQ(window->outlineView()->topLevelItemCount(), 0);
    EXPECT_TRUE(window->findText().isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vista previa - Otro"));
}

TEST_F(PreviewTest, ShowsASpilledReport) {
    window->setReport(outtest::spilled(outtest::sampleReport()));
    EXPECT_EQ(window->pageCount(), 3);
    window->findNext(QStringLiteral("continuación"));
    EXPECT_EQ(window->currentPage(), 1);
    window->lastPage();
    EXPECT_EQ(window->currentPage(), 2);
}

TEST(PreviewExec, OpensMaximisedAndReturnsWhenTheUserClosesTheWindow) {
    bool sawWindow = false;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<PreviewWindow*>(w); preview && preview->isVisible()) {
                sawWindow = preview->windowModality() == Qt::ApplicationModal && preview->isMaximized() &&
                            preview->pageView()->horizontalScrollBar()->maximum() == 0;
                preview->close();
            }
    });
    PreviewWindow::exec(outtest::sampleReport(), nullptr);
    EXPECT_TRUE(sawWindow);
}

// Reads and closes the message boxes the window shows while its modal loops run.
class MessageReader {
public:
    MessageReader() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList messages;

private:
    QTimer m_timer;
};

// The disk fills while an export is written (a file-size limit stands for it): the user is told why, the
// file of an earlier export stays as it was, nothing is left beside it, and the next export works.
TEST_F(PreviewTest, ExportOnAFullDiskSaysWhyAndTheWindowGoesOn) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString& name : {QStringLiteral("informe.pdf"), QStringLiteral("informe.xlsx")}) {
        const QString path = folder.filePath(name);
        outtest::writeFile(path, "anterior");
        const auto exportIt = [&] {
            if (name.endsWith(QLatin1String(".pdf")))
                window->exportPdfTo(path);
            else
                window->exportXlsxTo(path);
        };
        {
            MessageReader user;
            outtest::errorUnderFileSizeLimit(2048, exportIt);
            // The workbook's sheets wait in a temporary file, which fills first.
            const QString where = name.endsWith(QLatin1String(".pdf"))
                                      ? QString()
                                      : QStringLiteral("no se pudo usar un archivo de trabajo en la carpeta "
                                                       "temporal %1: ").arg(QDir::tempPath());
            EXPECT_EQ(user.messages, QStringList(QStringLiteral("No se pudo escribir el archivo '%1': %2el archivo "
                                                                "supera el tamaño máximo permitido")
                                                     .arg(path, where)));
        }
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("anterior"));
        old.close();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), name.endsWith(QLatin1String(".pdf")) ? 1 : 2);

        MessageReader user;
        exportIt();
        EXPECT_TRUE(user.messages.isEmpty()) << user.messages.join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        const QByteArray start = old.read(4);
        EXPECT_TRUE(start == "%PDF" || start.startsWith("PK")) << name.toStdString();
    }
}

// With the report's data offered, the window shows "Exportar datos a Excel" and writes them; without, it
// does not show the command at all.
TEST_F(PreviewTest, OffersTheDataWhenTheCallerGivesThem) {
    class Table : public DataTable {
    public:
        QString name() const override { return QStringLiteral("Datos"); }
        std::vector<DataColumn> columns() const override {
            return {{QStringLiteral("Valor"), DataColumn::Kind::Number, QStringLiteral("#,##0.00")}};
        }
        void forEachRow(const std::function<void(const QVariantList&)>& row) const override { row({1250.5}); }
    } table;
    const auto action = [&] {
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text() == QStringLiteral("Exportar datos a Excel"))
                return a;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(action(), nullptr);
    EXPECT_FALSE(action()->isVisible());
    window->setDataTables({&table});
    EXPECT_TRUE(action()->isVisible());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("datos.xlsx"));
    MessageReader user;
    window->exportDataTo(path);
    EXPECT_TRUE(user.messages.isEmpty()) << user.messages.join(QLatin1Char('\n')).toStdString();
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(2) == "PK");
}
