#include "TParam.h"

#include "GeneralError.h"

#include <QDate>
#include <QDateTime>
#include <limits>

void TParam::SetValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        m_value = QVariant();
        return;
    }
    bool ok = true;
    switch (m_type) {
    case TFieldType::ftSmallint: {
        const int v = value.toInt(&ok);
        if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
            throw GeneralError(QStringLiteral("El valor '%1' no es válido para el parámetro %2.")
                                   .arg(value.toString(), m_name));
        m_value = v;
        return;
    }
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint: {
        const qlonglong v = value.toLongLong(&ok);
        if (!ok)
            throw GeneralError(QStringLiteral("El valor '%1' no es válido para el parámetro %2.")
                                   .arg(value.toString(), m_name));
        if (m_type == TFieldType::ftInteger)
            m_value = static_cast<int>(v);
        else
            m_value = v;
        return;
    }
    case TFieldType::ftFloat: {
        const double v = value.toDouble(&ok);
        if (!ok)
            throw GeneralError(QStringLiteral("El valor '%1' no es válido para el parámetro %2.")
                                   .arg(value.toString(), m_name));
        m_value = v;
        return;
    }
    case TFieldType::ftDateTime: {
        if (value.metaType().id() == QMetaType::QDate) {
            m_value = TDateTime::fromDate(value.toDate()).value();
        } else if (value.metaType().id() == QMetaType::QDateTime) {
            m_value = TDateTime::fromDateTime(value.toDateTime()).value();
        } else if (value.metaType().id() == QMetaType::QString) {
            auto d = TDateTime::fromIso(value.toString());
            if (!d)
                throw GeneralError(QStringLiteral("El valor '%1' no es una fecha válida para el parámetro %2.")
                                       .arg(value.toString(), m_name));
            m_value = d->value();
        } else {
            const double v = value.toDouble(&ok);
            if (!ok)
                throw GeneralError(QStringLiteral("El valor '%1' no es una fecha válida para el parámetro %2.")
                                       .arg(value.toString(), m_name));
            m_value = v;
        }
        return;
    }
    case TFieldType::ftBoolean:
        m_value = value.toBool();
        return;
    default:
        m_value = value.toString();
        return;
    }
}

void TParam::SetAsSmallInt(int value) {
    if (m_type == TFieldType::ftUnknown)
        m_type = TFieldType::ftSmallint;
    SetValue(value);
}
void TParam::SetAsInteger(int value) {
    if (m_type == TFieldType::ftUnknown)
        m_type = TFieldType::ftInteger;
    SetValue(value);
}
void TParam::SetAsFloat(double value) {
    if (m_type == TFieldType::ftUnknown)
        m_type = TFieldType::ftFloat;
    SetValue(value);
}
void TParam::SetAsString(const QString& value) {
    if (m_type == TFieldType::ftUnknown)
        m_type = TFieldType::ftString;
    SetValue(value);
}
void TParam::SetAsDateTime(TDateTime value) {
    if (m_type == TFieldType::ftUnknown || isTextType(m_type))
        m_type = TFieldType::ftDateTime;
    SetValue(value.value());
}

TDateTime TParam::AsDateTime() const { return TDateTime(m_value.toDouble()); }

TParam& TParams::Add(const QString& name, TFieldType type) {
    if (TParam* existing = FindParam(name)) {
        existing->SetDataType(type);
        return *existing;
    }
    m_items.push_back(std::make_unique<TParam>(name, type));
    return *m_items.back();
}

TParam* TParams::FindParam(const QString& name) const {
    for (const auto& p : m_items)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

TParam& TParams::ParamByName(const QString& name) const {
    if (TParam* p = FindParam(name))
        return *p;
    throw GeneralError(QStringLiteral("Parámetro '%1' no encontrado.").arg(name));
}
