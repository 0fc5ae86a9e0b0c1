// Report type 5 on the fixture's drivers of March 2027 (rows C1..C6 and M1, M2 in PayrollFixture.cpp): both
// payroll sources merged by driver type and base service, the maintenance liquidations after them, and the
// refusals before any statement is sent.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFields{"TIP_CTOR", "NOM_TCTR", "COD_SBAS", "NOM_SERV", "VAL_ACUM", "VAL_MANT", "TOT_EMPL"};

class Commissions : public ::testing::Test {
protected:
    void SetUp() override { run.setPeriod(TDateTime::encodeDate(2027, 3, 1), TDateTime::encodeDate(2027, 3, 31)); }
    ReportRun run{sqliteParams()};
};

TEST_F(Commissions, BothSourcesAndTheMaintenanceMerge) {
    run.chooseProtos({40});
    run.generate(&TReportBuilders::GenerarComisionesConductores);
    // The order rows are first met in does not depend on the server: sort them.
    QStringList rows = rowsOf(*run.dtm.CdsComisCdtor, kFields);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{
                        // C1 + C3 from pre-payroll (two drivers), C2 from closed payroll; M1's maintenance
                        "1 | TITULAR GRUPO | 1 | RUTA NORTE | 250000.00 | 30000.00 | 2",
                        // C4 and C5 hold the same figures: two payments, not one
                        "2 | TITULAR | 2 | RUTA SUR | 140000.00 | NULL | 1",
                        // maintenance only: no commission, its driver count from the liquidation
                        "7 | NULL | 3 | ESCOLAR | NULL | 20000.00 | 1",
                        // a type that is no digit has no name
                        "X | NULL | 3 | ESCOLAR | 5000.00 | NULL | 1"}));
    // The maintenance-only row comes after every payroll row.
    EXPECT_EQ(rowsOf(*run.dtm.CdsComisCdtor, {"TIP_CTOR"}).last(), QStringLiteral("7"));
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(textsOf(r, QStringLiteral("TotalComision")), QStringList{QStringLiteral("$ 395.000,00")});
    EXPECT_EQ(textsOf(r, QStringLiteral("TotalMantenimiento")), QStringList{QStringLiteral("$ 50.000,00")});
    EXPECT_TRUE(run.dtm.CdsNmTprot->IsEmpty()) << "the prototype selection is cleared after the run";
}

TEST_F(Commissions, RefusedBeforeAnyStatement) {
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarComisionesConductores); }),
              QStringLiteral("No ha selecionado el prototipo."));
    run.chooseProtos({30});
    run.dtm.CdsComisCdtor->Append();
    run.dtm.CdsComisCdtor->FieldByName(QStringLiteral("TIP_CTOR")).SetAsString(QStringLiteral("9"));
    run.dtm.CdsComisCdtor->Post();
    run.values.CodEmpr = 3; // company 3's prototype 30 has no concepts
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarComisionesConductores); }),
              QStringLiteral("El prototipo seleccionado no tiene conceptos asociados, por favor verifique."));
    EXPECT_EQ(run.dtm.CdsComisCdtor->RecordCount(), 1) << "the result set is left as it was";
    EXPECT_FALSE(run.dtm.QryComisCdtor->Active());
    EXPECT_TRUE(run.capture.reports.empty());
}

} // namespace
