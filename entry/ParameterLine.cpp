#include "ParameterLine.h"

QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

// The walk follows the host suite's own parser character for character, since hosts rely on its
// quirks: a token is removed from the line by its first occurrence (not by its position), and the end of
// the line is recognised by the collected token equalling the trimmed rest rather than by an index.
void ParsearLineaParametros(QString& line, QStringList& params) {
    params.clear();
    const QChar blank = QLatin1Char(' ');
    const QChar quote = QLatin1Char('"');

    while (!TrimControls(line).isEmpty()) {
        QString token;
        bool taken = false;
        for (qsizetype i = 0; i < line.size() && !taken; ++i) {
            const QChar c = line.at(i);
            if (c != blank && c != quote)
                token.append(c);
            if (c == blank || TrimControls(token) == TrimControls(line)) {
                params.append(TrimControls(token));
                if (!token.isEmpty()) {
                    const qsizetype at = line.indexOf(token);
                    if (at >= 0)
                        line.remove(at, token.size());
                }
                line = TrimControls(line);
                taken = true;
            } else if (c == quote) {
                line.remove(0, 1);
                const qsizetype close = line.indexOf(quote);
                if (close < 0) {
                    params.append(TrimControls(line));
                    line.clear();
                } else {
                    params.append(TrimControls(line.left(close)));
                    line = TrimControls(line.mid(close + 1));
                }
                taken = true;
            }
        }
        // Unreachable with the rules above (the last character either is a blank or a quote, or completes
        // the token); kept so that no input can make the loop spin.
        if (!taken) {
            params.append(TrimControls(token));
            line.clear();
        }
    }

    // From the last entry to the first, so the condition that stood first is the one that remains.
    for (qsizetype i = params.size() - 1; i >= 0; --i) {
        if (params.at(i).toUpper().startsWith(QLatin1String("AND"))) {
            line = params.at(i);
            params.removeAt(i);
        }
    }
}
