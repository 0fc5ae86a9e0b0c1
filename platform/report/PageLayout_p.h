// The QPageLayout of a prepared page, for the PDF writer and the printer. Internal to the report library.
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

} // namespace report::detail
