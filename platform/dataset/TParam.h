// TParam / TParams: the typed input parameters of a server query. A parameter is addressed by name
// (case-insensitive, as the statement writes it); every occurrence of the name in the statement takes
// the same value.
#pragma once

#include "FieldTypes.h"
#include "TDateTime.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class TParam {
public:
    TParam(QString name, TFieldType type) : m_name(std::move(name)), m_type(type) {}

    const QString& Name() const { return m_name; }
    TFieldType DataType() const { return m_type; }
    void SetDataType(TFieldType type) { m_type = type; }

    bool IsNull() const { return !m_value.isValid(); }
    void Clear() { m_value = QVariant(); }
    // Value as set, converted to the declared type (16-bit integer, integer, float, text, date-time).
    const QVariant& Value() const { return m_value; }
    void SetValue(const QVariant& value);

    void SetAsSmallInt(int value);
    void SetAsInteger(int value);
    void SetAsFloat(double value);
    void SetAsString(const QString& value);
    void SetAsDateTime(TDateTime value);

    int AsInteger() const { return m_value.toInt(); }
    double AsFloat() const { return m_value.toDouble(); }
    QString AsString() const { return m_value.toString(); }
    TDateTime AsDateTime() const;

private:
    QString m_name;
    TFieldType m_type;
    // int for the integer types, double for float and date-time (the serial value), QString for text.
    QVariant m_value;
};

class TParams {
public:
    TParam& Add(const QString& name, TFieldType type);
    TParam* FindParam(const QString& name) const;
    // Throws GeneralError "Parámetro 'NAME' no encontrado." when the name is not declared.
    TParam& ParamByName(const QString& name) const;
    int Count() const { return static_cast<int>(m_items.size()); }
    TParam& operator[](int i) const { return *m_items[static_cast<size_t>(i)]; }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TParam>> m_items;
};
