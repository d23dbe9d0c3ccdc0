#include "db/sql/sql_params.h"

#include <cstring>

#include "base/date_time.h"

namespace {

template <typename T>
void PutBytes(SQLParamValue& out, const T& value) {
  out.bytes.resize(sizeof value);
  std::memcpy(out.bytes.data(), &value, sizeof value);
}

}  // namespace

SQLParamValue ToSQLParamValue(const TParam& p) {
  SQLParamValue out;
  out.isNull = p.IsNull();
  switch (p.DataType()) {
    case TFieldType::ftSmallint:
      out.type = SqlType::Int16;
      if (!out.isNull) PutBytes(out, static_cast<std::int16_t>(p.AsInteger()));
      break;
    case TFieldType::ftBoolean:
      out.type = SqlType::Boolean;
      if (!out.isNull) PutBytes(out, static_cast<std::int16_t>(p.AsBoolean() ? 1 : 0));
      break;
    case TFieldType::ftWord:
      out.type = SqlType::UInt16;
      if (!out.isNull) PutBytes(out, static_cast<std::uint16_t>(p.AsInteger()));
      break;
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
      out.type = SqlType::Int32;
      if (!out.isNull) PutBytes(out, p.AsInteger());
      break;
    case TFieldType::ftLargeint:
      out.type = SqlType::Int64;
      if (!out.isNull) PutBytes(out, p.AsLargeInt());
      break;
    case TFieldType::ftFloat:
      out.type = SqlType::Float;
      if (!out.isNull) PutBytes(out, p.AsFloat());
      break;
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd: {
      // Money and decimals stay exact: packed decimal, never a binary floating number.
      out.type = p.DataType() == TFieldType::ftFMTBcd ? SqlType::FmtBcd : SqlType::Bcd;
      if (!out.isNull) {
        const TBcd value = p.AsBCD();
        out.precision = BcdPrecision(value);
        out.scale = BcdScale(value);
        PutBytes(out, value);
      }
      break;
    }
    case TFieldType::ftDate:
      out.type = SqlType::Date;
      if (!out.isNull) PutBytes(out, DateToDayNumber(p.AsDateTime()));
      break;
    case TFieldType::ftTime:
      out.type = SqlType::Time;
      if (!out.isNull) PutBytes(out, TimeToMSecs(p.AsDateTime()));
      break;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp: {
      out.type = SqlType::Timestamp;
      if (!out.isNull) {
        int year, month, day, hour, minute, second, msec;
        DecodeDate(p.AsDateTime(), year, month, day);
        DecodeTime(p.AsDateTime(), hour, minute, second, msec);
        SQLTimeStamp ts;
        ts.Year = static_cast<std::int16_t>(year);
        ts.Month = static_cast<std::uint16_t>(month);
        ts.Day = static_cast<std::uint16_t>(day);
        ts.Hour = static_cast<std::uint16_t>(hour);
        ts.Minute = static_cast<std::uint16_t>(minute);
        ts.Second = static_cast<std::uint16_t>(second);
        ts.Fraction = static_cast<std::uint32_t>(msec);
        PutBytes(out, ts);
      }
      break;
    }
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
      out.type = SqlType::Blob;
      out.subType = p.DataType() == TFieldType::ftMemo ? SqlSubType::Memo : SqlSubType::Binary;
      if (!out.isNull) {
        const std::string bytes = p.AsString();
        out.bytes.assign(bytes.begin(), bytes.end());
      }
      break;
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
      out.type = SqlType::Bytes;
      if (!out.isNull) {
        const std::string bytes = p.AsString();
        out.bytes.assign(bytes.begin(), bytes.end());
      }
      break;
    default:
      // Texts, and a null of no particular type.
      out.type = SqlType::Text;
      if (p.DataType() == TFieldType::ftFixedChar) out.subType = SqlSubType::FixedChar;
      if (!out.isNull) {
        const std::string text = p.AsString();
        out.bytes.assign(text.begin(), text.end());
      }
      break;
  }
  return out;
}
