#include "bench/save/bare_update.h"

#include <stdexcept>

#include "bench/cached_open/isc_check.h"

namespace {

// An XSQLDA of `n` entries pointing at the caller's values, none of them null.
class Sqlda {
 public:
  explicit Sqlda(int n) : buffer_(XSQLDA_LENGTH(n)) {
    get()->version = SQLDA_VERSION1;
    get()->sqln = static_cast<short>(n);
    get()->sqld = static_cast<short>(n);
  }
  XSQLDA* get() { return reinterpret_cast<XSQLDA*>(buffer_.data()); }
  void Bind(int i, short type, short scale, void* data, short size) {
    XSQLVAR& v = get()->sqlvar[i];
    v.sqltype = type;
    v.sqlscale = scale;
    v.sqldata = static_cast<char*>(data);
    v.sqllen = size;
    v.sqlind = nullptr;
  }

 private:
  std::vector<char> buffer_;
};

// Runs `select` and calls `row` after each fetch into `out`.
template <typename F>
void Select(isc_db_handle& db, const char* select, Sqlda& out, F row) {
  ISC_STATUS_ARRAY st{};
  isc_tr_handle tr = 0;
  isc_stmt_handle stmt = 0;
  isc_start_transaction(st, &tr, 1, &db, 0, nullptr);
  Check(st);
  isc_dsql_allocate_statement(st, &db, &stmt);
  Check(st);
  isc_dsql_prepare(st, &tr, &stmt, 0, select, SQL_DIALECT_V6, nullptr);
  Check(st);
  isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, nullptr);
  Check(st);
  while (isc_dsql_fetch(st, &stmt, SQL_DIALECT_V6, out.get()) == 0) row();
  isc_dsql_free_statement(st, &stmt, DSQL_drop);
  isc_commit_transaction(st, &tr);
  Check(st);
}

}  // namespace

BareConnection::BareConnection(const std::string& path) {
  static const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A'};
  ISC_STATUS_ARRAY st{};
  isc_attach_database(st, 0, path.c_str(), &db_, sizeof dpb, dpb);
  Check(st);
}

BareConnection::~BareConnection() {
  ISC_STATUS_ARRAY st{};
  isc_detach_database(st, &db_);
}

std::vector<BareRow> BareConnection::ReadRows(std::int64_t (*newFactor)(std::int32_t)) {
  std::vector<BareRow> rows;
  BareRow r;
  Sqlda out(5);
  out.Bind(0, SQL_LONG, 0, &r.id, 4);
  out.Bind(1, SQL_TYPE_DATE, 0, &r.start, 4);
  out.Bind(2, SQL_TYPE_DATE, 0, &r.end, 4);
  out.Bind(3, SQL_INT64, -4, &r.rate, 8);
  out.Bind(4, SQL_INT64, -4, &r.factor, 8);
  Select(db_, "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR from AJUSTE_CIERRE",
         out, [&] {
           r.newFactor = newFactor(r.id);
           rows.push_back(r);
         });
  return rows;
}

std::int64_t BareConnection::FactorSum() {
  std::int64_t sum = 0;
  Sqlda out(1);
  out.Bind(0, SQL_INT64, -4, &sum, 8);
  Select(db_, "select sum(AJCI_FACTOR) from AJUSTE_CIERRE", out, [] {});
  return sum;
}

void BareConnection::Execute(const std::string& sql) {
  ExecuteImmediate(db_, sql);
}

void BareConnection::Update(const std::string& sql, const std::vector<BareRow>& rows,
                            bool prepareEveryRow) {
  ISC_STATUS_ARRAY st{};
  isc_tr_handle tr = 0;
  isc_stmt_handle stmt = 0;
  try {
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                               isc_tpb_rec_version, isc_tpb_wait};
    isc_start_transaction(st, &tr, 1, &db_, sizeof tpb, tpb);
    Check(st);
    BareRow row;
    Sqlda in(6);
    in.Bind(0, SQL_INT64, -4, &row.newFactor, 8);
    in.Bind(1, SQL_LONG, 0, &row.id, 4);
    in.Bind(2, SQL_TYPE_DATE, 0, &row.start, 4);
    in.Bind(3, SQL_TYPE_DATE, 0, &row.end, 4);
    in.Bind(4, SQL_INT64, -4, &row.rate, 8);
    in.Bind(5, SQL_INT64, -4, &row.factor, 8);
    const auto prepare = [&] {
      isc_dsql_allocate_statement(st, &db_, &stmt);
      Check(st);
      isc_dsql_prepare(st, &tr, &stmt, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
      Check(st);
    };
    if (!prepareEveryRow) prepare();
    for (const BareRow& r : rows) {
      row = r;
      if (prepareEveryRow) prepare();
      isc_dsql_execute(st, &tr, &stmt, SQL_DIALECT_V6, in.get());
      Check(st);
      if (prepareEveryRow) isc_dsql_free_statement(st, &stmt, DSQL_drop);
    }
    if (stmt) isc_dsql_free_statement(st, &stmt, DSQL_drop);
    isc_commit_transaction(st, &tr);
    Check(st);
  } catch (...) {
    if (stmt) isc_dsql_free_statement(st, &stmt, DSQL_drop);
    if (tr) isc_rollback_transaction(st, &tr);
    throw;
  }
}
