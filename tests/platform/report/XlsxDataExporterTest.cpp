// The data workbook as a spreadsheet reader (openpyxl, warnings as errors) sees it: one sheet per table with
// a name the spreadsheet accepts, a bold frozen header under a filter, and cells that keep their type.
#include "XlsxDataExporter.h"
#include "OutputFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

using namespace report;
using Kind = DataColumn::Kind;

namespace {

// Rows held in memory, or generatedRows copies of the first one (a table too long for a sheet).
class MemoryTable : public DataTable {
public:
    MemoryTable(QString name, std::vector<DataColumn> columns, std::vector<QVariantList> rows = {},
                qint64 generatedRows = 0)
        : m_name(std::move(name)), m_columns(std::move(columns)), m_rows(std::move(rows)),
          m_generated(generatedRows) {}
    QString name() const override { return m_name; }
    std::vector<DataColumn> columns() const override { return m_columns; }
    void forEachRow(const std::function<void(const QVariantList&)>& row) const override {
        for (const QVariantList& values : m_rows)
            row(values);
        for (qint64 i = 0; i < m_generated; ++i)
            row(m_rows.front());
    }

private:
    QString m_name;
    std::vector<DataColumn> m_columns;
    std::vector<QVariantList> m_rows;
    qint64 m_generated;
};

DataColumn column(const QString& label, Kind kind = Kind::Text, const QString& format = {}) {
    return DataColumn{label, kind, format};
}

const QString kLongName = QStringLiteral("Novedades: 2026/10 [revisadas*] por centro de costo");
const QString kLongText = QString(100, QLatin1Char('x'));

const MemoryTable& employees() {
    static const MemoryTable t(
        QStringLiteral("Empleados"),
        {column(QStringLiteral("Nombre")),
         column(QStringLiteral("Cédula"), Kind::Number, QStringLiteral("0")),
         column(QStringLiteral("Salario"), Kind::Number, QStringLiteral("#,##0.00")),
         column(QStringLiteral("Ingreso"), Kind::Date), column(QStringLiteral("Registrado"), Kind::DateTime),
         column(QStringLiteral("Activo"), Kind::Boolean), column(QStringLiteral("Nota"))},
        {{QStringLiteral("Ana\x01 & <Pérez>"), qlonglong(1012345678), 2500000.5, QDate(2026, 10, 1),
          QDateTime(QDate(2026, 10, 1), QTime(8, 30)), true, QVariant()},
         {QStringLiteral(" Luis "), 7, -1234.25, QDate(1900, 3, 1), QVariant(), false, kLongText},
         {QStringLiteral("Eva"), 42, std::numeric_limits<double>::infinity(), QVariant(), QVariant(),
          QVariant(), QStringLiteral("")}});
    return t;
}

const MemoryTable& emptyNovelties() {
    static const MemoryTable t(
        kLongName, {column(QStringLiteral("Código")), column(QStringLiteral("Valor"), Kind::Number)});
    return t;
}

bool hasOpenpyxl() {
    static const bool has = outtest::runTool(QStringLiteral("/usr/bin/python3"),
                                             {QStringLiteral("-c"), QStringLiteral("import openpyxl")})
                                .exitCode == 0;
    return has;
}

#define VN_REQUIRE_OPENPYXL()                                                                                \
    if (!hasOpenpyxl())                                                                                      \
        GTEST_SKIP() << "python3 con openpyxl no está instalado (scripts/deps.sh lo instala)";

// Per sheet: its rows as [value, type, number format, bold] cells, freeze pane, filter and column widths;
// and the defined names of workbook.xml as [name, localSheetId, hidden, text].
QJsonObject dump(const QString& xlsx) {
    static const QString script = QStringLiteral(R"py(
import json, sys, zipfile, openpyxl
from xml.etree import ElementTree
wb = openpyxl.load_workbook(sys.argv[1])
out = {"sheets": wb.sheetnames}
for ws in wb.worksheets:
    rows = [[[c.value.isoformat() if hasattr(c.value, "isoformat") else c.value, c.data_type, c.number_format,
              bool(c.font.b)] for c in row] for row in ws.iter_rows()]
    out[ws.title] = {"rows": rows, "freeze": ws.freeze_panes, "filter": ws.auto_filter.ref,
                     "widths": [d.width for d in ws.column_dimensions.values()]}
ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
book = ElementTree.fromstring(zipfile.ZipFile(sys.argv[1]).read("xl/workbook.xml"))
out["names"] = [[n.get("name"), n.get("localSheetId"), n.get("hidden"), n.text] for n in book.iter(ns + "definedName")]
json.dump(out, sys.stdout, ensure_ascii=False)
)py");
    const auto r =
        outtest::runTool(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral("-W"), QStringLiteral("error"), QStringLiteral("-c"), script, xlsx});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

class XlsxData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!hasOpenpyxl())
            return;
        const QString path = testsupport::tempPath(QStringLiteral("datos.xlsx"));
        XlsxDataExporter::exportToFile({&employees(), &emptyNovelties(), &emptyNovelties()}, path);
        s_dump = new QJsonObject(dump(path));
    }
    static void TearDownTestSuite() {
        delete s_dump;
        s_dump = nullptr;
    }
    void SetUp() override { VN_REQUIRE_OPENPYXL(); }

    static QJsonObject sheet(const QString& name) { return s_dump->value(name).toObject(); }
    // [value, type, number format, bold] of a cell; row and column 1-based.
    static QJsonArray cell(int row, int col, const QString& sheetName = QStringLiteral("Empleados")) {
        return sheet(sheetName)[QStringLiteral("rows")][row - 1][col - 1].toArray();
    }

    static inline QJsonObject* s_dump = nullptr;
};

TEST_F(XlsxData, SheetNamesAreMadeValidAndUnique) {
    EXPECT_EQ(s_dump->value(QStringLiteral("sheets")).toArray(),
              (QJsonArray{QStringLiteral("Empleados"), QStringLiteral("Novedades_ 2026_10 _revisadas__"),
                          QStringLiteral("Novedades_ 2026_10 _revisad (2)")}));
}

TEST_F(XlsxData, HeaderIsBoldFrozenAndFiltered) {
    const std::vector<DataColumn> columns = employees().columns();
    for (int c = 1; c <= int(columns.size()); ++c) {
        EXPECT_EQ(cell(1, c)[0].toString(), columns[size_t(c - 1)].label);
        EXPECT_TRUE(cell(1, c)[3].toBool());
        EXPECT_FALSE(cell(2, c)[3].toBool());
    }
    for (const QJsonValue& name : s_dump->value(QStringLiteral("sheets")).toArray())
        EXPECT_EQ(sheet(name.toString())[QStringLiteral("freeze")].toString(), QStringLiteral("A2"));
    EXPECT_EQ(sheet(QStringLiteral("Empleados"))[QStringLiteral("filter")].toString(),
              QStringLiteral("A1:G4"));
    // A table without records filters its header alone.
    EXPECT_EQ(sheet(QStringLiteral("Novedades_ 2026_10 _revisad (2)"))[QStringLiteral("filter")].toString(),
              QStringLiteral("A1:B1"));
    EXPECT_EQ(
        s_dump->value(QStringLiteral("names")).toArray(),
        (QJsonArray{
            QJsonArray{"_xlnm._FilterDatabase", "0", "1", "'Empleados'!$A$1:$G$4"},
            QJsonArray{"_xlnm._FilterDatabase", "1", "1", "'Novedades_ 2026_10 _revisadas__'!$A$1:$B$1"},
            QJsonArray{"_xlnm._FilterDatabase", "2", "1", "'Novedades_ 2026_10 _revisad (2)'!$A$1:$B$1"}}));
}

TEST_F(XlsxData, CellsKeepTheirType) {
    const struct {
        const char* name;
        int row, col;
        QJsonValue value;
        const char* type;
        const char* format;
    } cases[] = {
        {"text without the control character, escaped", 2, 1, QStringLiteral("Ana & <Pérez>"), "s",
         "General"},
        {"text keeps its outer spaces", 3, 1, QStringLiteral(" Luis "), "s", "General"},
        {"identity number", 2, 2, 1012345678, "n", "0"},
        {"int", 3, 2, 7, "n", "0"},
        {"amount", 2, 3, 2500000.5, "n", "#,##0.00"},
        {"negative amount", 3, 3, -1234.25, "n", "#,##0.00"},
        {"date", 2, 4, QStringLiteral("2026-10-01T00:00:00"), "d", "dd/mm/yyyy"},
        {"first day with a true serial", 3, 4, QStringLiteral("1900-03-01T00:00:00"), "d", "dd/mm/yyyy"},
        {"date and time", 2, 5, QStringLiteral("2026-10-01T08:30:00"), "d", "dd/mm/yyyy hh:mm"},
        {"true", 2, 6, true, "b", "General"},
        {"false", 3, 6, false, "b", "General"},
        {"null", 2, 7, QJsonValue::Null, "n", "General"},
        {"infinite amount left empty", 4, 3, QJsonValue::Null, "n", "General"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonArray got = cell(c.row, c.col);
        EXPECT_EQ(got[0], c.value);
        EXPECT_EQ(got[1].toString(), QLatin1String(c.type));
        if (!c.value.isNull()) {
            EXPECT_EQ(got[2].toString(), QLatin1String(c.format));
        }
    }
}

TEST_F(XlsxData, ColumnWidthsFollowTheValuesWithinBounds) {
    const QJsonArray widths = sheet(QStringLiteral("Empleados"))[QStringLiteral("widths")].toArray();
    ASSERT_EQ(widths.size(), 7);
    for (const QJsonValue& w : widths) {
        EXPECT_GE(w.toDouble(), 8);
        EXPECT_LE(w.toDouble(), 60);
    }
    EXPECT_EQ(widths[6].toDouble(), 60);                                    // the long note, clamped
    EXPECT_GT(widths[2].toDouble(), QStringLiteral("2,500,000.50").size()); // the amount as shown
}

TEST(XlsxDataFailure, NothingIsLeftBehind) {
    const QString nowhere = testsupport::tempPath(QStringLiteral("sin-carpeta/datos.xlsx"));
    EXPECT_EQ(testsupport::errorOf([&] { XlsxDataExporter::exportToFile({&employees()}, nowhere); }),
              QStringLiteral("No se pudo escribir el archivo '%1': la carpeta no existe").arg(nowhere));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(nowhere).absolutePath()));

    // One record more than fit under the header: refused by the table's name, the old file kept.
    const QString full = testsupport::tempPath(QStringLiteral("largo.xlsx"));
    outtest::writeFile(full, "anterior");
    const MemoryTable tooLong(QStringLiteral("Movimientos"), {column(QStringLiteral("Valor"), Kind::Number)},
                              {{1}}, 1048575);
    EXPECT_EQ(
        testsupport::errorOf([&] { XlsxDataExporter::exportToFile({&tooLong}, full); }),
        QStringLiteral("No se pudo escribir el archivo '%1': la tabla 'Movimientos' tiene más de 1.048.575 "
                       "filas, las que caben en una hoja de cálculo bajo sus títulos; pídala por un periodo "
                       "más corto")
            .arg(full));
    EXPECT_EQ(outtest::readFile(full), QByteArray("anterior"));
    EXPECT_EQ(QDir(QFileInfo(full).absolutePath())
                  .entryList({QStringLiteral("*largo*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("largo.xlsx")});
}

} // namespace
