#include "bench/cached_open/bench_database.h"

#include <ibase.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/cached_open/isc_check.h"

namespace {

std::int64_t CountRows(isc_db_handle& db) {
  ISC_STATUS_ARRAY st{};
  isc_tr_handle tr = 0;
  isc_stmt_handle stmt = 0;
  isc_start_transaction(st, &tr, 1, &db, 0, nullptr);
  Check(st);
  isc_dsql_allocate_statement(st, &db, &stmt);
  Check(st);
  XSQLDA sqlda{};
  sqlda.version = SQLDA_VERSION1;
  sqlda.sqln = 1;
  std::int64_t count = -1;
  short nullFlag = 0;
  isc_dsql_prepare(st, &tr, &stmt, 0, "SELECT COUNT(*) FROM AJUSTE_CIERRE", SQL_DIALECT_V6, &sqlda);
  if (st[0] == 1 && st[1] != 0) {  // no such table yet
    isc_rollback_transaction(st, &tr);
    return -1;
  }
  sqlda.sqlvar[0].sqldata = reinterpret_cast<char*>(&count);
  sqlda.sqlvar[0].sqlind = &nullFlag;
  isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, nullptr);
  Check(st);
  isc_dsql_fetch(st, &stmt, SQL_DIALECT_V6, &sqlda);
  Check(st);
  isc_dsql_free_statement(st, &stmt, DSQL_drop);
  isc_commit_transaction(st, &tr);
  return count;
}

}  // namespace

void EnsureBenchDatabase(const std::string& path, std::int64_t rows) {
  ISC_STATUS_ARRAY st{};
  isc_db_handle db = 0;
  const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A'};
  if (std::filesystem::exists(path)) {
    isc_attach_database(st, 0, path.c_str(), &db, sizeof dpb, dpb);
    Check(st);
    const std::int64_t have = CountRows(db);
    isc_detach_database(st, &db);
    if (have == rows) return;
    std::filesystem::remove(path);
  }
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  isc_tr_handle tr = 0;
  const std::string create = "CREATE DATABASE '" + path + "' USER 'SYSDBA' PAGE_SIZE 16384";
  isc_dsql_execute_immediate(st, &db, &tr, 0, create.c_str(), SQL_DIALECT_V6, nullptr);
  Check(st);
  try {
    ExecuteImmediate(db,
                     "CREATE TABLE AJUSTE_CIERRE (AJCI_ID INTEGER NOT NULL, AJCI_FECINI DATE, "
                     "AJCI_FECFIN DATE, AJCI_PORC NUMERIC(15,4), AJCI_FACTOR NUMERIC(15,4))");
    ExecuteImmediate(
        db, "EXECUTE BLOCK AS DECLARE i INTEGER = 0; DECLARE d DATE; BEGIN WHILE (i < " +
                std::to_string(rows) + ") DO BEGIN d = DATEADD(MOD(i, " +
                std::to_string(kBenchDays) + ") DAY TO DATE '" + std::to_string(kBenchYear) + "-" +
                std::to_string(kBenchMonth) + "-" + std::to_string(kBenchDay) +
                "'); INSERT INTO AJUSTE_CIERRE VALUES (:i, :d, :d + 30, "
                "CASE MOD(:i, 3) WHEN 0 THEN 19 WHEN 1 THEN 5 ELSE 0 END, 0.8); "
                "i = i + 1; END END");
  } catch (...) {
    isc_detach_database(st, &db);
    throw;
  }
  isc_detach_database(st, &db);
}
