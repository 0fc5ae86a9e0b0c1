// TField: conversion of values to a field's type, and the typed accessors, which read and write through
// the dataset's current record (TDataSetPrivate::fieldValue / setFieldValue).
//
// Stored forms: integers as int (64-bit as qint64), floats and date-times as double (the TDateTime serial),
// text as QString, Booleans as bool, blobs as QByteArray; null as an invalid QVariant. Text is cut to Size
// characters; fixed-length text is also right-trimmed, so a CHAR(n) value reads the same whichever
// backend padded it. An empty text is stored as null, so "" and a null compare equal in Locate.
#include "TField.h"

#include "FormatSettings.h"
#include "GeneralError.h"
#include "TDataSet.h"
#include "TDataSet_p.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isIntegerMeta(int id) {
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isNumericMeta(int id) {
    return isIntegerMeta(id) || id == QMetaType::Double || id == QMetaType::Float;
}

bool isTextMeta(int id) { return id == QMetaType::QString || id == QMetaType::QByteArray; }

// A number written as the program writes it ("1234.5") or as a user of the locale types it ("1.234,5").
std::optional<double> parseNumber(const QString& text) {
    bool ok = false;
    const double plain = text.toDouble(&ok);
    if (ok)
        return plain;
    const FormatSettings& fs = FormatSettings::global();
    if (fs.decimalSeparator == QLatin1Char('.'))
        return std::nullopt;
    QString local = text;
    local.remove(fs.thousandSeparator);
    local.replace(fs.decimalSeparator, QLatin1Char('.'));
    const double v = local.toDouble(&ok);
    if (ok)
        return v;
    return std::nullopt;
}

// ISO text, or a date in the short date format optionally followed by a time.
std::optional<TDateTime> parseDateText(const QString& raw) {
    const QString text = raw.trimmed();
    if (auto iso = TDateTime::fromIso(text))
        return iso;
    const FormatSettings& fs = FormatSettings::global();
    if (auto d = fs.parseDate(text))
        return d;
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return std::nullopt;
    const auto d = fs.parseDate(text.left(blank));
    if (!d)
        return std::nullopt;
    const QString timeText = text.mid(blank + 1).trimmed();
    QTime t = QTime::fromString(timeText, QStringLiteral("H:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(timeText, QStringLiteral("H:mm"));
    if (!t.isValid())
        return std::nullopt;
    return TDateTime::fromDateTime(QDateTime(d->date(), t));
}

std::optional<bool> parseBoolean(const QString& raw) {
    const QString t = raw.trimmed().toLower();
    static const QStringList yes = {QStringLiteral("true"), QStringLiteral("t"), QStringLiteral("1"),
                                    QStringLiteral("s"), QStringLiteral("si"), QStringLiteral("sí"),
                                    QStringLiteral("verdadero")};
    static const QStringList no = {QStringLiteral("false"), QStringLiteral("f"), QStringLiteral("0"),
                                   QStringLiteral("n"), QStringLiteral("no"), QStringLiteral("falso")};
    if (yes.contains(t))
        return true;
    if (no.contains(t))
        return false;
    return std::nullopt;
}

QString trimRight(QString s) {
    int n = static_cast<int>(s.size());
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    s.truncate(n);
    return s;
}

// Shortest text that reads back as the same double, with the locale's decimal separator.
QString floatText(double v) {
    if (v == 0.0)
        v = 0.0; // no "-0"
    QString s = std::fabs(v) < 1e15 ? QString::number(v, 'f', QLocale::FloatingPointShortest)
                                     : QString::number(v, 'g', QLocale::FloatingPointShortest);
    const QChar sep = FormatSettings::global().decimalSeparator;
    if (sep != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), sep);
    return s;
}

QString dateTimeText(TDateTime v) {
    const FormatSettings& fs = FormatSettings::global();
    QString s = fs.formatDate(v);
    if (v.hasTime())
        s += QLatin1Char(' ') + fs.formatTime(v);
    return s;
}

QString booleanText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace

TField::TField(TDataSet* dataSet, QString fieldName, TFieldType type, int size, TFieldKind kind, int index)
    : m_dataSet(dataSet), m_fieldName(std::move(fieldName)), m_type(type), m_size(size), m_kind(kind),
      m_index(index) {}

// --- conversion ---

QVariant TField::convert(const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return {};
    const int id = value.metaType().id();
    const auto notNumber = [&]() -> GeneralError {
        return GeneralError(QStringLiteral("El valor '%1' no es un número válido para el campo '%2'.")
                                .arg(value.toString(), DisplayLabel()));
    };
    switch (m_type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint: {
        // Integral text is taken whole, so 64-bit values do not pass through a double.
        const auto whole = [&]() -> std::optional<qint64> {
            if (id == QMetaType::Bool)
                return value.toBool() ? 1 : 0;
            if (isIntegerMeta(id))
                return value.toLongLong();
            double x = 0;
            if (isNumericMeta(id)) {
                x = value.toDouble();
            } else if (isTextMeta(id)) {
                const QString text = value.toString().trimmed();
                if (text.isEmpty())
                    return std::nullopt;
                bool ok = false;
                const qint64 n = text.toLongLong(&ok);
                if (ok)
                    return n;
                const auto parsed = parseNumber(text);
                if (!parsed)
                    throw notNumber();
                x = *parsed;
            } else {
                throw notNumber();
            }
            if (!std::isfinite(x) || std::fabs(x) >= 9.2e18)
                throw GeneralError(QStringLiteral("El valor %1 está fuera del rango del campo '%2'.")
                                       .arg(value.toString(), DisplayLabel()));
            return static_cast<qint64>(std::nearbyint(x));
        }();
        if (!whole)
            return {};
        const qint64 v = *whole;
        if (m_type == TFieldType::ftLargeint)
            return QVariant::fromValue<qint64>(v);
        const qint64 lo = m_type == TFieldType::ftSmallint ? std::numeric_limits<qint16>::min()
                                                           : std::numeric_limits<qint32>::min();
        const qint64 hi = m_type == TFieldType::ftSmallint ? std::numeric_limits<qint16>::max()
                                                           : std::numeric_limits<qint32>::max();
        if (v < lo || v > hi)
            throw GeneralError(QStringLiteral("El valor %1 está fuera del rango del campo '%2' (%3 a %4).")
                                   .arg(v)
                                   .arg(DisplayLabel())
                                   .arg(lo)
                                   .arg(hi));
        return static_cast<int>(v);
    }
    case TFieldType::ftFloat: {
        if (isNumericMeta(id) || id == QMetaType::Bool)
            return value.toDouble();
        if (isTextMeta(id)) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            const auto parsed = parseNumber(text);
            if (!parsed)
                throw notNumber();
            return *parsed;
        }
        if (id == QMetaType::QDate)
            return TDateTime::fromDate(value.toDate()).value();
        if (id == QMetaType::QDateTime)
            return TDateTime::fromDateTime(value.toDateTime()).value();
        throw notNumber();
    }
    case TFieldType::ftString:
    case TFieldType::ftFixedChar: {
        QString s = id == QMetaType::QByteArray ? QString::fromUtf8(value.toByteArray()) : value.toString();
        if (m_size > 0 && s.size() > m_size)
            s.truncate(m_size);
        if (m_type == TFieldType::ftFixedChar)
            s = trimRight(std::move(s));
        if (s.isEmpty())
            return {};
        return s;
    }
    case TFieldType::ftDateTime: {
        if (id == QMetaType::QDate)
            return TDateTime::fromDate(value.toDate()).value();
        if (id == QMetaType::QDateTime)
            return TDateTime::fromDateTime(value.toDateTime()).value();
        if (isNumericMeta(id))
            return value.toDouble();
        if (isTextMeta(id)) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            if (auto d = parseDateText(text))
                return d->value();
        }
        throw GeneralError(QStringLiteral("El valor '%1' no es una fecha válida para el campo '%2'.")
                               .arg(value.toString(), DisplayLabel()));
    }
    case TFieldType::ftBoolean: {
        if (id == QMetaType::Bool || isNumericMeta(id))
            return value.toBool();
        if (isTextMeta(id)) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return {};
            if (auto b = parseBoolean(text))
                return *b;
        }
        throw GeneralError(QStringLiteral("El valor '%1' no es un valor lógico válido para el campo '%2'.")
                               .arg(value.toString(), DisplayLabel()));
    }
    case TFieldType::ftBlob:
        if (id == QMetaType::QString)
            return value.toString().toUtf8();
        return value.toByteArray();
    case TFieldType::ftUnknown:
        break;
    }
    return value;
}

// --- value access ---

bool TField::IsNull() const { return !Value().isValid(); }

QVariant TField::Value() const { return m_dataSet->d->fieldValue(*this); }

void TField::SetValue(const QVariant& value) { m_dataSet->d->setFieldValue(*this, value); }

void TField::Clear() { SetValue(QVariant()); }

QString TField::AsString() const {
    const QVariant v = Value();
    if (!v.isValid())
        return QString();
    switch (m_type) {
    case TFieldType::ftFloat:
        return floatText(v.toDouble());
    case TFieldType::ftDateTime:
        return dateTimeText(TDateTime(v.toDouble()));
    case TFieldType::ftBoolean:
        return booleanText(v.toBool());
    case TFieldType::ftBlob:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

void TField::SetAsString(const QString& value) { SetValue(value); }

qint64 TField::AsLargeInt() const {
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    const auto notInteger = [&]() -> GeneralError {
        return GeneralError(QStringLiteral("El valor '%1' del campo '%2' no es un número entero.")
                                .arg(v.toString(), DisplayLabel()));
    };
    switch (m_type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return v.toLongLong();
    case TFieldType::ftBoolean:
        return v.toBool() ? 1 : 0;
    case TFieldType::ftBlob:
        throw notInteger();
    default:
        break;
    }
    double x = 0;
    if (v.metaType().id() == QMetaType::Double) {
        x = v.toDouble();
    } else {
        const QString text = v.toString().trimmed();
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok)
            return whole;
        const auto parsed = parseNumber(text);
        if (!parsed)
            throw notInteger();
        x = *parsed;
    }
    if (!std::isfinite(x) || std::fabs(x) >= 9.2e18)
        throw notInteger();
    return static_cast<qint64>(std::nearbyint(x));
}

int TField::AsInteger() const {
    const qint64 v = AsLargeInt();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw GeneralError(QStringLiteral("El valor %1 del campo '%2' no cabe en un entero.")
                               .arg(v)
                               .arg(DisplayLabel()));
    return static_cast<int>(v);
}

void TField::SetAsInteger(int value) { SetValue(value); }

double TField::AsFloat() const {
    const QVariant v = Value();
    if (!v.isValid())
        return 0.0;
    if (isNumericMeta(v.metaType().id()) || v.metaType().id() == QMetaType::Bool)
        return v.toDouble();
    if (v.metaType().id() == QMetaType::QString) {
        if (auto parsed = parseNumber(v.toString().trimmed()))
            return *parsed;
    }
    throw GeneralError(QStringLiteral("El valor '%1' del campo '%2' no es un número.")
                           .arg(v.toString(), DisplayLabel()));
}

void TField::SetAsFloat(double value) {
    if (isTextType(m_type))
        SetValue(floatText(value));
    else
        SetValue(value);
}

bool TField::AsBoolean() const {
    const QVariant v = Value();
    if (!v.isValid())
        return false;
    if (v.metaType().id() == QMetaType::QString) {
        if (auto b = parseBoolean(v.toString()))
            return *b;
        throw GeneralError(QStringLiteral("El valor '%1' del campo '%2' no es un valor lógico.")
                               .arg(v.toString(), DisplayLabel()));
    }
    return v.toBool();
}

void TField::SetAsBoolean(bool value) {
    if (isTextType(m_type))
        SetValue(booleanText(value));
    else
        SetValue(value);
}

TDateTime TField::AsDateTime() const {
    const QVariant v = Value();
    if (!v.isValid())
        return TDateTime();
    if (isNumericMeta(v.metaType().id()))
        return TDateTime(v.toDouble());
    if (v.metaType().id() == QMetaType::QString) {
        if (auto d = parseDateText(v.toString()))
            return *d;
    }
    throw GeneralError(QStringLiteral("El valor '%1' del campo '%2' no es una fecha.")
                           .arg(v.toString(), DisplayLabel()));
}

void TField::SetAsDateTime(TDateTime value) {
    if (isTextType(m_type))
        SetValue(dateTimeText(value));
    else
        SetValue(value.value());
}

QByteArray TField::AsBytes() const {
    const QVariant v = Value();
    if (!v.isValid())
        return QByteArray();
    if (v.metaType().id() == QMetaType::QByteArray)
        return v.toByteArray();
    return AsString().toUtf8();
}

void TField::SetAsBytes(const QByteArray& value) { SetValue(value); }

QString TField::DisplayText() const {
    if (OnGetText) {
        // The handler starts from an empty text: a code it does not know shows as nothing.
        QString text;
        OnGetText(const_cast<TField&>(*this), text, true);
        return text;
    }
    return AsString();
}
