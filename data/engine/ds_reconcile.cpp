// Reconciling the change log with the results of a save (contract in ds_base.h).
#include <cstring>

#include "data/engine/ds_dataset.h"
#include "data/engine/ds_results.h"
#include "data/engine/record_access.h"
#include "data/engine/text_util.h"

namespace engine {

namespace {

constexpr int kSkip = 1, kAbort = 2, kMerge = 3, kCancel = 5, kRefresh = 6;

struct ErrorColumn {
  const char* name;
  DSType type;
};
constexpr ErrorColumn kErrorColumns[kErrorColumnCount] = {
    {kErrorRecordNo, DSType::kInteger}, {kErrorResponse, DSType::kInteger},
    {kErrorMessage, DSType::kMemo},     {kErrorContext, DSType::kMemo},
    {kErrorCategory, DSType::kInteger}, {kErrorCode, DSType::kInteger},
};

std::int32_t IntField(const IDSCursor& c, std::uint16_t fieldNo) {
  DSValueView v;
  if (c.GetField(fieldNo, v) != kDSOk || v.blank != DSBlank::kValue) return 0;
  std::int32_t n = 0;
  std::memcpy(&n, v.data, 4);
  return n;
}

std::string TextField(const IDSCursor& c, std::uint16_t fieldNo) {
  DSValueView v;
  if (c.GetField(fieldNo, v) != kDSOk || v.blank != DSBlank::kValue) return {};
  return std::string(v.AsText());
}

struct Failure {
  std::size_t entry;
  DSReconcileInfo info;
  DSBookmark resultRow;
};

}  // namespace

DSStatus CreateErrorDataset(const IDSBase& delta, std::unique_ptr<IDSBase>& out) {
  std::vector<DSColumn> columns;
  for (const ErrorColumn& e : kErrorColumns) {
    columns.push_back(DSColumn{e.name, e.type, FixedTypeSize(e.type), 0, {}});
  }
  for (const DSColumn& c : delta.Columns()) columns.push_back(c);
  if (DSStatus s = CreateDSBase(std::move(columns), {}, out); s != kDSOk) return s;
  out->SetChangeLogging(false);
  return kDSOk;
}

DSStatus DSDataset::RefreshFromResults(DSBookmark id, const IDSCursor& at) {
  DSRecord record;
  RecordAccess::Shape(record, layout_);
  bool any = false;
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    DSValueView v;
    at.GetField(static_cast<std::uint16_t>(kErrorColumnCount + i + 1), v);
    if (v.blank != DSBlank::kValue) continue;
    if (record.PutField(i + 1, v.data, v.size) != kDSOk) {
      return Fail(kDSBadResults,
                  "server values unfit for column '" + layout_->columns()[i].name + "'");
    }
    any = true;
  }
  if (!any || (id & kInsertedId)) return kDSOk;
  auto slot = SlotFromRecord(record);
  std::uint8_t* base = BaseSlot(id);
  slot[0] = base[0];
  std::memcpy(base, slot.get(), layout_->width());
  return kDSOk;
}

DSStatus DSDataset::Reconcile(const DSPacket& results, const DSReconcileCallback& callback) {
  if (!layout_) return Fail(kDSBadResults, "the dataset has no columns");
  DSDataset rs;
  if (rs.AppendPacket(results.Clone(), true) != kDSOk) {
    return Fail(kDSBadResults, "results packet: " + rs.lastDetail_);
  }
  const std::vector<DSColumn>& cols = rs.Columns();
  if (cols.size() != std::size_t{kErrorColumnCount} + layout_->count()) {
    return Fail(kDSBadResults, "results have other columns than the dataset");
  }
  for (int i = 0; i < kErrorColumnCount; ++i) {
    if (!EqualsIgnoreCase(cols[i].name, kErrorColumns[i].name) ||
        cols[i].type != kErrorColumns[i].type) {
      return Fail(kDSBadResults, std::string("results lack column ") + kErrorColumns[i].name);
    }
  }
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    const DSColumn& a = cols[kErrorColumnCount + i];
    const DSColumn& b = layout_->columns()[i];
    if (a.type != b.type || a.size != b.size || !EqualsIgnoreCase(a.name, b.name)) {
      return Fail(kDSBadResults, "results have other columns than the dataset");
    }
  }

  const std::vector<DeltaEntry> entries = DeltaOrder();
  const std::uint32_t recNos = entries.empty() ? 0 : entries.back().lastRecNo;
  std::vector<std::int32_t> entryOf(std::size_t{recNos} + 1, -1);
  for (std::size_t e = 0; e < entries.size(); ++e) {
    for (std::uint32_t r = entries[e].firstRecNo; r <= entries[e].lastRecNo; ++r) {
      entryOf[r] = static_cast<std::int32_t>(e);
    }
  }

  // Read and check every failure before anything changes.
  std::unique_ptr<IDSCursor> cur;
  rs.CreateCursor(cur);
  std::vector<Failure> failures;
  std::vector<bool> named(entries.size(), false);
  while (cur->MoveRelative(1) == kDSOk) {
    const std::int32_t recNo = IntField(*cur, 1);
    if (recNo < 1 || static_cast<std::uint32_t>(recNo) > recNos) {
      return Fail(kDSBadResults, "record number " + std::to_string(recNo) + " is not in the delta");
    }
    const auto e = static_cast<std::size_t>(entryOf[recNo]);
    if (named[e]) continue;
    named[e] = true;
    Failure f{e, {}, 0};
    f.info.attribute = changes_.at(entries[e].id).kind;
    f.info.response = IntField(*cur, 2);
    f.info.message = TextField(*cur, 3);
    f.info.context = TextField(*cur, 4);
    f.info.errorCode = IntField(*cur, 6);
    f.info.deltaRecordNo = static_cast<std::uint32_t>(recNo);
    f.info.bookmark = entries[e].id;
    cur->GetBookmark(f.resultRow);
    failures.push_back(std::move(f));
  }
  std::int64_t appliedThrough = 0;
  if (const DSAttr* a = rs.GetAttribute(kAppliedThrough)) {
    if (const auto* n = std::get_if<std::int64_t>(&a->value)) appliedThrough = *n;
  }

  std::unordered_set<DSBookmark> removed;
  DSStatus status = kDSOk;
  // Settles the rows whose actions are known; runs also when the callback throws.
  std::vector<int> actions(failures.size(), kSkip);
  std::size_t decided = 0;
  const auto settle = [&] {
    for (std::size_t i = 0; i < decided; ++i) {
      const DSBookmark id = entries[failures[i].entry].id;
      switch (actions[i]) {
        case kMerge:
          MergeOne(id, removed);
          break;
        case kCancel:
          RevertOne(id, removed);
          break;
        case kRefresh:
          cur->MoveToBookmark(failures[i].resultRow);
          RevertOne(id, removed);
          if (DSStatus s = RefreshFromResults(id, *cur); s != kDSOk) status = s;
          break;
        default:
          break;  // 1 skip, 2 abort, 4 correct: the change stays in the log
      }
    }
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (!named[e] && entries[e].lastRecNo <= appliedThrough) MergeOne(entries[e].id, removed);
    }
    RemoveFromOrder(removed);
    ++version_;
  };
  try {
    bool aborted = false;
    for (; decided < failures.size(); ++decided) {
      if (aborted) {
        actions[decided] = kAbort;
        continue;
      }
      const int action = callback ? callback(failures[decided].info) : kSkip;
      if (action < kSkip || action > kRefresh) {
        settle();
        return Fail(kDSBadAction, "action " + std::to_string(action));
      }
      actions[decided] = action;
      aborted = action == kAbort;
    }
  } catch (...) {
    settle();
    throw;
  }
  settle();
  return status;
}

}  // namespace engine
