// Report type 10 on companies 7 and 8 of the fixture (PayrollFixture.cpp), final date 29 February 2028: the
// current window is February 2028, the previous one 1 to 28 February 2027. Headcount by class, sex and civil
// status; signed payroll cost of the checked kinds only; contributions and levies of the "GH" classes.
#include "PayrollFixture.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace reportfixture;

namespace {

class HumanManagement : public ::testing::Test {
protected:
    void SetUp() override { run.setPeriod(TDateTime::encodeDate(2028, 1, 1), TDateTime::encodeDate(2028, 2, 29)); }
    QStringList headcount() {
        return rowsOf(*run.dtm.CdsGH, {"COD_EMPR", "NOM_TNOM", "SEX_EMPL", "EST_CIVI", "CONTEO", "TOT_EMPL", "DtfNmbSexo",
                                       "DtfEstCivi", "DtfPorCent"});
    }
    QStringList cost() {
        return rowsOf(*run.dtm.CdsCmpTotNomi,
                      {"COD_EMPR", "ANO_PROC", "MES_PROC", "NOM_TNOM", "TIP_NOMI", "VAL_ACUM", "DtfNmbMes", "DtfNmbTnom"});
    }
    QStringList contributions() {
        return rowsOf(*run.dtm.CdsSeguridadSocial,
                      {"COD_EMPR", "ANO_PROC", "MES_PROC", "NOM_MESP", "NOM_TNOM", "TOT_SALU", "TOT_PENS", "TOT_PARP"});
    }
    QStringList levies() {
        return rowsOf(*run.dtm.CdsPrfsGH, {"COD_EMPR", "ANO_PROC", "MES_PROC", "NOM_TNOM", "COD_PROV", "NOM_PROV", "VAL_LIQU"});
    }
    ReportRun run{sqliteParams()};
};

TEST_F(HumanManagement, FourSectionsOverEveryCompany) {
    run.generate(&TReportBuilders::GenerarGestionHumana);
    // Class names are each company's own. 7004 (no civil status) and 7008 (a blank one) share a key; 7005
    // (inactive) and 7006 (class outside "GH") are not counted; 7007's status letter has no name.
    EXPECT_EQ(headcount(), (QStringList{"7 | QUINCENAL | F | S | 2 | 6 | F | SOLTERO | 33.33",
                                        "7 | QUINCENAL | M | C | 1 | 6 | M | CASADO | 16.67",
                                        "7 | MENSUAL | F | X | 1 | 6 | F | NULL | 16.67",
                                        "7 | MENSUAL | M | NULL | 2 | 6 | M | OTRO | 33.33",
                                        "8 | SEMANAL | M | U | 1 | 2 | M | UNION LIBRE | 50.00",
                                        "8 | DIRECTIVOS | F | V | 1 | 2 | F | VIUDO | 50.00"}));
    // Kind N only; every class; deductions negative, provisions nothing; both last days whole.
    EXPECT_EQ(cost(), (QStringList{"7 | 2027 | 2 | QUINCENAL | N | 900000.00 | FEBRERO DE 2027 | NORMAL",
                                   "7 | 2028 | 2 | QUINCENAL | N | 800000.00 | FEBRERO DE 2028 | NORMAL",
                                   "7 | 2028 | 2 | PENSIONADOS | N | 400000.00 | FEBRERO DE 2028 | NORMAL",
                                   "8 | 2027 | 2 | SEMANAL | N | -100000.00 | FEBRERO DE 2027 | NORMAL",
                                   "8 | 2028 | 2 | SEMANAL | N | 700000.00 | FEBRERO DE 2028 | NORMAL"}));
    // The previous year's pass first, then the current one.
    EXPECT_EQ(contributions(), (QStringList{"7 | 2027 | 2 | FEBRERO DE 2027 | QUINCENAL | 15.00 | 19.00 | 1.00",
                                            "8 | 2027 | 2 | FEBRERO DE 2027 | DIRECTIVOS | 23.00 | 27.00 | 2.00",
                                            "7 | 2028 | 2 | FEBRERO DE 2028 | QUINCENAL | 30.00 | 70.00 | 5.00",
                                            "7 | 2028 | 2 | FEBRERO DE 2028 | MENSUAL | 3.00 | 7.00 | 0.50"}));
    // By year, month, class and entity (company 8's entity 10 after company 7's); entity 30 is inactive.
    EXPECT_EQ(levies(), (QStringList{"7 | 2027 | 2 | QUINCENAL | 10 | SENA | 800.00", "7 | 2028 | 2 | QUINCENAL | 10 | SENA | 1500.00",
                                     "8 | 2028 | 2 | SEMANAL | 10 | CAJA BETA | 600.00",
                                     "7 | 2028 | 2 | QUINCENAL | 20 | ICBF | 700.00"}));
    EXPECT_EQ(run.recordsAnnounced, 7 + 2 + 2 + 1 + 3 + 2 + 3);
    EXPECT_TRUE(run.progressFinished);

    const QStringList printed = printedTexts(run.lastReport()).replaceInStrings(QStringLiteral("\n"), QStringLiteral(" "));
    for (const char* title : {"BALANCE SOCIAL", "COSTO DE LA NÓMINA", "SEGURIDAD SOCIAL", "PARAFISCALES"})
        EXPECT_EQ(printed.filter(QStringLiteral(": ") + QString::fromUtf8(title)).size(), 1) << title;
    const auto texts = [&](const QString& t) { return printed.filter(QRegularExpression(QStringLiteral(": ") + t + QLatin1Char('$'))).size(); };
    EXPECT_GE(texts(QStringLiteral("SOLTERO")), 1);
    EXPECT_EQ(texts(QStringLiteral("SOLERO")), 0);
    EXPECT_GE(texts(QStringLiteral("TOTAL FEBRERO DE 2028")), 1);
    EXPECT_GE(texts(QStringLiteral("\\$ 1\\.500,00")), 1);

    // The same run again gives the same figures; checking kind V adds its row to the payroll cost only.
    run.values.TiposNomina = QStringLiteral("NV");
    run.generate(&TReportBuilders::GenerarGestionHumana);
    EXPECT_EQ(headcount().size(), 6);
    EXPECT_EQ(cost().value(2), QStringLiteral("7 | 2028 | 2 | QUINCENAL | V | 300000.00 | FEBRERO DE 2028 | VACACIONES"));
    EXPECT_EQ(contributions().size(), 4);
    EXPECT_EQ(levies().size(), 4);
}

TEST_F(HumanManagement, TheStopButtonEndsOnePass) {
    run.stopAfter = 1;
    run.generate(&TReportBuilders::GenerarGestionHumana);
    // Every pass merged its first row.
    EXPECT_EQ(headcount(), QStringList{"7 | QUINCENAL | F | S | 2 | 6 | F | SOLTERO | 33.33"});
    EXPECT_EQ(contributions().size(), 2);
    EXPECT_EQ(levies(), (QStringList{"7 | 2027 | 2 | QUINCENAL | 10 | SENA | 800.00", "7 | 2028 | 2 | QUINCENAL | 10 | SENA | 1500.00"}));
    EXPECT_EQ(cost().size(), 2);
    EXPECT_EQ(run.capture.reports.size(), 1u);
}

TEST_F(HumanManagement, AnErrorInAPassShowsWhatWasGathered) {
    run.failAfter = 3;
    EXPECT_EQ(testsupport::errorOf([&] { run.generate(&TReportBuilders::GenerarGestionHumana); }),
              QStringLiteral("Falla en el recorrido."));
    EXPECT_EQ(headcount().size(), 2);
    EXPECT_TRUE(run.dtm.CdsSeguridadSocial->IsEmpty());
    EXPECT_TRUE(run.progressFinished);
    EXPECT_EQ(run.capture.reports.size(), 1u);
}

} // namespace
