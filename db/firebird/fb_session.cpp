#include "db/firebird/fb_session.h"

#include "db/firebird/fb_statement.h"

namespace {

// One database of a transaction start: the layout the client library reads.
struct TransactionBlock {
  isc_db_handle* db;
  long tpbLength;
  char* tpb;
};

// Kept statements are few (one per distinct text of a save); beyond this the oldest are not
// worth holding server resources for.
constexpr std::size_t kMostKept = 64;

}  // namespace

std::vector<char> FbSession::TransactionParameters(int level) const {
  std::vector<char> tpb{isc_tpb_version3, isc_tpb_write};
  if (level == 1) {
    tpb.push_back(isc_tpb_concurrency);
  } else {
    // The server has no dirty reads; read committed is the nearest it offers.
    tpb.push_back(isc_tpb_read_committed);
    tpb.push_back(isc_tpb_rec_version);
  }
  tpb.push_back(waitOnLocks ? isc_tpb_wait : isc_tpb_nowait);
  return tpb;
}

ISC_STATUS FbSession::Start(ISC_STATUS* status, isc_tr_handle* tr, int level) const {
  const std::vector<char> tpb = TransactionParameters(level < 0 ? isolation : level);
  TransactionBlock block{const_cast<isc_db_handle*>(&db), static_cast<long>(tpb.size()),
                         const_cast<char*>(tpb.data())};
  return api->start_multiple(status, tr, 1, &block);
}

void FbSession::KeepPrepared(std::shared_ptr<FbStatement> statement) {
  const int type = statement->statementType;
  const bool writes = type == isc_info_sql_stmt_insert || type == isc_info_sql_stmt_update ||
                      type == isc_info_sql_stmt_delete;
  if (!writes || !transaction || !db || !statement->handle || statement->cursorOpen ||
      statement->ownTransaction || statement.use_count() != 1 || idle.size() >= kMostKept) {
    return;
  }
  idle.push_back(std::move(statement));
}

std::shared_ptr<FbStatement> FbSession::TakePrepared(std::string_view text) {
  if (!transaction) return nullptr;
  for (auto it = idle.begin(); it != idle.end(); ++it) {
    if ((*it)->text != text) continue;
    std::shared_ptr<FbStatement> statement = std::move(*it);
    idle.erase(it);
    return statement;
  }
  return nullptr;
}
