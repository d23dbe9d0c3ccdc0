// The SQL resolver through a provider, on the test driver library: the transaction a save starts
// and ends, the walk with its error limit and the update-error answers, the rows affected, the
// results packet, and the failures that end a save as a whole.
#include "data/resolver/sql_resolver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "data/provider/dataset_provider.h"
#include "data/resolver/packet_dataset.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_dataset.h"
#include "tests/data/resolver/resolver_test_util.h"
#include "tests/db/sql/fake_driver_fixture.h"

namespace {

using resolvertest::DeltaBuilder;
using resolvertest::Failure;
using resolvertest::ReadResults;

constexpr char kNotFound[] = "Record not found or changed by another user";
constexpr char kTooMany[] = "Update affected more than 1 record.";

class SqlResolver : public FakeDriverTest {
 protected:
  SqlResolver() {
    table_.SetName("TAjuste");
    table_.SetSQLConnection(&connection_);
    table_.SetTableName("AJUSTE_CIERRE");
    provider_.SetName("PAjuste");
    provider_.SetDataSet(&table_);
    connection_.SetStatementTrace(
        [this](std::string_view sql, std::span<const SQLParamValue>) { sent_.emplace_back(sql); });
  }
  ~SqlResolver() override { table_.SetSQLConnection(nullptr); }

  struct Outcome {
    std::int32_t errorCount = -1;
    std::optional<engine::DSPacket> results;
  };
  Outcome Save(const engine::DSPacket& delta, std::int32_t maxErrors) {
    Outcome o;
    TOwnerData owner;
    o.results = provider_.ApplyUpdates(delta, maxErrors, o.errorCount, owner);
    return o;
  }
  // The transaction calls the driver received, without their descriptors.
  std::vector<std::string> Transactions() const {
    std::vector<std::string> out;
    for (const std::string& line : Log()) {
      for (const char* call : {"beginTransaction", "commit", "rollback"}) {
        if (line.rfind(call, 0) == 0) out.push_back(call);
      }
    }
    return out;
  }
  template <typename F>
  static std::string MessageOf(F action) {
    try {
      action();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(nothing raised)";
  }

  TSQLTable table_;
  TDataSetProvider provider_;
  std::vector<std::string> sent_;
};

TEST_F(SqlResolver, TheErrorLimitTheAnswersAndTheRowsAffectedDecideTheSave) {
  // Three inserted rows (delta rows 1, 2, 3); each case scripts the rows each statement affects.
  struct Case {
    const char* name;
    std::int32_t maxErrors;
    std::optional<TResolverResponse> answer;  // none: no OnUpdateError attached
    bool outerTransaction;
    std::vector<int> affected;
    std::int32_t errorCount;
    std::size_t sent;
    std::vector<std::string> transactions;
    std::optional<std::vector<Failure>> failures;  // none: null results
    std::int64_t appliedThrough;
  };
  const std::vector<std::string> kCommitted = {"beginTransaction", "commit"};
  const std::vector<std::string> kRolledBack = {"beginTransaction", "rollback"};
  const Case cases[] = {
      {"every row written", 0, {}, false, {1, 1, 1}, 0, 3, kCommitted, {}, 0},
      {"limit 0: the first failure ends and undoes the save",
       0,
       {},
       false,
       {1, 0, 1},
       1,
       2,
       kRolledBack,
       std::vector<Failure>{{2, 2, kNotFound}},
       0},
      {"no limit, no handler: skipped and gone on",
       -1,
       {},
       false,
       {1, 0, 1},
       1,
       3,
       kCommitted,
       std::vector<Failure>{{2, 1, kNotFound}},
       3},
      {"no limit, the handler aborts: kept up to the failure",
       -1,
       TResolverResponse::rrAbort,
       false,
       {1, 0, 1},
       1,
       2,
       kCommitted,
       std::vector<Failure>{{2, 2, kNotFound}},
       2},
      {"limit 1: the second failure aborts and undoes",
       1,
       {},
       false,
       {0, 0, 1},
       2,
       2,
       kRolledBack,
       std::vector<Failure>{{1, 1, kNotFound}, {2, 2, kNotFound}},
       0},
      {"limit 1: one failure is allowed",
       1,
       {},
       false,
       {0, 1, 1},
       1,
       3,
       kCommitted,
       std::vector<Failure>{{1, 1, kNotFound}},
       3},
      {"an ignored failure counts as done",
       0,
       TResolverResponse::rrIgnore,
       false,
       {1, 0, 1},
       0,
       3,
       kCommitted,
       {},
       0},
      {"several rows changed: undone at once, whatever the answer",
       -1,
       TResolverResponse::rrSkip,
       false,
       {1, 2, 1},
       1,
       2,
       kRolledBack,
       std::vector<Failure>{{2, 2, kTooMany}},
       0},
      {"several rows changed, ignored: still undone and stopped",
       -1,
       TResolverResponse::rrIgnore,
       false,
       {2, 1, 1},
       1,
       1,
       kRolledBack,
       std::vector<Failure>{{1, 2, kTooMany}},
       0},
      {"an open transaction is left open",
       0,
       {},
       true,
       {1, 0, 1},
       1,
       2,
       {"beginTransaction"},
       std::vector<Failure>{{2, 2, kNotFound}},
       2},
      {"an open transaction is rolled back by several rows changed",
       0,
       {},
       true,
       {1, 3, 1},
       1,
       2,
       kRolledBack,
       std::vector<Failure>{{2, 2, kTooMany}},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    setIntOption_(MetaDataOption::SupportsTransaction, 1);
    connection_.Close();
    sent_.clear();
    for (int rows : c.affected) queueRowsAffected_(rows);
    provider_.OnUpdateError = nullptr;
    if (c.answer) {
      provider_.OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError&, TUpdateKind,
                                    TResolverResponse& response) { response = *c.answer; };
    }
    if (c.outerTransaction) connection_.StartTransaction();
    const Outcome o = Save(DeltaBuilder(0).Insert(11).Insert(12).Insert(13).Packet(), c.maxErrors);
    EXPECT_EQ(o.errorCount, c.errorCount);
    EXPECT_EQ(sent_.size(), c.sent);
    EXPECT_EQ(Transactions(), c.transactions);
    EXPECT_EQ(connection_.InTransaction(), c.outerTransaction && c.transactions.size() == 1);
    ASSERT_EQ(o.results.has_value(), c.failures.has_value());
    if (o.results) {
      const resolvertest::Results r = ReadResults(*o.results);
      EXPECT_EQ(r.failures, *c.failures);
      EXPECT_EQ(r.appliedThrough, c.appliedThrough);
    }
    if (connection_.InTransaction()) connection_.Rollback();
  }
}

TEST_F(SqlResolver, TheUpdateErrorEventSeesTheProviderTheRowAndTheRawText) {
  setRowsAffected_(1);
  fail_("execute", kSqlServerError,
        "violation of PRIMARY or UNIQUE KEY constraint \"PK_AJUSTE\" on table \"AJUSTE_CIERRE\"");
  int calls = 0;
  provider_.OnUpdateError = [&](TDataSetProvider* sender, TDataSet* dataSet, EUpdateError& e,
                                TUpdateKind kind, TResolverResponse& response) {
    ++calls;
    EXPECT_EQ(sender, &provider_);
    ASSERT_NE(dataSet, nullptr);
    EXPECT_NE(dataSet, &table_);
    EXPECT_EQ(e.Message(),
              "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK_AJUSTE\" on "
              "table \"AJUSTE_CIERRE\"");
    EXPECT_EQ(e.Context(), "");
    EXPECT_EQ(e.ErrorCode(), 1);
    EXPECT_EQ(e.PreviousError(), 0);
    EXPECT_TRUE(e.Original() != nullptr);
    EXPECT_EQ(kind, TUpdateKind::ukModify);
    EXPECT_EQ(response, TResolverResponse::rrAbort);
    // The change set stands on the failing row, with its values before and after.
    auto* delta = dynamic_cast<TPacketDataSet*>(dataSet);
    ASSERT_NE(delta, nullptr);
    EXPECT_EQ(delta->FieldByName("AJCI_ID").AsInteger(), 2);
    EXPECT_EQ(delta->FieldByName("AJCI_FACTOR").AsString(), "0.9");
    TFieldData old;
    ASSERT_TRUE(delta->OldData(delta->FieldByName("AJCI_FACTOR"), old));
    EXPECT_EQ(BcdToStr(*reinterpret_cast<const TBcd*>(old.Data), '.'), "0.8");
    EXPECT_EQ(delta->NewData(delta->FieldByName("AJCI_PORC"), old),
              TPacketDataSet::TNewValue::kUnchanged);
    // A skip beyond the limit is recorded as an abort.
    response = TResolverResponse::rrSkip;
  };
  const Outcome o = Save(DeltaBuilder(2).SetFactor(2, "0.9").Packet(), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(o.errorCount, 1);
  ASSERT_TRUE(o.results.has_value());
  EXPECT_EQ(ReadResults(*o.results).failures,
            (std::vector<Failure>{{2, 2,
                                   "SQL Server Error: violation of PRIMARY or UNIQUE KEY "
                                   "constraint \"PK_AJUSTE\" on table \"AJUSTE_CIERRE\""}}));
}

TEST_F(SqlResolver, RowsTheProviderDisallowsFailWithoutAStatement) {
  struct Case {
    TProviderOptions options;
    const char* message;
  };
  const Case cases[] = {{poDisableEdits, "Modifications are not allowed"},
                        {poDisableInserts, "Inserts are not allowed"},
                        {poDisableDeletes, "Deletes are not allowed"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    sent_.clear();
    setRowsAffected_(1);
    provider_.SetOptions(c.options);
    std::vector<std::string> messages;
    provider_.OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError& e, TUpdateKind,
                                  TResolverResponse&) { messages.push_back(e.Message()); };
    const Outcome o = Save(DeltaBuilder(3).SetFactor(1, "0.9").Insert(9).Remove(3).Packet(), -1);
    EXPECT_EQ(o.errorCount, 1);
    EXPECT_EQ(messages, std::vector<std::string>{c.message});
    EXPECT_EQ(sent_.size(), 2u);
  }
}

TEST_F(SqlResolver, AFailureWithoutAnExceptionObjectIsAnErrorMappingFailure) {
  connection_.SetStatementTrace([](std::string_view, std::span<const SQLParamValue>) { throw 7; });
  std::string message;
  provider_.OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError& e, TUpdateKind,
                                TResolverResponse&) {
    message = e.Message();
    try {
      std::rethrow_exception(e.Original());
    } catch (const EDatabaseError& original) {
      EXPECT_EQ(original.Message(), "SQL Error: Error mapping failed");
    }
  };
  EXPECT_EQ(Save(DeltaBuilder(1).Remove(1).Packet(), 0).errorCount, 1);
  EXPECT_EQ(message, "SQL Error: Error mapping failed");
}

TEST_F(SqlResolver, FailuresOutsideTheRowsEndTheSaveAfterItsTransaction) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::function<engine::DSPacket()> delta;
    const char* message;
    std::vector<std::string> transactions;
    std::size_t sent;
  };
  const auto oneModified = [] { return DeltaBuilder(2).SetFactor(2, "0.9").Packet(); };
  const auto answer = [this](TResolverResponse r) {
    return [this, r] {
      setRowsAffected_(0);
      provider_.OnUpdateError = [r](TDataSetProvider*, TDataSet*, EUpdateError&, TUpdateKind,
                                    TResolverResponse& response) { response = r; };
    };
  };
  const Case cases[] = {
      {"no DataSet",
       [this] { provider_.SetDataSet(nullptr); },
       oneModified,
       "Missing DataSet property",
       {},
       0},
      {"a read-only provider",
       [this] { provider_.SetOptions(poReadOnly); },
       oneModified,
       "Cannot apply updates to a ReadOnly provider",
       {"beginTransaction", "rollback"},
       0},
      {"a damaged delta",
       [] {},
       [] {
         const engine::DSPacket good = DeltaBuilder(2).SetFactor(2, "0.9").Packet();
         std::vector<std::uint8_t> bytes(good.bytes().begin(), good.bytes().end());
         bytes.resize(bytes.size() / 2);
         return engine::DSPacket::FromBytes(bytes);
       },
       "",
       {"beginTransaction", "rollback"},
       0},
      {"merging an inserted row",
       answer(TResolverResponse::rrMerge),
       [] { return DeltaBuilder(0).Insert(5).Packet(); },
       "Invalid response",
       {"beginTransaction", "rollback"},
       1},
      {"applying without the server's values",
       answer(TResolverResponse::rrApply),
       oneModified,
       "Invalid response",
       {"beginTransaction", "rollback"},
       1},
      {"a failed commit",
       [this] { fail_("commit", kSqlServerError, "disk full"); },
       oneModified,
       "SQL Server Error: disk full",
       {"beginTransaction", "commit", "rollback"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    setIntOption_(MetaDataOption::SupportsTransaction, 1);
    setRowsAffected_(1);
    connection_.Close();
    sent_.clear();
    provider_.SetDataSet(&table_);
    provider_.SetOptions(0);
    provider_.OnUpdateError = nullptr;
    c.arrange();
    const engine::DSPacket delta = c.delta();
    const std::string message = MessageOf([&] { Save(delta, -1); });
    if (*c.message != '\0') {
      EXPECT_EQ(message, c.message);
    } else {
      EXPECT_NE(message, "(nothing raised)");
    }
    EXPECT_EQ(Transactions(), c.transactions);
    EXPECT_EQ(sent_.size(), c.sent);
    EXPECT_FALSE(connection_.InTransaction());
  }
}

TEST_F(SqlResolver, TheApplyEventsSurroundASaveThatGoesThrough) {
  struct Case {
    const char* name;
    TProviderOptions options;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"written", 0, {"before", "update", "after"}},
      {"failed as a whole", poReadOnly, {"before"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setRowsAffected_(1);
    provider_.SetOptions(c.options);
    std::vector<std::string> calls;
    connection_.SetStatementTrace([&](std::string_view sql, std::span<const SQLParamValue>) {
      calls.push_back(std::string(sql.substr(0, sql.find(' '))));
    });
    provider_.BeforeApplyUpdates = [&](TDataSetProvider& sender, TOwnerData& data) {
      EXPECT_EQ(&sender, &provider_);
      EXPECT_EQ(data, "caller");
      data = "seen";
      calls.push_back("before");
    };
    provider_.AfterApplyUpdates = [&](TDataSetProvider&, TOwnerData& data) {
      EXPECT_EQ(data, "seen");
      calls.push_back("after");
    };
    TOwnerData owner = "caller";
    std::int32_t errors = 0;
    try {
      provider_.ApplyUpdates(DeltaBuilder(1).SetFactor(1, "0.9").Packet(), 0, errors, owner);
    } catch (const EDatabaseError&) {
    }
    EXPECT_EQ(calls, c.calls);
  }
}

TEST_F(SqlResolver, TheResolverIsMadeAtTheFirstSaveAndKeptUntilResolveToDataSetChanges) {
  int made = 0;
  provider_.SetResolverFactory([&](TDataSetProvider& p) {
    ++made;
    return CreateSQLResolver(p.Host());
  });
  setRowsAffected_(1);
  Save(DeltaBuilder(1).Remove(1).Packet(), 0);
  Save(DeltaBuilder(1).Remove(1).Packet(), 0);
  EXPECT_EQ(made, 1);
  provider_.SetResolveToDataSet(true);
  provider_.SetResolveToDataSet(false);
  Save(DeltaBuilder(1).Remove(1).Packet(), 0);
  EXPECT_EQ(made, 2);
  // Without a factory of its own, a provider resolving to its dataset has no resolver.
  provider_.SetResolverFactory(nullptr);
  provider_.SetResolveToDataSet(true);
  EXPECT_EQ(MessageOf([&] { Save(DeltaBuilder(1).Remove(1).Packet(), 0); }),
            "PAjuste: No resolver is available to apply updates");
}

}  // namespace
