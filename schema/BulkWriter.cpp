#include "BulkWriter_p.h"

#include "GeneralError.h"

#include <QSqlError>

namespace {
constexpr int kRowsPerStatement = 500;
constexpr qint64 kProgressEvery = 100000;
} // namespace

BulkWriter::BulkWriter(const QSqlDatabase& db, const QString& table, const QString& columns,
                       Progress progress)
    : m_db(db), m_backend(sqlBackendOf(db)), m_table(table), m_prepared(db), m_progress(std::move(progress)) {
    m_columnCount = int(columns.count(u',')) + 1;
    m_insertHead = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns);
    if (m_backend == SqlBackend::Sqlite) {
        const QString marks = QStringList(m_columnCount, QStringLiteral("?")).join(u',');
        if (!m_prepared.prepare(m_insertHead + u'(' + marks + u')'))
            fail(m_prepared.lastError().text());
    }
}

void BulkWriter::fail(const QString& reason) const {
    throw GeneralError(QStringLiteral("No se pudo escribir en %1: %2").arg(m_table, reason));
}

void BulkWriter::add(std::initializer_list<QVariant> values) {
    Q_ASSERT(int(values.size()) == m_columnCount);
    if (m_backend == SqlBackend::Sqlite) {
        int i = 0;
        for (const QVariant& value : values)
            m_prepared.bindValue(i++, value);
        if (!m_prepared.exec())
            fail(m_prepared.lastError().text());
    } else {
        if (m_buffered > 0)
            m_buffer += u',';
        m_buffer += u'(';
        bool first = true;
        for (const QVariant& value : values) {
            if (!first)
                m_buffer += u',';
            m_buffer += sqlLiteral(value, m_backend);
            first = false;
        }
        m_buffer += u')';
        if (++m_buffered >= kRowsPerStatement)
            flush();
    }
    if (++m_rows % kProgressEvery == 0 && m_progress)
        m_progress(m_table, m_rows);
}

void BulkWriter::flush() {
    if (m_buffered == 0)
        return;
    QSqlQuery query(m_db);
    if (!query.exec(m_insertHead + m_buffer))
        fail(query.lastError().text());
    m_buffer.clear();
    m_buffered = 0;
}

void BulkWriter::finish() {
    flush();
    if (m_progress)
        m_progress(m_table, m_rows);
}
