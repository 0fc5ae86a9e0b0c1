#include "FormatSettings.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

FormatSettings FormatSettings::colombian() { return FormatSettings(); }

FormatSettings FormatSettings::fromSystem() {
    FormatSettings fs;
    const QLocale sys = QLocale::system();
    // Only a locale that writes day, month and year with a separator is taken; otherwise the Colombian
    // pattern stays, so that a bare "C" locale does not turn dates into month-first.
    if (sys.language() != QLocale::C) {
        QString pattern = sys.dateFormat(QLocale::ShortFormat);
        if (pattern.contains(QLatin1String("d")) && pattern.contains(QLatin1String("M")) &&
            pattern.contains(QLatin1String("y"))) {
            for (QChar c : pattern)
                if (!c.isLetter()) {
                    fs.dateSeparator = c;
                    break;
                }
            // Normalise to two-digit day and month and a four-digit year.
            QStringList parts = pattern.split(fs.dateSeparator);
            for (QString& p : parts) {
                if (p.startsWith(QLatin1Char('d')))
                    p = QStringLiteral("dd");
                else if (p.startsWith(QLatin1Char('M')))
                    p = QStringLiteral("MM");
                else if (p.startsWith(QLatin1Char('y')))
                    p = QStringLiteral("yyyy");
            }
            if (parts.size() == 3)
                fs.shortDateFormat = parts.join(fs.dateSeparator);
        }
        fs.decimalSeparator = sys.decimalPoint().at(0);
        fs.thousandSeparator = sys.groupSeparator().at(0);
    }
    return fs;
}

FormatSettings& FormatSettings::global() {
    static FormatSettings settings = FormatSettings::colombian();
    return settings;
}

std::optional<TDateTime> FormatSettings::parseDate(const QString& text) const {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QStringList parts = t.split(dateSeparator);
    const QStringList pattern = shortDateFormat.split(dateSeparator);
    if (parts.size() != 3 || pattern.size() != 3)
        return std::nullopt;
    int y = -1, m = -1, d = -1;
    for (int i = 0; i < 3; ++i) {
        const QString& p = parts[i];
        if (p.isEmpty() || p.size() > 4)
            return std::nullopt;
        for (QChar c : p)
            if (!c.isDigit() || c.unicode() > '9')
                return std::nullopt;
        const int v = p.toInt();
        const QChar kind = pattern[i].isEmpty() ? QChar() : pattern[i].at(0);
        if (kind == QLatin1Char('d')) {
            if (p.size() > 2)
                return std::nullopt;
            d = v;
        } else if (kind == QLatin1Char('M')) {
            if (p.size() > 2)
                return std::nullopt;
            m = v;
        } else if (kind == QLatin1Char('y')) {
            if (p.size() == 3)
                return std::nullopt;
            y = p.size() <= 2 ? (v < 50 ? 2000 + v : 1900 + v) : v;
        } else {
            return std::nullopt;
        }
    }
    if (y < 0 || m < 0 || d < 0)
        return std::nullopt;
    return TDateTime::tryEncodeDate(y, m, d);
}

QString FormatSettings::formatDate(TDateTime value) const {
    return value.date().toString(shortDateFormat);
}

QString FormatSettings::formatTime(TDateTime value) const {
    return value.toDateTime().time().toString(longTimeFormat);
}

namespace {
// Decimal text of |value| rounded half away from zero to `decimals` places, deciding the half on the
// value's 15 significant digits: 999.995 is stored as 999.99499999... and must still print 1.000,00.
QString roundedDigits(double value, int decimals) {
    const double a = std::fabs(value);
    int exponent = a > 0 ? static_cast<int>(std::floor(std::log10(a))) : 0;
    int significantDecimals = std::clamp(14 - exponent, 0, 20);
    QString s = QString::number(a, 'f', std::max(significantDecimals, decimals));
    const int dot = s.indexOf(QLatin1Char('.'));
    QString intPart = dot >= 0 ? s.left(dot) : s;
    QString frac = dot >= 0 ? s.mid(dot + 1) : QString();
    const bool roundUp = frac.size() > decimals && frac.at(decimals) >= QLatin1Char('5');
    frac = frac.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    QString digits = intPart + frac;
    if (roundUp) {
        int i = digits.size() - 1;
        for (; i >= 0; --i) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    const int intLen = digits.size() - decimals;
    return decimals > 0 ? digits.left(intLen) + QLatin1Char('.') + digits.mid(intLen) : digits;
}
} // namespace

QString FormatSettings::formatNumber(double value, int decimals, bool thousands) const {
    if (std::isnan(value) || std::isinf(value))
        return QString();
    const bool negative = value < 0;
    const QString digits = roundedDigits(value, std::max(0, decimals));
    QString intPart = digits, fracPart;
    const int dot = digits.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        intPart = digits.left(dot);
        fracPart = digits.mid(dot + 1);
    }
    if (thousands) {
        for (int i = intPart.size() - 3; i > 0; i -= 3)
            intPart.insert(i, thousandSeparator);
    }
    QString out = intPart;
    if (!fracPart.isEmpty())
        out += decimalSeparator + fracPart;
    // A value that rounds to zero prints without a sign.
    bool allZero = true;
    for (QChar c : digits)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    if (negative && !allZero)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString FormatSettings::formatMoney(double value, int decimals) const {
    if (decimals < 0)
        decimals = currencyDecimals;
    QString n = formatNumber(value, decimals);
    const bool negative = n.startsWith(QLatin1Char('-'));
    if (negative)
        n.remove(0, 1);
    const QString& c = currencyString;
    if (!negative) {
        switch (currencyFormat) {
        case 0: return c + n;
        case 1: return n + c;
        case 3: return n + QLatin1Char(' ') + c;
        default: return c + QLatin1Char(' ') + n;
        }
    }
    const QString sp = QStringLiteral(" ");
    switch (negCurrFormat) {
    case 0: return QLatin1Char('(') + c + n + QLatin1Char(')');
    case 1: return QLatin1Char('-') + c + n;
    case 2: return c + QLatin1Char('-') + n;
    case 3: return c + n + QLatin1Char('-');
    case 4: return QLatin1Char('(') + n + c + QLatin1Char(')');
    case 5: return QLatin1Char('-') + n + c;
    case 6: return n + QLatin1Char('-') + c;
    case 7: return n + c + QLatin1Char('-');
    case 8: return QLatin1Char('-') + n + sp + c;
    case 10: return n + sp + c + QLatin1Char('-');
    case 11: return c + sp + n + QLatin1Char('-');
    case 12: return c + sp + QLatin1Char('-') + n;
    case 13: return n + QLatin1Char('-') + sp + c;
    case 14: return QLatin1Char('(') + c + sp + n + QLatin1Char(')');
    case 15: return QLatin1Char('(') + n + sp + c + QLatin1Char(')');
    default: return QLatin1Char('-') + c + sp + n;
    }
}
