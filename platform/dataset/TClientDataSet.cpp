#include "TClientDataSet.h"

TClientDataSet::TClientDataSet(const QString& name, QObject* parent) : TDataSet(name, parent) {}

void TClientDataSet::CreateDataSet() {
    // Re-creating starts over with no rows, whatever the dataset held.
    if (Active())
        Close();
    Open();
}

std::vector<QVariantList> TClientDataSet::InternalOpen() { return {}; }
