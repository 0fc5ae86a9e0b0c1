#include "TFrmInfoP50.h"
#include "TGauge.h"

#include <QApplication>
#include <QGroupBox>
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

TEST_F(InfoP50Test, InitialisingShowsTheWindowAndResetsEverything) {
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
    EXPECT_EQ(bar(), QColor(0, 255, 0));
    EXPECT_DOUBLE_EQ(win.PasosDeColor(), 102.0);
}

TEST_F(InfoP50Test, TheCounterAdvancesOncePerItemFromZero) {
    win.Inicializar(5, true);
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
}

TEST_F(InfoP50Test, AnEmployeeIsShownByIdentificationAndName) {
    win.Inicializar(2, true);
    win.EmpleadoActual(79123456.0, QStringLiteral("PÉREZ GÓMEZ ANA"));
    EXPECT_EQ(text(win.LNombreItemActual), QStringLiteral("79123456   PÉREZ GÓMEZ ANA"));
    EXPECT_EQ(win.ItemActual(), 1);
    win.EmpleadoActual(1020304050.5, QStringLiteral("ÑUSTES LUIS"), 7);
    EXPECT_EQ(text(win.LNombreItemActual), QStringLiteral("1020304051   ÑUSTES LUIS"));
    EXPECT_EQ(win.ItemActual(), 7);
}

struct ColourCase {
    const char* name;
    int items;
    int finished;
    QColor expected;
};

class InfoP50ColourTest : public InfoP50Test, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(InfoP50ColourTest, TheBarGoesFromGreenThroughYellowToRed) {
    const ColourCase& c = GetParam();
    win.Inicializar(c.items, true);
    for (int i = 0; i < c.finished; ++i) {
        win.NombreItemActual(QStringLiteral("item"));
        win.ItemActualTerminado();
    }
    EXPECT_EQ(bar(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, InfoP50ColourTest,
                         ::testing::Values(ColourCase{"NothingDone", 4, 0, QColor(0, 255, 0)},
                                           ColourCase{"QuarterAddsRed", 4, 1, QColor(127, 255, 0)},
                                           ColourCase{"ExactlyHalfStillAddsRed", 4, 2, QColor(255, 255, 0)},
                                           ColourCase{"PastHalfTakesGreen", 4, 3, QColor(255, 127, 0)},
                                           ColourCase{"AllDoneIsRed", 4, 4, QColor(255, 0, 0)},
                                           ColourCase{"MoreThanAllStaysRed", 4, 9, QColor(255, 0, 0)},
                                           ColourCase{"TwoItemsHalfWayIsYellow", 2, 1, QColor(255, 255, 0)},
                                           ColourCase{"OddCountNeverFullyRed", 3, 1, QColor(170, 255, 0)},
                                           ColourCase{"GreenNeverBelowZero", 3, 3, QColor(170, 0, 0)},
                                           ColourCase{"OneItemJumpsPastHalf", 1, 1, QColor(0, 0, 0)},
                                           ColourCase{"EmptyPassHasNoSteps", 0, 3, QColor(0, 255, 0)}),
                         [](const ::testing::TestParamInfo<ColourCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(InfoP50Test, TheColourStepsKeepTheirComponentsInRange) {
    win.Inicializar(3, true);
    for (int i = 0; i < 10; ++i)
        win.ItemActualTerminado();
    EXPECT_DOUBLE_EQ(win.ColorRojo(), 170.0);
    EXPECT_DOUBLE_EQ(win.ColorVerde(), 0.0);
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 3);
}

TEST_F(InfoP50Test, RedNeverPasses255WhileTheBarStaysInTheFirstHalf) {
    win.Inicializar(4, true);
    for (int i = 0; i < 5; ++i)
        win.EmpleadoActualTerminado(1);
    EXPECT_DOUBLE_EQ(win.ColorRojo(), 255.0);
    EXPECT_EQ(bar(), QColor(255, 255, 0));
}

TEST_F(InfoP50Test, EmployeeFinishedWithAPositionMovesTheBarThere) {
    win.Inicializar(10, true);
    win.EmpleadoActualTerminado(7);
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 7);
    EXPECT_EQ(win.GBarraDeAvance->PercentDone(), 70);
    // 0.7 of the way: the step went to green (255 - 51).
    EXPECT_EQ(bar(), QColor(0, 204, 0));
    win.EmpleadoActualTerminado();
    EXPECT_EQ(win.GBarraDeAvance->Progress(), 8);
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
    EXPECT_EQ(bar(), QColor(0, 0, 255));
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

TEST_F(InfoP50Test, StoppingFreezesTheMessageUntilANewResetPass) {
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

TEST_F(InfoP50Test, LeavingClosesTheWindow) {
    win.Inicializar(1, true);
    win.Finalizar();
    QTest::mouseClick(win.BSalir, Qt::LeftButton);
    EXPECT_FALSE(win.isVisible());
}

TEST_F(InfoP50Test, TogglingTheDetailsTwiceRestoresTheHeights) {
    win.Inicializar(1, true);
    const int height = win.height();
    const int frame = win.GBTiempos->height();
    win.SBVerDetallesClick();
    EXPECT_FALSE(win.VerDetalles());
    EXPECT_FALSE(win.PSuperior->isVisible());
    EXPECT_FALSE(win.PSuperior1->isVisible());
    EXPECT_EQ(win.height(), height - 89 - 26);
    EXPECT_EQ(win.GBTiempos->height(), frame - 26);
    EXPECT_TRUE(win.GBarraDeAvance->isVisible());
    EXPECT_TRUE(win.BDetenerProceso->isVisible());
    // The compact window keeps the gauge and the buttons inside it.
    EXPECT_LE(win.PInferior->geometry().bottom(), win.height());
    QTest::mouseClick(win.SBVerDetalles, Qt::LeftButton);
    EXPECT_TRUE(win.VerDetalles());
    EXPECT_EQ(win.height(), height);
    EXPECT_EQ(win.GBTiempos->height(), frame);
    EXPECT_TRUE(win.PSuperior->isVisible());
}

} // namespace
