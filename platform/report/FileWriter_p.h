// Writing export files: a file is replaced only once its new content is completely written, so a failed
// export never leaves a truncated or half-old file behind. Internal to the report library.
#pragma once

#include <QByteArray>
#include <QString>

namespace report::detail {

// Writes data to path through a temporary file in the same directory, then renames it into place.
// Throws GeneralError "No se pudo escribir el archivo '<path>': <reason>" on any failure, leaving an
// existing file at path untouched.
void writeFileAtomically(const QString& path, const QByteArray& data);

// The message of a failed write, shared by every exporter.
QString writeErrorMessage(const QString& path, const QString& reason);

} // namespace report::detail
