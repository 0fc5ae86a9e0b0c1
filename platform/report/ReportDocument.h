// ReportDocument: the in-memory form of a layout document. A document has report pages; a page has its
// paper, its page header and footer, and a body of blocks printed in order. A data block walks one dataset
// and prints its master band once per record, inside any number of nested groups, between an optional
// column header and footer. Texts hold "[expression]" segments evaluated at preparation.
//
// Units: millimetres for positions and sizes (relative to the band's top-left corner), points for fonts
// and line widths.
#pragma once

#include "PreparedReport.h"

#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace report {

struct ObjectCommon {
    QString name;
    QRectF rect;           // mm, relative to the band
    QString visibleIf;     // expression; empty = always visible
};

// Display formats: "%2.2m" money in the currency pattern, "%2.2f" fixed decimals, "%2.2n" fixed decimals
// with thousands, "%g" general number, "0" / "#,##0.00" number patterns, "dd/mm/yyyy" date patterns.
struct MemoView : ObjectCommon {
    QString text;
    FontSpec font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = true;
    bool allowMarkup = false;   // "<B>bold</B>", "<I>", "<U>"
    bool stretch = false;       // grows to its text's height
    FrameSpec frame;
    QColor fill;                // invalid = transparent
    QString displayFormat;
    bool hideZeros = false;
};

struct PictureView : ObjectCommon {
    QString dataSet;            // user name of the dataset holding the image
    QString field;
    bool center = true;
    bool keepAspect = true;
};

struct LineView : ObjectCommon {
    // A line from the rectangle's top-left to its bottom-right corner: zero height is horizontal, zero
    // width vertical.
    double widthPt = 1.0;
    QColor color = Qt::black;
};

// Prints another report page of the same document (a page marked as subreport) inside this rectangle; the
// band grows with what the subreport prints.
struct SubreportView : ObjectCommon {
    QString page;
};

// Cross-tab: rows × columns of summed cells over a whole dataset. Rendering belongs to the cross-tab
// engine; the model keeps what the layouts declare.
struct CrossTabDimension {
    QString field;              // dataset field (or calculated field)
    QString title;              // header title
    enum class Sort { Ascending, Descending, DataOrder } sort = Sort::Ascending;
    bool totals = false;        // a total after each value of this dimension
    QString totalTitle = QStringLiteral("TOTAL");
};
struct CrossTabCell {
    QString field;
    QString title;
    QString displayFormat;
    enum class Function { Sum, Count, Min, Max, Avg } function = Function::Sum;
};
struct CrossTabView : ObjectCommon {
    QString dataSet;
    std::vector<CrossTabDimension> rows;
    std::vector<CrossTabDimension> columns;
    std::vector<CrossTabCell> cells;
    QString cornerRowTitle, cornerColumnTitle, cornerCellTitle;
    bool showTitle = false;
    bool rowGrandTotal = true;      // a last row "TOTAL"
    bool columnGrandTotal = false;  // a last column "TOTAL"
    QColor headerFill, cellFill;
    FontSpec font;
};

struct ChartSeries {
    QString title;
    QString categoryExpr;       // label of each point, e.g. <Ds."NOM_TNOM">
    QString valueExpr;
    QString markFormat = QStringLiteral("0");
};
struct ChartView : ObjectCommon {
    QString dataSet;
    enum class Kind { Bar } kind = Kind::Bar;
    std::vector<ChartSeries> series;
    enum class LegendPosition { Top, Bottom, Right, None } legend = LegendPosition::Top;
    QString title;
};

using ReportObject = std::variant<MemoView, PictureView, LineView, SubreportView, CrossTabView, ChartView>;

enum class BandKind { PageHeader, PageFooter, Title, Header, MasterData, GroupHeader, GroupFooter, Footer,
                      Summary, Child, Plain };

struct Band {
    BandKind kind = BandKind::Plain;
    QString name;
    double height = 0;          // design height, mm
    bool stretch = false;       // grows to its tallest stretched object
    bool equalCellHeights = false; // after stretching, every memo takes the band's height
    bool keepTogether = false;
    bool reprintOnNewPage = false;
    bool startNewPage = false;
    QString visibleIf;
    QString outlineText;        // expression; group headers add an outline entry when set
    std::vector<ReportObject> objects;
    std::shared_ptr<Band> child; // printed right after this band, on the same terms
};

struct GroupLevel {
    QString condition;          // expression whose change starts a new group
    Band header;
    std::optional<Band> footer;
    bool keepTogether = false;  // keep the whole group on one page when it fits on one
};

struct DataBlock {
    QString dataSet;            // user name; empty = the band prints rowCount times
    int rowCount = 1;
    std::optional<Band> header; // column titles before the first record (reprintOnNewPage repeats them)
    std::vector<GroupLevel> groups; // outermost first
    Band master;
    std::optional<Band> footer; // after the last record
};

using BodyElement = std::variant<Band, DataBlock>;

struct Counter {
    QString name;               // read in expressions as a variable
    QString incrementOn;        // name of the band whose printing increments it by one
    enum class Reset { Report, Page } reset = Reset::Report; // Page: each time its report page starts
    QString page;               // the report page it belongs to (reset = Page)
};

struct ReportPage {
    QString name;
    QSizeF paper{215.9, 279.4};  // oriented size
    bool landscape = false;
    QMarginsF margins{10, 10, 10, 10};
    bool subreport = false;       // printed only through a SubreportView
    std::optional<Band> pageHeader;
    std::optional<Band> pageFooter;
    std::vector<BodyElement> body;
    std::optional<Band> summary;
};

struct ReportDocument {
    QString name;                 // e.g. "frxRptTotNomi"
    QString title;                // document title (PDF title)
    QString sourceFile;           // where it was loaded from, for messages
    std::vector<ReportPage> pages;
    std::vector<Counter> counters;
    QStringList variables;        // report variables asked of the variable handler

    const ReportPage* findPage(const QString& name) const;
};

} // namespace report
