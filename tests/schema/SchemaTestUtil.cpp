#include "SchemaTestUtil.h"

#include "TestSupport.h"

#include <QSqlError>
#include <QSqlQuery>
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

} // namespace schematest
