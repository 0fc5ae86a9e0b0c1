#include "ConnectionParams.h"

#include "GeneralError.h"
#include "MaskedLocator.h"

#include <QSet>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

[[noreturn]] void invalid(const QString& locator, const QString& why) {
    throw GeneralError(QStringLiteral("El localizador de base de datos '%1' no es válido: %2")
                           .arg(maskedLocator(locator), why));
}

QString decoded(const QString& part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// libpq's connection keywords that make sense for a session that only reads (replication is left out);
// host, port, dbname, user and password go to the fields of ConnectionParams.
bool knownKeyword(const QString& key) {
    static const QSet<QString> keywords = [] {
        const QStringList words =
            QStringLiteral("hostaddr passfile channel_binding connect_timeout client_encoding options "
                           "application_name fallback_application_name keepalives keepalives_idle "
                           "keepalives_interval keepalives_count tcp_user_timeout sslmode requiressl "
                           "sslcompression sslcert sslkey sslpassword sslrootcert sslcrl sslcrldir sslsni "
                           "requirepeer ssl_min_protocol_version ssl_max_protocol_version gssencmode "
                           "krbsrvname gsslib service target_session_attrs")
                .split(QLatin1Char(' '));
        return QSet<QString>(words.cbegin(), words.cend());
    }();
    return keywords.contains(key);
}

bool validPort(const QString& port) {
    bool ok = false;
    const int number = port.toInt(&ok);
    return ok && number > 0 && number <= 65535 && !port.startsWith(QLatin1Char('+'));
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

    // A piece of a malformed locator is quoted only where the masked locator would show it: with an
    // unencoded '/' or '?' in the password, what parses as a port or a keyword is part of the password.
    const MaskedSpan secret = maskedUserInfo(text);
    const auto shown = [&](qsizetype at, const QString& piece) {
        return secret.overlaps(at, piece.size()) ? QStringLiteral("***") : piece;
    };

    // postgresql://[user[:password]@][host][:port][/database][?keyword=value&...]
    const qsizetype start = schemeEnd + 3;
    qsizetype authorityEnd = start;
    while (authorityEnd < text.size() && text[authorityEnd] != QLatin1Char('/') &&
           text[authorityEnd] != QLatin1Char('?'))
        ++authorityEnd;
    const QString authority = text.mid(start, authorityEnd - start);
    const qsizetype queryStart = text.indexOf(QLatin1Char('?'), authorityEnd);
    const bool hasPath = authorityEnd < text.size() && text[authorityEnd] == QLatin1Char('/');
    const QString database =
        hasPath ? text.mid(authorityEnd + 1, (queryStart < 0 ? text.size() : queryStart) - authorityEnd - 1)
                : QString();
    const QString query = queryStart < 0 ? QString() : text.mid(queryStart + 1);
    if (database.contains(QLatin1Char('/')))
        // Not echoed: with a '/' in an unencoded password, what looks like the name holds part of it.
        invalid(locator,
                QStringLiteral("el nombre de la base de datos no puede contener '/' (escríbalo %2F)."));
    // A '#' would start a fragment in any other URL; libpq has none, so one here is most likely part of a
    // password or a name written without its escape.
    if (text.indexOf(QLatin1Char('#'), authorityEnd) >= 0)
        invalid(locator,
                QStringLiteral("el localizador no puede contener '#' tras el servidor (escríbalo %23)."));

    ConnectionParams p;
    p.protocol = QStringLiteral("postgresql");
    p.alias = decoded(database);

    QString hostPort = authority;
    qsizetype hostPortStart = start;
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        hostPortStart = start + at + 1;
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        p.user = decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0)
            p.password = decoded(userInfo.mid(colon + 1));
        p.passwordInLocator = !p.password.isEmpty();
        if (p.user.isEmpty())
            invalid(locator, QStringLiteral("falta el usuario antes de '@'."));
    }
    if (hostPort.contains(QLatin1Char(',')))
        invalid(locator, QStringLiteral("se admite un solo servidor, no una lista separada por ','."));

    QString host = hostPort;
    QString port;
    qsizetype portStart = -1;
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close < 0)
            invalid(locator, QStringLiteral("la dirección del servidor no está cerrada con ']'."));
        if (close == 1)
            invalid(locator, QStringLiteral("falta la dirección del servidor entre '[' y ']'."));
        host = hostPort.left(close + 1);
        const QString after = hostPort.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            invalid(locator, QStringLiteral("sobra texto tras la dirección del servidor."));
        port = after.mid(1);
        portStart = hostPortStart + close + 2;
        if (!after.isEmpty() && port.isEmpty())
            invalid(locator, QStringLiteral("falta el puerto tras ':'."));
    } else if (const qsizetype colon = hostPort.indexOf(QLatin1Char(':')); colon >= 0) {
        host = decoded(hostPort.left(colon));
        port = hostPort.mid(colon + 1);
        portStart = hostPortStart + colon + 1;
        if (port.isEmpty())
            invalid(locator, QStringLiteral("falta el puerto tras ':'."));
    } else {
        host = decoded(hostPort);
    }
    if (!port.isEmpty() && !validPort(port))
        invalid(locator,
                QStringLiteral("el puerto '%1' no es un número de 1 a 65535.").arg(shown(portStart, port)));

    // After a password= item, a malformed piece may be the rest of a password with an unencoded '&'.
    bool afterPassword = false;
    const auto shownItem = [&](qsizetype at, const QString& piece) {
        return afterPassword ? QStringLiteral("***") : shown(at, piece);
    };
    qsizetype itemStart = queryStart + 1;
    for (const QString& item : query.split(QLatin1Char('&'))) {
        const qsizetype at = itemStart;
        itemStart += item.size() + 1;
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals <= 0)
            invalid(
                locator,
                QStringLiteral("el parámetro '%1' no tiene la forma clave=valor.").arg(shownItem(at, item)));
        // Keys are taken as written, not decoded: libpq's are plain words, and an escaped "password" would
        // slip past the masking of messages.
        const QString key = item.left(equals);
        const QString value = decoded(item.mid(equals + 1));
        const qsizetype valueStart = at + equals + 1;
        if (key == QLatin1String("host")) {
            if (value.contains(QLatin1Char(',')))
                invalid(locator,
                        QStringLiteral("se admite un solo servidor, no una lista separada por ','."));
            // server keeps an IPv6 address in brackets, so that its port can be told from it.
            host = value.contains(QLatin1Char(':')) && !value.startsWith(QLatin1Char('/')) &&
                           !value.startsWith(QLatin1Char('['))
                       ? QLatin1Char('[') + value + QLatin1Char(']')
                       : value;
        } else if (key == QLatin1String("port")) {
            if (!validPort(value))
                invalid(locator, QStringLiteral("el puerto '%1' no es un número de 1 a 65535.")
                                     .arg(shownItem(valueStart, item.mid(equals + 1))));
            port = value;
        } else if (key == QLatin1String("dbname")) {
            p.alias = value;
        } else if (key == QLatin1String("user")) {
            p.user = value;
        } else if (key == QLatin1String("password")) {
            p.password = value;
            p.passwordInLocator = p.passwordInLocator || !value.isEmpty();
            afterPassword = true;
        } else if (knownKeyword(key)) {
            // QPSQL turns every ';' of its connect options into a blank, quoted or not.
            if (value.contains(QLatin1Char(';')))
                invalid(locator, QStringLiteral("el valor de '%1' no puede contener ';'.").arg(key));
            if (key == QLatin1String("sslpassword")) {
                p.passwordInLocator = p.passwordInLocator || !value.isEmpty();
                afterPassword = true;
            }
            p.options.removeIf([&](const auto& option) { return option.first == key; });
            p.options.append({key, value});
        } else {
            invalid(locator,
                    QStringLiteral("el parámetro '%1' no es una opción de conexión de PostgreSQL que "
                                   "se admita.")
                        .arg(shownItem(at, key)));
        }
    }

    // libpq would take the user's name for a missing database; a payroll database is never so named, and
    // a service names its own.
    if (p.alias.isEmpty() && p.option(QStringLiteral("service")).isEmpty())
        invalid(locator, QStringLiteral("falta el nombre de la base de datos."));
    p.server = port.isEmpty() ? host : host + QLatin1Char(':') + port;
    return p;
}

QString ConnectionParams::option(const QString& keyword) const {
    for (const auto& [key, value] : options)
        if (key == keyword)
            return value;
    return QString();
}

QString ConnectionParams::libpqOptions() const {
    QStringList parts;
    for (auto [key, value] : options) {
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\''), QLatin1String("\\'"));
        parts << key + QLatin1String("='") + value + QLatin1Char('\'');
    }
    return parts.join(QLatin1Char(';'));
}

std::pair<QString, int> ConnectionParams::postgresHostPort() const {
    QString host = server.trimmed();
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            throw GeneralError(QStringLiteral("el servidor '%1' no es válido.").arg(server));
        port = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!port.isEmpty() && !port.startsWith(QLatin1Char(':')))
            throw GeneralError(QStringLiteral("el servidor '%1' no es válido.").arg(server));
        port = port.mid(1);
    } else if (const qsizetype colon = host.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        port = host.mid(colon + 1);
        // A socket directory may hold a ':' of its own; only digits after the last one make a port.
        const bool digits =
            !port.isEmpty() && std::all_of(port.cbegin(), port.cend(), [](QChar c) { return c.isDigit(); });
        if (host.startsWith(QLatin1Char('/')) && !digits)
            port.clear();
        else
            host = host.left(colon);
    }
    if (port.isEmpty())
        return {host, 0};
    if (!validPort(port))
        throw GeneralError(QStringLiteral("el puerto '%1' no es válido.").arg(port));
    return {host, port.toInt()};
}
