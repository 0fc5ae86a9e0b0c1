// FormatSettings: the locale values the module formats and parses with. One process-wide instance, set up
// with Colombian defaults; the host and the batch command may override it, tests pin it.
#pragma once

#include "TDateTime.h"

#include <QString>
#include <optional>

struct FormatSettings {
    // Date pattern in Qt notation ("dd/MM/yyyy"); its separator character is dateSeparator.
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QChar dateSeparator = QLatin1Char('/');
    QString longTimeFormat = QStringLiteral("HH:mm:ss");
    QString currencyString = QStringLiteral("$");
    // Positive pattern: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    int currencyFormat = 2;
    // Negative pattern: 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
    int negCurrFormat = 9;
    int currencyDecimals = 2;
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char('.');

    // Colombian defaults, whatever the system says.
    static FormatSettings colombian();
    // The defaults adjusted by the system locale's date pattern and separators.
    static FormatSettings fromSystem();

    // The settings every formatting and parsing routine of the module uses.
    static FormatSettings& global();

    // Strict conversion of a text in the short date format: day, month and year in the pattern's order,
    // separated by dateSeparator; "31/02/2026" is no date. Two-digit years fall in 1950..2049.
    std::optional<TDateTime> parseDate(const QString& text) const;
    QString formatDate(TDateTime value) const;
    QString formatTime(TDateTime value) const;
    // Number with thousands separators and the given decimals: 1234567.891, 2 -> "1.234.567,89".
    QString formatNumber(double value, int decimals, bool thousands = true) const;
    // Money in the currency patterns: 1234567.891 -> "$ 1.234.567,89".
    QString formatMoney(double value, int decimals = -1) const;
};
