#include <algorithm>
#include <utility>

#include "data/engine/ds_dataset.h"
#include "data/engine/record_access.h"

namespace engine {

namespace {

// One row of a dataset as filters and predicates see it.
class RowRef final : public DSRowView {
 public:
  RowRef(const DSDataset& ds, DSBookmark id) : ds_(ds), id_(id), slot_(ds.CurrentSlot(id)) {}
  std::uint16_t FieldCount() const override { return ds_.layout()->count(); }
  DSValueView Field(std::uint16_t fieldNo) const override {
    if (fieldNo < 1 || fieldNo > FieldCount()) return DSValueView{};
    return ds_.Field(id_, slot_, fieldNo - 1);
  }

 private:
  const DSDataset& ds_;
  DSBookmark id_;
  const std::uint8_t* slot_;
};

class DSCursor final : public IDSCursor {
 public:
  explicit DSCursor(DSDataset& ds) : ds_(ds), version_(ds.version()) {}

  void MoveToBof() override { at_ = At::kBof; }
  void MoveToEof() override { at_ = At::kEof; }
  bool AtBof() const override { return at_ == At::kBof; }
  bool AtEof() const override { return at_ == At::kEof; }

  DSStatus MoveRelative(std::int32_t n) override {
    if (n == 0) return OnRow() ? kDSOk : kDSNoCurrentRow;
    const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(ds_.order().size());
    std::ptrdiff_t i;
    if (at_ == At::kBof) {
      i = -1;
    } else if (at_ == At::kEof) {
      i = size;
    } else {
      // A row that has left the order leaves pos_ on its successor.
      i = static_cast<std::ptrdiff_t>(pos_);
      if (!Sync() && n > 0) --i;
    }
    const int step = n > 0 ? 1 : -1;
    for (std::int64_t left = n > 0 ? n : -std::int64_t{n}; left > 0; --left) {
      do {
        i += step;
      } while (i >= 0 && i < size && !Visible(static_cast<std::size_t>(i)));
      if (i < 0) {
        at_ = At::kBof;
        return kDSBof;
      }
      if (i >= size) {
        at_ = At::kEof;
        return kDSEof;
      }
    }
    SetRow(static_cast<std::size_t>(i));
    return kDSOk;
  }

  DSStatus GetCurrentRecord(DSRecord& out) const override {
    if (!OnRow()) return NoRow();
    ds_.FillRecord(id_, ds_.CurrentSlot(id_), out);
    return kDSOk;
  }

  DSStatus GetField(std::uint16_t fieldNo, DSValueView& out) const override {
    return ReadField(fieldNo, out, false);
  }

  DSStatus GetOriginalField(std::uint16_t fieldNo, DSValueView& out) const override {
    return ReadField(fieldNo, out, true);
  }

  DSStatus GetRowAttribute(std::uint8_t& out) const override {
    if (!OnRow()) return NoRow();
    out = ds_.Attribute(id_);
    return kDSOk;
  }

  DSStatus GetBookmark(DSBookmark& out) const override {
    if (!OnRow()) return NoRow();
    out = id_;
    return kDSOk;
  }

  DSStatus MoveToBookmark(DSBookmark bookmark) override {
    const auto& order = ds_.order();
    const auto it = std::find(order.begin(), order.end(), bookmark);
    if (it == order.end()) return ds_.Fail(kDSBadBookmark, "no such row");
    const auto pos = static_cast<std::size_t>(it - order.begin());
    if (!Visible(pos)) return ds_.Fail(kDSNotVisible, "the row is deleted or filtered out");
    SetRow(pos);
    return kDSOk;
  }

  DSStatus GetRecordNumber(std::uint32_t& out) const override {
    if (!OnRow()) return NoRow();
    std::uint32_t n = 1;
    for (std::size_t i = 0; i < pos_; ++i) n += Visible(i) ? 1 : 0;
    out = n;
    return kDSOk;
  }

  DSStatus MoveToRecordNumber(std::uint32_t recordNo) override {
    std::uint32_t n = 0;
    for (std::size_t i = 0; recordNo > 0 && i < ds_.order().size(); ++i) {
      if (Visible(i) && ++n == recordNo) {
        SetRow(i);
        return kDSOk;
      }
    }
    return ds_.Fail(kDSBadBookmark, "no row number " + std::to_string(recordNo));
  }

  DSStatus GetRecordCount(std::uint32_t& out) const override {
    if (filters_.empty()) {
      out = ds_.RowCount();
      return kDSOk;
    }
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < ds_.order().size(); ++i) n += Visible(i) ? 1 : 0;
    out = n;
    return kDSOk;
  }

  void InitRecord(DSRecord& out) const override {
    if (ds_.layout()) RecordAccess::Shape(out, ds_.layout());
  }

  DSStatus InsertRecord(const DSRecord& record) override {
    const std::size_t pos = OnRow() ? pos_ : ds_.order().size();
    DSBookmark id = 0;
    if (DSStatus s = ds_.Insert(pos, record, id); s != kDSOk) return s;
    SetRow(pos);
    if (!Visible(pos)) MoveOffHiddenRow(pos + 1);
    return kDSOk;
  }

  DSStatus ModifyRecord(const DSRecord& record) override {
    if (!OnRow()) return NoRow();
    if (!Visible(pos_)) return Hidden();
    if (DSStatus s = ds_.Modify(id_, record); s != kDSOk) return s;
    if (Sync() && !Visible(pos_)) MoveOffHiddenRow(pos_ + 1);
    return kDSOk;
  }

  DSStatus DeleteRecord() override {
    if (!OnRow()) return NoRow();
    if (!Visible(pos_)) return Hidden();
    const std::size_t size = ds_.order().size();
    if (DSStatus s = ds_.Delete(id_); s != kDSOk) return s;
    // The row either stays in the order, hidden, or has left it and pos_ names its successor.
    MoveOffHiddenRow(ds_.order().size() == size ? pos_ + 1 : pos_);
    return kDSOk;
  }

  DSStatus RevertRecord() override {
    if (!OnRow()) return NoRow();
    const std::size_t size = ds_.order().size();
    if (DSStatus s = ds_.Revert(id_); s != kDSOk) return s;
    if (ds_.order().size() != size) {
      // An inserted row disappeared: its successor becomes current.
      version_ = ds_.version();
      at_ = At::kRow;
      if (pos_ < ds_.order().size()) {
        id_ = ds_.order()[pos_];
      } else {
        at_ = At::kEof;
      }
    }
    return kDSOk;
  }

  DSStatus AddFilter(DSRowPredicate filter, DSFilterId& id) override {
    if (!filter) return ds_.Fail(kDSBadFilter, "empty filter");
    id = nextFilterId_++;
    filters_.emplace_back(id, std::move(filter));
    at_ = At::kBof;
    return kDSOk;
  }

  DSStatus DropFilter(DSFilterId id) override {
    const auto it = std::find_if(filters_.begin(), filters_.end(),
                                 [id](const auto& f) { return f.first == id; });
    if (it == filters_.end()) return ds_.Fail(kDSBadFilter, "unknown filter");
    filters_.erase(it);
    at_ = At::kBof;
    return kDSOk;
  }

  DSStatus FindFirst(const DSRowPredicate& test) override {
    if (!test) return ds_.Fail(kDSBadFilter, "empty search");
    for (std::size_t i = 0; i < ds_.order().size(); ++i) {
      if (Visible(i) && test(RowRef(ds_, ds_.order()[i]))) {
        SetRow(i);
        return kDSOk;
      }
    }
    return kDSNotFound;
  }

 private:
  enum class At { kBof, kRow, kEof };

  void SetRow(std::size_t pos) {
    at_ = At::kRow;
    pos_ = pos;
    id_ = ds_.order()[pos];
    version_ = ds_.version();
  }

  // Brings pos_ up to date after rows left or entered the order; false when the row is gone
  // (pos_ then names its successor).
  bool Sync() const {
    if (version_ == ds_.version()) return true;
    const auto& order = ds_.order();
    if (pos_ < order.size() && order[pos_] == id_) {
      version_ = ds_.version();
      return true;
    }
    const auto it = std::find(order.begin(), order.end(), id_);
    if (it == order.end()) {
      pos_ = std::min(pos_, order.size());
      return false;
    }
    pos_ = static_cast<std::size_t>(it - order.begin());
    version_ = ds_.version();
    return true;
  }

  bool OnRow() const { return at_ == At::kRow && Sync() && !ds_.IsDeleted(id_); }

  DSStatus NoRow() const { return ds_.Fail(kDSNoCurrentRow, "the cursor is not on a row"); }
  DSStatus Hidden() const { return ds_.Fail(kDSNotVisible, "the row is filtered out"); }

  // The current row is gone from view: the first visible row from order position `next` on
  // becomes current, else the last visible one before pos_, else the cursor goes to Eof.
  void MoveOffHiddenRow(std::size_t next) {
    const std::size_t size = ds_.order().size();
    for (std::size_t i = next; i < size; ++i) {
      if (Visible(i)) return SetRow(i);
    }
    for (std::size_t i = std::min(pos_, size); i-- > 0;) {
      if (Visible(i)) return SetRow(i);
    }
    at_ = At::kEof;
  }

  bool Visible(std::size_t pos) const {
    const DSBookmark id = ds_.order()[pos];
    if (ds_.IsDeleted(id)) return false;
    if (filters_.empty()) return true;
    const RowRef row(ds_, id);
    for (const auto& f : filters_) {
      if (!f.second(row)) return false;
    }
    return true;
  }

  DSStatus ReadField(std::uint16_t fieldNo, DSValueView& out, bool original) const {
    if (!OnRow()) return NoRow();
    if (fieldNo < 1 || fieldNo > ds_.layout()->count()) {
      return ds_.Fail(kDSBadFieldNo, "field " + std::to_string(fieldNo));
    }
    const std::uint8_t* slot = original ? ds_.OriginalSlot(id_) : ds_.CurrentSlot(id_);
    out = ds_.Field(id_, slot, fieldNo - 1);
    return kDSOk;
  }

  DSDataset& ds_;
  At at_ = At::kBof;
  DSBookmark id_ = 0;
  mutable std::size_t pos_ = 0;
  mutable std::uint64_t version_;
  std::vector<std::pair<DSFilterId, DSRowPredicate>> filters_;
  DSFilterId nextFilterId_ = 1;
};

}  // namespace

DSStatus DSDataset::CreateCursor(std::unique_ptr<IDSCursor>& out) {
  if (!layout_) return Fail(kDSBadColumns, "the dataset has no columns yet");
  out = std::make_unique<DSCursor>(*this);
  return kDSOk;
}

}  // namespace engine
