// IProviderResolver: the write side of a provider, which turns the delta of a cached dataset into
// statements on the provider's SQL dataset; and ResolverHost, what a resolver asks of the provider
// it works for. The provider owns its resolver; the resolver refers to the provider as its host,
// which must outlive it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/exceptions.h"
#include "data/engine/ds_packet.h"
#include "data/resolver/update_types.h"

class TDataSet;

// The provider switches a save acts on.
struct ResolverPolicy {
  TUpdateMode updateMode = TUpdateMode::upWhereAll;
  bool readOnly = false;                 // no save at all
  bool disableEdits = false;             // modified rows fail
  bool disableInserts = false;           // inserted rows fail
  bool disableDeletes = false;           // deleted rows fail
  bool allowMultiRecordUpdates = false;  // a statement may change more than one row
};

class ResolverHost {
 public:
  // The SQL dataset whose table the statements write; null when the provider has none.
  virtual TDataSet* ResolverDataSet() const = 0;
  virtual ResolverPolicy Policy() const = 0;
  // Offers a failed row to the provider's update-error event. `delta` shows the row (old and new
  // values), `error` is the row's update error; the event may change `response`.
  virtual void UpdateError(TDataSet& delta, EUpdateError& error, TUpdateKind kind,
                           TResolverResponse& response) = 0;

 protected:
  ~ResolverHost() = default;
};

class IProviderResolver {
 public:
  virtual ~IProviderResolver() = default;
  // Resolves `delta`; answers the results packet (nothing when no row failed) and the number of
  // failed rows. `maxErrors` -1 = no limit. Failures outside the rows are thrown, after the
  // transaction the save started has been ended.
  virtual std::optional<engine::DSPacket> ApplyUpdates(const engine::DSPacket& delta,
                                                       std::int32_t maxErrors,
                                                       std::int32_t& errorCount) = 0;
};

// The resolver that writes each changed row with one generated INSERT, UPDATE or DELETE inside one
// transaction (sql_resolver.h).
std::unique_ptr<IProviderResolver> CreateSQLResolver(ResolverHost& host);
