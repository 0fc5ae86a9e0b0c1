#include "TDateTime.h"

#include "GeneralError.h"

#include <QRegularExpression>
#include <cmath>

namespace {
// 1899-12-30 as a Julian day: a constant, so that dates computed during static initialisation of other
// files are right too.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);
constexpr qint64 kMsPerDay = 86400000;

// Splits a serial value into whole days and milliseconds of that day, keeping the time positive for
// dates before the epoch.
void split(double value, qint64& days, qint64& ms) {
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    days = static_cast<qint64>(whole);
    ms = static_cast<qint64>(std::llround(frac * kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += value < 0 ? -1 : 1;
    }
}
} // namespace

TDateTime TDateTime::fromDate(const QDate& date) {
    if (!date.isValid())
        return TDateTime();
    return TDateTime(static_cast<double>(kEpoch.daysTo(date)));
}

TDateTime TDateTime::fromDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid())
        return TDateTime();
    double days = static_cast<double>(kEpoch.daysTo(dateTime.date()));
    double frac = static_cast<double>(dateTime.time().msecsSinceStartOfDay()) / kMsPerDay;
    return TDateTime(days >= 0 ? days + frac : days - frac);
}

std::optional<TDateTime> TDateTime::tryEncodeDate(int year, int month, int day) {
    if (!QDate::isValid(year, month, day) || year < 1 || year > 9999)
        return std::nullopt;
    return fromDate(QDate(year, month, day));
}

TDateTime TDateTime::encodeDate(int year, int month, int day) {
    if (auto d = tryEncodeDate(year, month, day))
        return *d;
    throw GeneralError(QStringLiteral("Fecha inválida: año %1, mes %2, día %3.").arg(year).arg(month).arg(day));
}

std::optional<TDateTime> TDateTime::fromIso(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,6}))?)?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    auto d = tryEncodeDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d)
        return std::nullopt;
    if (m.captured(4).isEmpty())
        return d;
    int h = m.captured(4).toInt(), mi = m.captured(5).toInt(), s = m.captured(6).toInt();
    int msec = m.captured(7).isEmpty() ? 0 : m.captured(7).left(3).leftJustified(3, QLatin1Char('0')).toInt();
    if (!QTime::isValid(h, mi, s, msec))
        return std::nullopt;
    return fromDateTime(QDateTime(d->date(), QTime(h, mi, s, msec)));
}

TDateTime TDateTime::now() { return fromDateTime(QDateTime::currentDateTime()); }
TDateTime TDateTime::today() { return fromDate(QDate::currentDate()); }

QDate TDateTime::date() const {
    qint64 days, ms;
    split(m_value, days, ms);
    return kEpoch.addDays(days);
}

QDateTime TDateTime::toDateTime() const {
    qint64 days, ms;
    split(m_value, days, ms);
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

bool TDateTime::hasTime() const {
    qint64 days, ms;
    split(m_value, days, ms);
    return ms / 1000 != 0;
}

TDateTime TDateTime::dateOnly() const { return TDateTime(std::trunc(m_value)); }

QString TDateTime::toIso() const {
    const QDateTime dt = toDateTime();
    if (!hasTime())
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool documentTimeFixed() {
    return qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH");
}

QDateTime documentTime() {
    if (!documentTimeFixed())
        return QDateTime::currentDateTime();
    const QByteArray text = qgetenv("SOURCE_DATE_EPOCH").trimmed();
    bool ok = false;
    const qint64 seconds = text.toLongLong(&ok);
    // Years 1 to 9999: what a date field and a PDF date can hold.
    if (!ok || seconds < -62135596800LL || seconds > 253402300799LL)
        throw GeneralError(QStringLiteral("SOURCE_DATE_EPOCH debe ser un número de segundos desde "
                                          "1970-01-01 (UTC); tiene '%1'.")
                               .arg(QString::fromLocal8Bit(text)));
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}
