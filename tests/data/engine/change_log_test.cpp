// Inserts, modifies and deletes: the change log, how repeated changes net out, the delta,
// merging, and editing with logging off.
#include <gtest/gtest.h>

#include <functional>

#include "data/engine/ds_base.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

std::unique_ptr<IDSBase> ThreeRows() {
  return LoadDataset(WritePacket(
      SmallColumns(), {SmallRow(1, "one", 1), SmallRow(2, "two", 2), SmallRow(3, "three", 3)}));
}

std::unique_ptr<IDSCursor> CursorOn(IDSBase& ds) {
  std::unique_ptr<IDSCursor> c;
  EXPECT_EQ(ds.CreateCursor(c), kDSOk);
  return c;
}

bool GoTo(IDSCursor& c, std::int32_t id) {
  return c.FindFirst([id](const DSRowView& r) { return IdOf(r) == id; }) == kDSOk;
}

struct Op {
  enum Kind { kModify, kInsert, kDelete, kRevert } kind;
  std::int32_t target;  // row id; for an insert, the row it goes before (0: at the end)
  Row values;
};

void Apply(IDSCursor& c, const Op& op) {
  DSRecord rec;
  if (op.kind == Op::kInsert) {
    if (op.target == 0) {
      c.MoveToEof();
    } else {
      ASSERT_TRUE(GoTo(c, op.target));
    }
    c.InitRecord(rec);
    for (std::uint16_t f = 0; f < op.values.size(); ++f) Put(rec, f + 1, op.values[f]);
    ASSERT_EQ(c.InsertRecord(rec), kDSOk);
    return;
  }
  ASSERT_TRUE(GoTo(c, op.target));
  switch (op.kind) {
    case Op::kModify:
      ASSERT_EQ(c.GetCurrentRecord(rec), kDSOk);
      for (std::uint16_t f = 0; f < op.values.size(); ++f) {
        if (op.values[f] != kUnchanged) Put(rec, f + 1, op.values[f]);
      }
      ASSERT_EQ(c.ModifyRecord(rec), kDSOk);
      break;
    case Op::kDelete:
      ASSERT_EQ(c.DeleteRecord(), kDSOk);
      break;
    default:
      ASSERT_EQ(c.RevertRecord(), kDSOk);
      break;
  }
}

std::vector<AttrRow> DeltaRows(const IDSBase& ds) {
  DSPacket p;
  EXPECT_EQ(ds.GetDeltaPacket(p), kDSOk);
  if (p.empty()) return {};
  auto delta = LoadDataset(std::move(p));
  EXPECT_FALSE(delta->ChangeLogging() && delta->ChangeCount() != 0);
  return ReadAll(*delta);
}

TEST(ChangeLog, ChangesNetOutAndShapeTheDelta) {
  const Row one = SmallRow(1, "one", 1), two = SmallRow(2, "two", 2),
            three = SmallRow(3, "three", 3);
  const Row nine = SmallRow(9, "nine", 9);
  const Value u = kUnchanged;
  struct Case {
    const char* name;
    std::vector<Op> ops;
    std::vector<AttrRow> delta;
    std::vector<std::int32_t> ids;
  };
  const std::vector<Case> cases = {
      {"modify: original then changes, the rest unchanged",
       {{Op::kModify, 2, {u, Txt("x"), u}}},
       {{kRowUnchanged, two}, {kRowModified, {u, Txt("x"), u}}},
       {1, 2, 3}},
      {"modify to null",
       {{Op::kModify, 2, {u, u, kNull}}},
       {{kRowUnchanged, two}, {kRowModified, {u, u, kNull}}},
       {1, 2, 3}},
      {"modify twice keeps one change",
       {{Op::kModify, 2, {u, Txt("x"), u}}, {Op::kModify, 2, {u, Txt("two"), F64(7)}}},
       {{kRowUnchanged, two}, {kRowModified, {u, u, F64(7)}}},
       {1, 2, 3}},
      {"modify back to the original leaves nothing",
       {{Op::kModify, 2, {u, Txt("x"), u}}, {Op::kModify, 2, {u, Txt("two"), u}}},
       {},
       {1, 2, 3}},
      {"insert before a row", {{Op::kInsert, 2, nine}}, {{kRowInserted, nine}}, {1, 9, 2, 3}},
      {"insert at the end", {{Op::kInsert, 0, nine}}, {{kRowInserted, nine}}, {1, 2, 3, 9}},
      {"insert then modify stays an insert",
       {{Op::kInsert, 2, nine}, {Op::kModify, 9, {u, Txt("n"), u}}},
       {{kRowInserted, SmallRow(9, "n", 9)}},
       {1, 9, 2, 3}},
      {"insert then delete leaves nothing",
       {{Op::kInsert, 2, nine}, {Op::kDelete, 9, {}}},
       {},
       {1, 2, 3}},
      {"delete", {{Op::kDelete, 3, {}}}, {{kRowDeleted, three}}, {1, 2}},
      {"modify then delete deletes the original",
       {{Op::kModify, 2, {u, Txt("x"), u}}, {Op::kDelete, 2, {}}},
       {{kRowDeleted, two}},
       {1, 3}},
      {"revert a modify",
       {{Op::kModify, 2, {u, Txt("x"), u}}, {Op::kRevert, 2, {}}},
       {},
       {1, 2, 3}},
      {"revert an insert", {{Op::kInsert, 2, nine}, {Op::kRevert, 9, {}}}, {}, {1, 2, 3}},
      {"delta in the order changes were first made",
       {{Op::kDelete, 1, {}},
        {Op::kInsert, 0, nine},
        {Op::kModify, 3, {u, u, F64(0)}},
        {Op::kModify, 9, {u, Txt("n"), u}}},
       {{kRowDeleted, one},
        {kRowInserted, SmallRow(9, "n", 9)},
        {kRowUnchanged, three},
        {kRowModified, {u, u, F64(0)}}},
       {2, 3, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto ds = ThreeRows();
    auto cur = CursorOn(*ds);
    for (const Op& op : c.ops) Apply(*cur, op);
    EXPECT_EQ(DeltaRows(*ds), c.delta);
    EXPECT_EQ(Ids(*cur), c.ids);
    EXPECT_EQ(ds->RowCount(), c.ids.size());
    std::uint32_t changes = 0;
    for (const AttrRow& r : c.delta) changes += r.attribute != kRowUnchanged ? 1 : 0;
    EXPECT_EQ(ds->ChangeCount(), changes);
  }
}

TEST(ChangeLog, RowsShowPresentValuesAndAttributes) {
  auto ds = ThreeRows();
  auto c = CursorOn(*ds);
  Apply(*c, {Op::kModify, 2, {kUnchanged, Txt("x"), kUnchanged}});
  Apply(*c, {Op::kInsert, 0, SmallRow(9, "nine", 9)});
  Apply(*c, {Op::kDelete, 1, {}});
  EXPECT_EQ(ReadAll(*c, 3), (std::vector<AttrRow>{{kRowModified, SmallRow(2, "x", 2)},
                                                  {kRowUnchanged, SmallRow(3, "three", 3)},
                                                  {kRowInserted, SmallRow(9, "nine", 9)}}));
  ASSERT_TRUE(GoTo(*c, 2));
  DSValueView v;
  ASSERT_EQ(c->GetOriginalField(2, v), kDSOk);
  EXPECT_EQ(FromView(v), Txt("two"));
}

TEST(ChangeLog, MergeFoldsChangesIntoTheRows) {
  auto ds = ThreeRows();
  auto c = CursorOn(*ds);
  Apply(*c, {Op::kModify, 2, {kUnchanged, Txt("x"), kUnchanged}});
  Apply(*c, {Op::kInsert, 0, SmallRow(9, "nine", 9)});
  Apply(*c, {Op::kDelete, 1, {}});
  ASSERT_EQ(ds->MergeChangeLog(), kDSOk);
  EXPECT_EQ(ds->ChangeCount(), 0u);
  EXPECT_TRUE(DeltaRows(*ds).empty());
  EXPECT_EQ(ReadAll(*c, 3), (std::vector<AttrRow>{{kRowUnchanged, SmallRow(2, "x", 2)},
                                                  {kRowUnchanged, SmallRow(3, "three", 3)},
                                                  {kRowUnchanged, SmallRow(9, "nine", 9)}}));
  // A change after the merge is measured against the merged values.
  Apply(*c, {Op::kModify, 2, {kUnchanged, kUnchanged, F64(5)}});
  EXPECT_EQ(DeltaRows(*ds),
            (std::vector<AttrRow>{{kRowUnchanged, SmallRow(2, "x", 2)},
                                  {kRowModified, {kUnchanged, kUnchanged, F64(5)}}}));
}

TEST(ChangeLog, LoggingOffChangesRowsWithoutTrace) {
  auto ds = ThreeRows();
  ds->SetChangeLogging(false);
  auto c = CursorOn(*ds);
  Apply(*c, {Op::kModify, 2, {kUnchanged, Txt("x"), kUnchanged}});
  Apply(*c, {Op::kInsert, 1, SmallRow(9, "nine", 9)});
  Apply(*c, {Op::kDelete, 3, {}});
  EXPECT_EQ(ds->ChangeCount(), 0u);
  EXPECT_TRUE(DeltaRows(*ds).empty());
  EXPECT_EQ(ReadAll(*c, 3), (std::vector<AttrRow>{{kRowUnchanged, SmallRow(9, "nine", 9)},
                                                  {kRowUnchanged, SmallRow(1, "one", 1)},
                                                  {kRowUnchanged, SmallRow(2, "x", 2)}}));
}

TEST(ChangeLog, DeleteMovesToTheNextRowElseThePreviousElseEof) {
  auto ds = ThreeRows();
  auto c = CursorOn(*ds);
  DSFilterId f = 0;
  ASSERT_EQ(c->AddFilter([](const DSRowView& r) { return IdOf(r) != 3; }, f), kDSOk);
  ASSERT_TRUE(GoTo(*c, 1));
  ASSERT_EQ(c->DeleteRecord(), kDSOk);
  DSRecord r;
  ASSERT_EQ(c->GetCurrentRecord(r), kDSOk);
  EXPECT_EQ(IdOf(r), 2);
  // Row 3 is filtered out, so the last visible row's deletion leaves the cursor at Eof.
  ASSERT_EQ(c->DeleteRecord(), kDSOk);
  EXPECT_TRUE(c->AtEof());
  EXPECT_EQ(c->DeleteRecord(), kDSNoCurrentRow);
  EXPECT_EQ(ds->ChangeCount(), 2u);
  EXPECT_EQ(ds->RowCount(), 1u);
  // Deleting the last row moves back to the one before it.
  auto ds2 = ThreeRows();
  auto c2 = CursorOn(*ds2);
  ASSERT_TRUE(GoTo(*c2, 3));
  ASSERT_EQ(c2->DeleteRecord(), kDSOk);
  ASSERT_EQ(c2->GetCurrentRecord(r), kDSOk);
  EXPECT_EQ(IdOf(r), 2);
}

TEST(ChangeLog, RefusesForeignRecordsAndDeletedRows) {
  auto ds = ThreeRows();
  auto other = LoadDataset(WritePacket({{"X", DSType::kText, 3, 0, {}}}, {{Txt("a")}}));
  auto c = CursorOn(*ds);
  auto oc = CursorOn(*other);
  DSRecord foreign;
  oc->InitRecord(foreign);
  ASSERT_TRUE(GoTo(*c, 1));
  EXPECT_EQ(c->ModifyRecord(foreign), kDSBadValue);
  EXPECT_EQ(c->InsertRecord(DSRecord()), kDSBadValue);
  DSRecord rec;
  ASSERT_EQ(c->GetCurrentRecord(rec), kDSOk);
  EXPECT_EQ(rec.bookmark(), 0u);
  auto c2 = CursorOn(*ds);
  ASSERT_TRUE(GoTo(*c2, 1));
  ASSERT_EQ(c2->DeleteRecord(), kDSOk);
  // The first cursor's row is gone; it can no longer read or change it.
  EXPECT_EQ(c->ModifyRecord(rec), kDSNoCurrentRow);
  EXPECT_EQ(c->MoveToBookmark(rec.bookmark()), kDSNotVisible);
  EXPECT_EQ(c->MoveRelative(1), kDSOk);
}

TEST(ChangeLog, BlobChangesTravelInTheDelta) {
  const std::vector<DSColumn> cols = {{"ID", DSType::kInteger, 4, 0, {}},
                                      {"NOTE", DSType::kMemo, 0, 0, {}}};
  auto ds = LoadDataset(WritePacket(cols, {{I32(1), Raw("old note")}, {I32(2), Raw("keep")}}));
  auto c = CursorOn(*ds);
  ASSERT_TRUE(GoTo(*c, 1));
  DSRecord rec;
  ASSERT_EQ(c->GetCurrentRecord(rec), kDSOk);
  Put(rec, 2, Raw(std::string(3000, 'n')));
  ASSERT_EQ(c->ModifyRecord(rec), kDSOk);
  EXPECT_EQ(DeltaRows(*ds),
            (std::vector<AttrRow>{{kRowUnchanged, {I32(1), Raw("old note")}},
                                  {kRowModified, {kUnchanged, Raw(std::string(3000, 'n'))}}}));
  ASSERT_EQ(ds->MergeChangeLog(), kDSOk);
  EXPECT_EQ(ReadAll(*c, 2)[0].values[1], Raw(std::string(3000, 'n')));
}

TEST(ChangeLog, DeltaKeepsDatasetAttributesButTheLocale) {
  auto ds = LoadDataset(WritePacket(SmallColumns(), {SmallRow(1, "one", 1)},
                                    {{"LCID", std::int64_t{3082}}, {"DISABLE_DELETES", true}}));
  auto c = CursorOn(*ds);
  Apply(*c, {Op::kDelete, 1, {}});
  std::unique_ptr<IDSBase> delta;
  ASSERT_EQ(ds->GetDelta(delta), kDSOk);
  EXPECT_EQ(delta->GetAttribute("LCID"), nullptr);
  ASSERT_NE(delta->GetAttribute("DISABLE_DELETES"), nullptr);
  EXPECT_FALSE(delta->ChangeLogging());
  EXPECT_EQ(ReadAll(*delta), (std::vector<AttrRow>{{kRowDeleted, SmallRow(1, "one", 1)}}));
}

// Two cursors on one dataset: rows entering or leaving the order under one cursor do not move
// the other off its row.
TEST(ChangeLog, OtherCursorsKeepTheirRow) {
  auto ds = ThreeRows();
  ds->SetChangeLogging(false);
  auto a = CursorOn(*ds);
  auto b = CursorOn(*ds);
  ASSERT_TRUE(GoTo(*b, 3));
  Apply(*a, {Op::kInsert, 1, SmallRow(9, "nine", 9)});
  Apply(*a, {Op::kDelete, 2, {}});
  DSRecord r;
  ASSERT_EQ(b->GetCurrentRecord(r), kDSOk);
  EXPECT_EQ(IdOf(r), 3);
  std::uint32_t n = 0;
  ASSERT_EQ(b->GetRecordNumber(n), kDSOk);
  EXPECT_EQ(n, 3u);
  ASSERT_EQ(b->MoveRelative(-1), kDSOk);
  ASSERT_EQ(b->GetCurrentRecord(r), kDSOk);
  EXPECT_EQ(IdOf(r), 1);
  // A cursor whose row was removed moves on from where the row stood.
  Apply(*a, {Op::kDelete, 1, {}});
  EXPECT_EQ(b->GetCurrentRecord(r), kDSNoCurrentRow);
  ASSERT_EQ(b->MoveRelative(1), kDSOk);
  ASSERT_EQ(b->GetCurrentRecord(r), kDSOk);
  EXPECT_EQ(IdOf(r), 3);
}

// A dataset loaded from a delta holds unchanged markers; editing it must still give a delta that
// loads (found by fuzzing: the markers used to leak into rows that may not carry them).
TEST(ChangeLog, EditingALoadedDeltaGivesAValidDelta) {
  auto ds = ThreeRows();
  auto c = CursorOn(*ds);
  Apply(*c, {Op::kModify, 2, {kUnchanged, Txt("x"), kUnchanged}});
  DSPacket deltaBytes;
  ASSERT_EQ(ds->GetDeltaPacket(deltaBytes), kDSOk);
  auto delta = LoadDataset(std::move(deltaBytes));
  auto dc = CursorOn(*delta);
  ASSERT_EQ(dc->MoveRelative(2), kDSOk);  // the modified version
  DSRecord rec;
  ASSERT_EQ(dc->GetCurrentRecord(rec), kDSOk);
  EXPECT_EQ(FromView(rec.Field(1)), kUnchanged);
  ASSERT_EQ(dc->DeleteRecord(), kDSOk);
  dc->MoveToBof();
  ASSERT_EQ(dc->MoveRelative(1), kDSOk);
  ASSERT_EQ(dc->ModifyRecord(rec), kDSOk);
  DSPacket again;
  ASSERT_EQ(delta->GetDeltaPacket(again), kDSOk);
  auto reloaded = CreateDSBase();
  EXPECT_EQ(reloaded->AppendPacket(std::move(again), true), kDSOk);
  DSPacket streamed;
  ASSERT_EQ(delta->StreamPacket(streamed), kDSOk);
  EXPECT_EQ(CreateDSBase()->AppendPacket(std::move(streamed), true), kDSOk);
}

}  // namespace
}  // namespace engine
