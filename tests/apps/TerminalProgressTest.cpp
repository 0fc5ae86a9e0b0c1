// The batch command's progress display: the bar text, the silence when stderr is no terminal, and
// Ctrl+C turning into the builder's stop request.
#include "TerminalProgress.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <csignal>
#include <cstdio>

namespace {

struct BarRow {
    const char* name;
    int done;
    int total;
    const char* bar;
};

const BarRow kBars[] = {
    {"nothing_done", 0, 200, "[----------]   0% (0/200)"},
    {"half_a_mark_rounds_up", 90, 200, "[#####-----]  45% (90/200)"},
    {"less_than_half_a_mark_rounds_down", 14, 100, "[#---------]  14% (14/100)"},
    {"complete", 200, 200, "[##########] 100% (200/200)"},
    {"more_done_than_announced_is_clamped", 250, 200, "[##########] 100% (250/200)"},
    {"empty_run", 0, 0, "[----------]   0% (0/0)"},
};

TEST(TerminalProgress, BarText) {
    for (const BarRow& row : kBars)
        EXPECT_EQ(TerminalProgress::Barra(row.done, row.total, 10), QString::fromLatin1(row.bar)) << row.name;
}

QString readAll(std::FILE* f) {
    std::rewind(f);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    return QString::fromLocal8Bit(bytes);
}

// A log or a pipe gets no bars and no step messages: only what went wrong.
TEST(TerminalProgress, WithoutATerminalWritesOnlyErrors) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        TerminalProgress progress(out);
        progress.Inicializar(20, true);
        progress.MensajeDelProceso(QStringLiteral("Calculando comisiones"));
        for (int i = 0; i < 20; ++i) {
            progress.NombreItemActual(QStringLiteral("Empleado %1").arg(i));
            progress.ItemActualTerminado();
            if (i == 7)
                progress.UltimoError(QStringLiteral("Empleado 7 sin contrato"));
        }
        progress.Finalizar();
    }
    EXPECT_EQ(readAll(out), QStringLiteral("Empleado 7 sin contrato\n"));
    std::fclose(out);
}

TEST(TerminalProgress, CtrlCAsksTheBuilderToStop) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        TerminalProgress progress(out);
        progress.Inicializar(5, true);
        EXPECT_TRUE(progress.ContinuarProceso());
        progress.NombreItemActual(QStringLiteral("Empleado 1"));
        progress.ItemActualTerminado();
        std::raise(SIGINT);
        EXPECT_FALSE(progress.ContinuarProceso());
        progress.Finalizar();
    }
    // Even without a terminal the user learns the report is partial.
    EXPECT_TRUE(readAll(out).startsWith(QLatin1String("Proceso detenido por el usuario")));
    {
        // A new run starts with no stop request.
        TerminalProgress progress(out);
        EXPECT_TRUE(progress.ContinuarProceso());
    }
    std::fclose(out);
}

} // namespace
