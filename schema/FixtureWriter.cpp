#include "FixtureWriter.h"

#include "GeneralError.h"

#include <QSqlError>

FixtureWriter::FixtureWriter(const QSqlDatabase& db) : m_db(db), m_backend(sqlBackendOf(db)) {}

FixtureWriter::FixtureWriter(const QString& connectionName)
    : FixtureWriter(QSqlDatabase::database(connectionName, false)) {}

void FixtureWriter::insert(const QString& table, const Row& row) {
    QStringList columns;
    columns.reserve(row.size());
    for (const auto& [column, value] : row)
        columns << column;
    const QString key = table + u'|' + columns.join(u',');

    auto it = m_prepared.find(key);
    if (it == m_prepared.end()) {
        QSqlQuery query(m_db);
        const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(u',');
        const QString text =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns.join(u','), marks);
        if (!query.prepare(text))
            throw GeneralError(QStringLiteral("No se pudo preparar la inserción en %1: %2")
                                   .arg(table, query.lastError().text()));
        it = m_prepared.insert(key, query);
    }
    QSqlQuery& query = it.value();
    for (qsizetype i = 0; i < row.size(); ++i)
        query.bindValue(int(i), storageValue(row.at(i).second, m_backend));
    if (!query.exec())
        throw GeneralError(
            QStringLiteral("No se pudo insertar en %1: %2").arg(table, query.lastError().text()));
    ++m_rows;
}
