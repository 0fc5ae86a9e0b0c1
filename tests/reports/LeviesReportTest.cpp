// Report type 8 on the fixture's October 2026 settlements (rows E1..E6 and the levies in PayrollFixture.cpp):
// several configured positions in one "ADMINISTRACION" line, one position on its own line, a position with
// no data, and no configured position at all.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFields{"COD_CARG", "NOM_CARG", "CONTEO",   "SUE_BASI", "ING_SALU", "EPS_APOR",
                          "AFP_APOR", "ARP_APOR", "SEN_APOR", "ICB_APOR", "CCF_APOR"};

class Levies : public ::testing::Test {
protected:
    void generate(int company) {
        run.setPeriod(TDateTime::encodeDate(2026, 10, 1), TDateTime::encodeDate(2026, 10, 31));
        run.values.CodEmpr = company;
        run.generate(&TReportBuilders::GenerarParafiscales);
    }
    ReportRun run{sqliteParams()};
};

TEST_F(Levies, SeveralPositionsAddUpInOneLine) {
    generate(2);
    // 101: E1 and E2, average salary 1,500,000; 102: E3 only (E4 left before the period, E5 is neither
    // active nor inactive), 4,000,000. The line's salary weighs each average by its people:
    // (1,500,000 × 2 + 4,000,000 × 1) / 3. EPS (40,000 + 85,000) + (80,000 + 170,000) + (20,000 + 42,500);
    // AFP (40,000 + 120,000) + (80,000 + 240,000) + (20,000 + 60,000); provider 40 is no levy.
    EXPECT_EQ(rowsOf(*run.dtm.CdsParafiscales, kFields),
              QStringList{"NULL | ADMINISTRACION | 3 | 2333333.33 | 3500000.00 | 437500.00 | 560000.00 | 18270.00 | "
                          "60000.00 | 45000.00 | 120000.00"});
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Parafiscales")});
    EXPECT_EQ(textsOf(r, QStringLiteral("SueBasi")), QStringList{QStringLiteral("$ 2.333.333,33")});
    // The salary is part of the line's total.
    EXPECT_EQ(textsOf(r, QStringLiteral("Total")), QStringList{QStringLiteral("$ 7.074.103,33")});
}

TEST_F(Levies, OnePositionHasItsOwnLineAndSharedProviderCodesGoToSena) {
    generate(3);
    EXPECT_EQ(rowsOf(*run.dtm.CdsParafiscales, kFields),
              QStringList{"201 | ANALISTA | 1 | 3000000.00 | 3000000.00 | 375000.00 | 480000.00 | 15660.00 | "
                          "25000.00 | NULL | 90000.00"});
    // An empty levy adds nothing to the total.
    EXPECT_EQ(textsOf(run.lastReport(), QStringLiteral("Total")), QStringList{QStringLiteral("$ 6.985.660,00")});
}

TEST_F(Levies, APositionWithoutDataAndNoPositionAtAll) {
    generate(1); // its one "PF" row names no position: an empty report
    EXPECT_TRUE(run.dtm.CdsParafiscales->IsEmpty());
    EXPECT_EQ(run.capture.layouts, std::vector<QString>{QStringLiteral("frxRptParafiscales")});
    EXPECT_EQ(testsupport::errorOf([&] { generate(4); }), QStringLiteral("No ha parametrizado los cargos a consultar."));
    EXPECT_EQ(run.capture.layouts.size(), 1u);
    generate(5); // two positions, nobody in them: no average salary over nobody
    EXPECT_EQ(rowsOf(*run.dtm.CdsParafiscales, {"NOM_CARG", "CONTEO", "SUE_BASI"}), QStringList{"ADMINISTRACION | 0 | NULL"});
}

} // namespace
