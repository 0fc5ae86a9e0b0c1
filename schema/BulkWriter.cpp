#include "BulkWriter_p.h"

#include "GeneralError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <charconv>
#include <libpq-fe.h>

namespace {
constexpr qint64 kProgressEvery = 100000;
// Large enough that the round trip of each COPY is lost in its data, small enough that the chunks of the
// forty-odd tables of a load stay a few megabytes together.
constexpr qsizetype kCopyChunk = 256 * 1024;

template <class T> void appendNumber(QByteArray& out, T value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end - text);
}

// Seventeen significant digits, as sqlLiteral writes them: the server reads back the very same double.
void appendDouble(QByteArray& out, double value) {
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17).ptr;
    out.append(text, end - text);
}

void appendDigits(QByteArray& out, int value, int width) {
    char text[4];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        text[i] = char('0' + value % 10);
    out.append(text, width);
}

// isoDateTime's text without going through QString: the demo writes millions of dates.
void appendDateTime(QByteArray& out, const QDateTime& dateTime) {
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    if (date.year() < 1000 || date.year() > 9999) {
        out += isoDateTime(dateTime).toUtf8();
        return;
    }
    appendDigits(out, date.year(), 4);
    out += '-';
    appendDigits(out, date.month(), 2);
    out += '-';
    appendDigits(out, date.day(), 2);
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return;
    out += ' ';
    appendDigits(out, time.hour(), 2);
    out += ':';
    appendDigits(out, time.minute(), 2);
    out += ':';
    appendDigits(out, time.second(), 2);
}

void appendEscaped(QByteArray& out, const QByteArray& utf8) {
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

// One value as a field of COPY's text format, storing what sqlLiteral's literal stores: \N for NULL,
// byte arrays as the bytea hexadecimal input (its backslash escaped for COPY), text escaped.
void appendCopyField(QByteArray& out, const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        out += "\\N";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        out += value.toBool() ? '1' : '0';
        break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
        appendNumber(out, value.toLongLong());
        break;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        appendNumber(out, value.toULongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        appendDouble(out, value.toDouble());
        break;
    case QMetaType::QDate:
        appendDateTime(out, QDateTime(value.toDate(), QTime(0, 0)));
        break;
    case QMetaType::QDateTime:
        appendDateTime(out, value.toDateTime());
        break;
    case QMetaType::QByteArray:
        out += "\\\\x";
        out += value.toByteArray().toHex();
        break;
    default:
        appendEscaped(out, value.toString().toUtf8());
    }
}

QString serverMessage(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

} // namespace

BulkWriter::BulkWriter(const QSqlDatabase& db, const QString& table, const QString& columns,
                       Progress progress)
    : m_db(db), m_backend(sqlBackendOf(db)), m_table(table), m_prepared(db), m_progress(std::move(progress)) {
    m_columnCount = int(columns.count(u',')) + 1;
    if (m_backend == SqlBackend::Sqlite) {
        const QString marks = QStringList(m_columnCount, QStringLiteral("?")).join(u',');
        if (!m_prepared.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks)))
            fail(m_prepared.lastError().text());
        return;
    }
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type by its struct tag (pg_conn*) or by libpq's typedef, depending on how it registered
    // it.
    if (qstrcmp(handle.typeName(), "pg_conn*") == 0 || qstrcmp(handle.typeName(), "PGconn*") == 0)
        m_pg = *static_cast<PGconn* const*>(handle.constData());
    if (!m_pg)
        fail(QStringLiteral("la conexión a PostgreSQL no está abierta."));
    m_copyCommand = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns).toUtf8();
    m_chunk.reserve(kCopyChunk + kCopyChunk / 4);
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
        bool first = true;
        for (const QVariant& value : values) {
            if (!first)
                m_chunk += '\t';
            appendCopyField(m_chunk, value);
            first = false;
        }
        m_chunk += '\n';
        if (m_chunk.size() >= kCopyChunk)
            flush();
    }
    if (++m_rows % kProgressEvery == 0 && m_progress)
        m_progress(m_table, m_rows);
}

void BulkWriter::flush() {
    if (m_chunk.isEmpty())
        return;
    PGresult* result = PQexec(m_pg, m_copyCommand.constData());
    if (PQresultStatus(result) != PGRES_COPY_IN) {
        const QString reason = serverMessage(PQresultErrorMessage(result));
        PQclear(result);
        fail(reason.isEmpty() ? serverMessage(PQerrorMessage(m_pg)) : reason);
    }
    PQclear(result);
    QString reason;
    if (PQputCopyData(m_pg, m_chunk.constData(), int(m_chunk.size())) != 1 ||
        PQputCopyEnd(m_pg, nullptr) != 1)
        reason = serverMessage(PQerrorMessage(m_pg));
    // Every result up to the last is checked: the rows are only known to be in when all say so.
    while ((result = PQgetResult(m_pg))) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && reason.isEmpty())
            reason = serverMessage(PQresultErrorMessage(result));
        PQclear(result);
    }
    if (!reason.isEmpty())
        fail(reason);
    m_chunk.resize(0); // keeps the capacity for the next chunk
}

void BulkWriter::finish() {
    if (m_backend == SqlBackend::Postgres)
        flush();
    if (m_progress)
        m_progress(m_table, m_rows);
}
