#include "db/sql/sql_columns.h"

#include <cstdlib>
#include <cstring>

#include "base/date_time.h"
#include "base/exceptions.h"

namespace {

TFieldType FieldTypeOf(SqlType type, SqlSubType subType) {
  switch (type) {
    case SqlType::Text:
      return subType == SqlSubType::FixedChar ? TFieldType::ftFixedChar : TFieldType::ftString;
    case SqlType::Date:
      return TFieldType::ftDate;
    case SqlType::Time:
      return TFieldType::ftTime;
    case SqlType::Timestamp:
      return TFieldType::ftDateTime;
    case SqlType::Boolean:
      return TFieldType::ftBoolean;
    case SqlType::Int16:
      return TFieldType::ftSmallint;
    case SqlType::Int32:
      return TFieldType::ftInteger;
    case SqlType::UInt16:
      return TFieldType::ftWord;
    case SqlType::Int64:
      return TFieldType::ftLargeint;
    case SqlType::Float:
      return TFieldType::ftFloat;
    case SqlType::Bcd:
      return TFieldType::ftBCD;
    case SqlType::FmtBcd:
      return TFieldType::ftFMTBcd;
    case SqlType::Blob:
      return subType == SqlSubType::Memo ? TFieldType::ftMemo : TFieldType::ftBlob;
    case SqlType::Bytes:
      return TFieldType::ftBytes;
    case SqlType::VarBytes:
      return TFieldType::ftVarBytes;
    case SqlType::Unknown:
      break;
  }
  return TFieldType::ftUnknown;
}

}  // namespace

TFieldDef ColumnFieldDef(const SQLColumnDesc& column) {
  TFieldDef def;
  def.Name = column.name;
  def.DataType = FieldTypeOf(column.type, column.subType);
  def.Required = !column.nullable;
  def.ReadOnly = column.readOnly;
  switch (column.type) {
    case SqlType::Bcd:
    case SqlType::FmtBcd: {
      std::int32_t precision = column.precision;
      std::int32_t scale = std::abs(column.scale);
      if (precision < scale) precision = scale;
      if (precision == 38 && (scale == 0 || scale == 38)) {
        precision = 32;
        scale = 8;
      }
      if (precision > 14 || scale > 4) {
        def.DataType = TFieldType::ftFMTBcd;
        if (precision > 32) precision = 32;
      } else {
        def.DataType = TFieldType::ftBCD;
      }
      def.Size = scale;
      def.Precision = precision;
      break;
    }
    case SqlType::Text:
    case SqlType::Bytes:
    case SqlType::VarBytes:
      def.Size = static_cast<std::int32_t>(column.length);
      break;
    default:
      break;
  }
  return def;
}

std::string UniqueFieldName(const TFieldDefs& defs, const std::string& name) {
  if (defs.IndexOf(name) < 0) return name;
  for (int n = 1;; ++n) {
    std::string candidate = Format("%s_%d", name, n);
    if (defs.IndexOf(candidate) < 0) return candidate;
  }
}

std::vector<SQLColumnDesc> DescribeColumns(ISQLCursor& cursor, LastDriverError& last) {
  std::uint16_t count = 0;
  CheckDriver(cursor.getColumnCount(count), &cursor, last);
  std::vector<SQLColumnDesc> columns(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    SQLColumnDesc& c = columns[i];
    const std::uint16_t n = i + 1;
    CheckDriver(cursor.getColumnName(n, c.name), &cursor, last);
    CheckDriver(cursor.getColumnType(n, c.type, c.subType), &cursor, last);
    CheckDriver(cursor.getColumnLength(n, c.length), &cursor, last);
    CheckDriver(cursor.getColumnPrecision(n, c.precision), &cursor, last);
    CheckDriver(cursor.getColumnScale(n, c.scale), &cursor, last);
    CheckDriver(cursor.isNullable(n, c.nullable), &cursor, last);
    CheckDriver(cursor.isReadOnly(n, c.readOnly), &cursor, last);
  }
  return columns;
}

ColumnValue::ColumnValue(std::uint16_t column, SqlType type, SqlSubType)
    : column_(column), type_(type) {}

void ColumnValue::Read(ISQLCursor& cursor, LastDriverError& last) {
  SQLResult r = kSqlSuccess;
  bool isNull = true;
  switch (type_) {
    case SqlType::Text:
      r = cursor.getString(column_, text_, isNull);
      break;
    case SqlType::Boolean:
    case SqlType::Int16:
    case SqlType::UInt16: {
      std::int16_t v = 0;
      r = cursor.getShort(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Int32: {
      std::int32_t v = 0;
      r = cursor.getLong(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Int64: {
      std::int64_t v = 0;
      r = cursor.getInt64(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Float: {
      double v = 0;
      r = cursor.getDouble(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Bcd:
    case SqlType::FmtBcd: {
      TBcd v;
      r = cursor.getBcd(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Date: {
      std::int32_t v = 0;
      r = cursor.getDate(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Time: {
      std::int32_t v = 0;
      r = cursor.getTime(column_, v, isNull);
      std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      break;
    }
    case SqlType::Timestamp: {
      SQLTimeStamp ts;
      r = cursor.getTimeStamp(column_, ts, isNull);
      if (r == kSqlSuccess && !isNull) {
        TDateTime date = 0;
        if (!TryEncodeDate(ts.Year, ts.Month, ts.Day, date)) {
          // The driver handed a date that is no date: say so rather than store garbage.
          last.message = "dbExpress Error: [0x0007]: Invalid Data Translation";
          throw EDatabaseError(last.message);
        }
        const double v = static_cast<double>(DateToDayNumber(date)) * kMSecsPerDay +
                         ((ts.Hour * 60.0 + ts.Minute) * 60.0 + ts.Second) * 1000.0 + ts.Fraction;
        std::memcpy(fixed_, &v, fixed_size_ = sizeof v);
      }
      break;
    }
    case SqlType::Blob:
      r = cursor.getBlob(column_, bytes_, isNull);
      break;
    case SqlType::Bytes:
    case SqlType::VarBytes:
      r = cursor.getBytes(column_, bytes_, isNull);
      break;
    case SqlType::Unknown:
      r = kSqlInvalidFieldType;
      break;
  }
  CheckDriver(r, &cursor, last);
  is_null_ = isNull;
}

const std::uint8_t* ColumnValue::Data() const {
  switch (type_) {
    case SqlType::Text:
      return reinterpret_cast<const std::uint8_t*>(text_.data());
    case SqlType::Blob:
    case SqlType::Bytes:
    case SqlType::VarBytes:
      return bytes_.data();
    default:
      return fixed_;
  }
}

std::uint32_t ColumnValue::Size() const {
  switch (type_) {
    case SqlType::Text:
      return static_cast<std::uint32_t>(text_.size());
    case SqlType::Blob:
    case SqlType::Bytes:
    case SqlType::VarBytes:
      return static_cast<std::uint32_t>(bytes_.size());
    default:
      return fixed_size_;
  }
}
