// TDataSetModel: the dataset seen as a Qt table. The dataset stays the one source of truth: the model
// reads through valueAt/displayTextAt (no cursor moves, so AfterScroll handlers do not run for painting)
// and writes through Edit/field/Post. Structural changes (rows added, removed or reordered) are announced
// as resets; an in-place change of one record as dataChanged of its row.
#include "TDataSetModel.h"

#include "GeneralError.h"
#include "TDataSet.h"
#include "TDataSource.h"

namespace {
bool isNumeric(TFieldType t) {
    return t == TFieldType::ftSmallint || t == TFieldType::ftInteger || t == TFieldType::ftLargeint ||
           t == TFieldType::ftFloat;
}
} // namespace

TDataSetModel::TDataSetModel(TDataSource* source, QObject* parent) : QAbstractTableModel(parent), m_source(source) {
    if (source) {
        connect(source, &TDataSource::dataSetChanged, this, [this] {
            beginResetModel();
            rebind();
            endResetModel();
        });
    }
    rebind();
}

void TDataSetModel::rebind() {
    if (m_bound)
        disconnect(m_bound, nullptr, this, nullptr);
    m_bound = m_source ? m_source->DataSet() : nullptr;
    if (m_bound) {
        connect(m_bound, &TDataSet::dataReset, this, &TDataSetModel::resetFromDataSet);
        connect(m_bound, &TDataSet::recordChanged, this, &TDataSetModel::onRecordChanged);
        connect(m_bound, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_bound = nullptr;
            m_rows = 0;
            endResetModel();
        });
    }
    m_rows = m_bound ? m_bound->RecordCount() : 0;
}

void TDataSetModel::resetFromDataSet() {
    beginResetModel();
    m_rows = m_bound ? m_bound->RecordCount() : 0;
    endResetModel();
}

void TDataSetModel::onRecordChanged(int row) {
    const int now = m_bound ? m_bound->RecordCount() : 0;
    if (now != m_rows) {
        resetFromDataSet();
        return;
    }
    if (row >= 0 && row < m_rows && columnCount() > 0)
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int TDataSetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_bound)
        return 0;
    return m_rows;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_bound)
        return 0;
    int n = 0;
    for (int i = 0; i < m_bound->FieldCount(); ++i)
        n += m_bound->Field(i).Visible() ? 1 : 0;
    return n;
}

int TDataSetModel::fieldIndex(int column) const {
    if (!m_bound || column < 0)
        return -1;
    for (int i = 0; i < m_bound->FieldCount(); ++i) {
        if (!m_bound->Field(i).Visible())
            continue;
        if (column-- == 0)
            return i;
    }
    return -1;
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_bound || !m_bound->Active())
        return {};
    const int fi = fieldIndex(index.column());
    if (fi < 0)
        return {};
    const TField& field = m_bound->Field(fi);
    try {
        switch (role) {
        case Qt::DisplayRole:
            return m_bound->displayTextAt(index.row(), fi);
        case Qt::EditRole: {
            const QVariant v = m_bound->valueAt(index.row(), fi);
            // Dates go to editors as dates, not as their serial number.
            if (field.DataType() == TFieldType::ftDateTime && v.isValid()) {
                const TDateTime d(v.toDouble());
                return d.hasTime() ? QVariant(d.toDateTime()) : QVariant(d.date());
            }
            return v;
        }
        case Qt::TextAlignmentRole:
            if (isNumeric(field.DataType()))
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return {};
        default:
            return {};
        }
    } catch (const GeneralError&) {
        // A failing OnCalcFields or OnGetText must not escape into the view's painting.
        return {};
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !m_bound)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const int fi = fieldIndex(section);
    return fi < 0 ? QVariant() : QVariant(m_bound->Field(fi).DisplayLabel());
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int fi = fieldIndex(index.column());
    if (fi < 0 || m_readOnly || !m_bound || !m_bound->Active())
        return f;
    const TField& field = m_bound->Field(fi);
    if (!field.ReadOnly() && !field.Calculated() && field.DataType() != TFieldType::ftBlob)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    TDataSet* ds = m_bound;
    TField& field = ds->Field(fieldIndex(index.column()));
    m_lastError.clear();
    const bool editing = ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
    // A record the user is already editing (a row just appended from a navigator) stays in edit: only
    // an edit begun here is undone when refused.
    const bool sameRecord = editing && ds->RecNo() == index.row() + 1;
    bool begunHere = false;
    try {
        if (!sameRecord) {
            ds->SetRecNo(index.row() + 1); // posts another pending record first; a refusal stops here
            ds->Edit();
            begunHere = true;
        }
        field.SetValue(value);
        ds->Post();
    } catch (const GeneralError& e) {
        m_lastError = e.message();
        const TDataSetState s = ds->State();
        if (begunHere && (s == TDataSetState::dsEdit || s == TDataSetState::dsInsert)) {
            try {
                ds->Cancel();
            } catch (const GeneralError&) {
            }
        }
        return false;
    }
    return true;
}

void TDataSetModel::setCurrentRow(int row) {
    if (!m_bound || !m_bound->Active() || row < 0 || row >= m_bound->RecordCount())
        return;
    try {
        m_bound->SetRecNo(row + 1);
    } catch (const GeneralError& e) {
        // Leaving a row posts it; a refused post keeps the cursor where it was.
        m_lastError = e.message();
    }
}
