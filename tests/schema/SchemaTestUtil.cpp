#include "SchemaTestUtil.h"

#include "TestSupport.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace schematest {

QString freshPath(const QString& stem) {
    static int counter = 0;
    return testsupport::tempPath(QStringLiteral("%1-%2.sqlite").arg(stem).arg(++counter));
}

QVariant scalar(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return {};
    }
    return query.next() ? query.value(0) : QVariant();
}

QByteArray tableDigest(const QSqlDatabase& db, const QString& table) {
    const int count = db.record(table).count();
    QStringList order;
    for (int i = 1; i <= count; ++i)
        order << QString::number(i);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order.join(u','))))
        ADD_FAILURE() << table.toStdString() << ": " << query.lastError().text().toStdString();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    while (query.next()) {
        for (int i = 0; i < count; ++i) {
            const QVariant value = query.value(i);
            if (value.isNull())
                hash.addData(QByteArrayView("\x01"));
            else if (value.typeId() == QMetaType::QByteArray)
                hash.addData(value.toByteArray().toHex());
            else
                hash.addData(value.toString().toUtf8());
            hash.addData(QByteArrayView("\x1f"));
        }
        hash.addData(QByteArrayView("\x1e"));
    }
    return hash.result().toHex();
}

} // namespace schematest
