// PageRenderer: millimetres become painter units by one factor, pxPerMm.
//
// Text is drawn in the measuring system of the engine's text measurer: fonts at their size on a 1200 dpi
// device, in a coordinate system scaled down (or up) to the output. Qt rounds a font's size to whole device
// pixels before it lays glyphs out, so a font sized for each device directly would advance by a few percent
// more or less than what the measurer found (13 px instead of 13.33 at 10 pt on a 96 dpi screen). Drawn at
// the measuring resolution and scaled, every line is exactly as wide as TextLine::widthMm says, on a PDF, a
// printer and a screen alike, and a line that fitted its box at preparation fits it on every output.
//
// Lines arrive broken and measured by the engine: the renderer positions each line from its measured width
// and never re-wraps. Only justified lines are measured here, to spread their blanks across the box.
#include "PageRenderer.h"

#include "PageLayout_p.h"
#include "TextMeasurer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace report {

namespace {

constexpr double kMmPerPt = 25.4 / 72.0;
// The text measurer's resolution: text units are its device units.
constexpr double kTextDpi = TextMeasurer::kResolutionDpi;
constexpr double kTextUnitsPerMm = kTextDpi / 25.4;

// The font of a run for painter's device, sized so that in text units it is as large as on the measuring
// device.
QFont textFont(const QPainter& painter, const FontSpec& spec, const TextRun& run) {
    QFont font = TextMeasurer::qfont(spec, run.bold, run.italic, run.underline);
    const int dpiY = painter.device() && painter.device()->logicalDpiY() > 0 ? painter.device()->logicalDpiY() : 72;
    font.setPointSizeF(spec.sizePt * kTextDpi / dpiY);
    return font;
}

QRectF toPx(const QRectF& mm, double s) {
    return QRectF(mm.x() * s, mm.y() * s, mm.width() * s, mm.height() * s);
}

// A pen of widthPt points; below one painter unit it becomes a cosmetic hairline, so that thin frames stay
// visible on a screen at small zoom instead of fading out under antialiasing.
QPen linePen(double widthPt, const QColor& color, double pxPerMm) {
    const double w = widthPt * kMmPerPt * pxPerMm;
    QPen pen(color.isValid() ? color : QColor(Qt::black), w < 1.0 ? 0.0 : w);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Each side is drawn on the box's edge, centred on it: two boxes that share an edge draw their lines on top
// of each other, and square caps close the corners.
void drawFrame(QPainter& p, const QRectF& mm, const FrameSpec& frame, double s) {
    if (!frame.any() || frame.widthPt <= 0)
        return;
    p.setPen(linePen(frame.widthPt, frame.color, s));
    p.setBrush(Qt::NoBrush);
    const QRectF r = toPx(mm, s);
    if (frame.top)
        p.drawLine(r.topLeft(), r.topRight());
    if (frame.bottom)
        p.drawLine(r.bottomLeft(), r.bottomRight());
    if (frame.left)
        p.drawLine(r.topLeft(), r.bottomLeft());
    if (frame.right)
        p.drawLine(r.topRight(), r.bottomRight());
}

void fillRect(QPainter& p, const QRectF& mm, const QColor& fill, double s) {
    if (fill.isValid() && fill.alpha() > 0)
        p.fillRect(toPx(mm, s), fill);
}

// Natural advance of a line in text units, run by run.
double lineAdvance(const QPainter& p, const TextItem& item, const TextLine& line) {
    double w = 0;
    for (const TextRun& run : line.runs)
        w += QFontMetricsF(textFont(p, item.font, run), p.device()).horizontalAdvance(run.text);
    return w;
}

// Draws a line with its start at (x, baseline) in painter units; extraPerBlank is in text units.
void drawLine(QPainter& p, const TextItem& item, const TextLine& line, double x, double baseline, double s,
              double extraPerBlank) {
    p.save();
    p.translate(x, baseline);
    p.scale(s / kTextUnitsPerMm, s / kTextUnitsPerMm);
    double at = 0;
    for (const TextRun& run : line.runs) {
        const QFont font = textFont(p, item.font, run);
        p.setFont(font);
        const QFontMetricsF fm(font, p.device());
        if (extraPerBlank <= 0) {
            p.drawText(QPointF(at, 0), run.text);
            at += fm.horizontalAdvance(run.text);
            continue;
        }
        // Word by word, so that each blank can take its share of the slack.
        const QStringList words = run.text.split(QLatin1Char(' '));
        for (int i = 0; i < words.size(); ++i) {
            if (i > 0)
                at += fm.horizontalAdvance(QLatin1Char(' ')) + extraPerBlank;
            if (!words[i].isEmpty()) {
                p.drawText(QPointF(at, 0), words[i]);
                at += fm.horizontalAdvance(words[i]);
            }
        }
    }
    p.restore();
}

void drawPicture(QPainter& p, const PictureItem& item, double s) {
    if (item.image.isNull() || item.rect.isEmpty())
        return;
    const QRectF box = toPx(item.rect, s);
    QSizeF size = box.size();
    if (item.keepAspect)
        size = QSizeF(item.image.size()).scaled(box.size(), Qt::KeepAspectRatio);
    QPointF at = box.topLeft();
    if (item.center)
        at += QPointF((box.width() - size.width()) / 2, (box.height() - size.height()) / 2);
    p.drawImage(QRectF(at, size), item.image);
}

void drawDrawing(QPainter& p, const DrawingItem& item, double s) {
    if (item.picture.isNull() || item.rect.isEmpty())
        return;
    QSizeF source = item.sourceSize;
    if (source.isEmpty())
        source = item.picture.boundingRect().size();
    if (source.isEmpty())
        return;
    const QRectF box = toPx(item.rect, s);
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.translate(box.topLeft());
    // Replaying a picture scales it by the ratio of the device's resolution to the one it was recorded at;
    // the box alone decides its size here.
    const QPaintDevice* device = p.device();
    const double fx = device ? double(item.picture.logicalDpiX()) / device->logicalDpiX() : 1.0;
    const double fy = device ? double(item.picture.logicalDpiY()) / device->logicalDpiY() : 1.0;
    p.scale(box.width() / source.width() * fx, box.height() / source.height() * fy);
    p.drawPicture(0, 0, item.picture);
    p.restore();
}

struct ItemPainter {
    QPainter& p;
    double s;
    void operator()(const TextItem& t) { PageRenderer::renderText(p, t, s); }
    void operator()(const LineItem& l) {
        p.setPen(linePen(l.widthPt, l.color, s));
        p.drawLine(l.from * s, l.to * s);
    }
    void operator()(const RectItem& r) {
        fillRect(p, r.rect, r.fill, s);
        drawFrame(p, r.rect, r.frame, s);
    }
    void operator()(const PictureItem& pic) { drawPicture(p, pic, s); }
    void operator()(const DrawingItem& d) { drawDrawing(p, d, s); }
};

} // namespace

double PageRenderer::pixelsPerMm(const QPaintDevice& device, double zoom) {
    return device.logicalDpiX() / 25.4 * zoom;
}

void PageRenderer::renderText(QPainter& p, const TextItem& item, double s) {
    p.save();
    fillRect(p, item.rect, item.fill, s);
    if (!item.lines.isEmpty()) {
        p.save();
        p.setClipRect(toPx(item.rect, s), Qt::IntersectClip);
        p.setPen(item.font.color.isValid() ? item.font.color : QColor(Qt::black));
        const double top = detail::firstLineTopMm(item);
        const double available = item.rect.width() - 2 * item.paddingMm;
        for (int i = 0; i < item.lines.size(); ++i) {
            const TextLine& line = item.lines[i];
            const double baseline = (top + item.ascentMm + i * item.lineHeightMm) * s;
            const double widthMm = line.widthMm > 0 ? line.widthMm : lineAdvance(p, item, line) / kTextUnitsPerMm;
            const double x = detail::lineLeftMm(item, widthMm) * s;
            double extraPerBlank = 0;
            // The last line of a justified paragraph keeps its natural spacing.
            if (item.hAlign == HAlign::Justify && !line.endsParagraph) {
                const int blanks = detail::stretchableBlanks(line);
                const double slack = available * kTextUnitsPerMm - lineAdvance(p, item, line);
                if (blanks > 0 && slack > 0)
                    extraPerBlank = slack / blanks;
            }
            drawLine(p, item, line, x, baseline, s, extraPerBlank);
        }
        p.restore();
    }
    drawFrame(p, item.rect, item.frame, s);
    p.restore();
}

void PageRenderer::render(QPainter& painter, const PreparedPage& page, double pxPerMm) {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setLayoutDirection(Qt::LeftToRight);
    for (const PageItem& item : page.items)
        std::visit(ItemPainter{painter, pxPerMm}, item);
    painter.restore();
}

} // namespace report
