// TDataSource: links a dataset to the controls that show it (grids, navigators).
#pragma once

#include <QObject>

class TDataSet;

class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(const QString& name = QString(), TDataSet* dataSet = nullptr, QObject* parent = nullptr);
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

Q_SIGNALS:
    void dataSetChanged();

private:
    TDataSet* m_dataSet = nullptr;
    bool m_enabled = true;
};
