#include "TDataSource.h"

TDataSource::TDataSource(const QString& name, TDataSet* dataSet, QObject* parent)
    : QObject(parent), m_dataSet(dataSet) {
    setObjectName(name);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (m_dataSet == dataSet)
        return;
    m_dataSet = dataSet;
    Q_EMIT dataSetChanged();
}
