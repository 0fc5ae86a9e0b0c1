#include "CommandLineErrors.h"

#include <QHash>
#include <QSet>

#ifndef VNMRTGEN_VERSION
#define VNMRTGEN_VERSION "0"
#endif

QString commandLineError(const QCommandLineParser& parser, const QStringList& args,
                         const QList<QCommandLineOption>& options) {
    QHash<QString, bool> takesValue;
    for (const QCommandLineOption& option : options)
        for (const QString& name : option.names())
            takesValue.insert(name, !option.valueName().isEmpty());
    const QStringList unknownNames = parser.unknownOptionNames();
    const QSet<QString> unknown(unknownNames.cbegin(), unknownNames.cend());

    // An option's value is the next argument unless given after "="; "--" ends the options.
    QStringList unknownSpelt;
    QString missing, unexpected;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--"))
            break;
        if (!arg.startsWith(QLatin1Char('-')) || arg.size() == 1)
            continue;
        const QString spelt = arg.section(QLatin1Char('='), 0, 0);
        const QString name = spelt.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool attached = arg.contains(QLatin1Char('='));
        if (unknown.contains(name)) {
            if (!unknownSpelt.contains(spelt))
                unknownSpelt << spelt;
        } else if (takesValue.value(name) && !attached) {
            if (i + 1 == args.size())
                missing = spelt;
            ++i;
        } else if (takesValue.contains(name) && !takesValue.value(name) && attached && unexpected.isEmpty()) {
            unexpected = spelt;
        }
    }
    const QString seeHelp = QStringLiteral(" Use --help para ver las opciones.");
    if (unknownSpelt.size() == 1)
        return QStringLiteral("Opción desconocida: %1.").arg(unknownSpelt.constFirst()) + seeHelp;
    if (!unknownSpelt.isEmpty())
        return QStringLiteral("Opciones desconocidas: %1.").arg(unknownSpelt.join(QStringLiteral(", "))) +
               seeHelp;
    if (!missing.isEmpty())
        return QStringLiteral("Falta el valor de %1.").arg(missing);
    if (!unexpected.isEmpty())
        return QStringLiteral("La opción %1 no admite un valor.").arg(unexpected);
    return QStringLiteral("No se pudieron interpretar los argumentos (detalle técnico: %1)")
        .arg(parser.errorText());
}

QString versionLine(const QString& program) {
    return QStringLiteral("%1 %2").arg(program, QStringLiteral(VNMRTGEN_VERSION));
}
