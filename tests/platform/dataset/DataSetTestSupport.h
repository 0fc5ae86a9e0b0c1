// Helpers of the data-access tests: datasets shaped like the module's own.
#pragma once

#include "GeneralError.h"
#include "TClientDataSet.h"
#include "TestSupport.h"

#include <QString>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace dstest {

// CdsTotNomi as the cost-centre report declares it, open and empty.
inline std::unique_ptr<TClientDataSet> makeTotNomi() {
    auto ds = std::make_unique<TClientDataSet>(QStringLiteral("CdsTotNomi"));
    ds->AddField(QStringLiteral("COD_CCOS"), TFieldType::ftSmallint);
    ds->AddField(QStringLiteral("NOM_CCOS"), TFieldType::ftFixedChar, 90);
    ds->AddField(QStringLiteral("COD_TNOM"), TFieldType::ftSmallint);
    ds->AddField(QStringLiteral("NOM_TNOM"), TFieldType::ftFixedChar, 40);
    ds->AddField(QStringLiteral("VAL_ACUM"), TFieldType::ftFloat);
    ds->CreateDataSet();
    return ds;
}

// Appends a record with values given for the first fields, in field order, and posts it.
inline void appendRow(TDataSet& ds, const QVariantList& values) {
    ds.Append();
    for (int i = 0; i < values.size(); ++i)
        ds.Field(i).SetValue(values[i]);
    ds.Post();
}

// The values of one field over every record, in the current order, read without moving the cursor.
inline QVariantList column(const TDataSet& ds, const QString& fieldName) {
    QVariantList out;
    const int fi = ds.FieldByName(fieldName).Index();
    for (int row = 0; row < ds.RecordCount(); ++row)
        out.push_back(ds.valueAt(row, fi));
    return out;
}

// A dataset whose Open reads the same rows every time, as a server query re-reads its table.
class FixedDataSet : public TDataSet {
public:
    FixedDataSet(const QString& name, std::vector<QVariantList> rows) : TDataSet(name), m_rows(std::move(rows)) {}
    int opens = 0;

protected:
    std::vector<QVariantList> InternalOpen() override {
        ++opens;
        return m_rows;
    }

private:
    std::vector<QVariantList> m_rows;
};

} // namespace dstest
