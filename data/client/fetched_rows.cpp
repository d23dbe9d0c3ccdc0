#include "data/client/fetched_rows.h"

#include "base/exceptions.h"
#include "data/engine/expr_filter.h"

using engine::DSStatus;
using engine::kDSOk;

FetchedRows::FetchedRows(engine::DSPacket firstPacket, bool endOfData, Fetch fetch,
                         ReadSettings settings)
    : base_(engine::CreateDSBase()),
      fetch_(std::move(fetch)),
      settings_(std::move(settings)),
      endOfData_(endOfData) {
  Check(base_->AppendPacket(std::move(firstPacket), endOfData));
  Check(base_->CreateCursor(cursor_));
}

FetchedRows::~FetchedRows() = default;

void FetchedRows::Check(DSStatus status) const {
  if (status != kDSOk) throw EDBClient(base_->ErrorText(status), status);
}

bool FetchedRows::FetchMore(std::int32_t count) {
  if (endOfData_) return false;
  const Settings settings = settings_();
  if (!settings.fetchOnDemand || settings.packetRecords == 0) return false;
  std::int32_t recsOut = 0;
  TPacketData packet = fetch_(count, recsOut);
  const bool ended = recsOut != count || !packet;
  if (packet) {
    // Appending must not move the cursor off its row: remember it by bookmark.
    engine::DSBookmark mark = 0;
    const bool onRow = cursor_->GetBookmark(mark) == kDSOk;
    const bool atEof = cursor_->AtEof();
    Check(base_->AppendPacket(std::move(*packet), ended));
    if (onRow) {
      Check(cursor_->MoveToBookmark(mark));
    } else if (atEof) {
      cursor_->MoveToEof();
    }
  }
  endOfData_ = ended;
  return true;
}

bool FetchedRows::MoveNext() {
  for (;;) {
    const DSStatus status = cursor_->MoveRelative(1);
    if (status == kDSOk) return true;
    if (status != engine::kDSEof) Check(status);
    // Step back onto the last row so that the retry moves to the first fetched one.
    cursor_->MoveRelative(-1);
    if (!FetchMore(settings_().packetRecords)) {
      cursor_->MoveToEof();
      return false;
    }
  }
}

bool FetchedRows::MovePrior() {
  const DSStatus status = cursor_->MoveRelative(-1);
  if (status == kDSOk) return true;
  if (status != engine::kDSBof) Check(status);
  return false;
}

bool FetchedRows::MoveFirst() {
  cursor_->MoveToBof();
  return MoveNext();
}

bool FetchedRows::MoveLast() {
  FetchAll();
  cursor_->MoveToEof();
  return MovePrior();
}

void FetchedRows::SetFilter(std::span<const std::uint8_t> record) {
  DropFilter();
  std::string why;
  const DSStatus status = engine::AddExprFilter(*cursor_, record, filterId_, why);
  if (status != kDSOk) {
    filterId_ = 0;
    throw EDBClient(why.empty() ? base_->ErrorText(status) : why, status);
  }
}

void FetchedRows::DropFilter() {
  if (filterId_ == 0) return;
  const engine::DSFilterId id = filterId_;
  filterId_ = 0;
  Check(cursor_->DropFilter(id));
}

bool FetchedRows::FindFirst(std::span<const std::uint8_t> record) {
  std::string why;
  const DSStatus status = engine::FindFirstExpr(*cursor_, record, why);
  if (status == engine::kDSNotFound) return false;
  if (status != kDSOk) throw EDBClient(why.empty() ? base_->ErrorText(status) : why, status);
  return true;
}
