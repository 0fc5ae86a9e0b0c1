#include "XlsxLayout_p.h"

#include "PageRenderer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace report::detail {

namespace {

// Resolution at which drawings (charts) are turned into images for the worksheet.
constexpr double kDrawingDpi = 192.0;
constexpr double kHairlinePt = 0.25;

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
    // The row side nearest to y as an absolute row and whether it is that row's bottom: an edge between
    // two rows is the bottom of the upper one, the page's top edge the top of its first row.
    std::pair<int, bool> side(double y) const {
        const int e = nearestEdge(m_edges, y);
        if (e == 0)
            return {m_firstRow, false};
        return {m_firstRow + m_rowOfEdge[size_t(e)] - 1, true};
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

// The cell sides drawn by the lines and rectangle frames of a page, gathered per cell.
class Rules {
public:
    Rules(const PageRows& rows, const std::vector<double>& columns, double tolerance)
        : m_rows(rows), m_columns(columns), m_lastCol(int(columns.size()) - 2), m_tolerance(tolerance) {}

    void add(const LineItem& l) {
        if (l.color.isValid() && l.color.alpha() == 0)
            return;
        const double left = std::min(l.from.x(), l.to.x()), right = std::max(l.from.x(), l.to.x());
        const double top = std::min(l.from.y(), l.to.y()), bottom = std::max(l.from.y(), l.to.y());
        // A line of no width is drawn a device pixel wide: the thinnest border there is.
        const double widthPt = l.widthPt > 0 ? l.widthPt : kHairlinePt;
        // A slanted line has no cell side to stand for it.
        if (bottom - top <= m_tolerance) {
            const auto [row, isBottom] = m_rows.side((top + bottom) / 2);
            const auto [first, last] = columnSpan(left, right);
            for (int c = first; c <= last; ++c)
                set(row, c, isBottom ? &FrameSpec::bottom : &FrameSpec::top, widthPt, l.color);
        } else if (right - left <= m_tolerance) {
            const auto [col, isRight] = columnSide((left + right) / 2);
            const auto [first, last] = m_rows.span(top, bottom);
            for (int r = first; r <= last; ++r)
                set(r, col, isRight ? &FrameSpec::right : &FrameSpec::left, widthPt, l.color);
        }
    }

    // A rectangle frames the block of cells it encloses, as a memo's frame does its own cells.
    void add(const RectItem& r) {
        const FrameSpec& f = r.frame;
        if (!f.any() || f.widthPt <= 0 || (f.color.isValid() && f.color.alpha() == 0))
            return;
        const auto [firstRow, lastRow] = m_rows.span(r.rect.top(), r.rect.bottom());
        const auto [firstCol, lastCol] = columnSpan(r.rect.left(), r.rect.right());
        for (int c = firstCol; c <= lastCol; ++c) {
            if (f.top)
                set(firstRow, c, &FrameSpec::top, f.widthPt, f.color);
            if (f.bottom)
                set(lastRow, c, &FrameSpec::bottom, f.widthPt, f.color);
        }
        for (int row = firstRow; row <= lastRow; ++row) {
            if (f.left)
                set(row, firstCol, &FrameSpec::left, f.widthPt, f.color);
            if (f.right)
                set(row, lastCol, &FrameSpec::right, f.widthPt, f.color);
        }
    }

    void appendTo(std::vector<XlsxRuledCell>& out) const {
        for (const auto& [at, sides] : m_cells)
            out.push_back({at.first, at.second, sides});
    }

private:
    std::pair<int, int> columnSpan(double left, double right) const {
        const int first = std::min(nearestEdge(m_columns, left), m_lastCol);
        return {first, std::clamp(nearestEdge(m_columns, right) - 1, first, m_lastCol)};
    }
    // As the rows' side(): the edge between two columns is the right side of the left one.
    std::pair<int, bool> columnSide(double x) const {
        const int e = nearestEdge(m_columns, x);
        return e == 0 ? std::pair{0, false} : std::pair{std::min(e - 1, m_lastCol), true};
    }
    void set(int row, int col, bool FrameSpec::*side, double widthPt, const QColor& color) {
        auto [it, added] = m_cells.try_emplace({row, col});
        FrameSpec& f = it->second;
        if (added || widthPt > f.widthPt) {
            f.widthPt = widthPt;
            f.color = color.isValid() ? color : QColor(Qt::black);
        }
        f.*side = true;
    }

    const PageRows& m_rows;
    const std::vector<double>& m_columns;
    int m_lastCol;
    double m_tolerance;
    std::map<std::pair<int, int>, FrameSpec> m_cells; // by row, then column
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
    Rules rules(rows, columns, toleranceMm);
    for (const PageItem& item : page.items) {
        if (const auto* r = std::get_if<RectItem>(&item)) {
            if (r->fill.isValid() && r->fill.alpha() > 0)
                filledRects.push_back(r);
            rules.add(*r);
        } else if (const auto* l = std::get_if<LineItem>(&item)) {
            rules.add(*l);
        }
    }
    rules.appendTo(layout.rules);

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
