#include "data/client/reconcile_errors.h"

#include <memory>

#include "data/resolver/packet_dataset.h"
#include "db/dataset/dataset.h"

namespace {

void Check(const engine::IDSBase& owner, engine::DSStatus status) {
  if (status != engine::kDSOk) throw EDBClient(owner.ErrorText(status), status);
}

TUpdateKind KindOf(std::uint8_t attribute) {
  if (attribute & engine::kRowDeleted) return TUpdateKind::ukDelete;
  if (attribute & engine::kRowInserted) return TUpdateKind::ukInsert;
  return TUpdateKind::ukModify;
}

// The failed rows as the event sees them: the delta, its fields labelled like the cached
// dataset's.
class FailedRows {
 public:
  FailedRows(const engine::IDSBase& rows, const TDataSet& labels) {
    Check(rows, rows.GetDelta(delta_));
    Check(*delta_, delta_->CreateCursor(cursor_));
    view_ = std::make_unique<TPacketDataSet>(*delta_);
    view_->Open();
    for (int i = 0; i < view_->FieldCount(); ++i) {
      TField& field = view_->Fields(i);
      if (const TField* same = labels.FindField(field.FieldName())) {
        field.SetDisplayLabel(same->DisplayLabel());
      }
    }
  }

  // Shows the delta row `recordNo` (with its original, for a modified row).
  TDataSet& Show(std::uint32_t recordNo, std::uint8_t attribute) {
    const auto mark = [this](std::uint32_t no) {
      engine::DSBookmark bookmark = 0;
      if (no > 0 && cursor_->MoveToRecordNumber(no) == engine::kDSOk) {
        cursor_->GetBookmark(bookmark);
      }
      return bookmark;
    };
    const engine::DSBookmark row = mark(recordNo);
    const engine::DSBookmark original = attribute & engine::kRowModified ? mark(recordNo - 1) : row;
    view_->ShowRow(original, row);
    return *view_;
  }

 private:
  std::unique_ptr<engine::IDSBase> delta_;
  std::unique_ptr<engine::IDSCursor> cursor_;
  std::unique_ptr<TPacketDataSet> view_;
};

}  // namespace

void ReconcileChanges(engine::IDSBase& rows, const engine::DSPacket& results,
                      const TDataSet& labels, const TReconcileErrorEvent& onError,
                      const TShowException& show) {
  std::unique_ptr<FailedRows> failed;
  const engine::DSStatus status = rows.Reconcile(results, [&](const engine::DSReconcileInfo& info) {
    TReconcileAction action =
        info.response == 1 ? TReconcileAction::raSkip : TReconcileAction::raAbort;
    if (onError) {
      try {
        if (!failed) failed = std::make_unique<FailedRows>(rows, labels);
        EReconcileError error(info.message, info.context, info.errorCode, 0);
        onError(failed->Show(info.deltaRecordNo, info.attribute), error, KindOf(info.attribute),
                action);
      } catch (...) {
        if (show) show(std::current_exception());
        action = TReconcileAction::raAbort;
      }
    }
    return static_cast<int>(action) + 1;
  });
  Check(rows, status);
}
