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
#include <map>

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

// What openpyxl (warnings as errors) makes of a workbook's printing and of some cells' borders, with the
// worksheet's elements in their order and the style index of each of those cells.
QJsonObject printDump(const QString& xlsx, const QStringList& cells) {
    static const QString script = QStringLiteral(R"py(
import json, sys, zipfile, re, openpyxl
from xml.etree import ElementTree
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
xml = zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml").decode()
def border(ref):
    b = ws[ref].border
    return {k: [getattr(b, k).style, getattr(b, k).color.rgb if getattr(b, k).color is not None else None]
            for k in ("left", "top", "right", "bottom")}
json.dump({
    "titles": ws.print_title_rows,
    "area": ",".join(ws.print_area) if isinstance(ws.print_area, list) else ws.print_area,
    "fitToPage": ws.sheet_properties.pageSetUpPr.fitToPage if ws.sheet_properties.pageSetUpPr else None,
    "fitToWidth": ws.page_setup.fitToWidth, "fitToHeight": ws.page_setup.fitToHeight,
    "paper": str(ws.page_setup.paperSize), "orientation": ws.page_setup.orientation,
    "left": ws.page_margins.left,
    "order": [e.tag.split("}")[1] for e in ElementTree.fromstring(xml)],
    "borders": {ref: border(ref) for ref in sys.argv[2:]},
    "styles": {ref: (re.search(r'<c r="%s"(?: s="(\d+)")?' % ref, xml) or [None, None])[1] for ref in sys.argv[2:]},
}, sys.stdout)
)py");
    const auto r = outtest::runTool(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral("-W"), QStringLiteral("error"), QStringLiteral("-c"), script, xlsx} +
            cells);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

QJsonArray side(const char* style, const char* rgb) {
    return QJsonArray{QLatin1String(style), QLatin1String(rgb)};
}

// Four texts make a grid of columns at 10, 50 and 90 mm and rows at 10 (the top margin), 15, 20 and 25 mm,
// then two blank rows down to the bottom margin at 269.4 mm (a row is at most 144 mm tall): rows 0 to 4.
PreparedPage ruledPage() {
    LineItem underTitle{QPointF(10, 15.4), QPointF(90, 15.4), 2.0, Qt::red}; // medium, nearest the edge at 15
    LineItem between{QPointF(50.3, 20), QPointF(50.3, 25)};                  // on the edge between columns
    LineItem foot{QPointF(12, 269), QPointF(88, 269)};                       // along blank cells
    LineItem slanted{QPointF(10, 10), QPointF(90, 25)};
    RectItem box{QRectF(10, 20, 80, 5), QColor(), outtest::allSides(4.0)}; // thick
    return pageWith({outtest::text(QRectF(10, 10, 40, 5), QStringLiteral("a")),
                     outtest::text(QRectF(50, 10, 40, 5), QStringLiteral("b")),
                     outtest::text(QRectF(10, 20, 40, 5), QStringLiteral("c")),
                     outtest::text(QRectF(50, 20, 40, 5), QStringLiteral("d")), underTitle, between, foot,
                     slanted, box});
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

TEST(XlsxLayoutGrid, LinesAndRectanglesLandOnCellSides) {
    PreparedReport r;
    r.pages.push_back(ruledPage());
    const XlsxLayout l = detail::layoutForXlsx(r);
    std::map<std::pair<int, int>, FrameSpec> at;
    for (const detail::XlsxRuledCell& c : l.rules)
        EXPECT_TRUE(at.emplace(std::pair{c.row, c.col}, c.sides).second) << "each cell once";
    ASSERT_EQ(at.size(), 6u) << "rows 0, 2 and 4, two columns each; the slanted line draws nothing";
    for (int col : {0, 1}) {
        const FrameSpec& under = at[{0, col}];
        EXPECT_TRUE(under.bottom && !under.top && !under.left && !under.right);
        EXPECT_EQ(under.widthPt, 2.0);
        EXPECT_EQ(under.color, QColor(Qt::red));
        const FrameSpec& boxed = at[{2, col}];
        EXPECT_TRUE(boxed.top && boxed.bottom) << col;
        EXPECT_EQ(boxed.widthPt, 4.0) << "the thickest line on the cell";
        EXPECT_TRUE((at[{4, col}].bottom)) << "a line along the bottom margin, on blank cells";
    }
    // The box's sides, and the vertical line as the right side of the left column.
    EXPECT_TRUE((at[{2, 0}].left && at[{2, 0}].right));
    EXPECT_TRUE((!at[{2, 1}].left && at[{2, 1}].right));
}

TEST(XlsxExport, LinesAndRectanglesAreBorders) {
    VN_REQUIRE_OPENPYXL();
    PreparedReport r;
    r.pages.push_back(ruledPage());
    const QString path = testsupport::tempPath(QStringLiteral("reglas.xlsx"));
    XlsxExporter::exportToFile(r, path);
    const QJsonObject d = printDump(path, {QStringLiteral("A1"), QStringLiteral("B1"), QStringLiteral("A3"),
                                           QStringLiteral("B3"), QStringLiteral("A5"), QStringLiteral("B5")});
    const QJsonObject b = d.value(QStringLiteral("borders")).toObject();
    const QJsonArray none{QJsonValue(), QJsonValue()};
    for (const char* ref : {"A1", "B1"}) {
        const QJsonObject cell = b.value(QLatin1String(ref)).toObject();
        EXPECT_EQ(cell.value(QStringLiteral("bottom")).toArray(), side("medium", "FFFF0000")) << ref;
        EXPECT_EQ(cell.value(QStringLiteral("top")).toArray(), none) << ref;
    }
    const QJsonObject a3 = b.value(QStringLiteral("A3")).toObject();
    for (const char* s : {"left", "top", "right", "bottom"})
        EXPECT_EQ(a3.value(QLatin1String(s)).toArray(), side("thick", "FF000000")) << s;
    EXPECT_EQ(b.value(QStringLiteral("B3")).toObject().value(QStringLiteral("left")).toArray(), none);
    EXPECT_EQ(b.value(QStringLiteral("A5")).toObject().value(QStringLiteral("bottom")).toArray(),
              side("thin", "FF000000"));
    // Equal looks share one style: the text cells under the rule, and the blank ones along the margin.
    const QJsonObject styles = d.value(QStringLiteral("styles")).toObject();
    EXPECT_EQ(styles.value(QStringLiteral("A1")), styles.value(QStringLiteral("B1")));
    EXPECT_FALSE(styles.value(QStringLiteral("A5")).isNull());
    EXPECT_EQ(styles.value(QStringLiteral("A5")), styles.value(QStringLiteral("B5")));
}

// Two pages, each with its own header in the sheet: printed as the PDF, on the layout's paper, fitted to
// the width, with no rows repeated on top (the second page's header would print twice).
TEST(XlsxExport, PrintsFittedToWidthOnTheLayoutsPaper) {
    VN_REQUIRE_OPENPYXL();
    const auto page = [](int n) {
        TextItem amount = outtest::text(QRectF(30, 25, 50, 5), QString::number(n * 100));
        amount.value = CellValue{CellValue::Kind::Number, n * 100.0, QStringLiteral("0")};
        PreparedPage p =
            pageWith({outtest::text(QRectF(30, 10, 50, 5), QStringLiteral("EMPRESA S.A.S.")),
                      outtest::text(QRectF(80, 10, 40, 5), QStringLiteral("Página: %1").arg(n)),
                      outtest::text(QRectF(30, 20, 50, 5), QStringLiteral("Código")), amount,
                      outtest::text(QRectF(30, 30, 90, 5), QStringLiteral("empleado %1").arg(n))});
        p.paperMm = QSizeF(279.4, 215.9);
        p.landscape = true;
        p.marginsMm = QMarginsF(25.4, 10, 10, 10);
        return p;
    };
    PreparedReport r;
    r.pages = {page(1), page(2)};
    const QString path = testsupport::tempPath(QStringLiteral("impresion.xlsx"));
    XlsxExporter::exportToFile(r, path);
    QJsonObject d = printDump(path, {});
    // The area belongs to the sheet (openpyxl gives a sheet only the names with its localSheetId). Columns
    // between the edges at 25.4 (the margin), 30, 80 and 120 mm; each page 7 rows: five 5 mm bands, and two
    // for the 170.9 mm down to the bottom margin.
    EXPECT_TRUE(d.value(QStringLiteral("titles")).isNull());
    EXPECT_EQ(d.value(QStringLiteral("area")).toString(), QStringLiteral("$A$1:$C$14"));
    EXPECT_EQ(d.value(QStringLiteral("fitToPage")), QJsonValue(true));
    EXPECT_EQ(d.value(QStringLiteral("fitToWidth")).toInt(), 1);
    EXPECT_EQ(d.value(QStringLiteral("fitToHeight")).toInt(), 0);
    EXPECT_EQ(d.value(QStringLiteral("paper")).toString(), QStringLiteral("1"));
    EXPECT_EQ(d.value(QStringLiteral("orientation")).toString(), QStringLiteral("landscape"));
    EXPECT_DOUBLE_EQ(d.value(QStringLiteral("left")).toDouble(), 1.0);
    const QStringList order{
        QStringLiteral("sheetPr"),     QStringLiteral("sheetViews"), QStringLiteral("sheetFormatPr"),
        QStringLiteral("cols"),        QStringLiteral("sheetData"),  QStringLiteral("mergeCells"),
        QStringLiteral("pageMargins"), QStringLiteral("pageSetup"),  QStringLiteral("rowBreaks")};
    EXPECT_EQ(d.value(QStringLiteral("order")).toVariant().toStringList(), order);

    r.pages.pop_back();
    XlsxExporter::exportToFile(r, path);
    EXPECT_EQ(printDump(path, {}).value(QStringLiteral("area")).toString(), QStringLiteral("$A$1:$C$7"));
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
