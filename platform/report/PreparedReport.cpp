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
#include <QTemporaryFile>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <cstring>
#include <functional>

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

namespace {

// Pictures repeat from page to page (the company's logo in every page header): each distinct image is kept
// once, in memory, and pages refer to it by its number; encoding it into every page took a tenth of a long
// report's time. Past a bound, further pictures go into the file with their page.
class PictureTable {
public:
    // The image's number in the table; -1 when the table is full.
    int add(const QImage& image) {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_byKey.constFind(image.cacheKey()); it != m_byKey.constEnd())
            return *it;
        if (m_bytes + image.sizeInBytes() > (64 << 20))
            return -1;
        m_bytes += image.sizeInBytes();
        m_images.push_back(image);
        m_byKey.insert(image.cacheKey(), int(m_images.size()) - 1);
        return int(m_images.size()) - 1;
    }
    std::optional<QImage> at(qint32 index) const {
        std::lock_guard lock(m_mutex);
        if (index < 0 || size_t(index) >= m_images.size())
            return std::nullopt;
        return m_images[size_t(index)];
    }

private:
    mutable std::mutex m_mutex;
    QHash<qint64, int> m_byKey;
    std::vector<QImage> m_images;
    qsizetype m_bytes = 0;
};

// The spill's own page form: fixed-size fields copied as they are and texts as UTF-16 with their length,
// read back with bounds checks. Much faster than a QDataStream, and private to one run of the program, so
// it needs no versioning; charts, rare, go through QDataStream.
// A page's texts repeat (font families, names, number formats, the same words on every row): each distinct
// text is written once per page and referred to by its number afterwards, which keeps the bytes to compress
// few.
class Packer {
public:
    Packer(std::string& out, PictureTable& pictures) : m_out(out), m_pictures(pictures) {}
    PictureTable& pictures() { return m_pictures; }
    template <typename T> void pod(const T& v) { m_out.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void text(const QString& s) {
        if (s.isNull()) {
            pod(qint32(-1)); // a null text stays null
            return;
        }
        if (const auto it = m_seen.constFind(s); it != m_seen.constEnd()) {
            pod(qint32(-2 - *it));
            return;
        }
        m_seen.insert(s, qint32(m_seen.size()));
        pod(qint32(s.size()));
        m_out.append(reinterpret_cast<const char*>(s.constData()), size_t(s.size()) * sizeof(QChar));
    }
    void color(const QColor& c) { pod(c.isValid() ? quint64(c.rgba64()) : quint64(0)); pod(c.isValid()); }
    void rect(const QRectF& r) {
        pod(r.x());
        pod(r.y());
        pod(r.width());
        pod(r.height());
    }
    void frame(const FrameSpec& f) {
        pod(quint8(f.left | f.top << 1 | f.right << 2 | f.bottom << 3));
        pod(f.widthPt);
        color(f.color);
    }
    void blob(const std::function<void(QDataStream&)>& write) {
        QByteArray bytes;
        {
            QDataStream s(&bytes, QIODevice::WriteOnly);
            s.setVersion(kStreamVersion);
            write(s);
        }
        pod(qint32(bytes.size()));
        m_out.append(bytes.constData(), size_t(bytes.size()));
    }

private:
    std::string& m_out;
    PictureTable& m_pictures;
    QHash<QString, qint32> m_seen;
};

class Unpacker {
public:
    Unpacker(const QByteArray& in, const PictureTable& pictures)
        : m_p(in.constData()), m_end(in.constData() + in.size()), m_pictures(pictures) {}
    QImage picture() {
        const std::optional<QImage> image = m_pictures.at(pod<qint32>());
        if (!image)
            throw bad();
        return *image;
    }
    template <typename T> T pod() {
        T v{};
        need(sizeof v);
        std::memcpy(&v, m_p, sizeof v);
        m_p += sizeof v;
        return v;
    }
    QString text() {
        const qint32 n = pod<qint32>();
        if (n == -1)
            return QString();
        if (n < 0) {
            const qint64 index = -2 - qint64(n);
            if (index >= qint64(m_seen.size()))
                throw bad();
            return m_seen[size_t(index)];
        }
        need(size_t(n) * sizeof(QChar));
        m_seen.emplace_back(reinterpret_cast<const QChar*>(m_p), n);
        m_p += size_t(n) * sizeof(QChar);
        return m_seen.back();
    }
    QColor color() {
        const quint64 rgba = pod<quint64>();
        return pod<bool>() ? QColor::fromRgba64(QRgba64::fromRgba64(rgba)) : QColor();
    }
    QRectF rect() {
        const double x = pod<double>(), y = pod<double>(), w = pod<double>(), h = pod<double>();
        return QRectF(x, y, w, h);
    }
    FrameSpec frame() {
        FrameSpec f;
        const quint8 sides = pod<quint8>();
        f.left = sides & 1;
        f.top = sides & 2;
        f.right = sides & 4;
        f.bottom = sides & 8;
        f.widthPt = pod<double>();
        f.color = color();
        return f;
    }
    void blob(QByteArray& holder) {
        const qint32 n = pod<qint32>();
        if (n < 0)
            throw bad();
        need(size_t(n));
        holder = QByteArray(m_p, n);
        m_p += n;
    }
    bool atEnd() const { return m_p == m_end; }

private:
    static GeneralError bad() { return GeneralError(QStringLiteral("Una página del archivo temporal del informe está dañada.")); }
    void need(size_t n) const {
        if (size_t(m_end - m_p) < n)
            throw bad();
    }
    const char* m_p;
    const char* m_end;
    const PictureTable& m_pictures;
    std::vector<QString> m_seen;
};

constexpr quint8 kTablePicture = 5;

void packPage(Packer& w, const PreparedPage& page) {
    w.pod(page.paperMm.width());
    w.pod(page.paperMm.height());
    w.pod(page.landscape);
    w.pod(page.marginsMm.left());
    w.pod(page.marginsMm.top());
    w.pod(page.marginsMm.right());
    w.pod(page.marginsMm.bottom());
    w.pod(quint32(page.items.size()));
    qint32 number = -1;
    for (const PageItem& item : page.items) {
        // Kinds as the item's alternative; a picture of the table is kind kTablePicture.
        const auto* picture = std::get_if<PictureItem>(&item);
        if (picture && (number = w.pictures().add(picture->image)) >= 0) {
            w.pod(kTablePicture);
            w.rect(picture->rect);
            w.pod(quint8(picture->center | picture->keepAspect << 1));
            w.pod(number);
            continue;
        }
        w.pod(quint8(item.index()));
        if (const auto* t = std::get_if<TextItem>(&item)) {
            w.rect(t->rect);
            w.pod(quint32(t->lines.size()));
            for (const TextLine& line : t->lines) {
                w.pod(quint32(line.runs.size()));
                for (const TextRun& run : line.runs) {
                    w.text(run.text);
                    w.pod(quint8(run.bold | run.italic << 1 | run.underline << 2));
                }
                w.pod(line.widthMm);
                w.pod(line.endsParagraph);
            }
            w.text(t->font.family);
            w.pod(t->font.sizePt);
            w.pod(quint8(t->font.bold | t->font.italic << 1 | t->font.underline << 2));
            w.color(t->font.color);
            w.pod(quint8(t->hAlign));
            w.pod(quint8(t->vAlign));
            w.pod(t->lineHeightMm);
            w.pod(t->ascentMm);
            w.pod(t->paddingMm);
            w.pod(t->paddingTopMm);
            w.frame(t->frame);
            w.color(t->fill);
            w.pod(quint8(t->value.kind));
            w.pod(t->value.number);
            w.text(t->value.excelFormat);
            w.text(t->name);
        } else if (const auto* l = std::get_if<LineItem>(&item)) {
            w.pod(l->from.x());
            w.pod(l->from.y());
            w.pod(l->to.x());
            w.pod(l->to.y());
            w.pod(l->widthPt);
            w.color(l->color);
        } else if (const auto* r = std::get_if<RectItem>(&item)) {
            w.rect(r->rect);
            w.color(r->fill);
            w.frame(r->frame);
        } else {
            // Charts, and pictures past the table's bound, in the file form.
            w.blob([&](QDataStream& s) { std::visit(ItemWriter{s}, item); });
        }
    }
}

PreparedPage unpackPage(Unpacker& r) {
    PreparedPage page;
    const double w = r.pod<double>(), h = r.pod<double>();
    page.paperMm = QSizeF(w, h);
    page.landscape = r.pod<bool>();
    const double ml = r.pod<double>(), mt = r.pod<double>(), mr = r.pod<double>(), mb = r.pod<double>();
    page.marginsMm = QMarginsF(ml, mt, mr, mb);
    const quint32 count = r.pod<quint32>();
    page.items.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        switch (r.pod<quint8>()) {
        case 0: {
            TextItem t;
            t.rect = r.rect();
            const quint32 lines = r.pod<quint32>();
            t.lines.reserve(qsizetype(lines));
            for (quint32 k = 0; k < lines; ++k) {
                TextLine line;
                const quint32 runs = r.pod<quint32>();
                line.runs.reserve(qsizetype(runs));
                for (quint32 j = 0; j < runs; ++j) {
                    TextRun run;
                    run.text = r.text();
                    const quint8 style = r.pod<quint8>();
                    run.bold = style & 1;
                    run.italic = style & 2;
                    run.underline = style & 4;
                    line.runs.push_back(std::move(run));
                }
                line.widthMm = r.pod<double>();
                line.endsParagraph = r.pod<bool>();
                t.lines.push_back(std::move(line));
            }
            t.font.family = r.text();
            t.font.sizePt = r.pod<double>();
            const quint8 style = r.pod<quint8>();
            t.font.bold = style & 1;
            t.font.italic = style & 2;
            t.font.underline = style & 4;
            t.font.color = r.color();
            t.hAlign = HAlign(r.pod<quint8>());
            t.vAlign = VAlign(r.pod<quint8>());
            t.lineHeightMm = r.pod<double>();
            t.ascentMm = r.pod<double>();
            t.paddingMm = r.pod<double>();
            t.paddingTopMm = r.pod<double>();
            t.frame = r.frame();
            t.fill = r.color();
            t.value.kind = CellValue::Kind(r.pod<quint8>());
            t.value.number = r.pod<double>();
            t.value.excelFormat = r.text();
            t.name = r.text();
            page.items.push_back(std::move(t));
            break;
        }
        case 1: {
            LineItem l;
            const double x1 = r.pod<double>(), y1 = r.pod<double>(), x2 = r.pod<double>(), y2 = r.pod<double>();
            l.from = QPointF(x1, y1);
            l.to = QPointF(x2, y2);
            l.widthPt = r.pod<double>();
            l.color = r.color();
            page.items.push_back(l);
            break;
        }
        case 2: {
            RectItem rect;
            rect.rect = r.rect();
            rect.fill = r.color();
            rect.frame = r.frame();
            page.items.push_back(rect);
            break;
        }
        case 3:
        case 4: {
            QByteArray bytes;
            r.blob(bytes);
            QDataStream s(bytes);
            s.setVersion(kStreamVersion);
            page.items.push_back(getItem(s));
            if (s.status() != QDataStream::Ok)
                throw GeneralError(QStringLiteral("Una página del archivo temporal del informe está dañada."));
            break;
        }
        case kTablePicture: {
            PictureItem picture;
            picture.rect = r.rect();
            const quint8 flags = r.pod<quint8>();
            picture.center = flags & 1;
            picture.keepAspect = flags & 2;
            picture.image = r.picture();
            page.items.push_back(std::move(picture));
            break;
        }
        default:
            throw GeneralError(QStringLiteral("Una página del archivo temporal del informe está dañada."));
        }
    }
    return page;
}

} // namespace

// Pages are packed, compressed and written by a thread of the spill's own, so that preparation goes on
// with the next page meanwhile; a few pages wait at most, and reading waits until the writer is done.
struct PageSpill::Private {
    QTemporaryFile file{QDir::temp().filePath(QStringLiteral("vnmrtgen-paginas-XXXXXX"))};
    struct Entry {
        qint64 offset = -1; // -1 until written
        PreparedPage frame; // without items
    };
    std::vector<Entry> entries;
    std::set<double> edges; // left margins and left and right edges of texts, every page
    PictureTable pictures;
    qint64 end = 0; // where the next page goes
    QString mark, total;
    mutable std::mutex mutex;
    // The file's position is shared: the writer's writes and the readers' reads take turns.
    mutable std::mutex fileMutex;
    mutable std::condition_variable changed;
    std::deque<std::pair<size_t, PreparedPage>> queue;
    bool writing = false, stop = false;
    std::exception_ptr failure;
    std::thread writer;

    static constexpr size_t kWaiting = 8;

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || !queue.empty(); });
            if (queue.empty())
                return;
            auto [index, page] = std::move(queue.front());
            queue.pop_front();
            writing = true;
            lock.unlock();
            QByteArray packed;
            std::exception_ptr error;
            std::vector<double> pageEdges{page.marginsMm.left()};
            for (const PageItem& item : page.items)
                if (const auto* t = std::get_if<TextItem>(&item)) {
                    pageEdges.push_back(t->rect.left());
                    pageEdges.push_back(t->rect.right());
                }
            try {
                thread_local std::string bytes;
                bytes.clear();
                Packer packer(bytes, pictures);
                packPage(packer, page);
                packed = qCompress(reinterpret_cast<const uchar*>(bytes.data()), qsizetype(bytes.size()), 1);
                const quint32 size = quint32(packed.size());
                std::lock_guard io(fileMutex);
                file.seek(end);
                if (file.write(reinterpret_cast<const char*>(&size), sizeof size) != qint64(sizeof size) ||
                    file.write(packed) != packed.size())
                    throw GeneralError(
                        QStringLiteral("No se pudo escribir el archivo temporal de las páginas del informe: %1")
                            .arg(systemErrorText(errno)));
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            if (error && !failure)
                failure = error;
            edges.insert(pageEdges.begin(), pageEdges.end());
            if (!error) {
                entries[index].offset = end;
                end += qint64(sizeof(quint32)) + packed.size();
            }
            writing = false;
            changed.notify_all();
        }
    }

    // Waits until every page handed over is written; a failed write is reported here.
    void drain(std::unique_lock<std::mutex>& lock) const {
        changed.wait(lock, [&] { return queue.empty() && !writing; });
        if (failure)
            std::rethrow_exception(failure);
    }
};

PageSpill::PageSpill() : d(std::make_unique<Private>()) {
    if (!d->file.open())
        throw GeneralError(QStringLiteral("No se pudo crear el archivo temporal de las páginas del informe: %1")
                               .arg(d->file.errorString()));
    d->writer = std::thread([this] { d->run(); });
}

PageSpill::~PageSpill() {
    {
        std::lock_guard lock(d->mutex);
        d->stop = true;
    }
    d->changed.notify_all();
    d->writer.join();
}

void PageSpill::append(PreparedPage page) {
    std::unique_lock lock(d->mutex);
    d->changed.wait(lock, [&] { return d->queue.size() < Private::kWaiting || d->failure; });
    if (d->failure)
        std::rethrow_exception(d->failure);
    Private::Entry entry;
    entry.frame.paperMm = page.paperMm;
    entry.frame.landscape = page.landscape;
    entry.frame.marginsMm = page.marginsMm;
    d->entries.push_back(std::move(entry));
    d->queue.emplace_back(d->entries.size() - 1, std::move(page));
    d->changed.notify_all();
}

std::vector<double> PageSpill::textEdges() const {
    std::unique_lock lock(d->mutex);
    d->drain(lock);
    return std::vector<double>(d->edges.begin(), d->edges.end());
}

int PageSpill::count() const {
    std::lock_guard lock(d->mutex);
    return int(d->entries.size());
}

PreparedPage PageSpill::frame(int index) const {
    std::lock_guard lock(d->mutex);
    return d->entries.at(size_t(index)).frame;
}

void PageSpill::setPageCount(const QString& mark, const QString& total) {
    std::lock_guard lock(d->mutex);
    d->mark = mark;
    d->total = total;
}

PreparedPage PageSpill::read(int index) const {
    QByteArray packed;
    QString mark, total;
    {
        std::unique_lock lock(d->mutex);
        const Private::Entry& entry = d->entries.at(size_t(index));
        if (entry.offset < 0)
            d->drain(lock);
        quint32 size = 0;
        std::lock_guard io(d->fileMutex);
        d->file.seek(entry.offset);
        if (d->file.read(reinterpret_cast<char*>(&size), sizeof size) == qint64(sizeof size))
            packed = d->file.read(size);
        mark = d->mark;
        total = d->total;
    }
    const QByteArray bytes = qUncompress(packed);
    Unpacker unpacker(bytes, d->pictures);
    PreparedPage page = unpackPage(unpacker);
    if (!unpacker.atEnd())
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
