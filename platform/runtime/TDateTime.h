// TDateTime: a point in time as the payroll suite stores it: whole days since 30 December 1899, the
// fraction being the time of day. Day 0 is the "zero date" that an empty date reads as.
//
// Negative values follow the same convention as the suite: the integer part counts days before the epoch
// and the fraction is always the (positive) time of that day, so -1.25 is 29 Dec 1899 06:00.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <compare>
#include <optional>

class TDateTime {
public:
    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double value) : m_value(value) {}

    static TDateTime fromDate(const QDate& date);
    static TDateTime fromDateTime(const QDateTime& dateTime);
    // Builds a date from its parts; throws GeneralError with a Spanish message when the parts are no date.
    static TDateTime encodeDate(int year, int month, int day);
    static std::optional<TDateTime> tryEncodeDate(int year, int month, int day);
    // ISO 8601 text: "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DDTHH:MM:SS[.zzz]".
    static std::optional<TDateTime> fromIso(const QString& text);
    static TDateTime now();
    static TDateTime today();

    constexpr double value() const { return m_value; }
    constexpr bool isZero() const { return m_value == 0.0; }

    QDate date() const;
    QDateTime toDateTime() const;
    // Whole days as "YYYY-MM-DD", otherwise "YYYY-MM-DD HH:MM:SS": the form in which dates are stored.
    QString toIso() const;
    bool hasTime() const;
    TDateTime dateOnly() const;

    int year() const { return date().year(); }
    int month() const { return date().month(); }
    int day() const { return date().day(); }

    TDateTime addDays(double days) const { return TDateTime(m_value + days); }
    constexpr auto operator<=>(const TDateTime&) const = default;

private:
    double m_value = 0.0;
};

// The moment a document (a printed report, a PDF, a workbook) is made. With SOURCE_DATE_EPOCH set (seconds
// since 1970-01-01 UTC), that moment in UTC, so that the same data give byte-identical files run after
// run; otherwise the current local time. A value that is no number of seconds throws GeneralError.
QDateTime documentTime();
// Whether documentTime() comes from SOURCE_DATE_EPOCH.
bool documentTimeFixed();
