#include "TInfoP50Progress.h"

#include "TFrmInfoP50.h"

#include <QApplication>

TInfoP50Progress::TInfoP50Progress(QWidget* owner)
    : m_focus(QApplication::focusWidget()), m_window(std::make_unique<TFrmInfoP50>(owner)) {
    m_window->show();
}

TInfoP50Progress::~TInfoP50Progress() {
    m_window.reset();
    if (m_focus) {
        m_focus->activateWindow();
        m_focus->setFocus();
    }
}

void TInfoP50Progress::Inicializar(int pCantidadDeRegistros, bool pResetAll) {
    m_window->Inicializar(pCantidadDeRegistros, pResetAll);
}
void TInfoP50Progress::MensajeDelProceso(const QString& Value) {
    m_window->MensajeDelProceso(Value);
}
void TInfoP50Progress::NombreItemActual(const QString& Value) {
    m_window->NombreItemActual(Value);
}
void TInfoP50Progress::EmpleadoActual(double pIdentificacion, const QString& pNombre) {
    m_window->EmpleadoActual(pIdentificacion, pNombre);
}
void TInfoP50Progress::ItemActualTerminado() {
    m_window->ItemActualTerminado();
}
void TInfoP50Progress::EmpleadoActualTerminado() {
    m_window->EmpleadoActualTerminado();
}
void TInfoP50Progress::UltimoError(const QString& Value) {
    m_window->UltimoError(Value);
}
void TInfoP50Progress::Finalizar() {
    m_window->Finalizar();
}
bool TInfoP50Progress::ContinuarProceso() const {
    return m_window->ContinuarProceso();
}
