// The ZIP package under the workbook writers (XlsxWriter, XlsxDataExporter), and the XML buffer their parts
// are written into. The archive is written front to back into an OutputSink: a part whose bytes are at hand
// carries its sizes in its header; a streamed part (a worksheet) is deflated on a thread of its own while the
// caller produces the next piece, its sizes and checksum following it in a data descriptor; the directory
// of parts comes last. No ZIP64 records: past 4 GiB or 65,534 parts the writer refuses with a GeneralError.
#pragma once

#include "GeneralError.h"
#include "OutputFile.h"

#include <QByteArray>
#include <QDir>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>
#include <zlib.h>

namespace report::detail {

// Deflate level of the parts. On a listing's worksheet level 2 deflates some 220 MB a second here; the
// default level (6) takes nearly five times as long for a file only 17 % smaller, level 3 half as long
// again for 3 % less, level 1 a tenth less time for 5 % more.
inline constexpr int kDeflateLevel = 2;

// The largest sizes, offsets and number of parts of an archive without ZIP64 records (all ones would mark
// such records).
inline constexpr quint64 kZipLimit = 0xFFFFFFFEull;
inline constexpr int kMaxZipEntries = 0xFFFE;

inline constexpr std::string_view kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
inline constexpr std::string_view kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view kPkgRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";

// A growing byte buffer with unchecked appends into room reserved beforehand: the worksheet's XML is
// written a few bytes at a time, hundreds of millions of times for a long report.
class XmlBuffer {
public:
    char* room(size_t n) {
        if (m_data.size() - m_size < n)
            m_data.resize(std::max(m_data.size() * 2, m_size + n + 4096));
        return m_data.data() + m_size;
    }
    void commit(char* end) { m_size = size_t(end - m_data.data()); }
    void append(const char* p, size_t n) {
        std::memcpy(room(n), p, n);
        m_size += n;
    }
    XmlBuffer& operator<<(std::string_view s) {
        append(s.data(), s.size());
        return *this;
    }
    XmlBuffer& operator<<(const char* s) { return *this << std::string_view(s); }
    XmlBuffer& operator<<(const QByteArray& s) {
        append(s.constData(), size_t(s.size()));
        return *this;
    }
    XmlBuffer& operator<<(qint64 v) {
        char* p = room(24);
        commit(std::to_chars(p, p + 24, v).ptr);
        return *this;
    }
    XmlBuffer& operator<<(int v) { return *this << qint64(v); }
    // The shortest form that reads back as the same double. Amounts, most of a report's numbers, have at
    // most two decimals: written from their cents, several times faster than the general conversion.
    XmlBuffer& operator<<(double v) {
        char* p = room(32);
        const double cents = std::nearbyint(v * 100);
        if (std::abs(v) < 1e12 && cents / 100 == v) {
            const qint64 c = qint64(cents);
            const qint64 whole = (c < 0 ? -c : c) / 100, fraction = (c < 0 ? -c : c) % 100;
            if (c < 0)
                *p++ = '-';
            p = std::to_chars(p, p + 24, whole).ptr;
            if (fraction) {
                *p++ = '.';
                *p++ = char('0' + fraction / 10);
                if (fraction % 10)
                    *p++ = char('0' + fraction % 10);
            }
            commit(p);
            return *this;
        }
        commit(std::to_chars(p, p + 32, v).ptr);
        return *this;
    }
    // Text escaped for XML element content or, with attribute, for a quoted attribute value; VT and FF
    // become line breaks and what XML 1.0 cannot hold is left out, so the part stays well-formed whatever
    // the text.
    void text(QStringView s, bool attribute = false) {
        char* out = room(size_t(s.size()) * 6);
        const char16_t* p = s.utf16();
        const char16_t* end = p + s.size();
        const auto put = [&out](std::string_view e) {
            std::memcpy(out, e.data(), e.size());
            out += e.size();
        };
        while (p < end) {
            const char16_t c = *p++;
            if (c < 0x80) {
                if (c >= 0x20 && c != '&' && c != '<' && c != '>' && c != '"') {
                    *out++ = char(c);
                    continue;
                }
                switch (c) {
                case '&':
                    put("&amp;");
                    break;
                case '<':
                    put("&lt;");
                    break;
                case '>':
                    put("&gt;");
                    break;
                case '"':
                    attribute ? put("&quot;") : put("\"");
                    break;
                case '\t':
                    attribute ? put("&#9;") : put("\t");
                    break;
                case '\n':
                case 0xB:
                case 0xC:
                    attribute ? put("&#10;") : put("\n");
                    break;
                case '\r':
                    attribute ? put("&#13;") : put("\r");
                    break;
                default:
                    break; // other control characters have no place in XML
                }
            } else if (c < 0x800) {
                *out++ = char(0xC0 | (c >> 6));
                *out++ = char(0x80 | (c & 0x3F));
            } else if (QChar::isSurrogate(c)) {
                if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
                    const char32_t u = QChar::surrogateToUcs4(c, *p++);
                    *out++ = char(0xF0 | (u >> 18));
                    *out++ = char(0x80 | ((u >> 12) & 0x3F));
                    *out++ = char(0x80 | ((u >> 6) & 0x3F));
                    *out++ = char(0x80 | (u & 0x3F));
                }
            } else if (c < 0xFFFE) {
                *out++ = char(0xE0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
                *out++ = char(0x80 | (c & 0x3F));
            }
        }
        commit(out);
    }
    const char* data() const { return m_data.data(); }
    size_t size() const { return m_size; }
    void clear() { m_size = 0; }
    QByteArray bytes() const { return QByteArray(m_data.data(), qsizetype(m_size)); }

private:
    std::vector<char> m_data;
    size_t m_size = 0;
};

inline void appendColumnName(XmlBuffer& b, int col) {
    char name[4];
    int n = 0;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        name[n++] = char('A' + (c - 1) % 26);
    char* out = b.room(4);
    while (n > 0)
        *out++ = name[--n];
    b.commit(out);
}
inline GeneralError temporaryFileError(const QString& path) {
    // Called right after the failed call: errno still says why (a full disk, most often).
    const int cause = errno;
    QString reason = QStringLiteral("no se pudo usar un archivo de trabajo en la carpeta temporal %1").arg(QDir::tempPath());
    if (cause)
        reason += QStringLiteral(": ") + systemErrorText(cause);
    return GeneralError(writeErrorMessage(path, reason));
}


// The ZIP container, written sequentially (see XlsxWriter_p.h).
class ZipWriter {
public:
    ZipWriter(OutputSink& sink, const QString& shownPath) : m_sink(sink), m_path(shownPath) {
        if (deflateInit2(&m_z, kDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw GeneralError(writeErrorMessage(m_path, QStringLiteral("no se pudo iniciar la compresión")));
        m_out.resize(256 * 1024);
    }
    ~ZipWriter() {
        stopDeflater();
        deflateEnd(&m_z);
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // A part whose bytes are all at hand: sizes in its header.
    void add(const QByteArray& name, const char* data, size_t size) {
        QByteArray packed(qsizetype(deflateBound(&m_z, uLong(size))), Qt::Uninitialized);
        deflateReset(&m_z);
        m_z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        m_z.avail_in = uInt(size);
        m_z.next_out = reinterpret_cast<Bytef*>(packed.data());
        m_z.avail_out = uInt(packed.size());
        if (deflate(&m_z, Z_FINISH) != Z_STREAM_END)
            throw GeneralError(writeErrorMessage(m_path, QStringLiteral("falló la compresión")));
        packed.truncate(qsizetype(m_z.total_out));
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(data), uInt(size)));
        header(name, 8, false, crc, quint64(packed.size()), size);
        send(packed.constData(), size_t(packed.size()));
    }
    void add(const QByteArray& name, const XmlBuffer& b) { add(name, b.data(), b.size()); }

    // A part stored as it is (already compressed data such as PNG), copied from device.
    void addStored(const QByteArray& name, QIODevice& device, qint64 offset, qint64 size, quint32 crc) {
        header(name, 0, false, crc, quint64(size), quint64(size));
        if (!device.seek(offset))
            throw temporaryFileError(m_path);
        QByteArray chunk;
        for (qint64 left = size; left > 0; left -= chunk.size()) {
            chunk = device.read(std::min<qint64>(left, 1 << 20));
            if (chunk.isEmpty())
                throw temporaryFileError(m_path);
            send(chunk.constData(), size_t(chunk.size()));
        }
    }

    // A part written piece by piece: its sizes and checksum follow it in a data descriptor. Its pieces are
    // checksummed, deflated and written by a thread of its own while the caller makes the next ones: for a
    // worksheet that is a third of the work. Until end() the sink belongs to that thread.
    void begin(const QByteArray& name) {
        header(name, 8, true, 0, 0, 0);
        deflateReset(&m_z);
        m_crc = quint32(crc32(0, nullptr, 0));
        m_size = 0;
        m_stop = false;
        m_deflater = std::thread([this] { deflatePieces(); });
    }
    // Takes piece's bytes, and gives back an empty buffer for the next piece.
    void write(XmlBuffer& piece) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_full; });
        if (m_failure)
            std::rethrow_exception(m_failure);
        std::swap(piece, m_piece);
        piece.clear();
        m_full = true;
        m_changed.notify_all();
    }
    void end() {
        stopDeflater();
        if (m_failure)
            std::rethrow_exception(m_failure);
        pump(Z_FINISH);
        Entry& e = m_entries.back();
        e.crc = m_crc;
        e.packedSize = m_z.total_out;
        e.size = m_size;
        char d[16];
        put32(d, 0x08074b50);
        put32(d + 4, e.crc);
        put32(d + 8, quint32(e.packedSize));
        put32(d + 12, quint32(e.size));
        send(d, sizeof d);
    }

    void finish() {
        const quint64 directoryStart = m_position;
        XmlBuffer dir;
        for (const Entry& e : m_entries) {
            char h[46];
            put32(h, 0x02014b50);
            put16(h + 4, 20); // made by: MS-DOS attributes, version 2.0
            put16(h + 6, 20); // needed to extract: 2.0 (deflate)
            put16(h + 8, e.flags);
            put16(h + 10, e.method);
            put16(h + 12, 0); // time 00:00
            put16(h + 14, kDate);
            put32(h + 16, e.crc);
            put32(h + 20, quint32(e.packedSize));
            put32(h + 24, quint32(e.size));
            put16(h + 28, quint16(e.name.size()));
            put16(h + 30, 0); // extra field
            put16(h + 32, 0); // comment
            put16(h + 34, 0); // disk
            put16(h + 36, 0); // internal attributes
            put32(h + 38, 0); // external attributes
            put32(h + 42, quint32(e.offset));
            dir.append(h, sizeof h);
            dir << e.name;
        }
        send(dir.data(), dir.size());
        char end[22];
        put32(end, 0x06054b50);
        put16(end + 4, 0);
        put16(end + 6, 0);
        put16(end + 8, quint16(m_entries.size()));
        put16(end + 10, quint16(m_entries.size()));
        put32(end + 12, quint32(dir.size()));
        put32(end + 16, quint32(directoryStart));
        put16(end + 20, 0);
        send(end, sizeof end);
    }

private:
    // 1980-01-01, the earliest date the format holds: the file depends only on its content.
    static constexpr quint16 kDate = (0 << 9) | (1 << 5) | 1;

    struct Entry {
        QByteArray name;
        quint16 method = 8, flags = 0;
        quint32 crc = 0;
        quint64 packedSize = 0, size = 0, offset = 0;
    };

    static void put16(char* p, quint16 v) {
        p[0] = char(v);
        p[1] = char(v >> 8);
    }
    static void put32(char* p, quint32 v) {
        put16(p, quint16(v));
        put16(p + 2, quint16(v >> 16));
    }

    GeneralError tooLarge() const {
        return GeneralError(writeErrorMessage(
            m_path,
            QStringLiteral("el libro pasaría de 4 GiB, el tamaño máximo que se escribe; exporte el informe "
                           "por partes (menos páginas)")));
    }

    void header(const QByteArray& name, quint16 method, bool descriptor, quint32 crc, quint64 packedSize,
                quint64 size) {
        if (m_entries.size() >= size_t(kMaxZipEntries))
            throw GeneralError(writeErrorMessage(
                m_path,
                QStringLiteral("el libro tendría más de %1 partes: el informe tiene demasiadas imágenes "
                               "distintas")
                    .arg(kMaxZipEntries)));
        if (packedSize > kZipLimit || size > kZipLimit)
            throw tooLarge();
        Entry e;
        e.name = name;
        e.method = method;
        e.flags = descriptor ? 0x0008 : 0;
        e.crc = crc;
        e.packedSize = packedSize;
        e.size = size;
        e.offset = m_position;
        char h[30];
        put32(h, 0x04034b50);
        put16(h + 4, 20);
        put16(h + 6, e.flags);
        put16(h + 8, method);
        put16(h + 10, 0);
        put16(h + 12, kDate);
        put32(h + 14, crc);
        put32(h + 18, quint32(packedSize));
        put32(h + 22, quint32(size));
        put16(h + 26, quint16(name.size()));
        put16(h + 28, 0);
        send(h, sizeof h);
        send(name.constData(), size_t(name.size()));
        m_entries.push_back(std::move(e));
    }

    void deflatePieces() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] { return m_full || m_stop; });
            if (!m_full)
                return;
            lock.unlock();
            // After a failure the pieces are only taken, so that the caller never waits for good.
            if (!m_failure) {
                try {
                    deflatePiece(m_piece.data(), m_piece.size());
                } catch (...) {
                    m_failure = std::current_exception();
                }
            }
            lock.lock();
            m_full = false;
            m_changed.notify_all();
        }
    }
    void deflatePiece(const char* data, size_t size) {
        m_size += size;
        if (m_size > kZipLimit)
            throw tooLarge();
        m_crc = quint32(crc32(m_crc, reinterpret_cast<const Bytef*>(data), uInt(size)));
        m_z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        m_z.avail_in = uInt(size);
        pump(Z_NO_FLUSH);
    }
    void stopDeflater() {
        if (!m_deflater.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_deflater.join();
    }

    void pump(int flush) {
        int result = Z_OK;
        do {
            m_z.next_out = reinterpret_cast<Bytef*>(m_out.data());
            m_z.avail_out = uInt(m_out.size());
            result = deflate(&m_z, flush);
            if (result == Z_STREAM_ERROR)
                throw GeneralError(writeErrorMessage(m_path, QStringLiteral("falló la compresión")));
            send(m_out.data(), m_out.size() - m_z.avail_out);
        } while (m_z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }

    void send(const char* data, size_t size) {
        if (size == 0)
            return;
        m_position += size;
        if (m_position > kZipLimit)
            throw tooLarge();
        m_sink.write(data, qsizetype(size));
    }

    OutputSink& m_sink;
    QString m_path;
    z_stream m_z{};
    std::vector<char> m_out;
    std::vector<Entry> m_entries;
    quint64 m_position = 0;
    quint32 m_crc = 0;
    quint64 m_size = 0;
    // The streamed part's thread and the one piece handed to it (m_full).
    std::thread m_deflater;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    XmlBuffer m_piece;
    bool m_full = false, m_stop = false;
    std::exception_ptr m_failure;
};

} // namespace report::detail
