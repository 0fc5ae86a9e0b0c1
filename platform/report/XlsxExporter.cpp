// XlsxExporter: writes the cell grid of XlsxLayout through XlsxWriter, one page at a time: a page is read
// (from the report's spill for a long report), laid out on the grid, its cells sorted into the order the
// worksheet wants them (rows down, cells of a row left to right) and written; then the next page. Nothing
// of a page outlives its writing but its merged ranges and pictures, which the writer keeps out of memory.
//
// A text spanning several cells becomes a merged range whose other cells are written blank with the
// text's look, so that its borders and fill show on every cell of the range, as they do on the page. The
// lines and rectangle frames of a page become borders of the cells they lie along: added to the look of a
// text's cell, or the look of a blank cell of their own where no text is.
//
// Printing follows the PDF: the first page's paper, orientation and margins, a page break before each page,
// the grid fitted to the paper's width and the used range as the print area. No rows are set to repeat on
// top of each printed page: every page's own header is already in the sheet, after its page break, and a
// repeated header would print twice.
//
// Sizes: a column width is set in pixels at 96 per inch (the unit in which the worksheet stores widths
// exactly), a row height in points; pictures are anchored by their corners, in EMU from the layout's
// millimetres.
#include "XlsxExporter.h"

#include "GeneralError.h"
#include "OutputFile.h"
#include "XlsxLayout_p.h"
#include "XlsxWriter_p.h"

#include <QBuffer>
#include <QLocale>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace report {

namespace {

using detail::XlsxCellStyle;
using detail::XlsxFont;

constexpr double kPxPerMm = 96.0 / 25.4;
constexpr double kPtPerMm = 72.0 / 25.4;
constexpr double kEmuPerMm = 36000.0;
constexpr int kMaxPageBreaks = 1023; // the worksheet's limit on manual page breaks
constexpr int kMaxCellText = 32767;  // the worksheet's limit on a cell's text

// The text with what XML 1.0 cannot hold taken out, before its length and line breaks are judged (the
// writer would leave the same characters out, but only as it writes): one control character, pasted from a
// word processor say, would make the whole file unreadable. A vertical tab or form feed is a word
// processor's line or page break and becomes a line break; other control characters, U+FFFE, U+FFFF and
// unpaired surrogates are dropped.
QString xmlText(const QString& text) {
    const auto allowed = [](char32_t c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
               (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
    };
    bool clean = true;
    for (QChar c : text)
        if (!allowed(c.unicode()) && !c.isSurrogate()) {
            clean = false;
            break;
        }
    if (clean && text.isValidUtf16())
        return text;
    QString result;
    result.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
        if (c == 0xB || c == 0xC)
            result += QLatin1Char('\n');
        else if (allowed(c))
            result += QString::fromUcs4(&c, 1);
    }
    return result;
}

XlsxFont xlsxFont(const FontSpec& f, bool bold, bool italic, bool underline) {
    XlsxFont x;
    x.name = f.family;
    x.sizePt = f.sizePt;
    x.bold = bold;
    x.italic = italic;
    x.underline = underline;
    x.hasColor = f.color.isValid();
    x.color = f.color.rgb();
    return x;
}

XlsxCellStyle::Border borderStyle(double widthPt) {
    if (widthPt <= 1.5)
        return XlsxCellStyle::Border::Thin;
    if (widthPt <= 2.5)
        return XlsxCellStyle::Border::Medium;
    return XlsxCellStyle::Border::Thick;
}

// What a cell's style is made of; equal looks share one style.
struct CellLook {
    FontSpec font;
    HAlign hAlign;
    VAlign vAlign;
    bool wrap;
    QString numberFormat;
    FrameSpec frame;
    FrameSpec rules; // sides drawn by the page's lines and rectangles
    QColor fill;
    bool operator==(const CellLook&) const = default;
};

size_t qHash(const QColor& c, size_t seed) {
    return ::qHash(c.isValid() ? c.rgba() : 0u, seed);
}

// Cheap rather than thorough: equal looks are found among the few there are by comparing them whole.
size_t qHash(const CellLook& k, size_t seed = 0) {
    const FontSpec& f = k.font;
    const FrameSpec& fr = k.frame;
    const FrameSpec& ru = k.rules;
    const int flags = f.bold | f.italic << 1 | f.underline << 2 | k.wrap << 3 | fr.left << 4 | fr.top << 5 |
                      fr.right << 6 | fr.bottom << 7 | int(k.hAlign) << 8 | int(k.vAlign) << 12 |
                      ru.left << 16 | ru.top << 17 | ru.right << 18 | ru.bottom << 19;
    return qHashMulti(seed, f.family.size(), f.sizePt, qHash(f.color, 0), flags, k.numberFormat.size(),
                      fr.widthPt, qHash(fr.color, 0), ru.widthPt, qHash(k.fill, 0));
}

// Styles are made once per distinct look.
class Styles {
public:
    explicit Styles(detail::XlsxWriter& writer) : m_writer(writer) {}

    // rules: the sides the page's lines and rectangles draw on this one cell of the text, if any.
    int cell(const detail::XlsxTextCell& cell, bool wrap, const FrameSpec& rules = noRules()) {
        const TextItem& t = *cell.item;
        const QString numberFormat = t.value.kind == CellValue::Kind::None ? QString() : t.value.excelFormat;
        CellLook look{t.font, t.hAlign, t.vAlign, wrap, numberFormat, t.frame, rules, cell.fill};
        if (const auto found = m_cache.constFind(look); found != m_cache.constEnd())
            return found.value();
        XlsxCellStyle s;
        s.font = xlsxFont(t.font, t.font.bold, t.font.italic, t.font.underline);
        s.hAlign = t.hAlign;
        s.vAlign = t.vAlign;
        s.wrap = wrap;
        s.numberFormat = xmlText(look.numberFormat);
        addBorders(s, rules);
        addBorders(s, t.frame); // the memo's own frame has the last word on colour
        s.filled = cell.fill.isValid() && cell.fill.alpha() > 0;
        s.fillColor = cell.fill.rgb();
        const int index = m_writer.style(s);
        m_cache.insert(std::move(look), index);
        return index;
    }

    // A cell no text holds, with the sides rules draw on it.
    int blank(const FrameSpec& rules) {
        for (const auto& [sides, index] : m_blanks)
            if (sides == rules)
                return index;
        XlsxCellStyle s;
        addBorders(s, rules);
        const int index = m_writer.style(s);
        m_blanks.emplace_back(rules, index);
        return index;
    }

    static const FrameSpec& noRules() {
        static const FrameSpec none;
        return none;
    }

private:
    // Sides of frame become borders of s; a side already there from another frame keeps the thicker line.
    static void addBorders(XlsxCellStyle& s, const FrameSpec& frame) {
        if (!frame.any() || frame.widthPt <= 0)
            return;
        const XlsxCellStyle::Border border = borderStyle(frame.widthPt);
        for (auto [on, side] : {std::pair{frame.left, &s.left}, std::pair{frame.top, &s.top},
                                std::pair{frame.right, &s.right}, std::pair{frame.bottom, &s.bottom}})
            if (on)
                *side = std::max(*side, border);
        s.borderColor = frame.color.rgb();
    }

    detail::XlsxWriter& m_writer;
    QHash<CellLook, int> m_cache;
    std::vector<std::pair<FrameSpec, int>> m_blanks; // few: a report has a handful of rule widths
};

// What a text shows, lines joined by line breaks; most texts are one run, whose text is taken as it is.
QString shownText(const TextItem& t) {
    return t.lines.size() == 1 && t.lines.front().runs.size() == 1 ? t.lines.front().runs.front().text
                                                                   : t.plainText();
}

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// Runs of differing style as the pieces of a rich text; false when the text has one style throughout, or
// when its pieces do not make a rich text a worksheet takes (an empty piece, or too long a text).
bool richRuns(const detail::XlsxTextCell& cell, std::vector<detail::XlsxRun>& runs) {
    const TextItem& t = *cell.item;
    if (!cell.extraText.isEmpty())
        return false;
    struct Piece {
        QString text;
        int style; // bold, italic, underline
    };
    std::vector<Piece> pieces;
    for (int i = 0; i < t.lines.size(); ++i) {
        const TextLine& line = t.lines[i];
        for (int r = 0; r < line.runs.size(); ++r) {
            const TextRun& run = line.runs[r];
            QString text = run.text;
            if (i + 1 < t.lines.size() && r + 1 == line.runs.size())
                text += QLatin1Char('\n');
            if (text.isEmpty())
                continue;
            const int style = int(t.font.bold || run.bold) * 4 + int(t.font.italic || run.italic) * 2 +
                              int(t.font.underline || run.underline);
            if (!pieces.empty() && pieces.back().style == style)
                pieces.back().text += text;
            else
                pieces.push_back({text, style});
        }
    }
    if (pieces.size() < 2)
        return false;
    runs.clear();
    qsizetype length = 0;
    for (const Piece& p : pieces) {
        QString text = xmlText(p.text);
        if (text.isEmpty())
            return false;
        length += text.size();
        runs.push_back({std::move(text), xlsxFont(t.font, p.style & 4, p.style & 2, p.style & 1)});
    }
    return length <= kMaxCellText;
}

// One cell of a page: the first of a text's cells, which holds its value, or one of the others.
struct PageCell {
    int row, col;
    int text; // index in the page's texts; -1 for a blank cell that only rules draw on
    bool first;
    int style = -1; // the cell's own look when rules draw on it; -1: its text's
};

class WorkbookWriter {
public:
    WorkbookWriter(OutputSink& sink, const QString& path, const PreparedReport& report)
        : m_report(report), m_path(path), m_columns(detail::xlsxColumns(report)),
          m_widthsPx(columnWidthsPx(m_columns)), m_writer(sink, path, QStringLiteral("Informe"), m_widthsPx),
          m_styles(m_writer) {}

    void write() {
        for (int p = 0; p < m_report.pageCount(); ++p)
            writePage(m_report.page(p));
        m_writer.finish(pageSetup(), m_report.title, m_report.author, m_report.subject);
    }

private:
    static std::vector<int> columnWidthsPx(const std::vector<double>& columns) {
        std::vector<int> widths;
        for (size_t c = 0; c + 1 < columns.size(); ++c)
            widths.push_back(std::max(1, qRound((columns[c + 1] - columns[c]) * kPxPerMm)));
        return widths;
    }

    // The texts and pictures of a page; page must outlive the call (the layout points into it).
    void writePage(const PreparedPage& page) {
        // The rows of earlier pages are written: only this page's are held.
        m_layout.rowOffset += int(m_layout.rowHeightsMm.size());
        m_layout.rowHeightsMm.clear();
        m_layout.texts.clear();
        m_layout.images.clear();
        m_layout.rules.clear();
        detail::layoutPage(page, m_columns, m_layout);
        const int firstRow = m_layout.rowOffset;

        m_texts.resize(m_layout.texts.size());
        m_styleOf.resize(m_layout.texts.size());
        m_cells.clear();
        for (size_t i = 0; i < m_layout.texts.size(); ++i) {
            const detail::XlsxTextCell& cell = m_layout.texts[i];
            m_texts[i] = xmlText(cell.extraText.isEmpty() ? shownText(*cell.item)
                                                          : cell.item->plainText() + cell.extraText);
            m_styleOf[i] = m_styles.cell(cell, m_texts[i].contains(QLatin1Char('\n')));
            for (int r = cell.firstRow; r <= cell.lastRow; ++r)
                for (int c = cell.firstCol; c <= cell.lastCol; ++c)
                    m_cells.push_back({r, c, int(i), r == cell.firstRow && c == cell.firstCol});
            if (cell.merged())
                m_writer.mergeRange(cell.firstRow, cell.firstCol, cell.lastRow, cell.lastCol);
        }
        const auto byPlace = [](const PageCell& a, const PageCell& b) {
            return a.row != b.row ? a.row < b.row : a.col < b.col;
        };
        std::sort(m_cells.begin(), m_cells.end(), byPlace);
        // A rule on a text's cell joins that cell's look; elsewhere it makes a blank cell of its own.
        const size_t textCells = m_cells.size();
        for (const detail::XlsxRuledCell& rule : m_layout.rules) {
            const PageCell at{rule.row, rule.col, -1, false};
            const auto end = m_cells.begin() + qsizetype(textCells);
            const auto found = std::lower_bound(m_cells.begin(), end, at, byPlace);
            if (found != end && found->row == rule.row && found->col == rule.col) {
                const size_t i = size_t(found->text);
                found->style =
                    m_styles.cell(m_layout.texts[i], m_texts[i].contains(QLatin1Char('\n')), rule.sides);
            } else {
                m_cells.push_back({rule.row, rule.col, -1, false, m_styles.blank(rule.sides)});
            }
        }
        if (m_cells.size() > textCells)
            std::sort(m_cells.begin(), m_cells.end(), byPlace);

        auto next = m_cells.cbegin();
        for (int r = 0; r < int(m_layout.rowHeightsMm.size()); ++r) {
            const int row = firstRow + r;
            // A worksheet ends at its last row: a report longer than that is refused, never cut short.
            if (!m_writer.beginRow(row, m_layout.rowHeightsMm[size_t(r)] * kPtPerMm))
                throw GeneralError(detail::writeErrorMessage(
                    m_path, QStringLiteral("el informe ocupa más de %1 filas, las que caben en una hoja de cálculo; "
                                           "expórtelo a PDF o pídalo por un periodo más corto")
                                .arg(QLocale(QLocale::Spanish, QLocale::Colombia).toString(detail::kXlsxMaxRows))));
            for (; next != m_cells.cend() && next->row == row; ++next) {
                const int style = next->style >= 0 ? next->style : m_styleOf[size_t(next->text)];
                if (next->first)
                    writeValue(size_t(next->text), style);
                else
                    m_writer.blankCell(next->col, style);
            }
        }
        for (const detail::XlsxImage& image : m_layout.images)
            writeImage(image);
    }

    void writeValue(size_t i, int style) {
        const detail::XlsxTextCell& cell = m_layout.texts[i];
        const TextItem& t = *cell.item;
        const QString& text = m_texts[i];
        // A number shown as blank (a hidden zero) stays blank.
        if (t.value.kind != CellValue::Kind::None && cell.extraText.isEmpty() && !isBlank(text) &&
            std::isfinite(t.value.number)) {
            m_writer.numberCell(cell.firstCol, t.value.number, style);
        } else if (text.isEmpty()) {
            m_writer.blankCell(cell.firstCol, style);
        } else if (richRuns(cell, m_runs)) {
            m_writer.richTextCell(cell.firstCol, m_runs, style);
        } else {
            // Cut where a character would be split in two.
            qsizetype size = std::min(text.size(), qsizetype(kMaxCellText));
            if (size < text.size() && text.at(size - 1).isHighSurrogate())
                --size;
            m_writer.textCell(cell.firstCol, QStringView(text).left(size), style);
        }
    }

    void writeImage(const detail::XlsxImage& img) {
        // Pages share their pictures (a logo on every page): each is encoded once.
        QByteArray png = m_pngs.value(img.image.cacheKey());
        if (png.isNull()) {
            QImage image = img.image;
            const int dotsPerMeter = qRound(96.0 / 0.0254);
            image.setDotsPerMeterX(dotsPerMeter);
            image.setDotsPerMeterY(dotsPerMeter);
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                return;
            if (m_pngs.size() >= 64)
                m_pngs.clear();
            m_pngs.insert(img.image.cacheKey(), png);
        }
        // Corners within the cells as the worksheet draws them: columns are whole pixels wide.
        const auto emu = [](double mm) { return qint64(std::llround(mm * kEmuPerMm)); };
        const auto widthMm = [this](int c) { return m_widthsPx[size_t(c)] / kPxPerMm; };
        const std::vector<double>& heights = m_layout.rowHeightsMm;
        const auto heightMm = [&](int row) { return heights[size_t(row - m_layout.rowOffset)]; };
        detail::XlsxAnchor a;
        a.fromCol = img.col;
        a.fromColOffset = emu(std::min(img.xOffsetMm, widthMm(img.col)));
        a.fromRow = img.row;
        a.fromRowOffset = emu(std::min(img.yOffsetMm, heightMm(img.row)));
        a.width = emu(img.widthMm);
        a.height = emu(img.heightMm);
        // The far corner: the picture's extent walked across the columns and down the page's rows.
        double x = img.xOffsetMm + img.widthMm;
        int col = img.col;
        while (col + 1 < int(m_widthsPx.size()) && x > widthMm(col)) {
            x -= widthMm(col);
            ++col;
        }
        a.toCol = col;
        a.toColOffset = emu(std::min(x, widthMm(col)));
        double y = img.yOffsetMm + img.heightMm;
        int row = img.row;
        while (row + 1 < m_layout.rowOffset + int(heights.size()) && y > heightMm(row)) {
            y -= heightMm(row);
            ++row;
        }
        a.toRow = row;
        a.toRowOffset = emu(std::min(y, heightMm(row)));
        m_writer.addImage(png, a);
    }

    static int paperType(const PreparedPage& page) {
        const double w = std::min(page.paperMm.width(), page.paperMm.height());
        const double h = std::max(page.paperMm.width(), page.paperMm.height());
        auto is = [&](double pw, double ph) { return std::abs(w - pw) < 1 && std::abs(h - ph) < 1; };
        if (is(215.9, 279.4))
            return 1; // Letter
        if (is(215.9, 355.6))
            return 5; // Legal
        if (is(210, 297))
            return 9; // A4
        return 0;     // the printer's default
    }

    detail::XlsxPageSetup pageSetup() const {
        const PreparedPage first = m_report.pageFrame(0);
        detail::XlsxPageSetup setup;
        setup.landscape = first.paperMm.width() > first.paperMm.height();
        setup.paperSize = paperType(first);
        const QMarginsF m = first.marginsMm;
        setup.leftIn = m.left() / 25.4;
        setup.rightIn = m.right() / 25.4;
        setup.topIn = m.top() / 25.4;
        setup.bottomIn = m.bottom() / 25.4;
        const std::vector<int>& firstRows = m_layout.pageFirstRows;
        for (size_t p = 1; p < firstRows.size() && setup.rowBreaks.size() < size_t(kMaxPageBreaks); ++p)
            setup.rowBreaks.push_back(firstRows[p]);
        return setup;
    }

    const PreparedReport& m_report;
    const QString m_path;
    const std::vector<double> m_columns;
    const std::vector<int> m_widthsPx;
    detail::XlsxWriter m_writer;
    Styles m_styles;
    detail::XlsxLayout m_layout;
    // Of the page being written, kept from page to page for their memory.
    std::vector<QString> m_texts; // each text's cell text, made fit for XML
    std::vector<int> m_styleOf;
    std::vector<PageCell> m_cells;
    std::vector<detail::XlsxRun> m_runs;
    QHash<qint64, QByteArray> m_pngs; // by the image's cache key
};

} // namespace

void XlsxExporter::exportToFile(const PreparedReport& report, const QString& path) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    writeOutputFile(path, [&](OutputSink& sink) { WorkbookWriter(sink, path, report).write(); });
}

} // namespace report
