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

namespace report {

// The name that means standard output.
inline constexpr char kStandardOutput[] = "-";

// Writes data to path as described above.
void writeOutputFile(const QString& path, const QByteArray& data);

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
