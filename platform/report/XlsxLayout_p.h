// XlsxLayout: where each primitive of a prepared report lands on a worksheet's cell grid. Internal to the
// report library; the spreadsheet writer turns it into cells.
//
// Columns are shared by all pages (a worksheet has one set of column widths): every left and right edge of
// a text, on any page, plus the left margins, sorted and clustered so that edges closer than the tolerance
// become one. Rows belong to one page each: the same is done with the top and bottom edges of that page's
// texts and its top and bottom margins, so a page keeps its height, blank stretches included, and the pages
// follow one another. A text spans the cells between the edges nearest to its own. Row intervals taller
// than a worksheet row may be are cut into equal rows.
//
// Texts that overlap on the page cannot both own the cells they share: a text whose cells are taken keeps
// the first free cell of its span, unmerged, and when none is free its text is added to the text already
// there, so nothing printed is lost.
//
// Lines and rectangle frames add no edges of their own (columns are fixed before any page is read, from
// the texts alone): each side lands on the grid edge nearest to it and becomes that side of the cells along
// it. An edge between two rows is drawn as the bottom of the row above it, so that a rule under a title and
// the title's own frame end up on one cell.
#pragma once

#include "PreparedReport.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

namespace report::detail {

struct XlsxTextCell {
    const TextItem* item = nullptr;
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0; // inclusive
    QColor fill;             // the text's fill, or that of a filled rectangle it lies in
    QString extraText;       // texts of overlapping items that found no cell of their own
    bool merged() const { return lastRow > firstRow || lastCol > firstCol; }
};

// The sides of one cell that lines and rectangles of the page draw; the thickest of them gives the width.
struct XlsxRuledCell {
    int row = 0, col = 0;
    FrameSpec sides; // no side set until a rule lands on the cell
};

struct XlsxImage {
    QImage image;            // drawn over the cells, sized widthMm x heightMm
    int row = 0, col = 0;    // cell holding the image's top-left corner
    double xOffsetMm = 0, yOffsetMm = 0; // from that cell's top-left corner
    double widthMm = 0, heightMm = 0;
};

struct XlsxLayout {
    std::vector<double> columnWidthsMm;
    // Heights of the rows from rowOffset on: a writer that is done with the rows of earlier pages drops
    // them and adds their number to rowOffset.
    std::vector<double> rowHeightsMm;
    int rowOffset = 0;
    std::vector<int> pageFirstRows;  // first row of each page
    std::vector<XlsxTextCell> texts;
    std::vector<XlsxImage> images;
    std::vector<XlsxRuledCell> rules; // by row, then column; each cell once
};

// Edges sorted and clustered: an edge further than tolerance from the start of the current cluster starts a
// new one; each cluster is represented by its first (smallest) edge.
std::vector<double> clusterEdges(std::vector<double> edges, double toleranceMm);

// The column edges every page shares (pages read one at a time, from the spill of a long report too).
std::vector<double> xlsxColumns(const PreparedReport& report, double toleranceMm = 0.5);

// Adds one page to layout: its rows after those already there (rowOffset included), its texts and images on
// columns. The texts point into page, which must outlive what is done with them. tallestRowMm: the largest
// height a row may take (a worksheet row holds at most 409 points).
void layoutPage(const PreparedPage& page, const std::vector<double>& columns, XlsxLayout& layout,
                double toleranceMm = 0.5, double tallestRowMm = 144.0);

// The whole layout of a report held in memory (its pages outlive the layout, hence no temporary).
XlsxLayout layoutForXlsx(const PreparedReport& report, double toleranceMm = 0.5, double tallestRowMm = 144.0);
XlsxLayout layoutForXlsx(PreparedReport&&, double = 0.5, double = 144.0) = delete;

} // namespace report::detail
