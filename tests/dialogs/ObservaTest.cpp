#include "HostFixture.h"
#include "TFrmObserva.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(ObservaTest, AcceptingKeepsEveryLineOfTheMemo) {
    const QString typed = QStringLiteral("Revisar novedades de marzo.\nAjuste por incapacidad de Ñáñez.");
    QString result;
    hostfixture::onModal(QStringLiteral("FrmObserva"), [&](QWidget* w) {
        auto* dlg = static_cast<TFrmObserva*>(w);
        QTest::keyClicks(dlg->MmoObserva, QStringLiteral("Revisar novedades de marzo."));
        // Enter in the memo is a line break, not the default button.
        QTest::keyClick(dlg->MmoObserva, Qt::Key_Return);
        EXPECT_TRUE(dlg->isVisible());
        hostfixture::typeText(dlg->MmoObserva, QStringLiteral("Ajuste por incapacidad de Ñáñez."));
        QTest::mouseClick(dlg->BitBtnAceptar, Qt::LeftButton);
    });
    result = PedirObservaciones(nullptr);
    EXPECT_EQ(result, typed);
}

TEST(ObservaTest, AcceptingAnEmptyMemoGivesTheEmptyText) {
    TFrmObserva dlg;
    dlg.SetObservacion(QStringLiteral("anterior"));
    dlg.open();
    dlg.BitBtnAceptar->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Observacion(), QString());
}

TEST(ObservaTest, ClosingTheWindowOtherwiseGivesNoObservation) {
    hostfixture::onModal(QStringLiteral("FrmObserva"), [](QWidget* w) {
        auto* dlg = static_cast<TFrmObserva*>(w);
        QTest::keyClicks(dlg->MmoObserva, QStringLiteral("no se acepta"));
        dlg->close();
    });
    EXPECT_EQ(PedirObservaciones(nullptr), QString());
}

} // namespace
