// What the form hands to the builders and the report module: the observations dialog, the progress
// window of long runs, and the report variables of the run.
#include "FormFixture.h"
#include "GeneralError.h"
#include "TDtmNmRtrep.h"
#include "TFrmInfoP50.h"
#include "TFrmNmRtgen.h"
#include "TFrmObserva.h"
#include "TGauge.h"
#include "TInfoP50Progress.h"
#include "TRadioGroup.h"
#include "TReportBuilders.h"
#include "TReportRequest.h"
#include "TVNotas.h"
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

// Answers the observations dialog once it is up: types text and accepts, or closes it when text is null.
void answerObservations(const QString& text, int* seen) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, text, seen] {
        auto* dialog = qobject_cast<TFrmObserva*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        ++*seen;
        if (text.isNull()) {
            dialog->reject();
        } else {
            dialog->MmoObserva->setPlainText(text);
            dialog->BitBtnAceptar->click();
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

TEST(HostHooks, TheBuildersAskForObservationsInTheObservationsDialog) {
    formtest::Form f;
    int seen = 0;
    answerObservations(QStringLiteral("Cierre de marzo\nrevisado"), &seen);
    EXPECT_EQ(f->Builders().PedirObservaciones(), QStringLiteral("Cierre de marzo\nrevisado"));
    EXPECT_EQ(seen, 1);
    answerObservations(QString(), &seen);
    EXPECT_EQ(f->Builders().PedirObservaciones(), QString());
    EXPECT_EQ(seen, 2);
}

TEST(HostHooks, LongRunsShowTheProgressWindow) {
    formtest::Form f;
    std::unique_ptr<TProcessProgress> progress = f->Builders().CrearProgreso();
    auto* window = dynamic_cast<TInfoP50Progress*>(progress.get());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Window().isVisible());
    progress->Inicializar(4, true);
    for (const char* item : {"Empresa usuaria 1", "Empresa usuaria 2"}) {
        progress->NombreItemActual(QString::fromLatin1(item));
        progress->ItemActualTerminado();
    }
    EXPECT_EQ(window->Window().ItemActual(), 2);
    EXPECT_EQ(window->Window().GBarraDeAvance->Progress(), 2);
    EXPECT_EQ(window->Window().ItemsAProcesar(), 4);
    EXPECT_TRUE(progress->ContinuarProceso());
    window->Window().BDetenerProcesoClick();
    EXPECT_FALSE(progress->ContinuarProceso());
}

TEST(HostHooks, TheReportVariablesFollowTheValidatedRun) {
    formtest::Form f;
    Ugnproce::gStCodiUsua = QStringLiteral("JPEREZ");
    f->RdgTipRepo->Button(7)->click();
    f->EdtFecInic->setText(QStringLiteral("01/02/2026"));
    f->EdtFecFina->setText(QStringLiteral("28/02/2026"));
    EXPECT_THROW(f->BitBtnAceptaClick(), GeneralError); // no builder in this version
    QVariant value;
    ASSERT_TRUE(f.rep->frxRptRtgenGetValue(QStringLiteral("gStCodUsua"), value));
    EXPECT_EQ(value.toString(), QStringLiteral("JPEREZ"));
    ASSERT_TRUE(f.rep->frxRptRtgenGetValue(QStringLiteral("gDtFecInic"), value));
    EXPECT_EQ(value.toDateTime().date(), QDate(2026, 2, 1));
    ASSERT_TRUE(f.rep->frxRptRtgenGetValue(QStringLiteral("gDtFecFina"), value));
    EXPECT_EQ(value.toDateTime().date(), QDate(2026, 2, 28));
}

TEST(HostHooks, WithoutAUserCodeFromTheHostTheLoadsUserSigns) {
    formtest::Form f;
    Ugnproce::gStCodiUsua.clear();
    Ugnproce::gStParUsu = QStringLiteral("admin");
    EXPECT_EQ(f->CodiUsua(), QStringLiteral("admin"));
    Ugnproce::gStCodiUsua = QStringLiteral("PRUEBAS");
    EXPECT_EQ(f->CodiUsua(), QStringLiteral("PRUEBAS"));
}

TEST(HostHooks, TheNotesBarNamesTheForm) {
    formtest::Form f;
    EXPECT_EQ(f->NotasVestra->TituloForma(), QStringLiteral("Reportes Gerenciales"));
    EXPECT_EQ(f->NotasVestra->Forma(), QStringLiteral("FrmNmRtgen"));
    EXPECT_EQ(f->objectName(), QStringLiteral("FrmNmRtgen"));
    EXPECT_EQ(f->size(), QSize(662, 674));
    EXPECT_EQ(Ugnproce::gStNombProg, QStringLiteral("VNmRtgen"));
}

} // namespace
