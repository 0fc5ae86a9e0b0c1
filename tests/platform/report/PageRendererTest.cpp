// The page renderer, seen through the pixels of rendered pages: text where its alignment puts it and never
// outside its box, frames on the box's edges, pictures and drawings scaled into their boxes, and the same
// geometry at any resolution.
#include "ImageExporter.h"
#include "OutputFixture.h"
#include "PageRenderer.h"

#include <QPainter>
#include <QPicture>

using namespace report;
using outtest::darkPixels;
using outtest::pixelRect;

namespace {

constexpr double kDpi = 200;
constexpr double kPx = kDpi / 25.4; // pixels per mm

QImage renderOne(const PageItem& item, double dpi = kDpi) {
    PreparedPage page;
    page.paperMm = QSizeF(120, 80);
    page.items.push_back(item);
    return ImageExporter::renderPage(page, dpi);
}

// Bounding box, in mm, of the dark pixels inside regionMm; empty when there are none.
QRectF inkMm(const QImage& image, const QRectF& regionMm, double dpi = kDpi) {
    const QRect r = pixelRect(regionMm, dpi).intersected(image.rect());
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return QRectF();
    const double s = dpi / 25.4;
    return QRectF(left / s, top / s, (right + 1 - left) / s, (bottom + 1 - top) / s);
}

const QRectF kBox(20, 20, 70, 30);

} // namespace

TEST(PageRendererText, HorizontalAlignmentPlacesTheLine) {
    struct Case {
        const char* name;
        HAlign align;
    };
    for (const Case& c : {Case{"left", HAlign::Left}, Case{"center", HAlign::Center}, Case{"right", HAlign::Right}}) {
        TextItem t = outtest::text(kBox, QStringLiteral("Nómina 123"), c.align);
        const QRectF ink = inkMm(renderOne(t), kBox);
        ASSERT_FALSE(ink.isEmpty()) << c.name;
        // Glyphs have side bearings of a fraction of a millimetre; 0.6 mm is well below a character.
        switch (c.align) {
        case HAlign::Left:
            EXPECT_NEAR(ink.left(), kBox.left() + t.paddingMm, 0.6) << c.name;
            break;
        case HAlign::Right:
            EXPECT_NEAR(ink.right(), kBox.right() - t.paddingMm, 0.6) << c.name;
            break;
        default:
            EXPECT_NEAR(ink.center().x(), kBox.center().x(), 0.6) << c.name;
        }
        EXPECT_NEAR(ink.width(), t.lines[0].widthMm, 1.0) << c.name << ": drawn width follows the measured width";
    }
}

TEST(PageRendererText, VerticalAlignmentMovesTheLines) {
    struct Case {
        const char* name;
        VAlign align;
        double expectedCenterMm;
    };
    TextItem t = outtest::text(kBox, QStringLiteral("Hay\nDos"));
    const double block = 2 * t.lineHeightMm;
    const Case cases[] = {
        {"top", VAlign::Top, kBox.top() + t.paddingTopMm + block / 2},
        {"center", VAlign::Center, kBox.center().y()},
        {"bottom", VAlign::Bottom, kBox.bottom() - t.paddingTopMm - block / 2},
    };
    for (const Case& c : cases) {
        t.vAlign = c.align;
        const QRectF ink = inkMm(renderOne(t), kBox);
        ASSERT_FALSE(ink.isEmpty()) << c.name;
        // Ink sits between cap height and baseline, off the line box's centre by under a millimetre at 10 pt.
        EXPECT_NEAR(ink.center().y(), c.expectedCenterMm, 1.0) << c.name;
    }
}

TEST(PageRendererText, TextNeverLeavesItsBox) {
    const QRectF small(20, 20, 25, 5);
    TextItem t = outtest::text(small, QStringLiteral("Un texto demasiado largo para su caja\nsegunda\ntercera"));
    const QImage image = renderOne(t);
    EXPECT_GT(darkPixels(image, pixelRect(small, kDpi)), 0);
    const QRect inside = pixelRect(small, kDpi);
    EXPECT_EQ(darkPixels(image, image.rect()) - darkPixels(image, inside), 0);
}

TEST(PageRendererText, JustifiedLinesReachTheRightEdgeButTheLastDoesNot) {
    const PreparedReport r = outtest::sampleReport();
    const TextItem& paragraph = outtest::findText(r.pages[1], QStringLiteral("Este"));
    ASSERT_GE(paragraph.lines.size(), 3);
    const QImage image = ImageExporter::renderPage(r.pages[1], kDpi);
    const double right = paragraph.rect.right() - paragraph.paddingMm;
    for (int i = 0; i < paragraph.lines.size(); ++i) {
        const double top = paragraph.rect.top() + paragraph.paddingTopMm + i * paragraph.lineHeightMm;
        const QRectF ink = inkMm(image, QRectF(paragraph.rect.left(), top + 0.3, paragraph.rect.width(),
                                               paragraph.lineHeightMm - 0.6));
        ASSERT_FALSE(ink.isEmpty()) << "line " << i;
        if (!paragraph.lines[i].endsParagraph)
            EXPECT_NEAR(ink.right(), right, 0.6) << "line " << i << " is stretched";
        else
            EXPECT_LT(ink.right(), right - 3) << "the last line keeps its natural width";
    }
}

TEST(PageRendererText, BoldRunIsHeavierThanPlainRun) {
    TextItem t = outtest::text(kBox, QString());
    t.lines[0].runs = {TextRun{QStringLiteral("MMMM"), true, false, false},
                       TextRun{QStringLiteral("MMMM"), false, false, false}};
    const QImage image = renderOne(t);
    const QRectF ink = inkMm(image, kBox);
    const double mid = ink.center().x();
    const int boldInk = darkPixels(image, pixelRect(QRectF(ink.left(), kBox.top(), mid - ink.left(), 8), kDpi));
    const int plainInk = darkPixels(image, pixelRect(QRectF(mid, kBox.top(), ink.right() - mid, 8), kDpi));
    EXPECT_GT(boldInk, plainInk * 1.2);
}

TEST(PageRendererFrame, EachSideIsDrawnOnItsOwnEdge) {
    struct Case {
        const char* name;
        FrameSpec frame;
        bool left, top, right, bottom;
    };
    const Case cases[] = {
        {"left only", FrameSpec{true, false, false, false, 1, Qt::black}, true, false, false, false},
        {"top and bottom", FrameSpec{false, true, false, true, 1, Qt::black}, false, true, false, true},
        {"all", outtest::allSides(1), true, true, true, true},
    };
    for (const Case& c : cases) {
        TextItem t = outtest::text(kBox, QString());
        t.frame = c.frame;
        const QImage image = renderOne(t);
        auto edgeHasInk = [&](const QRectF& strip) {
            return darkPixels(image, pixelRect(strip, kDpi)) > 0.8 * pixelRect(strip, kDpi).height() *
                                                                    std::min(1, pixelRect(strip, kDpi).width());
        };
        // Strips 0.4 mm wide centred on each edge, away from the corners.
        EXPECT_EQ(edgeHasInk(QRectF(kBox.left() - 0.2, kBox.top() + 2, 0.4, kBox.height() - 4)), c.left) << c.name;
        EXPECT_EQ(edgeHasInk(QRectF(kBox.right() - 0.2, kBox.top() + 2, 0.4, kBox.height() - 4)), c.right) << c.name;
        EXPECT_EQ(edgeHasInk(QRectF(kBox.left() + 2, kBox.top() - 0.2, kBox.width() - 4, 0.4)), c.top) << c.name;
        EXPECT_EQ(edgeHasInk(QRectF(kBox.left() + 2, kBox.bottom() - 0.2, kBox.width() - 4, 0.4)), c.bottom) << c.name;
        EXPECT_EQ(darkPixels(image, pixelRect(kBox.adjusted(1, 1, -1, -1), kDpi)), 0) << c.name << ": inside clear";
    }
}

// Frame and line widths are points: a 4 pt rule is four times a 1 pt one on the page.
TEST(PageRendererFrame, WidthIsInPoints) {
    TextItem thin = outtest::text(kBox, QString());
    thin.frame = FrameSpec{true, false, false, false, 1, Qt::black};
    TextItem thick = thin;
    thick.frame.widthPt = 4;
    const QRectF strip(kBox.left() - 2, kBox.top() + 5, 4, 1);
    EXPECT_NEAR(inkMm(renderOne(thin), strip).width(), 25.4 / 72, 0.2);
    EXPECT_NEAR(inkMm(renderOne(thick), strip).width(), 4 * 25.4 / 72, 0.2);
}

TEST(PageRendererFill, FillLiesUnderTheText) {
    TextItem t = outtest::text(kBox, QStringLiteral("Con fondo"));
    t.fill = QColor(255, 255, 0);
    const QImage image = renderOne(t);
    EXPECT_TRUE(outtest::isMostly(image, pixelRect(QRectF(kBox.left() + 1, kBox.bottom() - 8, 60, 6), kDpi),
                                  qRgb(255, 255, 0), 0.99, 5));
    EXPECT_GT(darkPixels(image, pixelRect(QRectF(kBox.left(), kBox.top(), 30, 6), kDpi)), 50);
}

TEST(PageRendererPicture, KeepsAspectAndCentres) {
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(QColor(220, 0, 0));
    const QRectF box = outtest::kLogoRect; // 34 x 27: the image becomes 34 x 17, 5 mm below the top
    const QImage kept = renderOne(PictureItem{box, red, true, true});
    const QRgb redRgb = qRgb(220, 0, 0);
    EXPECT_TRUE(outtest::isMostly(kept, pixelRect(QRectF(box.left() + 0.5, box.top() + 5.5, 33, 16), kDpi), redRgb, 0.99, 10));
    EXPECT_TRUE(outtest::isMostly(kept, pixelRect(QRectF(box.left(), box.top(), 34, 4.5), kDpi), qRgb(255, 255, 255), 0.99, 5));
    EXPECT_TRUE(outtest::isMostly(kept, pixelRect(QRectF(box.left(), box.bottom() - 4.5, 34, 4.5), kDpi), qRgb(255, 255, 255), 0.99, 5));

    const QImage top = renderOne(PictureItem{box, red, false, true});
    EXPECT_TRUE(outtest::isMostly(top, pixelRect(QRectF(box.left() + 0.5, box.top() + 0.5, 33, 16), kDpi), redRgb, 0.99, 10));

    const QImage stretched = renderOne(PictureItem{box, red, true, false});
    EXPECT_TRUE(outtest::isMostly(stretched, pixelRect(box.adjusted(0.5, 0.5, -0.5, -0.5), kDpi), redRgb, 0.99, 10));
}

TEST(PageRendererDrawing, IsReplayedScaledIntoItsBox) {
    QPicture picture;
    {
        QPainter p(&picture);
        p.fillRect(QRectF(0, 0, 100, 50), QColor(0, 0, 200));
        p.fillRect(QRectF(60, 10, 30, 40), QColor(0, 170, 0));
    }
    // Source 50 x 25 into a 100 x 30 box: twice as wide, 1.2 times as tall. The recording reaches beyond the
    // source size (its green bar starts at x 60), and what falls outside the box is clipped: the box shows
    // blue only, and nothing is drawn below it.
    DrawingItem d{QRectF(10, 10, 100, 30), picture, QSizeF(50, 25)};
    const QImage image = renderOne(d);
    EXPECT_TRUE(outtest::isMostly(image, pixelRect(QRectF(11, 11, 98, 28), kDpi), qRgb(0, 0, 200), 0.95, 10));
    EXPECT_EQ(darkPixels(image, pixelRect(QRectF(10, 41, 100, 30), kDpi)), 0) << "nothing below the box";

    DrawingItem whole{QRectF(10, 10, 100, 50), picture, QSizeF(100, 50)};
    const QImage full = renderOne(whole);
    EXPECT_TRUE(outtest::isMostly(full, pixelRect(QRectF(71, 21, 28, 38), kDpi), qRgb(0, 170, 0), 0.95, 10));
    EXPECT_TRUE(outtest::isMostly(full, pixelRect(QRectF(11, 11, 48, 48), kDpi), qRgb(0, 0, 200), 0.95, 10));
}

TEST(PageRendererLine, IsDrawnBetweenItsEnds) {
    const QRectF ink =
        inkMm(renderOne(LineItem{QPointF(10, 40), QPointF(100, 40), 2, Qt::black}), QRectF(0, 0, 120, 80));
    EXPECT_NEAR(ink.left(), 10, 1);
    EXPECT_NEAR(ink.right(), 100, 1);
    EXPECT_NEAR(ink.center().y(), 40, 0.3);
}
