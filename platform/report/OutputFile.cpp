// Output files of the exports. The file is written with POSIX calls rather than QSaveFile: QSaveFile
// renames its temporary file over whatever the path names (a device node, a FIFO, /dev/stdout), and its
// error texts are English and lose errno, which is what tells the user the disk is full.
#include "OutputFile.h"

#include "GeneralError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace report {

namespace detail {
QString writeErrorMessage(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo escribir el archivo '%1': %2").arg(path, reason);
}
} // namespace detail

QString systemErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("no hay espacio en el disco");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("se superó la cuota de disco del usuario");
#endif
    case EACCES:
    case EPERM:
        return QStringLiteral("permiso denegado");
    case EROFS:
        return QStringLiteral("el sistema de archivos es de solo lectura");
    case ENOENT:
        return QStringLiteral("la carpeta no existe");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case ELOOP:
        return QStringLiteral("demasiados enlaces simbólicos en la ruta");
    case EFBIG:
        return QStringLiteral("el archivo supera el tamaño máximo permitido");
    case EIO:
        return QStringLiteral("error de entrada/salida del dispositivo");
    case EPIPE:
        return QStringLiteral("el programa que leía la salida la cerró");
    case ENXIO:
        return QStringLiteral("no hay dispositivo ni lector al otro lado");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("el archivo está en uso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case EXDEV:
        return QStringLiteral("el archivo temporal quedó en otro sistema de archivos");
    default:
        return QStringLiteral("error del sistema número %1 (%2)")
            .arg(errorNumber)
            .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

namespace {

[[noreturn]] void fail(const QString& path, int errorNumber) {
    throw GeneralError(detail::writeErrorMessage(path, systemErrorText(errorNumber)));
}

// Writes all of data to fd, going on after short writes and interruptions; returns 0 or the errno.
int writeAll(int fd, const char* p, qint64 left) {
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC; // no progress and no error: the device takes no more
        p += n;
        left -= n;
    }
    return 0;
}

bool isSqliteDatabase(const QByteArray& nativePath) {
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    char head[16] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    return n == ssize_t(sizeof head) && std::memcmp(head, "SQLite format 3", 16) == 0;
}

// The file a chain of symbolic links ends at, for a link whose target does not exist yet (writing through
// it creates the target and keeps the link).
QString danglingLinkTarget(const QString& path) {
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return QString(); // a loop: the caller reports ELOOP
}

// A sink on a file descriptor: writes go out in large pieces; a failed write reports errno once.
class FdSink : public OutputSink {
public:
    explicit FdSink(int fd) : m_fd(fd) { m_buffer.reserve(kChunk); }
    void write(const char* data, qsizetype size) override {
        if (m_error)
            return;
        if (m_buffer.size() + size > kChunk) {
            flush();
            if (size >= kChunk) {
                m_error = writeAll(m_fd, data, size);
                return;
            }
        }
        m_buffer.append(data, size);
    }
    // 0 when everything reached the descriptor, otherwise the errno of the failed write.
    int finish() {
        flush();
        return m_error;
    }

private:
    static constexpr qsizetype kChunk = 1 << 20;
    void flush() {
        if (!m_error && !m_buffer.isEmpty())
            m_error = writeAll(m_fd, m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }
    int m_fd;
    int m_error = 0;
    QByteArray m_buffer;
};

using Producer = std::function<void(OutputSink&)>;

// Creates a new, empty file beside target under a fresh hidden name; returns its descriptor and sets name.
int createBeside(const QString& shownPath, const QString& target, QByteArray& name) {
    const QFileInfo info(target);
    const QString directory = info.absolutePath();
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        name = QFile::encodeName(QDir(directory).filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        // O_EXCL on a fresh random name; the mode is the one a new file gets (the umask applies).
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            fail(shownPath, errno);
    }
    return fd;
}

// Writes what produce makes to a new file beside target and renames it over target.
void replaceAtomically(const QString& shownPath, const QString& target, const Producer& produce,
                       const struct stat* existing) {
    QByteArray temporary;
    const int fd = createBeside(shownPath, target, temporary);
    const auto abandon = [&](int errorNumber) {
        ::close(fd);
        ::unlink(temporary.constData());
        fail(shownPath, errorNumber);
    };
    FdSink sink(fd);
    try {
        produce(sink);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.constData());
        throw;
    }
    if (const int error = sink.finish())
        abandon(error);
    if (existing) {
        // The replaced file's permissions and owner carry over (the owner only where we may set it).
        if (::fchmod(fd, existing->st_mode & 07777) != 0)
            abandon(errno);
        [[maybe_unused]] const int ignored = ::fchown(fd, existing->st_uid, existing->st_gid);
    }
    // The data reaches the disk before the name does: a crash between the two leaves the old file.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        fail(shownPath, error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        fail(shownPath, error);
    }
}

void writeDirectly(const QString& shownPath, int fd, const Producer& produce) {
    FdSink sink(fd);
    produce(sink);
    if (const int error = sink.finish())
        fail(shownPath, error);
}

// What a destination path is, judged before anything is written to it.
struct Destination {
    enum Kind { StandardOutput, Stream, File } kind = File;
    QString target;      // File: the file to replace (the end of a chain of links)
    bool exists = false; // File: target exists, with st
    struct stat st {};
};

Destination judge(const QString& path) {
    if (path.isEmpty())
        throw GeneralError(QStringLiteral("No se indicó el nombre del archivo de salida."));
    Destination d;
    if (path == QLatin1String(kStandardOutput)) {
        d.kind = Destination::StandardOutput;
        return d;
    }
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &d.st) != 0) {
        if (errno != ENOENT)
            fail(path, errno);
        // Nothing there yet, or a link to a file still to be made.
        d.target = danglingLinkTarget(path);
        if (d.target.isEmpty())
            fail(path, ELOOP);
        return d;
    }
    if (S_ISDIR(d.st.st_mode))
        fail(path, EISDIR);
    if (!S_ISREG(d.st.st_mode)) {
        d.kind = Destination::Stream;
        return d;
    }
    if (isSqliteDatabase(native))
        throw GeneralError(detail::writeErrorMessage(
            path, QStringLiteral("es una base de datos SQLite y no se reemplaza con un informe")));
    // A link keeps being a link: what gets replaced is the file it ends at.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    d.target = canonical.isEmpty() ? path : canonical;
    d.exists = true;
    return d;
}

} // namespace

void writeOutputFile(const QString& path, const QByteArray& data) {
    writeOutputFile(path, [&](OutputSink& sink) { sink.write(data); });
}

void writeOutputFile(const QString& path, const Producer& data) {
    const Destination d = judge(path);
    if (d.kind == Destination::StandardOutput) {
        writeDirectly(QStringLiteral("salida estándar"), STDOUT_FILENO, data);
        return;
    }
    const QByteArray native = QFile::encodeName(path);
    if (d.kind == Destination::Stream) {
        // A device, FIFO or socket is the destination itself: write into it, never rename over it.
        const int fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            fail(path, errno);
        try {
            writeDirectly(path, fd, data);
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (::close(fd) != 0)
            fail(path, errno);
        return;
    }
    replaceAtomically(path, d.target, data, d.exists ? &d.st : nullptr);
}

void writeOutputFiles(const std::vector<GroupedOutput>& outputs) {
    struct Staged {
        const GroupedOutput* output;
        Destination destination;
        QByteArray name; // the new file beside the destination; emptied once renamed into place
    };
    std::vector<Staged> files;
    std::vector<const GroupedOutput*> streams;
    // Whatever was not renamed into place goes, however the group ends.
    struct Cleanup {
        std::vector<Staged>& files;
        ~Cleanup() {
            for (const Staged& f : files)
                if (!f.name.isEmpty())
                    ::unlink(f.name.constData());
        }
    } cleanup{files};

    files.reserve(outputs.size());
    for (const GroupedOutput& output : outputs) {
        Destination d = judge(output.path);
        if (d.kind != Destination::File) {
            streams.push_back(&output);
            continue;
        }
        QByteArray name;
        ::close(createBeside(output.path, d.target, name));
        files.push_back({&output, std::move(d), name});
    }
    for (const Staged& f : files) {
        const QString staged = QFile::decodeName(f.name);
        try {
            f.output->write(staged);
        } catch (const GeneralError& e) {
            // The user knows the destination, not the hidden file beside it.
            throw GeneralError(QString(e.message()).replace(staged, f.output->path));
        }
        if (f.destination.exists) {
            if (::chmod(f.name.constData(), f.destination.st.st_mode & 07777) != 0)
                fail(f.output->path, errno);
            [[maybe_unused]] const int ignored =
                ::chown(f.name.constData(), f.destination.st.st_uid, f.destination.st.st_gid);
        }
    }
    // Renames within one folder of files already complete: only a destination changed meanwhile (turned
    // into a folder, its folder made read-only) stops one, and the ones before it stay in place.
    for (Staged& f : files) {
        if (::rename(f.name.constData(), QFile::encodeName(f.destination.target).constData()) != 0)
            fail(f.output->path, errno);
        f.name.clear();
    }
    for (const GroupedOutput* output : streams)
        output->write(output->path);
}

bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty() || a == QLatin1String(kStandardOutput) || b == QLatin1String(kStandardOutput))
        return a == b;
    struct stat sa {}, sb {};
    const bool aExists = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool bExists = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (aExists && bExists)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (aExists != bExists)
        return false;
    // Neither exists: the same name in the same (resolved) folder, links to be made included.
    const auto resolved = [](const QString& path) {
        const QString end = danglingLinkTarget(path);
        const QFileInfo info(end.isEmpty() ? path : end);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return QDir::cleanPath((folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') +
                               info.fileName());
    };
    return resolved(a) == resolved(b);
}

} // namespace report
