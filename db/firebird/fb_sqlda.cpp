#include "db/firebird/fb_sqlda.h"

#include <algorithm>
#include <cstring>

Sqlda::Sqlda(int capacity) {
  Reserve(capacity);
}

void Sqlda::Reserve(int count) {
  count = std::max(count, 1);
  const std::size_t bytes = XSQLDA_LENGTH(count);
  raw_.assign((bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t), {});
  buffers_.clear();
  indicators_.clear();
  XSQLDA* da = get();
  da->version = SQLDA_VERSION1;
  da->sqln = static_cast<ISC_SHORT>(count);
  da->sqld = 0;
}

void Sqlda::AllocateBuffers() {
  const int n = std::min<int>(Count(), get()->sqln);
  buffers_.assign(n, {});
  indicators_.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    XSQLVAR& var = Var(i);
    std::size_t size = static_cast<std::size_t>(var.sqllen);
    if ((var.sqltype & ~1) == SQL_VARYING) size += sizeof(short);
    buffers_[i].assign(std::max<std::size_t>(size, 1), 0);
    var.sqldata = buffers_[i].data();
    var.sqlind = &indicators_[i];
  }
}

void Sqlda::SetValue(int index, short sqltype, short sqlsubtype, short sqlscale, const void* data,
                     std::size_t size) {
  Assign(index, sqltype, sqlsubtype, sqlscale, data, size, false);
}

void Sqlda::SetNull(int index, short sqltype, short sqlsubtype, short sqlscale) {
  Assign(index, sqltype, sqlsubtype, sqlscale, nullptr, 0, true);
}

void Sqlda::Assign(int index, short sqltype, short sqlsubtype, short sqlscale, const void* data,
                   std::size_t size, bool null) {
  const int n = std::min<int>(Count(), get()->sqln);
  if (static_cast<int>(buffers_.size()) != n) {
    buffers_.resize(n);
    indicators_.resize(n, -1);
    for (int i = 0; i < n; ++i) Var(i).sqlind = &indicators_[i];
  }
  XSQLVAR& var = Var(index);
  var.sqltype = static_cast<short>(sqltype | 1);
  var.sqlsubtype = sqlsubtype;
  var.sqlscale = sqlscale;
  auto& buffer = buffers_[index];
  if (null) {
    buffer.assign(1, 0);
    var.sqllen = 0;
    indicators_[index] = -1;
  } else {
    const char* bytes = static_cast<const char*>(data);
    buffer.assign(bytes, bytes + (bytes ? size : 0));
    var.sqllen = static_cast<ISC_SHORT>(buffer.size());
    if (buffer.empty()) buffer.push_back(0);
    indicators_[index] = 0;
  }
  var.sqldata = buffer.data();
  var.sqlind = &indicators_[index];
}

bool IsScaledInteger(const XSQLVAR& var) {
  const int type = var.sqltype & ~1;
  return (type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64) &&
         (var.sqlscale < 0 || var.sqlsubtype == 1 || var.sqlsubtype == 2);
}

ColumnShape DescribeColumn(const XSQLVAR& var, int declaredPrecision) {
  ColumnShape shape;
  const int type = var.sqltype & ~1;
  constexpr int kCharsetOctets = 1;
  if (IsScaledInteger(var)) {
    const int widest = type == SQL_SHORT ? 4 : type == SQL_LONG ? 9 : 18;
    shape.type = SqlType::Bcd;
    shape.scale = static_cast<std::int16_t>(-var.sqlscale);
    shape.precision = static_cast<std::int16_t>(declaredPrecision > 0 ? declaredPrecision : widest);
    shape.length = sizeof(TBcd);
    return shape;
  }
  switch (type) {
    case SQL_TEXT:
      shape.type = (var.sqlsubtype & 0xFF) == kCharsetOctets ? SqlType::Bytes : SqlType::Text;
      if (shape.type == SqlType::Text) shape.subType = SqlSubType::FixedChar;
      shape.length = static_cast<std::uint32_t>(var.sqllen);
      shape.precision = var.sqllen;
      break;
    case SQL_VARYING:
      shape.type = (var.sqlsubtype & 0xFF) == kCharsetOctets ? SqlType::VarBytes : SqlType::Text;
      shape.length = static_cast<std::uint32_t>(var.sqllen);
      shape.precision = var.sqllen;
      break;
    case SQL_SHORT:
      shape.type = SqlType::Int16;
      shape.length = sizeof(std::int16_t);
      shape.precision = 5;
      break;
    case SQL_LONG:
      shape.type = SqlType::Int32;
      shape.length = sizeof(std::int32_t);
      shape.precision = 10;
      break;
    case SQL_INT64:
      shape.type = SqlType::Int64;
      shape.length = sizeof(std::int64_t);
      shape.precision = 19;
      break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
      shape.type = SqlType::Float;
      shape.length = sizeof(double);
      shape.precision = 15;
      break;
    case SQL_TYPE_DATE:
      shape.type = SqlType::Date;
      shape.length = sizeof(std::int32_t);
      break;
    case SQL_TYPE_TIME:
      shape.type = SqlType::Time;
      shape.length = sizeof(std::int32_t);
      break;
    case SQL_TIMESTAMP:
      shape.type = SqlType::Timestamp;
      shape.length = sizeof(SQLTimeStamp);
      break;
    case SQL_BLOB:
      shape.type = SqlType::Blob;
      shape.subType = var.sqlsubtype == 1 ? SqlSubType::Memo : SqlSubType::Binary;
      shape.length = sizeof(ISC_QUAD);
      break;
    case SQL_BOOLEAN:
      shape.type = SqlType::Boolean;
      shape.length = sizeof(std::int16_t);
      break;
    default:
      shape.type = SqlType::Unknown;
      shape.length = static_cast<std::uint32_t>(var.sqllen);
      break;
  }
  return shape;
}
