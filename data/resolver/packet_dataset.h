// TPacketDataSet: a read-only dataset over the rows of an engine dataset it does not own, such as
// the delta of a save: one field per column, created at open. It shows one row at a time, chosen
// by the caller (or by the moves), together with that row's original: on a modified row of a
// delta each field reads its new value, or the original's where the row left it unchanged;
// OldData and NewData tell the two apart. This is the dataset an update-error or reconcile event
// is shown.
//
// The engine dataset must outlive this dataset and stay unchanged while it is open.
// Single-threaded.
#pragma once

#include <cstdint>
#include <memory>

#include "data/engine/ds_base.h"
#include "db/dataset/dataset.h"

class TPacketDataSet : public TDataSet {
 public:
  explicit TPacketDataSet(engine::IDSBase& rows, TComponent* owner = nullptr);
  ~TPacketDataSet() override;

  // Shows the row `row`, whose values before the change are those of `original` (the row itself
  // but for the modified version of a delta row). Opens the dataset when it is closed. False when
  // either bookmark names no row; nothing changes then.
  bool ShowRow(engine::DSBookmark original, engine::DSBookmark row);

  // What a field of the shown row holds after the change.
  enum class TNewValue { kValue, kNull, kUnchanged };
  // The value before the change; false when null or when no row is shown.
  bool OldData(const TField& field, TFieldData& out) const;
  TNewValue NewData(const TField& field, TFieldData& out) const;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  TGetResult InternalFirst() override;
  TGetResult InternalNext() override;
  TGetResult InternalPrior() override;
  std::int64_t GetRecordCount() override;
  bool GetFieldData(const TField& field, TFieldData& out) const override;
  void SetFieldData(const TField& field, const void* data, std::uint32_t size) override;

 private:
  // Moves `n` rows and shows the row reached as its own original.
  TGetResult Move(std::int32_t n);
  bool Read(const engine::IDSCursor& cursor, const TField& field, engine::DSValueView& view) const;

  engine::IDSBase& rows_;
  std::unique_ptr<engine::IDSCursor> row_;
  std::unique_ptr<engine::IDSCursor> original_;
  bool shown_ = false;
  engine::DSBookmark shownRow_ = 0;
  mutable engine::DSValueView view_;  // the value handed out last; its bytes outlive the call
};
