#include "SqlBackend.h"

#include "GeneralError.h"

#include <QByteArray>

SqlBackend sqlBackendOf(const QSqlDatabase& db) {
    const QString driver = db.driverName();
    if (driver == QLatin1String("QSQLITE"))
        return SqlBackend::Sqlite;
    if (driver == QLatin1String("QPSQL"))
        return SqlBackend::Postgres;
    throw GeneralError(QStringLiteral("Motor de base de datos no soportado para el esquema: %1").arg(driver));
}

QString isoDate(QDate date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString isoDateTime(const QDateTime& dateTime) {
    const QTime time = dateTime.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return isoDate(dateTime.date());
    return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant storageValue(const QVariant& value, SqlBackend backend) {
    if (value.isNull())
        return value;
    switch (value.typeId()) {
    case QMetaType::QDate:
        if (backend == SqlBackend::Sqlite)
            return isoDate(value.toDate());
        return QDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QDateTime:
        if (backend == SqlBackend::Sqlite)
            return isoDateTime(value.toDateTime());
        return value;
    default:
        return value;
    }
}

QString sqlLiteral(const QVariant& value, SqlBackend backend) {
    if (value.isNull() || !value.isValid())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return u'\'' + isoDate(value.toDate()) + u'\'';
    case QMetaType::QDateTime:
        return u'\'' + isoDateTime(value.toDateTime()) + u'\'';
    case QMetaType::QByteArray: {
        const QString hex = QString::fromLatin1(value.toByteArray().toHex());
        if (backend == SqlBackend::Sqlite)
            return QStringLiteral("X'") + hex + u'\'';
        return QStringLiteral("'\\x") + hex + u'\'';
    }
    default: {
        QString text = value.toString();
        text.replace(u'\'', QStringLiteral("''"));
        return u'\'' + text + u'\'';
    }
    }
}
