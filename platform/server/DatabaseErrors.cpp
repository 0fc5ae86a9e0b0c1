#include "DatabaseErrors.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QStringList>

namespace {

const QString kIncompleteDatabase =
    QStringLiteral("no es una base de datos de nómina completa o es de otra versión.");

QString missingTable(const QString& name) {
    return QStringLiteral("la base de datos no tiene la tabla %1; %2").arg(name, kIncompleteDatabase);
}

QString missingColumn(const QString& name) {
    return QStringLiteral("la base de datos no tiene la columna %1; %2").arg(name, kIncompleteDatabase);
}

// The first line of what the driver said, on one line; the database's words before the driver's.
QString firstLine(const QSqlError& error) {
    for (const QString& text : {error.databaseText(), error.driverText()}) {
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            const QString simple = line.simplified();
            if (!simple.isEmpty())
                return simple;
        }
    }
    return QStringLiteral("error desconocido");
}

// sentence (without its period) followed by the driver's text, for whoever has to look into it.
QString withDetail(const QString& sentence, const QSqlError& error, bool withCode) {
    QString detail = firstLine(error);
    const QString code = error.nativeErrorCode();
    if (withCode && !code.isEmpty() && !detail.contains(code))
        detail += QStringLiteral(" (%1)").arg(code);
    return QStringLiteral("%1 (detalle técnico: %2).").arg(sentence, detail);
}

QString captured(const QString& text, const QString& pattern) {
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(text);
    if (!m.hasMatch())
        return QString();
    QString name = m.captured(1);
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    return name;
}

bool containsAny(const QString& text, std::initializer_list<const char*> parts) {
    for (const char* p : parts)
        if (text.contains(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}

// The SQLSTATE an error of the connection would carry: libpq reports those without one.
QString inferredSqlState(const QSqlError& error, const QString& text) {
    if (text.contains(QRegularExpression(QStringLiteral("database \"[^\"]+\" does not exist"))))
        return QStringLiteral("3D000");
    if (containsAny(text, {"password authentication failed", "no password supplied", "pg_hba.conf",
                           "authentication failed"}) ||
        text.contains(QRegularExpression(QStringLiteral("role \"[^\"]+\" does not exist"))))
        return QStringLiteral("28000");
    if (containsAny(text, {"the database system is"}))
        return QStringLiteral("57P03");
    if (containsAny(text, {"too many clients", "remaining connection slots"}))
        return QStringLiteral("53300");
    if (containsAny(text, {"terminating connection", "server closed the connection",
                           "no connection to the server", "connection not open"}))
        return QStringLiteral("57P01");
    if (error.type() == QSqlError::ConnectionError ||
        containsAny(text, {"connection to server", "could not connect", "connection refused",
                           "could not translate host name", "timeout expired"}))
        return QStringLiteral("08001");
    return QString();
}

} // namespace

QString genericErrorReason(const QSqlError& error) {
    return withDetail(QStringLiteral("la base de datos no pudo completar la operación"), error, true);
}

QString sqliteErrorReason(const QSqlError& error) {
    const QString text = error.databaseText().trimmed();
    if (const QString table = captured(text, QStringLiteral("no such table: (\\S+)")); !table.isEmpty())
        return missingTable(table);
    if (const QString column = captured(text, QStringLiteral("no such column: (\\S+)")); !column.isEmpty())
        return missingColumn(column);
    bool numeric = false;
    // Extended result codes keep the primary code in their low byte.
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    const auto is = [&](int primary, std::initializer_list<const char*> words) {
        return (numeric && code == primary) || (!numeric && containsAny(text, words));
    };
    if (is(11, {"malformed"}) || is(26, {"not a database"}))
        return QStringLiteral("el archivo de la base de datos está dañado o no es una base de datos SQLite.");
    if (is(5, {"database is locked"}) || is(6, {"table is locked"}))
        return QStringLiteral("la base de datos está bloqueada por otro programa que la está modificando; "
                              "inténtelo de nuevo cuando termine.");
    if (is(8, {"readonly database"}))
        return QStringLiteral("la base de datos está abierta solo para lectura y la operación necesitaba "
                              "escribir en ella.");
    if (is(3, {"permission denied"}) || is(23, {"authorization denied"}))
        return QStringLiteral("no tiene permiso para acceder al archivo de la base de datos.");
    if (is(14, {"unable to open"}))
        return QStringLiteral(
            "no se pudo abrir el archivo de la base de datos o uno de sus archivos auxiliares "
            "(-wal, -shm); compruebe que existan y que tenga permiso para leerlos.");
    if (is(10, {"disk I/O error"}))
        return QStringLiteral(
            "falló la lectura del archivo de la base de datos en el disco; compruebe el disco "
            "o la unidad de red donde está.");
    if (is(13, {"disk is full"}))
        return QStringLiteral("el disco de la base de datos o el de los archivos temporales está lleno.");
    if (is(7, {"out of memory"}))
        return QStringLiteral("no hay memoria suficiente para la consulta.");
    return withDetail(QStringLiteral("la base de datos no pudo completar la operación"), error, false);
}

QString postgresErrorReason(const QSqlError& error) {
    const QString text = error.databaseText();
    // A hot standby cancels what stands in the way of the changes it replays, under either code.
    if (text.contains(QLatin1String("conflict with recovery")))
        return QStringLiteral(
            "el servidor PostgreSQL es una réplica de solo lectura (hot standby) y canceló la "
            "consulta porque chocaba con los cambios que recibe del servidor principal; vuelva "
            "a intentarlo o use el servidor principal.");
    QString code = error.nativeErrorCode();
    if (code.isEmpty())
        code = inferredSqlState(error, text);
    if (code == QLatin1String("42P01")) {
        const QString table = captured(text, QStringLiteral("relation \"([^\"]+)\" does not exist"));
        return missingTable(table.isEmpty() ? QStringLiteral("consultada") : table);
    }
    if (code == QLatin1String("42703")) {
        const QString column = captured(
            text, QStringLiteral("column (\"[^\"]+\"|\\S+)(?: of relation \"[^\"]+\")? does not exist"));
        return missingColumn(column.isEmpty() ? QStringLiteral("consultada") : column);
    }
    if (code == QLatin1String("3D000")) {
        const QString name = captured(text, QStringLiteral("database \"([^\"]+)\" does not exist"));
        return name.isEmpty()
                   ? QStringLiteral("la base de datos indicada no existe en el servidor PostgreSQL.")
                   : QStringLiteral("la base de datos %1 no existe en el servidor PostgreSQL.").arg(name);
    }
    if (code == QLatin1String("57P01") || code == QLatin1String("57P02"))
        return QStringLiteral(
            "el servidor PostgreSQL cerró la conexión (apagado o reinicio del servidor, o un "
            "administrador la terminó); vuelva a conectarse y repita la operación.");
    if (code == QLatin1String("57P03"))
        return QStringLiteral(
            "el servidor PostgreSQL está arrancando o apagándose y no acepta conexiones en este "
            "momento; inténtelo de nuevo en unos minutos.");
    if (code.startsWith(QLatin1String("08")))
        return withDetail(
            QStringLiteral("no se pudo comunicar con el servidor PostgreSQL; compruebe el nombre del "
                           "servidor, el puerto y la red, y que el servidor esté en marcha"),
            error, false);
    if (code == QLatin1String("53100"))
        return QStringLiteral("el servidor PostgreSQL se quedó sin espacio en disco.");
    if (code == QLatin1String("53200"))
        return QStringLiteral("el servidor PostgreSQL se quedó sin memoria para la consulta.");
    if (code == QLatin1String("53300"))
        return QStringLiteral("el servidor PostgreSQL no admite más conexiones en este momento; inténtelo de "
                              "nuevo más tarde.");
    if (code.startsWith(QLatin1String("53")))
        return withDetail(
            QStringLiteral("el servidor PostgreSQL no tiene recursos suficientes para la consulta"), error,
            true);
    if (code == QLatin1String("40001") || code == QLatin1String("40P01"))
        return QStringLiteral("la consulta chocó con otra transacción que modificaba los mismos datos y se "
                              "canceló; vuelva a intentarlo.");
    if (code == QLatin1String("25006"))
        return QStringLiteral("la conexión es de solo lectura y no admite cambios en la base de datos.");
    if (code == QLatin1String("57014")) {
        if (text.contains(QLatin1String("statement timeout")))
            return QStringLiteral(
                "la consulta superó el tiempo máximo que el servidor PostgreSQL permite a una "
                "sentencia (statement_timeout) y se canceló.");
        return QStringLiteral(
            "el servidor PostgreSQL canceló la consulta (a petición de un administrador o, en "
            "una réplica de solo lectura, porque chocaba con los cambios que recibe del "
            "servidor principal); vuelva a intentarlo.");
    }
    if (code.startsWith(QLatin1String("28")))
        return withDetail(QStringLiteral("el servidor PostgreSQL rechazó el usuario o la contraseña"), error,
                          false);
    if (code == QLatin1String("42501"))
        return withDetail(
            QStringLiteral("el usuario de la base de datos no tiene permiso para esta consulta"), error,
            false);
    return withDetail(QStringLiteral("la base de datos no pudo completar la operación"), error, true);
}

QString withoutSecret(const QString& text, const QString& secret) {
    if (secret.isEmpty())
        return text;
    QString result = text;
    if (secret.size() >= 4)
        return result.replace(secret, QStringLiteral("***"));
    const QRegularExpression word(
        QStringLiteral("(?<![\\p{L}\\p{N}])%1(?![\\p{L}\\p{N}])").arg(QRegularExpression::escape(secret)));
    return result.replace(word, QStringLiteral("***"));
}
