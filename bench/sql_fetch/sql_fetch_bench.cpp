// Reading a 1,000,000-row adjustment table through the connection layer (TSQLTable, every field's
// native value as the provider takes it) against a bare loop on the client library reading the
// same columns. Runs alternate; the last line is "ratio R", the layer's median over the bare one's.
//
// The database is made once with the interactive SQL tool in the temporary folder and reused by
// later runs (bench-sql-fetch/ajuste.fdb); delete it to start afresh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/firebird/fb_api.h"
#include "db/firebird/fb_sqlda.h"
#include "db/sql/sql_dataset.h"

namespace {

constexpr int kRows = 1'000'000;
constexpr int kRounds = 5;

std::string DatabasePath() {
  const auto folder = std::filesystem::temp_directory_path() / "bench-sql-fetch";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "ajuste.fdb").string();
  if (std::filesystem::exists(path)) return path;
  const std::string script = (folder / "create.sql").string();
  std::ofstream sql(script);
  sql << "create database '" << path << "' user 'SYSDBA';\n"
      << "create table AJUSTE_CIERRE (AJCI_ID integer not null, AJCI_FECINI date,"
         " AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
      << "set term ^;\nexecute block as declare i integer = 0; begin\n"
      << "  while (i < " << kRows << ") do begin\n"
      << "    insert into AJUSTE_CIERRE values (:i, dateadd(mod(:i, 365) day to date"
         " '2026-01-01'), null, mod(:i, 3) * 7, 0.5 + mod(:i, 5000) / 10000.0);\n"
      << "    i = i + 1;\n  end\nend^\nset term ;^\ncommit;\n";
  sql.close();
  std::printf("making %s ...\n", path.c_str());
  const std::string command = "isql-fb -q -b -i '" + script + "' > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::filesystem::remove(path);
    throw std::runtime_error("isql-fb failed");
  }
  return path;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Every row and field through the layer; returns a checksum of the native bytes.
std::uint64_t ReadThroughLayer(TSQLConnection& connection, std::int64_t& rows) {
  TSQLTable table;
  table.SetSQLConnection(&connection);
  table.SetTableName("AJUSTE_CIERRE");
  table.Open();
  std::uint64_t sum = 0;
  rows = 0;
  const int fields = table.FieldCount();
  for (; !table.Eof(); table.Next()) {
    for (int i = 0; i < fields; ++i) {
      TFieldData data;
      if (table.Fields(i).GetData(data)) sum += data.Data[0] + data.Size;
    }
    ++rows;
  }
  return sum;
}

// The same rows straight from the client library, values copied out of its buffers.
std::uint64_t ReadBare(const FbApi& api, isc_db_handle& db, std::int64_t& rows) {
  ISC_STATUS status[ISC_STATUS_LENGTH];
  isc_tr_handle tr = 0;
  const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                      isc_tpb_wait};
  struct {
    isc_db_handle* db;
    long length;
    const char* tpb;
  } block{&db, sizeof tpb, tpb};
  api.start_multiple(status, &tr, 1, &block);
  isc_stmt_handle stmt = 0;
  api.dsql_allocate_statement(status, &db, &stmt);
  Sqlda out(5);
  api.dsql_prepare(status, &tr, &stmt, 0, " select * from \"AJUSTE_CIERRE\"", 3, out.get());
  out.AllocateBuffers();
  api.dsql_execute2(status, &tr, &stmt, 3, nullptr, nullptr);
  std::uint64_t sum = 0;
  rows = 0;
  std::int32_t id = 0;
  ISC_DATE from = 0, to = 0;
  std::int64_t rate = 0, factor = 0;
  while (api.dsql_fetch(status, &stmt, 3, out.get()) == 0) {
    std::memcpy(&id, out.Var(0).sqldata, sizeof id);
    std::memcpy(&from, out.Var(1).sqldata, sizeof from);
    if (*out.Var(2).sqlind == 0) std::memcpy(&to, out.Var(2).sqldata, sizeof to);
    std::memcpy(&rate, out.Var(3).sqldata, sizeof rate);
    std::memcpy(&factor, out.Var(4).sqldata, sizeof factor);
    sum += static_cast<std::uint64_t>(id + from + to + rate + factor);
    ++rows;
  }
  api.dsql_free_statement(status, &stmt, DSQL_drop);
  api.commit_transaction(status, &tr);
  return sum;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  try {
    const std::string path = DatabasePath();

    TSQLConnection connection;
    connection.DriverName = "Interbase";
    connection.LibraryName = "dbexpint.dll";
    connection.GetDriverFunc = "getSQLDriverINTERBASE";
    connection.VendorLib = "GDS32.DLL";
    for (const char* line : {"BlobSize=-1", "CommitRetain=False", "SQLDialect=3",
                             "Interbase TransIsolation=ReadCommited", "User_Name=SYSDBA",
                             "Password=masterkey", "WaitOnLocks=True"})
      connection.Params().Add(line);
    connection.Params().SetValue("Database", path);
    connection.Open();

    std::string error;
    const auto api = FbApi::Load("GDS32.DLL", error);
    if (!api) throw std::runtime_error(error);
    ISC_STATUS status[ISC_STATUS_LENGTH];
    isc_db_handle db = 0;
    const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A'};
    if (api->attach_database(status, 0, path.c_str(), &db, sizeof dpb, dpb))
      throw std::runtime_error("attach failed");

    std::vector<double> layer, bare;
    for (int round = 0; round < kRounds; ++round) {
      std::int64_t rows = 0;
      auto start = std::chrono::steady_clock::now();
      volatile std::uint64_t sink = ReadThroughLayer(connection, rows);
      layer.push_back(Seconds(std::chrono::steady_clock::now() - start));
      if (rows != kRows) throw std::runtime_error("layer: wrong row count");
      start = std::chrono::steady_clock::now();
      sink = ReadBare(*api, db, rows);
      bare.push_back(Seconds(std::chrono::steady_clock::now() - start));
      if (rows != kRows) throw std::runtime_error("bare loop: wrong row count");
      (void)sink;
      std::printf("round %d: layer %.3f s, bare loop %.3f s\n", round + 1, layer.back(),
                  bare.back());
    }
    api->detach_database(status, &db);
    const double l = Median(layer), b = Median(bare);
    std::printf("median: layer %.3f s (%.0f rows/s), bare loop %.3f s (%.0f rows/s)\n", l,
                kRows / l, b, kRows / b);
    std::printf("ratio %.3f\n", l / b);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench-sql-fetch: %s\n", e.what());
    return 1;
  }
}
