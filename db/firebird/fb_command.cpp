#include "db/firebird/fb_command.h"

#include <cstring>

#include "db/firebird/fb_cursor.h"
#include "db/firebird/fb_values.h"

namespace {

constexpr std::size_t kLongestText = 32767;

std::string Trimmed(const char* text, int length) {
  std::string s(text, static_cast<std::size_t>(std::max(length, 0)));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The declared precision of a column of a table, view or procedure, 0 when not found.
constexpr const char* kPrecisionQuery =
    "select f.rdb$field_precision from rdb$relation_fields rf join rdb$fields f "
    "on f.rdb$field_name = rf.rdb$field_source "
    "where rf.rdb$relation_name = ? and rf.rdb$field_name = ? "
    "union all "
    "select f.rdb$field_precision from rdb$procedure_parameters pp join rdb$fields f "
    "on f.rdb$field_name = pp.rdb$field_source "
    "where pp.rdb$procedure_name = ? and pp.rdb$parameter_name = ? and pp.rdb$parameter_type = 1";

int QueryPrecision(const FbApi& api, isc_db_handle* db, isc_tr_handle* tr,
                   const std::string& relation, const std::string& column) {
  ISC_STATUS status[ISC_STATUS_LENGTH];
  isc_stmt_handle stmt = 0;
  if (api.dsql_allocate_statement(status, db, &stmt)) return 0;
  int precision = 0;
  Sqlda in(4);
  Sqlda out(1);
  if (!api.dsql_prepare(status, tr, &stmt, 0, kPrecisionQuery, SQL_DIALECT_V6, out.get())) {
    out.AllocateBuffers();
    in.get()->sqld = 4;
    for (int i = 0; i < 4; ++i) {
      const std::string& text = i % 2 == 0 ? relation : column;
      in.SetValue(i, SQL_TEXT, 0, 0, text.data(), text.size());
    }
    if (!api.dsql_execute2(status, tr, &stmt, SQL_DIALECT_V6, in.get(), nullptr) &&
        api.dsql_fetch(status, &stmt, SQL_DIALECT_V6, out.get()) == 0 && *out.Var(0).sqlind == 0) {
      std::int16_t value = 0;
      std::memcpy(&value, out.Var(0).sqldata, sizeof value);
      precision = value;
    }
  }
  api.dsql_free_statement(status, &stmt, DSQL_drop);
  return precision;
}

}  // namespace

FbCommand::FbCommand(std::shared_ptr<FbSession> session) : session_(std::move(session)) {}

SQLResult FbCommand::ServerFailure(const ISC_STATUS* status) {
  return Fail(kSqlServerError, session_->api->StatusText(status));
}

SQLResult FbCommand::prepare(std::string_view sql, std::uint16_t paramCount) {
  if (!session_->db) return Fail(kSqlInvalidHandle, "Not connected to a database");
  close();
  if (auto kept = session_->TakePrepared(sql)) {
    params_.assign(std::max<int>(paramCount, kept->in.Count()), Parameter{});
    statement_ = std::move(kept);
    return kSqlSuccess;
  }
  auto statement = std::make_shared<FbStatement>(session_);
  statement->text = sql;
  const std::string& text = statement->text;
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  if (api.dsql_allocate_statement(status, &session_->db, &statement->handle)) {
    return ServerFailure(status);
  }
  // Preparing needs a transaction: the explicit one, or a short one of its own.
  isc_tr_handle own = 0;
  isc_tr_handle* tr = &session_->transaction;
  if (!session_->transaction) {
    if (session_->Start(status, &own)) return ServerFailure(status);
    tr = &own;
  }
  SQLResult result = kSqlSuccess;
  if (api.dsql_prepare(status, tr, &statement->handle, 0, text.c_str(), session_->dialect,
                       nullptr)) {
    result = ServerFailure(status);
  } else {
    statement_ = statement;
    const char items[] = {isc_info_sql_stmt_type};
    char info[16] = {};
    if (api.dsql_sql_info(status, &statement->handle, sizeof items, items, sizeof info, info) ==
            0 &&
        info[0] == isc_info_sql_stmt_type) {
      const short len = static_cast<short>(api.vax_integer(info + 1, 2));
      statement->statementType = static_cast<int>(api.vax_integer(info + 3, len));
    }
    if (api.dsql_describe_bind(status, &statement->handle, SQLDA_VERSION1, statement->in.get())) {
      result = ServerFailure(status);
    } else if (statement->in.Count() > statement->in.get()->sqln) {
      const int n = statement->in.Count();
      statement->in.Reserve(n);
      if (api.dsql_describe_bind(status, &statement->handle, SQLDA_VERSION1, statement->in.get())) {
        result = ServerFailure(status);
      }
    }
    if (result == kSqlSuccess) {
      for (int i = 0; i < statement->in.Count(); ++i) {
        const XSQLVAR& v = statement->in.Var(i);
        statement->inDescribed.push_back(
            {static_cast<short>(v.sqltype & ~1), v.sqlsubtype, v.sqlscale});
      }
      statement->in.AllocateBuffers();
      prepareTransaction_ = tr;
      DescribeColumns(result);
      prepareTransaction_ = nullptr;
    }
  }
  if (own) {
    ISC_STATUS ignored[ISC_STATUS_LENGTH];
    api.commit_transaction(ignored, &own);
    if (own) api.rollback_transaction(ignored, &own);
  }
  if (result != kSqlSuccess) {
    statement_.reset();
    return result;
  }
  params_.assign(std::max<int>(paramCount, statement->in.Count()), Parameter{});
  return kSqlSuccess;
}

bool FbCommand::DescribeColumns(SQLResult& result) {
  FbStatement& st = *statement_;
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  if (api.dsql_describe(status, &st.handle, SQLDA_VERSION1, st.out.get())) {
    result = ServerFailure(status);
    return false;
  }
  if (st.out.Count() > st.out.get()->sqln) {
    st.out.Reserve(st.out.Count());
    if (api.dsql_describe(status, &st.handle, SQLDA_VERSION1, st.out.get())) {
      result = ServerFailure(status);
      return false;
    }
  }
  st.out.AllocateBuffers();
  const int n = st.out.Count();
  st.shapes.clear();
  st.names.clear();
  st.readOnly.clear();
  for (int i = 0; i < n; ++i) {
    const XSQLVAR& var = st.out.Var(i);
    st.shapes.push_back(DescribeColumn(var, IsScaledInteger(var) ? DeclaredPrecision(var) : 0));
    st.names.emplace_back(var.aliasname, static_cast<std::size_t>(var.aliasname_length));
    // A column that is no column of a table or procedure (an expression) cannot be written back.
    st.readOnly.push_back(var.relname_length == 0);
  }
  return true;
}

int FbCommand::DeclaredPrecision(const XSQLVAR& var) {
  if (var.relname_length == 0 || var.sqlname_length == 0 || !prepareTransaction_) return 0;
  const std::string relation = Trimmed(var.relname, var.relname_length);
  const std::string column = Trimmed(var.sqlname, var.sqlname_length);
  const std::string key = relation + '\x01' + column;
  if (auto it = session_->precisions.find(key); it != session_->precisions.end()) {
    return it->second;
  }
  const int precision =
      QueryPrecision(*session_->api, &session_->db, prepareTransaction_, relation, column);
  session_->precisions.emplace(key, precision);
  return precision;
}

SQLResult FbCommand::setParameter(std::uint16_t position, ParamDirection, SqlType type, SqlSubType,
                                  std::int32_t length, std::int32_t, std::int32_t,
                                  const void* value, bool isNull) {
  if (!statement_) return Fail(kSqlInvalidHandle, "Statement not prepared");
  if (position < 1 || position > params_.size()) {
    return Fail(kSqlOutOfRange, "Parameter number out of range");
  }
  Parameter& p = params_[position - 1];
  p.set = true;
  p.type = type;
  const bool sized = type == SqlType::Text || type == SqlType::Bytes || type == SqlType::VarBytes ||
                     type == SqlType::Blob;
  // An empty text needs no bytes to point at; it is empty, not null.
  p.isNull = isNull || (value == nullptr && !(sized && length == 0));
  p.bytes.clear();
  if (p.isNull) return kSqlSuccess;
  static constexpr char kNothing = 0;
  const char* bytes = value ? static_cast<const char*>(value) : &kNothing;
  std::size_t size = 0;
  switch (type) {
    case SqlType::Text:
      size = length > 0 ? strnlen(bytes, static_cast<std::size_t>(length)) : 0;
      break;
    case SqlType::Bytes:
    case SqlType::VarBytes:
    case SqlType::Blob:
      size = static_cast<std::size_t>(std::max(length, 0));
      break;
    case SqlType::Boolean:
    case SqlType::Int16:
      size = sizeof(std::int16_t);
      break;
    case SqlType::UInt16:
      size = sizeof(std::uint16_t);
      break;
    case SqlType::Int32:
    case SqlType::Date:
    case SqlType::Time:
      size = sizeof(std::int32_t);
      break;
    case SqlType::Int64:
      size = sizeof(std::int64_t);
      break;
    case SqlType::Float:
      size = sizeof(double);
      break;
    case SqlType::Bcd:
    case SqlType::FmtBcd:
      size = sizeof(TBcd);
      break;
    case SqlType::Timestamp:
      size = sizeof(SQLTimeStamp);
      break;
    default:
      p.set = false;
      return Fail(kSqlInvalidFieldType, "Unsupported parameter type");
  }
  p.bytes.assign(bytes, bytes + size);
  return kSqlSuccess;
}

bool FbCommand::WriteBlob(const std::vector<char>& bytes, short subType, ISC_QUAD& id,
                          SQLResult& result) {
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  isc_blob_handle blob = 0;
  const char bpb[] = {isc_bpb_version1, isc_bpb_target_type, 1, static_cast<char>(subType)};
  if (api.create_blob2(status, &session_->db, statement_->Transaction(), &blob, &id, sizeof bpb,
                       bpb)) {
    result = ServerFailure(status);
    return false;
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const auto chunk = static_cast<unsigned short>(std::min<std::size_t>(bytes.size() - at, 32768));
    if (api.put_segment(status, &blob, chunk, bytes.data() + at)) {
      result = ServerFailure(status);
      ISC_STATUS ignored[ISC_STATUS_LENGTH];
      api.close_blob(ignored, &blob);
      return false;
    }
    at += chunk;
  }
  if (api.close_blob(status, &blob)) {
    result = ServerFailure(status);
    return false;
  }
  return true;
}

bool FbCommand::BindOne(int index, const Parameter& p, SQLResult& result) {
  Sqlda& in = statement_->in;
  const FbStatement::Described& described = statement_->inDescribed[index];
  const short describedType = described.type;
  if (p.isNull) {
    in.SetNull(index, describedType, described.subtype, described.scale);
    return true;
  }
  const void* data = p.bytes.data();
  const std::size_t size = p.bytes.size();
  auto invalid = [&](const char* message) {
    result = Fail(kSqlInvalidParameter, message);
    return false;
  };
  if (describedType == SQL_BLOB && (p.type == SqlType::Text || p.type == SqlType::Bytes ||
                                    p.type == SqlType::VarBytes || p.type == SqlType::Blob)) {
    ISC_QUAD id{};
    if (!WriteBlob(p.bytes, described.subtype, id, result)) return false;
    in.SetValue(index, SQL_BLOB, described.subtype, 0, &id, sizeof id);
    return true;
  }
  switch (p.type) {
    case SqlType::Text:
    case SqlType::Bytes:
    case SqlType::VarBytes:
    case SqlType::Blob: {
      if (size > kLongestText) return invalid("Parameter value too long");
      const bool binary = p.type != SqlType::Text;
      const short charset = binary ? 1
                            : describedType == SQL_TEXT || describedType == SQL_VARYING
                                ? described.subtype
                                : 0;
      in.SetValue(index, SQL_TEXT, charset, 0, data, size);
      return true;
    }
    case SqlType::Boolean:
      if (describedType == SQL_BOOLEAN) {
        std::int16_t v = 0;
        std::memcpy(&v, data, sizeof v);
        const unsigned char b = v != 0;
        in.SetValue(index, SQL_BOOLEAN, 0, 0, &b, 1);
        return true;
      }
      in.SetValue(index, SQL_SHORT, 0, 0, data, size);
      return true;
    case SqlType::Int16:
      in.SetValue(index, SQL_SHORT, 0, 0, data, size);
      return true;
    case SqlType::UInt16: {
      std::uint16_t v = 0;
      std::memcpy(&v, data, sizeof v);
      const std::int32_t wide = v;
      in.SetValue(index, SQL_LONG, 0, 0, &wide, sizeof wide);
      return true;
    }
    case SqlType::Int32:
      in.SetValue(index, SQL_LONG, 0, 0, data, size);
      return true;
    case SqlType::Int64:
      in.SetValue(index, SQL_INT64, 0, 0, data, size);
      return true;
    case SqlType::Float:
      in.SetValue(index, SQL_DOUBLE, 0, 0, data, size);
      return true;
    case SqlType::Bcd:
    case SqlType::FmtBcd: {
      TBcd bcd;
      std::memcpy(&bcd, data, sizeof bcd);
      if (!IsValidBcd(bcd)) return invalid("Invalid decimal parameter value");
      const int scale = BcdScale(bcd);
      std::int64_t scaled = 0;
      // A value no finer than its scaled-integer column goes at the column's scale: every row of
      // a statement then binds alike, and the server keeps the layout of its parameters.
      const bool scaledColumn =
          describedType == SQL_INT64 || describedType == SQL_LONG || describedType == SQL_SHORT;
      const int columnScale = -described.scale;
      if (scaledColumn && scale <= columnScale && columnScale <= 18 &&
          BcdToScaled(bcd, columnScale, scaled)) {
        in.SetValue(index, SQL_INT64, 0, described.scale, &scaled, sizeof scaled);
      } else if (scale <= 18 && BcdToScaled(bcd, scale, scaled)) {
        in.SetValue(index, SQL_INT64, 0, static_cast<short>(-scale), &scaled, sizeof scaled);
      } else {
        // Too wide for a scaled integer: the server reads the exact decimal text.
        const std::string text = BcdToStr(bcd, '.');
        in.SetValue(index, SQL_TEXT, 0, 0, text.data(), text.size());
      }
      return true;
    }
    case SqlType::Date: {
      std::int32_t day = 0;
      std::memcpy(&day, data, sizeof day);
      if (day < 1 || day > DayNumberFromCivil(9999, 12, 31)) return invalid("Invalid date value");
      const ISC_DATE date = DayNumberToIscDate(day);
      in.SetValue(index, SQL_TYPE_DATE, 0, 0, &date, sizeof date);
      return true;
    }
    case SqlType::Time: {
      std::int32_t ms = 0;
      std::memcpy(&ms, data, sizeof ms);
      ISC_TIME time = 0;
      if (!MillisecondsToIscTime(ms, time)) return invalid("Invalid time value");
      in.SetValue(index, SQL_TYPE_TIME, 0, 0, &time, sizeof time);
      return true;
    }
    case SqlType::Timestamp: {
      SQLTimeStamp stamp;
      std::memcpy(&stamp, data, sizeof stamp);
      ISC_TIMESTAMP ts{};
      if (!SqlToIscTimestamp(stamp, ts)) return invalid("Invalid timestamp value");
      in.SetValue(index, SQL_TIMESTAMP, 0, 0, &ts, sizeof ts);
      return true;
    }
    default:
      return invalid("Unsupported parameter type");
  }
}

bool FbCommand::BindParameters(SQLResult& result) {
  const int n = statement_->in.Count();
  for (int i = 0; i < n; ++i) {
    if (!params_[i].set) {
      result = Fail(kSqlParameterNotSet, "Parameter not set");
      return false;
    }
    if (!BindOne(i, params_[i], result)) return false;
  }
  return true;
}

bool FbCommand::ReadRowsAffected(SQLResult& result) {
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  const char items[] = {isc_info_sql_records};
  char info[64] = {};
  if (api.dsql_sql_info(status, &statement_->handle, sizeof items, items, sizeof info, info)) {
    result = ServerFailure(status);
    return false;
  }
  std::uint32_t inserted = 0, updated = 0, deleted = 0;
  if (info[0] == isc_info_sql_records) {
    const char* p = info + 3;
    const char* end = info + sizeof info;
    while (p + 3 <= end && *p != isc_info_end) {
      const char item = *p;
      const short len = static_cast<short>(api.vax_integer(p + 1, 2));
      if (len < 0 || p + 3 + len > end) break;
      const auto count = static_cast<std::uint32_t>(api.vax_integer(p + 3, len));
      if (item == isc_info_req_insert_count) inserted = count;
      if (item == isc_info_req_update_count) updated = count;
      if (item == isc_info_req_delete_count) deleted = count;
      p += 3 + len;
    }
  }
  switch (statement_->statementType) {
    case isc_info_sql_stmt_insert:
      rowsAffected_ = inserted;
      break;
    case isc_info_sql_stmt_update:
      rowsAffected_ = updated;
      break;
    case isc_info_sql_stmt_delete:
      rowsAffected_ = deleted;
      break;
    default:
      rowsAffected_ = inserted + updated + deleted;
      break;
  }
  return true;
}

SQLResult FbCommand::execute(std::unique_ptr<ISQLCursor>& cursor) {
  cursor.reset();
  if (!statement_ || !statement_->handle || !session_->db) {
    return Fail(kSqlInvalidHandle, "Statement not prepared");
  }
  FbStatement& st = *statement_;
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  std::string error;
  // The rows of an earlier execution are given up; its own transaction is committed.
  if (!st.Finish(true, error)) return Fail(kSqlServerError, error);
  ++st.generation;
  rowsAffected_ = 0;
  if (!session_->transaction && session_->Start(status, &st.ownTransaction)) {
    return ServerFailure(status);
  }
  SQLResult result = kSqlSuccess;
  if (!BindParameters(result)) {
    st.Finish(false, error);
    return result;
  }
  const bool select = st.statementType == isc_info_sql_stmt_select ||
                      st.statementType == isc_info_sql_stmt_select_for_upd;
  const bool singleton = !select && st.out.Count() > 0;
  XSQLDA* in = st.in.Count() > 0 ? st.in.get() : nullptr;
  if (api.dsql_execute2(status, st.Transaction(), &st.handle, session_->dialect, in,
                        singleton ? st.out.get() : nullptr)) {
    result = ServerFailure(status);
    st.Finish(false, error);
    return result;
  }
  if (select) {
    st.cursorOpen = true;
    cursor = std::make_unique<FbCursor>(statement_, false);
    return kSqlSuccess;
  }
  if (!ReadRowsAffected(result)) {
    st.Finish(false, error);
    return result;
  }
  if (!st.Finish(true, error)) return Fail(kSqlServerError, error);
  // A procedure's output values are in the buffers already: one row, with nothing left to fetch.
  if (singleton) cursor = std::make_unique<FbCursor>(statement_, true);
  return kSqlSuccess;
}

SQLResult FbCommand::getRowsAffected(std::uint32_t& rows) {
  rows = rowsAffected_;
  return kSqlSuccess;
}

SQLResult FbCommand::close() {
  if (statement_) session_->KeepPrepared(std::move(statement_));
  statement_.reset();
  params_.clear();
  rowsAffected_ = 0;
  return kSqlSuccess;
}
