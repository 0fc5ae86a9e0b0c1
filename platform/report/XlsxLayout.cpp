#include "XlsxLayout_p.h"

#include "PageRenderer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <set>

namespace report::detail {

namespace {

// Resolution at which drawings (charts) are turned into images for the worksheet.
constexpr double kDrawingDpi = 192.0;

int nearestEdge(const std::vector<double>& edges, double x) {
    const auto it = std::lower_bound(edges.begin(), edges.end(), x);
    if (it == edges.begin())
        return 0;
    if (it == edges.end())
        return int(edges.size()) - 1;
    const int i = int(it - edges.begin());
    return (x - edges[size_t(i - 1)] <= edges[size_t(i)] - x) ? i - 1 : i;
}

// The interval [edges[i], edges[i+1]) holding x, clamped to the intervals there are.
int intervalOf(const std::vector<double>& edges, double x) {
    const auto it = std::upper_bound(edges.begin(), edges.end(), x);
    const int i = int(it - edges.begin()) - 1;
    return std::clamp(i, 0, std::max(0, int(edges.size()) - 2));
}

std::vector<double> atLeastTwo(std::vector<double> edges) {
    if (edges.empty())
        edges.push_back(0);
    if (edges.size() < 2)
        edges.push_back(edges.front() + 10);
    return edges;
}

QRectF drawnPictureRect(const PictureItem& p) {
    if (p.image.isNull() || !p.keepAspect)
        return p.rect;
    const QSizeF size = QSizeF(p.image.size()).scaled(p.rect.size(), Qt::KeepAspectRatio);
    QPointF at = p.rect.topLeft();
    if (p.center)
        at += QPointF((p.rect.width() - size.width()) / 2, (p.rect.height() - size.height()) / 2);
    return QRectF(at, size);
}

QImage drawingImage(const DrawingItem& d) {
    const double pxPerMm = kDrawingDpi / 25.4;
    QImage image(std::max(1, qRound(d.rect.width() * pxPerMm)), std::max(1, qRound(d.rect.height() * pxPerMm)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(kDrawingDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kDrawingDpi / 0.0254));
    image.fill(Qt::transparent);
    PreparedPage alone;
    DrawingItem atOrigin = d;
    atOrigin.rect.moveTopLeft(QPointF(0, 0));
    alone.items.push_back(atOrigin);
    QPainter painter(&image);
    PageRenderer::render(painter, alone, pxPerMm);
    return image;
}

class PageRows {
public:
    PageRows(const PreparedPage& page, double tolerance, double tallest, int firstRow) : m_firstRow(firstRow) {
        std::vector<double> ys{page.marginsMm.top(), page.paperMm.height() - page.marginsMm.bottom()};
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item)) {
                ys.push_back(t->rect.top());
                ys.push_back(t->rect.bottom());
            }
        m_edges = atLeastTwo(clusterEdges(ys, tolerance));
        for (size_t k = 0; k + 1 < m_edges.size(); ++k) {
            m_rowOfEdge.push_back(int(m_heights.size()));
            const double h = m_edges[k + 1] - m_edges[k];
            const int pieces = std::max(1, int(std::ceil(h / tallest)));
            for (int i = 0; i < pieces; ++i) {
                m_tops.push_back(m_edges[k] + i * h / pieces);
                m_heights.push_back(h / pieces);
            }
        }
        m_rowOfEdge.push_back(int(m_heights.size()));
    }

    const std::vector<double>& heights() const { return m_heights; }
    // Rows of a span from top to bottom, as absolute rows [first, last].
    std::pair<int, int> span(double top, double bottom) const {
        const int first = m_rowOfEdge[size_t(nearestEdge(m_edges, top))];
        const int last = std::max(first, m_rowOfEdge[size_t(nearestEdge(m_edges, bottom))] - 1);
        return {m_firstRow + first, m_firstRow + std::min(last, int(m_heights.size()) - 1)};
    }
    // Absolute row holding y, and y's distance from that row's top.
    std::pair<int, double> rowAt(double y) const {
        const auto it = std::upper_bound(m_tops.begin(), m_tops.end(), y);
        const int i = std::max(0, int(it - m_tops.begin()) - 1);
        return {m_firstRow + i, std::max(0.0, y - m_tops[size_t(i)])};
    }

private:
    int m_firstRow;
    std::vector<double> m_edges;
    std::vector<int> m_rowOfEdge;  // first row starting at each edge
    std::vector<double> m_tops, m_heights;
};

} // namespace

std::vector<double> clusterEdges(std::vector<double> edges, double toleranceMm) {
    std::sort(edges.begin(), edges.end());
    std::vector<double> clusters;
    for (double e : edges)
        if (clusters.empty() || e - clusters.back() > toleranceMm)
            clusters.push_back(e);
    return clusters;
}

std::vector<double> xlsxColumns(const PreparedReport& report, double toleranceMm) {
    if (report.spill)
        return atLeastTwo(clusterEdges(report.spill->textEdges(), toleranceMm));
    // Pages repeat the same edges: each distinct one is kept once.
    std::set<double> xs;
    for (int p = 0; p < report.pageCount(); ++p) {
        const PreparedPage page = report.page(p);
        xs.insert(page.marginsMm.left());
        for (const PageItem& item : page.items)
            if (const auto* t = std::get_if<TextItem>(&item)) {
                xs.insert(t->rect.left());
                xs.insert(t->rect.right());
            }
    }
    return atLeastTwo(clusterEdges(std::vector<double>(xs.begin(), xs.end()), toleranceMm));
}

void layoutPage(const PreparedPage& page, const std::vector<double>& columns, XlsxLayout& layout, double toleranceMm,
                double tallestRowMm) {
    const int lastCol = int(columns.size()) - 2;
    const int firstRow = layout.rowOffset + int(layout.rowHeightsMm.size());
    const PageRows rows(page, toleranceMm, tallestRowMm, firstRow);
    layout.pageFirstRows.push_back(firstRow);
    layout.rowHeightsMm.insert(layout.rowHeightsMm.end(), rows.heights().begin(), rows.heights().end());

    // Rows belong to one page: cells taken are those of this page, a grid small enough to hold whole.
    const int columnCount = lastCol + 1;
    std::vector<int> owner(rows.heights().size() * size_t(columnCount), -1); // cell -> index in layout.texts
    const auto ownerOf = [&](int row, int col) -> int& {
        return owner[size_t(row - firstRow) * size_t(columnCount) + size_t(col)];
    };
    std::vector<const RectItem*> filledRects;
    for (const PageItem& item : page.items) {
        if (const auto* r = std::get_if<RectItem>(&item); r && r->fill.isValid() && r->fill.alpha() > 0)
            filledRects.push_back(r);
    }

    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            XlsxTextCell cell;
            cell.item = t;
            std::tie(cell.firstRow, cell.lastRow) = rows.span(t->rect.top(), t->rect.bottom());
            cell.firstCol = std::min(nearestEdge(columns, t->rect.left()), lastCol);
            cell.lastCol = std::clamp(nearestEdge(columns, t->rect.right()) - 1, cell.firstCol, lastCol);
            cell.fill = t->fill;
            if (!cell.fill.isValid()) {
                for (const RectItem* r : filledRects)
                    if (r->rect.adjusted(-toleranceMm, -toleranceMm, toleranceMm, toleranceMm).contains(t->rect))
                        cell.fill = r->fill;
            }
            bool free = true;
            for (int r = cell.firstRow; r <= cell.lastRow && free; ++r)
                for (int c = cell.firstCol; c <= cell.lastCol && free; ++c)
                    free = ownerOf(r, c) < 0;
            if (!free) {
                int freeRow = -1, freeCol = -1;
                for (int r = cell.firstRow; r <= cell.lastRow && freeRow < 0; ++r)
                    for (int c = cell.firstCol; c <= cell.lastCol && freeRow < 0; ++c)
                        if (ownerOf(r, c) < 0) {
                            freeRow = r;
                            freeCol = c;
                        }
                if (freeRow < 0) {
                    // A text drawn over another one joins it as a line of its own; an empty one adds nothing.
                    XlsxTextCell& there = layout.texts[size_t(ownerOf(cell.firstRow, cell.firstCol))];
                    if (!t->plainText().isEmpty())
                        there.extraText += QLatin1Char('\n') + t->plainText();
                    continue;
                }
                cell.firstRow = cell.lastRow = freeRow;
                cell.firstCol = cell.lastCol = freeCol;
            }
            for (int r = cell.firstRow; r <= cell.lastRow; ++r)
                for (int c = cell.firstCol; c <= cell.lastCol; ++c)
                    ownerOf(r, c) = int(layout.texts.size());
            layout.texts.push_back(cell);
            continue;
        }

        XlsxImage image;
        QRectF at;
        if (const auto* p = std::get_if<PictureItem>(&item); p && !p->image.isNull()) {
            image.image = p->image;
            at = drawnPictureRect(*p);
        } else if (const auto* d = std::get_if<DrawingItem>(&item); d && !d->picture.isNull()) {
            image.image = drawingImage(*d);
            at = d->rect;
        } else {
            continue;
        }
        if (at.isEmpty())
            continue;
        image.col = intervalOf(columns, at.left());
        image.xOffsetMm = std::max(0.0, at.left() - columns[size_t(image.col)]);
        std::tie(image.row, image.yOffsetMm) = rows.rowAt(at.top());
        image.widthMm = at.width();
        image.heightMm = at.height();
        layout.images.push_back(image);
    }
}

XlsxLayout layoutForXlsx(const PreparedReport& report, double toleranceMm, double tallestRowMm) {
    XlsxLayout layout;
    const std::vector<double> columns = xlsxColumns(report, toleranceMm);
    for (size_t c = 0; c + 1 < columns.size(); ++c)
        layout.columnWidthsMm.push_back(columns[c + 1] - columns[c]);
    for (const PreparedPage& page : report.pages)
        layoutPage(page, columns, layout, toleranceMm, tallestRowMm);
    return layout;
}

} // namespace report::detail
