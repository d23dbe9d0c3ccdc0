#include "base/bcd.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/exceptions.h"

namespace {

TEST(Bcd, LayoutOfThePackedBytes) {
  const TBcd b = StrToBcd("-12.345", '.');
  EXPECT_EQ(b.Precision, 5);
  EXPECT_EQ(b.SignSpecialPlaces, 0x80 | 3);
  EXPECT_EQ(b.Fraction[0], 0x12);
  EXPECT_EQ(b.Fraction[1], 0x34);
  EXPECT_EQ(b.Fraction[2], 0x50);
  for (int i = 3; i < 16; ++i) EXPECT_EQ(b.Fraction[i], 0) << i;

  const TBcd n = NormalizeBcd(StrToBcd("0.8", '.'), 15, 4);
  EXPECT_EQ(n.Precision, 15);
  EXPECT_EQ(n.SignSpecialPlaces, 4);
  const std::uint8_t digits[8] = {0, 0, 0, 0, 0, 0x08, 0, 0};  // 00000000000.8000
  EXPECT_EQ(std::memcmp(n.Fraction, digits, 8), 0);
}

TEST(Bcd, TextRoundTrips) {
  struct Case {
    const char* text;
    char sep;
    const char* shown;
    int precision, scale;
  };
  const Case cases[] = {
      {"0.8", '.', "0.8", 1, 1},
      {"0,80", ',', "0,8", 2, 2},
      {"19.0000", '.', "19", 6, 4},
      {"-0.05", '.', "-0.05", 2, 2},
      {"0", '.', "0", 1, 0},
      {"-0", '.', "0", 1, 0},
      {" 007 ", '.', "7", 1, 0},
      {"12345678901234567890.1234", '.', "12345678901234567890.1234", 24, 4},
      {".5", '.', "0.5", 1, 1},
      {"5.", '.', "5", 1, 0},
      {"+16", '.', "16", 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TBcd b;
    ASSERT_TRUE(TryStrToBcd(c.text, c.sep, b));
    EXPECT_EQ(BcdToStr(b, c.sep), c.shown);
    EXPECT_EQ(BcdPrecision(b), c.precision);
    EXPECT_EQ(BcdScale(b), c.scale);
  }
}

TEST(Bcd, BadTextIsRefusedWithTheValueInTheMessage) {
  const char* bad[] = {
      "",    "abc", "1.5x",
      "1,5", "1e3", ".",
      "--1", "1 2", "12345678901234567890123456789012345678901234567890123456789012345"};
  for (const char* text : bad) {
    TBcd b;
    EXPECT_FALSE(TryStrToBcd(text, '.', b)) << text;
  }
  // The widest value that fits 16 bytes: 32 digits, trailing fractional zeros given up first.
  TBcd widest;
  ASSERT_TRUE(TryStrToBcd("-1234567890123456789012345678.9012000", '.', widest));
  EXPECT_EQ(BcdPrecision(widest), 32);
  EXPECT_EQ(BcdToStr(widest, '.'), "-1234567890123456789012345678.9012");
  EXPECT_FALSE(TryNormalizeBcd(widest, widest, 33, 4));
  EXPECT_THROW(DoubleToBcd(1e40), EOverflow);
  try {
    StrToBcd("0,8a", ',');
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "0,8a is not a valid BCD value");
  }
}

TEST(Bcd, ComparesByValue) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"0.8", "0.8000", 0},  {"16", "16.0", 0},  {"0", "-0.000", 0},
      {"0.8", "0.75", 1},    {"-1", "0.5", -1},  {"-2", "-1", -1},
      {"100", "99.9999", 1}, {"0.0001", "0", 1}, {"12.5", "12.50001", -1},
  };
  for (const auto& c : cases) {
    const TBcd a = StrToBcd(c.a, '.');
    const TBcd b = StrToBcd(c.b, '.');
    EXPECT_EQ(BcdCompare(a, b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(BcdCompare(b, a), -c.expected) << c.b << " vs " << c.a;
  }
  EXPECT_TRUE(StrToBcd("0.8", '.') == NormalizeBcd(StrToBcd("0.8", '.'), 15, 4));
}

TEST(Bcd, NormalisesToPrecisionAndScale) {
  struct Case {
    const char* in;
    int precision, scale;
    const char* out;  // null: does not fit
  };
  const Case cases[] = {
      {"0.8", 15, 4, "0.8"},
      {"1.23456", 15, 4, "1.2346"},
      {"-1.23455", 15, 4, "-1.2346"},
      {"99999999999.99995", 15, 4, nullptr},
      {"9.99995", 15, 4, "10"},
      {"12345678901", 15, 4, "12345678901"},
      {"123456789012", 15, 4, nullptr},
      {"-0.00004", 15, 4, "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    TBcd out;
    const bool ok = TryNormalizeBcd(StrToBcd(c.in, '.'), out, c.precision, c.scale);
    ASSERT_EQ(ok, c.out != nullptr);
    if (!ok) continue;
    EXPECT_EQ(BcdToStr(out, '.'), c.out);
    EXPECT_EQ(BcdPrecision(out), c.precision);
    EXPECT_EQ(BcdScale(out), c.scale);
    EXPECT_FALSE(IsBcdNegative(out) && IsBcdZero(out));
  }
  EXPECT_THROW(NormalizeBcd(StrToBcd("123456789012", '.'), 15, 4), EOverflow);
}

TEST(Bcd, ConvertsToAndFromNumbers) {
  EXPECT_EQ(BcdToCurrency(StrToBcd("0.8", '.')).Raw(), 8000);
  EXPECT_EQ(BcdToCurrency(StrToBcd("-1.23455", '.')).Raw(), -12346);
  EXPECT_THROW(BcdToCurrency(StrToBcd("1000000000000000", '.')), EOverflow);
  EXPECT_EQ(BcdToStr(CurrencyToBcd(Currency::FromRaw(-500)), '.'), "-0.05");
  EXPECT_EQ(BcdScale(CurrencyToBcd(Currency::FromRaw(8000))), 4);
  EXPECT_EQ(BcdToStr(IntegerToBcd(-9223372036854775807 - 1), '.'), "-9223372036854775808");
  EXPECT_DOUBLE_EQ(BcdToDouble(StrToBcd("-12.345", '.')), -12.345);
  EXPECT_EQ(BcdToStr(DoubleToBcd(0.1 + 0.2), '.'), "0.30000000000000004");
  EXPECT_EQ(BcdToStr(DoubleToBcd(1e20), '.'), "100000000000000000000");
}

TEST(Bcd, InvalidBytesReadAsZero) {
  TBcd b{};
  EXPECT_TRUE(IsValidBcd(b));
  EXPECT_TRUE(IsBcdZero(b));
  b.Precision = 2;
  b.Fraction[0] = 0x1A;  // digit above 9
  EXPECT_FALSE(IsValidBcd(b));
  EXPECT_EQ(BcdToStr(b, '.'), "0");
  b.Fraction[0] = 0x12;
  b.Fraction[1] = 0x30;  // digit beyond the precision
  EXPECT_FALSE(IsValidBcd(b));
  b.Fraction[1] = 0;
  b.SignSpecialPlaces = 3;  // scale above the precision
  EXPECT_FALSE(IsValidBcd(b));
}

}  // namespace
