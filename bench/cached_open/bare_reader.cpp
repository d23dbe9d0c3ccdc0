#include "bench/cached_open/bare_reader.h"

#include <ibase.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "bench/cached_open/isc_check.h"

namespace {}  // namespace

BareReadResult BareRead(const std::string& path, std::int32_t firebirdDay) {
  ISC_STATUS_ARRAY st{};
  isc_db_handle db = 0;
  isc_tr_handle tr = 0;
  isc_stmt_handle stmt = 0;

  const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A'};
  isc_attach_database(st, 0, path.c_str(), &db, sizeof dpb, dpb);
  Check(st);
  BareReadResult result;
  try {
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                               isc_tpb_rec_version};
    isc_start_transaction(st, &tr, 1, &db, sizeof tpb, tpb);
    Check(st);
    isc_dsql_allocate_statement(st, &db, &stmt);
    Check(st);
    std::vector<char> sqldaBuf(XSQLDA_LENGTH(5));
    auto* sqlda = reinterpret_cast<XSQLDA*>(sqldaBuf.data());
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = 5;
    isc_dsql_prepare(st, &tr, &stmt, 0,
                     "SELECT AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                     "FROM AJUSTE_CIERRE",
                     SQL_DIALECT_V6, sqlda);
    Check(st);
    std::vector<std::int64_t> storage(5);
    std::vector<short> nulls(5);
    for (int i = 0; i < sqlda->sqld; ++i) {
      sqlda->sqlvar[i].sqldata = reinterpret_cast<char*>(&storage[i]);
      sqlda->sqlvar[i].sqlind = &nulls[i];
    }
    isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, nullptr);
    Check(st);
    for (;;) {
      const ISC_STATUS rc = isc_dsql_fetch(st, &stmt, SQL_DIALECT_V6, sqlda);
      if (rc == 100) break;
      Check(st);
      ++result.rows;
      std::int32_t day;
      std::memcpy(&day, &storage[1], sizeof day);
      if (nulls[1] == 0 && day == firebirdDay) ++result.matching;
    }
    isc_dsql_free_statement(st, &stmt, DSQL_drop);
    isc_commit_transaction(st, &tr);
    Check(st);
  } catch (...) {
    if (stmt) isc_dsql_free_statement(st, &stmt, DSQL_drop);
    if (tr) isc_rollback_transaction(st, &tr);
    isc_detach_database(st, &db);
    throw;
  }
  isc_detach_database(st, &db);
  return result;
}
