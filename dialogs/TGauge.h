// TGauge: shows how far Progress has gone between MinValue and MaxValue, as text, a horizontal or
// vertical bar, a pie or a needle, with the whole percentage written over the drawing.
//
// Painting is exclusive-or based: the kind is drawn on a black overlay and xor-ed onto a black image
// (which leaves the drawing as it is), then the percentage is written in white on another black overlay
// and xor-ed on top, so each text pixel shows the inverse colour of whatever lies under it: the part of
// the text over the bar and the part over the empty background both stay readable.
//
// Repaints are requested only when what is shown changes: a property set to its current value does
// nothing, and a Progress change that keeps the whole percentage (PercentDone) repaints nothing.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

enum class TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum class TGaugeBorderStyle { bsNone, bsSingle };

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    TGaugeKind Kind() const { return m_kind; }
    void SetKind(TGaugeKind kind);
    bool ShowText() const { return m_showText; }
    void SetShowText(bool show);
    TGaugeBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TGaugeBorderStyle style);
    QColor ForeColor() const { return m_foreColor; }
    void SetForeColor(const QColor& color);
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& color);

    int MinValue() const { return m_min; }
    // Above MaxValue: GeneralError "El valor debe estar entre -2147483647 y <MaxValue - 1>" (unless
    // loading). Pulls Progress up to the new minimum.
    void SetMinValue(int value);
    int MaxValue() const { return m_max; }
    // Below MinValue: GeneralError "El valor debe estar entre <MinValue + 1> y 2147483647" (unless
    // loading). Pulls Progress down to the new maximum.
    void SetMaxValue(int value);
    int Progress() const { return m_progress; }
    // Clamped to MinValue..MaxValue.
    void SetProgress(int value);
    void AddProgress(int value);

    // Trunc((Progress - MinValue) * 100 / (MaxValue - MinValue)); 0 when the range is empty.
    int PercentDone() const;

    // While loading (stored settings being applied in any order) the range checks are skipped.
    void SetLoading(bool loading) { m_loading = loading; }

    // The picture paintEvent puts on screen (for tests and printing).
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect innerRect() const;
    void paintKind(QPainter& p, const QRect& r) const;

    TGaugeKind m_kind = TGaugeKind::gkHorizontalBar;
    bool m_showText = true;
    TGaugeBorderStyle m_borderStyle = TGaugeBorderStyle::bsSingle;
    QColor m_foreColor = Qt::black;
    QColor m_backColor = Qt::white;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    bool m_loading = false;
};
