#include "GeneralError.h"
#include "TGauge.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <climits>
#include <gtest/gtest.h>

namespace {

struct PercentCase {
    const char* name;
    int min;
    int max;
    int progress;
    int percent;
};

class GaugePercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(GaugePercentTest, IsTheTruncatedShareOfTheRange) {
    const PercentCase& c = GetParam();
    TGauge g;
    g.SetMaxValue(INT_MAX);
    g.SetMinValue(c.min);
    g.SetMaxValue(c.max);
    g.SetProgress(c.progress);
    EXPECT_EQ(g.PercentDone(), c.percent);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GaugePercentTest,
    ::testing::Values(PercentCase{"Start", 0, 100, 0, 0}, PercentCase{"Half", 0, 100, 50, 50},
                      PercentCase{"Full", 0, 100, 100, 100}, PercentCase{"OneThirdTruncates", 0, 3, 1, 33},
                      PercentCase{"TwoThirdsTruncates", 0, 3, 2, 66},
                      PercentCase{"AlmostFull", 0, 1000, 999, 99}, PercentCase{"EmptyRange", 0, 0, 0, 0},
                      PercentCase{"OffsetRange", 10, 20, 15, 50},
                      PercentCase{"NegativeRange", -50, 50, 0, 50},
                      PercentCase{"WidestRangeDoesNotOverflow", -2147483647, 2147483647, 0, 50},
                      PercentCase{"AboveMaxClampsToFull", 0, 100, 150, 100},
                      PercentCase{"BelowMinClampsToNothing", 0, 100, -5, 0}),
    [](const ::testing::TestParamInfo<PercentCase>& info) { return std::string(info.param.name); });

TEST(GaugeTest, StartsAsTheDefaultsSay) {
    TGauge g;
    EXPECT_EQ(g.size(), QSize(100, 100));
    EXPECT_EQ(g.Kind(), TGaugeKind::gkHorizontalBar);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.BorderStyle(), TGaugeBorderStyle::bsSingle);
    EXPECT_EQ(g.ForeColor(), QColor(Qt::black));
    EXPECT_EQ(g.BackColor(), QColor(Qt::white));
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.Progress(), 0);
}

TEST(GaugeTest, ProgressIsKeptWithinTheRange) {
    TGauge g;
    g.SetProgress(150);
    EXPECT_EQ(g.Progress(), 100);
    g.SetProgress(-3);
    EXPECT_EQ(g.Progress(), 0);
    g.SetProgress(60);
    g.SetMaxValue(40);
    EXPECT_EQ(g.Progress(), 40);
    g.SetMinValue(20);
    g.SetProgress(5);
    EXPECT_EQ(g.Progress(), 20);
    g.SetProgress(30);
    g.SetMinValue(35);
    EXPECT_EQ(g.Progress(), 35);
    g.AddProgress(100);
    EXPECT_EQ(g.Progress(), 40);
    g.AddProgress(-100);
    EXPECT_EQ(g.Progress(), 35);
}

TEST(GaugeTest, ABoundPastTheOtherIsARangeError) {
    TGauge g;
    g.SetMaxValue(50);
    try {
        g.SetMinValue(51);
        FAIL() << "no error";
    } catch (const GeneralError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("El valor debe estar entre -2147483647 y 49"));
    }
    EXPECT_EQ(g.MinValue(), 0);
    g.SetMinValue(10);
    try {
        g.SetMaxValue(9);
        FAIL() << "no error";
    } catch (const GeneralError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("El valor debe estar entre 11 y 2147483647"));
    }
    EXPECT_EQ(g.MaxValue(), 50);
    // Equal bounds are allowed: the empty range of a progress window before its first pass.
    g.SetMaxValue(10);
    EXPECT_EQ(g.PercentDone(), 0);
}

TEST(GaugeTest, WhileLoadingTheBoundsMayCrossForAMoment) {
    TGauge g;
    g.SetLoading(true);
    EXPECT_NO_THROW(g.SetMinValue(200));
    EXPECT_NO_THROW(g.SetMaxValue(300));
    g.SetLoading(false);
    EXPECT_EQ(g.MinValue(), 200);
    EXPECT_EQ(g.MaxValue(), 300);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class GaugeRepaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        gauge.resize(200, 20);
        gauge.SetMaxValue(1000);
        gauge.show();
        QApplication::processEvents();
        counter.count = 0;
    }
    int paintsAfter(const std::function<void()>& change) {
        counter.count = 0;
        change();
        QApplication::processEvents();
        return counter.count;
    }
    TGauge gauge;
    PaintCounter counter{&gauge};
};

TEST_F(GaugeRepaintTest, OnlyAChangeOfTheWholePercentageRepaints) {
    EXPECT_EQ(paintsAfter([&] { gauge.SetProgress(100); }), 1);
    EXPECT_EQ(gauge.PercentDone(), 10);
    EXPECT_EQ(paintsAfter([&] { gauge.SetProgress(105); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetProgress(109); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetProgress(110); }), 1);
    EXPECT_EQ(paintsAfter([&] { gauge.SetProgress(110); }), 0);
}

TEST_F(GaugeRepaintTest, SettingAPropertyToItsValueDoesNothing) {
    EXPECT_EQ(paintsAfter([&] { gauge.SetForeColor(Qt::black); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetBackColor(Qt::white); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetKind(TGaugeKind::gkHorizontalBar); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetShowText(true); }), 0);
    EXPECT_EQ(paintsAfter([&] { gauge.SetForeColor(Qt::red); }), 1);
    EXPECT_EQ(paintsAfter([&] { gauge.SetKind(TGaugeKind::gkPie); }), 1);
}

// Distinct colours in a rectangle of an image.
QSet<QRgb> coloursIn(const QImage& img, const QRect& r) {
    QSet<QRgb> out;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            out.insert(img.pixel(x, y) & 0xFFFFFF);
    return out;
}

TEST(GaugePaintTest, TheBarFillsItsShareOfTheInnerRectangle) {
    TGauge g;
    g.resize(102, 12);
    g.SetShowText(false);
    g.SetForeColor(QColor(0, 0, 255));
    g.SetProgress(40);
    const QImage img = g.render();
    // Single border: one black pixel on each side; inner width 100, so 40 blue columns.
    EXPECT_EQ(img.pixel(0, 5) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(img.pixel(1, 5) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.pixel(40, 5) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.pixel(41, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(100, 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(101, 5) & 0xFFFFFF, 0x000000u);

    g.SetBorderStyle(TGaugeBorderStyle::bsNone);
    const QImage plain = g.render();
    EXPECT_EQ(plain.pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    // Without the border the inner width is 102: Trunc(40.8) = 40 columns.
    EXPECT_EQ(plain.pixel(39, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(plain.pixel(40, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(GaugePaintTest, AnEmptyRangeFillsNothing) {
    TGauge g;
    g.resize(50, 10);
    g.SetShowText(false);
    g.SetMaxValue(0);
    EXPECT_EQ(coloursIn(g.render(), QRect(1, 1, 48, 8)), QSet<QRgb>{0xFFFFFF});
}

TEST(GaugePaintTest, AFullVerticalBarStopsOnePixelShort) {
    TGauge g;
    g.resize(12, 52);
    g.SetShowText(false);
    g.SetKind(TGaugeKind::gkVerticalBar);
    g.SetForeColor(QColor(255, 0, 0));
    g.SetProgress(100);
    const QImage img = g.render();
    EXPECT_EQ(img.pixel(5, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(5, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(5, 50) & 0xFFFFFF, 0xFF0000u);
}

TEST(GaugePaintTest, ThePercentageShowsInTheInverseColourOfWhatLiesUnderIt) {
    TGauge g;
    g.resize(120, 30);
    QFont f = g.font();
    f.setPixelSize(20);
    g.setFont(f);
    g.SetForeColor(QColor(0, 0, 255));
    g.SetBackColor(QColor(255, 255, 255));
    const QRect text(30, 2, 60, 26);

    // Nothing done: the text is xor-ed over white and reads black.
    g.SetProgress(0);
    EXPECT_EQ(coloursIn(g.render(), text), (QSet<QRgb>{0xFFFFFF, 0x000000}));
    // All done: over blue it reads yellow, the inverse of blue.
    g.SetProgress(100);
    EXPECT_EQ(coloursIn(g.render(), text), (QSet<QRgb>{0x0000FF, 0xFFFF00}));
    // Half done: each part of the text takes the inverse of its own background.
    g.SetProgress(50);
    const QImage half = g.render();
    EXPECT_EQ(coloursIn(half, QRect(30, 2, 29, 26)), (QSet<QRgb>{0x0000FF, 0xFFFF00}));
    EXPECT_EQ(coloursIn(half, QRect(61, 2, 29, 26)), (QSet<QRgb>{0xFFFFFF, 0x000000}));
    // Without text the drawing is just the bar.
    g.SetShowText(false);
    EXPECT_EQ(coloursIn(g.render(), QRect(61, 2, 29, 26)), QSet<QRgb>{0xFFFFFF});
}

TEST(GaugePaintTest, PieAndNeedleDrawInTheForeColourOnlyWhenSomethingIsDone) {
    for (TGaugeKind kind : {TGaugeKind::gkPie, TGaugeKind::gkNeedle}) {
        TGauge g;
        g.resize(60, 60);
        g.SetShowText(false);
        g.SetKind(kind);
        g.SetForeColor(QColor(255, 0, 0));
        g.SetBackColor(QColor(0, 255, 0));
        g.SetProgress(0);
        const QImage none = g.render();
        g.SetProgress(50);
        const QImage half = g.render();
        // Half a pie fills the right half; a half-way needle stands upright from the base's middle.
        const QPoint probe = kind == TGaugeKind::gkPie ? QPoint(40, 30) : QPoint(30, 20);
        EXPECT_NE(none.pixel(probe) & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(half.pixel(probe) & 0xFFFFFF, 0xFF0000u);
    }
}

} // namespace
