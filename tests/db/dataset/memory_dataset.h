// TMemoryDataSet: a dataset over rows held in a vector, for exercising TDataSet and the fields
// without a database. Each value is the native bytes of its field, or nothing for null.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/dataset/dataset.h"

class TMemoryDataSet : public TDataSet {
 public:
  using Value = std::optional<std::vector<std::uint8_t>>;
  using Row = std::vector<Value>;

  explicit TMemoryDataSet(std::vector<TFieldDef> defs, TComponent* owner = nullptr);
  ~TMemoryDataSet() override;

  // What the dataset holds; change only while it is closed or browsing.
  std::vector<Row> rows;
  bool readOnly = false;
  // Without Prior support, as a forward-only source.
  bool forwardOnly = false;
  // Runs at the start of InternalOpen / InternalPost (a test may throw from it).
  std::function<void()> onOpen;
  std::function<void()> onPost;
  // When set, a posted row it refuses leaves `rows` for `hidden`, as a row written outside a
  // filter leaves the view.
  std::function<bool(const Row&)> shows;
  std::vector<Row> hidden;
  // Runs at the end of InternalClose, after everything is released.
  std::function<void()> onClose;
  int closeCalls = 0;

  bool CanModify() const override { return !readOnly; }
  int CurrentIndex() const { return current_; }

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  TGetResult InternalFirst() override;
  TGetResult InternalNext() override;
  TGetResult InternalPrior() override;
  TGetResult InternalLast() override;
  std::int64_t GetRecordCount() override { return static_cast<std::int64_t>(rows.size()); }
  std::int64_t GetRecNo() const override { return rows.empty() ? 0 : current_ + 1; }
  void VisitRecords(const std::function<bool()>& visit) override;
  bool GetFieldData(const TField& field, TFieldData& out) const override;
  void SetFieldData(const TField& field, const void* data, std::uint32_t size) override;
  void InternalEdit() override;
  void InternalInsert(bool append) override;
  TGetResult InternalPost() override;
  void InternalCancel() override;
  TGetResult InternalDelete() override;

 private:
  // Removes the current row; the next becomes current, else the previous one.
  TGetResult RemoveCurrent();

  std::vector<TFieldDef> defs_;
  int current_ = 0;
  int visiting_ = -1;  // the row VisitRecords shows the fields, or -1
  Row buffer_;
  int insertAt_ = 0;
};
