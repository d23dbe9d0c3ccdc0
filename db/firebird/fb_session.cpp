#include "db/firebird/fb_session.h"

namespace {

// One database of a transaction start: the layout the client library reads.
struct TransactionBlock {
  isc_db_handle* db;
  long tpbLength;
  char* tpb;
};

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
