// DisplayFormat: how a memo shows the values of its expressions.
//
//   "%2.2m"                 money: the currency pattern of the format settings, 2 decimals
//   "%2.2f"                 fixed decimals, no thousands separator
//   "%2.2n"                 fixed decimals with thousands separators
//   "%g"                    general number (up to 15 significant digits)
//   "%d"                    integer
//   "0", "0.00", "#,##0.00" number patterns (decimals after ".", thousands when "," appears)
//   "dd/mm/yyyy", "hh:nn"   date patterns ("mm" month, "nn" minutes, "hh" hours)
//
// Numbers and dates are formatted; texts pass unchanged; a null value prints empty. The same format gives
// the spreadsheet number format, so that exported cells keep numbers as numbers.
#pragma once

#include "FormatSettings.h"
#include "PreparedReport.h"

#include <QHash>
#include <QString>
#include <QVariant>

namespace report {

class DisplayFormat {
public:
    enum class Kind { None, Money, Fixed, Number, General, Integer, Pattern, Date };

    DisplayFormat() = default;
    explicit DisplayFormat(const QString& format);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::None; }
    int decimals() const { return m_decimals; }

    QString format(const QVariant& value, const FormatSettings& settings) const;
    // The spreadsheet's number format for this display format ("" when none applies).
    QString excelFormat(const FormatSettings& settings) const;
    // A typed cell value for the spreadsheet when the value is a number or a date shown by this format.
    CellValue cellValue(const QVariant& value, const FormatSettings& settings) const;

private:
    QString excelFormatFor(const FormatSettings& settings) const;

    Kind m_kind = Kind::None;
    int m_decimals = 0;
    bool m_thousands = false;
    QString m_pattern; // Qt date pattern for Kind::Date
    // A listing formats the same format on every row: its spreadsheet format is worked out once per
    // settings, and the texts of recent dates are remembered.
    mutable QString m_excel;
    mutable QString m_excelCurrency;
    mutable int m_excelCurrencyFormat = -1, m_excelNegCurrFormat = -1;
    mutable QHash<qint64, QString> m_dateTexts;
};

} // namespace report
