// Raster images of pages, and printing: the printer is a PDF printer here, so that what was sent can be read
// back page by page.
#include "ImageExporter.h"
#include "OutputFixture.h"
#include "PrintExporter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace report;
using outtest::runTool;

namespace {

QString pdfInfo(const QString& pdf) {
    return QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                                 QStringLiteral("-l"), QStringLiteral("9"), pdf})
                                 .out);
}

QString pageSize(const QString& info, int page) {
    const QRegularExpression re(QStringLiteral("Page\\s+%1 size:\\s*([\\d.]+ x [\\d.]+)").arg(page));
    return re.match(info).captured(1);
}

QStringList pdfPages(const QString& pdf) {
    const auto r = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QStringList pages = QString::fromUtf8(r.out).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

struct PdfPrinter {
    QTemporaryDir dir;
    QString file = QDir(dir.path()).filePath(QStringLiteral("impreso.pdf"));
    QPrinter printer{QPrinter::HighResolution};
    PdfPrinter() {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
};

} // namespace

TEST(ImageExport, PageImageHasThePaperSizeAndResolution) {
    const PreparedReport r = outtest::sampleReport();
    const QImage portrait = ImageExporter::renderPage(r.pages[0], 100);
    EXPECT_EQ(portrait.size(), QSize(qRound(215.9 / 25.4 * 100), qRound(279.4 / 25.4 * 100)));
    EXPECT_NEAR(portrait.dotsPerMeterX() * 0.0254, 100, 0.5);
    const QImage landscape = ImageExporter::renderPage(r.pages[2], 100);
    EXPECT_GT(landscape.width(), landscape.height());
}

TEST(ImageExport, OneFilePerPageNumberedBesideTheTarget) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("informe.png"));
    const QStringList written = ImageExporter::exportToPng(outtest::sampleReport(), path, 50);
    const QStringList expected{QDir(dir.path()).filePath(QStringLiteral("informe-1.png")),
                               QDir(dir.path()).filePath(QStringLiteral("informe-2.png")),
                               QDir(dir.path()).filePath(QStringLiteral("informe-3.png"))};
    EXPECT_EQ(written, expected);
    for (const QString& file : expected)
        EXPECT_FALSE(QImage(file).isNull()) << file.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));

    PreparedReport one = outtest::sampleReport();
    one.pages.resize(1);
    EXPECT_EQ(ImageExporter::exportToPng(one, path, 50), QStringList{path});
    EXPECT_EQ(QImage(path).size(), ImageExporter::renderPage(one.pages[0], 50).size());
}

TEST(ImageExport, NumbersHaveTheDigitsOfThePageCount) {
    PreparedReport many = outtest::sampleReport();
    many.pages.resize(12, many.pages[1]);
    QTemporaryDir dir;
    const QStringList written = ImageExporter::exportToPng(many, QDir(dir.path()).filePath(QStringLiteral("p.png")), 10);
    ASSERT_EQ(written.size(), 12);
    EXPECT_TRUE(written.first().endsWith(QStringLiteral("p-01.png")));
    EXPECT_TRUE(written.last().endsWith(QStringLiteral("p-12.png")));
}

TEST(ImageExport, FailureNamesTheFile) {
    const QString path = testsupport::tempPath(QStringLiteral("sin-carpeta/informe.png"));
    PreparedReport one = outtest::sampleReport();
    one.pages.resize(1);
    EXPECT_TRUE(testsupport::errorOf([&] {
                    ImageExporter::exportToPng(one, path);
                }).startsWith(QStringLiteral("No se pudo escribir el archivo '%1': ").arg(path)));
}

TEST(Printing, PageRangeAndEachPagesOwnPaper) {
    VN_REQUIRE_TOOL("pdfinfo");
    PdfPrinter out;
    EXPECT_EQ(PrintExporter::print(outtest::sampleReport(), out.printer, PrintOptions{2, 3, false}), 2);
    const QString info = pdfInfo(out.file);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
    EXPECT_EQ(pageSize(info, 1), QStringLiteral("612 x 792"));
    EXPECT_EQ(pageSize(info, 2), QStringLiteral("792 x 612"));
    const QStringList pages = pdfPages(out.file);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("continuación")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Gráfico de nómina")));

    PdfPrinter none;
    EXPECT_EQ(PrintExporter::print(outtest::sampleReport(), none.printer, PrintOptions{5, 9, false}), 0);
    EXPECT_FALSE(QFileInfo::exists(none.file)) << "a range past the last page prints nothing";
}

TEST(Printing, PrinterPageRangesChooseThePages) {
    VN_REQUIRE_TOOL("pdftotext");
    PdfPrinter out;
    QPageRanges ranges;
    ranges.addPage(1);
    ranges.addPage(3);
    out.printer.setPageRanges(ranges);
    EXPECT_EQ(PrintExporter::print(outtest::sampleReport(), out.printer), 2);
    const QStringList pages = pdfPages(out.file);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Total: Ñandú")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Gráfico de nómina")));
}

TEST(Printing, FitToTheChosenPaperScalesAndCentres) {
    VN_REQUIRE_TOOL("pdftoppm");
    PdfPrinter out;
    out.printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    EXPECT_EQ(PrintExporter::print(outtest::sampleReport(), out.printer, PrintOptions{3, 3, true}), 1);
    EXPECT_EQ(pageSize(pdfInfo(out.file), 1), QStringLiteral("595 x 842"));
    const QString prefix = QDir(out.dir.path()).filePath(QStringLiteral("a4"));
    ASSERT_EQ(runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                                  out.file, prefix}).exitCode, 0);
    const QImage page(prefix + QStringLiteral("-1.png"));
    ASSERT_FALSE(page.isNull());
    // The 279.4 mm wide page shrinks to A4's 210 mm: scale 0.7516, centred vertically on 297 mm.
    const double scale = 210.0 / 279.4;
    const double top = (297 - 215.9 * scale) / 2;
    const QRectF chart(outtest::kChartRect.x() * scale, top + outtest::kChartRect.y() * scale,
                       outtest::kChartRect.width() * scale, outtest::kChartRect.height() * scale);
    EXPECT_TRUE(outtest::isMostly(page, outtest::pixelRect(chart.adjusted(1, 1, -35, -1), 60), qRgb(0, 0, 200), 0.95, 30));
    EXPECT_TRUE(outtest::isMostly(page, outtest::pixelRect(QRectF(0, 0, 210, top - 1), 60), qRgb(255, 255, 255), 1.0, 0))
        << "blank band above the centred page";
}
