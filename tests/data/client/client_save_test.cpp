// Saving a cached dataset through a provider whose resolver is scripted: when the provider is
// contacted, what becomes of the change log for each outcome, and the reconcile event with its
// actions and its failures.
#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/client/client_dataset.h"
#include "data/engine/ds_results.h"
#include "tests/data/client/client_test_window.h"

namespace {

using namespace clienttest;

// Answers a save with the failures and the APPLIED_THROUGH it is given (no failure and no
// attribute: null results), and keeps every delta it received.
class ScriptedResolver : public IProviderResolver {
 public:
  std::optional<engine::DSPacket> ApplyUpdates(const engine::DSPacket& delta, std::int32_t,
                                               std::int32_t& errorCount) override {
    deltas.push_back(delta.Clone());
    errorCount = static_cast<std::int32_t>(failures.size());
    if (failures.empty() && !appliedThrough) return std::nullopt;
    auto rows = engine::CreateDSBase();
    EXPECT_EQ(rows->AppendPacket(delta.Clone(), true), engine::kDSOk);
    std::unique_ptr<engine::IDSBase> errors;
    EXPECT_EQ(engine::CreateErrorDataset(*rows, errors), engine::kDSOk);
    std::unique_ptr<engine::IDSCursor> c;
    errors->CreateCursor(c);
    for (const auto& [recordNo, response] : failures) {
      engine::DSRecord r;
      c->InitRecord(r);
      const std::int32_t values[] = {recordNo, response, 1, 1};
      r.PutField(1, &values[0], 4);
      r.PutField(2, &values[1], 4);
      const std::string message = "failed " + std::to_string(recordNo);
      r.PutField(3, message.data(), static_cast<std::uint32_t>(message.size()));
      r.PutField(4, "ctx", 3);
      r.PutField(5, &values[2], 4);
      r.PutField(6, &values[3], 4);
      c->MoveToEof();
      EXPECT_EQ(c->InsertRecord(r), engine::kDSOk);
    }
    errors->SetAttribute({engine::kAppliedThrough, std::int64_t{appliedThrough.value_or(0)}});
    engine::DSPacket out;
    EXPECT_EQ(errors->StreamPacket(out), engine::kDSOk);
    return out;
  }

  std::vector<std::pair<std::int32_t, std::int32_t>> failures;  // record number, response
  std::optional<std::int64_t> appliedThrough;
  std::vector<engine::DSPacket> deltas;
};

// The window with three rows and the scripted resolver; the change log: row 1 modified (delta
// rows 1-2), row 9 inserted (3), row 3 deleted (4).
struct Saving : Window {
  Saving() : Window(Table(3)) {
    provider.SetResolverFactory([this](TDataSetProvider&) {
      auto r = std::make_unique<ScriptedResolver>();
      resolver = r.get();
      return r;
    });
    Open();
    cds.FieldByName("AJCI_PORC").SetDisplayLabel("Porc");
    cds.Edit();
    cds.FieldByName("AJCI_PORC").SetAsString("16");
    cds.Post();
    cds.Append();
    cds.FieldByName("AJCI_ID").SetAsInteger(9);
    cds.Post();
    cds.First();
    cds.Next();
    cds.Next();
    cds.Delete();
  }
  std::string Delta() {
    const engine::DSPacket d = cds.Delta();
    return std::string(d.bytes().begin(), d.bytes().end());
  }
  ScriptedResolver* resolver = nullptr;
};

TEST(ClientSave, ThePendingEditIsPostedAndAnEmptyLogSendsNothing) {
  Window w(Table(3));
  w.Open();
  w.cds.Edit();
  EXPECT_EQ(w.cds.ApplyUpdates(0), 0);  // an edit that changed nothing is cancelled
  EXPECT_EQ(w.requests.size(), 1u);
  EXPECT_EQ(w.cds.State(), TDataSetState::dsBrowse);

  Saving s;
  s.cds.Edit();
  s.cds.FieldByName("AJCI_PORC").SetAsString("5");
  EXPECT_EQ(s.cds.ApplyUpdates(0), 0);
  EXPECT_EQ(s.cds.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(s.cds.ChangeCount(), 0);
  // A second save right after finds nothing to send.
  const std::size_t requests = s.requests.size();
  EXPECT_EQ(s.cds.ApplyUpdates(0), 0);
  EXPECT_EQ(s.requests.size(), requests);
  EXPECT_EQ(s.resolver->deltas.size(), 1u);
}

TEST(ClientSave, TheLogKeepsWhatTheSaveDidNotWrite) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::int32_t, std::int32_t>> failures;
    std::optional<std::int64_t> appliedThrough;
    int errorCount;
    int changesLeft;
  };
  const Case cases[] = {
      {"every row written", {}, {}, 0, 0},
      {"rolled back, nothing failed", {}, 0, 0, 3},
      {"rolled back at the insert", {{3, 2}}, 0, 1, 3},
      {"kept up to the insert, which failed", {{3, 2}}, 3, 1, 2},
      {"kept up to the end, the insert skipped", {{3, 1}}, 4, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Saving s;
    const std::string before = s.Delta();
    s.provider.SetResolverFactory([&](TDataSetProvider&) {
      auto r = std::make_unique<ScriptedResolver>();
      r->failures = c.failures;
      r->appliedThrough = c.appliedThrough;
      return r;
    });
    EXPECT_EQ(s.cds.ApplyUpdates(-1), c.errorCount);
    EXPECT_EQ(s.cds.ChangeCount(), c.changesLeft);
    // Nothing written: the log is exactly what it was, ready to be sent again.
    if (c.changesLeft == 3) {
      EXPECT_EQ(s.Delta(), before);
    }
  }
}

TEST(ClientSave, EachFailedRowIsOfferedWithItsKindAndTheRecordedAnswer) {
  Saving s;
  s.provider.SetResolverFactory([](TDataSetProvider&) {
    auto r = std::make_unique<ScriptedResolver>();
    r->failures = {{2, 1}, {3, 1}, {4, 2}};
    return r;
  });
  struct Call {
    TUpdateKind kind;
    TReconcileAction action;
    std::int32_t id;
    std::string message;
    std::string label;
  };
  std::vector<Call> calls;
  s.cds.OnReconcileError = [&](TDataSet& rows, EReconcileError& e, TUpdateKind kind,
                               TReconcileAction& action) {
    EXPECT_EQ(e.Context(), "ctx");
    EXPECT_EQ(e.ErrorCode(), 1);
    calls.push_back({kind, action, rows.FieldByName("AJCI_ID").AsInteger(), e.Message(),
                     rows.FieldByName("AJCI_PORC").DisplayLabel()});
    // The modified row is taken as written; the inserted row is dropped.
    if (kind == TUpdateKind::ukModify) action = TReconcileAction::raMerge;
    if (kind == TUpdateKind::ukInsert) action = TReconcileAction::raCancel;
  };
  EXPECT_EQ(s.cds.ApplyUpdates(-1), 3);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, TUpdateKind::ukModify);
  EXPECT_EQ(calls[0].action, TReconcileAction::raSkip);
  EXPECT_EQ(calls[0].id, 1);
  EXPECT_EQ(calls[0].message, "failed 2");
  EXPECT_EQ(calls[0].label, "Porc");
  EXPECT_EQ(calls[1].kind, TUpdateKind::ukInsert);
  EXPECT_EQ(calls[1].id, 9);
  EXPECT_EQ(calls[2].kind, TUpdateKind::ukDelete);
  EXPECT_EQ(calls[2].action, TReconcileAction::raAbort);
  EXPECT_EQ(calls[2].id, 3);
  // Left: the deletion. The row 9 is gone, row 1 keeps its new rate.
  EXPECT_EQ(s.cds.ChangeCount(), 1);
  EXPECT_EQ(s.cds.RowsInMemory(), 2);
  EXPECT_FALSE(s.cds.Locate("AJCI_ID", {std::int64_t{9}}));
  ASSERT_TRUE(s.cds.Locate("AJCI_ID", {std::int64_t{1}}));
  EXPECT_EQ(s.cds.FieldByName("AJCI_PORC").AsString(), "16");
}

TEST(ClientSave, AFailureInsideTheEventIsShownAndAbortsTheRest) {
  struct Case {
    const char* name;
    bool withDisplay;
  };
  for (const Case c : {Case{"shown", true}, Case{"no display set", false}}) {
    SCOPED_TRACE(c.name);
    Saving s;
    s.provider.SetResolverFactory([](TDataSetProvider&) {
      auto r = std::make_unique<ScriptedResolver>();
      r->failures = {{2, 1}, {3, 1}, {4, 1}};
      r->appliedThrough = 4;
      return r;
    });
    std::vector<std::string> shown;
    if (c.withDisplay) {
      s.cds.ShowException = [&](const std::exception_ptr& e) {
        try {
          std::rethrow_exception(e);
        } catch (const std::exception& x) {
          shown.push_back(x.what());
        }
      };
    }
    int calls = 0;
    s.cds.OnReconcileError = [&](TDataSet&, EReconcileError&, TUpdateKind,
                                 TReconcileAction& action) {
      ++calls;
      action = TReconcileAction::raMerge;
      if (calls == 1) throw EDatabaseError("handler failed");
    };
    EXPECT_EQ(s.cds.ApplyUpdates(-1), 3);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(shown, c.withDisplay ? std::vector<std::string>{"handler failed"}
                                   : std::vector<std::string>{});
    EXPECT_EQ(s.cds.ChangeCount(), 3);
  }
}

TEST(ClientSave, AFailedSaveLeavesTheLogAsItWas) {
  Saving s;
  const std::string before = s.Delta();
  s.provider.SetResolverFactory(nullptr);  // the SQL resolver: this provider has no DataSet
  EXPECT_EQ(MessageOf<EOleException>([&] { s.cds.ApplyUpdates(0); }), "Missing DataSet property");
  EXPECT_EQ(s.Delta(), before);
}

}  // namespace
