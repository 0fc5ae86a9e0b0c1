// CommandLineErrors: why a program's arguments did not parse, in Spanish. Qt's parser explains itself in
// English and has no hook for another language without a translator, so the arguments are walked again as
// the parser walks them, and its own list of unknown names decides which are unknown.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// The message for a failed `parser.parse(arguments)` (the program's name first in arguments), given the
// options the parser was set up with: unknown options, a missing value, a value given to a switch.
QString commandLineError(const QCommandLineParser& parser, const QStringList& arguments,
                         const QList<QCommandLineOption>& options);

// The program's name and version, as --version prints it.
QString versionLine(const QString& program);
