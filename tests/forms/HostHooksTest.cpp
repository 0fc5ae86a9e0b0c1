// What the form hands to a run: the observations dialog, the progress window of long runs, and the values
// the printed report shows.
#include "FormFixture.h"
#include "GeneralError.h"
#include "TDtmNmRtrep.h"
#include "TFrmInfoP50.h"
#include "TFrmNmRtgen.h"
#include "TFrmObserva.h"
#include "TGauge.h"
#include "TInfoP50Progress.h"
#include "TRadioGroup.h"
#include "TReportRequest.h"
#include "Ugnproce.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

TEST(HostHooks, TheBuildersAskForObservationsInTheObservationsDialog) {
    formtest::Form f;
    f.answerObservations(QStringLiteral("Cierre de marzo\nrevisado"));
    EXPECT_EQ(f->PedirObservaciones(), QStringLiteral("Cierre de marzo\nrevisado"));
    EXPECT_EQ(f.observationDialogs, 1);
    f.answerObservations(QString());
    EXPECT_EQ(f->PedirObservaciones(), QString());
    EXPECT_EQ(f.observationDialogs, 2);
}

TEST(HostHooks, LongRunsShowTheProgressWindow) {
    formtest::Form f;
    std::unique_ptr<TProcessProgress> progress = f->CrearProgreso();
    auto* window = dynamic_cast<TInfoP50Progress*>(progress.get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Window().isVisible());
    progress->Inicializar(4, true);
    for (const char* item : {"Empresa usuaria 1", "Empresa usuaria 2"}) {
        progress->NombreItemActual(QString::fromLatin1(item));
        progress->ItemActualTerminado();
    }
    EXPECT_EQ(window->Window().ItemActual(), 2);
    EXPECT_EQ(window->Window().ItemsAProcesar(), 4);
    EXPECT_TRUE(progress->ContinuarProceso());
    window->Window().BDetenerProcesoClick();
    EXPECT_FALSE(progress->ContinuarProceso());
}

// The run the accept button starts carries the validated period and the signing user into the printed
// report.
TEST(HostHooks, TheReportPrintsTheValidatedRun) {
    formtest::Form f;
    Ugnproce::gStCodiUsua = QStringLiteral("JPEREZ");
    f->RdgTipRepo->Button(4)->click();
    f->EdtFecInic->setText(QStringLiteral("01/02/2026"));
    f->EdtFecFina->setText(QStringLiteral("28/02/2026"));
    f->BitBtnAceptaClick();
    ASSERT_EQ(f.capture.reports.size(), 1u);
    QStringList texts;
    for (const auto& page : f.capture.reports.back().pages)
        for (const auto& item : page.items)
            if (const auto* t = std::get_if<report::TextItem>(&item))
                texts << t->plainText();
    const QString all = texts.join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("01/02/2026"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("28/02/2026"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("JPEREZ"))) << all.toStdString();
    // Without a user code from the host, the user of the load signs.
    Ugnproce::gStCodiUsua.clear();
    Ugnproce::gStParUsu = QStringLiteral("admin");
    EXPECT_EQ(f->CodiUsua(), QStringLiteral("admin"));
    Ugnproce::gStCodiUsua = QStringLiteral("PRUEBAS");
}

} // namespace
