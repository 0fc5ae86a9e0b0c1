// Painting follows the exclusive-or scheme described in the header: every layer is drawn on a black
// overlay and combined with RasterOp_SourceXorDestination, so black is the neutral colour of the
// combination. The text layer is drawn without antialiasing: xor-ing grey edge pixels would leave
// coloured fringes instead of a clean inverse.
#include "TGauge.h"

#include "GeneralError.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

GeneralError outOfRange(qint64 low, qint64 high) {
    return GeneralError(QStringLiteral("El valor debe estar entre %1 y %2").arg(low).arg(high));
}

void xorOnto(QImage& image, const QImage& overlay) {
    QPainter p(&image);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(0, 0, overlay);
}

} // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    resize(100, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGauge::SetKind(TGaugeKind kind) {
    if (kind == m_kind)
        return;
    m_kind = kind;
    update();
}

void TGauge::SetShowText(bool show) {
    if (show == m_showText)
        return;
    m_showText = show;
    update();
}

void TGauge::SetBorderStyle(TGaugeBorderStyle style) {
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void TGauge::SetForeColor(const QColor& color) {
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    update();
}

void TGauge::SetBackColor(const QColor& color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void TGauge::SetMinValue(int value) {
    if (value == m_min)
        return;
    if (value > m_max && !m_loading)
        throw outOfRange(-2147483647LL, static_cast<qint64>(m_max) - 1);
    m_min = value;
    if (m_progress < value)
        m_progress = value;
    update();
}

void TGauge::SetMaxValue(int value) {
    if (value == m_max)
        return;
    if (value < m_min && !m_loading)
        throw outOfRange(static_cast<qint64>(m_min) + 1, 2147483647LL);
    m_max = value;
    if (m_progress > value)
        m_progress = value;
    update();
}

void TGauge::SetProgress(int value) {
    // While loading, a bound may not be in place yet; the clamp uses what is there, as the order of the
    // stored settings decides.
    const int clamped = m_min <= m_max ? std::clamp(value, m_min, m_max) : value;
    if (clamped == m_progress)
        return;
    const int before = PercentDone();
    m_progress = clamped;
    if (PercentDone() != before)
        update();
}

void TGauge::AddProgress(int value) {
    SetProgress(
        static_cast<int>(std::clamp<qint64>(static_cast<qint64>(m_progress) + value, INT_MIN, INT_MAX)));
    update();
}

int TGauge::PercentDone() const {
    const qint64 range = static_cast<qint64>(m_max) - m_min;
    if (range == 0)
        return 0;
    return static_cast<int>((static_cast<qint64>(m_progress) - m_min) * 100 / range);
}

QRect TGauge::innerRect() const {
    QRect r = rect();
    if (m_borderStyle == TGaugeBorderStyle::bsSingle)
        r.adjust(1, 1, -1, -1);
    return r;
}

void TGauge::paintKind(QPainter& p, const QRect& r) const {
    const int percent = PercentDone();
    switch (m_kind) {
    case TGaugeKind::gkText:
        p.fillRect(r, m_backColor);
        break;
    case TGaugeKind::gkHorizontalBar: {
        p.fillRect(r, m_backColor);
        const int w = std::min(static_cast<int>(r.width() * percent * 0.01), r.width());
        if (w > 0)
            p.fillRect(QRect(r.left(), r.top(), w, r.height()), m_foreColor);
        break;
    }
    case TGaugeKind::gkVerticalBar: {
        p.fillRect(r, m_backColor);
        int h = static_cast<int>(r.height() * percent * 0.01);
        if (h >= r.height())
            h = r.height() - 1;
        if (h > 0)
            p.fillRect(QRect(r.left(), r.bottom() - h + 1, r.width(), h), m_foreColor);
        break;
    }
    case TGaugeKind::gkPie: {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(m_foreColor);
        p.setBrush(m_backColor);
        const QRect box = r.adjusted(0, 0, -1, -1);
        p.drawEllipse(box);
        if (percent > 0) {
            // The slice runs from the top centre clockwise by percent of the full turn.
            p.setBrush(m_foreColor);
            p.drawPie(box, 90 * 16, -static_cast<int>(std::lround(percent * 3.6 * 16)));
        }
        break;
    }
    case TGaugeKind::gkNeedle: {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(m_foreColor);
        p.setBrush(m_backColor);
        const double mx = r.width() / 2.0;
        const int baseY = r.top() + r.height() - 1;
        // The dial is the upper half of an ellipse as wide as the control and twice its height.
        const QRect dial(r.left(), r.top(), r.width() - 1, 2 * r.height() - 2);
        p.drawChord(dial, 0, 180 * 16);
        p.drawLine(r.left(), baseY, r.right(), baseY);
        if (percent > 0) {
            const double a = std::numbers::pi * percent / 100.0;
            const QPoint tip(r.left() + static_cast<int>(std::lround(mx * (1 - std::cos(a)))),
                             r.top() + static_cast<int>(std::lround((r.height() - 1) * (1 - std::sin(a)))));
            p.drawLine(QPoint(r.left() + static_cast<int>(mx), baseY), tip);
        }
        break;
    }
    }
}

QImage TGauge::render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRect inner = innerRect();

    QImage overlay(size(), QImage::Format_RGB32);
    overlay.fill(Qt::black);
    // The single border is the black frame that the inner rectangle leaves untouched.
    if (!inner.isEmpty()) {
        QPainter p(&overlay);
        paintKind(p, inner);
    }
    xorOnto(image, overlay);

    if (m_showText && !inner.isEmpty()) {
        QImage textLayer(size(), QImage::Format_RGB32);
        textLayer.fill(Qt::black);
        QPainter p(&textLayer);
        QFont f = font();
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(Qt::white);
        const QString text = QStringLiteral("%1%").arg(PercentDone());
        const QFontMetrics fm(f);
        const int tw = fm.horizontalAdvance(text);
        const int th = fm.height();
        const int left = inner.left() + (inner.width() + 1 - tw) / 2;
        const int top = inner.top() + (inner.height() + 1 - th) / 2;
        p.drawText(QRect(left, top, tw, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        p.end();
        xorOnto(image, textLayer);
    }
    return image;
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, render());
}
