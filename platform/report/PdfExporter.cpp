// PdfExporter: pages are painted with QPdfWriter, which embeds font subsets with their Unicode maps but
// writes neither an author, a subject nor bookmarks. Those are added afterwards as a PDF incremental update:
// the file Qt wrote stays byte for byte as it is, and new objects are appended after it
//
//   - a new document information dictionary: Qt's entries plus /Author and /Subject;
//   - a new catalog: Qt's entries plus /Outlines and /PageMode /UseOutlines;
//   - the outline tree: a root with /First, /Last, /Count, and one item per outline entry linked to its
//     parent and siblings (/Parent, /Prev, /Next, /First, /Last, /Count) with a /Dest to its page and height;
//
// followed by a cross-reference section for exactly those objects and a trailer whose /Prev points at Qt's
// cross-reference table. Readers resolve every object through the newest section, so the new catalog and
// information dictionary replace the old ones. Qt's file is read through its own cross-reference table
// (the page tree and the catalog are found by object number, not by searching the text), and any surprise
// in it is an internal error rather than a damaged output.
#include "PdfExporter.h"

#include "OutputFile.h"
#include "GeneralError.h"
#include "PageLayout_p.h"
#include "PageRenderer.h"

#include <QBuffer>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace report {

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

[[noreturn]] void internalFailure(const QString& what) {
    throw GeneralError(QStringLiteral("No se pudo generar el documento PDF: %1.").arg(what));
}

// A PDF text string that carries any Unicode text: UTF-16BE with a byte order mark, in hexadecimal.
QByteArray pdfText(const QString& text) {
    QByteArray out = "<FEFF";
    for (const QChar c : text)
        out += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    out += '>';
    return out;
}

QByteArray ref(int object) {
    return QByteArray::number(object) + " 0 R";
}

QByteArray number(double v) {
    return QByteArray::number(v, 'f', 2);
}

// The parts of Qt's file that the update refers to.
class QtPdfFile {
public:
    explicit QtPdfFile(const QByteArray& pdf) : m_pdf(pdf) {
        const qsizetype sx = pdf.lastIndexOf("startxref");
        if (sx < 0)
            internalFailure(QStringLiteral("sin tabla de referencias"));
        bool ok = false;
        m_xrefOffset = pdf.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok || m_xrefOffset <= 0 || m_xrefOffset >= pdf.size() || !pdf.mid(m_xrefOffset).startsWith("xref"))
            internalFailure(QStringLiteral("tabla de referencias ilegible"));
        readXref();
        const qsizetype tr = pdf.indexOf("trailer", m_xrefOffset);
        if (tr < 0 || tr > sx)
            internalFailure(QStringLiteral("sin trailer"));
        m_trailer = pdf.mid(tr + 7, sx - tr - 7);
        m_size = intEntry(m_trailer, "Size");
        m_root = refEntry(m_trailer, "Root");
        m_info = refEntry(m_trailer, "Info", /*required=*/false);
        static const QRegularExpression id(QStringLiteral("/ID\\s*\\[[^\\]]*\\]"));
        const auto m = id.match(QString::fromLatin1(m_trailer));
        if (m.hasMatch())
            m_id = m.captured(0).toLatin1();
        collectPages(refEntry(object(m_root), "Pages"), 0);
    }

    qint64 xrefOffset() const { return m_xrefOffset; }
    int size() const { return m_size; }
    int root() const { return m_root; }
    int info() const { return m_info; }
    const QByteArray& trailerId() const { return m_id; }
    const std::vector<int>& pages() const { return m_pages; }
    double pageHeightPt(size_t index) const { return m_pageHeights[index]; }

    // The dictionary text of an object, "<< ... >>".
    QByteArray object(int number) const {
        const auto it = m_offsets.constFind(number);
        if (it == m_offsets.constEnd())
            internalFailure(QStringLiteral("objeto %1 ausente").arg(number));
        const QByteArray head = QByteArray::number(number) + " 0 obj";
        if (!m_pdf.mid(*it, head.size()).startsWith(head))
            internalFailure(QStringLiteral("objeto %1 fuera de lugar").arg(number));
        const qsizetype end = m_pdf.indexOf("endobj", *it);
        if (end < 0)
            internalFailure(QStringLiteral("objeto %1 sin final").arg(number));
        const QByteArray body = m_pdf.mid(*it + head.size(), end - *it - head.size()).trimmed();
        if (!body.startsWith("<<") || !body.endsWith(">>"))
            internalFailure(QStringLiteral("objeto %1 no es un diccionario").arg(number));
        return body;
    }

    static int intEntry(const QByteArray& dict, const char* key) {
        const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key)));
        const auto m = re.match(QString::fromLatin1(dict));
        if (!m.hasMatch())
            internalFailure(QStringLiteral("falta /%1").arg(QLatin1String(key)));
        return m.captured(1).toInt();
    }

    static int refEntry(const QByteArray& dict, const char* key, bool required = true) {
        const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(QLatin1String(key)));
        const auto m = re.match(QString::fromLatin1(dict));
        if (!m.hasMatch()) {
            if (required)
                internalFailure(QStringLiteral("falta /%1").arg(QLatin1String(key)));
            return 0;
        }
        return m.captured(1).toInt();
    }

private:
    void readXref() {
        // "xref", then subsections "first count" each followed by count entries of 20 bytes.
        qsizetype pos = m_xrefOffset + 4;
        auto skipWhite = [&] {
            while (pos < m_pdf.size() && std::isspace(static_cast<unsigned char>(m_pdf[pos])))
                ++pos;
        };
        for (;;) {
            skipWhite();
            if (m_pdf.mid(pos, 7) == "trailer")
                return;
            const qsizetype eol = m_pdf.indexOf('\n', pos);
            const QList<QByteArray> head = m_pdf.mid(pos, eol - pos).simplified().split(' ');
            bool ok1 = false, ok2 = false;
            const int first = head.value(0).toInt(&ok1);
            const int count = head.value(1).toInt(&ok2);
            if (eol < 0 || head.size() != 2 || !ok1 || !ok2 || count < 0)
                internalFailure(QStringLiteral("sección de referencias ilegible"));
            pos = eol + 1;
            for (int i = 0; i < count; ++i, pos += 20) {
                const QByteArray entry = m_pdf.mid(pos, 20);
                if (entry.size() != 20)
                    internalFailure(QStringLiteral("referencia truncada"));
                if (entry[17] == 'n')
                    m_offsets.insert(first + i, entry.left(10).toLongLong());
            }
        }
    }

    void collectPages(int node, int depth) {
        if (depth > 32)
            internalFailure(QStringLiteral("árbol de páginas demasiado profundo"));
        const QByteArray dict = object(node);
        static const QRegularExpression kids(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
        static const QRegularExpression refs(QStringLiteral("(\\d+)\\s+0\\s+R"));
        static const QRegularExpression isPages(QStringLiteral("/Type\\s*/Pages\\b"));
        const auto km = kids.match(QString::fromLatin1(dict));
        if (!km.hasMatch())
            internalFailure(QStringLiteral("árbol de páginas sin /Kids"));
        auto it = refs.globalMatch(km.captured(1));
        while (it.hasNext()) {
            const int kid = it.next().captured(1).toInt();
            const QByteArray kidDict = object(kid);
            if (isPages.match(QString::fromLatin1(kidDict)).hasMatch()) {
                collectPages(kid, depth + 1);
            } else {
                m_pages.push_back(kid);
                m_pageHeights.push_back(mediaBoxHeight(kidDict, dict));
            }
        }
    }

    static double mediaBoxHeight(const QByteArray& page, const QByteArray& parent) {
        static const QRegularExpression box(
            QStringLiteral("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
        for (const QByteArray* dict : {&page, &parent}) {
            const auto m = box.match(QString::fromLatin1(*dict));
            if (m.hasMatch())
                return m.captured(4).toDouble() - m.captured(2).toDouble();
        }
        internalFailure(QStringLiteral("página sin /MediaBox"));
    }

    const QByteArray& m_pdf;
    qint64 m_xrefOffset = 0;
    QHash<int, qint64> m_offsets;
    QByteArray m_trailer;
    QByteArray m_id;
    int m_size = 0;
    int m_root = 0;
    int m_info = 0;
    std::vector<int> m_pages;
    std::vector<double> m_pageHeights;
};

// Removes "/Key value" from a dictionary's text, for the value forms Qt and this file write: a reference,
// a name, a hexadecimal string or a literal string without nested parentheses.
QByteArray withoutEntry(QByteArray dict, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s*(\\d+\\s+\\d+\\s+R|/[^\\s/<>\\[\\]()]+|<[0-9A-Fa-f\\s]*>|\\((?:\\\\.|[^\\\\()])*\\))")
                                    .arg(QLatin1String(key)));
    return QString::fromLatin1(dict).remove(re).toLatin1();
}

// Dictionary text without its closing ">>", ready for more entries.
QByteArray openDict(const QByteArray& dict) {
    return dict.left(dict.lastIndexOf(">>"));
}

struct OutlineNode {
    int entry = 0;
    int parent = -1;
    std::vector<int> children;
    int descendants = 0;
};

// Parents from levels: an entry of level L hangs under the latest entry of level L-1; a level deeper than
// one below the previous entry is taken as one below it.
std::vector<OutlineNode> outlineTree(const std::vector<OutlineEntry>& outline, std::vector<int>& topLevel) {
    std::vector<OutlineNode> nodes(outline.size());
    std::vector<int> stack;
    for (int i = 0; i < int(outline.size()); ++i) {
        const size_t level = size_t(std::max(0, outline[size_t(i)].level));
        while (stack.size() > level)
            stack.pop_back();
        nodes[size_t(i)].entry = i;
        nodes[size_t(i)].parent = stack.empty() ? -1 : stack.back();
        if (stack.empty())
            topLevel.push_back(i);
        else
            nodes[size_t(stack.back())].children.push_back(i);
        stack.push_back(i);
    }
    for (int i = int(nodes.size()) - 1; i >= 0; --i)
        for (int c : nodes[size_t(i)].children)
            nodes[size_t(i)].descendants += 1 + nodes[size_t(c)].descendants;
    return nodes;
}

void appendUpdate(QByteArray& pdf, const PreparedReport& report, bool withOutline) {
    const QtPdfFile file(pdf);
    if (file.pages().size() != report.pages.size())
        internalFailure(QStringLiteral("el número de páginas no coincide"));

    const bool outline = withOutline && !report.outline.empty();
    const int infoObj = file.size();
    const int catalogObj = infoObj + 1;
    const int outlinesObj = infoObj + 2;
    const int firstItemObj = infoObj + 3;

    std::vector<QByteArray> objects;

    QByteArray info = file.info() ? openDict(file.object(file.info())) : QByteArray("<<");
    info = withoutEntry(withoutEntry(info, "Author"), "Subject");
    info += "\n/Author " + pdfText(report.author) + "\n/Subject " + pdfText(report.subject) + "\n>>";
    objects.push_back(info);

    QByteArray catalog = withoutEntry(withoutEntry(openDict(file.object(file.root())), "Outlines"), "PageMode");
    if (outline)
        catalog += "\n/Outlines " + ref(outlinesObj) + "\n/PageMode /UseOutlines";
    catalog += "\n>>";
    objects.push_back(catalog);

    if (outline) {
        std::vector<int> top;
        const std::vector<OutlineNode> nodes = outlineTree(report.outline, top);
        auto itemObj = [&](int node) { return firstItemObj + node; };
        objects.push_back("<<\n/Type /Outlines\n/First " + ref(itemObj(top.front())) + "\n/Last " +
                          ref(itemObj(top.back())) + "\n/Count " + QByteArray::number(int(nodes.size())) + "\n>>");
        for (int i = 0; i < int(nodes.size()); ++i) {
            const OutlineNode& n = nodes[size_t(i)];
            const OutlineEntry& e = report.outline[size_t(n.entry)];
            const std::vector<int>& siblings = n.parent < 0 ? top : nodes[size_t(n.parent)].children;
            const auto pos = std::find(siblings.begin(), siblings.end(), i) - siblings.begin();
            const size_t page = size_t(std::clamp(e.page, 0, int(file.pages().size()) - 1));
            const double topPt = file.pageHeightPt(page) - e.yMm * kPtPerMm;
            QByteArray item = "<<\n/Title " + pdfText(e.text) + "\n/Parent " +
                              ref(n.parent < 0 ? outlinesObj : itemObj(n.parent));
            if (pos > 0)
                item += "\n/Prev " + ref(itemObj(siblings[size_t(pos - 1)]));
            if (size_t(pos) + 1 < siblings.size())
                item += "\n/Next " + ref(itemObj(siblings[size_t(pos + 1)]));
            if (!n.children.empty())
                item += "\n/First " + ref(itemObj(n.children.front())) + "\n/Last " + ref(itemObj(n.children.back())) +
                        "\n/Count " + QByteArray::number(n.descendants);
            item += "\n/Dest [" + ref(file.pages()[page]) + " /XYZ 0 " + number(std::max(0.0, topPt)) + " 0]\n>>";
            objects.push_back(item);
        }
    }

    if (!pdf.endsWith('\n'))
        pdf += '\n';
    std::vector<qint64> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(infoObj + int(i)) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qint64 xref = pdf.size();
    pdf += "xref\n" + QByteArray::number(infoObj) + ' ' + QByteArray::number(qsizetype(objects.size())) + '\n';
    for (qint64 off : offsets)
        pdf += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<<\n/Size " + QByteArray::number(infoObj + int(objects.size())) + "\n/Root " + ref(catalogObj) +
           "\n/Info " + ref(infoObj) + "\n/Prev " + QByteArray::number(file.xrefOffset());
    if (!file.trailerId().isEmpty())
        pdf += '\n' + file.trailerId();
    pdf += "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
}

} // namespace

QByteArray PdfExporter::toPdf(const PreparedReport& report, const PdfOptions& options) {
    if (report.isEmpty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(options.resolution);
        writer.setTitle(report.title);
        writer.setCreator(options.creator);
        writer.setPageLayout(detail::pageLayoutFor(report.pages.front()));
        QPainter painter;
        if (!painter.begin(&writer))
            internalFailure(QStringLiteral("no se pudo iniciar el dibujo"));
        for (size_t i = 0; i < report.pages.size(); ++i) {
            const PreparedPage& page = report.pages[i];
            if (i > 0) {
                // A new layout applies from the next page on.
                writer.setPageLayout(detail::pageLayoutFor(page));
                writer.newPage();
            }
            PageRenderer::render(painter, page, PageRenderer::pixelsPerMm(writer));
        }
        painter.end();
    }
    appendUpdate(pdf, report, options.outline);
    return pdf;
}

void PdfExporter::exportToFile(const PreparedReport& report, const QString& path, const PdfOptions& options) {
    writeOutputFile(path, toPdf(report, options));
}

} // namespace report
