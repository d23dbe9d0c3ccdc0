// ResolveRun: one save of TSQLResolver (see sql_resolver.h for what a save promises): the delta
// loaded as an engine dataset, the walk over its changes, one statement per changed row, the
// handling of failed rows, and the transaction the save started.
//
// Lives for one save; refers to the host, the SQL dataset and its connection, which outlive it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "data/engine/ds_base.h"
#include "data/engine/ds_record.h"
#include "data/resolver/packet_dataset.h"
#include "data/resolver/provider_resolver.h"
#include "data/resolver/save_results.h"
#include "data/resolver/update_statement.h"

class TCustomSQLDataSet;
class TSQLConnection;

class ResolveRun final : private RowValues {
 public:
  ResolveRun(ResolverHost& host, TCustomSQLDataSet& dataSet, std::int32_t maxErrors);
  ~ResolveRun();
  ResolveRun(const ResolveRun&) = delete;
  ResolveRun& operator=(const ResolveRun&) = delete;

  // Applies `delta`; answers the results packet (null when every row was written and kept) and
  // the failed rows in `errorCount`. Throws for failures outside the rows.
  std::optional<engine::DSPacket> Apply(const engine::DSPacket& delta, std::int32_t& errorCount);

 private:
  struct Row {
    TUpdateKind kind = TUpdateKind::ukModify;
    engine::DSBookmark original = 0;  // the values before the change
    engine::DSBookmark changed = 0;   // the row itself (the modified version of a modified row)
    std::uint32_t recordNo = 0;       // of `changed` in the delta, from 1
  };

  void Load(const engine::DSPacket& delta);
  // Answers whether every change was walked.
  bool Walk();
  // Answers whether the walk goes on.
  bool Process(const Row& row);
  // Builds and runs the row's statement; throws when the row fails.
  void Write();
  // Answers whether the row is to be tried again.
  bool HandleFailure(const std::exception_ptr& failure);
  // The row's values on the server, into current_; failures leave hasCurrent_ false.
  void ReadCurrentValues();
  bool CanRetry(TResolverResponse response) const;
  // Rolls back the active transaction after a statement changed several rows.
  void RollBackAtOnce();
  // Ends the transaction the save started (if it still owns one).
  void EndTransaction(bool commit);
  TPacketDataSet& View();
  void Check(engine::DSStatus status) const;

  engine::DSValueView Old(std::uint16_t column) const override;
  engine::DSValueView New(std::uint16_t column) const override;

  ResolverHost& host_;
  TCustomSQLDataSet& dataSet_;
  TSQLConnection& connection_;
  const ResolverPolicy policy_;
  const std::int32_t maxErrors_;

  std::int32_t errorLimit_ = 0;
  std::int32_t errorCount_ = 0;
  TResolverResponse previous_ = TResolverResponse::rrSkip;
  bool started_ = false;     // this save started the transaction and has not ended it
  bool rolledBack_ = false;  // a statement changed several rows and the transaction is undone
  std::uint32_t lastRecordNo_ = 0;

  std::unique_ptr<engine::IDSBase> delta_;
  std::unique_ptr<engine::IDSCursor> changed_;
  std::unique_ptr<engine::IDSCursor> original_;
  std::optional<StatementBuilder> statements_;
  std::string quotedTable_;
  std::optional<SaveResults> results_;
  std::unique_ptr<TPacketDataSet> view_;

  Row row_;
  SQLText sql_;
  bool useCurrent_ = false;   // a retry matches the row by its server values
  bool hasCurrent_ = false;   // current_ holds the row's server values
  engine::DSRecord current_;  // shaped like the delta
};
