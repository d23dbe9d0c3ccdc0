#include "base/currency.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/exceptions.h"

namespace {

TEST(Currency, FromDoubleRoundsHalvesAwayFromZero) {
  const std::pair<double, std::int64_t> cases[] = {
      {0.8, 8000},
      {16, 160000},
      {0.00005, 1},
      {-0.00005, -1},
      {0.00004999, 0},
      {1.23455, 12346},
      {-1.23455, -12346},
      {2.675, 26750},
      {0.1 + 0.2, 3000},
      {-0.8, -8000},
      {922337203685477.0, 9223372036854770000},
      {1e-300, 0},
  };
  for (const auto& [value, raw] : cases) EXPECT_EQ(Currency::FromDouble(value).Raw(), raw) << value;
}

TEST(Currency, ParsesDecimalText) {
  struct Case {
    const char* text;
    char sep;
    std::int64_t raw;
  };
  const Case cases[] = {
      {"0.8", '.', 8000},
      {"0,8", ',', 8000},
      {" 16 ", '.', 160000},
      {"-0.05", '.', -500},
      {"+3", '.', 30000},
      {"1.23456", '.', 12346},
      {"-1.23455", '.', -12346},
      {"0.99995", '.', 10000},
      {"1e3", '.', 10000000},
      {"5.", '.', 50000},
      {".5", '.', 5000},
      {"922337203685477.5807", '.', std::numeric_limits<std::int64_t>::max()},
      {"-922337203685477.5808", '.', std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& c : cases) {
    Currency v;
    ASSERT_TRUE(Currency::TryParse(c.text, c.sep, v)) << c.text;
    EXPECT_EQ(v.Raw(), c.raw) << c.text;
  }
}

TEST(Currency, RefusesBadTextAndOverflow) {
  const char* bad[] = {"", "abc", "1.2.3", "1,5", "--1", "1e", "1 2", ".", "-"};
  for (const char* text : bad) {
    Currency v;
    EXPECT_FALSE(Currency::TryParse(text, '.', v)) << text;
  }
  EXPECT_THROW(Currency::Parse("abc", '.'), EConvertError);
  EXPECT_THROW(Currency::Parse("922337203685477.5808", '.'), EOverflow);
  EXPECT_THROW(Currency::Parse("1e20", '.'), EOverflow);
  EXPECT_THROW(Currency::FromDouble(1e15), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::quiet_NaN()), EConvertError);
  EXPECT_THROW(Currency::FromInt(std::numeric_limits<std::int64_t>::max() / 1000), EOverflow);
  try {
    Currency::Parse("x1", ',');
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}

TEST(Currency, GeneralTextForm) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {8000, "0.8"},
      {160000, "16"},
      {-500, "-0.05"},
      {0, "0"},
      {12345, "1.2345"},
      {190000, "19"},
      {-10000000, "-1000"},
      {1, "0.0001"},
      {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& [raw, text] : cases) EXPECT_EQ(Currency::FromRaw(raw).ToString('.'), text);
  EXPECT_EQ(Currency::FromRaw(8000).ToString(','), "0,8");
}

TEST(Currency, ArithmeticAndComparison) {
  const Currency a = Currency::Parse("1.5", '.');
  const Currency b = Currency::Parse("0.0003", '.');
  EXPECT_EQ((a + b).Raw(), 15003);
  EXPECT_EQ((a - b).Raw(), 14997);
  EXPECT_EQ((a * b).Raw(), 5);  // 0.00045 rounds away from zero
  EXPECT_EQ((-a * b).Raw(), -5);
  EXPECT_EQ((a / Currency::FromInt(4)).Raw(), 3750);
  EXPECT_THROW(a / Currency(), EConvertError);
  EXPECT_LT(b, a);
  EXPECT_EQ(Currency::FromDouble(0.8), Currency::Parse("0.8000", '.'));
  const Currency max = Currency::FromRaw(std::numeric_limits<std::int64_t>::max());
  EXPECT_THROW(max + Currency::FromRaw(1), EOverflow);
  EXPECT_THROW(-Currency::FromRaw(std::numeric_limits<std::int64_t>::min()), EOverflow);
  EXPECT_THROW(max * Currency::FromInt(2), EOverflow);
}

}  // namespace
