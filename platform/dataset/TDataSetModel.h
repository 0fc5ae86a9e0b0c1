// TDataSetModel: exposes a dataset to Qt item views. One row per record in the dataset's current order,
// one column per visible field, headers from the display labels. Edits go through the dataset (Edit,
// set the field, Post), so field validation and BeforePost run and their errors reach the caller; a
// refused edit leaves the model unchanged (an edit that setData began is cancelled; a record that was
// already being edited or inserted stays so, with the value its validation left). Selecting a row in a
// view moves the dataset's cursor through setCurrentRow.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class TDataSet;
class TDataSource;

class TDataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSource* source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Field index of a model column.
    int fieldIndex(int column) const;
    void setCurrentRow(int row);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Message of the last refused edit (empty when the last edit succeeded).
    QString lastError() const { return m_lastError; }

private:
    void rebind();
    void resetFromDataSet();
    void onRecordChanged(int row);
    // Row count the views were last told; a change in it is announced as a reset.
    int m_rows = 0;
    QPointer<TDataSource> m_source;
    QPointer<TDataSet> m_bound;
    bool m_readOnly = false;
    QString m_lastError;
};
