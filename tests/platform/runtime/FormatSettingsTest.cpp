#include "FormatSettings.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* name;
    const char* text;
    bool valid;
    int y, m, d;
};

TEST(FormatSettings, ParsesDatesStrictlyInTheShortFormat) {
    const ParseCase cases[] = {
        {"Plain", "15/03/2026", true, 2026, 3, 15},
        {"SingleDigits", "1/2/2026", true, 2026, 2, 1},
        {"TwoDigitYear", "31/12/26", true, 2026, 12, 31},
        {"Surrounded", " 01/01/2026 ", true, 2026, 1, 1},
        {"LeapDay", "29/02/2024", true, 2024, 2, 29},
        {"Feb31IsNoDate", "31/02/2026", false, 0, 0, 0},
        {"Feb29NonLeap", "29/02/2026", false, 0, 0, 0},
        {"MonthThirteen", "01/13/2026", false, 0, 0, 0},
        {"WrongSeparator", "01-01-2026", false, 0, 0, 0},
        {"Letters", "0a/01/2026", false, 0, 0, 0},
        {"MissingYear", "01/01/", false, 0, 0, 0},
        {"TooManyParts", "01/01/2026/1", false, 0, 0, 0},
        {"Empty", "", false, 0, 0, 0},
    };
    for (const ParseCase& c : cases) {
        const auto r = FormatSettings::colombian().parseDate(QString::fromUtf8(c.text));
        EXPECT_EQ(r.has_value(), c.valid) << c.name;
        if (c.valid && r) {
            EXPECT_EQ(r->date(), QDate(c.y, c.m, c.d)) << c.name;
        }
    }
}

TEST(FormatSettings, MonthFirstPatternReadsMonthFirst) {
    FormatSettings fs;
    fs.shortDateFormat = QStringLiteral("MM-dd-yyyy");
    fs.dateSeparator = QLatin1Char('-');
    EXPECT_EQ(fs.parseDate(QStringLiteral("02-28-2026"))->date(), QDate(2026, 2, 28));
    EXPECT_FALSE(fs.parseDate(QStringLiteral("28-02-2026")).has_value());
    EXPECT_EQ(fs.formatDate(TDateTime::encodeDate(2026, 2, 8)), QStringLiteral("02-08-2026"));
}

TEST(FormatSettings, MoneyInTheColombianPattern) {
    const FormatSettings fs = FormatSettings::colombian();
    EXPECT_EQ(fs.formatMoney(1234567.891), QStringLiteral("$ 1.234.567,89"));
    EXPECT_EQ(fs.formatMoney(-1234567.891), QStringLiteral("-$ 1.234.567,89"));
    EXPECT_EQ(fs.formatMoney(0), QStringLiteral("$ 0,00"));
    EXPECT_EQ(fs.formatMoney(-0.001), QStringLiteral("$ 0,00"));
    EXPECT_EQ(fs.formatMoney(999.995), QStringLiteral("$ 1.000,00"));
    EXPECT_EQ(fs.formatMoney(100), QStringLiteral("$ 100,00"));
}

TEST(FormatSettings, MoneyFollowsChangedSettings) {
    FormatSettings fs = FormatSettings::colombian();
    fs.currencyString = QStringLiteral("US$");
    fs.currencyFormat = 0;
    fs.negCurrFormat = 0;
    fs.decimalSeparator = QLatin1Char('.');
    fs.thousandSeparator = QLatin1Char(',');
    EXPECT_EQ(fs.formatMoney(1234.5), QStringLiteral("US$1,234.50"));
    EXPECT_EQ(fs.formatMoney(-1234.5), QStringLiteral("(US$1,234.50)"));
    fs.currencyFormat = 3;
    fs.negCurrFormat = 8;
    EXPECT_EQ(fs.formatMoney(-7), QStringLiteral("-7.00 US$"));
}

TEST(FormatSettings, NumbersWithAndWithoutThousands) {
    const FormatSettings fs = FormatSettings::colombian();
    EXPECT_EQ(fs.formatNumber(1234567.5, 2), QStringLiteral("1.234.567,50"));
    EXPECT_EQ(fs.formatNumber(1234567.5, 0, false), QStringLiteral("1234568"));
    EXPECT_EQ(fs.formatNumber(-12.345, 1), QStringLiteral("-12,3"));
    EXPECT_EQ(fs.formatNumber(123, 0), QStringLiteral("123"));
    // Exact halves in binary round away from zero, on either side of the 15 significant digits.
    EXPECT_EQ(fs.formatNumber(492782085320.0625, 3), QStringLiteral("492.782.085.320,063"));
    EXPECT_EQ(fs.formatNumber(-2.5, 0), QStringLiteral("-3"));
    EXPECT_EQ(fs.formatNumber(0.125, 2), QStringLiteral("0,13"));
    EXPECT_EQ(fs.formatNumber(99999.9999999999, 2), QStringLiteral("100.000,00"));
    EXPECT_EQ(fs.formatNumber(-1e308, 2).size(), 1 + 309 + 102 + 3);
}

} // namespace
