// TFrmObserva: the observations dialog: the user types a free text that a report prints under
// "OBSERVACIONES:". Accepting stores the memo's whole text (line breaks kept) in gStObservacion; closing
// the window otherwise rejects it and leaves gStObservacion as it was.
#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

class TFrmObserva : public QDialog {
    Q_OBJECT
public:
    explicit TFrmObserva(QWidget* owner = nullptr);

    QString gStObservacion;
    QString Observacion() const { return gStObservacion; }
    void SetObservacion(const QString& text) { gStObservacion = text; }

    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* MmoObserva = nullptr;
    QPushButton* BitBtnAceptar = nullptr;

    void BitBtnAceptarClick();
};

// A builder's use of the dialog: shows a new one modally over owner and returns the accepted text, or the
// empty text when the user closed it otherwise.
QString PedirObservaciones(QWidget* owner);
