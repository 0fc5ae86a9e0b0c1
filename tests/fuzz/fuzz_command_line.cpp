// The batch command's arguments (one per NUL-separated piece of the input): parsing never crashes, every
// refusal is explained in the command's own words (never the parser's English fallback), and the values
// checked without a database keep their promises: a code list holds each code once, and an accepted date
// pattern reads back every date it prints.
#include "CommandLine.h"
#include "FormatSettings.h"
#include "TDateTime.h"

#include <QSet>
#include <cstdint>
#include <cstdlib>

namespace {
void checkList(const QString& text) {
    try {
        const QList<int> codes = parseList(text, QStringLiteral("Código"));
        if (QSet<int>(codes.cbegin(), codes.cend()).size() != codes.size())
            std::abort(); // a code kept twice
    } catch (const InputError&) {
    }
}

void checkDatePattern(const QString& pattern) {
    const FormatSettings saved = FormatSettings::global();
    try {
        applyDateFormat(pattern);
    } catch (const InputError&) {
        return;
    }
    // Two-digit years read back within 1950..2049.
    for (const QDate date : {QDate(1950, 1, 1), QDate(2026, 12, 31), QDate(2049, 2, 28), QDate(2000, 10, 9)}) {
        const QString printed = FormatSettings::global().formatDate(TDateTime::fromDate(date));
        const std::optional<TDateTime> read = FormatSettings::global().parseDate(printed);
        if (!read || read->date() != date)
            std::abort(); // an accepted pattern whose dates do not read back
    }
    FormatSettings::global() = saved;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QStringList arguments{QStringLiteral("vnmrtgen-report")};
    arguments += QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split(QChar(0));
    QCommandLineParser parser;
    BatchOptions options;
    options.addTo(parser);
    const QString error = parseArguments(parser, options, arguments);
    if (error.startsWith(QLatin1String("No se pudieron interpretar")))
        std::abort(); // a refusal the command could not put in its own words
    if (!error.isEmpty())
        return 0;
    checkList(parser.value(options.classes));
    checkList(parser.value(options.prototypes));
    if (parser.isSet(options.dateFormat))
        checkDatePattern(parser.value(options.dateFormat));
    return 0;
}
