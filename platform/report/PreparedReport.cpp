// PreparedReport: plain-text views, search and the binary file form of a prepared report.
//
// File form ("VNRP"): the 4-byte magic, a 16-bit format version, then the body compressed with zlib as a
// QByteArray, then a CRC-16 of those compressed bytes. The CRC is checked before anything is decompressed,
// so that a damaged file is refused without trusting any length read from it. The body is a QDataStream at
// a fixed stream version, so files do not depend on the Qt version that wrote them; reading it must consume
// it exactly, with the stream status Ok at the end.
#include "PreparedReport.h"

#include "OutputFile.h"
#include "GeneralError.h"
#include "TextMeasurer.h"

#include <QDataStream>
#include <QDir>
#include <QMutex>
#include <QTemporaryFile>
#include <QFile>
#include <QIODevice>
#include <cerrno>
#include <cstring>

namespace report {

namespace {

constexpr char kMagic[4] = {'V', 'N', 'R', 'P'};
constexpr quint16 kFormatVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

// Upper bounds that no real report reaches; a count above them means a damaged body.
constexpr quint32 kMaxPages = 1'000'000;
constexpr quint32 kMaxItems = 10'000'000;

enum class ItemTag : quint8 { Text = 1, Line = 2, Rect = 3, Picture = 4, Drawing = 5 };

QString invalidFileMessage() {
    return QStringLiteral("El archivo no es un informe preparado válido.");
}

[[noreturn]] void failInvalid() {
    throw GeneralError(invalidFileMessage());
}

// ---- writing

void put(QDataStream& s, const FontSpec& f) {
    s << f.family << f.sizePt << f.bold << f.italic << f.underline << f.color;
}

void put(QDataStream& s, const FrameSpec& f) {
    s << f.left << f.top << f.right << f.bottom << f.widthPt << f.color;
}

void put(QDataStream& s, const TextItem& t) {
    s << t.rect << quint32(t.lines.size());
    for (const TextLine& line : t.lines) {
        s << quint32(line.runs.size());
        for (const TextRun& run : line.runs)
            s << run.text << run.bold << run.italic << run.underline;
        s << line.widthMm << line.endsParagraph;
    }
    put(s, t.font);
    s << quint8(t.hAlign) << quint8(t.vAlign) << t.lineHeightMm << t.ascentMm << t.paddingMm << t.paddingTopMm;
    put(s, t.frame);
    s << t.fill << quint8(t.value.kind) << t.value.number << t.value.excelFormat << t.name;
}

struct ItemWriter {
    QDataStream& s;
    void operator()(const TextItem& t) {
        s << quint8(ItemTag::Text);
        put(s, t);
    }
    void operator()(const LineItem& l) {
        s << quint8(ItemTag::Line) << l.from << l.to << l.widthPt << l.color;
    }
    void operator()(const RectItem& r) {
        s << quint8(ItemTag::Rect) << r.rect << r.fill;
        put(s, r.frame);
    }
    void operator()(const PictureItem& p) {
        s << quint8(ItemTag::Picture) << p.rect << p.image << p.center << p.keepAspect;
    }
    void operator()(const DrawingItem& d) {
        s << quint8(ItemTag::Drawing) << d.rect << d.picture << d.sourceSize;
    }
};

// ---- reading: every getter leaves the stream in a failed state on bad data; callers check status.

void get(QDataStream& s, FontSpec& f) {
    s >> f.family >> f.sizePt >> f.bold >> f.italic >> f.underline >> f.color;
}

void get(QDataStream& s, FrameSpec& f) {
    s >> f.left >> f.top >> f.right >> f.bottom >> f.widthPt >> f.color;
}

template <typename E>
void getEnum(QDataStream& s, E& value, quint8 last) {
    quint8 raw = 0;
    s >> raw;
    if (raw > last)
        s.setStatus(QDataStream::ReadCorruptData);
    else
        value = static_cast<E>(raw);
}

quint32 getCount(QDataStream& s, quint32 limit) {
    quint32 n = 0;
    s >> n;
    if (n > limit)
        s.setStatus(QDataStream::ReadCorruptData);
    return s.status() == QDataStream::Ok ? n : 0;
}

void get(QDataStream& s, TextItem& t) {
    s >> t.rect;
    const quint32 lineCount = getCount(s, kMaxItems);
    for (quint32 i = 0; i < lineCount && s.status() == QDataStream::Ok; ++i) {
        TextLine line;
        const quint32 runCount = getCount(s, kMaxItems);
        for (quint32 r = 0; r < runCount && s.status() == QDataStream::Ok; ++r) {
            TextRun run;
            s >> run.text >> run.bold >> run.italic >> run.underline;
            line.runs.push_back(run);
        }
        s >> line.widthMm >> line.endsParagraph;
        t.lines.push_back(line);
    }
    get(s, t.font);
    getEnum(s, t.hAlign, quint8(HAlign::Justify));
    getEnum(s, t.vAlign, quint8(VAlign::Bottom));
    s >> t.lineHeightMm >> t.ascentMm >> t.paddingMm >> t.paddingTopMm;
    get(s, t.frame);
    s >> t.fill;
    getEnum(s, t.value.kind, quint8(CellValue::Kind::Date));
    s >> t.value.number >> t.value.excelFormat >> t.name;
}

PageItem getItem(QDataStream& s) {
    quint8 tag = 0;
    s >> tag;
    switch (static_cast<ItemTag>(tag)) {
    case ItemTag::Text: {
        TextItem t;
        get(s, t);
        return t;
    }
    case ItemTag::Line: {
        LineItem l;
        s >> l.from >> l.to >> l.widthPt >> l.color;
        return l;
    }
    case ItemTag::Rect: {
        RectItem r;
        s >> r.rect >> r.fill;
        get(s, r.frame);
        return r;
    }
    case ItemTag::Picture: {
        PictureItem p;
        s >> p.rect >> p.image >> p.center >> p.keepAspect;
        return p;
    }
    case ItemTag::Drawing: {
        DrawingItem d;
        s >> d.rect >> d.picture >> d.sourceSize;
        return d;
    }
    }
    s.setStatus(QDataStream::ReadCorruptData);
    return LineItem{};
}

void putPage(QDataStream& s, const PreparedPage& page) {
    s << page.paperMm << page.landscape << page.marginsMm << quint32(page.items.size());
    for (const PageItem& item : page.items)
        std::visit(ItemWriter{s}, item);
}

PreparedPage getPage(QDataStream& s) {
    PreparedPage page;
    s >> page.paperMm >> page.landscape >> page.marginsMm;
    const quint32 itemCount = getCount(s, kMaxItems);
    for (quint32 i = 0; i < itemCount && s.status() == QDataStream::Ok; ++i)
        page.items.push_back(getItem(s));
    return page;
}

QByteArray body(const PreparedReport& report) {
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(kStreamVersion);
    const int count = report.pageCount();
    s << report.title << report.author << report.subject << quint32(count);
    for (int p = 0; p < count; ++p)
        putPage(s, report.page(p));
    s << quint32(report.outline.size());
    for (const OutlineEntry& e : report.outline)
        s << e.text << qint32(e.page) << e.yMm << qint32(e.level);
    return bytes;
}

PreparedReport parseBody(const QByteArray& bytes) {
    PreparedReport report;
    QDataStream s(bytes);
    s.setVersion(kStreamVersion);
    s >> report.title >> report.author >> report.subject;
    const quint32 pageCount = getCount(s, kMaxPages);
    for (quint32 p = 0; p < pageCount && s.status() == QDataStream::Ok; ++p)
        report.pages.push_back(getPage(s));
    const quint32 outlineCount = getCount(s, kMaxItems);
    for (quint32 i = 0; i < outlineCount && s.status() == QDataStream::Ok; ++i) {
        OutlineEntry e;
        qint32 page = 0, level = 0;
        s >> e.text >> page >> e.yMm >> level;
        if (page < 0 || quint32(page) >= pageCount || level < 0)
            s.setStatus(QDataStream::ReadCorruptData);
        e.page = page;
        e.level = level;
        report.outline.push_back(e);
    }
    if (s.status() != QDataStream::Ok || !s.atEnd())
        failInvalid();
    return report;
}

} // namespace

QString TextLine::plainText() const {
    QString text;
    for (const TextRun& run : runs)
        text += run.text;
    return text;
}

QString TextItem::plainText() const {
    QStringList parts;
    parts.reserve(lines.size());
    for (const TextLine& line : lines)
        parts << line.plainText();
    return parts.join(QLatin1Char('\n'));
}

struct PageSpill::Private {
    QTemporaryFile file{QDir::temp().filePath(QStringLiteral("vnmrtgen-paginas-XXXXXX"))};
    struct Entry {
        qint64 offset = 0;
        PreparedPage frame; // without items
    };
    std::vector<Entry> entries;
    QString mark, total;
    mutable QMutex mutex;
};

PageSpill::PageSpill() : d(std::make_unique<Private>()) {
    if (!d->file.open())
        throw GeneralError(QStringLiteral("No se pudo crear el archivo temporal de las páginas del informe: %1")
                               .arg(d->file.errorString()));
}

PageSpill::~PageSpill() = default;

void PageSpill::append(const PreparedPage& page) {
    QByteArray bytes;
    {
        QDataStream s(&bytes, QIODevice::WriteOnly);
        s.setVersion(kStreamVersion);
        putPage(s, page);
    }
    const QByteArray packed = qCompress(bytes, 1);
    QMutexLocker lock(&d->mutex);
    Private::Entry entry;
    entry.offset = d->file.size();
    entry.frame.paperMm = page.paperMm;
    entry.frame.landscape = page.landscape;
    entry.frame.marginsMm = page.marginsMm;
    d->file.seek(entry.offset);
    const quint32 size = quint32(packed.size());
    if (d->file.write(reinterpret_cast<const char*>(&size), sizeof size) != qint64(sizeof size) ||
        d->file.write(packed) != packed.size())
        throw GeneralError(QStringLiteral("No se pudo escribir el archivo temporal de las páginas del informe: %1")
                               .arg(systemErrorText(errno)));
    d->entries.push_back(std::move(entry));
}

int PageSpill::count() const {
    QMutexLocker lock(&d->mutex);
    return int(d->entries.size());
}

PreparedPage PageSpill::frame(int index) const {
    QMutexLocker lock(&d->mutex);
    return d->entries.at(size_t(index)).frame;
}

void PageSpill::setPageCount(const QString& mark, const QString& total) {
    QMutexLocker lock(&d->mutex);
    d->mark = mark;
    d->total = total;
}

PreparedPage PageSpill::read(int index) const {
    QByteArray packed;
    QString mark, total;
    {
        QMutexLocker lock(&d->mutex);
        const Private::Entry& entry = d->entries.at(size_t(index));
        quint32 size = 0;
        d->file.seek(entry.offset);
        if (d->file.read(reinterpret_cast<char*>(&size), sizeof size) == qint64(sizeof size))
            packed = d->file.read(size);
        mark = d->mark;
        total = d->total;
    }
    const QByteArray bytes = qUncompress(packed);
    QDataStream s(bytes);
    s.setVersion(kStreamVersion);
    PreparedPage page = getPage(s);
    if (s.status() != QDataStream::Ok)
        throw GeneralError(QStringLiteral("No se pudo leer la página %1 del archivo temporal del informe.").arg(index + 1));
    if (!mark.isEmpty()) {
        const TextMeasurer measurer;
        for (PageItem& item : page.items)
            if (auto* t = std::get_if<TextItem>(&item))
                for (TextLine& line : t->lines) {
                    bool changed = false;
                    for (TextRun& run : line.runs)
                        if (run.text.contains(mark)) {
                            run.text.replace(mark, total);
                            changed = true;
                        }
                    if (changed)
                        line.widthMm = measurer.lineWidth(t->font, line);
                }
    }
    return page;
}

PreparedPage PreparedReport::pageFrame(int index) const {
    if (spill)
        return spill->frame(index);
    const PreparedPage& p = pages.at(size_t(index));
    PreparedPage frame;
    frame.paperMm = p.paperMm;
    frame.landscape = p.landscape;
    frame.marginsMm = p.marginsMm;
    return frame;
}

std::vector<int> PreparedReport::findPages(const QString& text) const {
    std::vector<int> found;
    if (text.isEmpty())
        return found;
    for (int p = 0; p < pageCount(); ++p) {
        const PreparedPage current = page(p);
        for (const PageItem& item : current.items) {
            const auto* t = std::get_if<TextItem>(&item);
            if (!t)
                continue;
            // A phrase broken by wrapping is still one phrase to the reader: wrapped lines join with a blank.
            QString joined;
            for (int i = 0; i < t->lines.size(); ++i) {
                if (i > 0)
                    joined += t->lines[i - 1].endsParagraph ? QLatin1Char('\n') : QLatin1Char(' ');
                joined += t->lines[i].plainText();
            }
            if (joined.contains(text, Qt::CaseInsensitive)) {
                found.push_back(p);
                break;
            }
        }
    }
    return found;
}

QByteArray PreparedReport::serialize() const {
    const QByteArray compressed = qCompress(body(*this));
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(kStreamVersion);
    s.writeRawData(kMagic, sizeof kMagic);
    s << kFormatVersion << compressed << quint16(qChecksum(compressed));
    return out;
}

PreparedReport PreparedReport::deserialize(const QByteArray& data) {
    QDataStream s(data);
    s.setVersion(kStreamVersion);
    char magic[sizeof kMagic] = {};
    if (s.readRawData(magic, sizeof magic) != int(sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        failInvalid();
    quint16 version = 0;
    s >> version;
    if (s.status() != QDataStream::Ok)
        failInvalid();
    if (version > kFormatVersion)
        throw GeneralError(QStringLiteral("El informe preparado fue guardado con una versión más reciente del "
                                          "programa y no se puede abrir."));
    QByteArray compressed;
    quint16 crc = 0;
    s >> compressed >> crc;
    if (s.status() != QDataStream::Ok || !s.atEnd() || quint16(qChecksum(compressed)) != crc)
        failInvalid();
    const QByteArray bytes = qUncompress(compressed);
    if (bytes.isEmpty())
        failInvalid();
    return parseBody(bytes);
}

void PreparedReport::save(const QString& path) const {
    writeOutputFile(path, serialize());
}

PreparedReport PreparedReport::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("No se pudo leer el archivo '%1': %2").arg(path, file.errorString()));
    return deserialize(file.readAll());
}

} // namespace report
