// Conversions between the client library's values and the driver interface's.
#include "db/firebird/fb_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

TEST(FbValues, DayNumbersMatchTheCalendar) {
  struct Case {
    int y, m, d;
    std::int32_t dayNumber;
  };
  const Case cases[] = {
      {1, 1, 1, 1},          {1, 12, 31, 365},      {1899, 12, 30, 693594},  {1858, 11, 17, 678576},
      {2000, 2, 29, 730179}, {2023, 3, 30, 738609}, {9999, 12, 31, 3652059},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    EXPECT_EQ(DayNumberFromCivil(c.y, c.m, c.d), c.dayNumber);
    int y = 0, m = 0, d = 0;
    CivilFromDayNumber(c.dayNumber, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
  // The client's day 0 is 17 November 1858.
  EXPECT_EQ(IscDateToDayNumber(0), DayNumberFromCivil(1858, 11, 17));
  EXPECT_EQ(DayNumberToIscDate(DayNumberFromCivil(2023, 3, 30)), 60033);
}

TEST(FbValues, TimesAndTimestampsConvertWithinTheirRanges) {
  ISC_TIME t = 0;
  EXPECT_TRUE(MillisecondsToIscTime(86'399'999, t));
  EXPECT_EQ(t, 863'999'990u);
  EXPECT_EQ(IscTimeToMilliseconds(863'999'999), 86'399'999);
  EXPECT_FALSE(MillisecondsToIscTime(86'400'000, t));
  EXPECT_FALSE(MillisecondsToIscTime(-1, t));

  struct Case {
    SQLTimeStamp stamp;
    bool valid;
  };
  const Case cases[] = {
      {{2024, 2, 29, 23, 59, 59, 999}, true}, {{2023, 2, 29, 0, 0, 0, 0}, false},
      {{2023, 4, 31, 0, 0, 0, 0}, false},     {{2023, 13, 1, 0, 0, 0, 0}, false},
      {{2023, 1, 1, 24, 0, 0, 0}, false},     {{2023, 1, 1, 0, 60, 0, 0}, false},
      {{2023, 1, 1, 0, 0, 0, 1000}, false},   {{0, 1, 1, 0, 0, 0, 0}, false},
      {{1, 1, 1, 0, 0, 0, 0}, true},
  };
  for (const auto& c : cases) {
    const SQLTimeStamp& s = c.stamp;
    SCOPED_TRACE(testing::Message() << s.Year << "-" << s.Month << "-" << s.Day << " " << s.Hour
                                    << ":" << s.Minute << ":" << s.Second << "." << s.Fraction);
    ISC_TIMESTAMP isc{};
    ASSERT_EQ(SqlToIscTimestamp(s, isc), c.valid);
    if (!c.valid) continue;
    const SQLTimeStamp back = IscTimestampToSql(isc);
    EXPECT_EQ(back.Year, s.Year);
    EXPECT_EQ(back.Month, s.Month);
    EXPECT_EQ(back.Day, s.Day);
    EXPECT_EQ(back.Hour, s.Hour);
    EXPECT_EQ(back.Minute, s.Minute);
    EXPECT_EQ(back.Second, s.Second);
    EXPECT_EQ(back.Fraction, s.Fraction);
  }
}

TEST(FbValues, ScaledIntegersAndPackedDecimalsConvertExactly) {
  struct Case {
    std::int64_t scaled;
    int scale;
    int precision;
    const char* text;
  };
  const Case cases[] = {
      {8000, 4, 15, "0.8"},
      {-1, 4, 15, "-0.0001"},
      {0, 4, 15, "0"},
      {123456789012345678, 4, 18, "12345678901234.5678"},
      {std::numeric_limits<std::int64_t>::max(), 4, 19, "922337203685477.5807"},
      {std::numeric_limits<std::int64_t>::min(), 4, 19, "-922337203685477.5808"},
      {std::numeric_limits<std::int64_t>::min(), 0, 19, "-9223372036854775808"},
      {12, 2, 9, "0.12"},
      {42, 0, 4, "42"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TBcd bcd = ScaledToBcd(c.scaled, c.scale, c.precision);
    EXPECT_EQ(BcdToStr(bcd, '.'), c.text);
    EXPECT_EQ(BcdPrecision(bcd), c.precision);
    EXPECT_EQ(BcdScale(bcd), c.scale);
    std::int64_t back = 0;
    ASSERT_TRUE(BcdToScaled(bcd, c.scale, back));
    EXPECT_EQ(back, c.scaled);
  }
}

TEST(FbValues, AValueWiderThanItsColumnKeepsEveryDigit) {
  // NUMERIC(4,2) is stored in 16 bits, which hold 327.67: five digits.
  const TBcd bcd = ScaledToBcd(32767, 2, 4);
  EXPECT_EQ(BcdToStr(bcd, '.'), "327.67");
  EXPECT_EQ(BcdPrecision(bcd), 5);
  EXPECT_EQ(BcdScale(bcd), 2);
  EXPECT_TRUE(IsValidBcd(bcd));
}

TEST(FbValues, PackedDecimalsRoundToTheScaleOrDoNotFit) {
  struct Case {
    const char* text;
    int scale;
    bool fits;
    std::int64_t scaled;
  };
  const Case cases[] = {
      {"0.12345", 4, true, 1235},
      {"-0.12345", 4, true, -1235},
      {"0.8", 4, true, 8000},
      {"922337203685477.5808", 4, false, 0},
      {"-922337203685477.5809", 4, false, 0},
      {"99999999999999999999", 0, false, 0},
      // No rounding needed: the digits as they stand, zeros added for the missing decimals.
      {"19", 4, true, 190000},
      {"-0.5", 2, true, -50},
      {"0", 18, true, 0},
      {"922337203685477.5807", 4, true, INT64_MAX},
      {"-922337203685477.5808", 4, true, INT64_MIN},
      {"922337203685477.58", 4, true, 9223372036854775800},
      {"922337203685477.59", 4, false, 0},
      {"1", 19, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::int64_t scaled = 0;
    EXPECT_EQ(BcdToScaled(StrToBcd(c.text, '.'), c.scale, scaled), c.fits);
    if (c.fits) {
      EXPECT_EQ(scaled, c.scaled);
    }
  }
}

TEST(FbValues, FixedTextIsItsDeclaredCharactersWhateverTheirBytes) {
  constexpr int kNone = 0, kUnicodeFss = 3, kUtf8 = 4, kIso8859_1 = 21, kSjis = 5;
  auto padded = [](std::string text, std::size_t bytes) {
    text.resize(bytes, ' ');
    return text;
  };
  struct Case {
    std::string buffer;
    int charset;
    std::string value;
  };
  const Case cases[] = {
      // One byte a character: the buffer is the declared length.
      {"abc       ", kIso8859_1, "abc       "},
      {"\xF1"
       "a ",
       kIso8859_1,
       "\xF1"
       "a "},
      {"ab ", kNone, "ab "},
      // UTF8 pads CHAR(n) to 4n bytes: n characters stay, blanks of the value among them.
      {padded("a", 4), kUtf8, "a"},
      {padded("a", 12), kUtf8, "a  "},
      {padded("abc", 12), kUtf8, "abc"},
      {padded("ñ", 4), kUtf8, "ñ"},
      {padded("ñaé", 12), kUtf8, "ñaé"},
      {padded("é", 12), kUtf8, "é  "},
      {padded("Año con ñ", 40), kUtf8, "Año con ñ "},
      {padded("€𝄞a", 12), kUtf8, "€𝄞a"},
      {"𝄞𝄞𝄞", kUtf8, "𝄞𝄞𝄞"},
      {padded("", 8), kUtf8, "  "},
      // UNICODE_FSS pads to 3n bytes.
      {padded("ñ", 6), kUnicodeFss, "ñ "},
      {"€", kUnicodeFss, "€"},
      // Damaged text never reaches past the buffer, and stray bytes count one each.
      {"\xF0\x9F\x98", kUnicodeFss, "\xF0\x9F\x98"},
      {padded("\x80\x80", 8), kUtf8, "\x80\x80"},
      // Sets whose characters are not counted keep the whole buffer.
      {padded("ab", 6), kSjis, padded("ab", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "\"" << c.buffer << "\" in set " << c.charset);
    EXPECT_EQ(FixedTextValue(c.buffer, c.charset), c.value);
  }
}

TEST(FbValues, ObjectNamesAreQuotedForDialectThree) {
  struct Case {
    int dialect;
    const char* name;
    const char* quoted;
  };
  const Case cases[] = {
      {3, "AJUSTE_CIERRE", "\"AJUSTE_CIERRE\""}, {3, "tarifa_iva", "\"TARIFA_IVA\""},
      {3, "\"already\"", "\"already\""},         {3, "S.T", "\"S\".\"T\""},
      {3, "\"a.b\".c", "\"a.b\".\"C\""},         {3, "Q\"X", "\"Q\"\"X\""},
      {1, "tarifa_iva", "tarifa_iva"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(QuoteObjectName(c.name, c.dialect), c.quoted);
  }
}

}  // namespace
