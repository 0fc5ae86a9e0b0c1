#include "ConnectionParams.h"

#include "GeneralError.h"
#include "MaskedLocator.h"

#include <QUrl>

namespace {

[[noreturn]] void invalid(const QString& locator, const QString& why) {
    throw GeneralError(
        QStringLiteral("El localizador de base de datos '%1' no es válido: %2").arg(maskedLocator(locator), why));
}

QString decoded(const QString& part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

} // namespace

ConnectionParams ConnectionParams::fromLocator(const QString& locator) {
    const QString text = locator.trimmed();
    if (text.isEmpty())
        throw GeneralError(QStringLiteral("No se indicó la base de datos."));

    const qsizetype schemeEnd = text.indexOf(QLatin1String("://"));
    if (schemeEnd < 0) {
        ConnectionParams p;
        p.protocol = QStringLiteral("sqlite");
        p.server = text;
        return p;
    }
    const QString scheme = text.left(schemeEnd).toLower();
    if (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres"))
        invalid(locator,
                QStringLiteral("el esquema '%1' no se conoce (se admite postgresql://).").arg(scheme));

    // postgresql://[user[:password]@]host[:port]/database
    const QString rest = text.mid(schemeEnd + 3);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0)
        invalid(locator, QStringLiteral("falta el nombre de la base de datos."));
    const QString authority = rest.left(slash);
    const QString database = rest.mid(slash + 1);
    if (database.isEmpty())
        invalid(locator, QStringLiteral("falta el nombre de la base de datos."));
    if (database.contains(QLatin1Char('/')) || database.contains(QLatin1Char('?')) ||
        database.contains(QLatin1Char('#')))
        // Not echoed: with a '/' or '#' in an unencoded password, what looks like the name holds part of it.
        invalid(locator, QStringLiteral("el nombre de la base de datos no puede contener '/', '?' ni '#'."));

    ConnectionParams p;
    p.protocol = QStringLiteral("postgresql");
    p.alias = decoded(database);

    QString hostPort = authority;
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        p.user = decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0)
            p.password = decoded(userInfo.mid(colon + 1));
        if (p.user.isEmpty())
            invalid(locator, QStringLiteral("falta el usuario antes de '@'."));
    }

    QString host = hostPort;
    QString port;
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close < 0)
            invalid(locator, QStringLiteral("la dirección del servidor no está cerrada con ']'."));
        host = hostPort.left(close + 1);
        const QString after = hostPort.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            invalid(locator, QStringLiteral("sobra texto tras la dirección del servidor."));
        port = after.mid(1);
        if (!after.isEmpty() && port.isEmpty())
            invalid(locator, QStringLiteral("falta el puerto tras ':'."));
    } else if (const qsizetype colon = hostPort.indexOf(QLatin1Char(':')); colon >= 0) {
        host = hostPort.left(colon);
        port = hostPort.mid(colon + 1);
        if (port.isEmpty())
            invalid(locator, QStringLiteral("falta el puerto tras ':'."));
    }
    host = decoded(host);
    if (host.isEmpty() || host == QLatin1String("[]"))
        invalid(locator, QStringLiteral("falta el servidor."));
    if (!port.isEmpty()) {
        bool ok = false;
        const int number = port.toInt(&ok);
        if (!ok || number <= 0 || number > 65535 || port.startsWith(QLatin1Char('+')))
            invalid(locator, QStringLiteral("el puerto '%1' no es un número de 1 a 65535.").arg(port));
    }
    p.server = port.isEmpty() ? host : host + QLatin1Char(':') + port;
    return p;
}
