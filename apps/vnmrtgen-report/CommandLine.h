// The batch command's arguments: the options it takes, parsing them, and the checks of the values that need
// no database (numbers, code lists, the date pattern). Every refusal is a Spanish sentence for stderr.
#pragma once

#include "GeneralError.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// A failure the user can mend by changing the command line or the inputs: exit status 2.
class InputError : public GeneralError {
public:
    using GeneralError::GeneralError;
};

struct BatchOptions {
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption db{QStringLiteral("db"), QString(), QStringLiteral("db")};
    QCommandLineOption company{QStringLiteral("company"), QString(), QStringLiteral("code")};
    QCommandLineOption type{QStringLiteral("type"), QString(), QStringLiteral("n")};
    QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("date")};
    QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("date")};
    QCommandLineOption kinds{QStringLiteral("kinds"), QString(), QStringLiteral("letters")};
    QCommandLineOption classes{QStringLiteral("classes"), QString(), QStringLiteral("list")};
    QCommandLineOption prototypes{QStringLiteral("prototypes"), QString(), QStringLiteral("list")};
    QCommandLineOption account{QStringLiteral("account"), QString(), QStringLiteral("code")};
    QCommandLineOption observations{QStringLiteral("observations"), QString(), QStringLiteral("text")};
    QCommandLineOption pdf{QStringLiteral("pdf"), QString(), QStringLiteral("file")};
    QCommandLineOption xlsx{QStringLiteral("xlsx"), QString(), QStringLiteral("file")};
    QCommandLineOption xlsxData{QStringLiteral("xlsx-data"), QString(), QStringLiteral("file")};
    QCommandLineOption dateFormat{QStringLiteral("date-format"), QString(), QStringLiteral("pattern")};
    QCommandLineOption user{QStringLiteral("user"), QString(), QStringLiteral("code")};
    QCommandLineOption list{QStringLiteral("list"), QString(), QStringLiteral("what")};
    QCommandLineOption layouts{QStringLiteral("layouts"), QString(), QStringLiteral("dir")};
    QCommandLineOption exportLayouts{QStringLiteral("export-layouts"), QString(), QStringLiteral("dir")};

    QList<QCommandLineOption> all() const;
    void addTo(QCommandLineParser& parser) const;
};

// Parses `arguments` (the program's name first). Empty when they parse; otherwise why not, in Spanish.
QString parseArguments(QCommandLineParser& parser, const BatchOptions& options, const QStringList& arguments);

// An integer option's value; `what` names it in the message ("Código de empresa inválido: 'x'.").
int parseNumber(const QString& text, const QString& what);

// A comma-separated list of codes, each kept once, in the order first given.
QList<int> parseList(const QString& text, const QString& what);

// The short date pattern the dates are read and printed in: day, month and year (d or dd, M or MM, yy or
// yyyy) in any order, joined by one separator that is neither a letter nor a digit. Sets it globally.
void applyDateFormat(const QString& pattern);
