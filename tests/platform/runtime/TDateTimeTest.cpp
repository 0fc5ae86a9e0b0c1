#include "GeneralError.h"
#include "TDateTime.h"

#include <gtest/gtest.h>

TEST(TDateTime, SerialDaysFromTheEpoch) {
    EXPECT_EQ(TDateTime(0).date(), QDate(1899, 12, 30));
    EXPECT_DOUBLE_EQ(TDateTime::encodeDate(1900, 1, 1).value(), 2.0);
    EXPECT_DOUBLE_EQ(TDateTime::encodeDate(2026, 12, 6).value(), 46362.0);
    EXPECT_EQ(TDateTime(-1.25).toDateTime(), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    const TDateTime t = TDateTime::fromDateTime(QDateTime(QDate(2026, 1, 15), QTime(18, 30, 15)));
    EXPECT_EQ(t.toDateTime(), QDateTime(QDate(2026, 1, 15), QTime(18, 30, 15)));
    EXPECT_TRUE(t.hasTime());
    EXPECT_EQ(t.dateOnly().toDateTime(), QDateTime(QDate(2026, 1, 15), QTime(0, 0)));
}

TEST(TDateTime, IsoTextBothWays) {
    EXPECT_EQ(TDateTime::encodeDate(2026, 2, 28).toIso(), QStringLiteral("2026-02-28"));
    EXPECT_EQ(TDateTime::fromIso(QStringLiteral("2026-02-28 07:05:09"))->toIso(),
              QStringLiteral("2026-02-28 07:05:09"));
    EXPECT_EQ(TDateTime::fromIso(QStringLiteral("2026-02-28T07:05:09.250"))->toDateTime().time(),
              QTime(7, 5, 9, 250));
    EXPECT_FALSE(TDateTime::fromIso(QStringLiteral("2026-02-30")).has_value());
    EXPECT_FALSE(TDateTime::fromIso(QStringLiteral("2026-02-28 25:00:00")).has_value());
    EXPECT_FALSE(TDateTime::fromIso(QStringLiteral("28/02/2026")).has_value());
}

TEST(TDateTime, EncodeRefusesImpossibleDates) {
    EXPECT_THROW(TDateTime::encodeDate(2026, 2, 29), GeneralError);
    EXPECT_NO_THROW(TDateTime::encodeDate(2024, 2, 29));
    EXPECT_FALSE(TDateTime::tryEncodeDate(2026, 13, 1).has_value());
}
