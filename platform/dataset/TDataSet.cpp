// TDataSet: records, cursor, state machine, ordered view and key indexes.
//
// Records live in one vector in the current order (TDataSet_p.h lists the invariants). Without
// IndexFieldNames that order is the insertion order; with it, the vector is sorted by the index fields
// and then by insertion rank, and a posted record is moved to its place by binary search, so appending
// in key order stays O(1) per row.
//
// Locate without options is the core of every find-or-append merge: for each key-field list it keeps a
// hash multimap from the hash of the key values to the records. The index is built on first use, follows
// every Post (a record's old key is known from the copy Edit took) and Delete, and is emptied with the
// data. Equal hashes are resolved by comparing values, and among equal keys the record first in the
// current order wins, as a scan would find it.
#include "TDataSet.h"

#include "GeneralError.h"
#include "TDataSet_p.h"

#include <QHashFunctions>
#include <algorithm>
#include <cmath>

// --- value helpers ---

namespace tdataset {
namespace {
template <class T>
const T& as(const QVariant& v) {
    return *static_cast<const T*>(v.constData());
}

bool isNumber(int id) {
    return id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::Double;
}

int sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }
} // namespace

bool sameValue(const QVariant& a, const QVariant& b) {
    const bool an = !a.isValid();
    const bool bn = !b.isValid();
    if (an || bn)
        return an && bn;
    const int ta = a.metaType().id();
    const int tb = b.metaType().id();
    if (ta == tb) {
        switch (ta) {
        case QMetaType::Int: return as<int>(a) == as<int>(b);
        case QMetaType::LongLong: return as<qlonglong>(a) == as<qlonglong>(b);
        case QMetaType::Double: return as<double>(a) == as<double>(b);
        case QMetaType::QString: return as<QString>(a) == as<QString>(b);
        case QMetaType::Bool: return as<bool>(a) == as<bool>(b);
        case QMetaType::QByteArray: return as<QByteArray>(a) == as<QByteArray>(b);
        default: break;
        }
    }
    if (isNumber(ta) && isNumber(tb))
        return a.toDouble() == b.toDouble();
    return QVariant::compare(a, b) == QPartialOrdering::Equivalent;
}

int compareValues(const QVariant& a, const QVariant& b) {
    const bool an = !a.isValid();
    const bool bn = !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const int ta = a.metaType().id();
    const int tb = b.metaType().id();
    if (ta == tb) {
        switch (ta) {
        case QMetaType::Int: return as<int>(a) < as<int>(b) ? -1 : (as<int>(b) < as<int>(a) ? 1 : 0);
        case QMetaType::LongLong:
            return as<qlonglong>(a) < as<qlonglong>(b) ? -1 : (as<qlonglong>(b) < as<qlonglong>(a) ? 1 : 0);
        case QMetaType::Double: return sign(as<double>(a) - as<double>(b));
        case QMetaType::QString: {
            const int c = as<QString>(a).compare(as<QString>(b));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        case QMetaType::Bool: return int(as<bool>(a)) - int(as<bool>(b));
        case QMetaType::QByteArray: {
            const int c = as<QByteArray>(a).compare(as<QByteArray>(b));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        default: break;
        }
    }
    if (isNumber(ta) && isNumber(tb))
        return sign(a.toDouble() - b.toDouble());
    const QPartialOrdering o = QVariant::compare(a, b);
    if (o == QPartialOrdering::Less)
        return -1;
    if (o == QPartialOrdering::Greater)
        return 1;
    if (o == QPartialOrdering::Equivalent)
        return 0;
    const int c = a.toString().compare(b.toString());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

size_t hashValue(const QVariant& v) {
    if (!v.isValid())
        return 0x51ed27f1u;
    switch (v.metaType().id()) {
    case QMetaType::Int: return qHash(static_cast<qint64>(as<int>(v)));
    case QMetaType::LongLong: return qHash(static_cast<qint64>(as<qlonglong>(v)));
    case QMetaType::Double: {
        const double d = as<double>(v);
        // Whole numbers hash as integers, so equal values of mixed numeric types meet in one bucket.
        if (std::trunc(d) == d && std::fabs(d) < 9.2e18)
            return qHash(static_cast<qint64>(d));
        return qHash(d);
    }
    case QMetaType::QString: return qHash(as<QString>(v));
    case QMetaType::Bool: return qHash(static_cast<qint64>(as<bool>(v)));
    case QMetaType::QByteArray: return qHash(as<QByteArray>(v));
    default: return qHash(v.toString());
    }
}
} // namespace tdataset

namespace {
size_t combine(size_t seed, size_t h) { return seed ^ (h + 0x9e3779b9u + (seed << 6) + (seed >> 2)); }

size_t hashKey(const QVariantList& key) {
    size_t h = 0;
    for (const QVariant& v : key)
        h = combine(h, tdataset::hashValue(v));
    return h;
}

size_t hashSlots(const QVariantList& values, const std::vector<int>& slots) {
    size_t h = 0;
    for (int s : slots)
        h = combine(h, tdataset::hashValue(values.at(s)));
    return h;
}

// Points the field-access context at another record for the lifetime of the guard.
class ContextGuard {
public:
    ContextGuard(TDataSetPrivate& d, TDataRecord* record, QVariantList* calc)
        : m_d(d), m_override(d.ctxOverride), m_record(d.ctxRecord), m_calc(d.ctxCalc) {
        d.ctxOverride = true;
        d.ctxRecord = record;
        d.ctxCalc = calc;
    }
    ~ContextGuard() {
        m_d.ctxOverride = m_override;
        m_d.ctxRecord = m_record;
        m_d.ctxCalc = m_calc;
    }
    ContextGuard(const ContextGuard&) = delete;
    ContextGuard& operator=(const ContextGuard&) = delete;

private:
    TDataSetPrivate& m_d;
    bool m_override;
    TDataRecord* m_record;
    QVariantList* m_calc;
};
} // namespace

// --- TDataSetPrivate ---

void TDataSetPrivate::throwInactive() const {
    throw GeneralError(QStringLiteral("El conjunto de datos %1 no está abierto.").arg(name()));
}

void TDataSetPrivate::throwNotEditing() const {
    throw GeneralError(QStringLiteral("El conjunto de datos %1 no está en modo de edición o inserción.").arg(name()));
}

void TDataSetPrivate::requireActive() const {
    if (state == TDataSetState::dsInactive)
        throwInactive();
}

void TDataSetPrivate::requireInactive() const {
    if (state != TDataSetState::dsInactive)
        throw GeneralError(
            QStringLiteral("No se pueden cambiar los campos del conjunto de datos %1 mientras está abierto.").arg(name()));
}

QVariant TDataSetPrivate::fieldValue(const TField& field) {
    requireActive();
    const int s = slot[static_cast<size_t>(field.Index())];
    if (field.Calculated()) {
        const QVariantList* calc = activeCalc();
        return calc && s < calc->size() ? calc->at(s) : QVariant();
    }
    const TDataRecord* r = activeRecord();
    return r ? r->values.at(s) : QVariant();
}

void TDataSetPrivate::setFieldValue(TField& field, const QVariant& value) {
    requireActive();
    const int s = slot[static_cast<size_t>(field.Index())];
    if (field.Calculated()) {
        if (state != TDataSetState::dsCalcFields && !editing())
            throwNotEditing();
        QVariantList* calc = activeCalc();
        if (calc->size() < calcCount)
            calc->resize(calcCount);
        (*calc)[s] = field.convert(value);
        if (state == TDataSetState::dsCalcFields)
            return;
        if (field.OnChange)
            field.OnChange(field);
        emitRecordChanged(cur);
        return;
    }
    if (state == TDataSetState::dsCalcFields)
        throw GeneralError(
            QStringLiteral("El campo '%1' no puede modificarse mientras se calculan los campos de %2.")
                .arg(field.FieldName(), name()));
    if (!editing())
        throwNotEditing();
    TDataRecord* r = currentRecord();
    const QVariant converted = field.convert(value);
    const QVariant old = r->values.at(s);
    r->values[s] = converted;
    ++version;
    if (field.OnValidate) {
        try {
            field.OnValidate(field);
        } catch (...) {
            r->values[s] = old;
            ++version;
            throw;
        }
    }
    if (field.OnChange)
        field.OnChange(field);
    emitRecordChanged(cur);
}

void TDataSetPrivate::computeCalc(TDataRecord* record, QVariantList& calc) {
    calc = QVariantList(calcCount);
    if (!record || calcCount == 0 || !q->OnCalcFields)
        return;
    ContextGuard guard(*this, record, &calc);
    const TDataSetState saved = state;
    state = TDataSetState::dsCalcFields;
    try {
        q->OnCalcFields(*q);
    } catch (...) {
        state = saved;
        throw;
    }
    state = saved;
}

void TDataSetPrivate::computeCurrentCalc() {
    if (calcCount == 0) {
        currentCalc.clear();
        return;
    }
    computeCalc(currentRecord(), currentCalc);
}

const QVariantList& TDataSetPrivate::calcFor(TDataRecord* record) {
    if (cacheId == record->id && cacheVersion == version)
        return cacheCalc;
    cacheId = 0;
    computeCalc(record, cacheCalc);
    cacheId = record->id;
    cacheVersion = version;
    return cacheCalc;
}

void TDataSetPrivate::settle(bool forceCalc) {
    const TDataRecord* r = currentRecord();
    const quint64 id = r ? r->id : 0;
    const bool changed = id != lastCurrentId;
    lastCurrentId = id;
    if (changed || forceCalc)
        computeCurrentCalc();
    emitCursorMoved();
    if (changed && q->AfterScroll)
        q->AfterScroll(*q);
}

void TDataSetPrivate::setState(TDataSetState newState) {
    if (state == newState)
        return;
    state = newState;
    emitStateChanged();
}

void TDataSetPrivate::renumber(int from, int to) {
    for (int i = std::max(from, 0); i <= to; ++i)
        rows[static_cast<size_t>(i)]->pos = i;
}

int TDataSetPrivate::compareRecords(const TDataRecord& a, const TDataRecord& b) const {
    for (int s : indexSlots) {
        const int c = tdataset::compareValues(a.values.at(s), b.values.at(s));
        if (c != 0)
            return c;
    }
    return a.seq < b.seq ? -1 : (a.seq > b.seq ? 1 : 0);
}

void TDataSetPrivate::sortRows() {
    std::sort(rows.begin(), rows.end(), [this](const auto& a, const auto& b) { return compareRecords(*a, *b) < 0; });
    renumberAll();
}

bool TDataSetPrivate::reposition(TDataRecord* record) {
    if (indexSlots.empty())
        return false;
    const int old = record->pos;
    const int n = static_cast<int>(rows.size());
    const auto less = [this](const TDataRecord* a, const TDataRecord* b) { return compareRecords(*a, *b) < 0; };
    const bool leftOk = old == 0 || less(rows[static_cast<size_t>(old - 1)].get(), record);
    const bool rightOk = old == n - 1 || less(record, rows[static_cast<size_t>(old + 1)].get());
    if (leftOk && rightOk)
        return false;
    std::unique_ptr<TDataRecord> holder = std::move(rows[static_cast<size_t>(old)]);
    rows.erase(rows.begin() + old);
    const auto it = std::lower_bound(rows.begin(), rows.end(), record,
                                     [&](const std::unique_ptr<TDataRecord>& e, const TDataRecord* r) { return less(e.get(), r); });
    const int now = static_cast<int>(it - rows.begin());
    rows.insert(it, std::move(holder));
    renumber(std::min(old, now), std::max(old, now));
    return true;
}

void TDataSetPrivate::resolveIndexFieldNames() {
    indexSlots.clear();
    for (const QString& part : indexFieldNames.split(QLatin1Char(';'))) {
        const QString fieldName = part.trimmed();
        if (fieldName.isEmpty())
            continue;
        const TField& f = q->FieldByName(fieldName);
        if (f.Calculated()) {
            indexSlots.clear();
            throw GeneralError(QStringLiteral("El campo calculado '%1' no puede ordenar el conjunto de datos %2.")
                                   .arg(f.FieldName(), name()));
        }
        indexSlots.push_back(slot[static_cast<size_t>(f.Index())]);
    }
}

TKeySpec& TDataSetPrivate::keySpec(const QString& keyFields) {
    if (TKeySpec* known = keySpecs.value(keyFields))
        return *known;
    TKeySpec spec;
    bool allData = true;
    for (const QString& part : keyFields.split(QLatin1Char(';'))) {
        const QString fieldName = part.trimmed();
        if (fieldName.isEmpty())
            continue;
        TField& f = q->FieldByName(fieldName);
        allData = allData && !f.Calculated();
        spec.fields.push_back(&f);
    }
    if (spec.fields.empty())
        throw GeneralError(QStringLiteral("No se indicaron campos de búsqueda en %1.").arg(name()));
    if (allData) {
        std::vector<int> slots;
        for (const TField* f : spec.fields)
            slots.push_back(slot[static_cast<size_t>(f->Index())]);
        for (const auto& index : keyIndexes)
            if (index->slots == slots)
                spec.index = index.get();
        if (!spec.index) {
            keyIndexes.push_back(std::make_unique<TKeyIndex>());
            keyIndexes.back()->slots = std::move(slots);
            spec.index = keyIndexes.back().get();
        }
    }
    keySpecStore.push_back(std::make_unique<TKeySpec>(std::move(spec)));
    keySpecs.insert(keyFields, keySpecStore.back().get());
    return *keySpecStore.back();
}

void TDataSetPrivate::ensureBuilt(TKeyIndex& index) {
    if (index.built)
        return;
    index.entries.clear();
    index.entries.reserve(rows.size());
    const TDataRecord* pending = state == TDataSetState::dsInsert ? currentRecord() : nullptr;
    for (const auto& r : rows)
        if (r.get() != pending)
            indexAdd(index, r.get());
    index.built = true;
}

void TDataSetPrivate::indexAdd(TKeyIndex& index, TDataRecord* record) {
    index.entries.emplace(hashSlots(record->values, index.slots), record);
}

void TDataSetPrivate::indexRemove(TKeyIndex& index, TDataRecord* record, const QVariantList& values) {
    auto [it, end] = index.entries.equal_range(hashSlots(values, index.slots));
    for (; it != end; ++it) {
        if (it->second == record) {
            index.entries.erase(it);
            return;
        }
    }
}

void TDataSetPrivate::dropIndexes() {
    for (auto& index : keyIndexes) {
        index->entries.clear();
        index->built = false;
    }
}

QVariantList TDataSetPrivate::convertKey(const TKeySpec& spec, const QVariantList& values,
                                         TLocateOptions options) const {
    if (values.size() != static_cast<qsizetype>(spec.fields.size()))
        throw GeneralError(QStringLiteral("La búsqueda en %1 espera %2 valores y recibió %3.")
                               .arg(name())
                               .arg(spec.fields.size())
                               .arg(values.size()));
    QVariantList key;
    key.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        const TField* f = spec.fields[static_cast<size_t>(i)];
        // A partial key is a prefix as typed: cutting or trimming it would change what it matches.
        if (options.testFlag(TLocateOption::loPartialKey) && isTextType(f->DataType()))
            key.push_back(values[i].isValid() ? QVariant(values[i].toString()) : QVariant());
        else
            key.push_back(f->convert(values[i]));
    }
    return key;
}

int TDataSetPrivate::find(TKeySpec& spec, const QVariantList& key, TLocateOptions options) {
    if (spec.index && options == TLocateOptions()) {
        TKeyIndex& index = *spec.index;
        ensureBuilt(index);
        const TDataRecord* best = nullptr;
        auto [it, end] = index.entries.equal_range(hashKey(key));
        for (; it != end; ++it) {
            const TDataRecord* r = it->second;
            if (best && r->pos >= best->pos)
                continue;
            bool equal = true;
            for (size_t i = 0; i < index.slots.size() && equal; ++i)
                equal = tdataset::sameValue(r->values.at(index.slots[i]), key.at(static_cast<qsizetype>(i)));
            if (equal)
                best = r;
        }
        return best ? best->pos : -1;
    }
    const Qt::CaseSensitivity cs =
        options.testFlag(TLocateOption::loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool partial = options.testFlag(TLocateOption::loPartialKey);
    for (const auto& holder : rows) {
        TDataRecord* r = holder.get();
        bool equal = true;
        for (size_t i = 0; i < spec.fields.size() && equal; ++i) {
            const TField* f = spec.fields[i];
            const int s = slot[static_cast<size_t>(f->Index())];
            const QVariant stored = f->Calculated() ? calcFor(r).at(s) : r->values.at(s);
            const QVariant& wanted = key.at(static_cast<qsizetype>(i));
            if (options == TLocateOptions() || !isTextType(f->DataType())) {
                equal = tdataset::sameValue(stored, wanted);
            } else {
                const QString text = stored.toString();
                equal = partial ? text.startsWith(wanted.toString(), cs) : text.compare(wanted.toString(), cs) == 0;
            }
        }
        if (equal)
            return r->pos;
    }
    return -1;
}

void TDataSetPrivate::removeRecordAt(int pos) {
    rows.erase(rows.begin() + pos);
    renumber(pos, static_cast<int>(rows.size()) - 1);
}

void TDataSetPrivate::cancelInsert() {
    const int pos = cur;
    removeRecordAt(pos);
    ++version;
    if (rows.empty()) {
        cur = -1;
        bof = eof = true;
    } else {
        cur = beforeInsert ? beforeInsert->pos : std::min(pos, static_cast<int>(rows.size()) - 1);
        bof = eof = false;
    }
    beforeInsert = nullptr;
    setState(TDataSetState::dsBrowse);
    emitRecordChanged(pos);
    settle(false);
}

void TDataSetPrivate::emitDataReset() {
    if (disableCount > 0) {
        pendingReset = true;
        return;
    }
    Q_EMIT q->dataReset();
}

void TDataSetPrivate::emitRecordChanged(int row) {
    if (disableCount > 0) {
        pendingReset = true;
        return;
    }
    Q_EMIT q->recordChanged(row);
}

void TDataSetPrivate::emitCursorMoved() {
    if (disableCount > 0) {
        pendingReset = true;
        return;
    }
    Q_EMIT q->cursorMoved();
}

void TDataSetPrivate::emitStateChanged() {
    if (disableCount > 0) {
        pendingReset = true;
        return;
    }
    Q_EMIT q->stateChanged();
}

// --- TDataSet: fields ---

TDataSet::TDataSet(const QString& name, QObject* parent) : QObject(parent), d(std::make_unique<TDataSetPrivate>(this)) {
    setObjectName(name);
}

TDataSet::~TDataSet() = default;

TField& TDataSet::AddField(const QString& name, TFieldType type, int size, TFieldKind kind) {
    d->requireInactive();
    if (FindField(name))
        throw GeneralError(QStringLiteral("El campo '%1' ya existe en %2.").arg(name, objectName()));
    const int index = static_cast<int>(d->fields.size());
    d->fields.push_back(std::make_unique<TField>(this, name, type, size, kind, index));
    d->slot.push_back(kind == TFieldKind::fkData ? d->dataCount++ : d->calcCount++);
    return *d->fields.back();
}

TField* TDataSet::FindField(const QString& name) const {
    if (TField* spelt = d->fieldsAsSpelt.value(name))
        return spelt;
    for (const auto& f : d->fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) {
            d->fieldsAsSpelt.insert(name, f.get());
            return f.get();
        }
    return nullptr;
}

TField& TDataSet::FieldByName(const QString& name) const {
    if (TField* f = FindField(name))
        return *f;
    throw GeneralError(QStringLiteral("Campo '%1' no encontrado en %2.").arg(name, objectName()));
}

int TDataSet::FieldCount() const { return static_cast<int>(d->fields.size()); }

TField& TDataSet::Field(int index) const {
    if (index < 0 || index >= FieldCount())
        throw GeneralError(
            QStringLiteral("El conjunto de datos %1 no tiene un campo en la posición %2.").arg(objectName()).arg(index));
    return *d->fields[static_cast<size_t>(index)];
}

void TDataSet::ClearFields() {
    d->requireInactive();
    d->keySpecs.clear();
    d->keySpecStore.clear();
    d->keyIndexes.clear();
    d->indexSlots.clear();
    d->fields.clear();
    d->fieldsAsSpelt.clear();
    d->slot.clear();
    d->dataCount = 0;
    d->calcCount = 0;
}

// --- TDataSet: state ---

void TDataSet::Open() {
    if (Active())
        return;
    std::vector<QVariantList> data = InternalOpen();
    try {
        for (const QVariantList& values : data)
            if (values.size() != d->dataCount)
                throw GeneralError(QStringLiteral("El conjunto de datos %1 recibió un registro de %2 valores para %3 campos.")
                                       .arg(objectName())
                                       .arg(values.size())
                                       .arg(d->dataCount));
        d->resolveIndexFieldNames();
    } catch (...) {
        InternalClose();
        throw;
    }
    d->rows.clear();
    d->rows.reserve(data.size());
    for (QVariantList& values : data) {
        auto r = std::make_unique<TDataRecord>();
        r->values = std::move(values);
        r->seq = d->nextSeq++;
        r->id = d->nextId++;
        d->rows.push_back(std::move(r));
    }
    if (d->indexSlots.empty())
        d->renumberAll();
    else
        d->sortRows();
    d->dropIndexes();
    d->cur = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->backup.clear();
    d->beforeInsert = nullptr;
    ++d->version;
    d->cacheId = 0;
    d->state = TDataSetState::dsBrowse;
    const TDataRecord* first = d->currentRecord();
    d->lastCurrentId = first ? first->id : 0;
    d->computeCurrentCalc();
    d->emitStateChanged();
    d->emitDataReset();
    if (AfterOpen)
        AfterOpen(*this);
    d->emitCursorMoved();
    if (AfterScroll)
        AfterScroll(*this);
}

void TDataSet::Close() {
    if (!Active())
        return;
    CheckBrowseMode();
    if (BeforeClose)
        BeforeClose(*this);
    d->rows.clear();
    d->cur = -1;
    d->bof = d->eof = true;
    d->currentCalc.clear();
    d->cacheId = 0;
    d->backup.clear();
    d->beforeInsert = nullptr;
    d->dropIndexes();
    d->indexSlots.clear();
    ++d->version;
    d->state = TDataSetState::dsInactive;
    d->lastCurrentId = TDataSetPrivate::kClosed;
    InternalClose();
    d->emitStateChanged();
    d->emitDataReset();
}

bool TDataSet::Active() const { return d->state != TDataSetState::dsInactive; }

TDataSetState TDataSet::State() const { return d->state; }

// --- TDataSet: navigation ---

void TDataSet::First() {
    d->requireActive();
    CheckBrowseMode();
    d->cur = d->rows.empty() ? -1 : 0;
    d->bof = true;
    d->eof = d->rows.empty();
    d->settle(false);
}

void TDataSet::Last() {
    d->requireActive();
    CheckBrowseMode();
    d->cur = static_cast<int>(d->rows.size()) - 1;
    d->eof = true;
    d->bof = d->rows.empty();
    d->settle(false);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

bool TDataSet::Eof() const { return !Active() || d->eof; }

bool TDataSet::Bof() const { return !Active() || d->bof; }

int TDataSet::RecordCount() const { return Active() ? static_cast<int>(d->rows.size()) : 0; }

int TDataSet::RecNo() const { return Active() ? d->cur + 1 : 0; }

void TDataSet::SetRecNo(int recNo) {
    d->requireActive();
    CheckBrowseMode();
    if (d->rows.empty())
        return;
    d->cur = std::clamp(recNo, 1, static_cast<int>(d->rows.size())) - 1;
    d->bof = d->eof = false;
    d->settle(false);
}

int TDataSet::MoveBy(int count) {
    d->requireActive();
    CheckBrowseMode();
    if (d->rows.empty()) {
        d->bof = d->eof = true;
        return 0;
    }
    if (count == 0)
        return 0;
    const int last = static_cast<int>(d->rows.size()) - 1;
    int target = d->cur + count;
    if (count > 0) {
        d->eof = target > last;
        d->bof = false;
        target = std::min(target, last);
    } else {
        d->bof = target < 0;
        d->eof = false;
        target = std::max(target, 0);
    }
    const int moved = target - d->cur;
    d->cur = target;
    d->settle(false);
    return moved;
}

// --- TDataSet: editing ---

namespace {
void startInsert(TDataSetPrivate& d, TDataSet& q, int pos) {
    d.beforeInsert = d.currentRecord();
    auto r = std::make_unique<TDataRecord>();
    r->values = QVariantList(d.dataCount);
    r->seq = d.nextSeq++;
    r->id = d.nextId++;
    d.rows.insert(d.rows.begin() + pos, std::move(r));
    d.renumber(pos, static_cast<int>(d.rows.size()) - 1);
    if (d.indexSlots.empty() && pos + 1 < static_cast<int>(d.rows.size())) {
        // Inserted inside the insertion order: keep seq equal to that order.
        for (size_t i = 0; i < d.rows.size(); ++i)
            d.rows[i]->seq = static_cast<qint64>(i);
        d.nextSeq = static_cast<qint64>(d.rows.size());
    }
    d.cur = pos;
    d.bof = d.eof = false;
    ++d.version;
    d.setState(TDataSetState::dsInsert);
    d.emitRecordChanged(pos);
    const TDataRecord* now = d.currentRecord();
    const bool changed = now->id != d.lastCurrentId;
    d.lastCurrentId = now->id;
    try {
        d.computeCurrentCalc();
        if (q.OnNewRecord)
            q.OnNewRecord(q);
    } catch (...) {
        d.cancelInsert();
        throw;
    }
    d.emitCursorMoved();
    if (changed && q.AfterScroll)
        q.AfterScroll(q);
}
} // namespace

void TDataSet::Append() {
    d->requireActive();
    CheckBrowseMode();
    startInsert(*d, *this, static_cast<int>(d->rows.size()));
}

void TDataSet::Insert() {
    d->requireActive();
    CheckBrowseMode();
    startInsert(*d, *this, std::max(d->cur, 0));
}

void TDataSet::Edit() {
    d->requireActive();
    if (d->editing())
        return;
    if (d->rows.empty()) {
        Append();
        return;
    }
    d->backup = d->currentRecord()->values;
    d->setState(TDataSetState::dsEdit);
}

void TDataSet::Post() {
    d->requireActive();
    if (!d->editing())
        d->throwNotEditing();
    if (BeforePost)
        BeforePost(*this);
    if (!d->editing())
        return; // the handler settled the record itself
    TDataRecord* r = d->currentRecord();
    for (const auto& f : d->fields)
        if (!f->Calculated() && f->Required() && !r->values.at(d->slot[static_cast<size_t>(f->Index())]).isValid())
            throw GeneralError(QStringLiteral("El campo '%1' debe tener un valor.").arg(f->DisplayLabel()));
    const bool inserting = d->state == TDataSetState::dsInsert;
    for (const auto& index : d->keyIndexes) {
        if (!index->built)
            continue;
        if (inserting) {
            d->indexAdd(*index, r);
            continue;
        }
        bool changed = false;
        for (int s : index->slots)
            changed = changed || !tdataset::sameValue(d->backup.at(s), r->values.at(s));
        if (changed) {
            d->indexRemove(*index, r, d->backup);
            d->indexAdd(*index, r);
        }
    }
    d->backup.clear();
    d->beforeInsert = nullptr;
    ++d->version;
    d->setState(TDataSetState::dsBrowse);
    const bool moved = d->reposition(r);
    d->cur = r->pos;
    d->bof = d->eof = false;
    if (moved)
        d->emitDataReset();
    else
        d->emitRecordChanged(d->cur);
    d->settle(true);
    if (AfterPost)
        AfterPost(*this);
}

void TDataSet::Cancel() {
    d->requireActive();
    if (!d->editing())
        d->throwNotEditing();
    if (d->state == TDataSetState::dsInsert) {
        d->cancelInsert();
        return;
    }
    d->currentRecord()->values = d->backup;
    d->backup.clear();
    ++d->version;
    d->setState(TDataSetState::dsBrowse);
    d->emitRecordChanged(d->cur);
    d->settle(true);
}

void TDataSet::Delete() {
    d->requireActive();
    if (d->state == TDataSetState::dsInsert) {
        d->cancelInsert();
        return;
    }
    if (d->state == TDataSetState::dsEdit) {
        // The pending changes go with the record; the indexes know it by its posted values.
        d->currentRecord()->values = d->backup;
        d->backup.clear();
        d->setState(TDataSetState::dsBrowse);
    }
    if (d->rows.empty())
        throw GeneralError(QStringLiteral("No se puede eliminar: el conjunto de datos %1 está vacío.").arg(objectName()));
    const int pos = d->cur;
    TDataRecord* r = d->currentRecord();
    for (const auto& index : d->keyIndexes)
        if (index->built)
            d->indexRemove(*index, r, r->values);
    d->removeRecordAt(pos);
    ++d->version;
    if (d->rows.empty()) {
        d->cur = -1;
        d->bof = d->eof = true;
    } else {
        d->cur = std::min(pos, static_cast<int>(d->rows.size()) - 1);
        d->bof = d->eof = false;
    }
    d->emitRecordChanged(pos);
    d->settle(false);
}

void TDataSet::CheckBrowseMode() {
    d->requireActive();
    if (d->editing())
        Post();
}

// --- TDataSet: lookup and order ---

bool TDataSet::Locate(const QString& keyFields, const QVariantList& values, TLocateOptions options) {
    d->requireActive();
    CheckBrowseMode();
    TKeySpec& spec = d->keySpec(keyFields);
    const QVariantList key = d->convertKey(spec, values, options);
    const int pos = d->find(spec, key, options);
    if (pos < 0)
        return false;
    d->cur = pos;
    d->bof = d->eof = false;
    d->settle(false);
    return true;
}

QVariant TDataSet::Lookup(const QString& keyFields, const QVariantList& values, const QString& resultFields) {
    d->requireActive();
    CheckBrowseMode();
    TKeySpec& spec = d->keySpec(keyFields);
    const QVariantList key = d->convertKey(spec, values, {});
    const int pos = d->find(spec, key, {});
    std::vector<int> wanted;
    for (const QString& part : resultFields.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            wanted.push_back(FieldByName(part.trimmed()).Index());
    if (pos < 0)
        return QVariant();
    if (wanted.size() == 1)
        return valueAt(pos, wanted.front());
    QVariantList result;
    for (int fi : wanted)
        result.push_back(valueAt(pos, fi));
    return result;
}

QString TDataSet::IndexFieldNames() const { return d->indexFieldNames; }

void TDataSet::SetIndexFieldNames(const QString& fieldNames) {
    if (!Active()) {
        d->indexFieldNames = fieldNames;
        return;
    }
    CheckBrowseMode();
    const QString previous = d->indexFieldNames;
    d->indexFieldNames = fieldNames;
    try {
        d->resolveIndexFieldNames();
    } catch (...) {
        d->indexFieldNames = previous;
        d->resolveIndexFieldNames();
        throw;
    }
    const TDataRecord* keep = d->currentRecord();
    d->sortRows();
    d->cur = keep ? keep->pos : -1;
    d->emitDataReset();
    d->settle(false);
}

void TDataSet::EmptyDataSet() {
    d->requireActive();
    CheckBrowseMode();
    d->rows.clear();
    d->cur = -1;
    d->bof = d->eof = true;
    for (auto& index : d->keyIndexes)
        index->entries.clear(); // still built: an empty index is exact for no records
    ++d->version;
    d->cacheId = 0;
    d->emitDataReset();
    d->settle(false);
}

QVariant TDataSet::valueAt(int row, int fieldIndex) const {
    d->requireActive();
    if (row < 0 || row >= static_cast<int>(d->rows.size()) || fieldIndex < 0 || fieldIndex >= FieldCount())
        return QVariant();
    const TField& f = *d->fields[static_cast<size_t>(fieldIndex)];
    const int s = d->slot[static_cast<size_t>(fieldIndex)];
    TDataRecord* r = d->rows[static_cast<size_t>(row)].get();
    if (!f.Calculated())
        return r->values.at(s);
    if (!d->ctxOverride && row == d->cur)
        return d->currentCalc.value(s);
    return d->calcFor(r).value(s);
}

QString TDataSet::displayTextAt(int row, int fieldIndex) const {
    d->requireActive();
    if (row < 0 || row >= static_cast<int>(d->rows.size()) || fieldIndex < 0 || fieldIndex >= FieldCount())
        return QString();
    const TField& f = *d->fields[static_cast<size_t>(fieldIndex)];
    if (!d->ctxOverride && row == d->cur)
        return f.DisplayText();
    TDataRecord* r = d->rows[static_cast<size_t>(row)].get();
    QVariantList calc = d->calcCount > 0 ? d->calcFor(r) : QVariantList();
    ContextGuard guard(*d, r, &calc);
    return f.DisplayText();
}

// --- controls ---

void TDataSet::DisableControls() { ++d->disableCount; }

void TDataSet::EnableControls() {
    if (d->disableCount == 0)
        return;
    if (--d->disableCount == 0 && d->pendingReset) {
        d->pendingReset = false;
        Q_EMIT dataReset();
        Q_EMIT stateChanged();
        Q_EMIT cursorMoved();
    }
}

bool TDataSet::ControlsDisabled() const { return d->disableCount > 0; }
