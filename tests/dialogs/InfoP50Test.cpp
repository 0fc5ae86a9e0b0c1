#include "TFrmInfoP50.h"
#include "TGauge.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A clock the test moves by hand.
struct FakeClock {
    double days = 46000.0;
    void advanceMs(double ms) { days += ms / 86400000.0; }
};

class InfoP50Test : public ::testing::Test {
protected:
    void SetUp() override {
        win.Ahora = [this] { return TDateTime(clock.days); };
    }
    void TearDown() override { win.close(); }

    QString text(const QLabel* l) const { return l->text(); }
    QColor bar() const { return win.GBarraDeAvance->ForeColor(); }

    FakeClock clock;
    TFrmInfoP50 win;
};

TEST_F(InfoP50Test, APassShowsTheWindowAndCountsItsItems) {
    win.Inicializar(5, true);
    EXPECT_TRUE(win.isVisible());
    EXPECT_EQ(text(win.LItemActual), QStringLiteral("0 de 5"));
    EXPECT_EQ(text(win.LNombreItemActual), QString());
    EXPECT_EQ(text(win.LNumeroDeErroresProducidos), QStringLiteral("0"));
    EXPECT_EQ(text(win.LUltimoTiempo), QStringLiteral("00m:00s:00ms"));
    EXPECT_EQ(text(win.LTiempoTranscurrido), QStringLiteral("0h:00m:00s"));
    EXPECT_FALSE(win.BSalir->isEnabled());
    EXPECT_TRUE(win.BDetenerProceso->isEnabled());
    EXPECT_TRUE(win.ContinuarProceso());
    EXPECT_EQ(win.GBarraDeAvance->MaxValue(), 5);
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 0);

    // The counter advances once per item from zero.
    win.NombreItemActual(QStringLiteral("Clase 1"));
    win.NombreItemActual(QStringLiteral("Clase 2"));
    win.NombreItemActual(QStringLiteral("Clase 3"));
    EXPECT_EQ(win.ItemActual(), 3);
    EXPECT_EQ(text(win.LItemActual), QStringLiteral("3 de 5"));
    EXPECT_EQ(text(win.LNombreItemActual), QStringLiteral("Clase 3"));
    win.NombreItemActual(QStringLiteral("Clase 9"), 9);
    EXPECT_EQ(text(win.LItemActual), QStringLiteral("9 de 5"));
    // A new pass counts from 0 again.
    win.Inicializar(2, false);
    EXPECT_EQ(text(win.LItemActual), QStringLiteral("0 de 2"));

    // An employee is shown by identification and name.
    win.Inicializar(2, true);
    win.EmpleadoActual(79123456.0, QStringLiteral("PÉREZ GÓMEZ ANA"));
    EXPECT_EQ(text(win.LNombreItemActual), QStringLiteral("79123456   PÉREZ GÓMEZ ANA"));
    EXPECT_EQ(win.ItemActual(), 1);
    win.EmpleadoActual(1020304050.5, QStringLiteral("ÑUSTES LUIS"), 7);
    EXPECT_EQ(text(win.LNombreItemActual), QStringLiteral("1020304051   ÑUSTES LUIS"));
    EXPECT_EQ(win.ItemActual(), 7);
    // An employee finished with a position moves the bar there; the same position again keeps it there.
    win.Inicializar(10, true);
    win.EmpleadoActualTerminado(7);
    win.EmpleadoActualTerminado();
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 8);
    win.EmpleadoActualTerminado(8);
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 8);
}

// The bar turns from green through yellow to red as the items finish, and blue when the pass ends.
TEST_F(InfoP50Test, TheBarGoesFromGreenThroughYellowToRedThenBlue) {
    win.Inicializar(4, true);
    EXPECT_EQ(bar(), QColor(Qt::green));
    for (int finished = 1; finished <= 6; ++finished) {
        const QColor before = bar();
        win.NombreItemActual(QStringLiteral("item"));
        win.ItemActualTerminado();
        EXPECT_GE(bar().red(), before.red()) << finished;
        EXPECT_LE(bar().green(), before.green()) << finished;
        if (finished == 2) {
            EXPECT_EQ(bar(), QColor(Qt::yellow)) << "half way";
        }
    }
    EXPECT_EQ(bar(), QColor(Qt::red)) << "past the count the bar stays red";
    win.Finalizar();
    EXPECT_EQ(bar(), QColor(Qt::blue));
    // A pass of no items has no steps to take.
    win.Inicializar(0, true);
    win.ItemActualTerminado();
    EXPECT_EQ(bar(), QColor(Qt::green));
}

TEST_F(InfoP50Test, TheTimesOfTheLastItemAndOfTheWholeRun) {
    win.Inicializar(3, true);
    win.NombreItemActual(QStringLiteral("uno"));
    clock.advanceMs(1250);
    win.ItemActualTerminado();
    EXPECT_EQ(text(win.LUltimoTiempo), QStringLiteral("0m:1s:250ms"));
    EXPECT_EQ(text(win.LTiempoTranscurrido), QStringLiteral("0h:00m:01s"));

    clock.advanceMs(500);
    win.NombreItemActual(QStringLiteral("dos"));
    clock.advanceMs(((1 * 60 + 5) * 60 + 7) * 1000.0);
    win.ItemActualTerminado();
    // Hours are dropped from the item time; minutes, seconds and milliseconds without leading zeros.
    EXPECT_EQ(text(win.LUltimoTiempo), QStringLiteral("5m:7s:0ms"));
    EXPECT_EQ(text(win.LTiempoTranscurrido), QStringLiteral("1h:05m:08s"));

    clock.advanceMs(1000);
    win.Finalizar();
    EXPECT_EQ(text(win.LTiempoTranscurrido), QStringLiteral("1h:05m:09s"));
    EXPECT_EQ(text(win.LMensajeDelProceso), QStringLiteral("PROCESO TERMINADO"));
    EXPECT_TRUE(win.BSalir->isEnabled());
    EXPECT_FALSE(win.BDetenerProceso->isEnabled());
}

TEST_F(InfoP50Test, ErrorsAreCountedAndAnEmptyOneOnlyClearsTheLabel) {
    win.Inicializar(3, true);
    win.NombreItemActual(QStringLiteral("Empleado 1"));
    win.UltimoError(QStringLiteral("sin contrato vigente"));
    EXPECT_EQ(text(win.LUltimoError), QStringLiteral("Empleado 1: sin contrato vigente"));
    EXPECT_EQ(text(win.LNumeroDeErroresProducidos), QStringLiteral("1"));
    win.UltimoError(QString());
    EXPECT_EQ(text(win.LUltimoError), QString());
    EXPECT_EQ(win.NumeroDeErroresProducidos(), 1);
    win.UltimoError(QStringLiteral("otro"));
    EXPECT_EQ(win.NumeroDeErroresProducidos(), 2);
    // A new pass without reset keeps the count; with reset it starts over.
    win.Inicializar(3, false);
    EXPECT_EQ(win.NumeroDeErroresProducidos(), 2);
    win.Inicializar(3, true);
    EXPECT_EQ(text(win.LNumeroDeErroresProducidos), QStringLiteral("0"));
}

TEST_F(InfoP50Test, StoppingFreezesTheMessageUntilANewResetPassAndLeavingCloses) {
    win.Inicializar(3, true);
    win.MensajeDelProceso(QStringLiteral("Leyendo empleados"));
    QTest::mouseClick(win.BDetenerProceso, Qt::LeftButton);
    EXPECT_FALSE(win.ContinuarProceso());
    EXPECT_EQ(text(win.LMensajeDelProceso), QStringLiteral("DETENIENDO EL PROCESO..."));
    win.MensajeDelProceso(QStringLiteral("Leyendo contratos"));
    EXPECT_EQ(text(win.LMensajeDelProceso), QStringLiteral("DETENIENDO EL PROCESO..."));
    win.Finalizar();
    EXPECT_EQ(text(win.LMensajeDelProceso), QStringLiteral("DETENIENDO EL PROCESO..."));
    EXPECT_TRUE(win.BSalir->isEnabled());

    win.Inicializar(3, false);
    EXPECT_FALSE(win.ContinuarProceso());
    win.Inicializar(3, true);
    EXPECT_TRUE(win.ContinuarProceso());
    win.MensajeDelProceso(QStringLiteral("Leyendo contratos"));
    EXPECT_EQ(text(win.LMensajeDelProceso), QStringLiteral("Leyendo contratos"));

    win.Finalizar();
    QTest::mouseClick(win.BSalir, Qt::LeftButton);
    EXPECT_FALSE(win.isVisible()) << "leaving closes the window";
}

TEST_F(InfoP50Test, AClickOnStopIsDeliveredByTheItemsOwnPump) {
    win.Inicializar(10, true);
    const QPoint centre = win.BDetenerProceso->rect().center();
    int processed = 0;
    for (int i = 1; i <= 10; ++i) {
        if (!win.ContinuarProceso())
            break;
        if (i == 3) {
            // The user clicks while the builder is busy: the click waits in the queue.
            QCoreApplication::postEvent(win.BDetenerProceso,
                                        new QMouseEvent(QEvent::MouseButtonPress, centre,
                                                        win.BDetenerProceso->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(win.BDetenerProceso,
                                        new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                        win.BDetenerProceso->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        }
        win.NombreItemActual(QStringLiteral("item %1").arg(i));
        ++processed;
        win.ItemActualTerminado();
    }
    EXPECT_EQ(processed, 3);
    EXPECT_FALSE(win.ContinuarProceso());
}

TEST_F(InfoP50Test, TheCompactWindowKeepsTheBarAndTheButtonsAndTogglesBack) {
    win.Inicializar(1, true);
    const int height = win.height();
    win.SBVerDetallesClick();
    EXPECT_FALSE(win.VerDetalles());
    EXPECT_FALSE(win.PSuperior->isVisible());
    EXPECT_FALSE(win.PSuperior1->isVisible());
    EXPECT_LT(win.height(), height);
    EXPECT_TRUE(win.GBarraDeAvance->isVisible());
    EXPECT_TRUE(win.BDetenerProceso->isVisible());
    EXPECT_LE(win.PInferior->geometry().bottom(), win.height());
    QTest::mouseClick(win.SBVerDetalles, Qt::LeftButton);
    EXPECT_TRUE(win.VerDetalles());
    EXPECT_EQ(win.height(), height);
    EXPECT_TRUE(win.PSuperior->isVisible());
}

} // namespace
