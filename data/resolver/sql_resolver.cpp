#include "data/resolver/sql_resolver.h"

#include "base/exceptions.h"
#include "data/resolver/resolve_run.h"
#include "db/sql/sql_dataset.h"

namespace {
constexpr char kSMissingDataSet[] = "Missing DataSet property";
constexpr char kSMissingConnection[] = "Missing SQLConnection property";
}  // namespace

std::optional<engine::DSPacket> TSQLResolver::ApplyUpdates(const engine::DSPacket& delta,
                                                           std::int32_t maxErrors,
                                                           std::int32_t& errorCount) {
  errorCount = 0;
  TDataSet* dataSet = host_.ResolverDataSet();
  if (dataSet == nullptr) DatabaseError(kSMissingDataSet);
  auto* sql = dynamic_cast<TCustomSQLDataSet*>(dataSet);
  if (sql == nullptr || sql->SQLConnection() == nullptr) {
    DatabaseError(kSMissingConnection, dataSet);
  }
  ResolveRun run(host_, *sql, maxErrors);
  return run.Apply(delta, errorCount);
}

std::unique_ptr<IProviderResolver> CreateSQLResolver(ResolverHost& host) {
  return std::make_unique<TSQLResolver>(host);
}
