#include "db/firebird/fb_cursor.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "db/firebird/fb_values.h"

namespace {

template <typename T>
T Read(const XSQLVAR& var) {
  T value;
  std::memcpy(&value, var.sqldata, sizeof value);
  return value;
}

int SqlKind(const XSQLVAR& var) {
  return var.sqltype & ~1;
}

// The value of a CHAR column: its declared characters, without the padding that makes room for
// the widest ones.
std::string_view FixedText(const XSQLVAR& var) {
  return FixedTextValue({var.sqldata, static_cast<std::size_t>(var.sqllen)}, var.sqlsubtype & 0xFF);
}

}  // namespace

FbCursor::FbCursor(std::shared_ptr<FbStatement> statement, bool singleRow)
    : statement_(std::move(statement)),
      generation_(statement_->generation),
      state_(State::BeforeFirst),
      singleRow_(singleRow) {}

FbCursor::~FbCursor() {
  if (Current()) {
    std::string ignored;
    statement_->Finish(true, ignored);
  }
}

const XSQLVAR* FbCursor::Column(std::uint16_t column, SQLResult& result) {
  if (!Current() && !singleRow_) {
    result = Fail(kSqlInvalidHandle, "Cursor is no longer open");
    return nullptr;
  }
  if (column < 1 || column > statement_->shapes.size()) {
    result = Fail(kSqlOutOfRange, "Column number out of range");
    return nullptr;
  }
  return &statement_->out.Var(column - 1);
}

const XSQLVAR* FbCursor::Value(std::uint16_t column, bool& isNull, SQLResult& result) {
  const XSQLVAR* var = Column(column, result);
  if (!var) return nullptr;
  if (state_ != State::OnRow) {
    result = Fail(kSqlEof, "No current row");
    return nullptr;
  }
  isNull = (var->sqltype & 1) && *var->sqlind < 0;
  return var;
}

SQLResult FbCursor::getColumnCount(std::uint16_t& count) {
  count = static_cast<std::uint16_t>(statement_->shapes.size());
  return kSqlSuccess;
}

SQLResult FbCursor::getColumnName(std::uint16_t column, std::string& name) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  name = statement_->names[column - 1];
  return kSqlSuccess;
}

SQLResult FbCursor::getColumnType(std::uint16_t column, SqlType& type, SqlSubType& subType) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  type = statement_->shapes[column - 1].type;
  subType = statement_->shapes[column - 1].subType;
  return kSqlSuccess;
}

SQLResult FbCursor::getColumnLength(std::uint16_t column, std::uint32_t& length) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  length = statement_->shapes[column - 1].length;
  return kSqlSuccess;
}

SQLResult FbCursor::getColumnPrecision(std::uint16_t column, std::int16_t& precision) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  precision = statement_->shapes[column - 1].precision;
  return kSqlSuccess;
}

SQLResult FbCursor::getColumnScale(std::uint16_t column, std::int16_t& scale) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  scale = statement_->shapes[column - 1].scale;
  return kSqlSuccess;
}

SQLResult FbCursor::isNullable(std::uint16_t column, bool& nullable) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Column(column, r);
  if (!var) return r;
  nullable = (var->sqltype & 1) != 0;
  return kSqlSuccess;
}

SQLResult FbCursor::isReadOnly(std::uint16_t column, bool& readOnly) {
  SQLResult r = kSqlSuccess;
  if (!Column(column, r)) return r;
  readOnly = statement_->readOnly[column - 1];
  return kSqlSuccess;
}

SQLResult FbCursor::next() {
  blobColumn_ = -1;
  if (state_ == State::AtEnd) return kSqlNoMoreRows;
  if (singleRow_) {
    state_ = state_ == State::BeforeFirst ? State::OnRow : State::AtEnd;
    return state_ == State::OnRow ? kSqlSuccess : kSqlNoMoreRows;
  }
  if (!Current() || !statement_->cursorOpen) {
    return Fail(kSqlInvalidHandle, "Cursor is no longer open");
  }
  FbStatement& st = *statement_;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  const ISC_STATUS fetched =
      st.Api().dsql_fetch(status, &st.handle, st.Session().dialect, st.out.get());
  if (fetched == 0) {
    state_ = State::OnRow;
    return kSqlSuccess;
  }
  state_ = State::AtEnd;
  std::string error;
  if (fetched == 100) {
    // The statement is complete: what it did is committed now.
    if (!st.Finish(true, error)) return Fail(kSqlServerError, error);
    return kSqlNoMoreRows;
  }
  error = st.Api().StatusText(status);
  std::string ignored;
  st.Finish(false, ignored);
  return Fail(kSqlServerError, error);
}

bool FbCursor::IntegerOf(const XSQLVAR& var, std::int64_t& value) {
  switch (SqlKind(var)) {
    case SQL_SHORT:
      value = Read<std::int16_t>(var);
      return true;
    case SQL_LONG:
      value = Read<std::int32_t>(var);
      return true;
    case SQL_INT64:
      value = Read<std::int64_t>(var);
      return true;
    case SQL_BOOLEAN:
      value = Read<unsigned char>(var) != 0;
      return true;
    default:
      return false;
  }
}

SQLResult FbCursor::getString(std::uint16_t column, std::string& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  std::int64_t integer = 0;
  switch (SqlKind(*var)) {
    case SQL_TEXT:
      value = FixedText(*var);
      if (statement_->Session().trimChar) {
        value.erase(value.find_last_not_of(' ') + 1);
      }
      return kSqlSuccess;
    case SQL_VARYING: {
      const auto length = Read<std::uint16_t>(*var);
      value.assign(var->sqldata + sizeof(short), std::min<std::size_t>(length, var->sqllen));
      return kSqlSuccess;
    }
    case SQL_BLOB:
      if ((r = ReadBlob(column, *var)) != kSqlSuccess) return r;
      value.assign(blob_.begin(), blob_.end());
      return kSqlSuccess;
    default:
      if (IsScaledInteger(*var) && IntegerOf(*var, integer)) {
        value = BcdToStr(ScaledToBcd(integer, -var->sqlscale, 32), '.');
        return kSqlSuccess;
      }
      return Fail(kSqlInvalidFieldType, "Column is not text");
  }
}

SQLResult FbCursor::getShort(std::uint16_t column, std::int16_t& value, bool& isNull) {
  std::int64_t wide = 0;
  const SQLResult r = getInt64(column, wide, isNull);
  if (r != kSqlSuccess || isNull) return r;
  if (wide < std::numeric_limits<std::int16_t>::min() ||
      wide > std::numeric_limits<std::int16_t>::max()) {
    return Fail(kSqlOutOfRange, "Value out of range for a 16-bit integer");
  }
  value = static_cast<std::int16_t>(wide);
  return kSqlSuccess;
}

SQLResult FbCursor::getLong(std::uint16_t column, std::int32_t& value, bool& isNull) {
  std::int64_t wide = 0;
  const SQLResult r = getInt64(column, wide, isNull);
  if (r != kSqlSuccess || isNull) return r;
  if (wide < std::numeric_limits<std::int32_t>::min() ||
      wide > std::numeric_limits<std::int32_t>::max()) {
    return Fail(kSqlOutOfRange, "Value out of range for a 32-bit integer");
  }
  value = static_cast<std::int32_t>(wide);
  return kSqlSuccess;
}

SQLResult FbCursor::getInt64(std::uint16_t column, std::int64_t& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  // A scaled column is a decimal, not an integer: reading it as one would drop its decimals.
  if (IsScaledInteger(*var) && var->sqlscale != 0) {
    return Fail(kSqlInvalidFieldType, "Column is a decimal");
  }
  if (!IntegerOf(*var, value)) return Fail(kSqlInvalidFieldType, "Column is not an integer");
  return kSqlSuccess;
}

SQLResult FbCursor::getDouble(std::uint16_t column, double& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  std::int64_t integer = 0;
  switch (SqlKind(*var)) {
    case SQL_FLOAT:
      value = Read<float>(*var);
      return kSqlSuccess;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
      value = Read<double>(*var);
      return kSqlSuccess;
    default:
      if (IntegerOf(*var, integer)) {
        value = var->sqlscale < 0 ? BcdToDouble(ScaledToBcd(integer, -var->sqlscale, 32))
                                  : static_cast<double>(integer);
        return kSqlSuccess;
      }
      return Fail(kSqlInvalidFieldType, "Column is not a number");
  }
}

SQLResult FbCursor::getBcd(std::uint16_t column, TBcd& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  const ColumnShape& shape = statement_->shapes[column - 1];
  std::int64_t integer = 0;
  if (IntegerOf(*var, integer)) {
    const int scale = var->sqlscale < 0 ? -var->sqlscale : 0;
    const int precision = std::max<int>(shape.type == SqlType::Bcd ? shape.precision : 19, scale);
    value = ScaledToBcd(integer, scale, std::min(precision, kMaxBcdDigits));
    return kSqlSuccess;
  }
  const int kind = SqlKind(*var);
  if (kind == SQL_DOUBLE || kind == SQL_FLOAT || kind == SQL_D_FLOAT) {
    const double d = kind == SQL_FLOAT ? Read<float>(*var) : Read<double>(*var);
    if (!std::isfinite(d)) return Fail(kSqlInvalidTranslation, "Value is not a finite number");
    value = DoubleToBcd(d);
    return kSqlSuccess;
  }
  return Fail(kSqlInvalidFieldType, "Column is not a number");
}

SQLResult FbCursor::getDate(std::uint16_t column, std::int32_t& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  switch (SqlKind(*var)) {
    case SQL_TYPE_DATE:
      value = IscDateToDayNumber(Read<ISC_DATE>(*var));
      return kSqlSuccess;
    case SQL_TIMESTAMP:
      value = IscDateToDayNumber(Read<ISC_TIMESTAMP>(*var).timestamp_date);
      return kSqlSuccess;
    default:
      return Fail(kSqlInvalidFieldType, "Column is not a date");
  }
}

SQLResult FbCursor::getTime(std::uint16_t column, std::int32_t& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  switch (SqlKind(*var)) {
    case SQL_TYPE_TIME:
      value = IscTimeToMilliseconds(Read<ISC_TIME>(*var));
      return kSqlSuccess;
    case SQL_TIMESTAMP:
      value = IscTimeToMilliseconds(Read<ISC_TIMESTAMP>(*var).timestamp_time);
      return kSqlSuccess;
    default:
      return Fail(kSqlInvalidFieldType, "Column is not a time");
  }
}

SQLResult FbCursor::getTimeStamp(std::uint16_t column, SQLTimeStamp& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  switch (SqlKind(*var)) {
    case SQL_TIMESTAMP:
      value = IscTimestampToSql(Read<ISC_TIMESTAMP>(*var));
      return kSqlSuccess;
    case SQL_TYPE_DATE: {
      ISC_TIMESTAMP stamp{Read<ISC_DATE>(*var), 0};
      value = IscTimestampToSql(stamp);
      return kSqlSuccess;
    }
    default:
      return Fail(kSqlInvalidFieldType, "Column is not a timestamp");
  }
}

SQLResult FbCursor::getBytes(std::uint16_t column, std::vector<std::uint8_t>& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  const auto* data = reinterpret_cast<const std::uint8_t*>(var->sqldata);
  switch (SqlKind(*var)) {
    case SQL_TEXT: {
      const std::string_view text = FixedText(*var);
      value.assign(text.begin(), text.end());
      return kSqlSuccess;
    }
    case SQL_VARYING: {
      const auto length = std::min<std::size_t>(Read<std::uint16_t>(*var), var->sqllen);
      value.assign(data + sizeof(short), data + sizeof(short) + length);
      return kSqlSuccess;
    }
    case SQL_BLOB:
      if ((r = ReadBlob(column, *var)) != kSqlSuccess) return r;
      value = blob_;
      return kSqlSuccess;
    default:
      return Fail(kSqlInvalidFieldType, "Column holds no bytes");
  }
}

SQLResult FbCursor::ReadBlob(std::uint16_t column, const XSQLVAR& var) {
  if (blobColumn_ == column) return kSqlSuccess;
  FbStatement& st = *statement_;
  if (!st.Attached()) return Fail(kSqlInvalidHandle, "Not connected to a database");
  if (!st.ownTransaction && !st.Session().transaction) {
    return Fail(kSqlInvalidHandle, "The transaction of this row has ended");
  }
  const FbApi& api = st.Api();
  ISC_STATUS status[ISC_STATUS_LENGTH];
  isc_blob_handle blob = 0;
  ISC_QUAD id = Read<ISC_QUAD>(var);
  if (api.open_blob2(status, &st.Session().db, st.Transaction(), &blob, &id, 0, nullptr)) {
    return Fail(kSqlServerError, api.StatusText(status));
  }
  blob_.clear();
  char segment[32768];
  for (;;) {
    unsigned short got = 0;
    const ISC_STATUS s = api.get_segment(status, &blob, &got, sizeof segment, segment);
    if (s != 0 && s != isc_segment) {
      if (s == isc_segstr_eof) break;
      const std::string error = api.StatusText(status);
      ISC_STATUS ignored[ISC_STATUS_LENGTH];
      api.close_blob(ignored, &blob);
      return Fail(kSqlServerError, error);
    }
    blob_.insert(blob_.end(), segment, segment + got);
  }
  api.close_blob(status, &blob);
  blobColumn_ = column;
  return kSqlSuccess;
}

SQLResult FbCursor::getBlobSize(std::uint16_t column, std::uint32_t& size, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  if (SqlKind(*var) != SQL_BLOB) return Fail(kSqlInvalidFieldType, "Column is not a blob");
  if ((r = ReadBlob(column, *var)) != kSqlSuccess) return r;
  size = static_cast<std::uint32_t>(blob_.size());
  return kSqlSuccess;
}

SQLResult FbCursor::getBlob(std::uint16_t column, std::vector<std::uint8_t>& value, bool& isNull) {
  SQLResult r = kSqlSuccess;
  const XSQLVAR* var = Value(column, isNull, r);
  if (!var) return r;
  if (isNull) return kSqlSuccess;
  if (SqlKind(*var) != SQL_BLOB) return Fail(kSqlInvalidFieldType, "Column is not a blob");
  if ((r = ReadBlob(column, *var)) != kSqlSuccess) return r;
  value = blob_;
  return kSqlSuccess;
}
