// TVestraDBgrid: the suite's data grid: a table view over a data source (TDataSetModel) whose current row
// is the dataset's current record, both ways. Columns are the dataset's visible fields, or the ones named
// by SetColumns, in that order, each with an optional title, width in pixels, read-only flag and colour
// (read-only columns are drawn grey, E9E9E9, unless another colour is given).
//
// Columns marked with a button show a small "..." button in the current cell (and in its editor); a click
// on it, or Ctrl+Enter on such a column, emits editButtonClick with the column's field name. Rows may be
// drawn alternately in the window colour and the tooltip colour. With AlwaysShowEditor the current cell
// of an editable column opens its editor as soon as it becomes current.
#pragma once

#include "TDataSet.h"
#include "TDataSource.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTableView>

class TDataSetModel;
class TVestraGridProxy;

struct TVestraColumn {
    QString fieldName;
    QString title; // empty: the field's display label
    int width = 0; // pixels; 0: as the view sizes it
    bool readOnly = false;
    bool button = false;
    QColor color; // invalid: grey for read-only columns, none otherwise
};

class TVestraDBgrid : public QTableView {
    Q_OBJECT
public:
    explicit TVestraDBgrid(QWidget* parent = nullptr);
    ~TVestraDBgrid() override;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return m_source; }
    TDataSet* DataSet() const;
    TDataSetModel* dataModel() const { return m_model; }

    // Replaces the column list; an empty list shows every visible field with default settings.
    void SetColumns(const QList<TVestraColumn>& columns);
    QList<TVestraColumn> Columns() const;
    // Per-column settings by field name (a column of the field is added when the list names it not).
    void SetColumnWidth(const QString& fieldName, int pixels);
    void SetColumnTitle(const QString& fieldName, const QString& title);
    void SetColumnReadOnly(const QString& fieldName, bool readOnly);
    void SetColumnButton(const QString& fieldName, bool button);
    void SetColumnColor(const QString& fieldName, const QColor& color);

    // The whole grid read-only (no editors at all).
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const;
    void SetAlwaysShowEditor(bool on);
    bool AlwaysShowEditor() const { return m_alwaysShowEditor; }
    // Rows alternately in the base colour and the tooltip colour.
    void SetAlternateRows(bool on);

    // Field name of the current column, empty when there is none.
    QString SelectedFieldName() const;
    // Makes the column of fieldName current; false when the grid does not show it.
    bool SetSelectedField(const QString& fieldName);
    // Emits editButtonClick for the current column when it carries a button.
    void triggerEditButton();

Q_SIGNALS:
    void editButtonClick(const QString& fieldName);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class TVestraGridDelegate;
    friend class TVestraGridProxy;
    bool hasButtonAt(const QModelIndex& index) const;
    void bindDataSet();
    void applyColumns();
    void followCursor();
    int columnOfField(const QString& fieldName) const;
    const TVestraColumn* columnSettings(int viewColumn) const;
    TVestraColumn& settingsFor(const QString& fieldName);

    QPointer<TDataSource> m_source;
    QPointer<TDataSet> m_bound;
    TDataSetModel* m_model = nullptr;
    TVestraGridProxy* m_proxy = nullptr;
    QList<TVestraColumn> m_columns;
    bool m_alwaysShowEditor = false;
    bool m_syncing = false;
    // Column of the current cell, remembered while the grid has no rows.
    int m_emptyColumn = 0;
};
