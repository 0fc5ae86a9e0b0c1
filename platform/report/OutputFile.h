// Where the exports of a prepared report go: a file written so that nothing is lost on the way, or a stream.
//
//  - A regular file (or a symbolic link to one, which stays a link: its target is replaced) is written to a
//    new file beside it and renamed into place once complete, so a failed export leaves the old file as it
//    was and never a half-written one. The new file keeps the old one's permissions.
//  - An existing device, FIFO or socket is opened and written directly, never replaced by a regular file.
//  - "-" is the process's standard output.
//  - An existing SQLite database is never overwritten: an export named after the database it reads would
//    otherwise destroy it.
// Failures throw GeneralError "No se pudo escribir el archivo '<path>': <cause in Spanish>".
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace report {

// The name that means standard output.
inline constexpr char kStandardOutput[] = "-";

// Receives the bytes of an export as they are produced; throws GeneralError when they cannot be written.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void write(const char* data, qsizetype size) = 0;
    void write(const QByteArray& data) { write(data.constData(), data.size()); }
};

// Writes data to path as described above.
void writeOutputFile(const QString& path, const QByteArray& data);
// The same for an export written piece by piece: produce writes everything into the sink it is given. An
// exception from produce leaves the destination as it was (for a regular file) and goes on to the caller.
void writeOutputFile(const QString& path, const std::function<void(OutputSink&)>& produce);

// Several exports that must land together, all or none. Each write(path) writes one whole export to the
// path it is given with writeOutputFile. The files are first written to new files beside their
// destinations (every one of them made before the first export is produced, so a folder that is missing
// or not writable stops the run before any work) and renamed into place only once all were written; a
// failure removes them and leaves every destination as it was. Destinations are judged as writeOutputFile
// judges them (links kept, permissions carried over, a SQLite database refused). Standard output,
// devices, FIFOs and sockets cannot be replaced whole: they are written last, after the files are in
// place, so their failure does not undo the files. Failures throw GeneralError naming the destination.
struct GroupedOutput {
    QString path;
    std::function<void(const QString& writeTo)> write;
};
void writeOutputFiles(const std::vector<GroupedOutput>& outputs);

// True when the two paths name the same file, however they are spelt (relative, "..", links, hard links):
// existing files are compared by device and inode, others by their resolved absolute paths.
bool sameFile(const QString& a, const QString& b);

// The Spanish cause of a failed system call (errno value), for messages: "no hay espacio en el disco", ...
QString systemErrorText(int errorNumber);

namespace detail {
// The message of a failed write, shared by every exporter.
QString writeErrorMessage(const QString& path, const QString& reason);
} // namespace detail

} // namespace report
