#include "CommandLine.h"

#include "CommandLineErrors.h"
#include "FormatSettings.h"

#include <QSet>

QList<QCommandLineOption> BatchOptions::all() const {
    return {help,    version,      db,  company, type,       from, to,  kinds, classes, prototypes,
            account, observations, pdf, xlsx,    xlsxData, dateFormat, user, list, layouts, exportLayouts};
}

void BatchOptions::addTo(QCommandLineParser& parser) const {
    // "-db" is "--db", as users of other commands write it, and an unknown "-bogus" stays one word.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(all());
}

QString parseArguments(QCommandLineParser& parser, const BatchOptions& options, const QStringList& arguments) {
    if (!parser.parse(arguments))
        return commandLineError(parser, arguments, options.all());
    if (!parser.isSet(options.help) && !parser.isSet(options.version) && !parser.positionalArguments().isEmpty())
        return QStringLiteral("Argumento no reconocido: %1. Use --help para ver las opciones.")
            .arg(parser.positionalArguments().constFirst());
    return {};
}

int parseNumber(const QString& text, const QString& what) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw InputError(QStringLiteral("%1 inválido: '%2'.").arg(what, text));
    return value;
}

// A repeated code adds nothing but the same report rows again (and a builder's queries for each), and the
// lists are kept sorted by code, where every insertion moves the rows after it: each code counts once.
QList<int> parseList(const QString& text, const QString& what) {
    QList<int> codes;
    QSet<int> seen;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int code = parseNumber(part, what);
        if (!seen.contains(code)) {
            seen.insert(code);
            codes << code;
        }
    }
    return codes;
}

// Only the patterns whose dates read back as they print: "ddd" prints a day's name, "yyy" is no year, and
// a separator that is a letter or a digit would be read as part of a field (or printed as one: "d", "h").
void applyDateFormat(const QString& pattern) {
    QChar separator;
    for (QChar c : pattern)
        if (c != QLatin1Char('d') && c != QLatin1Char('M') && c != QLatin1Char('y')) {
            separator = c;
            break;
        }
    bool ok = !separator.isNull() && !separator.isLetterOrNumber() && separator != QLatin1Char('\'') &&
              separator.unicode() >= 0x20;
    if (ok) {
        const QStringList parts = pattern.split(separator);
        QString kinds;
        for (const QString& part : parts) {
            const bool sameLetter = !part.isEmpty() && part.count(part.at(0)) == part.size();
            const bool width = sameLetter && (part.at(0) == QLatin1Char('y') ? part.size() == 2 || part.size() == 4
                                                                             : part.size() <= 2);
            if (width)
                kinds += part.at(0);
        }
        ok = parts.size() == 3 && kinds.size() == 3 && kinds.contains(QLatin1Char('d')) &&
             kinds.contains(QLatin1Char('M')) && kinds.contains(QLatin1Char('y'));
    }
    if (!ok)
        throw InputError(
            QStringLiteral("Formato de fecha inválido: '%1' (use por ejemplo dd/MM/yyyy).").arg(pattern));
    FormatSettings::global().shortDateFormat = pattern;
    FormatSettings::global().dateSeparator = separator;
}
