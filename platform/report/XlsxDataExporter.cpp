// XlsxDataExporter: every table becomes one worksheet part streamed into the ZIP package while the table
// hands over its rows, so a table of a million records never sits in memory as XML.
//
// Column widths have to precede the rows in the worksheet, yet they are judged from the values: the first
// kWidthSampleRows records are therefore held (as values, not XML) until the widths are known, then written,
// and every later record goes straight through. Everything known only after the last row (the filter's
// range, the hidden name that the spreadsheet keeps the filter's range in) follows the rows in the worksheet
// or sits in workbook.xml, which is written after all sheets. Sheet names are settled before any part is
// written, since the package's relationships and application properties, which list them, come first.
#include "XlsxDataExporter.h"

#include "GeneralError.h"
#include "OutputFile.h"
#include "TDateTime.h"
#include "XlsxZip_p.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <cmath>

namespace report {

namespace {

using detail::XmlBuffer;

constexpr int kMaxRows = 1048576; // the worksheet's limit, header row included
constexpr int kMaxColumns = 16384;
constexpr int kWidthSampleRows = 1000;       // records whose values size the columns
constexpr int kMinWidth = 8, kMaxWidth = 60; // column widths, in characters
constexpr qsizetype kMaxSheetName = 31;
constexpr qsizetype kMaxCellText = 32767;
constexpr size_t kSheetChunk = 256 * 1024; // worksheet XML handed to deflate at a time
// Styles fixed in every workbook: 0 the default look, 1 the header's bold; number formats follow.
constexpr int kHeaderStyle = 1;
constexpr int kFirstFormatStyle = 2;
constexpr int kFirstCustomFormat = 164; // ids below are the spreadsheet's built-in formats

const QString kDateFormat = QStringLiteral("dd/mm/yyyy");
const QString kDateTimeFormat = QStringLiteral("dd/mm/yyyy hh:mm");

bool xmlAllowed(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// A name the spreadsheet accepts for a sheet, distinct (ignoring case, as the spreadsheet compares them)
// from those taken. Brackets, colons, wildcards and slashes would break a reference to the sheet; a quote
// at either end would be read as the reference's own quoting.
QString sheetName(const QString& wanted, QSet<QString>& taken) {
    QString base;
    for (char32_t c : wanted.toUcs4()) {
        if (!xmlAllowed(c) || c < 0x20)
            continue;
        base +=
            QStringLiteral("[]:*?/\\").contains(QChar(c)) ? QStringLiteral("_") : QString::fromUcs4(&c, 1);
    }
    base = base.trimmed();
    while (base.startsWith(QLatin1Char('\'')) || base.endsWith(QLatin1Char('\'')))
        base = base.startsWith(QLatin1Char('\'')) ? base.mid(1) : base.chopped(1);
    if (base.trimmed().isEmpty())
        base = QStringLiteral("Hoja");
    const auto cut = [](QString s, qsizetype size) {
        if (s.size() > size)
            s.truncate(s.at(size - 1).isHighSurrogate() ? size - 1 : size);
        return s;
    };
    QString name = cut(base, kMaxSheetName);
    for (int n = 2; taken.contains(name.toCaseFolded()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = cut(base, kMaxSheetName - suffix.size()) + suffix;
    }
    taken.insert(name.toCaseFolded());
    return name;
}

QString columnName(int col) {
    XmlBuffer b;
    detail::appendColumnName(b, col);
    return QString::fromLatin1(b.bytes());
}

// Days since the spreadsheet's epoch; the fraction of a day for a time.
double serial(const QDate& date, const QTime& time = QTime(0, 0)) {
    return double(QDate(1899, 12, 30).daysTo(date)) + time.msecsSinceStartOfDay() / 86400000.0;
}

// Characters a number takes as the format shows it: its integer digits, the thousands separators when the
// format groups them, and as many decimals as the format has.
int shownLength(double v, const QString& format) {
    if (format.isEmpty())
        return int(QString::number(v).size());
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    int decimals = 0;
    for (qsizetype i = point + 1; point >= 0 && i < format.size() && format.at(i) == QLatin1Char('0'); ++i)
        ++decimals;
    const int digits = std::abs(v) < 1 ? 1 : int(std::floor(std::log10(std::abs(v)))) + 1;
    const bool grouped = format.contains(QLatin1Char(','));
    int literal = 0; // quoted text of the format, such as a currency sign
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else
            literal += quoted;
    }
    return digits + (grouped ? (digits - 1) / 3 : 0) + (decimals ? decimals + 1 : 0) + (v < 0) + literal;
}

struct Sheet {
    const DataTable* table;
    QString name;
    std::vector<DataColumn> columns;
    std::vector<int> styles; // each column's cell style
    int lastRow = 0;         // 1-based, the header's row when there are no records
};

class WorkbookWriter {
public:
    WorkbookWriter(OutputSink& sink, const QString& path, const std::vector<const DataTable*>& tables)
        : m_path(path), m_zip(sink, path) {
        QSet<QString> taken;
        for (const DataTable* table : tables) {
            Sheet s{table, sheetName(table->name(), taken), table->columns(), {}, 0};
            if (s.columns.size() > size_t(kMaxColumns))
                s.columns.resize(size_t(kMaxColumns));
            for (const DataColumn& c : s.columns)
                s.styles.push_back(c.kind == DataColumn::Kind::Date       ? style(kDateFormat)
                                   : c.kind == DataColumn::Kind::DateTime ? style(kDateTimeFormat)
                                   : c.kind == DataColumn::Kind::Number   ? style(c.numberFormat)
                                                                          : 0);
            m_sheets.push_back(std::move(s));
        }
    }

    void write() {
        writeLeadingParts();
        for (size_t i = 0; i < m_sheets.size(); ++i)
            writeSheet(m_sheets[i], i);
        writeTrailingParts();
        m_zip.finish();
    }

private:
    // The cell style of a number format, made on first use.
    int style(const QString& format) {
        if (format.isEmpty())
            return 0;
        qsizetype i = m_formats.indexOf(format);
        if (i < 0) {
            i = m_formats.size();
            m_formats.append(format);
        }
        return kFirstFormatStyle + int(i);
    }

    void writeLeadingParts() {
        const std::string_view relNs = detail::kRelNs, pkgNs = detail::kPkgRelNs;
        XmlBuffer b;
        b << detail::kXmlHead << "<Relationships xmlns=\"" << pkgNs << "\">"
          << "<Relationship Id=\"rId1\" Type=\"" << relNs << "/officeDocument\" Target=\"xl/workbook.xml\"/>"
          << "<Relationship Id=\"rId2\" Type=\"" << pkgNs << "/metadata/core-properties\" "
          << "Target=\"docProps/core.xml\"/><Relationship Id=\"rId3\" Type=\"" << relNs
          << "/extended-properties\" Target=\"docProps/app.xml\"/></Relationships>";
        m_zip.add("_rels/.rels", b);

        b.clear();
        b << detail::kXmlHead << "<Relationships xmlns=\"" << pkgNs << "\">";
        const int count = int(m_sheets.size());
        for (int i = 1; i <= count; ++i)
            b << "<Relationship Id=\"rId" << i << "\" Type=\"" << relNs
              << "/worksheet\" Target=\"worksheets/sheet" << i << ".xml\"/>";
        b << "<Relationship Id=\"rId" << count + 1 << "\" Type=\"" << relNs
          << "/styles\" Target=\"styles.xml\"/></Relationships>";
        m_zip.add("xl/_rels/workbook.xml.rels", b);

        b.clear();
        b << detail::kXmlHead
          << "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\""
          << " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
          << "<Application>VNmRtgen</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
          << "<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets"
          << "</vt:lpstr></vt:variant><vt:variant><vt:i4>" << count << "</vt:i4></vt:variant></vt:vector>"
          << "</HeadingPairs><TitlesOfParts><vt:vector size=\"" << count << "\" baseType=\"lpstr\">";
        for (const Sheet& s : m_sheets) {
            b << "<vt:lpstr>";
            b.text(s.name);
            b << "</vt:lpstr>";
        }
        b << "</vt:vector></TitlesOfParts><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
          << "<HyperlinksChanged>false</HyperlinksChanged></Properties>";
        m_zip.add("docProps/app.xml", b);
    }

    void writeSheet(Sheet& sheet, size_t index) {
        const int columnCount = int(sheet.columns.size());
        std::vector<int> widths;
        for (const DataColumn& c : sheet.columns)
            widths.push_back(int(c.label.size()) + 1); // bold
        std::vector<QVariantList> sample;
        bool started = false;
        const auto start = [&] {
            startSheet(sheet, index, widths);
            for (const QVariantList& values : sample)
                writeRow(sheet, values);
            sample = {};
            started = true;
        };
        sheet.table->forEachRow([&](const QVariantList& values) {
            if (started && sheet.lastRow >= kMaxRows)
                throw GeneralError(detail::writeErrorMessage(
                    m_path,
                    QStringLiteral("la tabla '%1' tiene más de %2 filas, las que caben en una hoja de "
                                   "cálculo bajo sus títulos; pídala por un periodo más corto")
                        .arg(sheet.table->name(),
                             QLocale(QLocale::Spanish, QLocale::Colombia).toString(kMaxRows - 1))));
            if (started) {
                writeRow(sheet, values);
                return;
            }
            sample.push_back(values);
            for (int c = 0; c < columnCount && c < int(values.size()); ++c)
                widths[size_t(c)] =
                    std::max(widths[size_t(c)], valueLength(sheet.columns[size_t(c)], values[c]));
            if (int(sample.size()) == kWidthSampleRows)
                start();
        });
        if (!started)
            start();

        XmlBuffer& s = m_xml;
        s << "</sheetData>";
        if (columnCount > 0)
            s << "<autoFilter ref=\"A1:" << columnName(columnCount - 1).toLatin1() << sheet.lastRow << "\"/>";
        s << "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
             "footer=\"0.3\"/></worksheet>";
        m_zip.write(m_xml);
        m_zip.end();
    }

    void startSheet(Sheet& sheet, size_t index, const std::vector<int>& widths) {
        m_zip.begin("xl/worksheets/sheet" + QByteArray::number(qulonglong(index + 1)) + ".xml");
        XmlBuffer& s = m_xml;
        s << detail::kXmlHead << "<worksheet xmlns=\"" << detail::kMainNs << "\" xmlns:r=\"" << detail::kRelNs
          << "\"><sheetViews><sheetView " << (index == 0 ? "tabSelected=\"1\" " : "")
          << "workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
             "state=\"frozen\"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
        if (!widths.empty()) {
            s << "<cols>";
            for (size_t c = 0; c < widths.size(); ++c)
                s << "<col min=\"" << int(c + 1) << "\" max=\"" << int(c + 1) << "\" width=\""
                  << double(std::clamp(widths[c] + 1, kMinWidth, kMaxWidth)) << "\" customWidth=\"1\"/>";
            s << "</cols>";
        }
        s << "<sheetData><row r=\"1\">";
        for (size_t c = 0; c < sheet.columns.size(); ++c) {
            openCell(int(c), 1, kHeaderStyle);
            textValue(sheet.columns[c].label);
        }
        s << "</row>";
        sheet.lastRow = 1;
    }

    static int valueLength(const DataColumn& column, const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::QString:
            return int(std::min(v.toString().size(), qsizetype(kMaxWidth)));
        case QMetaType::QDate:
            return 10;
        case QMetaType::QDateTime:
            return 16;
        case QMetaType::Bool:
            return 9; // VERDADERO, as a Spanish spreadsheet shows it
        default:
            if (!v.isValid())
                return 0;
            const double d = v.toDouble();
            return std::isfinite(d) ? shownLength(d, column.numberFormat) : 0;
        }
    }

    void openCell(int col, int row, int style) {
        m_xml << "<c r=\"";
        detail::appendColumnName(m_xml, col);
        m_xml << row << "\"";
        if (style)
            m_xml << " s=\"" << style << "\"";
    }

    void textValue(const QString& text) {
        // Cut where a character would be split in two.
        qsizetype size = std::min(text.size(), kMaxCellText);
        if (size < text.size() && text.at(size - 1).isHighSurrogate())
            --size;
        const QStringView shown = QStringView(text).left(size);
        const auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
        const bool keepSpace = !shown.isEmpty() && (space(shown.front()) || space(shown.back()));
        m_xml << " t=\"inlineStr\"><is>" << (keepSpace ? "<t xml:space=\"preserve\">" : "<t>");
        m_xml.text(shown);
        m_xml << "</t></is></c>";
    }

    void writeRow(Sheet& sheet, const QVariantList& values) {
        const int row = ++sheet.lastRow;
        XmlBuffer& s = m_xml;
        s << "<row r=\"" << row << "\">";
        for (int c = 0; c < int(sheet.columns.size()) && c < int(values.size()); ++c) {
            const QVariant& v = values[c];
            const int style = sheet.styles[size_t(c)];
            switch (v.typeId()) {
            case QMetaType::QString:
                openCell(c, row, 0);
                textValue(v.toString());
                break;
            case QMetaType::Bool:
                openCell(c, row, 0);
                s << " t=\"b\"><v>" << (v.toBool() ? "1" : "0") << "</v></c>";
                break;
            case QMetaType::QDate:
                dateValue(c, row, v.toDate(), QTime(0, 0), style, kDateFormat);
                break;
            case QMetaType::QDateTime: {
                const QDateTime dt = v.toDateTime();
                dateValue(c, row, dt.date(), dt.time(), style, kDateTimeFormat);
                break;
            }
            default:
                if (!v.isValid() || v.isNull())
                    break; // a null stays an empty cell
                bool ok = false;
                const double d = v.toDouble(&ok);
                if (ok && std::isfinite(d)) {
                    openCell(c, row, style);
                    s << "><v>" << d << "</v></c>";
                }
                break;
            }
        }
        s << "</row>";
        if (s.size() >= kSheetChunk)
            m_zip.write(s);
    }

    // A date before March 1900 has no true serial (the spreadsheet counts a 29 February 1900 that never
    // was): it is written as text rather than a day off.
    void dateValue(int col, int row, const QDate& date, const QTime& time, int columnStyle,
                   const QString& format) {
        if (!date.isValid())
            return;
        if (date < QDate(1900, 3, 1) || date.year() > 9999) {
            openCell(col, row, 0);
            textValue(date.toString(QStringLiteral("dd/MM/yyyy")));
            return;
        }
        // A date in a column declared otherwise keeps its own look.
        const int dateStyle =
            columnStyle >= kFirstFormatStyle && m_formats.at(columnStyle - kFirstFormatStyle) == format
                ? columnStyle
                : style(format);
        openCell(col, row, dateStyle);
        m_xml << "><v>" << serial(date, time.isValid() ? time : QTime(0, 0)) << "</v></c>";
    }

    void writeTrailingParts() {
        XmlBuffer b;
        b << detail::kXmlHead << "<workbook xmlns=\"" << detail::kMainNs << "\" xmlns:r=\"" << detail::kRelNs
          << "\"><bookViews><workbookView/></bookViews><sheets>";
        for (size_t i = 0; i < m_sheets.size(); ++i) {
            b << "<sheet name=\"";
            b.text(m_sheets[i].name, true);
            b << "\" sheetId=\"" << int(i + 1) << "\" r:id=\"rId" << int(i + 1) << "\"/>";
        }
        b << "</sheets>";
        bool names = false;
        for (size_t i = 0; i < m_sheets.size(); ++i) {
            const Sheet& s = m_sheets[i];
            if (s.columns.empty())
                continue;
            if (!names)
                b << "<definedNames>";
            names = true;
            // A sheet's name in a reference is quoted, its own quotes doubled.
            const QString ref = QStringLiteral("'%1'!$A$1:$%2$%3")
                                    .arg(QString(s.name).replace(QLatin1Char('\''), QStringLiteral("''")),
                                         columnName(int(s.columns.size()) - 1))
                                    .arg(s.lastRow);
            b << "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" << int(i)
              << "\" hidden=\"1\">";
            b.text(ref);
            b << "</definedName>";
        }
        if (names)
            b << "</definedNames>";
        b << "</workbook>";
        m_zip.add("xl/workbook.xml", b);

        b.clear();
        b << detail::kXmlHead << "<styleSheet xmlns=\"" << detail::kMainNs << "\">";
        if (!m_formats.isEmpty()) {
            b << "<numFmts count=\"" << int(m_formats.size()) << "\">";
            for (qsizetype i = 0; i < m_formats.size(); ++i) {
                b << "<numFmt numFmtId=\"" << int(kFirstCustomFormat + i) << "\" formatCode=\"";
                b.text(m_formats[i], true);
                b << "\"/>";
            }
            b << "</numFmts>";
        }
        b << "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
          << "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
          << "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
          << "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
          << "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
          << "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/></cellStyleXfs>"
          << "<cellXfs count=\"" << int(kFirstFormatStyle + m_formats.size()) << "\">"
          << "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
          << "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>";
        for (qsizetype i = 0; i < m_formats.size(); ++i)
            b << "<xf numFmtId=\"" << int(kFirstCustomFormat + i)
              << "\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>";
        b << "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
          << "</cellStyles><dxfs count=\"0\"/></styleSheet>";
        m_zip.add("xl/styles.xml", b);

        // No creation or modification date, unless SOURCE_DATE_EPOCH fixes one: the same data give the same
        // file.
        b.clear();
        b << detail::kXmlHead << "<cp:coreProperties"
          << " xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
          << " xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\""
          << " xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\""
          << " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
        if (documentTimeFixed()) {
            const QByteArray when = documentTime().toString(Qt::ISODate).toLatin1();
            for (const char* element : {"dcterms:created", "dcterms:modified"})
                b << "<" << element << " xsi:type=\"dcterms:W3CDTF\">" << when << "</" << element << ">";
        }
        b << "</cp:coreProperties>";
        m_zip.add("docProps/core.xml", b);

        b.clear();
        const std::string_view ct = "application/vnd.openxmlformats-officedocument.";
        b << detail::kXmlHead
          << "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          << "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
          << "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
          << "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" << ct
          << "spreadsheetml.sheet.main+xml\"/>";
        for (size_t i = 0; i < m_sheets.size(); ++i)
            b << "<Override PartName=\"/xl/worksheets/sheet" << int(i + 1) << ".xml\" ContentType=\"" << ct
              << "spreadsheetml.worksheet+xml\"/>";
        b << "<Override PartName=\"/xl/styles.xml\" ContentType=\"" << ct << "spreadsheetml.styles+xml\"/>"
          << "<Override PartName=\"/docProps/core.xml\" "
             "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
          << "<Override PartName=\"/docProps/app.xml\" ContentType=\"" << ct
          << "extended-properties+xml\"/></Types>";
        m_zip.add("[Content_Types].xml", b);
    }

    const QString m_path;
    detail::ZipWriter m_zip;
    std::vector<Sheet> m_sheets;
    QStringList m_formats; // number format codes, of ids 164 on
    XmlBuffer m_xml;       // the worksheet being written, up to a chunk
};

} // namespace

void XlsxDataExporter::exportToFile(const std::vector<const DataTable*>& tables, const QString& path) {
    if (tables.empty())
        throw GeneralError(QStringLiteral("El informe no tiene datos para exportar."));
    writeOutputFile(path, [&](OutputSink& sink) { WorkbookWriter(sink, path, tables).write(); });
}

} // namespace report
