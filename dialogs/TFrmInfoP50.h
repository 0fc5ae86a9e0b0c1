// TFrmInfoP50: the progress window of a long report run. The builder drives it from the user-interface
// thread (Inicializar per pass, NombreItemActual/EmpleadoActual and ItemActualTerminado/
// EmpleadoActualTerminado per record, Finalizar at the end) and polls ContinuarProceso between records.
// The window stays responsive only because Inicializar and NombreItemActual pump the event queue: that is
// where a click on "Detener Proceso" is delivered. Labels are repainted at once when they change, since
// the builder keeps the thread busy.
//
// The bar colour runs from green (0,255,0) through yellow to red: each finished item adds FPasosDeColor
// (255 / (N / 2)) to the red component while the bar is at most half full, then takes it from the green
// one; both stay within 0..255. Finalizar turns the bar blue.
#pragma once

#include "TDateTime.h"

#include <QDialog>
#include <QString>
#include <functional>

class QGroupBox;
class QLabel;
class QToolButton;
class TGauge;

class TFrmInfoP50 : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInfoP50(QWidget* owner = nullptr);

    bool ContinuarProceso() const { return FContinuarProceso; }
    void SetContinuarProceso(bool value) { FContinuarProceso = value; }

    void Inicializar(int pCantidadDeRegistros, bool pResetAll);
    void MensajeDelProceso(const QString& Value);
    void NombreItemActual(const QString& Value);
    void NombreItemActual(const QString& Value, int pInRegActu);
    void EmpleadoActual(double pIdentificacion, const QString& pNombre);
    void EmpleadoActual(double pIdentificacion, const QString& pNombre, int pInRegActu);
    void ItemActualTerminado();
    void EmpleadoActualTerminado();
    void EmpleadoActualTerminado(int pInRegActu);
    void UltimoError(const QString& Value);
    void Finalizar();

    void BDetenerProcesoClick();
    void BSalirClick();
    void SBVerDetallesClick();

    // State read by tests and callers.
    int ItemActual() const { return FItemActual; }
    int ItemsAProcesar() const { return FItemsAProcesar; }
    int NumeroDeErroresProducidos() const { return FNumeroDeErroresProducidos; }
    bool VerDetalles() const { return FVerDetalles; }
    double ColorRojo() const { return FColorRojo; }
    double ColorVerde() const { return FColorVerde; }
    double PasosDeColor() const { return FPasosDeColor; }

    // The clock of the time labels (tests replace it).
    std::function<TDateTime()> Ahora = [] { return TDateTime::now(); };

    // Controls (names as the window's design gives them).
    QWidget* PSuperior = nullptr;
    QLabel* LNombreItemActual = nullptr;
    QLabel* LItemActual = nullptr;
    QLabel* LMensajeDelProceso = nullptr;
    QLabel* LUltimoError = nullptr;
    QLabel* LNumeroDeErroresProducidos = nullptr;
    QGroupBox* GBTiempos = nullptr;
    QWidget* PSuperior1 = nullptr;
    QLabel* LUltimoTiempo = nullptr;
    QLabel* LTiempoTranscurrido = nullptr;
    QWidget* PInferior1 = nullptr;
    TGauge* GBarraDeAvance = nullptr;
    QWidget* PInferior = nullptr;
    QToolButton* SBVerDetalles = nullptr;
    QToolButton* BDetenerProceso = nullptr;
    QToolButton* BSalir = nullptr;

private:
    void FormCreate();
    void setItemActual(int n);
    void setNumeroDeErrores(int n);
    void actualizarTiempos();
    void pasoDeColor();
    void relayout();

    bool FContinuarProceso = true;
    int FItemActual = 0;
    int FItemsAProcesar = 0;
    bool FHoraDeInicioTransAsignada = false;
    TDateTime FHoraDeInicioTrans;
    TDateTime FHoraDeInicioItem;
    int FNumeroDeErroresProducidos = 0;
    bool FVerDetalles = true;
    double FColorRojo = 0;
    double FColorVerde = 255;
    double FPasosDeColor = 0;
};
