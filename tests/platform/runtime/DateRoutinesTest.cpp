#include "DateRoutines.h"
#include "GeneralError.h"

#include <gtest/gtest.h>

namespace {

TDateTime D(int y, int m, int d) { return TDateTime::encodeDate(y, m, d); }

struct AddCase {
    const char* name;
    int amount;
    const char* unit;
    TDateTime date;
    bool addOneDay;
    TDateTime expected;
};

class SumaAFechaTable : public ::testing::TestWithParam<AddCase> {};

TEST_P(SumaAFechaTable, GivesTheExpectedDate) {
    const AddCase& c = GetParam();
    EXPECT_EQ(SumaAFecha(c.amount, QString::fromLatin1(c.unit), c.date, c.addOneDay).date(), c.expected.date())
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    MonthEndsAndLeapYears, SumaAFechaTable,
    ::testing::Values(
        AddCase{"LeapDayMinusOneYearFallsOnFeb28", -1, "Y", D(2020, 2, 29), false, D(2019, 2, 28)},
        AddCase{"Jan31PlusOneMonthNonLeap", 1, "M", D(2021, 1, 31), false, D(2021, 2, 28)},
        AddCase{"Jan31PlusOneMonthLeap", 1, "M", D(2024, 1, 31), false, D(2024, 2, 29)},
        AddCase{"MinusThirteenMonthsCrossesTwoYears", -13, "M", D(2021, 3, 15), false, D(2020, 2, 15)},
        AddCase{"MinusThreeMonthsFromMarch", -3, "M", D(2026, 3, 15), false, D(2025, 12, 15)},
        AddCase{"PlusElevenMonthsStaysInYearThenCarries", 11, "M", D(2026, 2, 10), false, D(2027, 1, 10)},
        AddCase{"MinusTwelveMonthsIsOneYear", -12, "M", D(2026, 12, 31), false, D(2025, 12, 31)},
        AddCase{"Oct31PlusOneMonthIsNov30", 1, "M", D(2026, 10, 31), false, D(2026, 11, 30)},
        AddCase{"AddOneDayFlagWithZeroDays", 0, "D", D(2026, 12, 31), true, D(2027, 1, 1)},
        AddCase{"AddOneDayFlagBeforeMonthArithmetic", 1, "M", D(2026, 1, 30), true, D(2026, 2, 28)},
        AddCase{"LowerCaseWeeks", 2, "s", D(2026, 12, 25), false, D(2027, 1, 8)},
        AddCase{"LowerCaseYearLetterA", 1, "a", D(2024, 2, 29), false, D(2025, 2, 28)},
        AddCase{"CenturyYearIsNotLeap", 1, "Y", D(2096, 2, 29), false, D(2097, 2, 28)},
        AddCase{"Year2000IsLeap", 4, "Y", D(1996, 2, 29), false, D(2000, 2, 29)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SumaAFecha, UnknownUnitIsRefusedWithItsMessage) {
    try {
        SumaAFecha(1, QStringLiteral("H"), D(2026, 1, 1), false);
        FAIL() << "no error";
    } catch (const GeneralError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unidad de Tiempo inválida para la función SumaAFecha"));
    }
}

TEST(SumaAFecha, DaysAndWeeksKeepTheTimeOfDayMonthsDropIt) {
    const TDateTime noon(D(2026, 5, 10).value() + 0.5);
    EXPECT_DOUBLE_EQ(SumaAFecha(3, QStringLiteral("D"), noon, false).value(), noon.value() + 3);
    EXPECT_DOUBLE_EQ(SumaAFecha(1, QStringLiteral("S"), noon, false).value(), noon.value() + 7);
    EXPECT_DOUBLE_EQ(SumaAFecha(1, QStringLiteral("M"), noon, false).value(), D(2026, 6, 10).value());
    EXPECT_DOUBLE_EQ(SumaAFecha(-1, QStringLiteral("Y"), noon, false).value(), D(2025, 5, 10).value());
}

TEST(AjustarFecha, CarriesMonthsOutsideTheYearBothWays) {
    EXPECT_EQ(AjustarFecha(2026, 13, 5).date(), QDate(2027, 1, 5));
    EXPECT_EQ(AjustarFecha(2026, 0, 5).date(), QDate(2025, 12, 5));
    EXPECT_EQ(AjustarFecha(2026, -12, 5).date(), QDate(2024, 12, 5));
    EXPECT_EQ(AjustarFecha(2026, 25, 31).date(), QDate(2028, 1, 31));
    EXPECT_EQ(AjustarFecha(2026, 6, 31).date(), QDate(2026, 6, 30));
    EXPECT_EQ(AjustarFecha(2028, 14, 30).date(), QDate(2029, 2, 28));
}

TEST(AjustarFecha, ImpossibleDayIsAnError) {
    EXPECT_THROW(AjustarFecha(2026, 1, 32), GeneralError);
    EXPECT_THROW(AjustarFecha(2026, 1, 0), GeneralError);
}

TEST(EsBisiesto, FollowsTheGregorianCalendar) {
    EXPECT_TRUE(EsBisiesto(2024));
    EXPECT_TRUE(EsBisiesto(2000));
    EXPECT_FALSE(EsBisiesto(2026));
    // Under a divisible-by-four rule 29/02/2100 would be built and then rejected as no date.
    EXPECT_FALSE(EsBisiesto(2100));
    EXPECT_EQ(SumaAFecha(1, QStringLiteral("M"), D(2100, 1, 31), false).date(), QDate(2100, 2, 28));
}

TEST(MonthBounds, FirstAndLastDayOfTheMonth) {
    for (int day = 1; day <= 29; ++day)
        EXPECT_EQ(UltimoDiaDelMes(D(2024, 2, day)).date(), QDate(2024, 2, 29)) << day;
    EXPECT_EQ(UltimoDiaDelMes(D(2026, 2, 14)).date(), QDate(2026, 2, 28));
    EXPECT_EQ(UltimoDiaDelMes(D(2026, 12, 31)).date(), QDate(2026, 12, 31));
    EXPECT_EQ(UltimoDiaDelMes(D(2026, 1, 31)).date(), QDate(2026, 1, 31));
    EXPECT_EQ(PrimerDiaDelMes(TDateTime(D(2026, 12, 31).value() + 0.75)).date(), QDate(2026, 12, 1));
    EXPECT_FALSE(PrimerDiaDelMes(TDateTime(D(2026, 12, 31).value() + 0.75)).hasTime());
    EXPECT_EQ(AnoDeFecha(D(2026, 12, 31)), 2026);
    EXPECT_EQ(MesDeFecha(D(2026, 12, 31)), 12);
}

TEST(AjustarDia30, CommercialMonthEnds) {
    struct Case { int y, m, d, expected; } cases[] = {
        {2026, 1, 31, 30}, {2026, 1, 30, 30}, {2026, 4, 30, 30}, {2026, 2, 28, 30}, {2024, 2, 28, 28},
        {2024, 2, 29, 30}, {2026, 2, 27, 27}, {2026, 12, 15, 15}};
    for (const Case& c : cases) {
        int day = c.d;
        AjustarDia30(c.y, c.m, day);
        EXPECT_EQ(day, c.expected) << c.y << "-" << c.m << "-" << c.d;
    }
}

struct DaysCase {
    const char* name;
    const char* mode;
    TDateTime start;
    TDateTime end;
    int expected;
};

class DiasEntreFechasTable : public ::testing::TestWithParam<DaysCase> {};

TEST_P(DiasEntreFechasTable, CountsDays) {
    const DaysCase& c = GetParam();
    EXPECT_EQ(DiasEntreFechas(QString::fromLatin1(c.mode), c.start, c.end), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    CalendarAndCommercial, DiasEntreFechasTable,
    ::testing::Values(
        DaysCase{"CalendarSameDayIsOne", "A", D(2026, 3, 3), D(2026, 3, 3), 1},
        DaysCase{"CalendarCountsBothEnds", "A", D(2026, 1, 1), D(2026, 1, 31), 31},
        DaysCase{"CalendarOrderDoesNotMatter", "A", D(2026, 1, 31), D(2026, 1, 1), 31},
        DaysCase{"CalendarAcrossLeapDay", "A", D(2024, 2, 1), D(2024, 3, 1), 30},
        DaysCase{"CalendarBeyondSixteenBitsIsNotWrapped", "A", TDateTime(0), D(2026, 1, 1), 46024},
        DaysCase{"CommercialJanuaryIsThirty", "C", D(2026, 1, 1), D(2026, 1, 31), 30},
        DaysCase{"CommercialJan31ToFeb28", "C", D(2026, 1, 31), D(2026, 2, 28), 31},
        DaysCase{"CommercialWholeYear", "C", D(2026, 1, 1), D(2026, 12, 31), 360},
        DaysCase{"CommercialFebruaryToFebruaryDayBeforeEnd", "C", D(2023, 2, 28), D(2024, 2, 28), 360},
        DaysCase{"CommercialStartInFebruaryIsNotAdjusted", "C", D(2026, 2, 28), D(2026, 3, 31), 33},
        DaysCase{"CommercialLeapFebruaryEnd", "C", D(2024, 2, 1), D(2024, 2, 29), 30},
        DaysCase{"CommercialReversedIsNegative", "C", D(2026, 3, 1), D(2026, 1, 1), -59},
        DaysCase{"UnknownModeIsZero", "X", D(2026, 1, 1), D(2026, 1, 31), 0},
        DaysCase{"OnlyFirstCharacterCounts", "Calendario", D(2026, 1, 1), D(2026, 1, 31), 30}),
    [](const auto& info) { return std::string(info.param.name); });

struct PadCase {
    const char* name;
    int length;
    const char* text;
    const char* cut;
    char fill;
    const char* pad;
    const char* expected;
};

class AjustarLongitudTable : public ::testing::TestWithParam<PadCase> {};

TEST_P(AjustarLongitudTable, PadsOrCuts) {
    const PadCase& c = GetParam();
    EXPECT_EQ(AjustarLongitud(c.length, QString::fromLatin1(c.text), QString::fromLatin1(c.cut),
                              QLatin1Char(c.fill), QString::fromLatin1(c.pad)),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AjustarLongitudTable,
    ::testing::Values(PadCase{"ShortPaddedLeft", 2, "5", "I", '0', "D", "05"},
                      PadCase{"LongKeepsLastCharacters", 2, "123", "I", '0', "D", "23"},
                      PadCase{"LongKeepsFirstCharacters", 2, "123", "D", '0', "D", "12"},
                      PadCase{"ShortPaddedRight", 4, "ab", "I", '*', "I", "ab**"},
                      PadCase{"ExactLengthUnchanged", 3, "007", "X", '0', "X", "007"},
                      PadCase{"UnknownPadSideIsEmpty", 3, "5", "I", '0', "Z", ""},
                      PadCase{"UnknownCutSideIsEmpty", 1, "55", "Z", '0', "D", ""},
                      PadCase{"MunicipalityCode", 3, "1", "I", '0', "D", "001"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
