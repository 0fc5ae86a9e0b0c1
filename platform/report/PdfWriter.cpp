// PdfWriter: PDF 1.4, written in one pass.
//
// Layout of the file: the header; then, page by page, the page's content stream (Flate) and its page
// dictionary, and each picture the first time it appears (one image object however many pages show it);
// at the end the fonts, the shared resources dictionary, the page tree, the outline, the document
// information, the catalog, the cross-reference table and the trailer. Every page names the one resources
// dictionary, which lists every font and image of the document, so a page never waits for the end.
//
// Fonts are TrueType, embedded whole (the font file is rebuilt from the tables of the font Qt measured the
// text with, so what was measured is what is drawn), as simple fonts in WinAnsiEncoding: one byte per
// character, widths from the font's own advances, and one ToUnicode map that lets readers copy and search the
// text. Charts are replayed through a paint engine of this writer, so their bars stay paths and their labels
// stay text. Positions follow PageRenderer: the same boxes, paddings, baselines and alignments, in points
// from the bottom-left corner.
#include "PdfWriter_p.h"

#include "GeneralError.h"
#include "PageLayout_p.h"
#include "TDateTime.h"
#include "TextMeasurer.h"

#include <QDateTime>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace report::detail {

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kCp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t unicodeOf(int byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[size_t(byte - 0x80)];
    return char16_t(byte);
}

// A page's content: many short pieces appended one after another. QByteArray checks sharing and growth out
// of line on every append, which took a third of the writer's time; this buffer only grows.
class Content {
public:
    Content& operator+=(char ch) {
        if (m_size == m_data.size())
            grow(1);
        m_data[m_size++] = ch;
        return *this;
    }
    Content& operator+=(const char* s) { return append(s, std::strlen(s)); }
    Content& operator+=(const QByteArray& b) { return append(b.constData(), size_t(b.size())); }
    Content& append(const char* s, size_t n) {
        if (m_size + n > m_data.size())
            grow(n);
        std::memcpy(m_data.data() + m_size, s, n);
        m_size += n;
        return *this;
    }
    void chop(size_t n) { m_size -= std::min(n, m_size); }
    void clear() { m_size = 0; } // keeps the memory for the next page
    // The bytes, valid until the next change.
    QByteArray bytes() const { return QByteArray::fromRawData(m_data.data(), qsizetype(m_size)); }

private:
    void grow(size_t n) { m_data.resize(std::max(m_data.size() * 2, m_size + n + 4096)); }
    std::vector<char> m_data;
    size_t m_size = 0;
};

// Numbers as PDF writes them: at most three decimals, no exponent, no trailing zeros.
template <typename Out>
void num(Out& out, double v) {
    if (!std::isfinite(v))
        v = 0;
    long long k = std::llround(v * 1000.0);
    char buf[32];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = k < 0;
    if (negative)
        k = -k;
    int frac = int(k % 1000);
    if (frac) {
        int digits = 3;
        while (frac % 10 == 0) {
            frac /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i, frac /= 10)
            *--p = char('0' + frac % 10);
        *--p = '.';
    }
    long long whole = k / 1000;
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

QByteArray pdfText(const QString& text) {
    QByteArray out = "<FEFF";
    for (const QChar c : text)
        out += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    out += '>';
    return out;
}

// Text for XMP: XML's special characters escaped, and what XML 1.0 cannot hold dropped.
QByteArray xmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '&') out += QStringLiteral("&amp;");
        else if (u == '<') out += QStringLiteral("&lt;");
        else if (u == '>') out += QStringLiteral("&gt;");
        else if (u == '"') out += QStringLiteral("&quot;");
        else if (u >= 0x20 || u == 0x9 || u == 0xA || u == 0xD) {
            if (u != 0xFFFE && u != 0xFFFF)
                out += c;
        }
    }
    return out.toUtf8();
}

QByteArray xmpMetadata(const QString& title, const QString& author, const QString& subject, const QString& tool,
                       const QString& created) {
    QByteArray x = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                   "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                   "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                   "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">"
                   "<pdfaid:part>1</pdfaid:part><pdfaid:conformance>B</pdfaid:conformance></rdf:Description>\n"
                   "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                   "<dc:format>application/pdf</dc:format>";
    if (!title.isEmpty())
        x += "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + xmlText(title) + "</rdf:li></rdf:Alt></dc:title>";
    if (!author.isEmpty())
        x += "<dc:creator><rdf:Seq><rdf:li>" + xmlText(author) + "</rdf:li></rdf:Seq></dc:creator>";
    if (!subject.isEmpty())
        x += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + xmlText(subject) +
             "</rdf:li></rdf:Alt></dc:description>";
    x += "</rdf:Description>\n<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">"
         "<xmp:CreateDate>" + created.toLatin1() + "</xmp:CreateDate><xmp:CreatorTool>" + xmlText(tool) +
         "</xmp:CreatorTool></rdf:Description>\n"
         "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"><pdf:Producer>" +
         xmlText(tool) + "</pdf:Producer></rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
    return x;
}

// A version 2 ICC profile of sRGB (D50 white point, the primaries adapted to it, the sRGB tone curve in 256
// steps): the colour space of every colour the writer puts on a page, declared as the output intent.
QByteArray srgbProfile() {
    QByteArray tags;
    struct Tag { const char* signature; int offset, size; };
    std::vector<Tag> table;
    const auto u32 = [](QByteArray& b, quint32 v) { char c[4]; qToBigEndian(v, c); b.append(c, 4); };
    const auto u16 = [](QByteArray& b, quint16 v) { char c[2]; qToBigEndian(v, c); b.append(c, 2); };
    const auto s15 = [&](QByteArray& b, double v) { u32(b, quint32(qint32(std::lround(v * 65536.0)))); };
    constexpr int kTags = 9;
    const int dataStart = 128 + 4 + kTags * 12;
    const auto add = [&](const char* signature, const QByteArray& data) {
        while (tags.size() % 4)
            tags += '\0';
        table.push_back({signature, dataStart + int(tags.size()), int(data.size())});
        tags += data;
    };
    const auto xyz = [&](double x, double y, double z) {
        QByteArray b("XYZ \0\0\0\0", 8);
        s15(b, x);
        s15(b, y);
        s15(b, z);
        return b;
    };
    QByteArray desc("desc\0\0\0\0", 8);
    const QByteArray name = "sRGB IEC61966-2.1";
    u32(desc, quint32(name.size() + 1));
    desc += name + '\0';
    desc += QByteArray(4 + 4 + 2 + 1 + 67, '\0'); // no Unicode or ScriptCode description
    add("desc", desc);
    add("cprt", QByteArray("text\0\0\0\0No copyright, use freely\0", 33));
    add("wtpt", xyz(0.9642, 1.0, 0.8249));
    add("rXYZ", xyz(0.4361, 0.2225, 0.0139));
    add("gXYZ", xyz(0.3851, 0.7169, 0.0971));
    add("bXYZ", xyz(0.1431, 0.0606, 0.7141));
    QByteArray curve("curv\0\0\0\0", 8);
    u32(curve, 256);
    for (int i = 0; i < 256; ++i) {
        const double v = i / 255.0;
        const double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        u16(curve, quint16(std::lround(linear * 65535.0)));
    }
    add("rTRC", curve);
    table.push_back({"gTRC", table.back().offset, table.back().size}); // the three curves share their data
    table.push_back({"bTRC", table.back().offset, table.back().size});

    QByteArray header;
    u32(header, quint32(dataStart + tags.size()));
    header += QByteArray(4, '\0');       // preferred colour management module: none
    u32(header, 0x02100000);              // version 2.1
    header += "mntrRGB XYZ ";
    header += QByteArray(12, '\0');      // date and time
    header += "acsp";
    header += QByteArray(4 + 4 + 4 + 4 + 8 + 4, '\0'); // platform, flags, maker, model, attributes, intent
    s15(header, 0.9642);                  // the connection space's illuminant, D50
    s15(header, 1.0);
    s15(header, 0.8249);
    header += QByteArray(4 + 44, '\0');  // creator, reserved
    u32(header, quint32(table.size()));
    for (const Tag& t : table) {
        header.append(t.signature, 4);
        u32(header, quint32(t.offset));
        u32(header, quint32(t.size));
    }
    return header + tags;
}

QByteArray ref(int object) {
    return QByteArray::number(object) + " 0 R";
}

QByteArray deflate(const QByteArray& data) {
    // The fastest level: page contents are repetitive and shrink well even so, and the writer's time is the
    // compressor's time.
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                  uLong(data.size()), 1) != Z_OK)
        throw GeneralError(QStringLiteral("No se pudo comprimir el contenido del PDF."));
    out.truncate(qsizetype(size));
    return out;
}

template <typename Out>
void color(Out& out, const QColor& c, const char* op) {
    const QColor rgb = c.isValid() ? c.toRgb() : QColor(Qt::black);
    num(out, rgb.redF());
    out += ' ';
    num(out, rgb.greenF());
    out += ' ';
    num(out, rgb.blueF());
    out += ' ';
    out += op;
    out += '\n';
}

// A TrueType font file rebuilt from its tables.
QByteArray fontFile(const QRawFont& raw) {
    static const char* const tags[] = {"OS/2", "cmap", "cvt ", "fpgm", "glyf", "head", "hhea",
                                       "hmtx", "loca", "maxp", "name", "post", "prep"};
    std::vector<std::pair<QByteArray, QByteArray>> tables;
    for (const char* tag : tags) {
        const QByteArray data = raw.fontTable(tag);
        if (!data.isEmpty())
            tables.emplace_back(QByteArray(tag), data);
    }
    const auto has = [&](const char* tag) {
        return std::any_of(tables.begin(), tables.end(), [&](const auto& t) { return t.first == tag; });
    };
    if (!has("glyf") || !has("head") || !has("loca"))
        throw GeneralError(QStringLiteral("La fuente %1 no es TrueType y no se puede incrustar en el PDF.")
                               .arg(raw.familyName()));
    const auto checksum = [](const QByteArray& data) {
        quint32 sum = 0;
        for (qsizetype i = 0; i < data.size(); i += 4) {
            quint32 word = 0;
            for (int b = 0; b < 4; ++b)
                word = (word << 8) | (i + b < data.size() ? quint8(data[i + b]) : 0);
            sum += word;
        }
        return sum;
    };
    const quint16 count = quint16(tables.size());
    quint16 power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    QByteArray file(12 + 16 * count, '\0');
    qToBigEndian<quint32>(0x00010000, file.data());
    qToBigEndian<quint16>(count, file.data() + 4);
    qToBigEndian<quint16>(quint16(power * 16), file.data() + 6);
    qToBigEndian<quint16>(log2, file.data() + 8);
    qToBigEndian<quint16>(quint16(count * 16 - power * 16), file.data() + 10);
    qsizetype headOffset = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        QByteArray data = tables[i].second;
        if (tables[i].first == "head" && data.size() >= 12) {
            qToBigEndian<quint32>(0, data.data() + 8); // checkSumAdjustment, set below
            headOffset = file.size();
        }
        char* rec = file.data() + 12 + 16 * qsizetype(i);
        std::memcpy(rec, tables[i].first.constData(), 4);
        qToBigEndian<quint32>(checksum(data), rec + 4);
        qToBigEndian<quint32>(quint32(file.size()), rec + 8);
        qToBigEndian<quint32>(quint32(data.size()), rec + 12);
        file += data;
        while (file.size() % 4)
            file += '\0';
    }
    if (headOffset)
        qToBigEndian<quint32>(0xB1B0AFBA - checksum(file), file.data() + headOffset + 8);
    return file;
}

struct Font {
    QByteArray name;       // resource name, "F1"
    int object = 0;
    QRawFont raw;
    std::array<int, 256> widths{}; // per byte, thousandths of an em
    bool bold = false, italic = false;
};

struct Image {
    QByteArray name;       // resource name, "Im1"
    int object = 0;
    QSize size;
};

} // namespace

struct PdfWriter::Private {
    OutputSink& out;
    qint64 position = 0;
    std::vector<qint64> offsets{0}; // by object number; 0 is the free head
    std::vector<int> pageObjects;
    std::vector<double> pageHeights;
    std::vector<std::unique_ptr<Font>> fonts;
    QHash<QString, Font*> fontsByKey;
    QHash<QByteArray, Image*> imagesByKey;
    QHash<qint64, QByteArray> contentKeyOfImage; // QImage::cacheKey -> key above: a shared image is read once
    std::vector<std::unique_ptr<Image>> images;
    // Reserved at the start: the objects every page refers to.
    const int catalogObject = 1, pagesObject = 2, resourcesObject = 3;

    explicit Private(OutputSink& sink) : out(sink) {
        offsets.resize(4, 0);
        emit("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        pageThread = std::thread([this] { writePages(); });
    }
    ~Private() {
        {
            std::lock_guard lock(pageMutex);
            stopping = true;
        }
        pageChanged.notify_all();
        pageThread.join();
    }

    void emit(const QByteArray& bytes) {
        settle();
        write(bytes);
    }

    int allocate() {
        offsets.push_back(0);
        return int(offsets.size()) - 1;
    }

    void object(int number, const QByteArray& body) {
        settle();
        offsets[size_t(number)] = position;
        write(QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n");
    }

    void stream(int number, QByteArray dict, const QByteArray& data, bool compress) {
        settle();
        const QByteArray payload = compress ? deflate(data) : data;
        if (compress)
            dict += " /Filter /FlateDecode";
        offsets[size_t(number)] = position;
        write(QByteArray::number(number) + " 0 obj\n<< " + dict + " /Length " + QByteArray::number(payload.size()) +
              " >>\nstream\n");
        write(payload);
        write("\nendstream\nendobj\n");
    }

    // A finished page's content is compressed and written, with its page object, by a thread of its own
    // while the next page is drawn: compressing is a quarter of the writer's work. Whatever else is written
    // waits for that page first (settle), so the file's order and offsets are those of one thread.
    struct PageJob {
        int content = 0, page = 0; // 0: none written since the last settle
        Content bytes;
        QByteArray pageDict;
        qint64 contentAt = 0, pageAt = 0;
    };
    PageJob job;
    bool jobPending = false, stopping = false;
    std::exception_ptr jobFailure;
    std::mutex pageMutex;
    std::condition_variable pageChanged;
    std::thread pageThread;

    void handOver(int content, int page, Content& bytes, QByteArray pageDict) {
        settle();
        std::swap(job.bytes, bytes);
        job.content = content;
        job.page = page;
        job.pageDict = std::move(pageDict);
        {
            std::lock_guard lock(pageMutex);
            jobPending = true;
        }
        pageChanged.notify_all();
    }

    // Waits for the page being written, records its offsets, and reports its failure.
    void settle() {
        std::unique_lock lock(pageMutex);
        pageChanged.wait(lock, [&] { return !jobPending; });
        if (job.content) {
            offsets[size_t(job.content)] = job.contentAt;
            offsets[size_t(job.page)] = job.pageAt;
            job.content = job.page = 0;
        }
        if (jobFailure)
            std::rethrow_exception(std::exchange(jobFailure, nullptr));
    }

    void writePages() {
        std::unique_lock lock(pageMutex);
        for (;;) {
            pageChanged.wait(lock, [&] { return jobPending || stopping; });
            if (!jobPending)
                return;
            lock.unlock();
            std::exception_ptr failure;
            try {
                const QByteArray payload = deflate(job.bytes.bytes());
                job.contentAt = position;
                write(QByteArray::number(job.content) + " 0 obj\n<< /Filter /FlateDecode /Length " +
                      QByteArray::number(payload.size()) + " >>\nstream\n");
                write(payload);
                write("\nendstream\nendobj\n");
                job.pageAt = position;
                write(QByteArray::number(job.page) + " 0 obj\n" + job.pageDict + "\nendobj\n");
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            jobFailure = failure;
            jobPending = false;
            pageChanged.notify_all();
        }
    }

private:
    void write(const QByteArray& bytes) {
        out.write(bytes);
        position += bytes.size();
    }

public:
    Font& font(const FontSpec& spec, bool bold, bool italic) {
        const bool b = bold || spec.bold, i = italic || spec.italic;
        // Runs come mostly in the font of the run before.
        if (lastFont && lastFont->bold == b && lastFont->italic == i && lastFamily == spec.family)
            return *lastFont;
        Font& f = lookUpFont(spec, b, i);
        lastFont = &f;
        lastFamily = spec.family;
        return f;
    }

    Font* lastFont = nullptr;
    QString lastFamily;

    Font& lookUpFont(const FontSpec& spec, bool b, bool i) {
        const QString key = spec.family.toLower() + QLatin1Char(b ? 'b' : 'r') + QLatin1Char(i ? 'i' : 'r');
        if (Font* known = fontsByKey.value(key))
            return *known;
        auto f = std::make_unique<Font>();
        f->raw = QRawFont::fromFont(TextMeasurer::qfont(spec, b, i, false));
        if (!f->raw.isValid())
            throw GeneralError(QStringLiteral("No se encontró la fuente %1 para el PDF.").arg(spec.family));
        // At a pixel size of one em, advances come in font units.
        const double em = f->raw.unitsPerEm();
        f->raw.setPixelSize(em);
        for (int c = 32; c < 256; ++c) {
            const char16_t u = unicodeOf(c);
            if (!u)
                continue;
            const QList<quint32> glyphs = f->raw.glyphIndexesForString(QString(QChar(u)));
            if (glyphs.isEmpty())
                continue;
            const QList<QPointF> adv = f->raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
            f->widths[size_t(c)] = adv.isEmpty() ? 0 : int(std::lround(adv.first().x() * 1000.0 / em));
        }
        f->bold = b;
        f->italic = i;
        f->name = "F" + QByteArray::number(int(fonts.size()) + 1);
        f->object = allocate();
        Font* raw = f.get();
        fonts.push_back(std::move(f));
        fontsByKey.insert(key, raw);
        return *raw;
    }

    // The image object of img (written the first time it appears), flattened onto white: a PDF for the
    // archive carries no transparency.
    const Image& image(const QImage& img) {
        if (const auto known = contentKeyOfImage.constFind(img.cacheKey()); known != contentKeyOfImage.constEnd())
            return *imagesByKey.value(*known);
        QImage rgb = img.convertToFormat(QImage::Format_ARGB32);
        QImage flat(rgb.size(), QImage::Format_RGB888);
        flat.fill(Qt::white);
        {
            QPainter p(&flat);
            p.drawImage(0, 0, rgb);
        }
        QByteArray bytes;
        bytes.reserve(flat.width() * flat.height() * 3);
        for (int y = 0; y < flat.height(); ++y)
            bytes.append(reinterpret_cast<const char*>(flat.constScanLine(y)), flat.width() * 3);
        const QByteArray key = QByteArray::number(flat.width()) + 'x' + QByteArray::number(flat.height()) + ':' +
                               QByteArray::number(qHash(bytes), 16);
        contentKeyOfImage.insert(img.cacheKey(), key);
        if (Image* known = imagesByKey.value(key))
            return *known;
        auto entry = std::make_unique<Image>();
        entry->name = "Im" + QByteArray::number(int(images.size()) + 1);
        entry->object = allocate();
        entry->size = flat.size();
        stream(entry->object,
               "/Type /XObject /Subtype /Image /Width " + QByteArray::number(flat.width()) + " /Height " +
                   QByteArray::number(flat.height()) + " /ColorSpace /DeviceRGB /BitsPerComponent 8",
               bytes, true);
        imagesByKey.insert(key, entry.get());
        images.push_back(std::move(entry));
        return *images.back();
    }

    // --- drawing, into one page's content ---

    Content c;
    double pageH = 0;

    double X(double mm) const { return mm * kPtPerMm; }
    double Y(double mm) const { return pageH - mm * kPtPerMm; }

    void rectPath(const QRectF& mm) {
        num(c, X(mm.left()));
        c += ' ';
        num(c, Y(mm.bottom()));
        c += ' ';
        num(c, mm.width() * kPtPerMm);
        c += ' ';
        num(c, mm.height() * kPtPerMm);
        c += " re ";
    }

    void fill(const QRectF& mm, const QColor& fill) {
        if (!fill.isValid() || fill.alpha() == 0)
            return;
        color(c, fill, "rg");
        rectPath(mm);
        c += "f\n";
    }

    void segment(QPointF a, QPointF b) {
        num(c, X(a.x()));
        c += ' ';
        num(c, Y(a.y()));
        c += " m ";
        num(c, X(b.x()));
        c += ' ';
        num(c, Y(b.y()));
        c += " l\n";
    }

    void pen(double widthPt, const QColor& col) {
        num(c, widthPt);
        c += " w ";
        color(c, col, "RG");
    }

    void frame(const QRectF& r, const FrameSpec& f) {
        if (!f.any() || f.widthPt <= 0)
            return;
        pen(f.widthPt, f.color);
        if (f.top)
            segment(r.topLeft(), r.topRight());
        if (f.bottom)
            segment(r.bottomLeft(), r.bottomRight());
        if (f.left)
            segment(r.topLeft(), r.bottomLeft());
        if (f.right)
            segment(r.topRight(), r.bottomRight());
        c += "S\n";
    }

    double runWidthPt(const Font& f, const QByteArray& bytes, double sizePt) const {
        long long units = 0;
        for (const char ch : bytes)
            units += f.widths[quint8(ch)];
        return units * sizePt / 1000.0;
    }

    void text(const TextItem& item) {
        fill(item.rect, item.fill);
        if (!item.lines.isEmpty()) {
            c += "q ";
            rectPath(item.rect);
            c += "W n\n";
            color(c, item.font.color, "rg");
            c += "BT\n";
            const double top = firstLineTopMm(item);
            const double availableMm = item.rect.width() - 2 * item.paddingMm;
            const double size = item.font.sizePt;
            QByteArray currentFont;
            std::vector<std::pair<double, double>> underlines; // x from, x to (pt) at the current baseline
            for (int i = 0; i < item.lines.size(); ++i) {
                const TextLine& line = item.lines[i];
                const double baseline = Y(top + item.ascentMm + i * item.lineHeightMm);
                // Each run in its font, as bytes; the natural width in points.
                std::vector<std::pair<Font*, QByteArray>> runs;
                double natural = 0;
                for (const TextRun& run : line.runs) {
                    Font& f = font(item.font, run.bold, run.italic);
                    runs.emplace_back(&f, encode(run.text));
                    natural += encodable(run.text) ? runWidthPt(f, runs.back().second, size)
                                                   : outline(item.font, run, 0, 0, size, QColor(), false);
                }
                double x = X(lineLeftMm(item, line.widthMm > 0 ? line.widthMm : natural / kPtPerMm));
                double wordSpace = 0;
                // The last line of a justified paragraph keeps its natural spacing.
                if (item.hAlign == HAlign::Justify && !line.endsParagraph) {
                    const int blanks = stretchableBlanks(line);
                    const double slack = availableMm * kPtPerMm - natural;
                    if (blanks > 0 && slack > 0)
                        wordSpace = slack / blanks;
                }
                if (wordSpace > 0) {
                    num(c, wordSpace);
                    c += " Tw\n";
                }
                underlines.clear();
                for (size_t k = 0; k < runs.size(); ++k) {
                    const auto& [f, bytes] = runs[k];
                    const TextRun& source = line.runs[int(k)];
                    if (!encodable(source.text)) {
                        // Characters the fonts' code page lacks are drawn as their glyphs' outlines.
                        c += "ET\n";
                        const double w = outline(item.font, source, x, baseline, size, item.font.color, true);
                        c += "BT\n";
                        currentFont.clear();
                        if (source.underline || item.font.underline)
                            underlines.emplace_back(x, x + w);
                        x += w;
                        continue;
                    }
                    if (f->name != currentFont) {
                        c += '/' + f->name + ' ';
                        num(c, size);
                        c += " Tf\n";
                        currentFont = f->name;
                    }
                    c += "1 0 0 1 ";
                    num(c, x);
                    c += ' ';
                    num(c, baseline);
                    c += " Tm (";
                    for (const char ch : bytes) {
                        if (ch == '(' || ch == ')' || ch == '\\')
                            c += '\\';
                        c += ch;
                    }
                    c += ") Tj\n";
                    const double w = runWidthPt(*f, bytes, size) +
                                     wordSpace * double(std::count(bytes.begin(), bytes.end(), ' '));
                    if (line.runs[int(k)].underline || item.font.underline)
                        underlines.emplace_back(x, x + w);
                    x += w;
                }
                if (wordSpace > 0)
                    c += "0 Tw\n";
                if (!underlines.empty()) {
                    c += "ET\n";
                    pen(std::max(0.5, size / 14.0), item.font.color);
                    for (const auto& [from, to] : underlines) {
                        const double y = baseline - size * 0.12;
                        num(c, from);
                        c += ' ';
                        num(c, y);
                        c += " m ";
                        num(c, to);
                        c += ' ';
                        num(c, y);
                        c += " l\n";
                    }
                    c += "S\nBT\n";
                    currentFont.clear();
                }
            }
            c += "ET\nQ\n";
        }
        frame(item.rect, item.frame);
    }

    static bool encodable(const QString& text) {
        const QByteArray bytes = encode(text);
        for (qsizetype i = 0; i < text.size(); ++i)
            if (bytes[i] == '?' && text[i] != QLatin1Char('?'))
                return false;
        return true;
    }

    // The run's glyph outlines from (x, baseline) in page points (y up), filled when draw; the width in points.
    double outline(const FontSpec& spec, const TextRun& run, double x, double baseline, double size,
                   const QColor& fillColor, bool draw) {
        QRawFont raw = QRawFont::fromFont(TextMeasurer::qfont(spec, run.bold, run.italic, false));
        raw.setPixelSize(size);
        const QList<quint32> glyphs = raw.glyphIndexesForString(run.text);
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        QPainterPath all;
        double at = 0;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            if (draw)
                all.addPath(raw.pathForGlyph(glyphs[i]).translated(x + at, pageH - baseline));
            at += i < advances.size() ? advances[i].x() : 0;
        }
        if (draw && !all.isEmpty()) {
            color(c, fillColor, "rg");
            path(all);
            c += "f\n";
        }
        return at;
    }

    void line(const LineItem& l) {
        pen(l.widthPt, l.color);
        segment(l.from, l.to);
        c += "S\n";
    }

    void placeImage(const Image& img, const QRectF& mm) {
        c += "q ";
        num(c, mm.width() * kPtPerMm);
        c += " 0 0 ";
        num(c, mm.height() * kPtPerMm);
        c += ' ';
        num(c, X(mm.left()));
        c += ' ';
        num(c, Y(mm.bottom()));
        c += " cm /" + img.name + " Do Q\n";
    }

    void picture(const PictureItem& p) {
        if (p.image.isNull() || p.rect.isEmpty())
            return;
        const QRectF box = p.rect;
        QSizeF size = box.size();
        if (p.keepAspect)
            size = QSizeF(p.image.size()).scaled(box.size(), Qt::KeepAspectRatio);
        QPointF at = box.topLeft();
        if (p.center)
            at += QPointF((box.width() - size.width()) / 2, (box.height() - size.height()) / 2);
        placeImage(image(p.image), QRectF(at, size));
    }

    void drawing(const DrawingItem& d);

    // Emits a path in page points (y down) as PDF path operators.
    void path(const QPainterPath& pagePath) {
        for (int i = 0; i < pagePath.elementCount(); ++i) {
            const QPainterPath::Element e = pagePath.elementAt(i);
            if (e.isCurveTo() && i + 2 < pagePath.elementCount()) {
                const QPainterPath::Element c1 = pagePath.elementAt(i + 1), c2 = pagePath.elementAt(i + 2);
                for (const QPointF pt : {QPointF(e), QPointF(c1), QPointF(c2)}) {
                    num(c, pt.x());
                    c += ' ';
                    num(c, pageH - pt.y());
                    c += ' ';
                }
                c += "c\n";
                i += 2;
                continue;
            }
            num(c, e.x);
            c += ' ';
            num(c, pageH - e.y);
            c += e.isMoveTo() ? " m\n" : " l\n";
        }
    }
};

namespace {

// The paint engine a chart is replayed through: paths, polygons, images and text of the recorded picture
// become PDF operators on the current page. Coordinates arrive in the painter's logical units with the
// painter's transform, which maps them to page points (y down).
class ChartEngine : public QPaintEngine {
public:
    explicit ChartEngine(PdfWriter::Private& writer) : QPaintEngine(AllFeatures), w(writer) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override {
        const QPaintEngine::DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            m_pen = state.pen();
        if (dirty & DirtyBrush)
            m_brush = state.brush();
        if (dirty & DirtyTransform)
            m_transform = state.transform();
    }

    void drawPath(const QPainterPath& logical) override { paint(m_transform.map(logical), true); }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        if (count < 2)
            return;
        QPainterPath p;
        p.moveTo(points[0]);
        for (int i = 1; i < count; ++i)
            p.lineTo(points[i]);
        if (mode != PolylineMode)
            p.closeSubpath();
        p.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
        paint(m_transform.map(p), mode != PolylineMode);
    }

    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override {
        const QImage part = sr.toRect() == image.rect() ? image : image.copy(sr.toRect());
        if (part.isNull() || r.isEmpty())
            return;
        // The unit square of the image, bottom-left first, onto r, then onto the page (y up).
        const QTransform m = QTransform(r.width(), 0, 0, -r.height(), r.left(), r.bottom()) * m_transform *
                             QTransform(1, 0, 0, -1, 0, w.pageH);
        const QByteArray name = w.image(part).name;
        w.c += "q ";
        matrix(m);
        w.c += " cm /" + name + " Do Q\n";
    }

    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        const QString text = item.text();
        if (text.trimmed().isEmpty())
            return;
        const QFont f = item.font();
        const double size = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF();
        FontSpec spec;
        spec.family = f.family();
        Font& font = w.font(spec, f.bold(), f.italic());
        // Text space (y up, one unit a font size) onto the logical baseline, then onto the page (y up).
        const QTransform m = QTransform(size, 0, 0, -size, at.x(), at.y()) * m_transform *
                             QTransform(1, 0, 0, -1, 0, w.pageH);
        w.c += "BT ";
        color(w.c, m_pen.color(), "rg");
        w.c += '/' + font.name + " 1 Tf ";
        matrix(m);
        w.c += " Tm (";
        for (const char ch : PdfWriter::encode(text)) {
            if (ch == '(' || ch == ')' || ch == '\\')
                w.c += '\\';
            w.c += ch;
        }
        w.c += ") Tj ET\n";
    }

private:
    void matrix(const QTransform& m) {
        for (const double v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) {
            num(w.c, v);
            w.c += ' ';
        }
        w.c.chop(1);
    }

    // Fills with the brush (a gradient by its first colour) and strokes with the pen, as the state says.
    void paint(const QPainterPath& pagePath, bool fillable) {
        QColor fillColor;
        if (fillable && m_brush.style() != Qt::NoBrush) {
            fillColor = m_brush.color();
            if (const QGradient* g = m_brush.gradient(); g && !g->stops().isEmpty())
                fillColor = g->stops().first().second;
        }
        const bool fill = fillColor.isValid() && fillColor.alpha() > 0;
        const bool stroke = m_pen.style() != Qt::NoPen && m_pen.color().alpha() > 0;
        if (!fill && !stroke)
            return;
        if (fill)
            color(w.c, fillColor, "rg");
        if (stroke) {
            // A cosmetic pen keeps its width in device units; any other scales with the transform.
            const double scale = m_pen.isCosmetic() ? 1.0 : std::sqrt(std::abs(m_transform.determinant()));
            w.pen(m_pen.widthF() * scale, m_pen.color());
        }
        w.path(pagePath);
        const bool evenOdd = pagePath.fillRule() == Qt::OddEvenFill;
        w.c += fill && stroke ? (evenOdd ? "B*\n" : "B\n") : fill ? (evenOdd ? "f*\n" : "f\n") : "S\n";
    }

    PdfWriter::Private& w;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

// A page-sized device in points that paints through ChartEngine.
class ChartDevice : public QPaintDevice {
public:
    ChartDevice(PdfWriter::Private& writer, QSizeF pagePt) : m_engine(writer), m_size(pagePt) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return int(m_size.width());
        case PdmHeight: return int(m_size.height());
        case PdmWidthMM: return int(m_size.width() / kPtPerMm);
        case PdmHeightMM: return int(m_size.height() / kPtPerMm);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 72;
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    mutable ChartEngine m_engine;
    QSizeF m_size;
};

} // namespace

void PdfWriter::Private::drawing(const DrawingItem& d) {
    if (d.picture.isNull() || d.rect.isEmpty())
        return;
    QSizeF source = d.sourceSize;
    if (source.isEmpty())
        source = d.picture.boundingRect().size();
    if (source.isEmpty())
        return;
    ChartDevice device(*this, QSizeF(1e5, pageH));
    QPainter p(&device);
    const QRectF box(d.rect.left() * kPtPerMm, d.rect.top() * kPtPerMm, d.rect.width() * kPtPerMm,
                     d.rect.height() * kPtPerMm);
    c += "q ";
    num(c, box.left());
    c += ' ';
    num(c, pageH - box.bottom());
    c += ' ';
    num(c, box.width());
    c += ' ';
    num(c, box.height());
    c += " re W n\n";
    p.translate(box.topLeft());
    // Replaying a picture scales it by the ratio of its resolution to the device's; the box alone decides.
    const double fx = double(d.picture.logicalDpiX()) / device.logicalDpiX();
    const double fy = double(d.picture.logicalDpiY()) / device.logicalDpiY();
    p.scale(box.width() / source.width() * fx, box.height() / source.height() * fy);
    p.drawPicture(0, 0, d.picture);
    p.end();
    c += "Q\n";
}

PdfWriter::PdfWriter(OutputSink& out) : d(std::make_unique<Private>(out)) {}

PdfWriter::~PdfWriter() = default;

QByteArray PdfWriter::encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        const auto it = std::find(kCp1252High.begin(), kCp1252High.end(), u);
        out += it != kCp1252High.end() && u ? char(0x80 + (it - kCp1252High.begin())) : '?';
    }
    return out;
}

void PdfWriter::writePage(const PreparedPage& page) {
    Private& p = *d;
    p.c.clear();
    p.pageH = page.paperMm.height() * kPtPerMm;
    // Square caps close the corners of frames drawn side by side, as on every other output.
    p.c += "2 J 0 j\n";
    for (const PageItem& item : page.items)
        std::visit(
            [&](const auto& i) {
                using T = std::decay_t<decltype(i)>;
                if constexpr (std::is_same_v<T, TextItem>)
                    p.text(i);
                else if constexpr (std::is_same_v<T, LineItem>)
                    p.line(i);
                else if constexpr (std::is_same_v<T, RectItem>) {
                    p.fill(i.rect, i.fill);
                    p.frame(i.rect, i.frame);
                } else if constexpr (std::is_same_v<T, PictureItem>)
                    p.picture(i);
                else
                    p.drawing(i);
            },
            item);
    const int content = p.allocate();
    const int pageObject = p.allocate();
    QByteArray dict = "<< /Type /Page /Parent " + ref(p.pagesObject) + " /MediaBox [0 0 ";
    num(dict, page.paperMm.width() * kPtPerMm);
    dict += ' ';
    num(dict, p.pageH);
    dict += "] /Resources " + ref(p.resourcesObject) + " /Contents " + ref(content) + " >>";
    p.handOver(content, pageObject, p.c, std::move(dict));
    p.pageObjects.push_back(pageObject);
    p.pageHeights.push_back(p.pageH);
    p.c.clear();
}

namespace {

struct OutlineNode {
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
        nodes[size_t(i)].parent = stack.empty() ? -1 : stack.back();
        if (stack.empty())
            topLevel.push_back(i);
        else
            nodes[size_t(stack.back())].children.push_back(i);
        stack.push_back(i);
    }
    for (int i = int(nodes.size()) - 1; i >= 0; --i)
        for (int ch : nodes[size_t(i)].children)
            nodes[size_t(i)].descendants += 1 + nodes[size_t(ch)].descendants;
    return nodes;
}

QByteArray fontDescriptorFlags(const Font& f) {
    // Nonsymbolic (32), italic (64).
    return QByteArray::number(32 | (f.italic ? 64 : 0));
}

} // namespace

PdfWritten PdfWriter::finish(const PreparedReport& report, const QString& creator, bool withOutline) {
    Private& p = *d;
    if (p.pageObjects.empty())
        throw GeneralError(QStringLiteral("El informe no tiene páginas para exportar."));

    // One map from the fonts' bytes to Unicode, shared by every font: they all use the same code page.
    const int toUnicode = p.fonts.empty() ? 0 : p.allocate();
    if (toUnicode) {
        QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                          "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                          "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
        std::vector<int> codes;
        for (int ch = 32; ch < 256; ++ch)
            if (unicodeOf(ch))
                codes.push_back(ch);
        for (size_t from = 0; from < codes.size(); from += 100) {
            const size_t to = std::min(codes.size(), from + 100);
            cmap += QByteArray::number(qsizetype(to - from)) + " beginbfchar\n";
            for (size_t k = from; k < to; ++k)
                cmap += '<' + QByteArray::number(codes[k], 16).rightJustified(2, '0').toUpper() + "> <" +
                        QByteArray::number(unicodeOf(codes[k]), 16).rightJustified(4, '0').toUpper() + ">\n";
            cmap += "endbfchar\n";
        }
        cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        p.stream(toUnicode, QByteArray(), cmap, true);
    }

    // Fonts: the dictionary, its descriptor and the font file.
    for (const auto& f : p.fonts) {
        const int descriptor = p.allocate();
        const int file = p.allocate();
        const QByteArray ttf = fontFile(f->raw);
        p.stream(file, "/Length1 " + QByteArray::number(ttf.size()), ttf, true);
        QByteArray base = f->raw.familyName().toLatin1();
        base.replace(' ', "");
        base += f->bold && f->italic ? "-BoldItalic" : f->bold ? "-Bold" : f->italic ? "-Italic" : "";
        const double em = f->raw.unitsPerEm();
        const auto thousandths = [&](double units) { return QByteArray::number(qRound(units * 1000.0 / em)); };
        const QByteArray head = f->raw.fontTable("head");
        QByteArray bbox = "[0 -250 1000 1000]";
        if (head.size() >= 54) {
            const auto s16 = [&](int at) { return double(qFromBigEndian<qint16>(head.constData() + at)); };
            bbox = "[" + thousandths(s16(36)) + ' ' + thousandths(s16(38)) + ' ' + thousandths(s16(40)) + ' ' +
                   thousandths(s16(42)) + ']';
        }
        p.object(descriptor, "<< /Type /FontDescriptor /FontName /" + base + " /Flags " + fontDescriptorFlags(*f) +
                                 " /FontBBox " + bbox + " /ItalicAngle " + (f->italic ? "-12" : "0") + " /Ascent " +
                                 thousandths(f->raw.ascent()) + " /Descent -" + thousandths(f->raw.descent()) +
                                 " /CapHeight " + thousandths(f->raw.capHeight()) + " /StemV " +
                                 (f->bold ? "120" : "80") + " /FontFile2 " + ref(file) + " >>");
        QByteArray widths = "[";
        for (int ch = 32; ch < 256; ++ch)
            widths += QByteArray::number(f->widths[size_t(ch)]) + (ch % 16 == 15 ? "\n" : " ");
        widths += ']';
        p.object(f->object, "<< /Type /Font /Subtype /TrueType /BaseFont /" + base +
                                " /FirstChar 32 /LastChar 255 /Widths " + widths +
                                " /Encoding /WinAnsiEncoding /FontDescriptor " + ref(descriptor) +
                                " /ToUnicode " + ref(toUnicode) + " >>");
    }

    QByteArray resources = "<< /ProcSet [/PDF /Text /ImageC] /Font <<";
    for (const auto& f : p.fonts)
        resources += " /" + f->name + ' ' + ref(f->object);
    resources += " >> /XObject <<";
    for (const auto& img : p.images)
        resources += " /" + img->name + ' ' + ref(img->object);
    resources += " >> >>";
    p.object(p.resourcesObject, resources);

    QByteArray kids;
    kids.reserve(qsizetype(p.pageObjects.size()) * 12);
    for (size_t i = 0; i < p.pageObjects.size(); ++i)
        kids += ref(p.pageObjects[i]) + (i % 8 == 7 ? "\n" : " ");
    p.object(p.pagesObject, "<< /Type /Pages /Count " + QByteArray::number(qsizetype(p.pageObjects.size())) +
                                " /Kids [" + kids + "] >>");

    int outlines = 0;
    if (withOutline && !report.outline.empty()) {
        std::vector<int> top;
        const std::vector<OutlineNode> nodes = outlineTree(report.outline, top);
        outlines = p.allocate();
        const int first = int(p.offsets.size());
        for (size_t i = 0; i < nodes.size(); ++i)
            p.allocate();
        const auto item = [&](int node) { return first + node; };
        p.object(outlines, "<< /Type /Outlines /First " + ref(item(top.front())) + " /Last " + ref(item(top.back())) +
                               " /Count " + QByteArray::number(qsizetype(nodes.size())) + " >>");
        for (int i = 0; i < int(nodes.size()); ++i) {
            const OutlineNode& n = nodes[size_t(i)];
            const OutlineEntry& e = report.outline[size_t(i)];
            const std::vector<int>& siblings = n.parent < 0 ? top : nodes[size_t(n.parent)].children;
            const auto pos = std::find(siblings.begin(), siblings.end(), i) - siblings.begin();
            const size_t page = size_t(std::clamp(e.page, 0, int(p.pageObjects.size()) - 1));
            QByteArray entry = "<< /Title " + pdfText(e.text) + " /Parent " + ref(n.parent < 0 ? outlines : item(n.parent));
            if (pos > 0)
                entry += " /Prev " + ref(item(siblings[size_t(pos - 1)]));
            if (size_t(pos) + 1 < siblings.size())
                entry += " /Next " + ref(item(siblings[size_t(pos + 1)]));
            if (!n.children.empty())
                entry += " /First " + ref(item(n.children.front())) + " /Last " + ref(item(n.children.back())) +
                         " /Count " + QByteArray::number(n.descendants);
            entry += " /Dest [" + ref(p.pageObjects[page]) + " /XYZ 0 ";
            num(entry, std::max(0.0, p.pageHeights[page] - e.yMm * kPtPerMm));
            entry += " 0] >>";
            p.object(item(i), entry);
        }
    }

    // The document describes itself twice, in the information dictionary and in XMP metadata, which must
    // agree; the metadata also declares the file PDF/A-1b, whose rules the writer keeps (fonts embedded,
    // no transparency, no encryption, an output intent for its RGB colours), so that an archive accepts it.
    const QDateTime now = documentTime();
    const int offsetMin = now.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2:%3")
                             .arg(offsetMin < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(std::abs(offsetMin) / 60, 2, 10, QLatin1Char('0'))
                             .arg(std::abs(offsetMin) % 60, 2, 10, QLatin1Char('0'));
    const QString pdfDate = now.toString(QStringLiteral("yyyyMMddHHmmss")) + zone.left(3) + QLatin1Char('\'') +
                            zone.right(2) + QLatin1Char('\'');
    const QString xmpDate = now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + zone;
    const int info = p.allocate();
    QByteArray infoDict = "<<";
    if (!report.title.isEmpty())
        infoDict += " /Title " + pdfText(report.title);
    if (!report.author.isEmpty())
        infoDict += " /Author " + pdfText(report.author);
    if (!report.subject.isEmpty())
        infoDict += " /Subject " + pdfText(report.subject);
    p.object(info, infoDict + " /Creator " + pdfText(creator) + " /Producer " + pdfText(creator) +
                       " /CreationDate (D:" + pdfDate.toLatin1() + ") >>");
    const int metadata = p.allocate();
    p.stream(metadata, "/Type /Metadata /Subtype /XML",
             xmpMetadata(report.title, report.author, report.subject, creator, xmpDate), false);
    const int profile = p.allocate();
    p.stream(profile, "/N 3", srgbProfile(), true);
    const int intent = p.allocate();
    p.object(intent, "<< /Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier (sRGB IEC61966-2.1) "
                     "/Info (sRGB IEC61966-2.1) /DestOutputProfile " + ref(profile) + " >>");
    QByteArray catalog = "<< /Type /Catalog /Pages " + ref(p.pagesObject) + " /Metadata " + ref(metadata) +
                         " /OutputIntents [" + ref(intent) + "]";
    if (outlines)
        catalog += " /Outlines " + ref(outlines) + " /PageMode /UseOutlines";
    catalog += " >>";
    p.object(p.catalogObject, catalog);

    p.settle();
    const qint64 xref = p.position;
    QByteArray table = "xref\n0 " + QByteArray::number(qsizetype(p.offsets.size())) + "\n0000000000 65535 f \n";
    for (size_t i = 1; i < p.offsets.size(); ++i) {
        table += QByteArray::number(p.offsets[i]).rightJustified(10, '0') + " 00000 n \n";
        if (table.size() > (1 << 16)) {
            p.emit(table);
            table.clear();
        }
    }
    const QByteArray id = QByteArray::number(qHash(report.title) ^ quint64(xref), 16).rightJustified(32, '0');
    table += "trailer\n<< /Size " + QByteArray::number(qsizetype(p.offsets.size())) + " /Root " +
             ref(p.catalogObject) + " /Info " + ref(info) + " /ID [<" + id + "> <" + id + ">] >>\nstartxref\n" +
             QByteArray::number(xref) + "\n%%EOF\n";
    p.emit(table);
    return {int(p.pageObjects.size()), p.position};
}

} // namespace report::detail
