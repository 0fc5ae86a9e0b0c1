#include "TerminalProgress.h"

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void onInterrupt(int) {
    if (g_stopRequested) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    g_stopRequested = 1;
}

} // namespace

TerminalProgress::TerminalProgress(std::FILE* out) : m_out(out), m_tty(isatty(fileno(out)) != 0) {
    g_stopRequested = 0;
    std::signal(SIGINT, onInterrupt);
}

TerminalProgress::~TerminalProgress() {
    endLine();
    std::signal(SIGINT, SIG_DFL);
}

QString TerminalProgress::Barra(int done, int total, int width) {
    const double fraction = total > 0 ? std::clamp(double(done) / total, 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(fraction * width + 0.5);
    return QStringLiteral("[%1%2] %3% (%4/%5)")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('-')))
        .arg(static_cast<int>(fraction * 100), 3)
        .arg(done)
        .arg(total);
}

// Only a person at a terminal watches a bar; a log or a pipe gets the command's messages and nothing else.
void TerminalProgress::draw(bool) {
    if (!m_tty)
        return;
    QString line = Barra(m_done, m_total) + QLatin1Char(' ') + (m_item.isEmpty() ? m_message : m_item);
    if (line.size() > 100)
        line.truncate(100);
    std::fprintf(m_out, "\r%s\x1b[K", line.toLocal8Bit().constData());
    std::fflush(m_out);
    m_lineOpen = true;
}

void TerminalProgress::endLine() {
    if (m_lineOpen) {
        std::fputc('\n', m_out);
        std::fflush(m_out);
        m_lineOpen = false;
    }
}

void TerminalProgress::Inicializar(int pCantidadDeRegistros, bool pResetAll) {
    endLine();
    m_total = pCantidadDeRegistros;
    if (pResetAll || m_done > m_total)
        m_done = 0;
    draw(true);
}

void TerminalProgress::MensajeDelProceso(const QString& Value) {
    // Builders repeat their message for every record: a log shows it once, until it changes.
    if (Value == m_message)
        return;
    m_message = Value;
    draw(true);
}

void TerminalProgress::NombreItemActual(const QString& Value) {
    m_item = Value;
    draw(false);
}

void TerminalProgress::EmpleadoActual(double pIdentificacion, const QString& pNombre) {
    m_item = QStringLiteral("%1 %2").arg(QString::number(pIdentificacion, 'f', 0), pNombre);
    draw(false);
}

void TerminalProgress::ItemActualTerminado() {
    ++m_done;
    draw(false);
}

void TerminalProgress::EmpleadoActualTerminado() {
    ItemActualTerminado();
}

void TerminalProgress::UltimoError(const QString& Value) {
    endLine();
    std::fprintf(m_out, "%s\n", Value.toLocal8Bit().constData());
    std::fflush(m_out);
}

void TerminalProgress::Finalizar() {
    m_item.clear();
    if (g_stopRequested) {
        // The bar stays where the stop left it, and the user learns the report is partial.
        draw(true);
        endLine();
        std::fprintf(m_out, "%s\n",
                     QStringLiteral("Proceso detenido por el usuario: el informe muestra los registros procesados "
                                    "hasta ese momento.")
                         .toLocal8Bit()
                         .constData());
        std::fflush(m_out);
        return;
    }
    m_done = m_total;
    draw(true);
    endLine();
}

bool TerminalProgress::ContinuarProceso() const {
    return g_stopRequested == 0;
}
