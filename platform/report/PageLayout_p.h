// Placement shared by everything that draws prepared pages: the QPageLayout of a page (for the printer),
// and where the lines of a text item go (for the painter and the PDF writer alike). Internal to the report
// library.
#pragma once

#include "PreparedReport.h"

#include <QPageLayout>
#include <QPageSize>
#include <algorithm>

namespace report::detail {

// Paper of the page's size with zero margins: prepared items are placed from the paper's corner and already
// include the report's own margins. paperMm is the oriented size, QPageSize wants it upright, so a page
// wider than tall becomes a landscape layout of the upright size; a known paper (Letter, Legal, A4) is
// recognised within a fraction of a millimetre.
inline QPageLayout pageLayoutFor(const PreparedPage& page) {
    const QSizeF paper = page.paperMm;
    const bool landscape = paper.width() > paper.height();
    const QSizeF upright(std::min(paper.width(), paper.height()), std::max(paper.width(), paper.height()));
    const QPageSize size(upright, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

// The top of an item's first line: inside its top padding, moved down by the vertical alignment when the
// lines leave room.
inline double firstLineTopMm(const TextItem& item) {
    const double free = item.rect.height() - 2 * item.paddingTopMm - item.lines.size() * item.lineHeightMm;
    double top = item.rect.top() + item.paddingTopMm;
    if (free > 0 && item.vAlign == VAlign::Center)
        top += free / 2;
    else if (free > 0 && item.vAlign == VAlign::Bottom)
        top += free;
    return top;
}

// The left end of a line widthMm wide, inside the item's side paddings; a justified line starts at the left.
inline double lineLeftMm(const TextItem& item, double widthMm) {
    const QRectF& r = item.rect;
    switch (item.hAlign) {
    case HAlign::Right:
        return r.right() - item.paddingMm - widthMm;
    case HAlign::Center:
        return r.left() + item.paddingMm + (r.width() - 2 * item.paddingMm - widthMm) / 2;
    default:
        return r.left() + item.paddingMm;
    }
}

// Number of blanks a justified line stretches: those between words, not those after its last word.
inline int stretchableBlanks(const TextLine& line) {
    const QString text = line.plainText();
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return int(std::count(text.begin(), text.begin() + end, QLatin1Char(' ')));
}

} // namespace report::detail
