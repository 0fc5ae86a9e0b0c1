// Report type 6 on the fixture's May 2027 payments (F1..F4 in PayrollFixture.cpp): one line per employee and
// concept over both sources and both contracts, the stop button, and the refusal without concepts.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

const QStringList kFields{"COD_EMPL", "COD_CONC", "COD_CCOS", "COD_CARG", "CAN_ACUM", "VAL_ACUM", "TAR_ATEP"};

class Invoice : public ::testing::Test {
protected:
    void SetUp() override {
        run.setPeriod(TDateTime::encodeDate(2027, 5, 1), TDateTime::encodeDate(2027, 5, 31));
        run.chooseProtos({40});
    }
    ReportRun run{sqliteParams()};
};

TEST_F(Invoice, OneLinePerEmployeeAndConcept) {
    run.generate(&TReportBuilders::GenerarFacturaEmpresa);
    // F1 + F2 (identical in both sources: two payments) + F3 (the other contract: its cost centre and position
    // give way to the first row's); kind A and concept 1 are not chosen.
    EXPECT_EQ(rowsOf(*run.dtm.CdsFacturaEmpr, kFields),
              (QStringList{"1100.00 | 2 | 10 | C1 | 4.00 | 250000.00 | 0.52", "1101.00 | 6 | 10 | C1 | 1.00 | 30000.00 | 0.52"}));
    EXPECT_EQ(run.recordsAnnounced, 4);
    EXPECT_TRUE(run.progressFinished);
    const report::PreparedReport& r = run.lastReport();
    EXPECT_EQ(textsOf(r, QStringLiteral("Titulo")), QStringList{QStringLiteral("Factura Empresa Usuaria")});
    EXPECT_EQ(textsOf(r, QStringLiteral("Valor")), (QStringList{"$ 250.000,00", "$ 30.000,00"}));
}

TEST_F(Invoice, TheStopButtonShowsWhatWasGathered) {
    run.stopAfter = 1;
    run.generate(&TReportBuilders::GenerarFacturaEmpresa);
    EXPECT_EQ(rowsOf(*run.dtm.CdsFacturaEmpr, {"COD_EMPL", "VAL_ACUM"}), QStringList{"1100.00 | 100000.00"});
    EXPECT_TRUE(run.progressFinished);
    EXPECT_EQ(run.capture.reports.size(), 1u);
}

TEST_F(Invoice, AnErrorInTheWalkStillShowsWhatWasGathered) {
    run.failAfter = 2;
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarFacturaEmpresa); }),
              QStringLiteral("Falla en el recorrido."));
    EXPECT_EQ(rowsOf(*run.dtm.CdsFacturaEmpr, {"COD_EMPL", "VAL_ACUM"}), QStringList{"1100.00 | 100000.00"});
    EXPECT_TRUE(run.progressFinished);
    EXPECT_EQ(run.capture.reports.size(), 1u);
}

TEST_F(Invoice, PrototypesWithoutConceptsStopBeforeTheQuery) {
    run.values.CodEmpr = 3;
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarFacturaEmpresa); }),
              QStringLiteral("El prototipo seleccionado no tiene conceptos asociados, por favor verifique."));
    EXPECT_FALSE(run.dtm.QryFacturaEmpr->Active());
    EXPECT_TRUE(run.capture.reports.empty());
}

} // namespace
