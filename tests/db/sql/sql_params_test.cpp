// Parameters from a record's native values: the logical type each field type travels as, and the
// bytes the driver receives.
#include "db/sql/sql_params.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"

namespace {

template <typename T>
std::vector<std::uint8_t> Bytes(const T& value) {
  std::vector<std::uint8_t> b(sizeof value);
  std::memcpy(b.data(), &value, sizeof value);
  return b;
}

std::vector<std::uint8_t> Chars(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(NativeParamValue, EveryFieldTypeTravelsAsItsLogicalType) {
  const std::int32_t day = DateToDayNumber(EncodeDate(2026, 10, 31));
  SQLTimeStamp stamp;
  stamp.Year = 2026;
  stamp.Month = 10;
  stamp.Day = 31;
  stamp.Hour = 23;
  stamp.Minute = 59;
  stamp.Second = 58;
  stamp.Fraction = 125;
  const double moment = DateTimeToMSecs(EncodeDate(2026, 10, 31) + EncodeTime(23, 59, 58, 125));
  const TBcd factor = StrToBcd("0.8125", '.');
  struct Case {
    const char* name;
    TFieldType type;
    std::vector<std::uint8_t> native;
    SqlType sqlType;
    SqlSubType subType;
    std::vector<std::uint8_t> bytes;  // as the driver receives them
    std::int32_t precision = 0;
    std::int32_t scale = 0;
  };
  const Case cases[] = {
      {"smallint", TFieldType::ftSmallint, Bytes(std::int16_t{-7}), SqlType::Int16,
       SqlSubType::None, Bytes(std::int16_t{-7})},
      {"boolean", TFieldType::ftBoolean, Bytes(std::int16_t{1}), SqlType::Boolean, SqlSubType::None,
       Bytes(std::int16_t{1})},
      {"word", TFieldType::ftWord, Bytes(std::uint16_t{65535}), SqlType::UInt16, SqlSubType::None,
       Bytes(std::uint16_t{65535})},
      {"integer", TFieldType::ftInteger, Bytes(std::int32_t{9001}), SqlType::Int32,
       SqlSubType::None, Bytes(std::int32_t{9001})},
      {"auto-increment", TFieldType::ftAutoInc, Bytes(std::int32_t{5}), SqlType::Int32,
       SqlSubType::None, Bytes(std::int32_t{5})},
      {"large integer", TFieldType::ftLargeint, Bytes(std::int64_t{1} << 40), SqlType::Int64,
       SqlSubType::None, Bytes(std::int64_t{1} << 40)},
      {"float", TFieldType::ftFloat, Bytes(2.5), SqlType::Float, SqlSubType::None, Bytes(2.5)},
      {"money as an exact decimal", TFieldType::ftCurrency, Bytes(12.25), SqlType::Bcd,
       SqlSubType::None, Bytes(StrToBcd("12.25", '.')), 4, 2},
      {"BCD", TFieldType::ftBCD, Bytes(factor), SqlType::Bcd, SqlSubType::None, Bytes(factor), 4,
       4},
      {"formatted BCD", TFieldType::ftFMTBcd, Bytes(factor), SqlType::FmtBcd, SqlSubType::None,
       Bytes(factor), 4, 4},
      {"date", TFieldType::ftDate, Bytes(day), SqlType::Date, SqlSubType::None, Bytes(day)},
      {"time", TFieldType::ftTime, Bytes(std::int32_t{3600000}), SqlType::Time, SqlSubType::None,
       Bytes(std::int32_t{3600000})},
      {"date and time", TFieldType::ftDateTime, Bytes(moment), SqlType::Timestamp, SqlSubType::None,
       Bytes(stamp)},
      {"timestamp", TFieldType::ftTimeStamp, Bytes(moment), SqlType::Timestamp, SqlSubType::None,
       Bytes(stamp)},
      {"text ends at its zero", TFieldType::ftString, Chars(std::string("CAJ1\0xx", 7)),
       SqlType::Text, SqlSubType::None, Chars("CAJ1")},
      {"fixed text", TFieldType::ftFixedChar, Chars("AB   "), SqlType::Text, SqlSubType::FixedChar,
       Chars("AB   ")},
      {"empty text is not null", TFieldType::ftString, {}, SqlType::Text, SqlSubType::None, {}},
      {"memo", TFieldType::ftMemo, Chars("line\0two"), SqlType::Blob, SqlSubType::Memo,
       Chars("line\0two")},
      {"blob keeps zeros",
       TFieldType::ftBlob,
       {0, 1, 0},
       SqlType::Blob,
       SqlSubType::Binary,
       {0, 1, 0}},
      {"bytes", TFieldType::ftBytes, {9, 0, 8}, SqlType::Bytes, SqlSubType::None, {9, 0, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    static const std::uint8_t kNothing = 0;
    const SQLParamValue p = NativeParamValue(c.type, c.native.empty() ? &kNothing : c.native.data(),
                                             static_cast<std::uint32_t>(c.native.size()));
    EXPECT_FALSE(p.isNull);
    EXPECT_EQ(p.type, c.sqlType);
    EXPECT_EQ(p.subType, c.subType);
    EXPECT_EQ(p.bytes, c.bytes);
    EXPECT_EQ(p.precision, c.precision);
    EXPECT_EQ(p.scale, c.scale);
  }
}

TEST(NativeParamValue, NullsKeepTheirTypeAndAMisSizedValueIsNoValue) {
  const SQLParamValue null = NativeParamValue(TFieldType::ftFMTBcd, nullptr, 0);
  EXPECT_TRUE(null.isNull);
  EXPECT_EQ(null.type, SqlType::FmtBcd);
  EXPECT_TRUE(null.bytes.empty());
  const std::int16_t small = 3;
  const SQLParamValue misSized = NativeParamValue(TFieldType::ftInteger, &small, sizeof small);
  EXPECT_TRUE(misSized.isNull);
  EXPECT_EQ(misSized.type, SqlType::Int32);
}

}  // namespace
