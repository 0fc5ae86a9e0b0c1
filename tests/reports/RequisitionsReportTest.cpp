// Report type 1 on the fixture's requisitions of October 2026 (R1..R4 and their applicants in
// PayrollFixture.cpp): the state/decision pairs, the split of the hired by contract type, and the position
// whose only pair is outside the table, posted and not printed.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

TEST(Requisitions, PairsContractSplitAndHiddenRows) {
    ReportRun run(sqliteParams());
    run.setPeriod(TDateTime::encodeDate(2026, 10, 1), TDateTime::encodeDate(2026, 10, 31));
    for (int pass = 0; pass < 2; ++pass) { // a second run gives the same rows, not doubled counts
        run.generate(&TReportBuilders::GenerarRequisicionPersonal);
        QStringList rows = rowsOf(*run.dtm.CdsRqpReporte,
                                  {"COD_CCOS", "COD_CARG", "NOM_CARG", "TRA_CONT", "CON_INDF", "CON_TFIJ", "CON_APRE",
                                   "TOT_NSEL", "TOT_EESS", "TOT_SSSS"});
        rows.sort();
        EXPECT_EQ(rows, (QStringList{
                            // R4: "N"/"E" is no pair of the table: a row without counts
                            "10 | AB | ANALISTA | NULL | NULL | NULL | NULL | NULL | NULL | NULL",
                            // R1: 1001, 1002 to transfer; of the five hired only 1003 (F) and 1004 (I) hold an
                            // active contract of a known type in cost centre 10; 1008; 1009; 1010
                            "10 | C1 | CONDUCTOR | 2 | 1 | 1 | NULL | 1 | 1 | 1",
                            // R2: 1005's apprentice contract is in this cost centre; 1011
                            "20 | C1 | CONDUCTOR | NULL | NULL | NULL | 1 | 1 | NULL | NULL"}));
    }
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(textsOf(r, QStringLiteral("Cargo")), (QStringList{"C1 - CONDUCTOR", "C1 - CONDUCTOR"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Requisición de Personal")});
}

} // namespace
