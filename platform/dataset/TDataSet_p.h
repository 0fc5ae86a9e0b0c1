// Internals of TDataSet, shared with TField (which reads and writes through the dataset's current record).
//
// Invariants kept by every operation:
//   1. rows holds every record in the current order (insertion order, or IndexFieldNames order); each
//      record's pos is its index in rows.
//   2. Without IndexFieldNames, seq increases along rows; with it, rows is sorted by the index fields and
//      then by seq, so ties keep insertion order.
//   3. cur is -1 exactly when rows is empty; otherwise it is the current record's position.
//   4. A built key index holds every record except the one pending in insert state, under the values it
//      had when it was last posted (the record in edit state keeps its old key until Post).
//   5. currentCalc holds the calculated values of the current record, computed when it became current.
#pragma once

#include "TDataSet.h"

#include <QHash>
#include <QVariantList>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct TDataRecord {
    QVariantList values; // one per data field, in field order
    qint64 seq = 0;      // insertion rank: the order without IndexFieldNames
    int pos = 0;         // position in the current order
    quint64 id = 0;      // identity, never reused while the dataset lives
};

// Hash index over one list of data fields. Entries are keyed by the hash of the key values only; equal
// hashes are told apart by comparing the records' values, so no key copies are kept.
struct TKeyIndex {
    std::vector<int> slots; // data slots of the key fields
    bool built = false;
    std::unordered_multimap<size_t, TDataRecord*> entries;
};

// A resolved key-field list as Locate receives it.
struct TKeySpec {
    std::vector<TField*> fields;
    TKeyIndex* index = nullptr; // null when a key field is calculated (such keys are scanned)
};

class TDataSetPrivate {
public:
    explicit TDataSetPrivate(TDataSet* owner) : q(owner) {}

    TDataSet* q;

    // --- fields ---
    std::vector<std::unique_ptr<TField>> fields;
    // Fields by their name as it was spelt, for the lookups of every row (names are matched without case
    // when the spelling differs).
    QHash<QString, TField*> fieldsAsSpelt;
    std::vector<int> slot; // per field: its data slot, or its calculated slot
    int dataCount = 0;
    int calcCount = 0;

    // --- records and cursor ---
    TDataSetState state = TDataSetState::dsInactive;
    std::vector<std::unique_ptr<TDataRecord>> rows;
    int cur = -1;
    bool bof = true;
    bool eof = true;
    qint64 nextSeq = 0;
    quint64 nextId = 1;
    // Identity of the record that AfterScroll last saw current; 0 for none, kClosed before the first
    // record of an open is shown.
    static constexpr quint64 kClosed = UINT64_MAX;
    quint64 lastCurrentId = kClosed;
    // Values of the record in edit state as they were when Edit began (for Cancel and the key indexes).
    QVariantList backup;
    // The record that was current when Append or Insert began; Cancel returns to it.
    TDataRecord* beforeInsert = nullptr;

    // --- field access context: normally the current record; valueAt and displayTextAt point it at
    // another record for the duration of one read ---
    bool ctxOverride = false;
    TDataRecord* ctxRecord = nullptr;
    QVariantList* ctxCalc = nullptr;
    QVariantList currentCalc;
    // Calculated values of the last record computed for valueAt, valid while version is unchanged.
    quint64 version = 0;
    quint64 cacheId = 0;
    quint64 cacheVersion = 0;
    QVariantList cacheCalc;

    // --- ordering and lookup ---
    QString indexFieldNames;
    std::vector<int> indexSlots;
    std::vector<std::unique_ptr<TKeyIndex>> keyIndexes;
    // By key text as callers spell it; specs are held apart so a reference survives later insertions.
    QHash<QString, TKeySpec*> keySpecs;
    std::vector<std::unique_ptr<TKeySpec>> keySpecStore;

    // --- controls ---
    int disableCount = 0;
    bool pendingReset = false;

    // --- helpers ---
    QString name() const { return q->objectName(); }
    [[noreturn]] void throwInactive() const;
    [[noreturn]] void throwNotEditing() const;
    void requireActive() const;
    void requireInactive() const;
    bool editing() const {
        return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
    }

    TDataRecord* currentRecord() const { return cur >= 0 ? rows[static_cast<size_t>(cur)].get() : nullptr; }
    TDataRecord* activeRecord() const { return ctxOverride ? ctxRecord : currentRecord(); }
    QVariantList* activeCalc() { return ctxOverride ? ctxCalc : &currentCalc; }

    QVariant fieldValue(const TField& field);
    void setFieldValue(TField& field, const QVariant& value);

    // Computes the calculated fields of record into calc (all null when there is no handler).
    void computeCalc(TDataRecord* record, QVariantList& calc);
    void computeCurrentCalc();
    const QVariantList& calcFor(TDataRecord* record);
    // Announces a cursor change: recomputes the current calculated values when the record changed (or
    // always, with forceCalc) and runs AfterScroll when the record changed.
    void settle(bool forceCalc);
    void setState(TDataSetState newState);

    void renumber(int from, int to);
    void renumberAll() { renumber(0, static_cast<int>(rows.size()) - 1); }
    int compareRecords(const TDataRecord& a, const TDataRecord& b) const;
    void sortRows();
    // Moves a posted record to its place in the IndexFieldNames order; true when it moved.
    bool reposition(TDataRecord* record);
    void resolveIndexFieldNames();

    TKeySpec& keySpec(const QString& keyFields);
    void ensureBuilt(TKeyIndex& index);
    void indexAdd(TKeyIndex& index, TDataRecord* record);
    void indexRemove(TKeyIndex& index, TDataRecord* record, const QVariantList& values);
    void dropIndexes();
    // Position of the first record matching values (already converted), or -1.
    int find(TKeySpec& spec, const QVariantList& values, TLocateOptions options);
    QVariantList convertKey(const TKeySpec& spec, const QVariantList& values, TLocateOptions options) const;

    void removeRecordAt(int pos);
    void cancelInsert();

    void emitDataReset();
    void emitRecordChanged(int row);
    void emitCursorMoved();
    void emitStateChanged();
};

// Equality, order and hash of stored values. Values of one field always share one type (TField::convert
// made them so), so these compare without converting.
namespace tdataset {
bool sameValue(const QVariant& a, const QVariant& b);
// Nulls first; numbers by value; text by code point.
int compareValues(const QVariant& a, const QVariant& b);
size_t hashValue(const QVariant& v);
} // namespace tdataset
