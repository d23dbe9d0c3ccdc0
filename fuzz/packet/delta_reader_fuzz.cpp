// Any bytes offered as a delta are refused or walk like a delta; any bytes offered as the results
// of a save are refused or reconcile without fault and without losing the change log's shape.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/engine/ds_base.h"
#include "data/engine/ds_writer.h"

using namespace engine;

// Stops the run, naming the broken promise.
#define CHECK(cond)                                                         \
  do {                                                                      \
    if (!(cond)) {                                                          \
      std::fprintf(stderr, "check failed, line %d: %s\n", __LINE__, #cond); \
      std::abort();                                                         \
    }                                                                       \
  } while (0)

namespace {

// A dataset of two integer columns, rows 1..4, with a modify, an insert and a delete logged.
std::unique_ptr<IDSBase> ChangedDataset() {
  auto w = CreateDSWriter();
  CHECK(w->DescribeColumns({{"A", DSType::kInteger, 4, 0, {}}, {"B", DSType::kText, 4, 0, {}}}) ==
        kDSOk);
  for (std::int32_t i = 1; i <= 4; ++i) {
    w->PutRowAttribute(kRowUnchanged);
    w->PutField(&i, 4);
    w->PutField("ab", 2);
  }
  DSPacket p;
  CHECK(w->GetPacket(p) == kDSOk);
  auto ds = CreateDSBase();
  CHECK(ds->AppendPacket(std::move(p), true) == kDSOk);
  std::unique_ptr<IDSCursor> c;
  CHECK(ds->CreateCursor(c) == kDSOk);
  DSRecord rec;
  c->MoveRelative(1);
  c->GetCurrentRecord(rec);
  rec.PutNull(2);
  CHECK(c->ModifyRecord(rec) == kDSOk);
  c->MoveRelative(1);
  CHECK(c->InsertRecord(rec) == kDSOk);
  c->MoveRelative(2);
  CHECK(c->DeleteRecord() == kDSOk);
  return ds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // As a delta: walk it the way a resolver does, old and new values of every row.
  auto delta = CreateDSBase();
  delta->SetChangeLogging(false);
  if (delta->AppendPacket(DSPacket::FromBytes({data, size}), true) == kDSOk) {
    std::unique_ptr<IDSCursor> c;
    CHECK(delta->CreateCursor(c) == kDSOk);
    const auto fields = static_cast<std::uint16_t>(delta->Columns().size());
    while (c->MoveRelative(1) == kDSOk) {
      std::uint8_t attribute = 0;
      CHECK(c->GetRowAttribute(attribute) == kDSOk);
      for (std::uint16_t f = 1; f <= fields; ++f) {
        DSValueView v;
        CHECK(c->GetField(f, v) == kDSOk);
        CHECK(v.blank != DSBlank::kUnchanged || attribute == kRowModified);
      }
    }
  }
  // As results of a save.
  auto ds = ChangedDataset();
  const std::uint32_t before = ds->ChangeCount();
  int calls = 0;
  const DSStatus s =
      ds->Reconcile(DSPacket::FromBytes({data, size}), [&](const DSReconcileInfo& i) {
        ++calls;
        return 1 + static_cast<int>((i.errorCode & 0x7FFFFFFF) % 6);
      });
  if (s == kDSBadResults) CHECK(calls == 0 && ds->ChangeCount() == before);
  CHECK(ds->ChangeCount() <= before);
  DSPacket after;
  CHECK(ds->GetDeltaPacket(after) == kDSOk);
  return 0;
}
