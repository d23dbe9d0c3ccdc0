#include "db/sql/sql_params.h"

#include <cstring>

#include "base/date_time.h"

namespace {

template <typename T>
void PutBytes(SQLParamValue& out, const T& value) {
  out.bytes.resize(sizeof value);
  std::memcpy(out.bytes.data(), &value, sizeof value);
}

SQLTimeStamp TimeStampOf(TDateTime value) {
  int year, month, day, hour, minute, second, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  SQLTimeStamp ts;
  ts.Year = static_cast<std::int16_t>(year);
  ts.Month = static_cast<std::uint16_t>(month);
  ts.Day = static_cast<std::uint16_t>(day);
  ts.Hour = static_cast<std::uint16_t>(hour);
  ts.Minute = static_cast<std::uint16_t>(minute);
  ts.Second = static_cast<std::uint16_t>(second);
  ts.Fraction = static_cast<std::uint32_t>(msec);
  return ts;
}

void PutDecimal(SQLParamValue& out, const TBcd& value) {
  out.precision = BcdPrecision(value);
  out.scale = BcdScale(value);
  PutBytes(out, value);
}

// The logical type a field type's values travel as; texts and unknown types as text.
void SetLogicalType(SQLParamValue& out, TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint:
      out.type = SqlType::Int16;
      break;
    case TFieldType::ftBoolean:
      out.type = SqlType::Boolean;
      break;
    case TFieldType::ftWord:
      out.type = SqlType::UInt16;
      break;
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
      out.type = SqlType::Int32;
      break;
    case TFieldType::ftLargeint:
      out.type = SqlType::Int64;
      break;
    case TFieldType::ftFloat:
      out.type = SqlType::Float;
      break;
    case TFieldType::ftFMTBcd:
      out.type = SqlType::FmtBcd;
      break;
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
      // Money and decimals stay exact: packed decimal, never a binary floating number.
      out.type = SqlType::Bcd;
      break;
    case TFieldType::ftDate:
      out.type = SqlType::Date;
      break;
    case TFieldType::ftTime:
      out.type = SqlType::Time;
      break;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
      out.type = SqlType::Timestamp;
      break;
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
      out.type = SqlType::Blob;
      out.subType = type == TFieldType::ftMemo ? SqlSubType::Memo : SqlSubType::Binary;
      break;
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
      out.type = SqlType::Bytes;
      break;
    default:
      out.type = SqlType::Text;
      if (type == TFieldType::ftFixedChar) out.subType = SqlSubType::FixedChar;
      break;
  }
}

}  // namespace

SQLParamValue ToSQLParamValue(const TParam& p) {
  SQLParamValue out;
  SetLogicalType(out, p.DataType());
  out.isNull = p.IsNull();
  if (out.isNull) return out;
  switch (out.type) {
    case SqlType::Int16:
    case SqlType::Boolean:
      PutBytes(out, static_cast<std::int16_t>(out.type == SqlType::Boolean ? p.AsBoolean()
                                                                           : p.AsInteger()));
      break;
    case SqlType::UInt16:
      PutBytes(out, static_cast<std::uint16_t>(p.AsInteger()));
      break;
    case SqlType::Int32:
      PutBytes(out, p.AsInteger());
      break;
    case SqlType::Int64:
      PutBytes(out, p.AsLargeInt());
      break;
    case SqlType::Float:
      PutBytes(out, p.AsFloat());
      break;
    case SqlType::Bcd:
    case SqlType::FmtBcd:
      PutDecimal(out, p.AsBCD());
      break;
    case SqlType::Date:
      PutBytes(out, DateToDayNumber(p.AsDateTime()));
      break;
    case SqlType::Time:
      PutBytes(out, TimeToMSecs(p.AsDateTime()));
      break;
    case SqlType::Timestamp:
      PutBytes(out, TimeStampOf(p.AsDateTime()));
      break;
    default: {
      // Texts, bytes and blobs: the characters or bytes as they stand.
      const std::string bytes = p.AsString();
      out.bytes.assign(bytes.begin(), bytes.end());
      break;
    }
  }
  return out;
}

SQLParamValue NativeParamValue(TFieldType type, const void* data, std::uint32_t size) {
  SQLParamValue out;
  AssignNativeParam(out, type, data, size);
  return out;
}

void AssignNativeParam(SQLParamValue& out, TFieldType type, const void* data, std::uint32_t size) {
  out.subType = SqlSubType::None;
  out.precision = 0;
  out.scale = 0;
  out.bytes.clear();
  SetLogicalType(out, type);
  const std::uint32_t fixed = NativeFixedSize(type);
  out.isNull = data == nullptr || (fixed != 0 && size != fixed);
  if (out.isNull) return;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  switch (type) {
    case TFieldType::ftCurrency: {
      double money = 0;
      std::memcpy(&money, bytes, sizeof money);
      PutDecimal(out, DoubleToBcd(money));
      break;
    }
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd: {
      TBcd value;
      std::memcpy(&value, bytes, sizeof value);
      PutDecimal(out, value);
      break;
    }
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp: {
      double msecs = 0;
      std::memcpy(&msecs, bytes, sizeof msecs);
      PutBytes(out, TimeStampOf(MSecsToDateTime(msecs)));
      break;
    }
    default:
      if (out.type == SqlType::Text) {
        // A terminating zero, when the value keeps one, ends the characters.
        const void* zero = std::memchr(bytes, 0, size);
        if (zero != nullptr) {
          size = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - bytes);
        }
      }
      out.bytes.assign(bytes, bytes + size);
      break;
  }
}
