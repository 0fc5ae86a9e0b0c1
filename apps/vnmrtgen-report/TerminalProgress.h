// TerminalProgress: the batch command's progress display of a long report run: a bar redrawn in place on
// stderr when it is a terminal, nothing otherwise (errors and a stop are written either way). Ctrl+C asks the builder to stop
// (ContinuarProceso turns false), as the progress window's stop button does; a second Ctrl+C ends the
// process.
#pragma once

#include "TProcessProgress.h"

#include <QString>
#include <cstdio>

class TerminalProgress : public TProcessProgress {
public:
    explicit TerminalProgress(std::FILE* out = stderr);
    ~TerminalProgress() override;

    void Inicializar(int pCantidadDeRegistros, bool pResetAll) override;
    void MensajeDelProceso(const QString& Value) override;
    void NombreItemActual(const QString& Value) override;
    void EmpleadoActual(double pIdentificacion, const QString& pNombre) override;
    void ItemActualTerminado() override;
    void EmpleadoActualTerminado() override;
    void UltimoError(const QString& Value) override;
    void Finalizar() override;
    bool ContinuarProceso() const override;

    // The bar as drawn for done of total records (width characters between the brackets).
    static QString Barra(int done, int total, int width = 30);

private:
    void draw(bool force);
    void endLine();
    std::FILE* m_out;
    bool m_tty;
    int m_total = 0;
    int m_done = 0;
    bool m_lineOpen = false;
    QString m_item;
    QString m_message;
};
