#include "TestSupport.h"

#include "FormatSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

void pinFormatSettings() { FormatSettings::global() = FormatSettings::colombian(); }

QString tempPath(const QString& fileName) {
    static std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    return QDir(dir->path()).filePath(fileName);
}

QString postgresUrl() { return qEnvironmentVariable("VNMRTGEN_PG_URL"); }

} // namespace testsupport
