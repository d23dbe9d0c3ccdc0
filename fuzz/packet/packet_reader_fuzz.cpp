// Any bytes offered as a data packet are refused or yield rows that read, edit, stream and reload
// without fault.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/engine/ds_base.h"

using namespace engine;

// Stops the run, naming the broken promise.
#define CHECK(cond)                                                         \
  do {                                                                      \
    if (!(cond)) {                                                          \
      std::fprintf(stderr, "check failed, line %d: %s\n", __LINE__, #cond); \
      std::abort();                                                         \
    }                                                                       \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto ds = CreateDSBase();
  if (ds->AppendPacket(DSPacket::FromBytes({data, size}), false) != kDSOk) {
    CHECK(ds->RowCount() == 0 && ds->Columns().empty());
    return 0;
  }
  const auto fields = static_cast<std::uint16_t>(ds->Columns().size());
  std::unique_ptr<IDSCursor> c;
  CHECK(ds->CreateCursor(c) == kDSOk);
  std::uint32_t rows = 0;
  std::size_t bytes = 0;
  while (c->MoveRelative(1) == kDSOk) {
    ++rows;
    for (std::uint16_t f = 1; f <= fields; ++f) {
      DSValueView v;
      CHECK(c->GetField(f, v) == kDSOk);
      for (std::uint32_t i = 0; i < v.size; ++i) bytes += v.data[i];
    }
  }
  CHECK(rows == ds->RowCount());
  // The same packet appended again must fit its own columns.
  CHECK(ds->AppendPacket(DSPacket::FromBytes({data, size}), true) == kDSOk);
  // Edit: modify the first row with its own values but one field nulled, delete the second,
  // insert a copy of the first; the delta must load back.
  c->MoveToBof();
  DSRecord rec;
  if (c->MoveRelative(1) == kDSOk && c->GetCurrentRecord(rec) == kDSOk) {
    DSRecord changed = rec;
    changed.PutNull(1);
    CHECK(c->ModifyRecord(changed) == kDSOk);
    if (c->MoveRelative(1) == kDSOk) CHECK(c->DeleteRecord() == kDSOk);
    CHECK(c->InsertRecord(rec) == kDSOk);
  }
  DSPacket delta;
  CHECK(ds->GetDeltaPacket(delta) == kDSOk);
  if (!delta.empty()) {
    auto d = CreateDSBase();
    CHECK(d->AppendPacket(std::move(delta), true) == kDSOk);
  }
  DSPacket streamed;
  CHECK(ds->StreamPacket(streamed) == kDSOk);
  auto again = CreateDSBase();
  CHECK(again->AppendPacket(std::move(streamed), true) == kDSOk);
  CHECK(again->RowCount() == ds->RowCount());
  CHECK(ds->MergeChangeLog() == kDSOk && ds->ChangeCount() == 0);
  return bytes == 0xFFFFFFFF ? 1 : 0;
}
