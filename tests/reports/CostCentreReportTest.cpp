// Report type 4 end to end on the fixture database: the merged result set (one row per cost centre and
// payroll class, signed net over both payroll sources) and the printed lines, group totals and grand total.
// Row labels (P1, A5, ...) refer to the comments in PayrollFixture.cpp.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFields{"COD_CCOS", "NOM_CCOS", "COD_TNOM", "NOM_TNOM", "VAL_ACUM"};

TDateTime day(int y, int m, int d) {
    return TDateTime::encodeDate(y, m, d);
}

// The printed texts of the given memos, in print order, as "memo: text".
QStringList sequence(const report::PreparedReport& report, const QStringList& memos) {
    QStringList out;
    for (const QString& line : printedTexts(report))
        if (memos.contains(line.section(QStringLiteral(": "), 0, 0)))
            out << line;
    return out;
}

// Each printed line as "class = value", sorted: the lines whatever order the rows came in.
QStringList sortedLines(const report::PreparedReport& report) {
    const QStringList classes = textsOf(report, QStringLiteral("Clase"));
    const QStringList values = textsOf(report, QStringLiteral("ValAcum"));
    QStringList out;
    for (qsizetype i = 0; i < classes.size(); ++i)
        out << classes[i] + QStringLiteral(" = ") + values.value(i, QStringLiteral("<sin valor>"));
    out.sort();
    return out;
}

struct CostCentreCase {
    const char* name;
    int company;
    TDateTime from, to;
    QStringList rows;  // sorted by cost centre and class
    QStringList lines; // sorted "class = value"
    QString total;
};

void PrintTo(const CostCentreCase& c, std::ostream* os) {
    *os << c.name;
}

class CostCentreFigures : public ::testing::TestWithParam<CostCentreCase> {};

TEST_P(CostCentreFigures, MergedRowsLinesAndGrandTotal) {
    const CostCentreCase& c = GetParam();
    ReportRun run(sqliteParams());
    run.values.CodEmpr = c.company;
    run.setPeriod(c.from, c.to);
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);

    QStringList rows = rowsOf(*run.dtm.CdsTotNomi, kFields);
    rows.sort();
    EXPECT_EQ(rows, c.rows);
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(sortedLines(r), c.lines);
    EXPECT_EQ(textsOf(r, QStringLiteral("Total")), QStringList{c.total});
    EXPECT_EQ(textsOf(r, QStringLiteral("TitTotal")), QStringList{QStringLiteral("TOTAL")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")),
              QStringList{QStringLiteral("Valor total de Nómina por Centro de costo")});
}

INSTANTIATE_TEST_SUITE_P(
    Periods, CostCentreFigures,
    ::testing::Values(
        CostCentreCase{
            "October",
            1,
            day(2026, 10, 1),
            day(2026, 10, 31),
            {// P1 2,000,000 - P2 80,000 + A1 1,500,000.50 - A2 60,000.25 - A7 50,000; A3 is a provision: +0
             "10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 3310000.25",
             // P3 is a provision only: no income, no deduction
             "10 | ADMINISTRACIÓN | 3 | APRENDICES | 0.00",
             // A5, in closed payroll only
             "10 | ADMINISTRACIÓN | 4 | DIRECTIVOS | 250000.00",
             // P4 900,000 and A4 900,000: the same figures in both sources, both count
             "20 | PRODUCCIÓN | 2 | OPERATIVA | 1800000.00",
             // P9
             "20 | PRODUCCIÓN | 4 | DIRECTIVOS | 250000.00",
             // P5 300,000 - P6 450,000 - A6 25,000
             "30 | VENTAS | 2 | OPERATIVA | -175000.00"},
            {"1 - ADMINISTRATIVA = $ 3.310.000,25", "2 - OPERATIVA = $ 1.800.000,00",
             "2 - OPERATIVA = -$ 175.000,00", "3 - APRENDICES = $ 0,00", "4 - DIRECTIVOS = $ 250.000,00",
             "4 - DIRECTIVOS = $ 250.000,00"},
            // 3,310,000.25 + 0 + 250,000 + 1,800,000 + 250,000 - 175,000
            "$ 5.435.000,25"},
        // A single day as the period: the start and the end date are both inside it.
        CostCentreCase{"FirstDayOfOctoberOnly",
                       1,
                       day(2026, 10, 1),
                       day(2026, 10, 1),
                       {"10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 2000000.00"}, // P1
                       {"1 - ADMINISTRATIVA = $ 2.000.000,00"},
                       "$ 2.000.000,00"},
        CostCentreCase{"LastDayOfOctoberOnly",
                       1,
                       day(2026, 10, 31),
                       day(2026, 10, 31),
                       {"10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 1390000.25"}, // A1 - A2 - A7, A3 +0
                       {"1 - ADMINISTRATIVA = $ 1.390.000,25"},
                       "$ 1.390.000,25"},
        CostCentreCase{"DayBeforeOctober",
                       1,
                       day(2026, 9, 30),
                       day(2026, 9, 30),
                       {"10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 7000000.00"}, // P7
                       {"1 - ADMINISTRATIVA = $ 7.000.000,00"},
                       "$ 7.000.000,00"},
        CostCentreCase{"AnotherCompany",
                       2,
                       day(2026, 10, 1),
                       day(2026, 10, 31),
                       {"10 | BODEGA | 1 | GENERAL | 11000000.00"}, // Q1 5,000,000 + Q2 6,000,000
                       {"1 - GENERAL = $ 11.000.000,00"},
                       "$ 11.000.000,00"},
        CostCentreCase{"DeductionsAboveIncome",
                       1,
                       day(2027, 1, 1),
                       day(2027, 1, 31),
                       {"10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 30000.00", // P10 40,000 - A8 10,000
                        "30 | VENTAS | 1 | ADMINISTRATIVA | -20000.00",        // P13
                        "30 | VENTAS | 2 | OPERATIVA | -30000.10"},            // P11 100,000 - P12 130,000.10
                       {"1 - ADMINISTRATIVA = $ 30.000,00", "1 - ADMINISTRATIVA = -$ 20.000,00",
                        "2 - OPERATIVA = -$ 30.000,10"},
                       "-$ 20.000,10"}, // 30,000 - 20,000 - 30,000.10
        CostCentreCase{"NoPayroll", 1, day(2025, 1, 1), day(2025, 1, 31), {}, {}, "$ 0,00"}),
    [](const ::testing::TestParamInfo<CostCentreCase>& info) { return std::string(info.param.name); });

const QStringList kGroupMemos{"CentroCosto", "Clase", "ValAcum", "TotalCentro", "Total"};

// The pairs a cost centre gets from both sources must print under one header with one total, however the
// server orders the two sources' rows (a class found only in closed payroll comes after every
// pre-payroll row).
TEST(CostCentreGroups, EachCostCentreIsOneGroupWithItsTotalEvenWhenAClassIsOnlyInClosedPayroll) {
    ReportRun run(sqliteParams());
    run.setPeriod(day(2026, 10, 1), day(2026, 10, 31));
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);
    // clang-format off
    EXPECT_EQ(sequence(run.lastReport(), kGroupMemos),
              (QStringList{"CentroCosto: CENTRO DE COSTOS: 10 - ADMINISTRACIÓN",
                           "Clase: 1 - ADMINISTRATIVA", "ValAcum: $ 3.310.000,25",
                           "Clase: 3 - APRENDICES", "ValAcum: $ 0,00",
                           "Clase: 4 - DIRECTIVOS", "ValAcum: $ 250.000,00",
                           "TotalCentro: $ 3.560.000,25", // 3,310,000.25 + 0 + 250,000
                           "CentroCosto: CENTRO DE COSTOS: 20 - PRODUCCIÓN",
                           "Clase: 2 - OPERATIVA", "ValAcum: $ 1.800.000,00",
                           "Clase: 4 - DIRECTIVOS", "ValAcum: $ 250.000,00",
                           "TotalCentro: $ 2.050.000,00", // 1,800,000 + 250,000
                           "CentroCosto: CENTRO DE COSTOS: 30 - VENTAS",
                           "Clase: 2 - OPERATIVA", "ValAcum: -$ 175.000,00",
                           "TotalCentro: -$ 175.000,00",
                           "Total: $ 5.435.000,25"}));
    // clang-format on
}

// Every pair here has pre-payroll rows, so the merge meets them in cost-centre order: negative line,
// negative group total, negative grand total, and a positive group merged from both sources.
TEST(CostCentreGroups, NegativeLinesGroupTotalsAndGrandTotal) {
    ReportRun run(sqliteParams());
    run.setPeriod(day(2027, 1, 1), day(2027, 1, 31));
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);
    // clang-format off
    EXPECT_EQ(sequence(run.lastReport(), kGroupMemos),
              (QStringList{"CentroCosto: CENTRO DE COSTOS: 10 - ADMINISTRACIÓN",
                           "Clase: 1 - ADMINISTRATIVA", "ValAcum: $ 30.000,00", // P10 - A8
                           "TotalCentro: $ 30.000,00",
                           "CentroCosto: CENTRO DE COSTOS: 30 - VENTAS",
                           "Clase: 1 - ADMINISTRATIVA", "ValAcum: -$ 20.000,00", // P13
                           "Clase: 2 - OPERATIVA", "ValAcum: -$ 30.000,10",      // P11 - P12
                           "TotalCentro: -$ 50.000,10",                          // -20,000 - 30,000.10
                           "Total: -$ 20.000,10"}));
    // clang-format on
    ASSERT_EQ(run.lastReport().outline.size(), 2u);
    EXPECT_EQ(run.lastReport().outline[0].text, QStringLiteral("ADMINISTRACIÓN"));
    EXPECT_EQ(run.lastReport().outline[1].text, QStringLiteral("VENTAS"));
}

TEST(CostCentreGroups, EmptyPeriodPrintsOnlyTheZeroSummary) {
    ReportRun run(sqliteParams());
    run.setPeriod(day(2025, 1, 1), day(2025, 1, 31));
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);
    const report::PreparedReport& r = run.lastReport();
    EXPECT_TRUE(run.dtm.CdsTotNomi->IsEmpty());
    EXPECT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(sequence(r, kGroupMemos), QStringList{"Total: $ 0,00"});
    EXPECT_TRUE(textsOf(r, QStringLiteral("TitClase")).isEmpty());
    EXPECT_EQ(textsOf(r, QStringLiteral("TitTotal")), QStringList{QStringLiteral("TOTAL")});
}

// A second run starts from an empty result set: nothing of the first period is left over.
TEST(CostCentreGroups, ASecondRunReplacesTheFirstRunsRows) {
    ReportRun run(sqliteParams());
    run.setPeriod(day(2026, 10, 1), day(2026, 10, 31));
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);
    run.setPeriod(day(2026, 10, 1), day(2026, 10, 1));
    run.generate(&TReportBuilders::GenerarNominaCentroCostos);
    EXPECT_EQ(rowsOf(*run.dtm.CdsTotNomi, kFields),
              QStringList{"10 | ADMINISTRACIÓN | 1 | ADMINISTRATIVA | 2000000.00"}); // P1 alone
    EXPECT_EQ(textsOf(run.lastReport(), QStringLiteral("Total")), QStringList{"$ 2.000.000,00"});
}

} // namespace
