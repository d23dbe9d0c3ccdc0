// Reconciling the change log with a results packet: one callback per failed row, the actions,
// rows the results do not name, and refused results.
#include <gtest/gtest.h>

#include <stdexcept>

#include "data/engine/ds_base.h"
#include "data/engine/ds_results.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

struct Fixture {
  std::unique_ptr<IDSBase> ds;
  std::unique_ptr<IDSCursor> cur;
};

// Three rows; then row 1 modified (delta rows 1-2), row 9 inserted (3), row 3 deleted (4).
Fixture Changed() {
  Fixture f;
  f.ds = LoadDataset(WritePacket(
      SmallColumns(), {SmallRow(1, "one", 1), SmallRow(2, "two", 2), SmallRow(3, "three", 3)}));
  EXPECT_EQ(f.ds->CreateCursor(f.cur), kDSOk);
  DSRecord rec;
  f.cur->MoveRelative(1);
  f.cur->GetCurrentRecord(rec);
  Put(rec, 2, Txt("uno"));
  EXPECT_EQ(f.cur->ModifyRecord(rec), kDSOk);
  f.cur->MoveToEof();
  f.cur->InitRecord(rec);
  Put(rec, 1, I32(9));
  EXPECT_EQ(f.cur->InsertRecord(rec), kDSOk);
  f.cur->MoveToRecordNumber(3);
  EXPECT_EQ(f.cur->DeleteRecord(), kDSOk);
  EXPECT_EQ(f.ds->ChangeCount(), 3u);
  return f;
}

struct Failure {
  std::int32_t recNo;
  std::int32_t response;
  Row serverValues = {kNull, kNull, kNull};
};

DSPacket Results(const IDSBase& ds, const std::vector<Failure>& failures,
                 std::optional<std::int64_t> appliedThrough) {
  std::unique_ptr<IDSBase> delta;
  EXPECT_EQ(ds.GetDelta(delta), kDSOk);
  std::unique_ptr<IDSBase> errors;
  EXPECT_EQ(CreateErrorDataset(*delta, errors), kDSOk);
  std::unique_ptr<IDSCursor> c;
  EXPECT_EQ(errors->CreateCursor(c), kDSOk);
  for (const Failure& f : failures) {
    DSRecord rec;
    c->InitRecord(rec);
    Put(rec, 1, I32(f.recNo));
    Put(rec, 2, I32(f.response));
    Put(rec, 3, Raw("failed " + std::to_string(f.recNo)));
    Put(rec, 4, Raw(""));
    Put(rec, 5, I32(1));
    Put(rec, 6, I32(100 + f.recNo));
    for (std::uint16_t i = 0; i < f.serverValues.size(); ++i) Put(rec, 7 + i, f.serverValues[i]);
    c->MoveToEof();
    EXPECT_EQ(c->InsertRecord(rec), kDSOk);
  }
  if (appliedThrough) errors->SetAttribute({kAppliedThrough, *appliedThrough});
  DSPacket p;
  EXPECT_EQ(errors->StreamPacket(p), kDSOk);
  return p;
}

TEST(Reconcile, ActionsOnAFailedModifiedRow) {
  const Row server = SmallRow(1, "server", 42);
  struct Case {
    const char* name;
    int action;
    std::vector<AttrRow> rows;
    std::uint32_t changes;
  };
  // The insert and the delete took effect and merge; only row 1 depends on the action.
  const AttrRow two{kRowUnchanged, SmallRow(2, "two", 2)};
  const AttrRow nine{kRowUnchanged, {I32(9), kNull, kNull}};
  const std::vector<Case> cases = {
      {"skip keeps the change", 1, {{kRowModified, SmallRow(1, "uno", 1)}, two, nine}, 1},
      {"abort keeps the change", 2, {{kRowModified, SmallRow(1, "uno", 1)}, two, nine}, 1},
      {"merge takes the change in", 3, {{kRowUnchanged, SmallRow(1, "uno", 1)}, two, nine}, 0},
      {"correct keeps the change", 4, {{kRowModified, SmallRow(1, "uno", 1)}, two, nine}, 1},
      {"cancel reverts", 5, {{kRowUnchanged, SmallRow(1, "one", 1)}, two, nine}, 0},
      {"refresh takes the server values", 6, {{kRowUnchanged, server}, two, nine}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f = Changed();
    int calls = 0;
    DSReconcileInfo seen;
    const DSStatus s =
        f.ds->Reconcile(Results(*f.ds, {{2, 2, server}}, 4), [&](const DSReconcileInfo& info) {
          ++calls;
          seen = info;
          return c.action;
        });
    ASSERT_EQ(s, kDSOk) << f.ds->ErrorText(s);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen.attribute, kRowModified);
    EXPECT_EQ(seen.response, 2);
    EXPECT_EQ(seen.errorCode, 102);
    EXPECT_EQ(seen.message, "failed 2");
    EXPECT_EQ(seen.context, "");
    EXPECT_EQ(seen.deltaRecordNo, 2u);
    EXPECT_EQ(ReadAll(*f.cur, 3), c.rows);
    EXPECT_EQ(f.ds->ChangeCount(), c.changes);
  }
}

TEST(Reconcile, CancelAndRefreshOfInsertsAndDeletes) {
  struct Case {
    const char* name;
    std::int32_t recNo;
    int action;
    std::uint8_t attribute;
    std::vector<std::int32_t> ids;
  };
  const std::vector<Case> cases = {
      {"cancel an insert removes the row", 3, 5, kRowInserted, {1, 2}},
      {"refresh an insert removes the row", 3, 6, kRowInserted, {1, 2}},
      {"cancel a delete brings the row back", 4, 5, kRowDeleted, {1, 2, 3, 9}},
      {"skip a delete keeps it deleted", 4, 1, kRowDeleted, {1, 2, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f = Changed();
    std::uint8_t attribute = 0;
    ASSERT_EQ(f.ds->Reconcile(Results(*f.ds, {{c.recNo, 1}}, 0),
                              [&](const DSReconcileInfo& info) {
                                attribute = info.attribute;
                                return c.action;
                              }),
              kDSOk);
    EXPECT_EQ(attribute, c.attribute);
    std::vector<std::int32_t> ids = Ids(*f.cur);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, c.ids);
  }
}

TEST(Reconcile, UnnamedRowsMergeOnlyWhenTheSaveTookEffect) {
  struct Case {
    const char* name;
    std::optional<std::int64_t> appliedThrough;
    std::uint32_t changes;  // failed row skipped, so it always stays
  };
  const std::vector<Case> cases = {
      {"rolled back: nothing merges", 0, 3},
      {"no attribute: nothing merges", std::nullopt, 3},
      {"applied through the modify", 2, 2},
      {"applied through everything", 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f = Changed();
    ASSERT_EQ(f.ds->Reconcile(Results(*f.ds, {{3, 1}}, c.appliedThrough),
                              [](const DSReconcileInfo&) { return 1; }),
              kDSOk);
    EXPECT_EQ(f.ds->ChangeCount(), c.changes);
  }
}

TEST(Reconcile, AbortEndsTheCallbacksAndKeepsTheRest) {
  Fixture f = Changed();
  int calls = 0;
  ASSERT_EQ(f.ds->Reconcile(Results(*f.ds, {{2, 2}, {3, 2}, {4, 2}}, 0),
                            [&](const DSReconcileInfo&) {
                              ++calls;
                              return 2;
                            }),
            kDSOk);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(f.ds->ChangeCount(), 3u);
}

TEST(Reconcile, RefusedResultsChangeNothing) {
  struct Case {
    const char* name;
    std::function<DSPacket(const IDSBase&)> results;
    DSStatus status;
  };
  const std::vector<Case> cases = {
      {"record number 0",
       [](const IDSBase& ds) {
         return Results(ds, {{0, 1}}, 4);
       },
       kDSBadResults},
      {"record number past the delta",
       [](const IDSBase& ds) {
         return Results(ds, {{5, 1}}, 4);
       },
       kDSBadResults},
      {"not a results packet",
       [](const IDSBase&) { return WritePacket(SmallColumns(), {SmallRow(1, "a", 1)}); },
       kDSBadResults},
      {"damaged",
       [](const IDSBase&) { return DSPacket::FromBytes(std::vector<std::uint8_t>(30, 1)); },
       kDSBadResults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f = Changed();
    int calls = 0;
    const DSStatus s = f.ds->Reconcile(c.results(*f.ds), [&](const DSReconcileInfo&) {
      ++calls;
      return 3;
    });
    EXPECT_EQ(s, c.status);
    EXPECT_FALSE(f.ds->ErrorText(s).empty());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(f.ds->ChangeCount(), 3u);
  }
}

TEST(Reconcile, BadActionsAndThrowingCallbacksLoseNoChange) {
  {
    Fixture f = Changed();
    EXPECT_EQ(
        f.ds->Reconcile(Results(*f.ds, {{2, 1}}, 0), [](const DSReconcileInfo&) { return 7; }),
        kDSBadAction);
    EXPECT_EQ(f.ds->ChangeCount(), 3u);
  }
  {
    Fixture f = Changed();
    int calls = 0;
    EXPECT_THROW(f.ds->Reconcile(Results(*f.ds, {{2, 1}, {3, 1}}, 0),
                                 [&](const DSReconcileInfo&) -> int {
                                   if (++calls == 2) throw std::runtime_error("boom");
                                   return 3;
                                 }),
                 std::runtime_error);
    // The first failed row was merged before the throw; the rest stay.
    EXPECT_EQ(f.ds->ChangeCount(), 2u);
  }
}

}  // namespace
}  // namespace engine
