#include "PreviewPageView_p.h"

#include "ImageExporter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace report::detail {

namespace {
// Rendered pages kept at once; a long report scrolled through does not keep every page in memory.
constexpr int kMaxCachedPages = 12;
}

PreviewPageView::PreviewPageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void PreviewPageView::setReport(const PreparedReport* report) {
    m_report = report;
    m_current = 0;
    m_images.clear();
    relayout();
    showPage(0);
}

double PreviewPageView::unitsPerMmAtFullSize() const {
    return viewport()->logicalDpiX() / 25.4;
}

QSizeF PreviewPageView::availableSize() const {
    return QSizeF(std::max(1, viewport()->width() - 2 * kGap), std::max(1, viewport()->height() - 2 * kGap));
}

void PreviewPageView::setZoom(double zoom) {
    zoom = std::clamp(zoom, 0.1, 8.0);
    if (qFuzzyCompare(zoom, m_zoom) && !m_pageRects.empty())
        return;
    const int page = m_current;
    m_zoom = zoom;
    m_images.clear();
    relayout();
    showPage(page);
}

void PreviewPageView::relayout() {
    m_pageRects.clear();
    const double s = unitsPerMmAtFullSize() * m_zoom;
    int width = 0;
    int y = kGap;
    if (m_report) {
        for (int i = 0; i < m_report->pageCount(); ++i) {
            const PreparedPage page = m_report->pageFrame(i);
            const QSize size(qRound(page.paperMm.width() * s), qRound(page.paperMm.height() * s));
            m_pageRects.emplace_back(QPoint(0, y), size);
            y += size.height() + kGap;
            width = std::max(width, size.width());
        }
    }
    const int contentWidth = std::max(width + 2 * kGap, viewport()->width());
    for (QRect& r : m_pageRects)
        r.moveLeft((contentWidth - r.width()) / 2);
    m_contentSize = QSize(contentWidth, y);
    horizontalScrollBar()->setRange(0, std::max(0, m_contentSize.width() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, m_contentSize.height() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    viewport()->update();
}

void PreviewPageView::showPage(int page, double yMm) {
    if (m_pageRects.empty())
        return;
    page = std::clamp(page, 0, int(m_pageRects.size()) - 1);
    const double s = unitsPerMmAtFullSize() * m_zoom;
    const int top = yMm >= 0 ? m_pageRects[size_t(page)].top() + qRound(yMm * s) : m_pageRects[size_t(page)].top() - kGap;
    m_scrollingToPage = true;
    verticalScrollBar()->setValue(top);
    m_scrollingToPage = false;
    setCurrent(page);
    viewport()->update();
}

void PreviewPageView::setHighlight(const QString& text) {
    m_highlight = text;
    viewport()->update();
}

void PreviewPageView::setCurrent(int page) {
    if (page == m_current)
        return;
    m_current = page;
    Q_EMIT currentPageChanged(page);
}

int PreviewPageView::mostVisiblePage() const {
    const QRect visible(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), viewport()->size());
    int best = m_current;
    int bestHeight = -1;
    for (int i = 0; i < int(m_pageRects.size()); ++i) {
        const int h = m_pageRects[size_t(i)].intersected(visible).height();
        if (h > bestHeight) {
            best = i;
            bestHeight = h;
        }
    }
    return best;
}

void PreviewPageView::scrollContentsBy(int, int) {
    // A page chosen by navigation stays current even when the view cannot scroll it to the top (the last
    // pages); only the user's own scrolling moves the current page.
    if (!m_scrollingToPage)
        setCurrent(mostVisiblePage());
    viewport()->update();
}

void PreviewPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
    Q_EMIT viewportResized();
}

const QImage& PreviewPageView::pageImage(int page) {
    auto it = m_images.find(page);
    if (it != m_images.end())
        return *it;
    if (m_images.size() >= kMaxCachedPages) {
        // Drop the rendered page furthest from this one.
        int furthest = m_images.constBegin().key();
        for (auto i = m_images.constBegin(); i != m_images.constEnd(); ++i)
            if (std::abs(i.key() - page) > std::abs(furthest - page))
                furthest = i.key();
        m_images.remove(furthest);
    }
    const qreal dpr = viewport()->devicePixelRatioF();
    QImage image = ImageExporter::renderPage(m_report->page(page), viewport()->logicalDpiX() * m_zoom * dpr);
    image.setDevicePixelRatio(dpr);
    return *m_images.insert(page, image);
}

void PreviewPageView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (!m_report)
        return;
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect visible = event->rect().translated(offset);
    p.translate(-offset);
    const double s = unitsPerMmAtFullSize() * m_zoom;
    for (int i = 0; i < int(m_pageRects.size()); ++i) {
        const QRect r = m_pageRects[size_t(i)];
        if (!r.adjusted(0, 0, 4, 4).intersects(visible))
            continue;
        p.fillRect(r.translated(3, 3), QColor(0, 0, 0, 60));
        p.fillRect(r, Qt::white);
        p.drawImage(QRectF(r), pageImage(i));
        if (m_highlight.isEmpty())
            continue;
        for (const PageItem& item : m_report->page(i).items) {
            const auto* t = std::get_if<TextItem>(&item);
            if (t && t->plainText().contains(m_highlight, Qt::CaseInsensitive)) {
                const QRectF mark(r.left() + t->rect.left() * s, r.top() + t->rect.top() * s, t->rect.width() * s,
                                  t->rect.height() * s);
                p.fillRect(mark, QColor(255, 200, 0, 110));
            }
        }
    }
}

} // namespace report::detail
