// TSQLResolver: the resolver of a provider whose SQL dataset's table the changes go to. A save
// writes each changed row of the delta with one generated statement (update_statement.h), in the
// order of the delta, inside one transaction on the SQL dataset's connection:
//
//   - The transaction is started by the save when none is active, and then ended by it: committed
//     when the failed rows do not exceed the caller's limit (or the limit is -1), rolled back
//     otherwise, and rolled back when the save fails as a whole. A transaction that was active
//     already is left open, except that a statement changing more than one row (without
//     allowMultiRecordUpdates) rolls back whatever transaction is active at once; the save then
//     sends no further row.
//   - A failed row becomes an EUpdateError (the failure's message, context empty, code 1) offered
//     to the host's update-error event with the delta shown on the row; the answer decides
//     whether the save goes on (see TResolverResponse). Skipped and aborted rows are counted and
//     recorded in the results packet.
//   - The results packet says through which delta row the save took effect, so that the cached
//     dataset keeps in its change log every change that was rolled back or never sent. It is
//     null only when every row was written and kept.
//
// Failures outside the rows (no SQL dataset, a read-only provider, a damaged delta, an answer the
// resolver cannot carry out, the transaction's own failures) are thrown, after the transaction
// the save started has been ended. The resolver keeps nothing between saves.
#pragma once

#include "data/resolver/provider_resolver.h"

class TSQLResolver final : public IProviderResolver {
 public:
  // `host` must outlive the resolver.
  explicit TSQLResolver(ResolverHost& host) : host_(host) {}

  std::optional<engine::DSPacket> ApplyUpdates(const engine::DSPacket& delta,
                                               std::int32_t maxErrors,
                                               std::int32_t& errorCount) override;

 private:
  ResolverHost& host_;
};
