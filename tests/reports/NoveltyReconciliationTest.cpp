// Report type 3 end to end on the fixture database: one row per novelty parameter of the company, in
// account order, with the payroll balance from the source its novelty type names, the ledger balance of
// its account and the difference; the footer totals and observations; the stop when nothing is configured.
//
// Payroll balances (PayrollFixture.cpp):
//   PRP, prototype 50: novelty balances paid up to the end date, whatever the start date:
//        October 1,200,000 (March) + 350,000.50 (31 Oct) = 1,550,000.50; December adds 999,999 (1 Nov).
//   EPS: positive differences 120,000 + 30,000.25 = 150,000.25 (negative, zero, other entities and company
//        2 left out; no date limit). ARP: 40,000.
//   NOV, prototype 20 (deductions only), shown without sign: kind N P6 450,000; kind V A6 25,000;
//        kind P A7 50,000. NOV, prototype 40: kind N P9 250,000 + A5 250,000 (equal pairs, both count).
//   XYZ: no source, the payroll balance stays empty.
// Ledger balances: 137005 (debit nature) October 1,500,000, December 1,510,000; 237005 150,000.25;
// 237006 none; 238030 80,000; 250505 October 3,300,000, December 3,433,455.75.
#include "GeneralError.h"
#include "PayrollFixture.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList& kFields = kReconciliationFields;

struct NoveltyCase {
    const char* name;
    TDateTime from, to;
    const char* kinds;
    QStringList rows;
    QStringList amounts;
    QStringList footer;
};

void PrintTo(const NoveltyCase& c, std::ostream* os) {
    *os << c.name;
}

class NoveltyReconciliation : public ::testing::TestWithParam<NoveltyCase> {};

TEST_P(NoveltyReconciliation, RowsInAccountOrderAndTotals) {
    const NoveltyCase& c = GetParam();
    ReportRun run(sqliteParams());
    run.setPeriod(c.from, c.to);
    run.values.TiposNomina = QString::fromLatin1(c.kinds);
    run.loadNoveltyParameters(1);
    run.generate(&TReportBuilders::GenerarConciliacionNovedades);

    EXPECT_EQ(rowsOf(*run.dtm.CdsNomxPag, kFields), c.rows);
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(printedAmounts(r), c.amounts);
    EXPECT_EQ(footer(r), c.footer);
    // Two novelties on account 237005 (parameters 2 and 6) print next to each other.
    EXPECT_EQ(textsOf(r, QStringLiteral("CodCuen")),
              (QStringList{"137005", "237005", "237005", "237006", "238030", "250505"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{"Conciliación de Novedades"});
    EXPECT_EQ(run.observationRequests(), 1);
}

const TDateTime kOct1 = day(2026, 10, 1), kOct31 = day(2026, 10, 31);

INSTANTIATE_TEST_SUITE_P(
    Cases, NoveltyReconciliation,
    ::testing::Values(
        // Totals: payroll 1,550,000.50 + 150,000.25 + 500,000 + 40,000 + 450,000 = 2,690,000.75;
        // ledger 1,500,000 + 150,000.25 + 150,000.25 + 0 + 80,000 + 3,300,000 = 5,180,000.50;
        // difference 2,690,000.75 - 5,180,000.50 = -2,489,999.75.
        NoveltyCase{"OctoberKindN",
                    kOct1,
                    kOct31,
                    "N",
                    {"137005 | PRÉSTAMOS A EMPLEADOS | 1550000.50 | 1500000.00 | 50000.50 | NULL | NULL",
                     "237005 | APORTES EPS | 150000.25 | 150000.25 | 0.00 | NULL | NULL",
                     "237005 | HORAS EXTRA Y AUXILIOS | 500000.00 | 150000.25 | 349999.75 | NULL | NULL",
                     "237006 | APORTES ARP | 40000.00 | 0.00 | 40000.00 | NULL | NULL",
                     "238030 | NOVEDAD SIN ORIGEN | NULL | 80000.00 | -80000.00 | NULL | NULL",
                     "250505 | DESCUENTOS DE NÓMINA | 450000.00 | 3300000.00 | -2850000.00 | NULL | NULL"},
                    {"$ 1.550.000,50 | $ 1.500.000,00 | $ 50.000,50", "$ 150.000,25 | $ 150.000,25 | $ 0,00",
                     "$ 500.000,00 | $ 150.000,25 | $ 349.999,75", "$ 40.000,00 | $ 0,00 | $ 40.000,00",
                     " | $ 80.000,00 | -$ 80.000,00", "$ 450.000,00 | $ 3.300.000,00 | -$ 2.850.000,00"},
                    {"$ 2.690.000,75", "$ 5.180.000,50", "-$ 2.489.999,75"}},
        // Only kind V: the NOV rows change (A6 25,000; nothing for prototype 40), the others do not.
        // Payroll 1,550,000.50 + 150,000.25 + 0 + 40,000 + 25,000 = 1,765,000.75; minus 5,180,000.50.
        NoveltyCase{"OctoberOnlyKindV",
                    kOct1,
                    kOct31,
                    "V",
                    {"137005 | PRÉSTAMOS A EMPLEADOS | 1550000.50 | 1500000.00 | 50000.50 | NULL | NULL",
                     "237005 | APORTES EPS | 150000.25 | 150000.25 | 0.00 | NULL | NULL",
                     "237005 | HORAS EXTRA Y AUXILIOS | 0.00 | 150000.25 | -150000.25 | NULL | NULL",
                     "237006 | APORTES ARP | 40000.00 | 0.00 | 40000.00 | NULL | NULL",
                     "238030 | NOVEDAD SIN ORIGEN | NULL | 80000.00 | -80000.00 | NULL | NULL",
                     "250505 | DESCUENTOS DE NÓMINA | 25000.00 | 3300000.00 | -3275000.00 | NULL | NULL"},
                    {"$ 1.550.000,50 | $ 1.500.000,00 | $ 50.000,50", "$ 150.000,25 | $ 150.000,25 | $ 0,00",
                     "$ 0,00 | $ 150.000,25 | -$ 150.000,25", "$ 40.000,00 | $ 0,00 | $ 40.000,00",
                     " | $ 80.000,00 | -$ 80.000,00", "$ 25.000,00 | $ 3.300.000,00 | -$ 3.275.000,00"},
                    {"$ 1.765.000,75", "$ 5.180.000,50", "-$ 3.414.999,75"}},
        // Kinds N and P: prototype 20 gets P6 450,000 + A7 50,000 = 500,000; prototype 40 stays 500,000.
        // Payroll 1,550,000.50 + 150,000.25 + 500,000 + 40,000 + 500,000 = 2,740,000.75; minus 5,180,000.50.
        NoveltyCase{"OctoberKindsNAndP",
                    kOct1,
                    kOct31,
                    "NP",
                    {"137005 | PRÉSTAMOS A EMPLEADOS | 1550000.50 | 1500000.00 | 50000.50 | NULL | NULL",
                     "237005 | APORTES EPS | 150000.25 | 150000.25 | 0.00 | NULL | NULL",
                     "237005 | HORAS EXTRA Y AUXILIOS | 500000.00 | 150000.25 | 349999.75 | NULL | NULL",
                     "237006 | APORTES ARP | 40000.00 | 0.00 | 40000.00 | NULL | NULL",
                     "238030 | NOVEDAD SIN ORIGEN | NULL | 80000.00 | -80000.00 | NULL | NULL",
                     "250505 | DESCUENTOS DE NÓMINA | 500000.00 | 3300000.00 | -2800000.00 | NULL | NULL"},
                    {"$ 1.550.000,50 | $ 1.500.000,00 | $ 50.000,50", "$ 150.000,25 | $ 150.000,25 | $ 0,00",
                     "$ 500.000,00 | $ 150.000,25 | $ 349.999,75", "$ 40.000,00 | $ 0,00 | $ 40.000,00",
                     " | $ 80.000,00 | -$ 80.000,00", "$ 500.000,00 | $ 3.300.000,00 | -$ 2.800.000,00"},
                    {"$ 2.740.000,75", "$ 5.180.000,50", "-$ 2.439.999,75"}},
        // December (month 13 passed to the ledger): PRP 1,550,000.50 + 999,999 = 2,549,999.50 against
        // 1,510,000; no NOV payroll in December; 250505 takes months 11 and 12: 3,433,455.75.
        // Payroll 2,549,999.50 + 150,000.25 + 40,000 = 2,739,999.75;
        // ledger 1,510,000 + 150,000.25 + 150,000.25 + 80,000 + 3,433,455.75 = 5,323,456.25;
        // difference -2,583,456.50.
        NoveltyCase{"DecemberKindN",
                    day(2026, 12, 1),
                    day(2026, 12, 31),
                    "N",
                    {"137005 | PRÉSTAMOS A EMPLEADOS | 2549999.50 | 1510000.00 | 1039999.50 | NULL | NULL",
                     "237005 | APORTES EPS | 150000.25 | 150000.25 | 0.00 | NULL | NULL",
                     "237005 | HORAS EXTRA Y AUXILIOS | 0.00 | 150000.25 | -150000.25 | NULL | NULL",
                     "237006 | APORTES ARP | 40000.00 | 0.00 | 40000.00 | NULL | NULL",
                     "238030 | NOVEDAD SIN ORIGEN | NULL | 80000.00 | -80000.00 | NULL | NULL",
                     "250505 | DESCUENTOS DE NÓMINA | 0.00 | 3433455.75 | -3433455.75 | NULL | NULL"},
                    {"$ 2.549.999,50 | $ 1.510.000,00 | $ 1.039.999,50",
                     "$ 150.000,25 | $ 150.000,25 | $ 0,00", "$ 0,00 | $ 150.000,25 | -$ 150.000,25",
                     "$ 40.000,00 | $ 0,00 | $ 40.000,00", " | $ 80.000,00 | -$ 80.000,00",
                     "$ 0,00 | $ 3.433.455,75 | -$ 3.433.455,75"},
                    {"$ 2.739.999,75", "$ 5.323.456,25", "-$ 2.583.456,50"}}),
    [](const ::testing::TestParamInfo<NoveltyCase>& info) { return std::string(info.param.name); });

class NoveltyRun : public ::testing::Test {
protected:
    void SetUp() override { run.setPeriod(kOct1, kOct31); }
    ReportRun run{sqliteParams()};
};

// Company 3 has no novelty parameters (and company 1's "PF" row is not one): the run stops before the
// observations dialog, builds nothing and shows nothing.
TEST_F(NoveltyRun, NoParametersStopsBeforeTheDialog) {
    run.values.CodEmpr = 3;
    run.loadNoveltyParameters(3);
    try {
        run.generate(&TReportBuilders::GenerarConciliacionNovedades);
        FAIL() << "no error raised";
    } catch (const GeneralError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No ha parametrizado novedades."));
    }
    EXPECT_EQ(run.observationRequests(), 0);
    EXPECT_TRUE(run.capture.reports.empty());
    EXPECT_TRUE(run.dtm.CdsNomxPag->IsEmpty());
}

TEST_F(NoveltyRun, ParametersNeverLoadedStopBeforeTheDialog) {
    try {
        run.generate(&TReportBuilders::GenerarConciliacionNovedades);
        FAIL() << "no error raised";
    } catch (const GeneralError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No ha parametrizado novedades."));
    }
    EXPECT_EQ(run.observationRequests(), 0);
    EXPECT_TRUE(run.capture.reports.empty());
}

// Company 2's only parameter row: its EPS differences (88,000) and no ledger rows for 237005.
TEST_F(NoveltyRun, AnotherCompanyReadsOnlyItsOwnRows) {
    run.values.CodEmpr = 2;
    run.loadNoveltyParameters(2);
    run.generate(&TReportBuilders::GenerarConciliacionNovedades);
    EXPECT_EQ(rowsOf(*run.dtm.CdsNomxPag, kFields),
              QStringList{"237005 | APORTES EPS | 88000.00 | 0.00 | 88000.00 | NULL | NULL"});
}

TEST_F(NoveltyRun, AcceptedObservationsKeepTheirLineBreaks) {
    run.loadNoveltyParameters(1);
    run.answerObservations(QStringLiteral("Saldo EPS conciliado\nARP pendiente de registro"));
    run.generate(&TReportBuilders::GenerarConciliacionNovedades);
    EXPECT_EQ(run.dtm.gStObsErva, QStringLiteral("Saldo EPS conciliado\nARP pendiente de registro"));
    EXPECT_EQ(observationLines(run.lastReport()),
              (QStringList{"OBSERVACIONES:", "", "Saldo EPS conciliado", "ARP pendiente de registro"}));
}

TEST_F(NoveltyRun, CancelledObservationsPrintAnEmptyBlock) {
    run.dtm.gStObsErva = QStringLiteral("texto de una corrida anterior");
    run.loadNoveltyParameters(1);
    run.answerObservations(QString());
    run.generate(&TReportBuilders::GenerarConciliacionNovedades);
    EXPECT_EQ(run.observationRequests(), 1);
    EXPECT_TRUE(run.dtm.gStObsErva.isEmpty());
    const QStringList lines = observationLines(run.lastReport());
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("OBSERVACIONES:"));
    EXPECT_TRUE(lines.mid(1).join(QString()).trimmed().isEmpty())
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(run.dtm.CdsNomxPag->RecordCount(), 6);
}

} // namespace
