#include "DisplayFormat.h"

#include "Expression.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace report {

namespace {
bool isDateValue(const QVariant& v) {
    const int id = v.metaType().id();
    return id == QMetaType::QDateTime || id == QMetaType::QDate;
}
QDateTime dateOf(const QVariant& v) {
    return v.metaType().id() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
}
// Delphi-style date pattern to Qt's: "mm" is the month unless it follows an hour ("hh:mm"), "nn" minutes.
QString toQtDatePattern(const QString& p) {
    QString out;
    bool afterHour = false;
    for (int i = 0; i < p.size();) {
        const QChar c = p[i].toLower();
        int run = 1;
        while (i + run < p.size() && p[i + run].toLower() == c)
            ++run;
        if (c == QLatin1Char('m')) {
            out += afterHour ? QString(run, QLatin1Char('m')) : QString(run, QLatin1Char('M'));
            afterHour = false;
        } else if (c == QLatin1Char('n')) {
            out += QString(run, QLatin1Char('m'));
        } else if (c == QLatin1Char('h')) {
            out += QString(run, QLatin1Char('H'));
            afterHour = true;
        } else if (c == QLatin1Char('d') || c == QLatin1Char('y') || c == QLatin1Char('s')) {
            out += QString(run, c);
        } else {
            out += p.mid(i, run);
        }
        i += run;
    }
    return out;
}
} // namespace

DisplayFormat::DisplayFormat(const QString& format) {
    const QString f = format.trimmed();
    if (f.isEmpty())
        return;
    static const QRegularExpression printf(QStringLiteral(R"(^%(\d*)(?:\.(\d+))?([mMfFnNgGdD])$)"));
    const auto m = printf.match(f);
    if (m.hasMatch()) {
        m_decimals = m.captured(2).isEmpty() ? 2 : m.captured(2).toInt();
        switch (m.captured(3).at(0).toLower().unicode()) {
        case 'm': m_kind = Kind::Money; break;
        case 'f': m_kind = Kind::Fixed; break;
        case 'n': m_kind = Kind::Number; m_thousands = true; break;
        case 'd': m_kind = Kind::Integer; m_decimals = 0; break;
        default: m_kind = Kind::General; break;
        }
        return;
    }
    if (f.contains(QLatin1Char('d'), Qt::CaseInsensitive) || f.contains(QLatin1Char('y'), Qt::CaseInsensitive) ||
        f.contains(QLatin1Char('h'), Qt::CaseInsensitive) ||
        (f.contains(QLatin1Char('m'), Qt::CaseInsensitive) && !f.contains(QLatin1Char('0')))) {
        m_kind = Kind::Date;
        m_pattern = toQtDatePattern(f);
        return;
    }
    m_kind = Kind::Pattern;
    const int dot = f.indexOf(QLatin1Char('.'));
    m_decimals = dot < 0 ? 0 : static_cast<int>(f.size() - dot - 1);
    m_thousands = f.contains(QLatin1Char(','));
}

QString DisplayFormat::format(const QVariant& value, const FormatSettings& s) const {
    if (!value.isValid() || value.isNull())
        return QString();
    if (m_kind == Kind::None)
        return valueText(value);
    if (m_kind == Kind::Date) {
        if (!isDateValue(value))
            return valueText(value);
        const QDateTime dt = dateOf(value);
        const qint64 key = dt.date().toJulianDay() * 86'400'000 + dt.time().msecsSinceStartOfDay();
        if (const auto it = m_dateTexts.constFind(key); it != m_dateTexts.constEnd())
            return *it;
        if (m_dateTexts.size() >= 4096)
            m_dateTexts.clear();
        return *m_dateTexts.insert(key, dt.toString(m_pattern));
    }
    if (!isNumeric(value) && value.metaType().id() != QMetaType::Bool) {
        if (value.metaType().id() != QMetaType::QString)
            return valueText(value);
        // Numeric text (e.g. a sum read back as text) is formatted; any other text passes.
        bool ok = false;
        value.toString().trimmed().toDouble(&ok);
        if (!ok)
            return value.toString();
    }
    const double v = toNumber(value);
    switch (m_kind) {
    case Kind::Money: return s.formatMoney(v, m_decimals);
    case Kind::Fixed: return s.formatNumber(v, m_decimals, false);
    case Kind::Number: return s.formatNumber(v, m_decimals, true);
    case Kind::Integer: return s.formatNumber(v, 0, false);
    case Kind::Pattern: return s.formatNumber(v, m_decimals, m_thousands);
    case Kind::General: return valueText(QVariant(v));
    default: return valueText(value);
    }
}

QString DisplayFormat::excelFormat(const FormatSettings& s) const {
    if (m_excelCurrencyFormat != s.currencyFormat || m_excelNegCurrFormat != s.negCurrFormat ||
        m_excelCurrency != s.currencyString) {
        m_excel = excelFormatFor(s);
        m_excelCurrency = s.currencyString;
        m_excelCurrencyFormat = s.currencyFormat;
        m_excelNegCurrFormat = s.negCurrFormat;
    }
    return m_excel;
}

QString DisplayFormat::excelFormatFor(const FormatSettings& s) const {
    const QString dec = m_decimals > 0 ? QStringLiteral(".") + QString(m_decimals, QLatin1Char('0')) : QString();
    switch (m_kind) {
    case Kind::Money: {
        const QString sym = QLatin1Char('"') + s.currencyString + QLatin1Char('"');
        const QString num = QStringLiteral("#,##0") + dec;
        const QString pos = (s.currencyFormat == 1 || s.currencyFormat == 3)
                                ? num + (s.currencyFormat == 3 ? QStringLiteral(" ") : QString()) + sym
                                : sym + (s.currencyFormat == 2 ? QStringLiteral(" ") : QString()) + num;
        QString neg;
        switch (s.negCurrFormat) {
        case 0: case 14: neg = QLatin1Char('(') + pos + QLatin1Char(')'); break;
        default: neg = QLatin1Char('-') + pos; break;
        }
        return pos + QLatin1Char(';') + neg;
    }
    case Kind::Fixed: return QStringLiteral("0") + dec;
    case Kind::Integer: return QStringLiteral("0");
    case Kind::Number: case Kind::Pattern:
        return (m_thousands ? QStringLiteral("#,##0") : QStringLiteral("0")) + dec;
    case Kind::General: return QStringLiteral("General");
    case Kind::Date: {
        QString p = m_pattern;
        p.replace(QLatin1Char('M'), QLatin1Char('m'));
        p.replace(QStringLiteral("HH"), QStringLiteral("hh"));
        return p;
    }
    case Kind::None: break;
    }
    return QString();
}

CellValue DisplayFormat::cellValue(const QVariant& value, const FormatSettings& s) const {
    CellValue c;
    if (!value.isValid() || value.isNull())
        return c;
    if (isDateValue(value)) {
        c.kind = CellValue::Kind::Date;
        c.number = toNumber(value);
        c.excelFormat = m_kind == Kind::Date ? excelFormat(s) : QStringLiteral("dd/mm/yyyy");
        return c;
    }
    if (isNumeric(value)) {
        c.kind = CellValue::Kind::Number;
        c.number = toNumber(value);
        c.excelFormat = m_kind == Kind::None ? QStringLiteral("General") : excelFormat(s);
        if (m_kind != Kind::None && m_kind != Kind::General) {
            // The cell holds what the page shows: the value rounded to the displayed decimals.
            // Past 2^53 a double has no decimals left to round, and scaling a huge amount would overflow.
            const double p = std::pow(10.0, m_kind == Kind::Integer ? 0 : m_decimals);
            if (std::fabs(c.number) < 9e15)
                c.number = std::round(c.number * p) / p;
        }
    }
    return c;
}

} // namespace report
