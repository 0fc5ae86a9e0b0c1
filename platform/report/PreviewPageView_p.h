// PreviewPageView: the scrolling page area of the preview window. Pages are laid out one below the other,
// centred, at the current zoom; each visible page is drawn from an image rendered once per zoom. Internal
// to the report library.
#pragma once

#include "PreparedReport.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <vector>

namespace report::detail {

class PreviewPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewPageView(QWidget* parent = nullptr);

    // The report must outlive the view or be replaced before it goes.
    void setReport(const PreparedReport* report);
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    // Screen units per millimetre at zoom 1.0 (the paper's real size on this screen).
    double unitsPerMmAtFullSize() const;

    int currentPage() const { return m_current; }
    // Scrolls so that the page (and, when yMm >= 0, that height of it) is at the top of the view.
    void showPage(int page, double yMm = -1);

    // Marks the texts that contain text (case-insensitive); empty clears the marks.
    void setHighlight(const QString& text);
    const QString& highlight() const { return m_highlight; }

    // Space available for a page at the current size, without margins around it.
    QSizeF availableSize() const;
    static constexpr int kGap = 12;

Q_SIGNALS:
    void currentPageChanged(int page);
    void viewportResized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    void setCurrent(int page);
    int mostVisiblePage() const;
    const QImage& pageImage(int page);

    const PreparedReport* m_report = nullptr;
    double m_zoom = 1.0;
    int m_current = 0;
    bool m_scrollingToPage = false;
    QString m_highlight;
    std::vector<QRect> m_pageRects;   // content coordinates
    QSize m_contentSize;
    QHash<int, QImage> m_images;      // rendered pages at m_zoom
};

} // namespace report::detail
