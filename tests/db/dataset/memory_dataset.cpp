#include "tests/db/dataset/memory_dataset.h"

TMemoryDataSet::TMemoryDataSet(std::vector<TFieldDef> defs, TComponent* owner)
    : TDataSet(owner), defs_(std::move(defs)) {
  SetName("MemData");
}

TMemoryDataSet::~TMemoryDataSet() {
  Close();
}

void TMemoryDataSet::InternalOpen() {
  if (onOpen) onOpen();
  FieldDefs().Clear();
  for (const TFieldDef& def : defs_) FieldDefs().Add(def);
  current_ = 0;
}

void TMemoryDataSet::InternalClose() {
  ++closeCalls;
  buffer_.clear();
  current_ = 0;
  if (onClose) onClose();
}

TGetResult TMemoryDataSet::InternalFirst() {
  current_ = 0;
  return rows.empty() ? TGetResult::grEOF : TGetResult::grOK;
}

TGetResult TMemoryDataSet::InternalNext() {
  if (current_ + 1 >= static_cast<int>(rows.size())) return TGetResult::grEOF;
  ++current_;
  return TGetResult::grOK;
}

TGetResult TMemoryDataSet::InternalPrior() {
  if (forwardOnly) return TDataSet::InternalPrior();
  if (current_ == 0) return TGetResult::grBOF;
  --current_;
  return TGetResult::grOK;
}

TGetResult TMemoryDataSet::InternalLast() {
  if (rows.empty()) return TGetResult::grEOF;
  current_ = static_cast<int>(rows.size()) - 1;
  return TGetResult::grOK;
}

void TMemoryDataSet::VisitRecords(const std::function<bool()>& visit) {
  struct Restore {
    int& visiting;
    ~Restore() { visiting = -1; }
  } restore{visiting_};
  for (visiting_ = 0; visiting_ < static_cast<int>(rows.size()); ++visiting_) {
    if (!visit()) return;
  }
}

bool TMemoryDataSet::GetFieldData(const TField& field, TFieldData& out) const {
  const bool editing = State() == TDataSetState::dsEdit || State() == TDataSetState::dsInsert;
  if (visiting_ < 0 && !editing && rows.empty()) return false;
  const Row& row = visiting_ >= 0 ? rows[static_cast<std::size_t>(visiting_)]
                   : editing      ? buffer_
                                  : rows[static_cast<std::size_t>(current_)];
  const Value& value = row.at(static_cast<std::size_t>(field.FieldNo() - 1));
  if (!value) return false;
  out.Data = value->data();
  out.Size = static_cast<std::uint32_t>(value->size());
  return true;
}

void TMemoryDataSet::SetFieldData(const TField& field, const void* data, std::uint32_t size) {
  Value& value = buffer_.at(static_cast<std::size_t>(field.FieldNo() - 1));
  if (!data) {
    value.reset();
  } else {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    value.emplace(bytes, bytes + size);
  }
}

void TMemoryDataSet::InternalEdit() {
  buffer_ = rows.at(static_cast<std::size_t>(current_));
}

void TMemoryDataSet::InternalInsert(bool append) {
  buffer_.assign(defs_.size(), std::nullopt);
  insertAt_ = append || rows.empty() ? static_cast<int>(rows.size()) : current_;
}

TGetResult TMemoryDataSet::InternalPost() {
  if (onPost) onPost();
  if (State() == TDataSetState::dsInsert) {
    rows.insert(rows.begin() + insertAt_, buffer_);
    current_ = insertAt_;
  } else {
    rows[static_cast<std::size_t>(current_)] = buffer_;
  }
  if (!shows || shows(buffer_)) return TGetResult::grOK;
  hidden.push_back(buffer_);
  return RemoveCurrent();
}

void TMemoryDataSet::InternalCancel() {
  buffer_.clear();
}

TGetResult TMemoryDataSet::InternalDelete() {
  return RemoveCurrent();
}

TGetResult TMemoryDataSet::RemoveCurrent() {
  rows.erase(rows.begin() + current_);
  if (rows.empty()) {
    current_ = 0;
    return TGetResult::grEOF;
  }
  if (current_ >= static_cast<int>(rows.size())) current_ = static_cast<int>(rows.size()) - 1;
  return TGetResult::grOK;
}
