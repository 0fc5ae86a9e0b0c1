#include "DateRoutines.h"

#include "GeneralError.h"

#include <cmath>
#include <cstdlib>

TDateTime SumaAFecha(int amount, const QString& unit, TDateTime date, bool addOneDay) {
    if (addOneDay)
        date = date.addDays(1);
    const QString u = unit.trimmed().toUpper();
    const QDate d = date.date();
    if (u == QLatin1String("A") || u == QLatin1String("Y"))
        return AjustarFecha(d.year() + amount, d.month(), d.day());
    if (u == QLatin1String("M"))
        return AjustarFecha(d.year(), d.month() + amount, d.day());
    if (u == QLatin1String("D"))
        return date.addDays(amount);
    if (u == QLatin1String("S"))
        return date.addDays(7.0 * amount);
    throw GeneralError(QStringLiteral("Unidad de Tiempo inválida para la función SumaAFecha"));
}

TDateTime AjustarFecha(int year, int month, int day) {
    // The direction of the carry is decided once, from the month passed in.
    const int step = month > 0 ? 1 : -1;
    while (month < 1 || month > 12) {
        year += step;
        month -= 12 * step;
    }
    if (month == 2 && day >= 29 && day <= 31)
        day = EsBisiesto(year) ? 29 : 28;
    else if ((month == 4 || month == 6 || month == 9 || month == 11) && day == 31)
        day = 30;
    return TDateTime::encodeDate(year, month, day);
}

bool EsBisiesto(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

TDateTime PrimerDiaDelMes(TDateTime date) {
    const QDate d = date.date();
    return TDateTime::encodeDate(d.year(), d.month(), 1);
}

TDateTime UltimoDiaDelMes(TDateTime date) {
    return PrimerDiaDelMes(SumaAFecha(1, QStringLiteral("m"), date, false)).addDays(-1);
}

int AnoDeFecha(TDateTime date) { return date.date().year(); }
int MesDeFecha(TDateTime date) { return date.date().month(); }

void AjustarDia30(int year, int month, int& day) {
    if (month != 2) {
        if (day == 31)
            day = 30;
        return;
    }
    if ((EsBisiesto(year) && day == 29) || (!EsBisiesto(year) && day == 28))
        day = 30;
}

namespace {
int lastDayOfMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }
} // namespace

int DiasEntreFechas(const QString& mode, TDateTime start, TDateTime end) {
    const QChar m = mode.isEmpty() ? QChar() : mode.at(0);
    if (m == QLatin1Char('A')) {
        const qint64 days = start.date().daysTo(end.date());
        return static_cast<int>(std::llabs(days) + 1);
    }
    if (m != QLatin1Char('C'))
        return 0;
    const QDate s = start.date(), e = end.date();
    int y1 = s.year(), m1 = s.month(), d1 = s.day();
    int y2 = e.year(), m2 = e.month(), d2 = e.day();
    // From the last day of one February to the day before the last day of a later February: one
    // commercial month short of a whole number of years, which the general rule would overcount.
    if (m1 == 2 && m2 == 2 && d1 == lastDayOfMonth(y1, 2) && d2 == lastDayOfMonth(y2, 2) - 1) {
        d2 += 1;
        AjustarDia30(y1, m1, d1);
        AjustarDia30(y2, m2, d2);
        return 360 * (y2 - y1) + 30 * (m2 - m1) + (d2 - d1);
    }
    if (m1 != 2)
        AjustarDia30(y1, m1, d1);
    AjustarDia30(y2, m2, d2);
    return 360 * (y2 - y1) + 30 * (m2 - m1) + (d2 - d1) + 1;
}

QString AjustarLongitud(int length, const QString& text, const QString& cutSide, QChar fill,
                        const QString& padSide) {
    if (length < 0)
        length = 0;
    if (text.size() == length)
        return text;
    if (text.size() < length) {
        const QString padding(length - text.size(), fill);
        if (padSide == QLatin1String("D"))
            return padding + text;
        if (padSide == QLatin1String("I"))
            return text + padding;
        return QString();
    }
    if (cutSide == QLatin1String("D"))
        return text.left(length);
    if (cutSide == QLatin1String("I"))
        return text.right(length);
    return QString();
}

void FijarZonaHorariaLocal() {
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 0);
}
