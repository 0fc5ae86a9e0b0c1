// XlsxExporter: writes the cell grid of XlsxLayout with libxlsxwriter. The library writes only to a named
// file, so the workbook goes to a temporary file first and its bytes are then put in place atomically.
//
// Sizes: a column width is set in pixels at 96 per inch (the unit in which the worksheet stores widths
// exactly), a row height in points; images are scaled from their pixel size at 96 per inch, since that is
// the resolution the library assumes for them.
#include "XlsxExporter.h"

#include "OutputFile.h"
#include "GeneralError.h"
#include "XlsxLayout_p.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryFile>
#include <cerrno>
#include <list>

#include <xlsxwriter.h>

namespace report {

namespace {

constexpr double kPxPerMm = 96.0 / 25.4;
constexpr double kPtPerMm = 72.0 / 25.4;
constexpr int kMaxPageBreaks = 1023;     // the worksheet's limit on manual page breaks
constexpr int kMaxCellText = 32767;      // the worksheet's limit on a cell's text

// The text with what XML 1.0 cannot hold taken out: libxlsxwriter writes texts into the workbook's XML as
// they come, and one control character (pasted from a word processor, say) makes the whole file unreadable.
// A vertical tab or form feed is a word processor's line or page break and becomes a line break; other
// control characters, U+FFFE, U+FFFF and unpaired surrogates are dropped.
QString xmlText(const QString& text) {
    const auto allowed = [](char32_t c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
               (c >= 0x10000 && c <= 0x10FFFF);
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

lxw_color_t rgb(const QColor& c) {
    return lxw_color_t(c.rgb() & 0xFFFFFF);
}

uint8_t borderStyle(double widthPt) {
    if (widthPt <= 1.5)
        return LXW_BORDER_THIN;
    if (widthPt <= 2.5)
        return LXW_BORDER_MEDIUM;
    return LXW_BORDER_THICK;
}

// Formats are created once per distinct look; libxlsxwriter keeps them until the workbook is closed.
class Formats {
public:
    explicit Formats(lxw_workbook* wb) : m_wb(wb) {}

    lxw_format* cell(const detail::XlsxTextCell& cell, bool wrap) {
        const TextItem& t = *cell.item;
        const FontSpec& f = t.font;
        const QString numFormat = t.value.kind == CellValue::Kind::None ? QString() : t.value.excelFormat;
        auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
        const QString key = QStringList{f.family, QString::number(f.sizePt), flag(f.bold), flag(f.italic),
                                        flag(f.underline), f.color.name(), QString::number(int(t.hAlign)),
                                        QString::number(int(t.vAlign)), flag(wrap), numFormat, flag(t.frame.left),
                                        flag(t.frame.top), flag(t.frame.right), flag(t.frame.bottom),
                                        QString::number(t.frame.widthPt), t.frame.color.name(),
                                        cell.fill.isValid() ? cell.fill.name() : QString()}
                                .join(QLatin1Char('|'));
        if (lxw_format* found = m_cache.value(key))
            return found;
        lxw_format* fmt = workbook_add_format(m_wb);
        setFont(fmt, f, f.bold, f.italic, f.underline);
        switch (t.hAlign) {
        case HAlign::Left: format_set_align(fmt, LXW_ALIGN_LEFT); break;
        case HAlign::Center: format_set_align(fmt, LXW_ALIGN_CENTER); break;
        case HAlign::Right: format_set_align(fmt, LXW_ALIGN_RIGHT); break;
        case HAlign::Justify: format_set_align(fmt, LXW_ALIGN_JUSTIFY); break;
        }
        switch (t.vAlign) {
        case VAlign::Top: format_set_align(fmt, LXW_ALIGN_VERTICAL_TOP); break;
        case VAlign::Center: format_set_align(fmt, LXW_ALIGN_VERTICAL_CENTER); break;
        case VAlign::Bottom: format_set_align(fmt, LXW_ALIGN_VERTICAL_BOTTOM); break;
        }
        if (wrap)
            format_set_text_wrap(fmt);
        if (!numFormat.isEmpty())
            format_set_num_format(fmt, keep(numFormat));
        const FrameSpec& fr = t.frame;
        if (fr.any() && fr.widthPt > 0) {
            const uint8_t style = borderStyle(fr.widthPt);
            const lxw_color_t color = rgb(fr.color);
            if (fr.left) { format_set_left(fmt, style); format_set_left_color(fmt, color); }
            if (fr.top) { format_set_top(fmt, style); format_set_top_color(fmt, color); }
            if (fr.right) { format_set_right(fmt, style); format_set_right_color(fmt, color); }
            if (fr.bottom) { format_set_bottom(fmt, style); format_set_bottom_color(fmt, color); }
        }
        if (cell.fill.isValid() && cell.fill.alpha() > 0) {
            format_set_pattern(fmt, LXW_PATTERN_SOLID);
            format_set_bg_color(fmt, rgb(cell.fill));
        }
        m_cache.insert(key, fmt);
        return fmt;
    }

    // The font of one run of a rich text.
    lxw_format* run(const FontSpec& f, const TextRun& r) {
        const bool bold = f.bold || r.bold, italic = f.italic || r.italic, underline = f.underline || r.underline;
        const QString key = QStringLiteral("run|%1|%2|%3|%4").arg(f.family, QString::number(f.sizePt), f.color.name(),
                                                                   QString::number(int(bold) * 4 + int(italic) * 2 + int(underline)));
        if (lxw_format* found = m_cache.value(key))
            return found;
        lxw_format* fmt = workbook_add_format(m_wb);
        setFont(fmt, f, bold, italic, underline);
        m_cache.insert(key, fmt);
        return fmt;
    }

    // UTF-8 text that lives as long as the workbook, made fit for XML (see xmlText).
    const char* keep(const QString& text) {
        m_texts.push_back(xmlText(text).toUtf8());
        return m_texts.back().constData();
    }

private:
    void setFont(lxw_format* fmt, const FontSpec& f, bool bold, bool italic, bool underline) {
        format_set_font_name(fmt, keep(f.family));
        format_set_font_size(fmt, f.sizePt);
        if (f.color.isValid())
            format_set_font_color(fmt, rgb(f.color));
        if (bold)
            format_set_bold(fmt);
        if (italic)
            format_set_italic(fmt);
        if (underline)
            format_set_underline(fmt, LXW_UNDERLINE_SINGLE);
    }

    lxw_workbook* m_wb;
    QHash<QString, lxw_format*> m_cache;
    std::list<QByteArray> m_texts;
};

// Runs of differing style become a rich string; returns false when the text has one style throughout.
bool writeRich(lxw_worksheet* ws, Formats& formats, const detail::XlsxTextCell& cell, lxw_format* cellFormat) {
    const TextItem& t = *cell.item;
    if (!cell.extraText.isEmpty())
        return false;
    struct Piece {
        QString text;
        lxw_format* format;
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
            lxw_format* fmt = formats.run(t.font, run);
            if (!pieces.empty() && pieces.back().format == fmt)
                pieces.back().text += text;
            else
                pieces.push_back({text, fmt});
        }
    }
    if (pieces.size() < 2)
        return false;
    std::vector<lxw_rich_string_tuple> tuples;
    tuples.reserve(pieces.size());
    for (const Piece& p : pieces)
        tuples.push_back({p.format, const_cast<char*>(formats.keep(p.text))});
    std::vector<lxw_rich_string_tuple*> list;
    for (lxw_rich_string_tuple& tuple : tuples)
        list.push_back(&tuple);
    list.push_back(nullptr);
    return worksheet_write_rich_string(ws, lxw_row_t(cell.firstRow), lxw_col_t(cell.firstCol), list.data(),
                                       cellFormat) == LXW_NO_ERROR;
}

void writeText(lxw_worksheet* ws, Formats& formats, const detail::XlsxTextCell& cell) {
    const TextItem& t = *cell.item;
    QString text = xmlText(t.plainText() + cell.extraText);
    const bool wrap = text.contains(QLatin1Char('\n'));
    lxw_format* fmt = formats.cell(cell, wrap);
    const auto row = lxw_row_t(cell.firstRow);
    const auto col = lxw_col_t(cell.firstCol);
    if (cell.merged())
        worksheet_merge_range(ws, row, col, lxw_row_t(cell.lastRow), lxw_col_t(cell.lastCol), "", fmt);
    // A number shown as blank (a hidden zero) stays blank.
    if (t.value.kind != CellValue::Kind::None && cell.extraText.isEmpty() && !text.trimmed().isEmpty()) {
        worksheet_write_number(ws, row, col, t.value.number, fmt);
        return;
    }
    if (text.isEmpty()) {
        worksheet_write_blank(ws, row, col, fmt);
        return;
    }
    if (writeRich(ws, formats, cell, fmt))
        return;
    if (text.size() > kMaxCellText)
        text.truncate(kMaxCellText);
    worksheet_write_string(ws, row, col, formats.keep(text), fmt);
}

void writeImage(lxw_worksheet* ws, const detail::XlsxImage& img, std::list<QByteArray>& buffers) {
    QImage image = img.image;
    const int dotsPerMeter = qRound(96.0 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QBuffer buffer(&buffers.emplace_back());
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return;
    lxw_image_options options{};
    options.x_offset = qRound(img.xOffsetMm * kPxPerMm);
    options.y_offset = qRound(img.yOffsetMm * kPxPerMm);
    options.x_scale = img.widthMm * kPxPerMm / image.width();
    options.y_scale = img.heightMm * kPxPerMm / image.height();
    options.object_position = LXW_OBJECT_MOVE_AND_SIZE;
    const QByteArray& png = buffers.back();
    worksheet_insert_image_buffer_opt(ws, lxw_row_t(img.row), lxw_col_t(img.col),
                                      reinterpret_cast<const unsigned char*>(png.constData()), size_t(png.size()),
                                      &options);
}

uint8_t paperType(const PreparedPage& page) {
    const double w = std::min(page.paperMm.width(), page.paperMm.height());
    const double h = std::max(page.paperMm.width(), page.paperMm.height());
    auto is = [&](double pw, double ph) { return std::abs(w - pw) < 1 && std::abs(h - ph) < 1; };
    if (is(215.9, 279.4))
        return 1;   // Letter
    if (is(215.9, 355.6))
        return 5;   // Legal
    if (is(210, 297))
        return 9;   // A4
    return 0;       // the printer's default
}

void setupPrinting(lxw_worksheet* ws, const PreparedReport& report, const detail::XlsxLayout& layout) {
    const PreparedPage first = report.pageFrame(0);
    if (first.paperMm.width() > first.paperMm.height())
        worksheet_set_landscape(ws);
    worksheet_set_paper(ws, paperType(first));
    const QMarginsF m = first.marginsMm;
    worksheet_set_margins(ws, m.left() / 25.4, m.right() / 25.4, m.top() / 25.4, m.bottom() / 25.4);
    std::vector<lxw_row_t> breaks;
    for (size_t p = 1; p < layout.pageFirstRows.size() && breaks.size() < size_t(kMaxPageBreaks); ++p)
        breaks.push_back(lxw_row_t(layout.pageFirstRows[p]));
    if (!breaks.empty()) {
        breaks.push_back(0);
        worksheet_set_h_pagebreaks(ws, breaks.data());
    }
}

void writeWorkbook(const PreparedReport& report, const QString& file) {
    const QByteArray fileName = QFile::encodeName(file);
    lxw_workbook* wb = workbook_new(fileName.constData());
    if (!wb)
        throw GeneralError(detail::writeErrorMessage(file, QStringLiteral("no se pudo crear el libro")));
    Formats formats(wb);
    std::list<QByteArray> images;

    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(formats.keep(report.title));
    properties.author = const_cast<char*>(formats.keep(report.author));
    properties.subject = const_cast<char*>(formats.keep(report.subject));
    workbook_set_properties(wb, &properties);

    lxw_worksheet* ws = workbook_add_worksheet(wb, "Informe");
    const std::vector<double> columns = detail::xlsxColumns(report);
    for (size_t c = 0; c + 1 < columns.size(); ++c)
        worksheet_set_column_pixels(ws, lxw_col_t(c), lxw_col_t(c),
                                    std::max(1u, unsigned(qRound((columns[c + 1] - columns[c]) * kPxPerMm))), nullptr);
    // Page by page: only the page being written is held here (the workbook keeps its cells).
    detail::XlsxLayout layout;
    for (int p = 0; p < report.pageCount(); ++p) {
        const PreparedPage page = report.page(p);
        const size_t firstRow = layout.rowHeightsMm.size();
        detail::layoutPage(page, columns, layout);
        for (size_t r = firstRow; r < layout.rowHeightsMm.size(); ++r)
            worksheet_set_row(ws, lxw_row_t(r), layout.rowHeightsMm[r] * kPtPerMm, nullptr);
        for (const detail::XlsxTextCell& cell : layout.texts)
            writeText(ws, formats, cell);
        for (const detail::XlsxImage& image : layout.images)
            writeImage(ws, image, images);
        layout.texts.clear();
        layout.images.clear();
    }
    setupPrinting(ws, report, layout);

    errno = 0;
    const lxw_error err = workbook_close(wb);
    const int systemError = errno;
    if (err != LXW_NO_ERROR) {
        // The workbook is assembled in the temporary folder: a full or closed folder is the usual cause.
        const QString cause = systemError ? systemErrorText(systemError) : QStringLiteral("error interno");
        throw GeneralError(detail::writeErrorMessage(
            file, QStringLiteral("no se pudo armar el libro en la carpeta temporal: %1 (detalle técnico: %2)")
                      .arg(cause, QString::fromUtf8(lxw_strerror(err)))));
    }
}

} // namespace

void XlsxExporter::exportToFile(const PreparedReport& report, const QString& path) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    QTemporaryFile temp(QDir::temp().filePath(QStringLiteral("vnmrtgen-XXXXXX.xlsx")));
    if (!temp.open())
        throw GeneralError(detail::writeErrorMessage(
            path, QStringLiteral("no se pudo crear un archivo en la carpeta temporal %1").arg(QDir::tempPath())));
    temp.close();
    writeWorkbook(report, temp.fileName());
    QFile written(temp.fileName());
    if (!written.open(QIODevice::ReadOnly))
        throw GeneralError(detail::writeErrorMessage(
            path, QStringLiteral("no se pudo leer el libro armado en la carpeta temporal")));
    writeOutputFile(path, written.readAll());
}

} // namespace report
