// The progress gauge: its percentage, the range it keeps, and a drawing a person would read as the right
// amount done with the percentage legible over it.
#include "TGauge.h"
#include "TestSupport.h"

#include <QImage>
#include <climits>
#include <gtest/gtest.h>

namespace {

struct PercentCase {
    const char* name;
    int min, max, progress, percent;
};

TEST(GaugeTest, PercentIsTheTruncatedShareOfTheRange) {
    const PercentCase cases[] = {
        {"Start", 0, 100, 0, 0},
        {"Full", 0, 100, 100, 100},
        {"OneThirdTruncates", 0, 3, 1, 33},
        {"EmptyRange", 0, 0, 0, 0},
        {"OffsetRange", 10, 20, 15, 50},
        {"WidestRangeDoesNotOverflow", -2147483647, 2147483647, 0, 50},
        {"AboveMaxClampsToFull", 0, 100, 150, 100},
        {"BelowMinClampsToNothing", 0, 100, -5, 0},
    };
    for (const PercentCase& c : cases) {
        SCOPED_TRACE(c.name);
        TGauge g;
        g.SetMaxValue(INT_MAX);
        g.SetMinValue(c.min);
        g.SetMaxValue(c.max);
        g.SetProgress(c.progress);
        EXPECT_EQ(g.PercentDone(), c.percent);
    }
}

TEST(GaugeTest, ProgressIsKeptWithinTheRange) {
    TGauge g;
    g.SetProgress(60);
    g.SetMaxValue(40);
    EXPECT_EQ(g.Progress(), 40);
    g.SetProgress(30);
    g.SetMinValue(35);
    EXPECT_EQ(g.Progress(), 35);
    g.AddProgress(100);
    EXPECT_EQ(g.Progress(), 40);
    g.AddProgress(-100);
    EXPECT_EQ(g.Progress(), 35);
}

TEST(GaugeTest, ABoundPastTheOtherIsARangeErrorButNotWhileLoading) {
    TGauge g;
    g.SetMaxValue(50);
    EXPECT_EQ(testsupport::errorOf([&] { g.SetMinValue(51); }),
              QStringLiteral("El valor debe estar entre -2147483647 y 49"));
    EXPECT_EQ(g.MinValue(), 0);
    g.SetMinValue(10);
    EXPECT_EQ(testsupport::errorOf([&] { g.SetMaxValue(9); }),
              QStringLiteral("El valor debe estar entre 11 y 2147483647"));
    EXPECT_EQ(g.MaxValue(), 50);
    // Equal bounds are allowed: the empty range of a progress window before its first pass.
    g.SetMaxValue(10);
    EXPECT_EQ(g.PercentDone(), 0);

    TGauge loading;
    loading.SetLoading(true);
    EXPECT_NO_THROW(loading.SetMinValue(200));
    EXPECT_NO_THROW(loading.SetMaxValue(300));
    loading.SetLoading(false);
    EXPECT_EQ(loading.MinValue(), 200);
    EXPECT_EQ(loading.MaxValue(), 300);
}

// Pixels of a rectangle of the image that have colour c.
int pixelsOf(const QImage& img, const QRect& r, QColor c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += QColor(img.pixel(x, y)) == c;
    return n;
}

TEST(GaugePaintTest, BarsFillTheirShareFromTheStart) {
    TGauge g;
    g.resize(202, 22);
    g.SetShowText(false);
    g.SetForeColor(Qt::blue);
    g.SetProgress(40);
    const QImage bar = g.render();
    EXPECT_NEAR(pixelsOf(bar, QRect(0, 11, 202, 1), Qt::blue), 80, 3);
    EXPECT_EQ(QColor(bar.pixel(10, 11)), QColor(Qt::blue)) << "filled from the left";
    g.SetMaxValue(0);
    EXPECT_EQ(pixelsOf(g.render(), g.rect(), Qt::blue), 0) << "an empty range fills nothing";

    TGauge v;
    v.resize(22, 202);
    v.SetShowText(false);
    v.SetKind(TGaugeKind::gkVerticalBar);
    v.SetForeColor(Qt::red);
    v.SetProgress(25);
    const QImage column = v.render();
    EXPECT_NEAR(pixelsOf(column, QRect(11, 0, 1, 202), Qt::red), 50, 3);
    EXPECT_EQ(QColor(column.pixel(11, 190)), QColor(Qt::red)) << "filled from the bottom";
}

// The percentage stays legible whether it lies over the filled part, the empty part or both.
TEST(GaugePaintTest, ThePercentageReadsOverTheBarAndTheBackground) {
    TGauge g;
    g.resize(120, 30);
    QFont f = g.font();
    f.setPixelSize(20);
    g.setFont(f);
    g.SetForeColor(Qt::blue);
    const QRect text(30, 2, 60, 26);
    for (int progress : {0, 50, 100}) {
        g.SetProgress(progress);
        const QImage img = g.render();
        const int textPixels =
            text.width() * text.height() - pixelsOf(img, text, Qt::blue) - pixelsOf(img, text, Qt::white);
        EXPECT_GT(textPixels, 40) << progress << " %";
    }
    g.SetShowText(false);
    const QImage plain = g.render();
    EXPECT_EQ(pixelsOf(plain, text, Qt::blue) + pixelsOf(plain, text, Qt::white),
              text.width() * text.height());
}

// Half done: a pie fills its right half, a needle stands upright over the middle of its base.
TEST(GaugePaintTest, PieAndNeedleShowProgressInTheForeColour) {
    for (TGaugeKind kind : {TGaugeKind::gkPie, TGaugeKind::gkNeedle}) {
        TGauge g;
        g.resize(60, 60);
        g.SetShowText(false);
        g.SetKind(kind);
        g.SetForeColor(Qt::red);
        g.SetBackColor(Qt::green);
        const QRect where = kind == TGaugeKind::gkPie ? QRect(36, 20, 12, 20) : QRect(28, 10, 5, 15);
        EXPECT_EQ(pixelsOf(g.render(), where, Qt::red), 0);
        g.SetProgress(50);
        EXPECT_GT(pixelsOf(g.render(), where, Qt::red), 10);
    }
}

} // namespace
