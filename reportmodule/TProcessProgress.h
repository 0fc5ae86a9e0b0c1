// TProcessProgress: what a long-running builder (report types 6, 7 and 10) tells about its progress and
// how it learns that the user wants it to stop. The operations are those of the process progress window
// (TFrmInfoP50), so a builder reads the same whoever watches it: the desktop shows that window, the batch
// command draws a bar on the terminal, tests count the calls.
//
// Contract: Inicializar starts a pass over count records; each record is announced (NombreItemActual or
// EmpleadoActual) and finished (ItemActualTerminado or EmpleadoActualTerminado); the builder polls
// ContinuarProceso between records and stops when it turns false; Finalizar ends the run.
#pragma once

#include <QString>

class TProcessProgress {
public:
    virtual ~TProcessProgress() = default;

    virtual void Inicializar(int pCantidadDeRegistros, bool pResetAll) = 0;
    virtual void MensajeDelProceso(const QString& Value) = 0;
    virtual void NombreItemActual(const QString& Value) = 0;
    virtual void EmpleadoActual(double pIdentificacion, const QString& pNombre) = 0;
    virtual void ItemActualTerminado() = 0;
    virtual void EmpleadoActualTerminado() = 0;
    virtual void UltimoError(const QString& Value) = 0;
    virtual void Finalizar() = 0;
    virtual bool ContinuarProceso() const = 0;
};
