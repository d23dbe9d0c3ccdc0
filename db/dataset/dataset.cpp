#include "db/dataset/dataset.h"

#include <algorithm>
#include <exception>

#include "base/text.h"
#include "db/dataset/data_source.h"
#include "db/dataset/fields.h"

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(data_sources_)) source->DataSetGone();
}

void TDataSet::Fire(const TDataSetNotifyEvent& event, TDataSet& dataSet) {
  if (event) event(dataSet);
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
  // A source may be detached while an earlier one hears the event.
  for (TDataSource* source : std::vector<TDataSource*>(data_sources_)) {
    if (std::find(data_sources_.begin(), data_sources_.end(), source) != data_sources_.end()) {
      source->DataEvent(event, field);
    }
  }
}

void TDataSet::StateAndRecordsChanged() {
  DataEvent(TDataEvent::deUpdateState);
  DataEvent(TDataEvent::deDataSetChange);
}

// --- State checks ---

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
}

bool TDataSet::IsEmpty() const noexcept {
  return !Active() || (bof_ && eof_ && state_ != TDataSetState::dsInsert);
}

// --- Open and close ---

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen, *this);
  try {
    InternalOpen();
    if (fields_.empty()) {
      CreateFields();
    } else {
      BindFields();
    }
    state_ = TDataSetState::dsBrowse;
    InternalFieldsReady();
    bof_ = true;
    eof_ = InternalFirst() != TGetResult::grOK;
  } catch (...) {
    try {
      InternalClose();
    } catch (...) {
      // The open's own failure is the one to report.
    }
    DestroyDefaultFields();
    state_ = TDataSetState::dsInactive;
    bof_ = eof_ = true;
    modified_ = false;
    throw;
  }
  StateAndRecordsChanged();
  Fire(AfterOpen, *this);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(BeforeClose, *this);
  std::exception_ptr failure;
  try {
    InternalClose();
  } catch (...) {
    failure = std::current_exception();
  }
  DestroyDefaultFields();
  state_ = TDataSetState::dsInactive;
  bof_ = eof_ = true;
  modified_ = false;
  StateAndRecordsChanged();
  if (failure) std::rethrow_exception(failure);
  Fire(AfterClose, *this);
}

void TDataSet::DestroyDefaultFields() {
  if (default_fields_) fields_.clear();
  default_fields_ = false;
}

// --- Fields ---

TField& TDataSet::AddField(std::unique_ptr<TField> field) {
  CheckInactive();
  field->data_set_ = this;
  fields_.push_back(std::move(field));
  return *fields_.back();
}

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) {
    throw EListError(Format("List index out of bounds (%d)", index));
  }
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view fieldName) const {
  for (const auto& field : fields_) {
    if (SameText(field->FieldName(), fieldName)) return field.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view fieldName) const {
  TField* field = FindField(fieldName);
  if (!field) DatabaseErrorFmt("Field '%s' not found", this, fieldName);
  return *field;
}

void TDataSet::CreateFields() {
  for (const TFieldDef& def : field_defs_) {
    std::unique_ptr<TField> field = CreateField(def, this);
    field->data_set_ = this;
    field->field_no_ = def.FieldNo;
    fields_.push_back(std::move(field));
    default_fields_ = true;
  }
}

namespace {

// Types a persistent field may be bound to besides its own: the text kinds among themselves, an
// auto-increment column to an integer field.
bool CompatibleTypes(TFieldType fieldType, TFieldType defType) {
  auto isText = [](TFieldType t) {
    return t == TFieldType::ftString || t == TFieldType::ftFixedChar ||
           t == TFieldType::ftWideString;
  };
  if (fieldType == defType) return true;
  if (isText(fieldType) && isText(defType)) return true;
  return fieldType == TFieldType::ftInteger && defType == TFieldType::ftAutoInc;
}

}  // namespace

void TDataSet::BindFields() {
  for (const auto& field : fields_) {
    field->field_no_ = 0;
    if (field->FieldKind() != TFieldKind::fkData) continue;
    const TFieldDef* def = field_defs_.Find(field->FieldName());
    if (!def) DatabaseErrorFmt("Field '%s' not found", this, field->DisplayName());
    if (!CompatibleTypes(field->DataType(), def->DataType)) {
      DatabaseErrorFmt("Type mismatch for field '%s', expecting: %s actual: %s", this,
                       field->DisplayName(), FieldTypeName(field->DataType()),
                       FieldTypeName(def->DataType));
    }
    field->field_no_ = def->FieldNo;
  }
}

void TDataSet::WriteField(TField& field, const void* data, std::uint32_t size) {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    DatabaseError("Dataset not in edit or insert mode", this);
  }
  if (field.ReadOnly()) {
    DatabaseErrorFmt("Field '%s' cannot be modified", nullptr, field.DisplayName());
  }
  SetFieldData(field, data, size);
  modified_ = true;
  DataEvent(TDataEvent::deFieldChange, &field);
}

// --- Moves ---

void TDataSet::First() {
  CheckBrowseMode();
  bof_ = true;
  eof_ = InternalFirst() != TGetResult::grOK;
  DataEvent(TDataEvent::deDataSetScroll);
}

bool TDataSet::StepForward() {
  if (eof_) return false;
  bof_ = false;
  if (InternalNext() == TGetResult::grOK) return true;
  eof_ = true;
  return false;
}

bool TDataSet::StepBackward() {
  if (bof_) return false;
  eof_ = false;
  if (InternalPrior() == TGetResult::grOK) return true;
  bof_ = true;
  return false;
}

void TDataSet::Next() {
  CheckBrowseMode();
  if (eof_) return;
  StepForward();
  DataEvent(TDataEvent::deDataSetScroll);
}

void TDataSet::Prior() {
  CheckBrowseMode();
  if (bof_) return;
  StepBackward();
  DataEvent(TDataEvent::deDataSetScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  eof_ = true;
  bof_ = InternalLast() != TGetResult::grOK;
  DataEvent(TDataEvent::deDataSetScroll);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if (distance == 0) return 0;
  int moved = 0;
  for (; distance > 0 && !eof_; --distance) {
    if (StepForward()) ++moved;
  }
  for (; distance < 0 && !bof_; ++distance) {
    if (StepBackward()) --moved;
  }
  DataEvent(TDataEvent::deDataSetScroll);
  return moved;
}

std::int64_t TDataSet::RecordCount() {
  CheckActive();
  return GetRecordCount();
}

std::int64_t TDataSet::RecNo() const {
  return Active() ? GetRecNo() : 0;
}

void TDataSet::ForEachRecord(const std::function<bool(std::int64_t recNo)>& visit) {
  if (!Active()) return;
  std::int64_t recNo = 0;
  VisitRecords([&] { return visit(++recNo); });
}

TGetResult TDataSet::InternalPrior() {
  DatabaseError("Operation not allowed on a unidirectional dataset", this);
}

TGetResult TDataSet::InternalLast() {
  if (InternalFirst() != TGetResult::grOK) return TGetResult::grEOF;
  while (InternalNext() == TGetResult::grOK) {
  }
  return TGetResult::grOK;
}

// --- Editing ---

void TDataSet::RunProtected(const std::function<void()>& step, const TDataSetErrorEvent& event) {
  for (;;) {
    try {
      step();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = TDataAction::daFail;
      if (event) event(*this, e, action);
      if (action == TDataAction::daFail) throw;
      if (action == TDataAction::daAbort) Abort();
    }
  }
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  DataEvent(TDataEvent::deUpdateRecord);
  if (modified_) {
    Post();
  } else {
    Cancel();
  }
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
  if (IsEmpty()) return Insert();
  if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
  Fire(BeforeEdit, *this);
  RunProtected([this] { InternalEdit(); }, OnEditError);
  state_ = TDataSetState::dsEdit;
  modified_ = false;
  DataEvent(TDataEvent::deUpdateState);
  Fire(AfterEdit, *this);
}

void TDataSet::Insert() {
  StartInsert(false);
}

void TDataSet::Append() {
  StartInsert(true);
}

void TDataSet::StartInsert(bool append) {
  CheckBrowseMode();
  if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
  Fire(BeforeInsert, *this);
  InternalInsert(append);
  insert_bof_ = bof_;
  insert_eof_ = eof_;
  appending_ = append;
  state_ = TDataSetState::dsInsert;
  bof_ = eof_ = false;
  try {
    Fire(OnNewRecord, *this);
  } catch (...) {
    InternalCancel();
    state_ = TDataSetState::dsBrowse;
    bof_ = insert_bof_;
    eof_ = insert_eof_;
    modified_ = false;
    throw;
  }
  // Values set by OnNewRecord are defaults: leaving the record untouched still drops it.
  modified_ = false;
  StateAndRecordsChanged();
  Fire(AfterInsert, *this);
}

void TDataSet::Post() {
  CheckActive();
  DataEvent(TDataEvent::deUpdateRecord);
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  Fire(BeforePost, *this);
  TGetResult result = TGetResult::grOK;
  RunProtected(
      [this, &result] {
        CheckRequiredFields();
        result = InternalPost();
      },
      OnPostError);
  if (result != TGetResult::grOK) {
    bof_ = eof_ = true;
  } else if (state_ == TDataSetState::dsInsert) {
    bof_ = eof_ = false;
  }
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  StateAndRecordsChanged();
  Fire(AfterPost, *this);
}

void TDataSet::Cancel() {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  Fire(BeforeCancel, *this);
  InternalCancel();
  if (state_ == TDataSetState::dsInsert) {
    bof_ = insert_bof_;
    eof_ = insert_eof_;
  }
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  StateAndRecordsChanged();
  Fire(AfterCancel, *this);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == TDataSetState::dsInsert) return Cancel();
  if (IsEmpty()) DatabaseError("Cannot perform this operation on an empty dataset", this);
  if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
  // The record goes anyway: an edit in progress on it has nothing left to apply to.
  Cancel();
  Fire(BeforeDelete, *this);
  TGetResult result = TGetResult::grOK;
  RunProtected([this, &result] { result = InternalDelete(); }, OnDeleteError);
  state_ = TDataSetState::dsBrowse;
  bof_ = eof_ = result != TGetResult::grOK;
  StateAndRecordsChanged();
  Fire(AfterDelete, *this);
}

void TDataSet::CheckRequiredFields() {
  for (const auto& field : fields_) {
    if (field->Required() && !field->ReadOnly() && field->FieldKind() == TFieldKind::fkData &&
        field->IsNull()) {
      DatabaseErrorFmt("Field '%s' must have a value", nullptr, field->DisplayName());
    }
  }
}

void TDataSet::InternalEdit() {
  DatabaseError("Cannot modify a read-only dataset", this);
}

void TDataSet::InternalInsert(bool) {
  DatabaseError("Cannot modify a read-only dataset", this);
}

TGetResult TDataSet::InternalPost() {
  DatabaseError("Cannot modify a read-only dataset", this);
}

void TDataSet::InternalCancel() {}

TGetResult TDataSet::InternalDelete() {
  DatabaseError("Cannot modify a read-only dataset", this);
}
