// Report type 7 on the fixture's third quarter of 2027 (staffing company 4 in PayrollFixture.cpp): the worker
// list with its states, order, names, education and salaries (an empty text is stored as null), the requisition page with its territories and
// requirement lines, the quarter, the stop button and an empty period.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

class TemporaryStaff : public ::testing::Test {
protected:
    void SetUp() override {
        run.values.CodEmpr = 4;
        run.setPeriod(TDateTime::encodeDate(2027, 7, 1), TDateTime::encodeDate(2027, 9, 30));
    }
    // The texts of a memo, with the lines its cell wrapped joined again.
    QStringList printed(const char* memo) {
        return textsOf(run.lastReport(), QString::fromLatin1(memo)).replaceInStrings(QStringLiteral("\n"), QStringLiteral(" "));
    }
    ReportRun run{sqliteParams()};
};

TEST_F(TemporaryStaff, WorkersByStateThenApplicants) {
    run.generate(&TReportBuilders::GenerarTemporales);
    // By state code, then hiring date: 4005's contract expired before the period and matches no state, 4009
    // and 4001 are current, 4002 starts (on the last day, open-ended: no term), 4003 ends on the last day,
    // 4004 left in the period (its term runs to the period's end); the applicants not hired come last. 4006
    // left before the period, 4007 was hired after it, 4008's unit names no user company.
    EXPECT_EQ(rowsOf(*run.dtm.CdsEmpTemp, {"COD_EMPL", "NOM_NIVE", "NIT_EMPR", "DIG_VERI", "APE_EMP1", "APE_EMP2",
                                           "NOM_EMP1", "NOM_EMP2", "NIV_EDUC", "COD_ESTA", "NOM_ESTA", "COD_CARG",
                                           "NOM_CARG", "TIE_DIAS", "SUE_BASI"}),
              (QStringList{
                  "4005.00 | logistica del norte | 800100200.00 | 7 | MORA | NULL | IRIS | NULL | TECNOLOGIA | NULL | NULL | OPE | OPERARIO | 426 | 1600000.00",
                  "4009.00 | logistica del norte | 800100200.00 | 7 | SILVA | NULL | OMAR | NULL | PROFESIONAL UNIVERSITARIO | 1 | 5 - CONTRATO VIGENTE | OPE | OPERARIO | 1096 | 3000000.00",
                  "4001.00 | logistica del norte | 800100200.00 | 7 | GARCIA | LOPEZ | ANA | MARIA JOSE | BASICA PRIMARIA | 1 | 5 - CONTRATO VIGENTE | OPE | OPERARIO | 356 | 1300000.00",
                  "4002.00 | logistica del norte | 800100200.00 | 7 | PEREZ | NULL | LUIS | NULL | MEDIA VOCACIONAL | 2 | 2 - INICIA CONTRATO | OPE | OPERARIO | NULL | 2000000.00",
                  "4003.00 | ACME INDUSTRIAL | 900300400.00 | 3 | DIAZ | NULL | EVA | NULL | NULL | 3 | 3 - TERMINA CONTRATO | AUX | AUXILIAR | 607 | 1500000.00",
                  "4004.00 | ACME INDUSTRIAL | 900300400.00 | 3 | ROJAS | NULL | JUAN | NULL | TECNICO PROFESIONAL O LABORAL | 3 | 3 - TERMINA CONTRATO | AUX | AUXILIAR | 214 | 1400000.00",
                  "5001.00 | LOGISTICA DEL NORTE | 800100200.00 | 7 | RUIZ | DIAZ | PEDRO | NULL | MEDIA ACADEMICA O CLASICA | 5 | 1 - NO CONTRATADO | OPE | OPERARIO | NULL | NULL",
                  "5003.00 | ACME INDUSTRIAL | 900300400.00 | 3 | SOTO | NULL | LUZ | ELENA | MEDIA VOCACIONAL | 5 | 1 - NO CONTRATADO | AUX | AUXILIAR | NULL | NULL",
              }));
    EXPECT_EQ(run.recordsAnnounced, 8);
    EXPECT_TRUE(run.progressFinished);

    // Page 3, numbered from 1 again after the requisitions.
    EXPECT_EQ(printed("Id").mid(4), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(printed("TipDocu"), (QStringList{"", "CC", "CC", "CE", "", "TI", "CC", "RC"}));
    EXPECT_EQ(printed("NitUsua").first(), QStringLiteral("8001002007"));
    EXPECT_EQ(printed("Tiempo"), (QStringList{"426", "1096", "356", "", "607", "214", "", ""}));
    EXPECT_EQ(printed("Salario").mid(4, 3), (QStringList{"$ 1.600.000,00", "$ 3.000.000,00", "$ 1.300.000,00"}));
}

TEST_F(TemporaryStaff, RequisitionPage) {
    run.generate(&TReportBuilders::GenerarTemporales);
    // In request order: Q1 and Q2 (same group, day, position and salary, two lines), Q4, Q3 (on the last day).
    EXPECT_EQ(printed("Id").mid(0, 4), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(printed("NumIdent"), (QStringList{"8001002007", "8001002007", "7005006001", "9003004003"}));
    // Antioquia with Medellín; no department at all; Atlántico without a municipality.
    EXPECT_EQ(printed("Dpto"), (QStringList{"05-ANTIOQUIA", "05-ANTIOQUIA", "", "08-ATLANTICO"}));
    EXPECT_EQ(printed("Mpio"), (QStringList{"05001-MEDELLIN", "05001-MEDELLIN", "", ""}));
    EXPECT_EQ(printed("NroPlaz"), (QStringList{"3", "2", "1", "1"}));
    EXPECT_EQ(printed("NroVacu"), (QStringList{"1", "2", "1", "0"}));
    // A proposed salary of 0 prints the company's minimum salary.
    EXPECT_EQ(printed("Salario").mid(0, 4),
              (QStringList{"$ 1.300.000,00", "$ 1.300.000,00", "$ 1.400.000,00", "$ 1.500.000,00"}));
    // Each requisition prints its own requirements; one without any says so.
    EXPECT_EQ(printed("Requisito"), (QStringList{"LICENCIAS - CONDUCCION B1", "LICENCIAS - CONDUCCION C2",
                                                 "LICENCIAS - CONDUCCION C2"}));
    EXPECT_EQ(printed("NoAplica"), (QStringList{"NO APLICA", "NO APLICA"}));
    // The calendar quarter of the final date, on both lists.
    EXPECT_EQ(printed("ValTrimestre"), (QStringList{"3", "3"}));
    EXPECT_EQ(printed("ValAno"), (QStringList{"2027", "2027"}));
}

TEST_F(TemporaryStaff, TheStopButtonEndsTheWalk) {
    run.stopAfter = 2;
    run.generate(&TReportBuilders::GenerarTemporales);
    // The first two workers in hiring order; the applicants' pass does not start.
    EXPECT_EQ(rowsOf(*run.dtm.CdsEmpTemp, {"COD_EMPL", "COD_ESTA"}), (QStringList{"4009.00 | 1", "4003.00 | 3"}));
    EXPECT_TRUE(run.progressFinished);
    EXPECT_EQ(run.capture.reports.size(), 1u);
}

TEST_F(TemporaryStaff, AnErrorInTheWalkShowsNoReport) {
    run.failAfter = 3;
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarTemporales); }),
              QStringLiteral("Falla en el recorrido."));
    EXPECT_TRUE(run.progressFinished);
    EXPECT_TRUE(run.capture.reports.empty());
}

TEST_F(TemporaryStaff, AnEmptyPeriodShowsEmptyLists) {
    run.setPeriod(TDateTime::encodeDate(2024, 1, 1), TDateTime::encodeDate(2024, 2, 29));
    run.generate(&TReportBuilders::GenerarTemporales);
    EXPECT_TRUE(run.dtm.CdsEmpTemp->IsEmpty());
    EXPECT_EQ(run.recordsAnnounced, 0);
    EXPECT_TRUE(printed("Id").isEmpty());
    // February is in the first quarter.
    EXPECT_EQ(printed("ValTrimestre"), (QStringList{"1", "1"}));
}

} // namespace
