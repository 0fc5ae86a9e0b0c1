#include "LayoutFiles.h"

#include "DocumentLoader.h"
#include "GeneralError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace layoutfiles {
namespace {

QString& chosenDirectory() {
    static QString directory;
    return directory;
}

QString builtInPath(const QString& name) {
    return QStringLiteral(":/layouts/%1.xml").arg(name);
}

// The folder's file for a layout or fragment name, or an empty text.
QString overridePath(const QString& name) {
    const QString folder = directory();
    if (folder.isEmpty())
        return {};
    const QString file = QDir(folder).filePath(name + QStringLiteral(".xml"));
    return QFileInfo::exists(file) ? file : QString();
}

QByteArray readFile(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw GeneralError(QStringLiteral("No se pudo leer el diseño '%1': %2").arg(file, f.errorString()));
    return f.readAll();
}

QByteArray read(const QString& name) {
    if (const QString file = overridePath(name); !file.isEmpty())
        return readFile(file);
    QFile f(builtInPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void setDirectory(const QString& folder) {
    chosenDirectory() = folder;
}

QString directory() {
    if (!chosenDirectory().isEmpty())
        return chosenDirectory();
    return qEnvironmentVariable("VNMRTGEN_LAYOUTS");
}

QString path(const QString& name) {
    const QString file = overridePath(name);
    return file.isEmpty() ? builtInPath(name) : file;
}

QByteArray layoutXml(const QString& name) {
    return read(name);
}

QByteArray fragmentXml(const QString& name) {
    return read(QStringLiteral("fragments/") + name);
}

QStringList builtInNames() {
    QStringList names;
    QDirIterator it(QStringLiteral(":/layouts"), {QStringLiteral("*.xml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        names << file.mid(QStringLiteral(":/layouts/").size()).chopped(4);
    }
    names.sort();
    return names;
}

QStringList checkDirectory() {
    const QString folder = directory();
    if (folder.isEmpty())
        return {};
    if (!QFileInfo(folder).isDir())
        throw GeneralError(QStringLiteral("La carpeta de diseños '%1' no existe.").arg(folder));
    const QStringList builtIn = builtInNames();
    QStringList warnings;
    QDirIterator it(folder, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    report::DocumentLoader loader;
    loader.setFragmentResolver(&fragmentXml);
    for (const QString& file : files) {
        const QString name = QDir(folder).relativeFilePath(file).chopped(4);
        if (!builtIn.contains(name)) {
            warnings << QStringLiteral("Aviso: el diseño '%1' no reemplaza ningún diseño del módulo; se ignora.")
                            .arg(file);
            continue;
        }
        // Fragments are checked through the layouts that use them.
        if (!name.startsWith(QLatin1String("fragments/")))
            loader.load(readFile(file), file);
    }
    // A replaced fragment reaches the built-in layouts too.
    for (const QString& name : builtIn)
        if (!name.startsWith(QLatin1String("fragments/")) && overridePath(name).isEmpty())
            loader.load(layoutXml(name), path(name));
    return warnings;
}

QStringList exportTo(const QString& folder) {
    const QStringList names = builtInNames();
    for (const QString& name : names) {
        const QString file = QDir(folder).filePath(name + QStringLiteral(".xml"));
        if (QFileInfo::exists(file))
            throw GeneralError(
                QStringLiteral("El archivo '%1' ya existe; los diseños se escriben en una carpeta sin ellos.")
                    .arg(file));
    }
    QStringList written;
    for (const QString& name : names) {
        const QString file = QDir(folder).filePath(name + QStringLiteral(".xml"));
        if (!QDir().mkpath(QFileInfo(file).absolutePath()))
            throw GeneralError(QStringLiteral("No se pudo crear la carpeta '%1'.").arg(QFileInfo(file).absolutePath()));
        QFile out(file);
        QFile in(builtInPath(name));
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 ||
            !out.flush())
            throw GeneralError(QStringLiteral("No se pudo escribir el archivo '%1': %2").arg(file, out.errorString()));
        written << file;
    }
    return written;
}

} // namespace layoutfiles
