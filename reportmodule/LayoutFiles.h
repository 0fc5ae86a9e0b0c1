// LayoutFiles: where the report layouts come from. They are compiled into the module; a customer may adjust
// one without a rebuild by putting a file of the same name (and fragments under fragments/) in a layout
// folder: `--layouts DIR` of the batch command, or VNMRTGEN_LAYOUTS for any program that loads the module.
// A file there replaces the built-in layout of that name; every other layout stays built in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace layoutfiles {

// The layout folder: the one set (an empty text clears it), else VNMRTGEN_LAYOUTS, else none.
void setDirectory(const QString& directory);
QString directory();

// Where layout `name` is read from: the folder's file when it has one, else the built-in resource path.
QString path(const QString& name);
// The XML of layout `name` (empty when there is no such layout), and of fragment `name`. A file of the
// folder that cannot be read throws GeneralError.
QByteArray layoutXml(const QString& name);
QByteArray fragmentXml(const QString& name);

// The names of the built-in layouts and fragments ("frxRptRtgen", "fragments/cabecera").
QStringList builtInNames();

// Loads every layout the folder replaces, so that a mistake shows before any report runs: throws
// GeneralError "<file>:<line>: <what>" for the first one that does not load. Returns warnings for files
// that replace nothing (a misspelt name would otherwise be ignored without a word).
QStringList checkDirectory();

// Writes the built-in layouts and fragments into `directory` (created if missing), as a starting point for
// adjusting them; refuses to overwrite a file that is already there. Returns the files written.
QStringList exportTo(const QString& directory);

} // namespace layoutfiles
