#include "XlsxWriter_p.h"

#include "GeneralError.h"
#include "TDateTime.h"
#include "XlsxZip_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QTemporaryFile>
#include <charconv>
#include <cmath>
#include <string_view>
#include <zlib.h>

namespace report::detail {

namespace {

using Buffer = XmlBuffer;

constexpr size_t kSheetChunk = 256 * 1024;  // worksheet XML handed to deflate at a time
constexpr size_t kMergesInMemory = 1 << 20; // merged ranges' XML held before it goes to a file

QByteArray rgbAttribute(QRgb c) {
    return QByteArray("FF") + QByteArray::number(c & 0xFFFFFF, 16).rightJustified(6, '0').toUpper();
}

// A temporary file made on first use, for what the writer does not hold in memory.
class Spool {
public:
    explicit Spool(const QString& shownPath) : m_path(shownPath) {}
    // Returns where data starts in the file.
    qint64 append(const char* data, size_t size) {
        if (!m_file) {
            m_file = std::make_unique<QTemporaryFile>(
                QDir::temp().filePath(QStringLiteral("vnmrtgen-xlsx-XXXXXX")));
            if (!m_file->open())
                throw temporaryFileError(m_path);
        }
        const qint64 at = m_file->pos();
        if (m_file->write(data, qint64(size)) != qint64(size))
            throw temporaryFileError(m_path);
        return at;
    }
    QIODevice& device() { return *m_file; }
    // Hands the whole content to write, piece by piece.
    template <typename F> void forEachPiece(F&& write) {
        if (!m_file)
            return;
        if (!m_file->flush() || !m_file->seek(0))
            throw temporaryFileError(m_path);
        QByteArray chunk;
        while (!(chunk = m_file->read(1 << 20)).isEmpty())
            write(chunk.constData(), size_t(chunk.size()));
        if (!m_file->atEnd())
            throw temporaryFileError(m_path);
    }

private:
    QString m_path;
    std::unique_ptr<QTemporaryFile> m_file;
};

// The inner elements of a font: "name" is the element naming the typeface (name in a style's font,
// rFont in a rich text run's).
void appendFont(Buffer& b, const XlsxFont& f, std::string_view name) {
    if (f.bold)
        b << "<b/>";
    if (f.italic)
        b << "<i/>";
    if (f.underline)
        b << "<u/>";
    b << "<sz val=\"" << f.sizePt << "\"/>";
    if (f.hasColor)
        b << "<color rgb=\"" << rgbAttribute(f.color) << "\"/>";
    b << "<" << name << " val=\"";
    b.text(f.name, true);
    b << "\"/><family val=\"2\"/>";
}

// Deduplicated pieces of styles.xml, each kept as its XML.
class Table {
public:
    explicit Table(std::vector<QByteArray> initial) {
        for (QByteArray& x : initial)
            index(std::move(x));
    }
    int index(QByteArray xml) {
        const auto it = m_index.constFind(xml);
        if (it != m_index.constEnd())
            return it.value();
        const int i = int(m_items.size());
        m_index.insert(xml, i);
        m_items.push_back(std::move(xml));
        return i;
    }
    void write(Buffer& b, std::string_view element) const {
        b << "<" << element << " count=\"" << int(m_items.size()) << "\">";
        for (const QByteArray& x : m_items)
            b << x;
        b << "</" << element << ">";
    }

private:
    QHash<QByteArray, int> m_index;
    std::vector<QByteArray> m_items;
};

struct Image {
    qint64 offset = 0, size = 0;
    quint32 crc = 0;
};

struct PlacedImage {
    int media;
    XlsxAnchor anchor;
};

} // namespace

struct XlsxWriter::Private {
    Private(OutputSink& sink, const QString& path) : zip(sink, path), merges(path), images(path) {}

    void flushSheet() { zip.write(sheet); }
    void closeRow() {
        if (rowOpen) {
            if (rowEmpty) {
                // "<row ...>" becomes "<row .../>".
                char* end = sheet.room(1);
                end[-1] = '/';
                end[0] = '>';
                sheet.commit(end + 1);
            } else {
                sheet << "</row>";
            }
            rowOpen = false;
        }
        if (sheet.size() >= kSheetChunk)
            flushSheet();
    }
    // <c r="B7" s="3"  (the tag left open)
    void openCell(int col, int style) {
        rowEmpty = false;
        sheet << "<c r=\"";
        appendColumnName(sheet, col);
        sheet.append(rowNumber, size_t(rowNumberSize));
        sheet << "\"";
        if (style)
            sheet << " s=\"" << style << "\"";
    }
    bool skipped(int col) const { return !rowOpen || col < 0 || col >= kXlsxMaxColumns; }

    ZipWriter zip;
    QString sheetName;
    int columnCount = 0;
    Buffer sheet;
    bool rowOpen = false, rowEmpty = false;
    int lastRow = -1;
    char rowNumber[12];
    int rowNumberSize = 0;

    Buffer mergeXml;
    Spool merges;
    qint64 mergeCount = 0;

    Spool images;
    QHash<QByteArray, int> imageByDigest;
    std::vector<Image> media;
    std::vector<PlacedImage> placed;

    Table fonts{{"<font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"}};
    Table fills{{"<fill><patternFill patternType=\"none\"/></fill>",
                 "<fill><patternFill patternType=\"gray125\"/></fill>"}};
    Table borders{{"<border><left/><right/><top/><bottom/><diagonal/></border>"}};
    Table xfs{{"<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"}};
    QHash<QString, int> numberFormats;      // code -> id
    std::vector<QString> numberFormatCodes; // of ids 164 on
};

XlsxWriter::XlsxWriter(OutputSink& sink, const QString& shownPath, const QString& sheetName,
                       const std::vector<int>& columnWidthsPx)
    : d(std::make_unique<Private>(sink, shownPath)) {
    d->sheetName = sheetName;
    d->columnCount = int(std::min(columnWidthsPx.size(), size_t(kXlsxMaxColumns)));
    // The package's relationships, the workbook's and the small application properties come first, ahead
    // of the long worksheet: tools that tell file types apart by their first parts then see a spreadsheet.
    // The workbook itself names the print area, known only once the rows are written, and follows the
    // worksheet.
    Buffer b;
    b << kXmlHead << "<Relationships xmlns=\"" << kPkgRelNs << "\">"
      << "<Relationship Id=\"rId1\" Type=\"" << kRelNs << "/officeDocument\" Target=\"xl/workbook.xml\"/>"
      << "<Relationship Id=\"rId2\" Type=\"" << kPkgRelNs
      << "/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
      << "<Relationship Id=\"rId3\" Type=\"" << kRelNs
      << "/extended-properties\" Target=\"docProps/app.xml\"/>"
      << "</Relationships>";
    d->zip.add("_rels/.rels", b);
    b.clear();
    b << kXmlHead << "<Relationships xmlns=\"" << kPkgRelNs << "\">"
      << "<Relationship Id=\"rId1\" Type=\"" << kRelNs << "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
      << "<Relationship Id=\"rId2\" Type=\"" << kRelNs << "/styles\" Target=\"styles.xml\"/>"
      << "</Relationships>";
    d->zip.add("xl/_rels/workbook.xml.rels", b);
    b.clear();
    b << kXmlHead
      << "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\""
      << " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
      << "<Application>VNmRtgen</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
      << "<HeadingPairs><vt:vector size=\"2\" "
         "baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets</vt:lpstr>"
      << "</vt:variant><vt:variant><vt:i4>1</vt:i4></vt:variant></vt:vector></HeadingPairs>"
      << "<TitlesOfParts><vt:vector size=\"1\" baseType=\"lpstr\"><vt:lpstr>";
    b.text(sheetName);
    b << "</vt:lpstr></vt:vector></TitlesOfParts><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</"
         "SharedDoc>"
      << "<HyperlinksChanged>false</HyperlinksChanged></Properties>";
    d->zip.add("docProps/app.xml", b);

    d->zip.begin("xl/worksheets/sheet1.xml");
    Buffer& s = d->sheet;
    s << kXmlHead << "<worksheet xmlns=\"" << kMainNs << "\" xmlns:r=\"" << kRelNs << "\">"
      << "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>"
      << "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
      << "<sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!columnWidthsPx.empty()) {
        s << "<cols>";
        for (size_t c = 0; c < columnWidthsPx.size() && c < size_t(kXlsxMaxColumns); ++c) {
            // A stored width is in digits of the default font (Calibri 11, 7 pixels a digit), its 5 pixels of
            // padding included, cut to 256ths: readers turn it back into the same pixels.
            const int px = std::max(0, columnWidthsPx[c]);
            s << "<col min=\"" << int(c + 1) << "\" max=\"" << int(c + 1) << "\" width=\""
              << std::floor(px / 7.0 * 256) / 256 << "\" customWidth=\"1\"/>";
        }
        s << "</cols>";
    }
    s << "<sheetData>";
}

XlsxWriter::~XlsxWriter() = default;

int XlsxWriter::style(const XlsxCellStyle& st) {
    Buffer b;
    b << "<font>";
    appendFont(b, st.font, "name");
    b << "</font>";
    const int font = d->fonts.index(b.bytes());

    int fill = 0;
    if (st.filled) {
        b.clear();
        b << "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"" << rgbAttribute(st.fillColor)
          << "\"/><bgColor indexed=\"64\"/></patternFill></fill>";
        fill = d->fills.index(b.bytes());
    }

    int border = 0;
    using B = XlsxCellStyle::Border;
    if (st.left != B::None || st.top != B::None || st.right != B::None || st.bottom != B::None) {
        b.clear();
        b << "<border>";
        const QByteArray color = rgbAttribute(st.borderColor);
        for (const auto& [side, name] : {std::pair{st.left, "left"}, std::pair{st.right, "right"},
                                         std::pair{st.top, "top"}, std::pair{st.bottom, "bottom"}}) {
            static constexpr std::string_view kStyles[] = {"", "thin", "medium", "thick"};
            if (side == B::None)
                b << "<" << name << "/>";
            else
                b << "<" << name << " style=\"" << kStyles[int(side)] << "\"><color rgb=\"" << color
                  << "\"/></" << name << ">";
        }
        b << "<diagonal/></border>";
        border = d->borders.index(b.bytes());
    }

    int numFmt = 0;
    if (!st.numberFormat.isEmpty()) {
        numFmt = d->numberFormats.value(st.numberFormat, 0);
        if (!numFmt) {
            numFmt = 164 + int(d->numberFormatCodes.size());
            d->numberFormats.insert(st.numberFormat, numFmt);
            d->numberFormatCodes.push_back(st.numberFormat);
        }
    }

    static constexpr std::string_view kH[] = {"left", "center", "right", "justify"}; // as HAlign
    static constexpr std::string_view kV[] = {"top", "center", "bottom"};            // as VAlign
    b.clear();
    b << "<xf numFmtId=\"" << numFmt << "\" fontId=\"" << font << "\" fillId=\"" << fill << "\" borderId=\""
      << border << "\" xfId=\"0\"";
    if (numFmt)
        b << " applyNumberFormat=\"1\"";
    b << " applyFont=\"1\"";
    if (fill)
        b << " applyFill=\"1\"";
    if (border)
        b << " applyBorder=\"1\"";
    b << " applyAlignment=\"1\"><alignment horizontal=\"" << kH[int(st.hAlign)] << "\" vertical=\""
      << kV[int(st.vAlign)] << "\"";
    if (st.wrap)
        b << " wrapText=\"1\"";
    b << "/></xf>";
    return d->xfs.index(b.bytes());
}

bool XlsxWriter::beginRow(int row, double heightPt) {
    Q_ASSERT(row > d->lastRow);
    d->closeRow();
    if (row < 0 || row >= kXlsxMaxRows)
        return false;
    d->lastRow = row;
    d->rowNumberSize =
        int(std::to_chars(d->rowNumber, d->rowNumber + sizeof d->rowNumber, row + 1).ptr - d->rowNumber);
    d->sheet << "<row r=\"";
    d->sheet.append(d->rowNumber, size_t(d->rowNumberSize));
    d->sheet << "\" ht=\"" << heightPt << "\" customHeight=\"1\">";
    d->rowOpen = true;
    d->rowEmpty = true;
    return true;
}

void XlsxWriter::numberCell(int col, double value, int style) {
    if (d->skipped(col))
        return;
    if (!std::isfinite(value)) {
        blankCell(col, style);
        return;
    }
    d->openCell(col, style);
    d->sheet << "><v>" << value << "</v></c>";
}

namespace {

// Whitespace at either end of a text is kept only where the text says so.
std::string_view textStart(QStringView text) {
    const auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    return !text.isEmpty() && (space(text.front()) || space(text.back())) ? "<t xml:space=\"preserve\">"
                                                                          : "<t>";
}

} // namespace

void XlsxWriter::textCell(int col, QStringView text, int style) {
    if (d->skipped(col))
        return;
    d->openCell(col, style);
    d->sheet << " t=\"inlineStr\"><is>" << textStart(text);
    d->sheet.text(text);
    d->sheet << "</t></is></c>";
}

void XlsxWriter::richTextCell(int col, const std::vector<XlsxRun>& runs, int style) {
    if (d->skipped(col))
        return;
    d->openCell(col, style);
    Buffer& s = d->sheet;
    s << " t=\"inlineStr\"><is>";
    for (const XlsxRun& run : runs) {
        s << "<r><rPr>";
        appendFont(s, run.font, "rFont");
        s << "</rPr>" << textStart(run.text);
        s.text(run.text);
        s << "</t></r>";
    }
    s << "</is></c>";
}

void XlsxWriter::blankCell(int col, int style) {
    if (d->skipped(col))
        return;
    d->openCell(col, style);
    d->sheet << "/>";
}

void XlsxWriter::mergeRange(int firstRow, int firstCol, int lastRow, int lastCol) {
    if (firstRow < 0 || firstCol < 0 || lastRow >= kXlsxMaxRows || lastCol >= kXlsxMaxColumns)
        return;
    Buffer& m = d->mergeXml;
    m << "<mergeCell ref=\"";
    appendColumnName(m, firstCol);
    m << firstRow + 1 << ":";
    appendColumnName(m, lastCol);
    m << lastRow + 1 << "\"/>";
    ++d->mergeCount;
    if (m.size() >= kMergesInMemory) {
        d->merges.append(m.data(), m.size());
        m.clear();
    }
}

void XlsxWriter::addImage(const QByteArray& png, const XlsxAnchor& anchor) {
    if (anchor.fromRow < 0 || anchor.fromRow >= kXlsxMaxRows || anchor.fromCol < 0 ||
        anchor.fromCol >= kXlsxMaxColumns)
        return;
    const QByteArray digest = QCryptographicHash::hash(png, QCryptographicHash::Sha1);
    int media = d->imageByDigest.value(digest, -1);
    if (media < 0) {
        Image image;
        image.offset = d->images.append(png.constData(), size_t(png.size()));
        image.size = png.size();
        image.crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(png.constData()), uInt(png.size())));
        media = int(d->media.size());
        d->media.push_back(image);
        d->imageByDigest.insert(digest, media);
    }
    XlsxAnchor a = anchor;
    a.toRow = std::min(a.toRow, kXlsxMaxRows - 1);
    a.toCol = std::min(a.toCol, kXlsxMaxColumns - 1);
    d->placed.push_back({media, a});
}

void XlsxWriter::finish(const XlsxPageSetup& setup, const QString& title, const QString& author,
                        const QString& subject) {
    d->closeRow();
    Buffer& s = d->sheet;
    s << "</sheetData>";
    if (d->mergeCount > 0) {
        s << "<mergeCells count=\"" << d->mergeCount << "\">";
        d->flushSheet();
        d->merges.forEachPiece([&](const char* data, size_t size) {
            s.append(data, size);
            d->flushSheet();
        });
        s << d->mergeXml.bytes() << "</mergeCells>";
        d->mergeXml = Buffer();
    }
    s << "<pageMargins left=\"" << setup.leftIn << "\" right=\"" << setup.rightIn << "\" top=\""
      << setup.topIn << "\" bottom=\"" << setup.bottomIn << "\" header=\"0.3\" footer=\"0.3\"/><pageSetup";
    if (setup.paperSize > 0)
        s << " paperSize=\"" << setup.paperSize << "\"";
    s << " fitToWidth=\"1\" fitToHeight=\"0\" orientation=\"" << (setup.landscape ? "landscape" : "portrait")
      << "\"/>";
    std::vector<int> breaks;
    for (int row : setup.rowBreaks)
        if (row > 0 && row < kXlsxMaxRows)
            breaks.push_back(row);
    if (!breaks.empty()) {
        s << "<rowBreaks count=\"" << int(breaks.size()) << "\" manualBreakCount=\"" << int(breaks.size())
          << "\">";
        for (int row : breaks)
            s << "<brk id=\"" << row << "\" max=\"16383\" man=\"1\"/>";
        s << "</rowBreaks>";
    }
    const bool drawing = !d->placed.empty();
    if (drawing)
        s << "<drawing r:id=\"rId1\"/>";
    s << "</worksheet>";
    d->flushSheet();
    d->zip.end();

    Buffer b;
    b << kXmlHead << "<workbook xmlns=\"" << kMainNs << "\" xmlns:r=\"" << kRelNs << "\">"
      << "<bookViews><workbookView/></bookViews><sheets><sheet name=\"";
    b.text(d->sheetName, true);
    b << "\" sheetId=\"1\" r:id=\"rId1\"/></sheets>";
    // A sheet's name in a reference is quoted, its own quotes doubled.
    const QString sheetRef = QLatin1Char('\'') +
                             QString(d->sheetName).replace(QLatin1Char('\''), QStringLiteral("''")) +
                             QStringLiteral("'!");
    if (d->lastRow >= 0 && d->columnCount > 0) {
        b << "<definedNames>";
        const auto name = [&](std::string_view builtin, const QString& range) {
            b << "<definedName name=\"" << builtin << "\" localSheetId=\"0\">";
            b.text(sheetRef + range);
            b << "</definedName>";
        };
        const auto column = [](int col) {
            Buffer c;
            appendColumnName(c, col);
            return QString::fromLatin1(c.bytes());
        };
        name("_xlnm.Print_Area", QStringLiteral("$A$1:$%1$%2").arg(column(d->columnCount - 1)).arg(d->lastRow + 1));
        b << "</definedNames>";
    }
    b << "</workbook>";
    d->zip.add("xl/workbook.xml", b);
    b.clear();
    if (drawing) {
        for (size_t i = 0; i < d->media.size(); ++i)
            d->zip.addStored("xl/media/image" + QByteArray::number(qulonglong(i + 1)) + ".png",
                             d->images.device(), d->media[i].offset, d->media[i].size, d->media[i].crc);
        b << kXmlHead
          << "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\""
          << " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">";
        const auto corner = [&b](int col, qint64 colOffset, int row, qint64 rowOffset) {
            b << "<xdr:col>" << col << "</xdr:col><xdr:colOff>" << colOffset << "</xdr:colOff><xdr:row>"
              << row << "</xdr:row><xdr:rowOff>" << rowOffset << "</xdr:rowOff>";
        };
        for (size_t i = 0; i < d->placed.size(); ++i) {
            const XlsxAnchor& a = d->placed[i].anchor;
            b << "<xdr:twoCellAnchor><xdr:from>";
            corner(a.fromCol, a.fromColOffset, a.fromRow, a.fromRowOffset);
            b << "</xdr:from><xdr:to>";
            corner(a.toCol, a.toColOffset, a.toRow, a.toRowOffset);
            b << "</xdr:to><xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"" << qint64(i + 2) << "\" name=\"Imagen "
              << qint64(i + 1)
              << "\"/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr>"
              << "<xdr:blipFill><a:blip xmlns:r=\"" << kRelNs << "\" r:embed=\"rId" << d->placed[i].media + 1
              << "\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr><a:xfrm><a:off x=\"0\" "
                 "y=\"0\"/>"
              << "<a:ext cx=\"" << a.width << "\" cy=\"" << a.height
              << "\"/></a:xfrm><a:prstGeom prst=\"rect\">"
              << "<a:avLst/></a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/></xdr:twoCellAnchor>";
        }
        b << "</xdr:wsDr>";
        d->zip.add("xl/drawings/drawing1.xml", b);
        b.clear();
        b << kXmlHead << "<Relationships xmlns=\"" << kPkgRelNs << "\">";
        for (size_t i = 0; i < d->media.size(); ++i)
            b << "<Relationship Id=\"rId" << qint64(i + 1) << "\" Type=\"" << kRelNs
              << "/image\" Target=\"../media/image" << qint64(i + 1) << ".png\"/>";
        b << "</Relationships>";
        d->zip.add("xl/drawings/_rels/drawing1.xml.rels", b);
        b.clear();
        b << kXmlHead << "<Relationships xmlns=\"" << kPkgRelNs << "\"><Relationship Id=\"rId1\" Type=\""
          << kRelNs << "/drawing\" Target=\"../drawings/drawing1.xml\"/></Relationships>";
        d->zip.add("xl/worksheets/_rels/sheet1.xml.rels", b);
    }

    b.clear();
    b << kXmlHead << "<styleSheet xmlns=\"" << kMainNs << "\">";
    if (!d->numberFormatCodes.empty()) {
        b << "<numFmts count=\"" << int(d->numberFormatCodes.size()) << "\">";
        for (size_t i = 0; i < d->numberFormatCodes.size(); ++i) {
            b << "<numFmt numFmtId=\"" << int(164 + i) << "\" formatCode=\"";
            b.text(d->numberFormatCodes[i], true);
            b << "\"/>";
        }
        b << "</numFmts>";
    }
    d->fonts.write(b, "fonts");
    d->fills.write(b, "fills");
    d->borders.write(b, "borders");
    b << "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
         "borderId=\"0\"/></cellStyleXfs>";
    d->xfs.write(b, "cellXfs");
    b << "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
      << "<dxfs count=\"0\"/></styleSheet>";
    d->zip.add("xl/styles.xml", b);

    // No creation or modification date, unless SOURCE_DATE_EPOCH fixes one: the same report gives the same
    // file.
    b.clear();
    b << kXmlHead << "<cp:coreProperties"
      << " xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
      << " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\""
      << " xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
    const auto property = [&b](std::string_view element, const QString& value) {
        if (value.isEmpty())
            return;
        b << "<" << element << ">";
        b.text(value);
        b << "</" << element << ">";
    };
    property("dc:title", title);
    property("dc:subject", subject);
    property("dc:creator", author);
    property("cp:lastModifiedBy", author);
    if (documentTimeFixed()) {
        const QString when = documentTime().toString(Qt::ISODate);
        for (const char* element : {"dcterms:created", "dcterms:modified"})
            b << "<" << element << " xsi:type=\"dcterms:W3CDTF\">" << when.toLatin1().constData() << "</" << element
              << ">";
    }
    b << "</cp:coreProperties>";
    d->zip.add("docProps/core.xml", b);

    // Last, once it is known whether there are pictures.
    b.clear();
    const std::string_view ct = "application/vnd.openxmlformats-officedocument.";
    b << kXmlHead << "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      << "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      << "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    if (drawing)
        b << "<Default Extension=\"png\" ContentType=\"image/png\"/>";
    b << "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" << ct << "spreadsheetml.sheet.main+xml\"/>"
      << "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" << ct
      << "spreadsheetml.worksheet+xml\"/>"
      << "<Override PartName=\"/xl/styles.xml\" ContentType=\"" << ct << "spreadsheetml.styles+xml\"/>";
    if (drawing)
        b << "<Override PartName=\"/xl/drawings/drawing1.xml\" ContentType=\"" << ct << "drawing+xml\"/>";
    b << "<Override PartName=\"/docProps/core.xml\" "
         "ContentType=\"application/vnd.openxmlformats-package.core-"
      << "properties+xml\"/><Override PartName=\"/docProps/app.xml\" ContentType=\"" << ct
      << "extended-properties+xml\"/></Types>";
    d->zip.add("[Content_Types].xml", b);
    d->zip.finish();
}

} // namespace report::detail
