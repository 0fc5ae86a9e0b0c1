// Report type 9 end to end on the fixture database: the consolidation records of the company whose date
// falls in the period (both ends included), listed as the server returns them, values without a format.
#include "PayrollFixture.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFields{"BAS_LIQU", "DIA_CONS", "VAC_CONS"};

TDateTime day(int y, int m, int d) {
    return TDateTime::encodeDate(y, m, d);
}

class VacationsReport : public ::testing::Test {
protected:
    const report::PreparedReport& runFor(TDateTime from, TDateTime to) {
        run.setPeriod(from, to);
        run.generate(&TReportBuilders::GenerarConsolidadoVacaciones);
        return run.lastReport();
    }
    ReportRun run{sqliteParams()};
};

// October 2026 holds the record of 1 October (start date) and of 31 October (end date); 30 September,
// 1 November and company 2's record of 15 October stay out.
TEST_F(VacationsReport, ListsTheCompanysRecordsOfThePeriod) {
    const report::PreparedReport& r = runFor(day(2026, 10, 1), day(2026, 10, 31));
    EXPECT_EQ(rowsOf(*run.dtm.QryNmConva, kFields),
              (QStringList{"2000000.00 | 15.00 | 1000000.00", "1300000.50 | 7.50 | 325000.40"}));
    // No display format: the numbers as they are, with the decimal comma.
    EXPECT_EQ(textsOf(r, QStringLiteral("BasLiqu")), (QStringList{"2000000", "1300000,5"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("DiaCons")), (QStringList{"15", "7,5"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("VacCons")), (QStringList{"1000000", "325000,4"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("TitBase")), QStringList{"Base de liquidación"});
    EXPECT_EQ(textsOf(r, QStringLiteral("TitDias")), QStringList{"Días Consolidado"});
    EXPECT_EQ(textsOf(r, QStringLiteral("TitVacaciones")), QStringList{"Vacaciones Consolidadas"});
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{"Consolidado de Vacaciones"});
    EXPECT_EQ(textsOf(r, QStringLiteral("Periodo")), QStringList{"Periodo: 01/10/2026 - 31/10/2026"});
}

TEST_F(VacationsReport, EmptyRangeShowsTheHeadersAndNoLines) {
    const report::PreparedReport& r = runFor(day(2025, 1, 1), day(2025, 12, 31));
    EXPECT_TRUE(run.dtm.QryNmConva->IsEmpty());
    EXPECT_EQ(textsOf(r, QStringLiteral("TitBase")), QStringList{"Base de liquidación"});
    EXPECT_EQ(textsOf(r, QStringLiteral("TitDias")), QStringList{"Días Consolidado"});
    EXPECT_EQ(textsOf(r, QStringLiteral("TitVacaciones")), QStringList{"Vacaciones Consolidadas"});
    EXPECT_TRUE(textsOf(r, QStringLiteral("BasLiqu")).isEmpty());
    EXPECT_TRUE(textsOf(r, QStringLiteral("DiaCons")).isEmpty());
    EXPECT_TRUE(textsOf(r, QStringLiteral("VacCons")).isEmpty());
}

// The query is closed and opened again on every run: the same range gives the same listing, also after
// a run over another range in between.
TEST_F(VacationsReport, TheSameRangeTwiceGivesTheSameListing) {
    const QStringList first = printedTexts(runFor(day(2026, 10, 1), day(2026, 10, 31)));
    const QStringList again = printedTexts(runFor(day(2026, 10, 1), day(2026, 10, 31)));
    EXPECT_EQ(again, first);
    // 30 September to 1 October: the day before and the start date of October.
    EXPECT_EQ(textsOf(runFor(day(2026, 9, 30), day(2026, 10, 1)), QStringLiteral("BasLiqu")),
              (QStringList{"900000", "2000000"}));
    const QStringList third = printedTexts(runFor(day(2026, 10, 1), day(2026, 10, 31)));
    EXPECT_EQ(third, first);
    EXPECT_EQ(run.capture.reports.size(), 4u);
    EXPECT_EQ(textsOf(run.lastReport(), QStringLiteral("VacCons")), (QStringList{"1000000", "325000,4"}));
}

} // namespace
