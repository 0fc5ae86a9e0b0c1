// TfrxDBDataset: a report dataset binding: shows one dataset of the data module to the layouts under a
// user name (which is not always the dataset's own name). The engine walks the bound dataset through its
// cursor, so its scroll and calculated-field handlers run as the rows print; the binding never closes it.
#pragma once

#include "ReportDataSet.h"

#include <QPointer>
#include <QString>

#include "TDataSet.h"

class TfrxDBDataset : public report::ReportDataSet {
public:
    TfrxDBDataset(QString userName, TDataSet* dataSet);

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet) { m_dataSet = dataSet; }

    QString userName() const override { return m_userName; }
    void first() override;
    void next() override;
    bool eof() const override;
    int recordCount() const override;
    bool hasField(const QString& field) const override;
    QVariant value(const QString& field) const override;
    QString displayText(const QString& field) const override;
    bool hasDisplayText(const QString& field) const override;
    int recNo() const override;
    void setRecNo(int recNo) override;

private:
    bool usable() const;
    QString m_userName;
    QPointer<TDataSet> m_dataSet;
};
