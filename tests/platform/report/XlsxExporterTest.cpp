// The spreadsheet export: where primitives land on the cell grid, and the workbook as a spreadsheet reader
// (openpyxl) sees it: numbers stay numbers with their format, texts keep their accents, spanning texts are
// merged ranges, and the pages follow one another with page breaks between them.
#include "OutputFixture.h"
#include "XlsxExporter.h"
#include "XlsxLayout_p.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

using namespace report;
using detail::XlsxLayout;

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

bool hasOpenpyxl() {
    return outtest::runTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import openpyxl")})
               .exitCode == 0;
}

// The workbook as openpyxl reads it; with xmlOnly, only what is read from the worksheet's XML.
QJsonObject dump(const QString& xlsx, bool xmlOnly = false) {
    QStringList args{QStringLiteral(VN_REPORT_TEST_DIR "/xlsx_dump.py"), xlsx};
    if (xmlOnly)
        args.insert(1, QStringLiteral("--xml"));
    const auto r = outtest::runTool(QStringLiteral("/usr/bin/python3"), args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

const QJsonObject& sampleDump() {
    static const QJsonObject d = [] {
        const QString path = testsupport::tempPath(QStringLiteral("muestra.xlsx"));
        XlsxExporter::exportToFile(outtest::sampleReport(), path);
        return dump(path);
    }();
    return d;
}

QJsonObject cellWith(const QJsonObject& d, const QJsonValue& value) {
    for (const QJsonValue& c : d.value(QStringLiteral("cells")).toArray())
        if (c.toObject().value(QStringLiteral("value")) == value)
            return c.toObject();
    ADD_FAILURE() << "no cell holds " << value.toVariant().toString().toStdString();
    return {};
}

int rowOf(const QJsonObject& d, const QString& text) {
    return cellWith(d, text).value(QStringLiteral("row")).toInt();
}

#define VN_REQUIRE_OPENPYXL()                                                                          \
    if (!hasOpenpyxl())                                                                                 \
        GTEST_SKIP() << "python3 con openpyxl no está instalado (scripts/deps.sh lo instala)";

PreparedPage pageWith(std::vector<PageItem> items) {
    PreparedPage p;
    p.items = std::move(items);
    return p;
}

} // namespace

TEST(XlsxLayoutGrid, OverlappingTextsLoseNothing) {
    PreparedReport r;
    r.pages.push_back(pageWith({outtest::text(QRectF(10, 10, 40, 10), QStringLiteral("primero")),
                                outtest::text(QRectF(10, 10, 40, 10), QStringLiteral("encima")),
                                outtest::text(QRectF(10, 10, 40, 10), QString()),
                                outtest::text(QRectF(10, 10, 20, 5), QStringLiteral("tercero")),
                                outtest::text(QRectF(30, 15, 20, 5), QStringLiteral("cuarto"))}));
    const XlsxLayout l = detail::layoutForXlsx(r);
    // "primero" takes its 2 x 2 cells; "encima" and "tercero" find none free and join it; "cuarto" as well;
    // the empty one adds no blank line.
    ASSERT_EQ(l.texts.size(), 1u);
    EXPECT_EQ(l.texts[0].item->plainText(), QStringLiteral("primero"));
    EXPECT_EQ(l.texts[0].extraText, QStringLiteral("\nencima\ntercero\ncuarto"));

    PreparedReport partly;
    partly.pages.push_back(pageWith({outtest::text(QRectF(10, 10, 20, 5), QStringLiteral("izquierda")),
                                     outtest::text(QRectF(10, 10, 40, 5), QStringLiteral("ancho"))}));
    const XlsxLayout p = detail::layoutForXlsx(partly);
    ASSERT_EQ(p.texts.size(), 2u);
    EXPECT_FALSE(p.texts[1].merged()) << "the wide text keeps the one free cell of its span";
    EXPECT_EQ(p.texts[1].firstCol, 1);
}

TEST(XlsxLayoutGrid, PicturesAndDrawingsAreAnchoredAtTheirCell) {
    const PreparedReport r = outtest::sampleReport();
    const XlsxLayout l = detail::layoutForXlsx(r);
    ASSERT_EQ(l.images.size(), 2u);
    const detail::XlsxImage& logo = l.images[0];
    // The 40 x 20 logo in the 34 x 27 box is drawn 34 x 17, 5 mm down.
    EXPECT_NEAR(logo.widthMm, 34, 1e-9);
    EXPECT_NEAR(logo.heightMm, 17, 1e-9);
    double x = 0;
    for (int c = 0; c < logo.col; ++c)
        x += l.columnWidthsMm[size_t(c)];
    EXPECT_NEAR(10 + x + logo.xOffsetMm, 11, 1e-9);
    double y = 0;
    for (int row = 0; row < logo.row; ++row)
        y += l.rowHeightsMm[size_t(row)];
    EXPECT_NEAR(10 + y + logo.yOffsetMm, 16, 1e-9);

    const detail::XlsxImage& chart = l.images[1];
    EXPECT_GE(chart.row, l.pageFirstRows[2]);
    EXPECT_NEAR(chart.widthMm, outtest::kChartRect.width(), 1e-9);
    EXPECT_FALSE(chart.image.isNull());
}

TEST(XlsxExport, AmountsAreNumbersWithTheirFormat) {
    VN_REQUIRE_OPENPYXL();
    const QJsonObject d = sampleDump();
    const QJsonObject first = cellWith(d, outtest::kFirstAmount);
    EXPECT_EQ(first.value(QStringLiteral("type")).toString(), QStringLiteral("n"));
    EXPECT_EQ(first.value(QStringLiteral("number_format")).toString(), outtest::kMoneyFormat);
    EXPECT_EQ(first.value(QStringLiteral("halign")).toString(), QStringLiteral("right"));
    for (double v : {2500000.0, 98765.4, 7000.5})
        EXPECT_EQ(cellWith(d, v).value(QStringLiteral("type")).toString(), QStringLiteral("n")) << v;
    const QJsonObject date = cellWith(d, QStringLiteral("2024-01-15T00:00:00"));
    EXPECT_EQ(date.value(QStringLiteral("number_format")).toString(), QStringLiteral("dd/mm/yyyy"));
}

TEST(XlsxExport, TextsKeepAccentsAndStyle) {
    VN_REQUIRE_OPENPYXL();
    const QJsonObject d = sampleDump();
    const QJsonObject title = cellWith(d, QStringLiteral("Nómina de prueba"));
    EXPECT_TRUE(title.value(QStringLiteral("bold")).toBool());
    EXPECT_EQ(title.value(QStringLiteral("font")).toString(), QStringLiteral("Arial"));
    EXPECT_EQ(title.value(QStringLiteral("size")).toDouble(), 10);
    for (const QString& t : {QStringLiteral("AÑO 2024"), QStringLiteral("Pérez Ñáñez, José"), QStringLiteral("Total: Ñandú"),
                             QStringLiteral("Gráfico de nómina")})
        EXPECT_FALSE(cellWith(d, t).isEmpty()) << t.toStdString();
    int footers = 0;
    for (const QJsonValue& c : d.value(QStringLiteral("cells")).toArray())
        if (c.toObject().value(QStringLiteral("value")).toString() == QStringLiteral("Vestra:   VNmRtgen"))
            ++footers;
    EXPECT_EQ(footers, 3) << "page footers kept, blanks included";

    const QJsonObject head = cellWith(d, QStringLiteral("Código"));
    EXPECT_EQ(head.value(QStringLiteral("fill")).toString(), QStringLiteral("FFD2D2D2"));
    EXPECT_EQ(head.value(QStringLiteral("halign")).toString(), QStringLiteral("center"));
    EXPECT_EQ(head.value(QStringLiteral("valign")).toString(), QStringLiteral("center"));
    const QJsonObject border = head.value(QStringLiteral("border")).toObject();
    for (const char* side : {"left", "top", "right", "bottom"})
        EXPECT_EQ(border.value(QLatin1String(side)).toString(), QStringLiteral("thin")) << side;
    EXPECT_EQ(cellWith(d, QStringLiteral("Observación con fondo")).value(QStringLiteral("fill")).toString(),
              QStringLiteral("FFFFFFAA"));

    const QString paragraph = QStringLiteral("Este párrafo");
    bool wrapped = false;
    for (const QJsonValue& c : d.value(QStringLiteral("cells")).toArray()) {
        const QJsonObject o = c.toObject();
        if (o.value(QStringLiteral("value")).toString().startsWith(paragraph)) {
            wrapped = o.value(QStringLiteral("wrap")).toBool();
            EXPECT_TRUE(o.value(QStringLiteral("value")).toString().contains(QLatin1Char('\n')));
        }
    }
    EXPECT_TRUE(wrapped) << "a text of several lines wraps";
}

TEST(XlsxExport, SpanningTextsAreMergedRanges) {
    VN_REQUIRE_OPENPYXL();
    const QJsonObject d = sampleDump();
    const QJsonArray merged = d.value(QStringLiteral("merged")).toArray();
    EXPECT_FALSE(merged.isEmpty());
    // A name spans the columns between 31 and 131 mm, which the title (47) and other texts split; an amount
    // (131 to 171 mm) holds one column and is no range.
    const QString ref = cellWith(d, QStringLiteral("Pérez Ñáñez, José")).value(QStringLiteral("ref")).toString();
    const QString amountRef = cellWith(d, outtest::kFirstAmount).value(QStringLiteral("ref")).toString();
    bool found = false;
    for (const QJsonValue& m : merged) {
        found = found || m.toString().startsWith(ref + QLatin1Char(':'));
        EXPECT_FALSE(m.toString().startsWith(amountRef + QLatin1Char(':'))) << m.toString().toStdString();
    }
    EXPECT_TRUE(found) << ref.toStdString();
}

TEST(XlsxExport, PagesAreSeparatedByPageBreaks) {
    VN_REQUIRE_OPENPYXL();
    const QJsonObject d = sampleDump();
    EXPECT_EQ(d.value(QStringLiteral("sheets")).toArray(), QJsonArray{QStringLiteral("Informe")});
    const QJsonArray breaks = d.value(QStringLiteral("row_breaks")).toArray();
    ASSERT_EQ(breaks.size(), 2);
    // A break with id n falls below row n.
    const int first = breaks[0].toInt(), second = breaks[1].toInt();
    EXPECT_LE(rowOf(d, QStringLiteral("Total: Ñandú")), first);
    EXPECT_GT(rowOf(d, QStringLiteral("Nómina de prueba (continuación)")), first);
    EXPECT_LE(rowOf(d, QStringLiteral("Nómina de prueba (continuación)")), second);
    EXPECT_GT(rowOf(d, QStringLiteral("Gráfico de nómina")), second);
    // Page 1 keeps its height, blank space included.
    double height = 0;
    const QJsonObject heights = d.value(QStringLiteral("row_heights")).toObject();
    for (int row = 1; row <= first; ++row)
        height += heights.value(QString::number(row)).toDouble();
    EXPECT_NEAR(height, (279.4 - 20) * kPtPerMm, 1.0);
    // A worksheet takes rows of at most 409 points: a tall blank stretch is cut into several.
    for (const QJsonValue& h : heights)
        EXPECT_LE(h.toDouble(), 409.0);
}

TEST(XlsxExport, PicturesAndPropertiesAreStored) {
    VN_REQUIRE_OPENPYXL();
    const QJsonObject d = sampleDump();
    EXPECT_EQ(d.value(QStringLiteral("media")).toArray().size(), 2) << "logo and chart";
    const QJsonObject props = d.value(QStringLiteral("properties")).toObject();
    EXPECT_EQ(props.value(QStringLiteral("title")).toString(), QStringLiteral("Nómina de prueba"));
    EXPECT_EQ(d.value(QStringLiteral("orientation")).toString(), QStringLiteral("portrait"));
}

// A long report's pages come from its temporary file: the workbook is the same.
TEST(XlsxExport, ASpilledReportGivesTheSameWorkbook) {
    VN_REQUIRE_OPENPYXL();
    const QString path = testsupport::tempPath(QStringLiteral("muestra-derramada.xlsx"));
    XlsxExporter::exportToFile(outtest::spilled(outtest::sampleReport()), path);
    EXPECT_EQ(dump(path).value(QStringLiteral("cells")), sampleDump().value(QStringLiteral("cells")));
}

TEST(XlsxExport, FailuresLeaveTheTargetUntouched) {
    const QString empty = testsupport::tempPath(QStringLiteral("vacio.xlsx"));
    outtest::writeFile(empty, "anterior");
    EXPECT_EQ(testsupport::errorOf([&] { XlsxExporter::exportToFile(PreparedReport{}, empty); }),
              QStringLiteral("El informe no tiene páginas para exportar."));
    EXPECT_EQ(outtest::readFile(empty), QByteArray("anterior"));

    const QString nowhere = testsupport::tempPath(QStringLiteral("sin-carpeta/informe.xlsx"));
    EXPECT_TRUE(testsupport::errorOf([&] {
                    XlsxExporter::exportToFile(outtest::sampleReport(), nowhere);
                }).startsWith(QStringLiteral("No se pudo escribir el archivo '%1': ").arg(nowhere)));

    // A disk that fills while the worksheet is being compressed and written (here a file-size limit):
    // the error comes back from the writing thread and the old workbook stays.
    const QString full = testsupport::tempPath(QStringLiteral("lleno.xlsx"));
    outtest::writeFile(full, "anterior");
    const QString message = outtest::errorUnderFileSizeLimit(
        2048, [&] { XlsxExporter::exportToFile(outtest::sampleReport(), full); });
    // The limit stops the workbook or the temporary file where its pictures wait, whichever grows first.
    const QString tooLarge = QStringLiteral("el archivo supera el tamaño máximo permitido");
    EXPECT_TRUE(message == QStringLiteral("No se pudo escribir el archivo '%1': %2").arg(full, tooLarge) ||
                message == QStringLiteral("No se pudo escribir el archivo '%1': no se pudo usar un archivo de trabajo "
                                          "en la carpeta temporal %2: %3")
                               .arg(full, QDir::tempPath(), tooLarge))
        << message.toStdString();
    EXPECT_EQ(outtest::readFile(full), QByteArray("anterior"));
}

// A listing has a merged range or two per row: past 65,535 of them each is still listed, and so counted.
TEST(XlsxExport, EveryMergedRangeIsListedPastSixteenBits) {
    VN_REQUIRE_OPENPYXL();
    // A narrow text puts a column edge at 30 mm, which each wide text below it spans.
    PreparedPage page = pageWith({outtest::text(QRectF(30, 10, 20, 2), QStringLiteral("borde"))});
    for (int row = 1; row <= 120; ++row)
        page.items.push_back(outtest::text(QRectF(10, 10 + 2 * row, 40, 2), QString::number(row)));
    PreparedReport r;
    r.pages.assign(547, page);
    const QString path = testsupport::tempPath(QStringLiteral("rangos.xlsx"));
    XlsxExporter::exportToFile(r, path);
    const QJsonObject d = dump(path, true);
    EXPECT_EQ(d.value(QStringLiteral("merge_count")).toInt(), 547 * 120);
    const QJsonArray listed = d.value(QStringLiteral("merge_refs")).toArray();
    QSet<QString> refs;
    for (const QJsonValue& ref : listed)
        refs.insert(ref.toString());
    EXPECT_EQ(refs.size(), 547 * 120) << "each range once";
    ASSERT_FALSE(listed.isEmpty());
    const int lastRow = detail::layoutForXlsx(r).texts.back().firstRow + 1;
    EXPECT_EQ(listed.last().toString(), QStringLiteral("A%1:B%1").arg(lastRow));
}

// What XML escapes comes back as it was written, what it cannot hold is left out, and the runs of a rich
// text keep their own weight.
TEST(XlsxExport, TextsSurviveTheWorksheetsXml) {
    VN_REQUIRE_OPENPYXL();
    const QString escaped = QStringLiteral("A & B <C> \"D\" 'E' ]]>");
    TextItem rich = outtest::text(QRectF(10, 50, 100, 5), QString());
    rich.lines.front().runs = {TextRun{QStringLiteral("Total: "), true}, TextRun{QStringLiteral("<Ñandú>")}};
    PreparedReport r;
    r.title = QStringLiteral("Nómina & <primas>");
    r.pages.push_back(
        pageWith({outtest::text(QRectF(10, 10, 100, 5), escaped),
                  outtest::text(QRectF(10, 20, 100, 5), QStringLiteral("  sangría  ")),
                  outtest::text(QRectF(10, 30, 100, 5), QStringLiteral("antes\u0001después\uFFFF")),
                  outtest::text(QRectF(10, 40, 100, 5), QStringLiteral("línea\vsiguiente")), rich}));
    const QString path = testsupport::tempPath(QStringLiteral("xml.xlsx"));
    XlsxExporter::exportToFile(r, path);
    const QJsonObject d = dump(path);
    for (const QString& t : {escaped, QStringLiteral("  sangría  "), QStringLiteral("antesdespués"),
                             QStringLiteral("Total: <Ñandú>")})
        EXPECT_FALSE(cellWith(d, t).isEmpty()) << t.toStdString();
    EXPECT_TRUE(cellWith(d, QStringLiteral("línea\nsiguiente")).value(QStringLiteral("wrap")).toBool());
    const QString ref = cellWith(d, QStringLiteral("Total: <Ñandú>")).value(QStringLiteral("ref")).toString();
    const QJsonArray runs{QJsonArray{QStringLiteral("Total: "), true},
                          QJsonArray{QStringLiteral("<Ñandú>"), false}};
    EXPECT_EQ(d.value(QStringLiteral("rich")).toObject().value(ref).toArray(), runs);
    EXPECT_EQ(d.value(QStringLiteral("properties")).toObject().value(QStringLiteral("title")).toString(),
              r.title);
}
