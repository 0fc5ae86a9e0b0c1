// Pictures of every window of the dialogs and the host frame, taken offscreen into VNMRTGEN_SHOTS_DIR
// (default /tmp/vn-shots) for a person to look at, with the checks a picture makes possible: no label
// text is cut by its own box or runs into a neighbour.
#include "HostFixture.h"
#include "TCaptura.h"
#include "TFrmFormaProcesos.h"
#include "TFrmInfoP50.h"
#include "TVNotas.h"
#include "TVestraDBgrid.h"
#include "Ugnproce.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

QString shotsDir() {
    const QString dir = qEnvironmentVariableIsSet("VNMRTGEN_SHOTS_DIR")
                            ? qEnvironmentVariable("VNMRTGEN_SHOTS_DIR")
                            : QStringLiteral("/tmp/vn-shots");
    QDir().mkpath(dir);
    return dir;
}

// Every visible one-line label shows its whole text and does not run into a sibling.
void expectTidyLabels(QWidget* root) {
    const auto labels = root->findChildren<QLabel*>();
    for (QLabel* l : labels) {
        if (!l->isVisibleTo(root) || l->text().isEmpty() || l->wordWrap() || !l->pixmap().isNull())
            continue;
        const int needed = l->fontMetrics().horizontalAdvance(l->text()) + l->margin() * 2;
        EXPECT_LE(needed, l->contentsRect().width()) << "cut: " << l->text().toStdString();
        const QRect used(l->pos(), QSize(needed, l->height()));
        for (QWidget* other : l->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == l || !other->isVisibleTo(root))
                continue;
            EXPECT_FALSE(used.intersects(other->geometry()))
                << "overlap: " << l->text().toStdString() << " / " << other->objectName().toStdString();
        }
    }
}

// Checks the labels of a window as it shows now and keeps its picture.
void shoot(QWidget* w, const QString& name) {
    QApplication::processEvents();
    expectTidyLabels(w);
    const QPixmap pix = w->grab();
    ASSERT_FALSE(pix.isNull());
    EXPECT_TRUE(pix.save(QDir(shotsDir()).filePath(name)));
}

TEST(ShotsTest, LookupDialogWithRows) {
    auto connection = hostfixture::openConnection();
    TVPField field;
    field.Connection = connection.get();
    field.SQL = {QStringLiteral(" SELECT COD_TNOM, NOM_TNOM  FROM NM_TNOMI  WHERE (COD_EMPR = 1) ")};
    field.Variables = {QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM")};
    field.Titulo = QStringLiteral(" Lista de Clases de Nómina");
    field.Titulos = {QStringLiteral("Código"), QStringLiteral("Nombre")};
    hostfixture::onModal(QStringLiteral("Captura"), [](QWidget* w) {
        auto& d = static_cast<TCaptura&>(*w);
        d.DBGrid1->setCurrentIndex(d.DBGrid1->model()->index(2, 1));
        hostfixture::typeText(d.edtValor, QStringLiteral("Nómina"));
        shoot(&d, QStringLiteral("captura.png"));
        d.reject();
    });
    CapturaReducida(field);
    LiberarCaptura();
}

TEST(ShotsTest, ProgressWindowMidProcess) {
    TFrmInfoP50 win;
    win.Inicializar(12, true);
    const char* names[] = {"PÉREZ GÓMEZ ANA MARÍA", "ÑUSTES ROJAS LUIS", "CASTAÑO DÍAZ JULIÁN",
                           "OSORIO PEÑA SOFÍA", "RAMÍREZ LÓPEZ ANDRÉS"};
    double id = 79123450;
    for (const char* n : names) {
        win.MensajeDelProceso(QStringLiteral("Liquidando empleados temporales"));
        win.EmpleadoActual(id++, QString::fromUtf8(n));
        win.EmpleadoActualTerminado();
    }
    win.UltimoError(
        QStringLiteral("sin contrato vigente en el periodo; se omite su liquidación de parafiscales"));
    win.EmpleadoActual(id, QStringLiteral("VARGAS ÁVILA CAMILA"));
    shoot(&win, QStringLiteral("infop50.png"));
    win.SBVerDetallesClick();
    shoot(&win, QStringLiteral("infop50-compacta.png"));
    win.close();
}

TEST(ShotsTest, ProcessFormFrame) {
    using namespace Ugnproce;
    gStProtocolo = QStringLiteral("sqlite");
    gStParSrv = hostfixture::databasePath();
    gStParEmp = QStringLiteral("1");
    TFrmFormaProcesos form;
    form.setWindowTitle(QStringLiteral("GESTIÓN Y ADMÓN. DE REC. HUMANOS - Nómina - Reportes Gerenciales"));
    form.NotasVestra->SetTituloForma(QStringLiteral("Reportes Gerenciales"));
    form.NotasVestra->SetForma(QStringLiteral("FrmNmRtgen"));
    auto* placeholder = new QLabel(QStringLiteral("Área del formulario derivado"), form.clientArea());
    placeholder->move(20, 20);
    form.FormCreate();
    form.CambiarTamano(720, 520);
    form.show();
    shoot(&form, QStringLiteral("forma-procesos.png"));
}

} // namespace
