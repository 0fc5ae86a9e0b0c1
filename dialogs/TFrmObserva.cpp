#include "TFrmObserva.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

TFrmObserva::TFrmObserva(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FrmObserva"));
    setWindowTitle(QStringLiteral("Observaciones"));
    // Single fixed border with the system menu only: no minimise, maximise or help buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    setFixedSize(434, 298);

    GroupBox1 = new QGroupBox(QStringLiteral(" Observaciones "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 417, 249);
    MmoObserva = new QPlainTextEdit(GroupBox1);
    MmoObserva->setObjectName(QStringLiteral("MmoObserva"));
    MmoObserva->setGeometry(8, 22, 401, 217);
    MmoObserva->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    BitBtnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    BitBtnAceptar->setObjectName(QStringLiteral("BitBtnAceptar"));
    BitBtnAceptar->setGeometry(180, 262, 75, 27);
    BitBtnAceptar->setDefault(true);
    BitBtnAceptar->setAutoDefault(true);
    connect(BitBtnAceptar, &QPushButton::clicked, this, &TFrmObserva::BitBtnAceptarClick);
    MmoObserva->setFocus();
}

void TFrmObserva::BitBtnAceptarClick() {
    gStObservacion = MmoObserva->toPlainText();
    accept();
}

QString PedirObservaciones(QWidget* owner) {
    TFrmObserva dialog(owner);
    return dialog.exec() == QDialog::Accepted ? dialog.Observacion() : QString();
}
