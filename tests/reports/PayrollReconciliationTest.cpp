// Report type 0 end to end on the fixture database: one row per chosen class with its net payroll of the
// chosen prototypes and kinds; the ledger balance of the account (every month of the end date's year up
// to the end date's month) and the difference on the first row only; the footer totals and observations.
// Row labels (P1, A5, ...) refer to the comments in PayrollFixture.cpp. Ledger balance of 250505:
// October 3,300,000.00, November 3,309,999.00, December 3,433,455.75.
#include "PayrollFixture.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList& kFields = kReconciliationFields;

struct ReconciliationCase {
    const char* name;
    TDateTime from, to;
    const char* kinds;
    std::vector<int> protos, classes; // classes in the order they were chosen
    const char* account;
    QStringList rows;
    QStringList amounts;
    QStringList footer; // payroll, ledger, difference
};

void PrintTo(const ReconciliationCase& c, std::ostream* os) {
    *os << c.name;
}

class PayrollReconciliation : public ::testing::TestWithParam<ReconciliationCase> {};

TEST_P(PayrollReconciliation, RowsAndTotals) {
    const ReconciliationCase& c = GetParam();
    ReportRun run(sqliteParams());
    run.setPeriod(c.from, c.to);
    run.values.TiposNomina = QString::fromLatin1(c.kinds);
    run.dtm.gStCodCuen = QString::fromLatin1(c.account);
    run.chooseProtos(c.protos);
    run.chooseClasses(c.classes);
    run.generate(&TReportBuilders::GenerarConciliacionNomina);

    EXPECT_EQ(rowsOf(*run.dtm.CdsReporte, kFields), c.rows);
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(printedAmounts(r), c.amounts);
    EXPECT_EQ(footer(r), c.footer);
    EXPECT_EQ(textsOf(r, QStringLiteral("CodCuen")),
              QStringList(c.rows.size(), QString::fromLatin1(c.account)));
    EXPECT_EQ(textsOf(r, QStringLiteral("TitTotal")), QStringList{"TOTAL A PAGAR"});
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{"Conciliación de Nómina"});
}

const TDateTime kOct1 = day(2026, 10, 1), kOct31 = day(2026, 10, 31);

INSTANTIATE_TEST_SUITE_P(
    Cases, PayrollReconciliation,
    ::testing::Values(
        // P1 2,000,000 - P2 80,000 + A1 1,500,000.50 - A2 60,000.25 = 3,360,000.25 (A3 and A7 are
        // concepts of other prototypes, P7 and P8 fall outside October); 3,360,000.25 - 3,300,000.
        ReconciliationCase{
            "OneClass",
            kOct1,
            kOct31,
            "N",
            {10},
            {1},
            "250505",
            {"250505 | Nómina ADMINISTRATIVA | 3360000.25 | 3300000.00 | 60000.25 | NULL | NULL"},
            {"$ 3.360.000,25 | $ 3.300.000,00 | $ 60.000,25"},
            {"$ 3.360.000,25", "$ 3.300.000,00", "$ 60.000,25"}},
        // Class 1: P1 - P2 + A1 - A2 + A3 99,999 (a provision adds) = 3,459,999.25.
        // Class 2: P4 900,000 + P5 300,000 - P6 450,000 + A4 900,000 = 1,650,000 (A6 is kind V).
        // Class 3: P3 45,000. All classes: 5,154,999.25; minus 3,300,000 = 1,854,999.25.
        ReconciliationCase{
            "ThreeClassesInCodeOrder",
            kOct1,
            kOct31,
            "N",
            {10, 20, 30},
            {3, 1, 2},
            "250505",
            {"250505 | Nómina ADMINISTRATIVA | 3459999.25 | 3300000.00 | 1854999.25 | NULL | NULL",
             "250505 | Nómina OPERATIVA | 1650000.00 | NULL | NULL | NULL | NULL",
             "250505 | Nómina APRENDICES | 45000.00 | NULL | NULL | NULL | NULL"},
            {"$ 3.459.999,25 | $ 3.300.000,00 | $ 1.854.999,25", "$ 1.650.000,00 |  | ", "$ 45.000,00 |  | "},
            {"$ 5.154.999,25", "$ 3.300.000,00", "$ 1.854.999,25"}},
        // Prototype 20 is deductions only. Kind N: class 1 has none (A7 is kind P), class 2 P6 -450,000;
        // -450,000 - 3,300,000 = -3,750,000.
        ReconciliationCase{"DeductionsOfKindN",
                           kOct1,
                           kOct31,
                           "N",
                           {20},
                           {1, 2},
                           "250505",
                           {"250505 | Nómina ADMINISTRATIVA | 0.00 | 3300000.00 | -3750000.00 | NULL | NULL",
                            "250505 | Nómina OPERATIVA | -450000.00 | NULL | NULL | NULL | NULL"},
                           {"$ 0,00 | $ 3.300.000,00 | -$ 3.750.000,00", "-$ 450.000,00 |  | "},
                           {"-$ 450.000,00", "$ 3.300.000,00", "-$ 3.750.000,00"}},
        // Kinds P and V: class 1 A7 -50,000, class 2 A6 -25,000 (P6 is kind N); -75,000 - 3,300,000.
        ReconciliationCase{
            "DeductionsOfKindsPAndV",
            kOct1,
            kOct31,
            "PV",
            {20},
            {1, 2},
            "250505",
            {"250505 | Nómina ADMINISTRATIVA | -50000.00 | 3300000.00 | -3375000.00 | NULL | NULL",
             "250505 | Nómina OPERATIVA | -25000.00 | NULL | NULL | NULL | NULL"},
            {"-$ 50.000,00 | $ 3.300.000,00 | -$ 3.375.000,00", "-$ 25.000,00 |  | "},
            {"-$ 75.000,00", "$ 3.300.000,00", "-$ 3.375.000,00"}},
        // Prototype 30 alone: A3 99,999; 99,999 - 3,300,000 = -3,200,001.
        ReconciliationCase{
            "OnlyTheChosenPrototype",
            kOct1,
            kOct31,
            "N",
            {30},
            {1},
            "250505",
            {"250505 | Nómina ADMINISTRATIVA | 99999.00 | 3300000.00 | -3200001.00 | NULL | NULL"},
            {"$ 99.999,00 | $ 3.300.000,00 | -$ 3.200.001,00"},
            {"$ 99.999,00", "$ 3.300.000,00", "-$ 3.200.001,00"}},
        // Class 4, prototype 40: P9 gives (I, 250,000) in pre-payroll and A5 gives (I, 250,000) in closed
        // payroll; both count: 500,000; 500,000 - 3,300,000 = -2,800,000.
        ReconciliationCase{
            "SameFiguresInBothSourcesCountTwice",
            kOct1,
            kOct31,
            "N",
            {40},
            {4},
            "250505",
            {"250505 | Nómina DIRECTIVOS | 500000.00 | 3300000.00 | -2800000.00 | NULL | NULL"},
            {"$ 500.000,00 | $ 3.300.000,00 | -$ 2.800.000,00"},
            {"$ 500.000,00", "$ 3.300.000,00", "-$ 2.800.000,00"}},
        // To 30 November: P8 8,000,000 joins (3,360,000.25 + 8,000,000 = 11,360,000.25) and month 11 of
        // the ledger too (3,309,999); 11,360,000.25 - 3,309,999 = 8,050,001.25.
        ReconciliationCase{
            "EndDateInNovemberTakesMonthsToNovember",
            kOct1,
            day(2026, 11, 30),
            "N",
            {10},
            {1},
            "250505",
            {"250505 | Nómina ADMINISTRATIVA | 11360000.25 | 3309999.00 | 8050001.25 | NULL | NULL"},
            {"$ 11.360.000,25 | $ 3.309.999,00 | $ 8.050.001,25"},
            {"$ 11.360.000,25", "$ 3.309.999,00", "$ 8.050.001,25"}},
        // December: no payroll; the balance takes months 0 to 12: 3,433,455.75.
        ReconciliationCase{"DecemberTakesAllTwelveMonths",
                           day(2026, 12, 1),
                           day(2026, 12, 31),
                           "N",
                           {10},
                           {1},
                           "250505",
                           {"250505 | Nómina ADMINISTRATIVA | 0.00 | 3433455.75 | -3433455.75 | NULL | NULL"},
                           {"$ 0,00 | $ 3.433.455,75 | -$ 3.433.455,75"},
                           {"$ 0,00", "$ 3.433.455,75", "-$ 3.433.455,75"}},
        ReconciliationCase{"AccountWithoutMovements",
                           kOct1,
                           kOct31,
                           "N",
                           {10},
                           {1},
                           "259595",
                           {"259595 | Nómina ADMINISTRATIVA | 3360000.25 | 0.00 | 3360000.25 | NULL | NULL"},
                           {"$ 3.360.000,25 | $ 0,00 | $ 3.360.000,25"},
                           {"$ 3.360.000,25", "$ 0,00", "$ 3.360.000,25"}},
        ReconciliationCase{"AccountUnknownToTheLedger",
                           kOct1,
                           kOct31,
                           "N",
                           {10},
                           {1},
                           "999999",
                           {"999999 | Nómina ADMINISTRATIVA | 3360000.25 | 0.00 | 3360000.25 | NULL | NULL"},
                           {"$ 3.360.000,25 | $ 0,00 | $ 3.360.000,25"},
                           {"$ 3.360.000,25", "$ 0,00", "$ 3.360.000,25"}}),
    [](const ::testing::TestParamInfo<ReconciliationCase>& info) { return std::string(info.param.name); });

class PayrollObservations : public ::testing::Test {
protected:
    void SetUp() override {
        run.setPeriod(kOct1, kOct31);
        run.dtm.gStCodCuen = QStringLiteral("250505");
        run.chooseProtos({10});
        run.chooseClasses({1});
    }
    // One run as the form makes it: the validation empties the result set first.
    const report::PreparedReport& generate() {
        run.dtm.CdsReporte->EmptyDataSet();
        run.generate(&TReportBuilders::GenerarConciliacionNomina);
        return run.lastReport();
    }
    ReportRun run{sqliteParams()};
};

TEST_F(PayrollObservations, AcceptedTextIsPrintedWithItsLineBreaks) {
    run.answerObservations(QStringLiteral("Diferencia por provisiones\nVer comprobante 123"));
    const report::PreparedReport& r = generate();
    EXPECT_EQ(run.observationRequests(), 1);
    EXPECT_EQ(run.dtm.gStObsErva, QStringLiteral("Diferencia por provisiones\nVer comprobante 123"));
    EXPECT_EQ(observationLines(r),
              (QStringList{"OBSERVACIONES:", "", "Diferencia por provisiones", "Ver comprobante 123"}));
    // The title of the block is bold, the text is not.
    for (const auto& page : r.pages)
        for (const auto& item : page.items)
            if (const auto* t = std::get_if<report::TextItem>(&item);
                t && t->name == QLatin1String("Observaciones")) {
                ASSERT_GE(t->lines.size(), 3);
                EXPECT_TRUE(t->lines[0].runs[0].bold);
                EXPECT_FALSE(t->lines[2].runs[0].bold);
            }
    EXPECT_EQ(footer(r), (QStringList{"$ 3.360.000,25", "$ 3.300.000,00", "$ 60.000,25"}));
}

// A cancelled dialog clears what an earlier run accepted; the report is still built, with an empty block.
TEST_F(PayrollObservations, CancelledDialogPrintsAnEmptyBlock) {
    run.answerObservations(QStringLiteral("Texto de la corrida anterior"));
    generate();
    run.answerObservations(QString());
    const report::PreparedReport& r = generate();
    EXPECT_EQ(run.observationRequests(), 2);
    EXPECT_TRUE(run.dtm.gStObsErva.isEmpty());
    const QStringList lines = observationLines(r);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("OBSERVACIONES:"));
    EXPECT_TRUE(lines.mid(1).join(QString()).trimmed().isEmpty())
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(
        rowsOf(*run.dtm.CdsReporte, kFields),
        QStringList{"250505 | Nómina ADMINISTRATIVA | 3360000.25 | 3300000.00 | 60000.25 | NULL | NULL"});
}

} // namespace
