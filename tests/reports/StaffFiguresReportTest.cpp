// Report type 2 on the fixture's contracts, absences and plan posts of October 2026 (rows K1..K8 and the
// absences in PayrollFixture.cpp): the class figures, the position figures, and the printed table and
// cross-tab.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFigures{"TOT_PLAN", "TOT_VCAN", "TOT_INGR", "TOT_RETI", "TOT_VACA", "TOT_INCA"};

class StaffFigures : public ::testing::Test {
protected:
    void SetUp() override {
        run.setPeriod(TDateTime::encodeDate(2026, 10, 1), TDateTime::encodeDate(2026, 10, 31));
        run.chooseClasses({1, 2});
        run.generate(&TReportBuilders::GenerarIngresosRetiros);
    }
    ReportRun run{sqliteParams()};
};

TEST_F(StaffFigures, ClassAndPositionFigures) {
    // headcount | vacant | hires | terminations | vacation | sick leave
    EXPECT_EQ(rowsOf(*run.dtm.CdsRptIngrRet, QStringList{"COD_TNOM", "NOM_TNOM"} + kFigures),
              (QStringList{// K1..K5 are five employee-position pairs; K5 hired; vacations of 12 (ends on the first
                           // day), of 500 in C1 and of 500 in AB (starts on the last day); two vacant C1 posts
                           "1 | ADMINISTRATIVA | 5 | 2 | 1 | 0 | 3 | 0",
                           // K8 active; K6 hired and gone within the period; K7 left the day before; 800 sick
                           // all along, 700's leave is on an inactive contract; C1 is a position of this class too
                           "2 | OPERATIVA | 1 | 2 | 1 | 1 | 0 | 1"}));
    // In the order first met: by class, then by the figure that first returned the position.
    EXPECT_EQ(rowsOf(*run.dtm.CdsRptIngrRetCg, QStringList{"COD_TNOM", "COD_CARG", "NOM_CARG"} + kFigures),
              (QStringList{"1 | 3AB | TECNICO | 1 | NULL | NULL | NULL | 1 | NULL",
                           "1 | AB | ANALISTA | 2 | NULL | NULL | NULL | 1 | NULL",
                           "1 | C1 | CONDUCTOR | 2 | 2 | 1 | NULL | 1 | NULL",
                           "2 | C1 | CONDUCTOR | 1 | 2 | NULL | NULL | NULL | 1",
                           // hires but no active staff: no headcount at all; the code without its blanks
                           "2 | AUX | AUXILIAR | NULL | NULL | 1 | 1 | NULL | NULL"}));
}

TEST_F(StaffFigures, PrintsTheClassTableAndThePositionCrossTab) {
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")).value(0), QStringLiteral("Ingresos, Retiros, Planta, Vacaciones"));
    EXPECT_EQ(textsOf(r, QStringLiteral("Clase")), (QStringList{"1 - ADMINISTRATIVA", "2 - OPERATIVA"}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Incapacidades")), (QStringList{"0", "1"}));
    const QStringList cells = textsOf(r, QStringLiteral("CrossTab"));
    // The TOTAL row of ADMINISTRATIVA: 5 | 2 | 1 | 0 | 3 | 0 (a figure no position had prints 0).
    const qsizetype total = cells.indexOf(QStringLiteral("TOTAL"));
    EXPECT_EQ(cells.mid(total + 1, 6), (QStringList{"5", "2", "1", "0", "3", "0"}));
}

} // namespace
