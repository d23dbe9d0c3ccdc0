// TDataSet: the base of every dataset, a cursor over records with fields.
//
// It keeps the state (closed, browsing, editing, inserting), the Bof/Eof flags and the fields,
// and runs the open, close, move and edit operations as template methods: the order of their
// steps, their checks, their events and their messages live here; what touches the records lives
// in the protected hooks a subclass implements. Messages raised here carry the dataset's Name as
// a prefix ("CAjuste: Cannot perform this operation on a closed dataset"), except the required
// field message "Field '%s' must have a value", which has none.
//
// Fields are either persistent (added before opening, kept across closes and bound to the field
// definitions at every open) or, when there are none, created one per field definition at open
// and destroyed at close. The dataset owns its fields.
//
// Bof is set after First and when a move backward finds no further record; Eof after Last, when a
// move forward finds no further record, and whenever the dataset holds no record. IsEmpty is Bof
// and Eof together outside of inserting.
//
// Edit, Post and Delete run their protected step under their error event: an EDatabaseError (or
// descendant) raised by the step calls the event with the action daFail; daFail lets the error
// pass on, daAbort replaces it with a silent EAbort, daRetry runs the step again. Other
// exceptions pass untouched.
//
// Controls follow the dataset through data sources (data_source.h): every open, close, move,
// change of state, change of the records and field write is told to them as it happens, and
// before a post (or a move that posts) they are asked to write what the user typed.
//
// A subclass must call Close() in its own destructor: the hooks are gone by the time the base
// destructor runs. Single-threaded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/component.h"
#include "base/exceptions.h"
#include "base/format_settings.h"
#include "db/dataset/field.h"
#include "db/dataset/field_defs.h"
#include "db/dataset/field_type.h"

class TDataSet;
class TDataSource;

// What a dataset tells its data sources (see data_source.h).
enum class TDataEvent : std::uint8_t {
  deFieldChange,    // a field of the active record was written
  deDataSetChange,  // the records changed: opened, closed, inserted, posted, cancelled, deleted
  deDataSetScroll,  // the current record moved
  deUpdateRecord,   // a post is about to take the active record: write what was typed
  deUpdateState,    // the state changed
};

using TDataSetNotifyEvent = std::function<void(TDataSet& dataSet)>;
using TDataSetErrorEvent =
    std::function<void(TDataSet& dataSet, EDatabaseError& e, TDataAction& action)>;

// The outcome of a move hook.
enum class TGetResult : std::uint8_t { grOK, grBOF, grEOF };

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;

  // The regional settings the fields write and read text with.
  FormatSettings Settings;

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, OnNewRecord;
  TDataSetErrorEvent OnEditError, OnPostError, OnDeleteError;

  TDataSetState State() const noexcept { return state_; }
  bool Active() const noexcept { return state_ != TDataSetState::dsInactive; }
  void SetActive(bool on) { on ? Open() : Close(); }

  // Opens the source, sets up the fields and makes the first record current. Does nothing when
  // open already. A failure leaves the dataset closed (the close hook has run).
  void Open();
  // Discards an edit in progress, closes the source and drops the fields created at open. Does
  // nothing when closed.
  void Close();

  bool Bof() const noexcept { return bof_; }
  bool Eof() const noexcept { return eof_; }
  // True when closed or when no record is held (an inserted record counts).
  bool IsEmpty() const noexcept;

  // Moves post a pending edit first (or cancel it when nothing was changed).
  // REQUIRES (all): Active(); otherwise "Cannot perform this operation on a closed dataset".
  void First();
  void Next();
  void Prior();
  void Last();
  // Moves by `distance` records (negative: backward); answers how many records it moved.
  int MoveBy(int distance);
  // Records in the dataset; -1 when the dataset cannot tell. REQUIRES: Active().
  std::int64_t RecordCount();
  // 1-based position of the current record among the visible records (while inserting: of the
  // record the new one stands before); 0 when there is none or the dataset cannot tell.
  std::int64_t RecNo() const;
  // Calls `visit` once per visible record, in order, with its 1-based position; while it runs,
  // the fields read that record instead of the active one. Moves nothing: afterwards the current
  // and the active record (an edit or insert in progress included), the state and Bof/Eof are as
  // they were, also when `visit` throws. `visit` answers false to stop. Visits nothing when the
  // dataset is closed or cannot show several records. For controls that show several records.
  void ForEachRecord(const std::function<bool(std::int64_t recNo)>& visit);

  // Whether a field was written since the edit or insert began.
  bool Modified() const noexcept { return modified_; }
  // Whether the record being inserted goes after the last one (Append rather than Insert).
  bool Appending() const noexcept { return state_ == TDataSetState::dsInsert && appending_; }
  // Whether records can be edited, inserted and deleted at all.
  virtual bool CanModify() const { return false; }

  // Starts editing the current record. Nothing when editing or inserting already; an empty
  // dataset inserts instead. "Cannot modify a read-only dataset" unless CanModify().
  void Edit();
  // Starts a new record before the current one (Insert) or after the last one (Append), after
  // posting a pending edit. "Cannot modify a read-only dataset" unless CanModify().
  void Insert();
  void Append();
  // Writes the edited or inserted record. Nothing unless editing or inserting. A required data
  // field that is not read-only and is null fails with "Field '%s' must have a value" (the first
  // in field order, by display label). On failure the state and the values stay as they were.
  // A record the source no longer shows gives way as a deleted one does; with none left the
  // dataset is empty (Bof and Eof).
  void Post();
  // Drops an inserted record or restores an edited one. Nothing unless editing or inserting.
  void Cancel();
  // Removes the current record (cancels instead while inserting); the next record becomes
  // current, or the previous one when none follows. "Cannot perform this operation on an empty
  // dataset" when there is none; "Cannot modify a read-only dataset" unless CanModify().
  void Delete();
  // Posts a pending edit, or cancels it when nothing was changed. REQUIRES: Active().
  void CheckBrowseMode();

  TFieldDefs& FieldDefs() noexcept { return field_defs_; }
  const TFieldDefs& FieldDefs() const noexcept { return field_defs_; }

  int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
  // REQUIRES: 0 <= index < FieldCount(); otherwise throws EListError.
  TField& Fields(int index) const;
  // The first field with that FieldName, ignoring ASCII case; null when none.
  TField* FindField(std::string_view fieldName) const;
  // As FindField; "Field '%s' not found" (with the dataset prefix) when none.
  TField& FieldByName(std::string_view fieldName) const;
  // True while the fields are the ones created from the field definitions at open.
  bool DefaultFields() const noexcept { return default_fields_; }

  // Adds a persistent field; the dataset takes ownership. REQUIRES: the dataset is closed
  // ("Cannot perform this operation on an open dataset") and the field belongs to no dataset.
  TField& AddField(std::unique_ptr<TField> field);
  template <typename F>
  F& AddField(std::string fieldName) {
    auto field = std::make_unique<F>();
    field->SetFieldName(std::move(fieldName));
    F& result = *field;
    AddField(std::move(field));
    return result;
  }

 protected:
  // --- Hooks of the source. ---

  // Opens the source and fills FieldDefs(). Throwing is fine: InternalClose follows.
  virtual void InternalOpen() = 0;
  // Runs once the fields are created or bound, before the first record is made current.
  // Throwing is fine: InternalClose follows.
  virtual void InternalFieldsReady() {}
  // Releases the source and every record. Runs also after a failed open, so it must cope with
  // a half-open source. It may throw only after it has released everything: Close() still
  // leaves the dataset closed and then lets the failure pass on; a failed open reports its own
  // failure instead.
  virtual void InternalClose() = 0;
  // Make the first record current: grOK, or grEOF when there is none.
  virtual TGetResult InternalFirst() = 0;
  // Make the next record current: grOK, or grEOF leaving the current record as it was.
  virtual TGetResult InternalNext() = 0;
  // Make the previous record current: grOK, or grBOF leaving the current record as it was.
  // Default: "Operation not allowed on a unidirectional dataset".
  virtual TGetResult InternalPrior();
  // Make the last record current: grOK, or grEOF when there is none. Default: first, then next
  // until there is no next.
  virtual TGetResult InternalLast();
  // Default -1 (unknown).
  virtual std::int64_t GetRecordCount() { return -1; }
  // The 1-based position of the source's current record among the visible ones; 0 when none.
  // Default 0 (unknown).
  virtual std::int64_t GetRecNo() const { return 0; }
  // Runs `visit` once per visible record, in order, with GetFieldData reading that record, until
  // `visit` answers false; then reads the active record again, also when `visit` throws. Moves
  // nothing the dataset can see. Default: visits nothing.
  virtual void VisitRecords(const std::function<bool()>& visit) { (void)visit; }

  // The native bytes (see field_type.h) of `field` in the active record: the edited or inserted
  // record while editing or inserting, else the current record. False when null or when there is
  // no record. The view stays valid until the record next changes.
  virtual bool GetFieldData(const TField& field, TFieldData& out) const = 0;
  // Writes native bytes of `field` into the edited or inserted record; null `data` writes null.
  // Called only while editing or inserting, with the field writable.
  virtual void SetFieldData(const TField& field, const void* data, std::uint32_t size) = 0;

  // --- Hooks of editing; the defaults refuse with "Cannot modify a read-only dataset". ---

  // The protected step of Edit: take a copy of the current record to edit.
  virtual void InternalEdit();
  // Prepare an empty record to insert, before the current record or (append) after the last.
  // Refusals raised here are not under an error event.
  virtual void InternalInsert(bool append);
  // The protected step of Post, after the required fields were checked: write the record and
  // refresh the current one. A written record that may no longer be shown (outside a filter)
  // leaves at once, and the next record becomes current, or the previous one when none follows.
  // grOK when a record is current afterwards, grEOF when none is left.
  virtual TGetResult InternalPost();
  // Drop the inserted record or the edited copy.
  virtual void InternalCancel();
  // The protected step of Delete: remove the current record and make the next (or else the
  // previous) one current. grOK when a record is current afterwards, grEOF when none is left.
  virtual TGetResult InternalDelete();

  // --- Steps a subclass may reshape. ---

  // The first check of Post's protected step.
  virtual void CheckRequiredFields();
  // Fields for every field definition (DefaultFields), or persistent fields given their field
  // numbers: a data field without a definition fails with "Field '%s' not found", one of another
  // type with "Type mismatch for field '%s', expecting: %s actual: %s" (display name, the field's
  // type name, the definition's), both with the dataset prefix.
  virtual void CreateFields();
  virtual void BindFields();

  // Runs `step` under `event` as described at the top.
  void RunProtected(const std::function<void()>& step, const TDataSetErrorEvent& event);

  void CheckActive() const;
  void CheckInactive() const;
  void SetState(TDataSetState state) noexcept { state_ = state; }
  void SetBofEof(bool bof, bool eof) noexcept {
    bof_ = bof;
    eof_ = eof;
  }
  void SetModified(bool on) noexcept { modified_ = on; }
  // Tells the data sources.
  void DataEvent(TDataEvent event, TField* field = nullptr);

 private:
  friend class TField;
  friend class TDataSource;

  // Called by TField::SetData: state and read-only checks, then the hook.
  void WriteField(TField& field, const void* data, std::uint32_t size);
  void DestroyDefaultFields();
  void StartInsert(bool append);
  // One step without posting or telling anyone; false when there was no record to step to.
  bool StepForward();
  bool StepBackward();
  // The state changed and the records with it.
  void StateAndRecordsChanged();
  static void Fire(const TDataSetNotifyEvent& event, TDataSet& dataSet);

  TFieldDefs field_defs_;
  std::vector<std::unique_ptr<TField>> fields_;
  bool default_fields_ = false;
  TDataSetState state_ = TDataSetState::dsInactive;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  bool appending_ = false;
  std::vector<TDataSource*> data_sources_;
  // Bof and Eof as they were before an insert, for its cancel.
  bool insert_bof_ = true;
  bool insert_eof_ = true;
};
