// TField: one column of a dataset, read and written through the dataset's current record.
//
// Contract of the typed accessors: a null value reads as 0, "", false or the zero date; writing a value
// converts it to the field's type (text is cut to Size characters, a 16-bit field refuses values outside
// -32768..32767, a non-numeric text written to a number field is an error; fixed-length text is
// right-trimmed and an empty text is stored as null). Writing is allowed only while the dataset is in
// edit or insert state, or, for calculated fields, while it computes them.
// OnValidate runs after the new value is in place and before it is final: reading the field inside the
// handler gives the new value; if the handler throws, the previous value is restored and the exception
// goes on to the caller. OnChange runs after a value has been taken.
#pragma once

#include "FieldTypes.h"
#include "TDateTime.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>

class TDataSet;

class TField {
public:
    TField(TDataSet* dataSet, QString fieldName, TFieldType type, int size, TFieldKind kind, int index);

    TDataSet* DataSet() const { return m_dataSet; }
    const QString& FieldName() const { return m_fieldName; }
    TFieldType DataType() const { return m_type; }
    int Size() const { return m_size; }
    TFieldKind FieldKind() const { return m_kind; }
    bool Calculated() const { return m_kind == TFieldKind::fkCalculated; }
    // Position among the dataset's fields (declaration order).
    int Index() const { return m_index; }

    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const QString& label) { m_displayLabel = label; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    // Read-only fields are not editable in grids; code may still set them (a validation that fills a
    // name shown read-only, for instance).
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    int DisplayWidth() const { return m_displayWidth > 0 ? m_displayWidth : (m_size > 0 ? m_size : 10); }
    void SetDisplayWidth(int width) { m_displayWidth = width; }

    bool IsNull() const;
    // The stored value as a QVariant of the field's type; an invalid QVariant for null.
    QVariant Value() const;
    void SetValue(const QVariant& value);
    void Clear();

    QString AsString() const;
    void SetAsString(const QString& value);
    int AsInteger() const;
    void SetAsInteger(int value);
    qint64 AsLargeInt() const;
    double AsFloat() const;
    void SetAsFloat(double value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray& value);

    // Text for display: OnGetText when set, otherwise the value as text (dates in the short date format).
    QString DisplayText() const;

    // Converts any value to this field's type; throws GeneralError naming the field when it cannot.
    // Null (invalid) stays null.
    QVariant convert(const QVariant& value) const;

    std::function<void(TField& sender)> OnValidate;
    std::function<void(TField& sender)> OnChange;
    // Sets text to the display text of the field; displayText is true for grids and reports. The text
    // starts empty, so a value the handler does not know shows as nothing.
    std::function<void(TField& sender, QString& text, bool displayText)> OnGetText;

private:
    TDataSet* m_dataSet;
    QString m_fieldName;
    TFieldType m_type;
    int m_size;
    TFieldKind m_kind;
    int m_index;
    QString m_displayLabel;
    bool m_required = false;
    bool m_readOnly = false;
    bool m_visible = true;
    int m_tag = 0;
    int m_displayWidth = 0;
};
