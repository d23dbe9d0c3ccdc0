#include "data/resolver/save_results.h"

#include "base/exceptions.h"
#include "data/engine/ds_record.h"
#include "data/engine/ds_results.h"

SaveResults::SaveResults(const engine::IDSBase& delta) : delta_(delta) {}

SaveResults::~SaveResults() = default;

void SaveResults::Check(engine::DSStatus status) const {
  if (status == engine::kDSOk) return;
  const engine::IDSBase& failed = errors_ ? *errors_ : delta_;
  throw EDBClient(failed.ErrorText(status), status);
}

void SaveResults::Record(std::uint32_t recordNo, TResolverResponse response,
                         const std::string& message, std::int32_t errorCode,
                         const engine::DSRecord* serverValues) {
  if (!errors_) {
    Check(engine::CreateErrorDataset(delta_, errors_));
    Check(errors_->CreateCursor(cursor_));
  }
  engine::DSRecord record;
  cursor_->InitRecord(record);
  const auto putInt = [&](std::uint16_t field, std::int32_t value) {
    Check(record.PutField(field, &value, sizeof value));
  };
  putInt(1, static_cast<std::int32_t>(recordNo));
  putInt(2, response == TResolverResponse::rrSkip ? 1 : 2);
  Check(record.PutField(3, message.data(), static_cast<std::uint32_t>(message.size())));
  Check(record.PutField(4, "", 0));
  putInt(5, 1);
  putInt(6, errorCode);
  if (serverValues != nullptr) {
    for (std::uint16_t i = 1; i <= serverValues->FieldCount(); ++i) {
      const engine::DSValueView v = serverValues->Field(i);
      if (v.blank != engine::DSBlank::kValue) continue;
      const auto field = static_cast<std::uint16_t>(engine::kErrorColumnCount + i);
      // A value the column cannot hold is left out; the failure itself is recorded regardless.
      if (record.PutField(field, v.data, v.size) != engine::kDSOk) record.PutNull(field);
    }
  }
  const auto existing = recordOf_.find(recordNo);
  if (existing != recordOf_.end()) {
    Check(cursor_->MoveToBookmark(existing->second));
    Check(cursor_->ModifyRecord(record));
    return;
  }
  cursor_->MoveToEof();
  Check(cursor_->InsertRecord(record));
  engine::DSBookmark mark = 0;
  Check(cursor_->GetBookmark(mark));
  recordOf_.emplace(recordNo, mark);
}

engine::DSPacket SaveResults::Stream(std::uint32_t appliedThrough) {
  if (!errors_) Check(engine::CreateErrorDataset(delta_, errors_));
  errors_->SetAttribute({engine::kAppliedThrough, std::int64_t{appliedThrough}});
  engine::DSPacket packet;
  Check(errors_->StreamPacket(packet));
  return packet;
}
