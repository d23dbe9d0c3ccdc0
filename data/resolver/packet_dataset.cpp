#include "data/resolver/packet_dataset.h"

#include "data/fields/packet_field_types.h"

using engine::DSBlank;

TPacketDataSet::TPacketDataSet(engine::IDSBase& rows, TComponent* owner)
    : TDataSet(owner), rows_(rows) {}

TPacketDataSet::~TPacketDataSet() {
  Close();
}

void TPacketDataSet::InternalOpen() {
  auto check = [this](engine::DSStatus s) {
    if (s != engine::kDSOk) throw EDBClient(rows_.ErrorText(s), s);
  };
  check(rows_.CreateCursor(row_));
  check(rows_.CreateCursor(original_));
  shown_ = false;
  ReadFieldDefs(rows_.Columns(), FieldDefs());
}

void TPacketDataSet::InternalClose() {
  shown_ = false;
  original_.reset();
  row_.reset();
}

TGetResult TPacketDataSet::Move(std::int32_t n) {
  if (row_->MoveRelative(n) != engine::kDSOk) {
    // The shown row stays shown.
    if (shown_) row_->MoveToBookmark(shownRow_);
    return n > 0 ? TGetResult::grEOF : TGetResult::grBOF;
  }
  row_->GetBookmark(shownRow_);
  original_->MoveToBookmark(shownRow_);
  shown_ = true;
  return TGetResult::grOK;
}

TGetResult TPacketDataSet::InternalFirst() {
  row_->MoveToBof();
  shown_ = false;
  return Move(1);
}

TGetResult TPacketDataSet::InternalNext() {
  return Move(1);
}

TGetResult TPacketDataSet::InternalPrior() {
  return Move(-1);
}

std::int64_t TPacketDataSet::GetRecordCount() {
  std::uint32_t n = 0;
  row_->GetRecordCount(n);
  return n;
}

bool TPacketDataSet::ShowRow(engine::DSBookmark original, engine::DSBookmark row) {
  Open();
  if (row_->MoveToBookmark(row) != engine::kDSOk) return false;
  if (original_->MoveToBookmark(original) != engine::kDSOk) {
    if (shown_) row_->MoveToBookmark(shownRow_);
    return false;
  }
  shownRow_ = row;
  shown_ = true;
  SetBofEof(false, false);
  return true;
}

bool TPacketDataSet::Read(const engine::IDSCursor& cursor, const TField& field,
                          engine::DSValueView& view) const {
  if (!shown_ || field.FieldNo() <= 0) return false;
  return cursor.GetField(static_cast<std::uint16_t>(field.FieldNo()), view) == engine::kDSOk;
}

bool TPacketDataSet::OldData(const TField& field, TFieldData& out) const {
  if (!Read(*original_, field, view_) || view_.blank != DSBlank::kValue) return false;
  out = {view_.data, view_.size};
  return true;
}

TPacketDataSet::TNewValue TPacketDataSet::NewData(const TField& field, TFieldData& out) const {
  if (!Read(*row_, field, view_) || view_.blank == DSBlank::kNull) return TNewValue::kNull;
  if (view_.blank == DSBlank::kUnchanged) return TNewValue::kUnchanged;
  out = {view_.data, view_.size};
  return TNewValue::kValue;
}

bool TPacketDataSet::GetFieldData(const TField& field, TFieldData& out) const {
  switch (NewData(field, out)) {
    case TNewValue::kValue:
      return true;
    case TNewValue::kNull:
      return false;
    case TNewValue::kUnchanged:
      break;
  }
  return OldData(field, out);
}

void TPacketDataSet::SetFieldData(const TField&, const void*, std::uint32_t) {
  DatabaseError("Cannot modify a read-only dataset", this);
}
