// XlsxWriter: a workbook of one worksheet written as it is produced, for reports of any length. Internal to
// the report library; XlsxExporter decides what goes in the cells.
//
// The package is a ZIP archive written front to back into an OutputSink: each part's sizes and checksum
// follow its data (a data descriptor), and the directory of parts comes last, so nothing is ever rewritten
// and the archive can go to a pipe. The worksheet is deflated into its part, on a thread of its own, while
// the caller writes the next rows, so the cells are never all held. What the worksheet must list after its rows and cannot know before
// them (merged ranges, of which a listing has one or two per row) goes to a temporary file once it passes
// a megabyte. Pictures, met while the worksheet's part is still open, wait in a temporary file and become
// parts of their own once it is closed; the same picture met again is stored once. The cell looks are kept
// in memory, deduplicated: there are as many as there are distinct looks, whatever the number of rows.
//
// The archive takes no ZIP64 records: a part or the archive reaching 4 GiB, or more than 65,534 parts,
// makes the writer refuse with a GeneralError rather than write a file that readers would misread. A
// listing's worksheet reaches its limit of 1,048,576 rows at some 400 MB; only very long texts in every
// cell would take it to 4 GiB.
#pragma once

#include "OutputFile.h"
#include "PreparedReport.h"

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace report::detail {

// The worksheet's limits: cells past them are not written.
inline constexpr int kXlsxMaxRows = 1048576;
inline constexpr int kXlsxMaxColumns = 16384;

struct XlsxFont {
    QString name = QStringLiteral("Arial");
    double sizePt = 10;
    bool bold = false, italic = false, underline = false;
    bool hasColor = false;
    QRgb color = 0;
};

struct XlsxCellStyle {
    // Border line styles, with the names the worksheet gives them.
    enum class Border { None, Thin, Medium, Thick };

    XlsxFont font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wrap = false;
    QString numberFormat; // empty: General
    Border left = Border::None, top = Border::None, right = Border::None, bottom = Border::None;
    QRgb borderColor = 0;
    bool filled = false; // a solid fill of fillColor
    QRgb fillColor = 0;
};

// A piece of a rich text in a font of its own.
struct XlsxRun {
    QString text;
    XlsxFont font;
};

// Where a picture lies: the cells holding its corners and the corners' offsets within them, and its size,
// all in EMU (914,400 per inch). It moves and is resized with the cells under it.
struct XlsxAnchor {
    int fromCol = 0, fromRow = 0, toCol = 0, toRow = 0;
    qint64 fromColOffset = 0, fromRowOffset = 0, toColOffset = 0, toRowOffset = 0;
    qint64 width = 0, height = 0;
};

// How the worksheet prints. It is always fitted to the paper's width (as many pages down as it takes) and
// its print area is the used range: every column and the rows down to the last one written.
struct XlsxPageSetup {
    bool landscape = false;
    int paperSize = 0; // the worksheet's paper code; 0: the printer's default
    double leftIn = 0.7, rightIn = 0.7, topIn = 0.75, bottomIn = 0.75;
    std::vector<int> rowBreaks; // rows starting a new page, ascending
};

// Usage: style(), mergeRange() and addImage() whenever needed; rows through beginRow() and the cell
// functions, rows ascending and cells in a row by ascending column; then finish(). Nothing of the workbook
// is complete before finish() returns; an exception (the sink's or the writer's own, a GeneralError naming
// shownPath) leaves the sink with a partial archive that the caller discards.
class XlsxWriter {
public:
    // columnWidthsPx: the width of each column in pixels at 96 per inch, the unit in which a worksheet
    // stores widths exactly. shownPath: the file named in error messages.
    XlsxWriter(OutputSink& sink, const QString& shownPath, const QString& sheetName,
               const std::vector<int>& columnWidthsPx);
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // The index of a cell look, the same for equal looks.
    int style(const XlsxCellStyle& style);

    // Starts row (0-based) with its height in points; the rows between the previous one and it stay empty
    // at the default height. False when the row is past the worksheet's limit: its cells are then ignored.
    bool beginRow(int row, double heightPt);
    void numberCell(int col, double value, int style);
    // text is escaped here, and what XML cannot hold at all is left out (see XlsxExporter's cleaning).
    void textCell(int col, QStringView text, int style);
    void richTextCell(int col, const std::vector<XlsxRun>& runs, int style);
    void blankCell(int col, int style);

    // Inclusive, 0-based; ranges past the worksheet's limits are ignored.
    void mergeRange(int firstRow, int firstCol, int lastRow, int lastCol);
    // png: the bytes of a PNG file.
    void addImage(const QByteArray& png, const XlsxAnchor& anchor);

    // Writes what follows the rows and the remaining parts; title, author and subject are the document's
    // properties (empty ones are left out).
    void finish(const XlsxPageSetup& setup, const QString& title, const QString& author,
                const QString& subject);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace report::detail
