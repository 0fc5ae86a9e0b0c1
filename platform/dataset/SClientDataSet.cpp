// SClientDataSet: statement text and parameters on the client, rows from the application server.
//
// Open maps the provider's columns onto the declared fields by name and converts every value with the
// field's own conversion, so whatever form a backend hands back (int or qint64, double, ISO date text,
// QDate, QDateTime, a date serial, padded CHAR text) is stored in the field's one form.
#include "SClientDataSet.h"

#include "GeneralError.h"
#include "TRemoteServer.h"

#include <QHash>
#include <QSet>

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

TFieldType typeOfValue(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
        return TFieldType::ftInteger;
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
        return TFieldType::ftLargeint;
    case QMetaType::Double:
    case QMetaType::Float:
        return TFieldType::ftFloat;
    case QMetaType::Bool:
        return TFieldType::ftBoolean;
    case QMetaType::QByteArray:
        return TFieldType::ftBlob;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return TFieldType::ftDateTime;
    default:
        return TFieldType::ftString;
    }
}

} // namespace

QStringList parameterNamesOf(const QString& statement) {
    QStringList names;
    QSet<QString> seen;
    const qsizetype n = statement.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = statement.at(i);
        const QChar next = i + 1 < n ? statement.at(i + 1) : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside the literal is the quote itself.
            ++i;
            while (i < n) {
                if (statement.at(i) == c) {
                    if (i + 1 < n && statement.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && statement.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = statement.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (c == QLatin1Char(':')) {
            if (next == QLatin1Char(':')) {
                i += 2; // a PostgreSQL cast: the type name after it is no parameter
                continue;
            }
            if (isNameStart(next)) {
                qsizetype j = i + 1;
                while (j < n && isNameChar(statement.at(j)))
                    ++j;
                const QString name = statement.mid(i + 1, j - i - 1);
                if (!seen.contains(name.toUpper())) {
                    seen.insert(name.toUpper());
                    names.push_back(name);
                }
                i = j;
                continue;
            }
        }
        ++i;
    }
    return names;
}

SClientDataSet::SClientDataSet(const QString& name, QObject* parent) : TDataSet(name, parent) {}

void SClientDataSet::SetSQL(const QStringList& lines) {
    m_sql = lines;
    m_commandText = lines.join(QLatin1Char('\n'));
    declareParamsOfText();
}

void SClientDataSet::SetCommandText(const QString& text) {
    m_commandText = text;
    m_sql.clear();
    if (!text.isEmpty()) {
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            m_sql.push_back(line);
        }
    }
    declareParamsOfText();
}

void SClientDataSet::declareParamsOfText() {
    if (m_params.Count() > 0 && !m_autoParams)
        return;
    struct Kept {
        TFieldType type;
        QVariant value;
    };
    QHash<QString, Kept> kept;
    for (int i = 0; i < m_params.Count(); ++i)
        kept.insert(m_params[i].Name().toUpper(), {m_params[i].DataType(), m_params[i].Value()});
    m_params.Clear();
    for (const QString& name : parameterNamesOf(m_commandText)) {
        const auto it = kept.constFind(name.toUpper());
        TParam& p = m_params.Add(name, it == kept.constEnd() ? TFieldType::ftUnknown : it->type);
        if (it != kept.constEnd())
            p.SetValue(it->value);
    }
    m_autoParams = true;
}

void SClientDataSet::createFieldsFrom(const TResultSet& result) {
    QSet<QString> used;
    for (size_t c = 0; c < result.columns.size(); ++c) {
        const TResultColumn& column = result.columns[c];
        TFieldType type = column.type;
        int longest = 0;
        for (const QVariantList& row : result.rows) {
            const QVariant v = row.value(static_cast<qsizetype>(c));
            if (!v.isValid() || v.isNull())
                continue;
            if (type == TFieldType::ftUnknown)
                type = typeOfValue(v);
            if (v.metaType().id() == QMetaType::QString)
                longest = std::max(longest, static_cast<int>(v.toString().size()));
        }
        if (type == TFieldType::ftUnknown)
            type = TFieldType::ftString;
        // Text without a declared width gets 255 characters, more when a value is longer.
        const int size = isTextType(type) ? std::max(255, longest) : 0;
        QString name = column.name.isEmpty() ? QStringLiteral("COLUMN%1").arg(c + 1) : column.name;
        for (int k = 1; used.contains(name.toUpper()); ++k)
            name = QStringLiteral("%1_%2").arg(column.name).arg(k);
        used.insert(name.toUpper());
        AddField(name, type, size);
    }
}

std::vector<QVariantList> SClientDataSet::InternalOpen() {
    if (!m_remoteServer)
        throw GeneralError(QStringLiteral("La consulta %1 no tiene servidor remoto asignado.").arg(objectName()));
    if (m_providerName.isEmpty())
        throw GeneralError(QStringLiteral("La consulta %1 no tiene proveedor asignado.").arg(objectName()));
    TResultSet result = m_remoteServer->Execute(m_providerName, m_commandText, m_params);

    const bool dynamic = FieldCount() == 0;
    if (dynamic) {
        createFieldsFrom(result);
        m_dynamicFields = true;
    }

    try {
        // Data fields in field order, each with the column that feeds it.
        struct Feed {
            TField* field;
            qsizetype column;
            bool serialColumn;
        };
        std::vector<Feed> feeds;
        for (int i = 0; i < FieldCount(); ++i) {
            TField& f = Field(i);
            if (f.Calculated())
                continue;
            // Fields made from the columns follow them one to one (repeated names were renamed).
            qsizetype column = dynamic ? i : -1;
            for (size_t c = 0; c < result.columns.size() && column < 0; ++c)
                if (result.columns[c].name.compare(f.FieldName(), Qt::CaseInsensitive) == 0)
                    column = static_cast<qsizetype>(c);
            if (column < 0)
                throw GeneralError(QStringLiteral("Campo '%1' no encontrado en el resultado de la consulta %2.")
                                       .arg(f.FieldName(), objectName()));
            const bool serial = result.columns[static_cast<size_t>(column)].type == TFieldType::ftDateTime;
            feeds.push_back({&f, column, serial});
        }

        std::vector<QVariantList> records;
        records.reserve(result.rows.size());
        // When the fields take the columns as they come (the common case), each row becomes its record in
        // place: a large result is then held once, not twice.
        bool inPlace = true;
        for (size_t i = 0; i < feeds.size(); ++i)
            inPlace = inPlace && feeds[i].column == qsizetype(i);
        inPlace = inPlace && feeds.size() == result.columns.size();
        for (QVariantList& row : result.rows) {
            if (inPlace && row.size() == qsizetype(feeds.size())) {
                for (size_t i = 0; i < feeds.size(); ++i) {
                    QVariant& v = row[qsizetype(i)];
                    if (feeds[i].serialColumn && isTextType(feeds[i].field->DataType()) && v.isValid() &&
                        v.metaType().id() == QMetaType::Double)
                        v = TDateTime(v.toDouble()).toIso();
                    v = feeds[i].field->convert(v);
                }
                records.push_back(std::move(row));
                continue;
            }
            QVariantList values;
            values.reserve(static_cast<qsizetype>(feeds.size()));
            for (const Feed& feed : feeds) {
                QVariant v = row.value(feed.column);
                // A date serial read into a text field is the date, not the number.
                if (feed.serialColumn && isTextType(feed.field->DataType()) && v.isValid() &&
                    v.metaType().id() == QMetaType::Double)
                    v = TDateTime(v.toDouble()).toIso();
                values.push_back(feed.field->convert(v));
            }
            records.push_back(std::move(values));
        }
        return records;
    } catch (...) {
        InternalClose();
        throw;
    }
}

void SClientDataSet::InternalClose() {
    if (!m_dynamicFields)
        return;
    ClearFields();
    m_dynamicFields = false;
}
