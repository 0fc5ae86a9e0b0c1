// The load's parameter line: any text the host hands over is split without a crash, and the split keeps
// its promises (conditions out of the words, the line left with at most one condition).
#include "ParameterLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList params{QStringLiteral("viejo")};
    ParsearLineaParametros(line, params);
    for (const QString& p : params)
        if (p.startsWith(QLatin1String("AND"), Qt::CaseInsensitive))
            std::abort(); // a condition left among the words
    if (!TrimControls(line).isEmpty() && !line.startsWith(QLatin1String("AND"), Qt::CaseInsensitive))
        std::abort(); // the line holds a condition or nothing but blanks
    return 0;
}
