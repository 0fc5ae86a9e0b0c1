// The grid shows its dataset through two layers: TDataSetModel (one column per visible field, edits
// through the dataset) and a private proxy that picks and orders the columns of the grid's column list
// and adds the grid's own looks: titles, colours, read-only columns, alternate rows and the indicator of
// the current record in the row header. The dataset's cursor and the view's current row follow each
// other; m_syncing breaks the loop.
#include "TVestraDBgrid.h"

#include "GeneralError.h"
#include "HostMessageBox.h"
#include "TDataSet.h"
#include "TDataSetModel.h"
#include "TDataSource.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

namespace {
constexpr int kButtonWidth = 18;
const QColor kGrey(0xE9, 0xE9, 0xE9);
TVestraColumn columnOf(const QString& fieldName) {
    TVestraColumn c;
    c.fieldName = fieldName;
    return c;
}
} // namespace

class TVestraGridProxy : public QAbstractProxyModel {
public:
    TVestraGridProxy(TVestraDBgrid* grid, TDataSetModel* source) : QAbstractProxyModel(grid), m_grid(grid) {
        QAbstractProxyModel::setSourceModel(source);
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            remap();
            endResetModel();
        });
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& tl, const QModelIndex& br) {
                    if (columnCount() > 0)
                        Q_EMIT dataChanged(index(tl.row(), 0), index(br.row(), columnCount() - 1));
                });
        remap();
    }

    TDataSetModel* dataModel() const { return static_cast<TDataSetModel*>(sourceModel()); }

    // Recomputes which source column each grid column shows.
    void remap() {
        m_map.clear();
        const TDataSetModel* src = dataModel();
        const int n = src->columnCount();
        const QList<TVestraColumn>& cols = m_grid->m_columns;
        if (cols.isEmpty()) {
            for (int c = 0; c < n; ++c)
                m_map << c;
            return;
        }
        const TDataSet* ds = m_grid->DataSet();
        for (const TVestraColumn& col : cols) {
            for (int c = 0; ds && c < n; ++c) {
                if (ds->Field(src->fieldIndex(c)).FieldName().compare(col.fieldName, Qt::CaseInsensitive) ==
                    0) {
                    m_map << c;
                    break;
                }
            }
        }
    }
    void reset() {
        beginResetModel();
        remap();
        endResetModel();
    }

    int sourceColumn(int column) const { return column >= 0 && column < m_map.size() ? m_map[column] : -1; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
        if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return {};
        return createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : dataModel()->rowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_map.size());
    }
    QModelIndex mapToSource(const QModelIndex& proxy) const override {
        if (!proxy.isValid())
            return {};
        return dataModel()->index(proxy.row(), sourceColumn(proxy.column()));
    }
    QModelIndex mapFromSource(const QModelIndex& source) const override {
        if (!source.isValid())
            return {};
        return index(source.row(), static_cast<int>(m_map.indexOf(source.column())));
    }

    QVariant data(const QModelIndex& idx, int role) const override {
        if (!idx.isValid())
            return {};
        if (role == Qt::BackgroundRole) {
            if (const TVestraColumn* col = m_grid->columnSettings(idx.column())) {
                if (col->color.isValid())
                    return col->color;
                if (col->readOnly)
                    return kGrey;
            }
            if (m_grid->alternatingRowColors() && idx.row() % 2 == 1)
                return m_grid->palette().color(QPalette::ToolTipBase);
            return {};
        }
        return QAbstractProxyModel::data(idx, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Vertical) {
            // The row header is the record indicator: a mark on the current record only.
            if (role != Qt::DisplayRole)
                return {};
            const TDataSet* ds = m_grid->DataSet();
            const bool current = ds && ds->Active() && ds->RecNo() == section + 1;
            if (!current)
                return QString();
            const bool editing =
                ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
            return editing ? QStringLiteral("I") : QStringLiteral("\u25B6");
        }
        if (role == Qt::DisplayRole)
            if (const TVestraColumn* col = m_grid->columnSettings(section); col && !col->title.isEmpty())
                return col->title;
        return dataModel()->headerData(sourceColumn(section), orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex& idx) const override {
        Qt::ItemFlags f = QAbstractProxyModel::flags(idx);
        const TVestraColumn* col = m_grid->columnSettings(idx.column());
        if (col && col->readOnly)
            f &= ~Qt::ItemIsEditable;
        return f;
    }

    void announceIndicator() {
        if (rowCount() > 0)
            Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }

private:
    TVestraDBgrid* m_grid;
    QList<int> m_map;
};

// Draws and answers the "..." button of button columns; edits every cell with a line edit holding the
// cell's text, plus the button for button columns.
class TVestraGridDelegate : public QStyledItemDelegate {
public:
    explicit TVestraGridDelegate(TVestraDBgrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    static QRect buttonRect(const QRect& cell) {
        return QRect(cell.right() - kButtonWidth + 1, cell.top() + 1, kButtonWidth - 1, cell.height() - 2);
    }

    bool hasButton(const QModelIndex& idx) const {
        const TVestraColumn* col = m_grid->columnSettings(idx.column());
        return col && col->button;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& idx) const override {
        QStyledItemDelegate::paint(painter, option, idx);
        if (!hasButton(idx) || idx != m_grid->currentIndex())
            return;
        QStyleOptionButton b;
        b.rect = buttonRect(option.rect);
        b.text = QStringLiteral("...");
        b.state = QStyle::State_Enabled | QStyle::State_Raised;
        m_grid->style()->drawControl(QStyle::CE_PushButton, &b, painter, m_grid);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& idx) override {
        if (event->type() == QEvent::MouseButtonPress && hasButton(idx) && idx == m_grid->currentIndex()) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton &&
                buttonRect(option.rect).contains(me->position().toPoint())) {
                m_grid->triggerEditButton();
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, idx);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& idx) const override {
        auto* line = new QLineEdit;
        line->setFrame(false);
        line->installEventFilter(m_grid);
        if (!hasButton(idx)) {
            line->setParent(parent);
            return line;
        }
        auto* box = new QWidget(parent);
        box->setAutoFillBackground(true);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        row->addWidget(line, 1);
        auto* button = new QToolButton(box);
        button->setText(QStringLiteral("..."));
        button->setFixedWidth(kButtonWidth);
        button->setFocusPolicy(Qt::NoFocus);
        TVestraDBgrid* grid = m_grid;
        connect(button, &QToolButton::clicked, grid, [grid] { grid->triggerEditButton(); });
        row->addWidget(button);
        box->setFocusProxy(line);
        return box;
    }

    static QLineEdit* lineOf(QWidget* editor) {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            return line;
        return editor->findChild<QLineEdit*>();
    }

    void setEditorData(QWidget* editor, const QModelIndex& idx) const override {
        if (QLineEdit* line = lineOf(editor))
            line->setText(idx.data(Qt::DisplayRole).toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& idx) const override {
        QLineEdit* line = lineOf(editor);
        if (!line || !line->isModified())
            return;
        if (model->setData(idx, line->text(), Qt::EditRole))
            return;
        const QString error = m_grid->dataModel()->lastError();
        if (error.isEmpty())
            return;
        // Shown after the editor has closed, so the box does not re-enter the commit.
        QPointer<TVestraDBgrid> grid = m_grid;
        QTimer::singleShot(0, grid, [grid, error] {
            if (grid)
                HostMessageBox::show(grid, QMessageBox::Critical, QStringLiteral("Error"), error);
        });
    }

private:
    TVestraDBgrid* m_grid;
};

TVestraDBgrid::TVestraDBgrid(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new TVestraGridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    QPalette pal = palette();
    pal.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    setPalette(pal);
}

TVestraDBgrid::~TVestraDBgrid() = default;

// The bound dataset, not the source's: a dataset being destroyed is already gone from m_bound while the
// source may still point at it.
TDataSet* TVestraDBgrid::DataSet() const {
    return m_bound;
}

void TVestraDBgrid::SetDataSource(TDataSource* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    // Connected before the model is made, so that the grid knows the new dataset before the model's
    // reset asks for its columns.
    if (source)
        connect(source, &TDataSource::dataSetChanged, this, &TVestraDBgrid::bindDataSet);
    bindDataSet();
    QAbstractItemModel* old = model();
    TDataSetModel* oldData = m_model;
    if (old)
        disconnect(old, nullptr, this, nullptr);
    m_model = new TDataSetModel(source, this);
    m_model->setReadOnly(oldData && oldData->readOnly());
    m_proxy = new TVestraGridProxy(this, m_model);
    setModel(m_proxy);
    if (old)
        old->deleteLater();
    if (oldData)
        oldData->deleteLater();
    connect(m_proxy, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        followCursor();
    });
    applyColumns();
    followCursor();
}

void TVestraDBgrid::bindDataSet() {
    if (m_bound)
        disconnect(m_bound, nullptr, this, nullptr);
    m_bound = m_source ? m_source->DataSet() : nullptr;
    if (!m_bound)
        return;
    connect(m_bound, &TDataSet::cursorMoved, this, &TVestraDBgrid::followCursor);
    connect(m_bound, &TDataSet::stateChanged, this, [this] {
        if (m_proxy)
            m_proxy->announceIndicator();
    });
}

void TVestraDBgrid::SetColumns(const QList<TVestraColumn>& columns) {
    m_columns = columns;
    if (m_proxy)
        m_proxy->reset();
    applyColumns();
}

QList<TVestraColumn> TVestraDBgrid::Columns() const {
    return m_columns;
}

TVestraColumn& TVestraDBgrid::settingsFor(const QString& fieldName) {
    for (TVestraColumn& c : m_columns)
        if (c.fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    // Naming one column turns the grid from "every field" to its column list: list the shown ones first.
    if (m_columns.isEmpty()) {
        if (const TDataSet* ds = DataSet()) {
            for (int i = 0; i < ds->FieldCount(); ++i)
                if (ds->Field(i).Visible())
                    m_columns.push_back(columnOf(ds->Field(i).FieldName()));
            for (TVestraColumn& c : m_columns)
                if (c.fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
                    return c;
        }
    }
    m_columns.push_back(columnOf(fieldName));
    return m_columns.back();
}

void TVestraDBgrid::SetColumnWidth(const QString& fieldName, int pixels) {
    settingsFor(fieldName).width = pixels;
    SetColumns(m_columns);
}
void TVestraDBgrid::SetColumnTitle(const QString& fieldName, const QString& title) {
    settingsFor(fieldName).title = title;
    SetColumns(m_columns);
}
void TVestraDBgrid::SetColumnReadOnly(const QString& fieldName, bool readOnly) {
    settingsFor(fieldName).readOnly = readOnly;
    SetColumns(m_columns);
}
void TVestraDBgrid::SetColumnButton(const QString& fieldName, bool button) {
    settingsFor(fieldName).button = button;
    SetColumns(m_columns);
}
void TVestraDBgrid::SetColumnColor(const QString& fieldName, const QColor& color) {
    settingsFor(fieldName).color = color;
    SetColumns(m_columns);
}

void TVestraDBgrid::applyColumns() {
    if (!m_proxy)
        return;
    for (int c = 0; c < m_proxy->columnCount(); ++c) {
        const TVestraColumn* col = columnSettings(c);
        if (col && col->width > 0)
            setColumnWidth(c, col->width);
        else
            resizeColumnToContents(c);
    }
}

const TVestraColumn* TVestraDBgrid::columnSettings(int viewColumn) const {
    if (m_columns.isEmpty() || !m_proxy) {
        // Without a column list, settings apply by field name only if some were given (none here).
        return nullptr;
    }
    const int sc = m_proxy->sourceColumn(viewColumn);
    const TDataSet* ds = DataSet();
    if (sc < 0 || !ds)
        return nullptr;
    const QString name = ds->Field(m_model->fieldIndex(sc)).FieldName();
    for (const TVestraColumn& c : m_columns)
        if (c.fieldName.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int TVestraDBgrid::columnOfField(const QString& fieldName) const {
    const TDataSet* ds = DataSet();
    if (!m_proxy || !ds)
        return -1;
    for (int c = 0; c < m_proxy->columnCount(); ++c) {
        const int sc = m_proxy->sourceColumn(c);
        if (ds->Field(m_model->fieldIndex(sc)).FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void TVestraDBgrid::SetReadOnly(bool readOnly) {
    if (m_model)
        m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed));
    if (m_proxy)
        m_proxy->reset();
}

bool TVestraDBgrid::ReadOnly() const {
    return m_model && m_model->readOnly();
}

void TVestraDBgrid::SetAlwaysShowEditor(bool on) {
    m_alwaysShowEditor = on;
}

void TVestraDBgrid::SetAlternateRows(bool on) {
    setAlternatingRowColors(on);
    viewport()->update();
}

QString TVestraDBgrid::SelectedFieldName() const {
    const TDataSet* ds = DataSet();
    if (!m_proxy || !ds)
        return {};
    const int c = currentIndex().isValid() ? currentIndex().column() : (m_proxy->columnCount() > 0 ? 0 : -1);
    const int sc = m_proxy->sourceColumn(c);
    const int fi = sc < 0 ? -1 : m_model->fieldIndex(sc);
    return fi < 0 ? QString() : ds->Field(fi).FieldName();
}

bool TVestraDBgrid::SetSelectedField(const QString& fieldName) {
    const int c = columnOfField(fieldName);
    if (c < 0)
        return false;
    m_emptyColumn = c;
    if (m_proxy->rowCount() > 0)
        setCurrentIndex(m_proxy->index(currentIndex().isValid() ? currentIndex().row() : 0, c));
    return true;
}

void TVestraDBgrid::triggerEditButton() {
    const int c = currentIndex().isValid() ? currentIndex().column() : m_emptyColumn;
    const TVestraColumn* col = columnSettings(c);
    if (!col || !col->button)
        return;
    Q_EMIT editButtonClick(col->fieldName);
}

void TVestraDBgrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ControlModifier)) {
        triggerEditButton();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TVestraDBgrid::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Enter inside a cell editor is the button too.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) &&
            (ke->modifiers() & Qt::ControlModifier)) {
            triggerEditButton();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void TVestraDBgrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        m_emptyColumn = current.column();
    if (m_syncing || !m_model)
        return;
    if (current.isValid() && current.row() != previous.row()) {
        m_model->setCurrentRow(current.row());
        const TDataSet* ds = DataSet();
        if (ds && ds->RecNo() != current.row() + 1) {
            // Leaving the row was refused (its pending record did not post): stay on the record.
            const QString error = m_model->lastError();
            QTimer::singleShot(0, this, [this, error] {
                followCursor();
                if (!error.isEmpty())
                    HostMessageBox::show(this, QMessageBox::Critical, QStringLiteral("Error"), error);
            });
            return;
        }
    }
    if (previous.isValid() && hasButtonAt(previous))
        viewport()->update(visualRect(previous));
    if (m_alwaysShowEditor && current.isValid() && (model()->flags(current) & Qt::ItemIsEditable) &&
        editTriggers() != QAbstractItemView::NoEditTriggers)
        QTimer::singleShot(0, this, [this] {
            if (currentIndex().isValid() && state() != QAbstractItemView::EditingState &&
                (model()->flags(currentIndex()) & Qt::ItemIsEditable))
                edit(currentIndex());
        });
}

bool TVestraDBgrid::hasButtonAt(const QModelIndex& idx) const {
    const TVestraColumn* col = columnSettings(idx.column());
    return col && col->button;
}

void TVestraDBgrid::followCursor() {
    const TDataSet* ds = DataSet();
    if (!m_proxy || m_syncing)
        return;
    m_proxy->announceIndicator();
    if (!ds || !ds->Active() || ds->RecNo() <= 0 || m_proxy->columnCount() == 0)
        return;
    const int row = ds->RecNo() - 1;
    if (currentIndex().isValid() && currentIndex().row() == row)
        return;
    const int col = currentIndex().isValid() ? currentIndex().column()
                                             : std::clamp(m_emptyColumn, 0, m_proxy->columnCount() - 1);
    m_syncing = true;
    setCurrentIndex(m_proxy->index(row, col));
    m_syncing = false;
}
