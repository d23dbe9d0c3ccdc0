#include "base/text.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

TEST(Text, TrimRemovesControlCharactersAndBlanks) {
  EXPECT_EQ(Trim(" \t\r\nabc d\x01 "), "abc d");
  EXPECT_EQ(TrimLeft("  x  "), "x  ");
  EXPECT_EQ(TrimRight("  x \n"), "  x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xc3\xa1"), "\xc3\xa1");  // bytes above 127 are text, not blanks
}

TEST(Text, CaseHelpersTouchAsciiOnly) {
  EXPECT_EQ(UpperCase("ajci_fecini \xc3\xb1"), "AJCI_FECINI \xc3\xb1");
  EXPECT_EQ(LowerCase("Password"), "password");
  EXPECT_TRUE(SameText("Password", "PASSWORD"));
  EXPECT_FALSE(SameText("Password", "Passwor"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_EQ(QuotedStr("O'Brien"), "'O''Brien'");
}

TEST(Text, IntegersReadAndRefused) {
  const std::pair<const char*, std::int64_t> good[] = {
      {"0", 0},
      {" 42 ", 42},
      {"-17", -17},
      {"+5", 5},
      {"$FF", 255},
      {"0x10", 16},
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775807", INT64_MAX},
  };
  for (const auto& [text, value] : good) {
    std::int64_t v = 0;
    ASSERT_TRUE(TryStrToInt64(text, v)) << text;
    EXPECT_EQ(v, value) << text;
  }
  const char* bad[] = {"", "-", "1.5", "12a", "9223372036854775808", "0x", "$G", "1 2"};
  for (const char* text : bad) {
    std::int64_t v = 0;
    EXPECT_FALSE(TryStrToInt64(text, v)) << text;
  }
  int i = 0;
  EXPECT_FALSE(TryStrToInt("2147483648", i));
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(IntToStr(-12), "-12");
  try {
    StrToInt("x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
  }
}

}  // namespace
