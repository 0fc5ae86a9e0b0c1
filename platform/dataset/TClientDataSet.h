// TClientDataSet: an in-memory result set. Its fields are declared in code and it is active from
// creation (CreateDataSet); builders empty it, append rows and post; layouts print it.
#pragma once

#include "TDataSet.h"

class TClientDataSet : public TDataSet {
    Q_OBJECT
public:
    explicit TClientDataSet(const QString& name = QString(), QObject* parent = nullptr);
    // Opens the dataset empty with the declared fields.
    void CreateDataSet();

protected:
    std::vector<QVariantList> InternalOpen() override;
};
