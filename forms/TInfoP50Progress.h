// TInfoP50Progress: the desktop's progress display of a long report run: the process progress window
// (TFrmInfoP50), shown non-modally over the form for as long as the run lasts. When it closes, the focus
// goes back to the control that had it before the run.
#pragma once

#include "TProcessProgress.h"

#include <QPointer>
#include <memory>

class QWidget;
class TFrmInfoP50;

class TInfoP50Progress : public TProcessProgress {
public:
    explicit TInfoP50Progress(QWidget* owner);
    ~TInfoP50Progress() override;

    void Inicializar(int pCantidadDeRegistros, bool pResetAll) override;
    void MensajeDelProceso(const QString& Value) override;
    void NombreItemActual(const QString& Value) override;
    void EmpleadoActual(double pIdentificacion, const QString& pNombre) override;
    void ItemActualTerminado() override;
    void EmpleadoActualTerminado() override;
    void UltimoError(const QString& Value) override;
    void Finalizar() override;
    bool ContinuarProceso() const override;

    TFrmInfoP50& Window() const { return *m_window; }

private:
    QPointer<QWidget> m_focus;
    std::unique_ptr<TFrmInfoP50> m_window;
};
