// Rows per second through the Firebird driver on an embedded database: reading every column of
// the adjustment table, and inserting rows with bound parameters inside one transaction.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "db/driver/dynamic_library.h"
#include "db/driver/sql_driver.h"
#include "db/firebird/fb_api.h"
#include "db/firebird/fb_sqlda.h"

namespace {

constexpr int kRows = 100'000;

// The database of the run: created once in a temporary folder, removed at exit.
class BenchDatabase {
 public:
  BenchDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fbbench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    folder_ = pattern;
    path_ = folder_ + "/bench.fdb";
    std::ofstream sql(folder_ + "/create.sql");
    sql << "create database '" << path_ << "' user 'SYSDBA';\n"
        << "create table AJUSTE_CIERRE (AJCI_ID integer not null, AJCI_FECINI date,"
           " AJCI_FECFIN date, AJCI_PORC numeric(15,4), AJCI_FACTOR numeric(15,4));\n"
        << "set term ^;\nexecute block as declare i integer = 0; begin\n"
        << "  while (i < " << kRows << ") do begin\n"
        << "    insert into AJUSTE_CIERRE values (:i, date '2023-03-01', date '2023-03-31',"
           " mod(:i, 20), 0.8);\n"
        << "    i = i + 1;\n  end\nend^\nset term ;^\ncommit;\n";
    sql.close();
    const std::string command = "isql-fb -q -b -i '" + folder_ + "/create.sql' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("isql-fb failed");
  }
  ~BenchDatabase() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

struct Session {
  std::unique_ptr<DynamicLibrary> library = DynamicLibrary::Load(kDriverLibraryAlias);
  std::unique_ptr<ISQLDriver> driver;
  std::unique_ptr<ISQLConnection> connection;

  explicit Session(const std::string& path) {
    if (!library) throw std::runtime_error("driver library not found");
    auto entry = reinterpret_cast<SQLDriverEntry>(library->Symbol("getSQLDriverINTERBASE"));
    ISQLDriver* raw = nullptr;
    if (!entry || entry("GDS32.DLL", "", &raw) != kSqlSuccess) {
      throw std::runtime_error("driver entry failed");
    }
    driver.reset(raw);
    driver->getSQLConnection(connection);
    connection->setOption(ConnectionOption::SqlDialect, 3);
    if (connection->connect(path, "SYSDBA", "masterkey") != kSqlSuccess) {
      throw std::runtime_error("connect failed");
    }
  }
};

BenchDatabase& Database() {
  static BenchDatabase db;
  return db;
}

void BM_FetchAdjustmentRows(benchmark::State& state) {
  Session session(Database().Path());
  for (auto _ : state) {
    std::unique_ptr<ISQLCommand> command;
    session.connection->getSQLCommand(command);
    command->prepare(" select * from \"AJUSTE_CIERRE\"", 0);
    std::unique_ptr<ISQLCursor> cursor;
    command->execute(cursor);
    std::int64_t rows = 0;
    std::int32_t id = 0, from = 0, to = 0;
    TBcd rate, factor;
    bool isNull = false;
    while (cursor->next() == kSqlSuccess) {
      cursor->getLong(1, id, isNull);
      cursor->getDate(2, from, isNull);
      cursor->getDate(3, to, isNull);
      cursor->getBcd(4, rate, isNull);
      cursor->getBcd(5, factor, isNull);
      ++rows;
    }
    benchmark::DoNotOptimize(factor);
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FetchAdjustmentRows)->Unit(benchmark::kMillisecond);

// The same rows read straight from the client library, values copied out of its buffers: what the
// driver's own cost is measured against.
void BM_BareClientLoop(benchmark::State& state) {
  std::string error;
  const auto api = FbApi::Load("GDS32.DLL", error);
  if (!api) {
    state.SkipWithError(error.c_str());
    return;
  }
  ISC_STATUS status[ISC_STATUS_LENGTH];
  isc_db_handle db = 0;
  const std::string path = Database().Path();
  const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A'};
  if (api->attach_database(status, 0, path.c_str(), &db, sizeof dpb, dpb)) {
    state.SkipWithError("attach failed");
    return;
  }
  for (auto _ : state) {
    isc_tr_handle tr = 0;
    const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                        isc_tpb_rec_version, isc_tpb_wait};
    struct {
      isc_db_handle* db;
      long length;
      const char* tpb;
    } block{&db, sizeof tpb, tpb};
    api->start_multiple(status, &tr, 1, &block);
    isc_stmt_handle stmt = 0;
    api->dsql_allocate_statement(status, &db, &stmt);
    Sqlda out(5);
    api->dsql_prepare(status, &tr, &stmt, 0, " select * from \"AJUSTE_CIERRE\"", 3, out.get());
    out.AllocateBuffers();
    api->dsql_execute2(status, &tr, &stmt, 3, nullptr, nullptr);
    std::int64_t rows = 0, sum = 0;
    std::int32_t id = 0;
    ISC_DATE from = 0, to = 0;
    std::int64_t rate = 0, factor = 0;
    while (api->dsql_fetch(status, &stmt, 3, out.get()) == 0) {
      std::memcpy(&id, out.Var(0).sqldata, sizeof id);
      std::memcpy(&from, out.Var(1).sqldata, sizeof from);
      std::memcpy(&to, out.Var(2).sqldata, sizeof to);
      std::memcpy(&rate, out.Var(3).sqldata, sizeof rate);
      std::memcpy(&factor, out.Var(4).sqldata, sizeof factor);
      sum += id + from + to + rate + factor;
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
    api->dsql_free_statement(status, &stmt, DSQL_drop);
    api->commit_transaction(status, &tr);
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
  api->detach_database(status, &db);
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_BareClientLoop)->Unit(benchmark::kMillisecond);

void BM_InsertRowsWithParameters(benchmark::State& state) {
  Session session(Database().Path());
  const int rows = static_cast<int>(state.range(0));
  TTransactionDesc desc;
  for (auto _ : state) {
    session.connection->beginTransaction(desc);
    std::unique_ptr<ISQLCommand> command;
    session.connection->getSQLCommand(command);
    command->prepare("insert into AJUSTE_CIERRE values (?, ?, ?, ?, ?)", 5);
    const TBcd rate = StrToBcd("19", '.');
    const TBcd factor = StrToBcd("0.8", '.');
    const std::int32_t day = 738'580;
    for (std::int32_t i = 0; i < rows; ++i) {
      const std::int32_t id = kRows + i;
      command->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0, 0,
                            &id, false);
      command->setParameter(2, ParamDirection::Input, SqlType::Date, SqlSubType::None, 4, 0, 0,
                            &day, false);
      command->setParameter(3, ParamDirection::Input, SqlType::Date, SqlSubType::None, 4, 0, 0,
                            &day, false);
      command->setParameter(4, ParamDirection::Input, SqlType::FmtBcd, SqlSubType::None, 18, 15, 4,
                            &rate, false);
      command->setParameter(5, ParamDirection::Input, SqlType::FmtBcd, SqlSubType::None, 18, 15, 4,
                            &factor, false);
      std::unique_ptr<ISQLCursor> none;
      if (command->execute(none) != kSqlSuccess) {
        state.SkipWithError("insert failed");
        break;
      }
    }
    // Rolled back, so every iteration starts from the same table.
    session.connection->rollback(desc);
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_InsertRowsWithParameters)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
