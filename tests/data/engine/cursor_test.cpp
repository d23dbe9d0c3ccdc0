// Cursor moves, statuses at both ends, bookmarks, row numbers, filters and find.
#include <gtest/gtest.h>

#include <functional>

#include "data/engine/ds_base.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

std::unique_ptr<IDSBase> FiveRows() {
  std::vector<Row> rows;
  for (int i = 1; i <= 5; ++i) rows.push_back(SmallRow(i, "r" + std::to_string(i), i * 1.5));
  return LoadDataset(WritePacket(SmallColumns(), rows));
}

std::unique_ptr<IDSCursor> CursorOn(IDSBase& ds) {
  std::unique_ptr<IDSCursor> c;
  EXPECT_EQ(ds.CreateCursor(c), kDSOk);
  return c;
}

std::int32_t CurrentId(const IDSCursor& c) {
  DSRecord r;
  if (c.GetCurrentRecord(r) != kDSOk) return -1;
  return IdOf(r);
}

TEST(Cursor, MovesAndStatusesAtBothEnds) {
  auto ds = FiveRows();
  auto c = CursorOn(*ds);
  struct Step {
    const char* what;
    std::function<DSStatus(IDSCursor&)> op;
    DSStatus status;
    std::int32_t id;  // -1: no current row
    bool bof, eof;
  };
  const std::vector<Step> steps = {
      {"start", [](IDSCursor&) { return kDSOk; }, kDSOk, -1, true, false},
      {"prior at bof", [](IDSCursor& c) { return c.MoveRelative(-1); }, kDSBof, -1, true, false},
      {"first", [](IDSCursor& c) { return c.MoveRelative(1); }, kDSOk, 1, false, false},
      {"prior from first", [](IDSCursor& c) { return c.MoveRelative(-1); }, kDSBof, -1, true,
       false},
      {"three on", [](IDSCursor& c) { return c.MoveRelative(3); }, kDSOk, 3, false, false},
      {"two on", [](IDSCursor& c) { return c.MoveRelative(2); }, kDSOk, 5, false, false},
      {"next from last", [](IDSCursor& c) { return c.MoveRelative(1); }, kDSEof, -1, false, true},
      {"next at eof", [](IDSCursor& c) { return c.MoveRelative(1); }, kDSEof, -1, false, true},
      {"prior from eof", [](IDSCursor& c) { return c.MoveRelative(-1); }, kDSOk, 5, false, false},
      {"stay", [](IDSCursor& c) { return c.MoveRelative(0); }, kDSOk, 5, false, false},
      {"to bof",
       [](IDSCursor& c) {
         c.MoveToBof();
         return kDSOk;
       },
       kDSOk, -1, true, false},
      {"to eof",
       [](IDSCursor& c) {
         c.MoveToEof();
         return kDSOk;
       },
       kDSOk, -1, false, true},
      {"far back", [](IDSCursor& c) { return c.MoveRelative(-9); }, kDSBof, -1, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    EXPECT_EQ(s.op(*c), s.status);
    EXPECT_EQ(CurrentId(*c), s.id);
    EXPECT_EQ(c->AtBof(), s.bof);
    EXPECT_EQ(c->AtEof(), s.eof);
  }
}

TEST(Cursor, EmptyDatasetAnswersBothEnds) {
  auto ds = LoadDataset(WritePacket(SmallColumns(), {}));
  auto c = CursorOn(*ds);
  EXPECT_EQ(c->MoveRelative(1), kDSEof);
  EXPECT_EQ(c->MoveRelative(-1), kDSBof);
  std::uint32_t n = 9;
  EXPECT_EQ(c->GetRecordCount(n), kDSOk);
  EXPECT_EQ(n, 0u);
  DSValueView v;
  EXPECT_EQ(c->GetField(1, v), kDSNoCurrentRow);
}

TEST(Cursor, NoCursorBeforeTheFirstPacket) {
  auto ds = CreateDSBase();
  std::unique_ptr<IDSCursor> c;
  EXPECT_EQ(ds->CreateCursor(c), kDSBadColumns);
}

TEST(Cursor, BookmarksAndRowNumbers) {
  auto ds = FiveRows();
  auto c = CursorOn(*ds);
  ASSERT_EQ(c->MoveRelative(4), kDSOk);
  DSBookmark fourth = 0;
  ASSERT_EQ(c->GetBookmark(fourth), kDSOk);
  std::uint32_t n = 0;
  ASSERT_EQ(c->GetRecordNumber(n), kDSOk);
  EXPECT_EQ(n, 4u);
  c->MoveToBof();
  ASSERT_EQ(c->MoveToBookmark(fourth), kDSOk);
  EXPECT_EQ(CurrentId(*c), 4);
  EXPECT_EQ(c->MoveToBookmark(12345), kDSBadBookmark);
  EXPECT_EQ(CurrentId(*c), 4);
  ASSERT_EQ(c->MoveToRecordNumber(2), kDSOk);
  EXPECT_EQ(CurrentId(*c), 2);
  EXPECT_EQ(c->MoveToRecordNumber(6), kDSBadBookmark);
  EXPECT_EQ(c->MoveToRecordNumber(0), kDSBadBookmark);
  EXPECT_EQ(CurrentId(*c), 2);
  DSValueView v;
  EXPECT_EQ(c->GetField(0, v), kDSBadFieldNo);
  EXPECT_EQ(c->GetField(4, v), kDSBadFieldNo);
}

TEST(Cursor, FiltersLimitMovesCountsNumbersAndFind) {
  auto ds = FiveRows();
  auto c = CursorOn(*ds);
  DSFilterId odd = 0;
  ASSERT_EQ(c->AddFilter([](const DSRowView& r) { return IdOf(r) % 2 == 1; }, odd), kDSOk);
  EXPECT_TRUE(c->AtBof());
  EXPECT_EQ(Ids(*c), (std::vector<std::int32_t>{1, 3, 5}));
  std::uint32_t n = 0;
  ASSERT_EQ(c->GetRecordCount(n), kDSOk);
  EXPECT_EQ(n, 3u);
  ASSERT_EQ(c->MoveToRecordNumber(2), kDSOk);
  EXPECT_EQ(CurrentId(*c), 3);
  // Filters combine.
  DSFilterId notOne = 0;
  ASSERT_EQ(c->AddFilter([](const DSRowView& r) { return IdOf(r) != 1; }, notOne), kDSOk);
  EXPECT_EQ(Ids(*c), (std::vector<std::int32_t>{3, 5}));
  // Find sees only visible rows and keeps the position when nothing matches.
  c->MoveToBof();
  ASSERT_EQ(c->MoveRelative(1), kDSOk);
  EXPECT_EQ(c->FindFirst([](const DSRowView& r) { return IdOf(r) == 2; }), kDSNotFound);
  EXPECT_EQ(CurrentId(*c), 3);
  ASSERT_EQ(c->FindFirst([](const DSRowView& r) { return IdOf(r) >= 4; }), kDSOk);
  EXPECT_EQ(CurrentId(*c), 5);
  // A hidden row cannot be reached by bookmark.
  auto other = CursorOn(*ds);
  ASSERT_EQ(other->MoveRelative(2), kDSOk);
  DSBookmark second = 0;
  ASSERT_EQ(other->GetBookmark(second), kDSOk);
  EXPECT_EQ(c->MoveToBookmark(second), kDSNotVisible);
  ASSERT_EQ(c->DropFilter(odd), kDSOk);
  EXPECT_EQ(c->DropFilter(odd), kDSBadFilter);
  EXPECT_EQ(Ids(*c), (std::vector<std::int32_t>{2, 3, 4, 5}));
  ASSERT_EQ(c->DropFilter(notOne), kDSOk);
  ASSERT_EQ(c->GetRecordCount(n), kDSOk);
  EXPECT_EQ(n, 5u);
}

// Writes `id` into the row at the cursor (`insert`: into a new row before it).
DSStatus WriteId(IDSCursor& c, bool insert, std::int32_t id) {
  DSRecord r;
  if (insert) {
    c.InitRecord(r);
  } else if (DSStatus s = c.GetCurrentRecord(r); s != kDSOk) {
    return s;
  }
  Put(r, 1, I32(id));
  return insert ? c.InsertRecord(r) : c.ModifyRecord(r);
}

TEST(Cursor, ARowWrittenOutsideTheFiltersLeavesTheView) {
  const auto odd = [](const DSRowView& r) { return IdOf(r) % 2 == 1; };
  const auto onlyOne = [](const DSRowView& r) { return IdOf(r) == 1; };
  struct Case {
    const char* what;
    std::function<bool(const DSRowView&)> filter;
    std::int32_t at;  // the row the cursor stands on; 0: Eof
    bool insert;
    std::int32_t id;       // the id written
    std::int32_t current;  // -1: Eof
    std::vector<std::int32_t> visible;
  };
  const Case cases[] = {
      {"modified out: the next one", odd, 3, false, 4, 5, {1, 5}},
      {"modified out, none after: the previous one", odd, 5, false, 6, 3, {1, 3}},
      {"modified out, first: the next one", odd, 1, false, 2, 3, {3, 5}},
      {"modified within", odd, 3, false, 7, 7, {1, 7, 5}},
      {"inserted out: the row it stands before", odd, 3, true, 8, 3, {1, 3, 5}},
      {"inserted out at the end: the last one", odd, 0, true, 8, 5, {1, 3, 5}},
      {"inserted within", odd, 3, true, 9, 9, {1, 9, 3, 5}},
      {"the only visible row modified out", onlyOne, 1, false, 2, -1, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto ds = FiveRows();
    auto c = CursorOn(*ds);
    DSFilterId f = 0;
    ASSERT_EQ(c->AddFilter(k.filter, f), kDSOk);
    if (k.at == 0) {
      c->MoveToEof();
    } else {
      ASSERT_EQ(c->FindFirst([&](const DSRowView& r) { return IdOf(r) == k.at; }), kDSOk);
    }
    ASSERT_EQ(WriteId(*c, k.insert, k.id), kDSOk);
    EXPECT_EQ(CurrentId(*c), k.current);
    EXPECT_EQ(c->AtEof(), k.current == -1);
    EXPECT_EQ(Ids(*c), k.visible);
    EXPECT_EQ(ds->ChangeCount(), 1u);  // the hidden row is still written
  }
}

TEST(Cursor, ARowHiddenUnderTheCursorCannotBeChanged) {
  auto ds = FiveRows();
  auto filtered = CursorOn(*ds);
  DSFilterId f = 0;
  ASSERT_EQ(filtered->AddFilter([](const DSRowView& r) { return IdOf(r) != 20; }, f), kDSOk);
  ASSERT_EQ(filtered->MoveRelative(2), kDSOk);
  // Another cursor, without the filter, takes the row out of it.
  auto plain = CursorOn(*ds);
  ASSERT_EQ(plain->MoveRelative(2), kDSOk);
  ASSERT_EQ(WriteId(*plain, false, 20), kDSOk);
  EXPECT_EQ(WriteId(*filtered, false, 21), kDSNotVisible);
  EXPECT_EQ(filtered->DeleteRecord(), kDSNotVisible);
  EXPECT_EQ(Ids(*plain), (std::vector<std::int32_t>{1, 20, 3, 4, 5}));
}

TEST(Cursor, NullsNeverSatisfyAValueTest) {
  auto ds = LoadDataset(WritePacket(SmallColumns(), {SmallRow(1, "a", 1), {kNull, kNull, kNull}}));
  auto c = CursorOn(*ds);
  DSFilterId f = 0;
  ASSERT_EQ(c->AddFilter([](const DSRowView& r) { return !r.Field(1).IsNull(); }, f), kDSOk);
  EXPECT_EQ(Ids(*c), (std::vector<std::int32_t>{1}));
}

TEST(Cursor, ContinuesIntoAppendedPackets) {
  auto ds = CreateDSBase();
  ASSERT_EQ(ds->AppendPacket(WritePacket(SmallColumns(), {SmallRow(1, "a", 1)}), false), kDSOk);
  auto c = CursorOn(*ds);
  ASSERT_EQ(c->MoveRelative(1), kDSOk);
  EXPECT_EQ(c->MoveRelative(1), kDSEof);
  // The caller steps back, fetches, and moves again.
  ASSERT_EQ(c->MoveRelative(-1), kDSOk);
  ASSERT_EQ(ds->AppendPacket(WritePacket(SmallColumns(), {SmallRow(2, "b", 2)}), true), kDSOk);
  ASSERT_EQ(c->MoveRelative(1), kDSOk);
  EXPECT_EQ(CurrentId(*c), 2);
}

}  // namespace
}  // namespace engine
