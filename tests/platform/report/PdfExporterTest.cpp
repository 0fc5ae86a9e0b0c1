// The PDF export, read back with the tools a user's viewer relies on: qpdf checks the structure and the
// outline, poppler extracts the text, lists the fonts and the document information, and rasterises pages.
#include "ImageExporter.h"
#include "OutputFixture.h"
#include "PdfExporter.h"
#include "PdfWriter_p.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>


using namespace report;
using outtest::runTool;
using testsupport::errorOf;

namespace {

// The sample report exported once for the read-only checks.
const QString& samplePdf() {
    static const QString path = [] {
        const QString p = testsupport::tempPath(QStringLiteral("muestra.pdf"));
        PdfExporter::exportToFile(outtest::sampleReport(), p);
        return p;
    }();
    return path;
}

QString toolText(const outtest::ToolResult& r) {
    return QString::fromUtf8(r.out);
}

// "Key: value" lines of pdfinfo.
QString infoField(const QString& info, const QString& key) {
    const QRegularExpression re(QStringLiteral("^%1:\\s*(.*)$").arg(QRegularExpression::escape(key)),
                                QRegularExpression::MultilineOption);
    return re.match(info).captured(1).trimmed();
}

QJsonArray outlines(const QString& pdf) {
    const auto r = runTool(QStringLiteral("qpdf"), {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), pdf});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object().value(QStringLiteral("outlines")).toArray();
}

} // namespace

TEST(PdfExport, TextIsExtractableWithAccentsPageByPage) {
    VN_REQUIRE_TOOL("pdftotext");
    const auto r = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), samplePdf(),
                                                        QStringLiteral("-")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList pages = toolText(r).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    for (const QString& expected : {QStringLiteral("Nómina de prueba"), QStringLiteral("AÑO 2024"),
                                    QStringLiteral("Pérez Ñáñez, José"), QStringLiteral("$ 1.234.567,89"),
                                    QStringLiteral("Total: Ñandú"), QStringLiteral("Observación con fondo"),
                                    QStringLiteral("Código")})
        EXPECT_TRUE(pages[0].contains(expected)) << expected.toStdString() << "\n" << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(QStringLiteral("continuación")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("15/01/2024")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Gráfico de nómina")));
    EXPECT_FALSE(pages[2].contains(QStringLiteral("Pérez")));
}

TEST(PdfExport, ASpilledReportGivesTheSameText) {
    VN_REQUIRE_TOOL("pdftotext");
    const QString path = testsupport::tempPath(QStringLiteral("muestra-derramada.pdf"));
    PdfExporter::exportToFile(outtest::spilled(outtest::sampleReport()), path);
    const auto spilledText = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    const auto memoryText = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), samplePdf(), QStringLiteral("-")});
    ASSERT_EQ(spilledText.exitCode, 0);
    EXPECT_EQ(spilledText.out, memoryText.out);
}

// The fonts' code page holds Spanish and the typographic signs of Windows-1252; anything else is "?".
TEST(PdfExport, TextInTheFontsCodePage) {
    EXPECT_EQ(detail::PdfWriter::encode(QStringLiteral("Ñandú € “x” – ¿sí?")),
              QByteArray("\xD1" "and\xFA \x80 \x93x\x94 \x96 \xBFs\xED?"));
    EXPECT_EQ(detail::PdfWriter::encode(QStringLiteral("Ω漢\u0081")), QByteArray("???"));
}

// A character outside the code page is not lost: it is drawn as its outline, where the screen draws it.
TEST(PdfExport, CharactersOutsideTheCodePageAreDrawn) {
    VN_REQUIRE_TOOL("pdftoppm");
    PreparedReport r;
    PreparedPage page;
    page.items.push_back(outtest::text(QRectF(20, 20, 80, 10), QStringLiteral("ΩΨЖ漢 ĞŁ"), HAlign::Left, false, 18));
    r.pages.push_back(page);
    const QString pdf = testsupport::tempPath(QStringLiteral("fuera-de-codigos.pdf"));
    const QString png = testsupport::tempPath(QStringLiteral("fuera-de-codigos"));
    PdfExporter::exportToFile(r, pdf);
    const auto raster = runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                                            QStringLiteral("-singlefile"), pdf, png});
    ASSERT_EQ(raster.exitCode, 0) << raster.err.toStdString();
    const QImage fromPdf = QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
    const QImage onScreen = ImageExporter::renderPage(page, 100).convertToFormat(QImage::Format_Grayscale8);
    ASSERT_EQ(fromPdf.size(), onScreen.size());
    int dark = 0, apart = 0;
    for (int y = 0; y < onScreen.height(); ++y)
        for (int x = 0; x < onScreen.width(); ++x) {
            const int a = qGray(onScreen.pixel(x, y)), b = qGray(fromPdf.pixel(x, y));
            dark += a < 128;
            apart += std::abs(a - b) > 128;
        }
    EXPECT_GT(dark, 200);
    EXPECT_LT(apart, dark / 4) << "the PDF does not draw what the screen draws";
}

TEST(PdfExport, FontsAreEmbeddedWithUnicodeMaps) {
    VN_REQUIRE_TOOL("pdffonts");
    const auto r = runTool(QStringLiteral("pdffonts"), {samplePdf()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = toolText(r).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    int fonts = 0;
    for (const QString& line : lines.mid(2)) { // after the header and its rule
        const QStringList cols = line.simplified().split(QLatin1Char(' '));
        ASSERT_GE(cols.size(), 6) << line.toStdString();
        // ... emb sub uni object ID
        EXPECT_EQ(cols[cols.size() - 5], QStringLiteral("yes")) << "not embedded: " << line.toStdString();
        EXPECT_EQ(cols[cols.size() - 3], QStringLiteral("yes")) << "no Unicode map: " << line.toStdString();
        ++fonts;
    }
    EXPECT_GE(fonts, 2) << "regular and bold";
}

TEST(PdfExport, DocumentInformationAndPageSizes) {
    VN_REQUIRE_TOOL("pdfinfo");
    const auto r = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                      QStringLiteral("3"), samplePdf()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString info = toolText(r);
    EXPECT_EQ(infoField(info, QStringLiteral("Title")), QStringLiteral("Nómina de prueba"));
    EXPECT_EQ(infoField(info, QStringLiteral("Pages")), QStringLiteral("3"));
    EXPECT_TRUE(infoField(info, QStringLiteral("Page    1 size")).startsWith(QStringLiteral("612 x 792 pts")));
    EXPECT_TRUE(infoField(info, QStringLiteral("Page    2 size")).startsWith(QStringLiteral("612 x 792 pts")));
    EXPECT_TRUE(infoField(info, QStringLiteral("Page    3 size")).startsWith(QStringLiteral("792 x 612 pts")))
        << "landscape page";

    // Declared PDF/A-1b: XMP metadata that repeats the information dictionary (title, creation date with
    // its zone), and an sRGB output intent.
    const auto meta = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), samplePdf()});
    const QString xmp = toolText(meta);
    EXPECT_TRUE(xmp.contains(QStringLiteral("<pdfaid:part>1</pdfaid:part><pdfaid:conformance>B</pdfaid:conformance>")));
    EXPECT_TRUE(xmp.contains(QStringLiteral("<rdf:li xml:lang=\"x-default\">Nómina de prueba</rdf:li>")));
    QFile file(samplePdf());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto infoDate = QRegularExpression(QStringLiteral(R"(/CreationDate \(D:(\d{4})(\d\d)(\d\d)(\d\d)(\d\d)(\d\d)([+-]\d\d)'(\d\d)'\))"))
                              .match(QString::fromLatin1(bytes));
    ASSERT_TRUE(infoDate.hasMatch());
    EXPECT_TRUE(xmp.contains(QStringLiteral("<xmp:CreateDate>%1-%2-%3T%4:%5:%6%7:%8</xmp:CreateDate>")
                                 .arg(infoDate.captured(1), infoDate.captured(2), infoDate.captured(3), infoDate.captured(4),
                                      infoDate.captured(5), infoDate.captured(6), infoDate.captured(7), infoDate.captured(8))));
    EXPECT_TRUE(bytes.contains("/S /GTS_PDFA1 /OutputConditionIdentifier (sRGB IEC61966-2.1)"));
    EXPECT_FALSE(bytes.contains("/Encrypt") || bytes.contains("/SMask"));
}

// A valid file whose viewer opens with the outline: a tree of bookmarks to pages and heights.
TEST(PdfExport, ValidWithAnOpenOutline) {
    VN_REQUIRE_TOOL("qpdf");
    const auto check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), samplePdf()});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    const auto trailer =
        runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-object=trailer"), samplePdf()});
    const QString root =
        QRegularExpression(QStringLiteral("/Root (\\d+) 0 R")).match(toolText(trailer)).captured(1);
    const QString catalog =
        toolText(runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-object=") + root, samplePdf()}));
    EXPECT_TRUE(catalog.contains(QStringLiteral("/PageMode /UseOutlines"))) << catalog.toStdString();

    const QJsonArray top = outlines(samplePdf());
    ASSERT_EQ(top.size(), 2);
    const QJsonObject a = top[0].toObject(), b = top[1].toObject();
    EXPECT_EQ(a.value(QStringLiteral("title")).toString(), QStringLiteral("Grupo A"));
    EXPECT_EQ(a.value(QStringLiteral("destpageposfrom1")).toInt(), 1);
    EXPECT_EQ(b.value(QStringLiteral("title")).toString(), QStringLiteral("Grupo B"));
    EXPECT_EQ(b.value(QStringLiteral("destpageposfrom1")).toInt(), 3);
    const QJsonArray kids = a.value(QStringLiteral("kids")).toArray();
    ASSERT_EQ(kids.size(), 1);
    EXPECT_EQ(kids[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Subgrupo A.1"));
    EXPECT_EQ(kids[0].toObject().value(QStringLiteral("destpageposfrom1")).toInt(), 2);
    // "Grupo A" starts 54 mm below the top of a 792 pt page: 792 - 54 * 72 / 25.4 = 638.93.
    const QJsonArray dest = a.value(QStringLiteral("dest")).toArray();
    ASSERT_EQ(dest.size(), 5);
    EXPECT_EQ(dest[1].toString(), QStringLiteral("/XYZ"));
    EXPECT_NEAR(dest[3].toDouble(), 638.93, 0.01);
}

TEST(PdfExport, WithoutOutlineOrWithDeepLevels) {
    VN_REQUIRE_TOOL("qpdf");
    PreparedReport r = outtest::sampleReport();
    const QString plain = testsupport::tempPath(QStringLiteral("sin-indice.pdf"));
    PdfExporter::exportToFile(r, plain, PdfOptions{false});
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), plain}).exitCode, 0);
    EXPECT_TRUE(outlines(plain).isEmpty());

    // A level two below its predecessor hangs one below it; a level-0 entry closes the open branches.
    r.outline = {OutlineEntry{QStringLiteral("Uno"), 0, 10, 0}, OutlineEntry{QStringLiteral("Uno.a"), 0, 20, 2},
                 OutlineEntry{QStringLiteral("Uno.a.i"), 1, 20, 3}, OutlineEntry{QStringLiteral("Dos"), 2, 30, 0}};
    const QString deep = testsupport::tempPath(QStringLiteral("profundo.pdf"));
    PdfExporter::exportToFile(r, deep);
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), deep}).exitCode, 0);
    const QJsonArray top = outlines(deep);
    ASSERT_EQ(top.size(), 2);
    const QJsonArray uno = top[0].toObject().value(QStringLiteral("kids")).toArray();
    ASSERT_EQ(uno.size(), 1);
    EXPECT_EQ(uno[0].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Uno.a"));
    EXPECT_EQ(uno[0].toObject().value(QStringLiteral("kids")).toArray().size(), 1);
    EXPECT_EQ(top[1].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Dos"));
}

TEST(PdfExport, RasterisedPageMatchesTheRenderer) {
    VN_REQUIRE_TOOL("pdftoppm");
    QTemporaryDir dir;
    const QString prefix = QDir(dir.path()).filePath(QStringLiteral("p"));
    const auto r = runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                                       samplePdf(), prefix});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage pdfPage(prefix + QStringLiteral("-1.png"));
    ASSERT_FALSE(pdfPage.isNull());
    EXPECT_NEAR(pdfPage.width(), 215.9 / 25.4 * 80, 1);
    const QImage ours = ImageExporter::renderPage(outtest::sampleReport().pages[0], 80);
    // Same ink in the same places: title, amounts column, table frame, logo.
    const QRectF regions[] = {outtest::kTitleRect, outtest::kAmountRect, QRectF(11, 54, 160, 24),
                              QRectF(10, 262, 50, 4)};
    for (const QRectF& region : regions) {
        const QRect px = outtest::pixelRect(region, 80);
        const int fromPdf = outtest::darkPixels(pdfPage, px), fromRenderer = outtest::darkPixels(ours, px);
        EXPECT_GT(fromPdf, 10) << "no ink in " << region.x() << "," << region.y();
        EXPECT_NEAR(fromPdf, fromRenderer, 0.25 * fromRenderer + 10) << "ink differs in " << region.x() << "," << region.y();
    }
    EXPECT_TRUE(outtest::isMostly(pdfPage, outtest::pixelRect(QRectF(12, 17, 32, 15), 80), qRgb(220, 0, 0), 0.9, 30))
        << "logo";
    EXPECT_TRUE(outtest::isMostly(pdfPage, outtest::pixelRect(QRectF(20, 120, 150, 120), 80), qRgb(255, 255, 255), 1.0, 0))
        << "blank body";
    const QImage landscape(prefix + QStringLiteral("-3.png"));
    EXPECT_GT(landscape.width(), landscape.height());
    EXPECT_TRUE(outtest::isMostly(landscape, outtest::pixelRect(QRectF(41, 41, 58, 48), 80), qRgb(0, 0, 200), 0.95, 30))
        << "chart drawing";
}

TEST(PdfExport, AnEmptyReportIsRefusedAndLeavesTheTarget) {
    const QString path = testsupport::tempPath(QStringLiteral("vacio.pdf"));
    outtest::writeFile(path, "anterior");
    EXPECT_EQ(errorOf([&] { PdfExporter::exportToFile(PreparedReport{}, path); }),
              QStringLiteral("El informe no tiene páginas para exportar."));
    EXPECT_EQ(outtest::readFile(path), QByteArray("anterior"));
}

// Pages are compressed and written while the next one is drawn: a write that fails there (a full disk) is
// reported to the caller all the same, at whichever page it happens, and nothing hangs.
TEST(PdfExport, AFailedWriteOfAnyPageIsReported) {
    struct FailingSink : OutputSink {
        qsizetype left;
        explicit FailingSink(qsizetype bytes) : left(bytes) {}
        void write(const char*, qsizetype size) override {
            if ((left -= size) < 0)
                throw GeneralError(QStringLiteral("sin espacio"));
        }
    };
    const PreparedReport report = outtest::sampleReport();
    for (const qsizetype bytes : {qsizetype(100), qsizetype(3000), qsizetype(20000), qsizetype(60000)}) {
        FailingSink sink(bytes);
        EXPECT_EQ(errorOf([&] {
                      detail::PdfWriter writer(sink);
                      for (int i = 0; i < report.pageCount(); ++i)
                          writer.writePage(report.page(i));
                      writer.finish(report, QStringLiteral("prueba"), true);
                  }),
                  QStringLiteral("sin espacio"))
            << bytes;
    }
}
