// The cross-tab object: gathering and summing, header nesting, sort orders, totals, and the cut of a table
// wider and longer than its page into parts printed across, then down. Each printed row of the table is read
// back as "text | text | ..." (cells left to right, a spanning cell once, in the row where it starts).
#include "DocumentLoader.h"
#include "MemoryDataSet.h"
#include "ReportEngine.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <map>

using namespace report;

namespace {

QString layout(const QString& paper, const QString& crosstab) {
    return QStringLiteral(R"(<report name="rptCruce"><page name="P" paper="%1" orientation="portrait" margins="10">
        <band height="5"><memo left="0" top="0" width="60" height="5">Antes</memo></band>
        <band height="10">%2</band></page></report>)")
        .arg(paper, crosstab);
}

struct Prepared {
    PreparedReport report;
    // Per page, the table's rows top to bottom.
    std::vector<QStringList> pages;
};

Prepared prepare(const QString& xml, ReportDataSet& ds) {
    testsupport::pinFormatSettings();
    const ReportDocument doc = DocumentLoader().load(xml.toUtf8(), QStringLiteral("cruce.xml"));
    ReportEngine engine(doc);
    engine.bindDataSet(&ds);
    Prepared p{engine.prepare(), {}};
    for (const PreparedPage& page : p.report.pages) {
        std::map<long, std::map<long, QString>> rows; // top, left (0.1 mm) -> text
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->name == QLatin1String("CrossTab"))
                rows[std::lround(t->rect.top() * 10)][std::lround(t->rect.left() * 10)] = t->plainText();
        QStringList lines;
        for (const auto& [top, cells] : rows) {
            QStringList texts;
            for (const auto& [left, text] : cells)
                texts << text;
            lines << texts.join(QStringLiteral(" | "));
        }
        p.pages.push_back(lines);
    }
    return p;
}

MemoryDataSet staff() {
    MemoryDataSet ds{QStringLiteral("Ds"),
                     {QStringLiteral("CARGO"), QStringLiteral("CLASE"), QStringLiteral("TIPO"), QStringLiteral("PLANTA"),
                      QStringLiteral("INGRESOS")}};
    // Two rows of one (position, class, kind) add up; a null figure leaves its cell empty unless another row
    // fills it; trailing blanks do not make another position.
    ds.add({"Conductor", "OPERATIVA", "B", 2, 1});
    ds.add({"Auxiliar", "OPERATIVA", "A", 1, QVariant()});
    ds.add({"Conductor  ", "OPERATIVA", "B", 3, QVariant()});
    ds.add({"Analista", "ADMINISTRATIVA", "A", 4, 2});
    ds.add({"Auxiliar", "ADMINISTRATIVA", "A", QVariant(), 5});
    return ds;
}

const QString kNested = QStringLiteral(R"(
    <crosstab left="0" top="0" width="190" height="10" dataset="Ds" cornerRowTitle="CARGO"
              cornerColumnTitle="CLASE DE NÓMINA" cornerCellTitle="CONTEO" columnGrandTotal="true">
      <row field="CARGO" sort="ascending"/>
      <column field="CLASE" sort="data" totals="true" totalTitle="Total"/>
      <column field="TIPO" sort="descending"/>
      <cell field="PLANTA" title="PLANTA" format="0"/>
      <cell field="INGRESOS" title="ING" format="0"/>
    </crosstab>)");

TEST(CrossTab, NestedColumnsSortsAndTotals) {
    MemoryDataSet ds = staff();
    const Prepared p = prepare(layout(QStringLiteral("279.4x215.9"), kNested), ds);
    ASSERT_EQ(p.report.pages.size(), 1u);
    // OPERATIVA first (data order), its kinds descending (B, A); rows ascending in Spanish collation.
    EXPECT_EQ(p.pages[0],
              (QStringList{"CONTEO | CLASE DE NÓMINA",
                           "OPERATIVA | Total OPERATIVA | ADMINISTRATIVA | Total ADMINISTRATIVA | TOTAL",
                           "B | A | A",
                           "CARGO | PLANTA | ING | PLANTA | ING | PLANTA | ING | PLANTA | ING | PLANTA | ING | PLANTA | ING",
                           "Analista |  |  |  |  |  |  | 4 | 2 | 4 | 2 | 4 | 2",
                           "Auxiliar |  |  | 1 |  | 1 |  |  | 5 |  | 5 | 1 | 5",
                           "Conductor | 5 | 1 |  |  | 5 | 1 |  |  |  |  | 5 | 1",
                           "TOTAL | 5 | 1 | 1 | 0 | 6 | 1 | 4 | 7 | 4 | 7 | 10 | 8"}));
}

TEST(CrossTab, RowSortOrdersAndEmptyData) {
    const auto rowsOf = [](const char* sort) {
        MemoryDataSet ds = staff();
        const QString xml = layout(QStringLiteral("letter"), QStringLiteral(R"(
            <crosstab left="0" top="0" width="100" height="10" dataset="Ds" cornerRowTitle="CARGO">
              <row field="CARGO" sort="%1"/><column field="CLASE"/><cell field="PLANTA" format="0"/>
            </crosstab>)").arg(QLatin1String(sort)));
        const Prepared p = prepare(xml, ds);
        QStringList firstCells;
        for (const QString& line : p.pages.at(0))
            firstCells << line.section(QStringLiteral(" | "), 0, 0);
        return firstCells.mid(1).join(QLatin1Char(','));
    };
    EXPECT_EQ(rowsOf("ascending"), QStringLiteral("Analista,Auxiliar,Conductor,TOTAL"));
    EXPECT_EQ(rowsOf("descending"), QStringLiteral("Conductor,Auxiliar,Analista,TOTAL"));
    EXPECT_EQ(rowsOf("data"), QStringLiteral("Conductor,Auxiliar,Analista,TOTAL"));

    MemoryDataSet empty{QStringLiteral("Ds"), {QStringLiteral("CARGO"), QStringLiteral("CLASE"), QStringLiteral("PLANTA")}};
    const Prepared p = prepare(layout(QStringLiteral("letter"), kNested), empty);
    ASSERT_EQ(p.report.pages.size(), 1u);
    EXPECT_EQ(p.pages[0].last(), QStringLiteral("TOTAL | 0 | 0"));
    EXPECT_EQ(p.pages[0].first(), QStringLiteral("CONTEO | CLASE DE NÓMINA"));
}

// 60 positions × 12 classes on a half-letter page: the classes do not fit across, the positions not down.
// Parts print across, then down; each repeats the row titles and the column headers.
TEST(CrossTab, SplitsAcrossThenDownRepeatingHeaders) {
    MemoryDataSet ds{QStringLiteral("Ds"), {QStringLiteral("CARGO"), QStringLiteral("CLASE"), QStringLiteral("PLANTA")}};
    for (int cargo = 1; cargo <= 60; ++cargo)
        for (int clase = 1; clase <= 12; ++clase)
            ds.add({QStringLiteral("Cargo %1").arg(cargo, 2, 10, QLatin1Char('0')),
                    QStringLiteral("Clase %1").arg(clase, 2, 10, QLatin1Char('0')), cargo * 100 + clase});
    const QString xml = layout(QStringLiteral("139.7x215.9"), QStringLiteral(R"(
        <crosstab left="0" top="0" width="100" height="10" dataset="Ds" cornerRowTitle="CARGO"
                  cornerColumnTitle="CLASE DE NÓMINA" cornerCellTitle="CONTEO">
          <row field="CARGO"/><column field="CLASE"/><cell field="PLANTA" title="PLANTA" format="0"/>
        </crosstab>)"));
    const Prepared p = prepare(xml, ds);
    std::vector<QStringList> parts;
    for (const QStringList& rows : p.pages)
        if (!rows.isEmpty())
            parts.push_back(rows);
    size_t columnParts = 0;
    while (columnParts < parts.size() && parts[columnParts].value(3).startsWith(QLatin1String("Cargo 01 |")))
        ++columnParts;
    ASSERT_GE(columnParts, 2u) << "the twelve classes fit across the page";
    ASSERT_EQ(parts.size(), 2 * columnParts) << "sixty positions fit down one page, or more than two";
    QStringList classesSeen, cargosSeen;
    for (size_t n = 0; n < parts.size(); ++n) {
        const QStringList& rows = parts[n];
        SCOPED_TRACE(n);
        EXPECT_EQ(rows.at(0), QStringLiteral("CONTEO | CLASE DE NÓMINA"));
        EXPECT_TRUE(rows.at(2).startsWith(QLatin1String("CARGO | PLANTA")));
        const QStringList classes = rows.at(1).split(QStringLiteral(" | "));
        if (n < columnParts)
            classesSeen += classes;
        else
            EXPECT_EQ(classes, parts[n - columnParts].at(1).split(QStringLiteral(" | ")));
        for (const QString& row : rows.mid(3)) {
            const QStringList cells = row.split(QStringLiteral(" | "));
            ASSERT_EQ(cells.size(), classes.size() + 1) << row.toStdString();
            if (n % columnParts == 0)
                cargosSeen << cells[0];
            if (cells[0] == QLatin1String("TOTAL"))
                continue;
            // A cell is its position's and its class's: Cargo 07 × Clase 05 = 705.
            for (qsizetype c = 0; c < classes.size(); ++c)
                EXPECT_EQ(cells[c + 1].toInt(), cells[0].mid(6).toInt() * 100 + classes[c].mid(6).toInt());
        }
    }
    const auto names = [](const char* prefix, int n) {
        QStringList out;
        for (int i = 1; i <= n; ++i)
            out << QStringLiteral("%1 %2").arg(QLatin1String(prefix)).arg(i, 2, 10, QLatin1Char('0'));
        return out;
    };
    EXPECT_EQ(classesSeen, names("Clase", 12));
    EXPECT_EQ(cargosSeen, names("Cargo", 60) << QStringLiteral("TOTAL"));
}

} // namespace
