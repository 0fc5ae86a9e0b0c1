#include "FileWriter_p.h"

#include "GeneralError.h"

#include <QSaveFile>

namespace report::detail {

QString writeErrorMessage(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo escribir el archivo '%1': %2").arg(path, reason);
}

void writeFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    // Never fall back to writing the target in place: that would expose a half-written file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw GeneralError(writeErrorMessage(path, file.errorString()));
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw GeneralError(writeErrorMessage(path, reason));
    }
    if (!file.commit())
        throw GeneralError(writeErrorMessage(path, file.errorString()));
}

} // namespace report::detail
