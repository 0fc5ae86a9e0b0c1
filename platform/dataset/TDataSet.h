// TDataSet: a set of records with a cursor, the base of in-memory result sets and server queries.
//
// States and their transitions (each operation names the state it needs):
//
//   dsInactive --Open--> dsBrowse --Edit--> dsEdit ----Post/Cancel--> dsBrowse
//                          |  ^  \--Append/Insert--> dsInsert --Post/Cancel--^
//                          |  +-------------------------------------Close--> dsInactive
//
// - Edit on an empty dataset is an Append (the suite's data-access layer behaves so).
// - Navigation, Locate, Close and EmptyDataSet in edit or insert state first Post the pending record.
// - Post, Cancel outside edit/insert state and writing a field in browse state are errors with a clear
//   Spanish message (GeneralError), never silent.
// - Records are held in insertion order; with IndexFieldNames set, the cursor walks an ordered view
//   (ascending, stable, nulls first) that follows every Post and Delete.
// - Locate without options looks the key up in a hash index built once per key-field list and kept up to
//   date on Post and Delete, so a find-or-append merge costs O(1) per row. The partial-key and
//   case-insensitive variants scan.
// - Calculated fields are computed by OnCalcFields each time a record becomes current and after a Post;
//   they are never stored with the record.
// - Events: AfterOpen, AfterScroll (every time the current record changes, including First on open),
//   BeforePost (may throw: the record stays in edit/insert state), AfterPost, OnNewRecord (after
//   Append/Insert set the state), OnCalcFields.
#pragma once

#include "FieldTypes.h"
#include "TField.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

class TDataSetPrivate;

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(const QString& name = QString(), QObject* parent = nullptr);
    ~TDataSet() override;

    QString Name() const { return objectName(); }

    // --- field definitions (only while inactive) ---
    TField& AddField(const QString& name, TFieldType type, int size = 0,
                     TFieldKind kind = TFieldKind::fkData);
    TField* FindField(const QString& name) const;
    // Throws GeneralError "Campo 'NAME' no encontrado en DATASET." when absent.
    TField& FieldByName(const QString& name) const;
    int FieldCount() const;
    TField& Field(int index) const;
    // Drops every field definition (only while inactive).
    void ClearFields();

    // --- state ---
    void Open();
    void Close();
    bool Active() const;
    void SetActive(bool active) { active ? Open() : Close(); }
    TDataSetState State() const;

    // --- navigation ---
    void First();
    void Last();
    void Next();
    void Prior();
    // Eof and Bof read true, RecordCount 0, on an inactive dataset.
    bool Eof() const;
    bool Bof() const;
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    // 1-based position of the current record in the current order, 0 when there is none.
    int RecNo() const;
    void SetRecNo(int recNo);
    // Moves by count records (negative: backwards); returns the number actually moved.
    int MoveBy(int count);

    // --- editing ---
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts a pending edit, if any (no-op in browse state).
    void CheckBrowseMode();

    // Finds the first record whose keyFields (names joined by ";") equal values (one per key field, in
    // the same order; a single key may be given as a one-element list). Values are converted to each
    // field's type before comparing. Found: the record becomes current and true is returned; otherwise the
    // cursor stays where it was.
    bool Locate(const QString& keyFields, const QVariantList& values, TLocateOptions options = {});
    // Reads field values of the first matching record without moving the cursor; invalid when none.
    QVariant Lookup(const QString& keyFields, const QVariantList& values, const QString& resultFields);

    QString IndexFieldNames() const;
    void SetIndexFieldNames(const QString& fieldNames);

    // Removes every record; the dataset stays open in browse state.
    void EmptyDataSet();

    // Value of a field in the record at position row (0-based, current order) without moving the cursor;
    // for grids and the report engine. Calculated fields are computed for that record.
    QVariant valueAt(int row, int fieldIndex) const;
    // Display text (TField::DisplayText, so OnGetText runs) of a field in the record at row, without
    // moving the cursor.
    QString displayTextAt(int row, int fieldIndex) const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

    std::function<void(TDataSet&)> AfterOpen;
    std::function<void(TDataSet&)> BeforeClose;
    std::function<void(TDataSet&)> AfterScroll;
    std::function<void(TDataSet&)> BeforePost;
    std::function<void(TDataSet&)> AfterPost;
    std::function<void(TDataSet&)> OnNewRecord;
    std::function<void(TDataSet&)> OnCalcFields;

Q_SIGNALS:
    // Emitted for grids: the whole content changed (open, close, empty, reorder).
    void dataReset();
    // A record was changed, inserted or deleted at a row of the current order.
    void recordChanged(int row);
    // The current record or the state changed.
    void cursorMoved();
    void stateChanged();

protected:
    // Subclasses supply the records on Open: one QVariantList per record, one value per data field in
    // field order, already converted to the fields' types (null = invalid QVariant).
    virtual std::vector<QVariantList> InternalOpen() = 0;
    // Called on Close after the records are dropped.
    virtual void InternalClose() {}

private:
    friend class TField;
    friend class TDataSetPrivate;
    std::unique_ptr<TDataSetPrivate> d;
};
