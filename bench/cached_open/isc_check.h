// Failures of the client library's calls in the benchmarks, as exceptions with the server's text,
// and a statement run on its own.
#pragma once

#include <ibase.h>

#include <stdexcept>
#include <string>

inline std::string IscStatusText(const ISC_STATUS* status) {
  std::string text;
  char buf[512];
  const ISC_STATUS* p = status;
  while (fb_interpret(buf, sizeof buf, &p) > 0) {
    if (!text.empty()) text += ' ';
    text += buf;
  }
  return text;
}

// Throws std::runtime_error when `status` reports a failure.
inline void Check(const ISC_STATUS* status) {
  if (status[0] == 1 && status[1] != 0) throw std::runtime_error(IscStatusText(status));
}

// Runs `sql` without parameters in a transaction of its own on `db`, committed; rolled back and
// thrown when it fails.
inline void ExecuteImmediate(isc_db_handle& db, const std::string& sql) {
  ISC_STATUS_ARRAY st{};
  isc_tr_handle tr = 0;
  isc_start_transaction(st, &tr, 1, &db, 0, nullptr);
  Check(st);
  isc_dsql_execute_immediate(st, &db, &tr, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
  if (st[0] == 1 && st[1] != 0) {
    const std::string text = IscStatusText(st);
    isc_rollback_transaction(st, &tr);
    throw std::runtime_error(text);
  }
  isc_commit_transaction(st, &tr);
  Check(st);
}
