// The accept handler: the validation rules in their order with their exact messages and the input that
// gets the focus, the result sets emptied first, the run values stored, and the dispatch to the chosen
// type's builder.
#include "FormFixture.h"
#include "GeneralError.h"
#include "HostFixture.h"
#include "ReportTypes.h"
#include "TDtmNmRtgen.h"
#include "TFrmNmRtgen.h"
#include "TRadioGroup.h"
#include "TReportBuilders.h"
#include "TReportRequest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

enum Focus { Stays, FecInic, FecFina, CodCuen };

struct ValidationRow {
    const char* name;
    int type;
    const char* start;
    const char* end;
    const char* account;
    const char* kinds;
    bool prototype;
    bool payrollClass;
    const char* message; // "" when the run passes without a builder (no type chosen)
    Focus focus;
};

const char* const kStartMsg = "Fecha inicial inválida. Revise por favor.";
const char* const kEndMsg = "Fecha final inválida. Revise por favor.";
const char* const kAccountMsg = "Debe ingresar una cuenta válida.";
const char* const kOrderMsg = "La fecha inicial no puede ser mayor a la fecha final.";
const char* const kKindMsg = "Debe seleccionar un tipo de nómina...";
const char* const kProtMsg = "Debe seleccionar un prototipo...";
const char* const kClassMsg = "No ha seleccionado ninguna Clase de Nómina para validar.";

const ValidationRow kRows[] = {
    {"impossible_start_date", 4, "31/02/2026", "31/03/2026", "", "", false, false, kStartMsg, FecInic},
    {"start_date_checked_before_end_date", 4, "x", "y", "", "", false, false, kStartMsg, FecInic},
    {"impossible_end_date", 4, "01/03/2026", "13/13/2026", "", "", false, false, kEndMsg, FecFina},
    {"type0_blank_account_before_date_order", 0, "31/03/2026", "01/03/2026", "", "", false, false,
     kAccountMsg, CodCuen},
    {"type0_account_of_blanks", 0, "01/03/2026", "31/03/2026", "   ", "N", true, true, kAccountMsg, CodCuen},
    {"type0_date_order_before_kinds", 0, "31/03/2026", "01/03/2026", "110505", "", false, false, kOrderMsg,
     Stays},
    {"type0_kinds_before_prototypes", 0, "01/03/2026", "31/03/2026", "110505", "", false, false, kKindMsg,
     Stays},
    {"type0_prototypes_before_classes", 0, "01/03/2026", "31/03/2026", "110505", "N", false, false, kProtMsg,
     Stays},
    {"type0_classes_last", 0, "01/03/2026", "31/03/2026", "110505", "NV", true, false, kClassMsg, Stays},
    {"type0_complete_reaches_its_builder", 0, "01/03/2026", "31/03/2026", " 110505 ", "A", true, true,
     "Conciliación de Nómina", Stays},
    {"type1_ignores_kinds_prototypes_and_classes", 1, "01/03/2026", "31/03/2026", "", "", false, false,
     "Requisición de Personal", Stays},
    {"type2_requires_a_class", 2, "01/03/2026", "31/03/2026", "", "", false, false, kClassMsg, Stays},
    {"type2_with_a_class", 2, "01/03/2026", "31/03/2026", "", "", false, true,
     "Ingresos, Retiros, Planta, Vacaciones", Stays},
    {"type3_requires_a_kind", 3, "01/03/2026", "31/03/2026", "", "", false, false, kKindMsg, Stays},
    {"type3_passes_with_an_empty_class_list", 3, "01/03/2026", "31/03/2026", "", "D", false, false,
     "Conciliación de Novedades", Stays},
    {"type4_equal_dates_pass", 4, "15/03/2026", "15/03/2026", "", "", false, false,
     "Valor Nómina Centro de Costos", Stays},
    {"type4_date_order", 4, "16/03/2026", "15/03/2026", "", "", false, false, kOrderMsg, Stays},
    {"type5_requires_a_prototype", 5, "01/03/2026", "31/03/2026", "", "", false, false, kProtMsg, Stays},
    {"type5_with_a_prototype", 5, "01/03/2026", "31/03/2026", "", "", true, false, "Comisiones Conductores",
     Stays},
    {"type6_kinds_before_prototype", 6, "01/03/2026", "31/03/2026", "", "", false, false, kKindMsg, Stays},
    {"type6_requires_a_prototype", 6, "01/03/2026", "31/03/2026", "", "X", false, false, kProtMsg, Stays},
    {"type6_complete", 6, "01/03/2026", "31/03/2026", "", "XP", true, false, "Factura Empresa Usuaria",
     Stays},
    {"type7_needs_only_the_period", 7, "01/03/2026", "31/03/2026", "", "", false, false, "Temporales", Stays},
    {"type8_needs_only_the_period", 8, "01/03/2026", "31/03/2026", "", "", false, false, "Parafiscales",
     Stays},
    {"type9_needs_only_the_period", 9, "01/03/2026", "31/03/2026", "", "", false, false,
     "Consolidado Vacaciones", Stays},
    {"type10_requires_a_kind", 10, "01/01/2026", "31/03/2026", "", "", false, false, kKindMsg, Stays},
    {"type10_complete", 10, "01/01/2026", "31/03/2026", "", "V", false, false, "Gestión Humana", Stays},
    {"none_chosen_still_checks_the_dates", -1, "01/03/2026", "32/03/2026", "", "", false, false, kEndMsg,
     FecFina},
    {"none_chosen_stores_the_dates_and_runs_nothing", -1, "01/03/2026", "31/03/2026", "", "", false, false,
     "", Stays},
};

bool isRuleMessage(const char* m) {
    for (const char* rule : {kStartMsg, kEndMsg, kAccountMsg, kOrderMsg, kKindMsg, kProtMsg, kClassMsg})
        if (m == rule)
            return true;
    return false;
}

TEST(Validation, StopsAtTheFirstFailedRule) {
    for (const ValidationRow& row : kRows) {
        SCOPED_TRACE(row.name);
        formtest::Form f;
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.frm.get()));
        f->activateWindow();
        QApplication::setActiveWindow(f.frm.get());

        if (row.type >= 0)
            f->RdgTipRepo->Button(row.type)->click();
        f->EdtFecInic->setText(QString::fromUtf8(row.start));
        f->EdtFecFina->setText(QString::fromUtf8(row.end));
        f->EdtCodCuen->setText(QString::fromUtf8(row.account));
        f->Request().MarcarTiposNomina(QString::fromLatin1(row.kinds));
        for (size_t i = 0; i < 7; ++i)
            f->ChkTipNom()[i]->setChecked(f->Request().TiposNomina[i]);
        if (row.prototype)
            f->Request().AgregarPrototipo(5);
        if (row.payrollClass)
            f->Request().AgregarClase(2);

        // A leftover of an earlier run, which the validation empties before anything else.
        TClientDataSet& reporte = *f.dtm->CdsReporte;
        reporte.Append();
        reporte.FieldByName(QStringLiteral("COD_CUEN")).SetAsString(QStringLiteral("LEFTOVER"));
        reporte.Post();

        QWidget* neutral = f->ChkTipNomV;
        neutral->setEnabled(true);
        neutral->setFocus();
        QApplication::processEvents();

        // The reconciliations ask for observations: answered as cancelled.
        f.answerObservations(QString());
        QString message = testsupport::errorOf([&] { f->BitBtnAceptaClick(); });
        if (message == QLatin1String("<sin error>"))
            message.clear();

        // A rule's message; nothing when the request passes and its builder runs (or no type was chosen).
        const bool rule = isRuleMessage(row.message), runsBuilder = !rule && *row.message;
        const QString expected = QString::fromUtf8(runsBuilder ? "" : row.message);
        // The fixture company configures no novelties, no levy positions and no prototype concepts: the
        // builder ran and said so.
        const bool saidUnconfigured =
            (row.type == 3 && message == QStringLiteral("No ha parametrizado novedades.")) ||
            (row.type == 8 && message == QStringLiteral("No ha parametrizado los cargos a consultar.")) ||
            ((row.type == 5 || row.type == 6) &&
             message == QStringLiteral("El prototipo seleccionado no tiene conceptos asociados, por favor verifique."));
        if (runsBuilder && saidUnconfigured)
            message.clear();
        EXPECT_EQ(message, expected);
        if (runsBuilder && !saidUnconfigured && message.isEmpty()) {
            EXPECT_EQ(f.capture.layouts.empty() ? QString() : f.capture.layouts.back(),
                      QString::fromLatin1(ReportTypeAt(row.type)->layout));
        }
        // Emptied by the validation; a builder that ran may have filled its own since.
        if (!(runsBuilder && row.type == 0)) {
            EXPECT_TRUE(reporte.IsEmpty());
        }
        EXPECT_FALSE(reporte.Locate(QStringLiteral("COD_CUEN"), {QStringLiteral("LEFTOVER")}));
        if (!(runsBuilder && row.type == 3)) {
            EXPECT_TRUE(f.dtm->CdsNomxPag->IsEmpty());
        }
        EXPECT_TRUE(f.dtm->CdsRqpReporte->IsEmpty());

        QWidget* const focusOf[] = {neutral, f->EdtFecInic, f->EdtFecFina, f->EdtCodCuen}; // by Focus
        QWidget* const focusExpected = focusOf[row.focus];
        // A run that asked for observations had a modal dialog up, which took the focus with it; one that
        // showed the progress window gives the focus back once its window is active again.
        QApplication::processEvents();
        if (f.observationDialogs == 0) {
            EXPECT_EQ(QApplication::focusWidget(), focusExpected)
                << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                                : "none");
        }

        // Inputs are kept whatever the outcome.
        EXPECT_EQ(f->EdtFecInic->text(), QString::fromUtf8(row.start));
        EXPECT_EQ(f->EdtCodCuen->text(), QString::fromUtf8(row.account));
    }
}

TEST(Validation, StoresThePeriodAndTheAccountOfTheRun) {
    formtest::Form f;
    f->RdgTipRepo->Button(0)->click();
    f->EdtFecInic->setText(QStringLiteral("01/02/2026"));
    f->EdtFecFina->setText(QStringLiteral("28/02/2026"));
    f->EdtCodCuen->setText(QStringLiteral("  510506 "));
    f->ChkTipNomN->setChecked(true);
    f->Request().AgregarPrototipo(3);
    f->Request().AgregarClase(1);
    f.answerObservations(QString());
    EXPECT_NO_THROW(f->BitBtnAceptaClick());
    ASSERT_EQ(f.capture.layouts.size(), 1u);
    EXPECT_EQ(f.capture.layouts.back(), QStringLiteral("frxRptRtgen"));
    EXPECT_EQ(f->Request().gDtFecInic, TDateTime::encodeDate(2026, 2, 1));
    EXPECT_EQ(f->Request().gDtFecFina, TDateTime::encodeDate(2026, 2, 28));
    EXPECT_EQ(f.dtm->gStCodCuen, QStringLiteral("510506"));
}

TEST(Validation, TheAcceptButtonShowsTheMessageAndKeepsTheFormUsable) {
    hostfixture::MessageRecorder log;
    formtest::Form f;
    f->RdgTipRepo->Button(2)->click();
    f->EdtFecInic->setText(QStringLiteral("01/03/2026"));
    f->EdtFecFina->setText(QStringLiteral("31/03/2026"));
    f->BitBtnAcepta->click();
    f->Request().AgregarClase(1);
    f->BitBtnAcepta->click();
    // The message, then a run: the form took the mended input.
    EXPECT_EQ(log.texts(), QStringList{QString::fromUtf8(kClassMsg)});
    EXPECT_EQ(f.capture.layouts, std::vector<QString>{QStringLiteral("frxRptIngr")});
}

} // namespace
