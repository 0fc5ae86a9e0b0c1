// PreparedReport: the output of report preparation, a list of pages of positioned primitives. Everything a
// renderer needs is resolved here (texts evaluated and broken into lines, heights stretched, page numbers
// filled in), so the PDF, the preview, the printer and the spreadsheet show the same thing.
//
// Units: millimetres from the top-left corner of the paper for positions and sizes; points for font sizes
// and line widths. Text lines are broken at preparation with the engine's text measurer; a renderer draws
// each line at its baseline and never re-wraps.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <variant>
#include <vector>

class QDataStream;

namespace report {

enum class HAlign { Left, Center, Right, Justify };
enum class VAlign { Top, Center, Bottom };

struct FontSpec {
    QString family = QStringLiteral("Arial");
    double sizePt = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct FrameSpec {
    bool left = false, top = false, right = false, bottom = false;
    double widthPt = 1.0;
    QColor color = Qt::black;
    bool any() const { return left || top || right || bottom; }
    friend bool operator==(const FrameSpec&, const FrameSpec&) = default;
};

// A piece of a text line in one style (markup "<B>...</B>" makes bold runs).
struct TextRun {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct TextLine {
    QVector<TextRun> runs;
    double widthMm = 0;     // measured width of the whole line
    bool endsParagraph = true; // false when the line was broken by wrapping (justified lines stretch)
    QString plainText() const;
};

// The typed value behind a text, for the spreadsheet: a memo that shows exactly one expression keeps the
// expression's number or date here, with the spreadsheet number format to show it with.
struct CellValue {
    enum class Kind { None, Number, Date } kind = Kind::None;
    double number = 0;       // the number, or the date as days since 1899-12-30
    QString excelFormat;     // e.g. "\"$\" #,##0.00" or "dd/mm/yyyy"
};

struct TextItem {
    QRectF rect;            // mm
    QVector<TextLine> lines;
    FontSpec font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    double lineHeightMm = 0; // distance between baselines
    double ascentMm = 0;     // from the top of a line to its baseline
    double paddingMm = 1.0;  // inner gap between the frame and the text, left and right
    double paddingTopMm = 0.5; // inner gap above the first line (and below the last, when centring)
    FrameSpec frame;
    QColor fill;            // invalid: transparent
    CellValue value;
    QString name;           // name of the memo in the layout (find, diagnostics)
    QString plainText() const; // lines joined by "\n"
};

struct LineItem {
    QPointF from, to;       // mm
    double widthPt = 1.0;
    QColor color = Qt::black;
};

struct RectItem {
    QRectF rect;
    QColor fill;
    FrameSpec frame;
};

struct PictureItem {
    QRectF rect;            // mm: the box; the image is scaled into it keeping its aspect, centred
    QImage image;
    bool center = true;
    bool keepAspect = true;
};

// Vector drawing recorded once (a chart): replayed scaled into rect.
struct DrawingItem {
    QRectF rect;
    QPicture picture;       // recorded in a coordinate system of sourceSize
    QSizeF sourceSize;
};

using PageItem = std::variant<TextItem, LineItem, RectItem, PictureItem, DrawingItem>;

struct PreparedPage {
    QSizeF paperMm{215.9, 279.4};
    bool landscape = false;  // paperMm is already the oriented size; the flag is kept for printers
    QMarginsF marginsMm{10, 10, 10, 10};
    std::vector<PageItem> items;
};

struct OutlineEntry {
    QString text;
    int page = 0;        // 0-based page index
    double yMm = 0;      // top of the band that produced it
    int level = 0;       // nesting: 0 for top-level groups
};

// The pages of a long report kept in a temporary file instead of memory, each compressed, read back one at
// a time: a report of any length is prepared and written in the memory of a few hundred pages. The engine
// appends pages as they are finished; the page count, known only at the end, replaces its mark in the
// texts of a page when the page is read back.
class PageSpill {
public:
    PageSpill(); // throws GeneralError when no temporary file can be made
    ~PageSpill();
    PageSpill(const PageSpill&) = delete;
    PageSpill& operator=(const PageSpill&) = delete;

    void append(PreparedPage page);
    int count() const;
    PreparedPage read(int index) const;
    // Paper, orientation and margins of a page, without reading its items.
    PreparedPage frame(int index) const;
    // The distinct left margins and left and right edges of texts of every page, ascending: what a grid
    // shared by all pages is made from, without reading the pages again.
    std::vector<double> textEdges() const;
    void setPageCount(const QString& mark, const QString& total);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

struct PreparedReport {
    QString title;
    QString author = QStringLiteral("VNmRtgen");
    QString subject = QStringLiteral("VNmRtgen PDF export");
    // Every page, for a report held in memory. A long report's pages are in spill instead, and this is
    // empty: read pages through pageCount() and page().
    std::vector<PreparedPage> pages;
    std::shared_ptr<const PageSpill> spill;
    std::vector<OutlineEntry> outline;

    int pageCount() const { return spill ? spill->count() : int(pages.size()); }
    PreparedPage page(int index) const { return spill ? spill->read(index) : pages.at(size_t(index)); }
    PreparedPage pageFrame(int index) const;
    bool isEmpty() const { return pageCount() == 0; }
    // Pages whose texts contain text (case-insensitive), in page order.
    std::vector<int> findPages(const QString& text) const;
    // Binary form for save and load of a prepared report ("VNRP" magic, versioned).
    QByteArray serialize() const;
    // Throws GeneralError with a Spanish message on a damaged or foreign file.
    static PreparedReport deserialize(const QByteArray& data);
    // The same form in a file (".vnrp"). save() replaces the file only once it is completely written;
    // both throw GeneralError with a Spanish message naming the file.
    void save(const QString& path) const;
    static PreparedReport load(const QString& path);
};

} // namespace report
