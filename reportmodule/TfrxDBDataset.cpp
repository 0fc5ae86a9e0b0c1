#include "TfrxDBDataset.h"

#include "TDataSet.h"
#include "TField.h"

#include <QDateTime>

TfrxDBDataset::TfrxDBDataset(QString userName, TDataSet* dataSet)
    : m_userName(std::move(userName)), m_dataSet(dataSet) {}

// A dataset that is closed (a query no run has opened yet) reads as empty rather than failing.
bool TfrxDBDataset::usable() const { return m_dataSet && m_dataSet->Active(); }

void TfrxDBDataset::first() {
    if (usable())
        m_dataSet->First();
}
void TfrxDBDataset::next() {
    if (usable())
        m_dataSet->Next();
}
bool TfrxDBDataset::eof() const { return !usable() || m_dataSet->Eof(); }
int TfrxDBDataset::recordCount() const { return usable() ? m_dataSet->RecordCount() : 0; }

bool TfrxDBDataset::hasField(const QString& field) const {
    return m_dataSet && m_dataSet->FindField(field) != nullptr;
}

QVariant TfrxDBDataset::value(const QString& field) const {
    if (!usable() || m_dataSet->IsEmpty())
        return QVariant();
    const TField& f = m_dataSet->FieldByName(field);
    if (f.IsNull())
        return QVariant();
    switch (f.DataType()) {
    case TFieldType::ftDateTime: return f.AsDateTime().toDateTime();
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint: return static_cast<qlonglong>(f.AsLargeInt());
    case TFieldType::ftFloat: return f.AsFloat();
    case TFieldType::ftBoolean: return f.AsBoolean();
    case TFieldType::ftBlob: return f.AsBytes();
    default: return f.AsString();
    }
}

bool TfrxDBDataset::hasDisplayText(const QString& field) const {
    const TField* f = m_dataSet ? m_dataSet->FindField(field) : nullptr;
    return f && static_cast<bool>(f->OnGetText);
}

QString TfrxDBDataset::displayText(const QString& field) const {
    if (!usable() || m_dataSet->IsEmpty())
        return QString();
    return m_dataSet->FieldByName(field).DisplayText();
}

int TfrxDBDataset::recNo() const { return usable() ? m_dataSet->RecNo() : 0; }
void TfrxDBDataset::setRecNo(int recNo) {
    if (usable() && recNo >= 1 && recNo <= m_dataSet->RecordCount())
        m_dataSet->SetRecNo(recNo);
}
