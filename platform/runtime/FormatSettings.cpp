#include "FormatSettings.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

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
// Decimal digits of |value| rounded half away from zero to `decimals` places, deciding the half on the
// value's 15 significant digits: 999.995 is stored as 999.99499999... and must still print 1.000,00. Returns
// the number of integer digits; the digits (integer part, then the decimals) go to out. Amounts are
// formatted on every row of a listing, so this works on a character buffer.
// Adds one in the last place of a string of decimal digits, carrying to the left ("1999" -> "2000", "99" ->
// "100").
void incrementDigits(std::string& digits) {
    int i = int(digits.size()) - 1;
    for (; i >= 0 && digits[size_t(i)] == '9'; --i)
        digits[size_t(i)] = '0';
    if (i >= 0)
        ++digits[size_t(i)];
    else
        digits.insert(digits.begin(), '1');
}

// The digits of a >= 0 with `places` decimals, rounded half away from zero on its exact binary value (how the
// amounts have always been printed), without the point; returns the number of integer digits. Three more
// decimals are printed first (rounded to nearest, the only rounding the standard conversion offers) and
// rounded from there; when those three read 500, the true value may lie on either side of the half, and
// the exact conversion decides.
int fixedDigits(double a, int places, std::string& out) {
    char buf[420]; // the largest double has 309 integer digits, and at most 23 decimals are asked for
    const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, places + 3);
    std::string_view text(buf, size_t(r.ptr - buf));
    const size_t dot = text.find('.');
    const std::string_view extra = text.substr(text.size() - 3);
    if (extra == "500") {
        const QByteArray exact = QByteArray::number(a, 'f', places);
        const qsizetype exactDot = exact.indexOf('.');
        out.assign(exact.constData(), size_t(exact.size()));
        if (exactDot >= 0)
            out.erase(size_t(exactDot), 1);
        return int(exactDot >= 0 ? exactDot : exact.size());
    }
    out.assign(text.substr(0, dot));
    out.append(text.substr(dot + 1, size_t(places)));
    const size_t before = out.size();
    if (extra[0] >= '5')
        incrementDigits(out);
    return int(dot + (out.size() - before));
}

// Decimal digits of |value| rounded half away from zero to `decimals` places, deciding the half on the
// value's 15 significant digits: 999.995 is stored as 999.99499999... and must still print 1.000,00. Returns
// the number of integer digits; the digits (integer part, then the decimals) go to out. Amounts are
// formatted on every row of a listing, so this works on a character buffer.
int roundedDigits(double value, int decimals, std::string& out) {
    const double a = std::fabs(value);
    const int exponent = a > 0 ? static_cast<int>(std::floor(std::log10(a))) : 0;
    const int significantDecimals = std::clamp(14 - exponent, 0, 20);
    const int places = std::max(significantDecimals, decimals);
    int intLen = fixedDigits(a, places, out);
    const bool roundUp = places > decimals && out[size_t(intLen + decimals)] >= '5';
    out.resize(size_t(intLen + decimals));
    if (roundUp) {
        const size_t before = out.size();
        incrementDigits(out);
        intLen += int(out.size() - before);
    }
    return intLen;
}
} // namespace

QString FormatSettings::formatNumber(double value, int decimals, bool thousands) const {
    if (std::isnan(value) || std::isinf(value))
        return QString();
    decimals = std::max(0, decimals);
    thread_local std::string digits;
    const int intLen = roundedDigits(value, decimals, digits);
    // A value that rounds to zero prints without a sign.
    const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;
    QString out;
    out.reserve(int(digits.size()) + intLen / 3 + 2);
    if (negative)
        out += QLatin1Char('-');
    for (int i = 0; i < intLen; ++i) {
        if (thousands && i > 0 && (intLen - i) % 3 == 0)
            out += thousandSeparator;
        out += QLatin1Char(digits[size_t(i)]);
    }
    if (decimals > 0) {
        out += decimalSeparator;
        for (size_t i = size_t(intLen); i < digits.size(); ++i)
            out += QLatin1Char(digits[i]);
    }
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
