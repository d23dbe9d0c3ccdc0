#include "base/format_settings.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

FormatSettings Settings(const char* shortDate, char dateSep, const char* longTime = "HH:mm:ss",
                        char decimalSep = '.') {
  FormatSettings fs;
  fs.ShortDateFormat = shortDate;
  fs.DateSeparator = dateSep;
  fs.LongTimeFormat = longTime;
  fs.DecimalSeparator = decimalSep;
  return fs;
}

TEST(FormatSettings, DefaultIsDayMonthYear) {
  const FormatSettings fs = FormatSettings::Default();
  EXPECT_EQ(fs.ShortDateFormat, "dd/MM/yyyy");
  EXPECT_EQ(fs.DateSeparator, '/');
  EXPECT_EQ(fs.LongTimeFormat, "HH:mm:ss");
  EXPECT_EQ(fs.TimeSeparator, ':');
  EXPECT_EQ(fs.DecimalSeparator, '.');
}

TEST(FormatSettings, ShortDateFormatsWriteAndReadBack) {
  struct Case {
    const char* format;
    char sep;
    int year, month, day;
    const char* text;
  };
  const Case cases[] = {
      {"dd/MM/yyyy", '/', 2023, 3, 30, "30/03/2023"},
      {"dd/MM/yyyy", '.', 2023, 3, 5, "05.03.2023"},
      {"d/MM/yy", '/', 2023, 3, 5, "5/03/23"},
      {"d/MM/yy", '-', 1999, 12, 31, "31-12-99"},
      {"M/d/yyyy", '/', 2023, 3, 30, "3/30/2023"},
      {"M/d/yyyy", '/', 2023, 11, 5, "11/5/2023"},
      {"yyyy-MM-dd", '-', 2023, 3, 30, "2023-03-30"},
      {"yyyy-MM-dd", '/', 2023, 3, 30, "2023-03-30"},
      {"dd/mm/yyyy", '/', 2023, 3, 30, "30/03/2023"},
      {"'Day' d/M/yyyy", '/', 2023, 3, 5, "Day 5/3/2023"},
      {"dd/MM/yyyy", '/', 1, 1, 1, "01/01/0001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.text);
    const FormatSettings fs = Settings(c.format, c.sep);
    const TDateTime d = EncodeDate(c.year, c.month, c.day);
    EXPECT_EQ(DateToStr(d, fs), c.text);
    if (c.format[0] == '\'') continue;  // literal text is written, not read
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDate(c.text, back, fs, 2026));
    EXPECT_EQ(back, d);
  }
}

TEST(FormatSettings, TwoDigitYearsReadWithinFiftyYearsOfNow) {
  const FormatSettings fs = Settings("d/MM/yy", '/');
  const std::pair<const char*, int> cases[] = {
      {"1/01/76", 1976}, {"1/01/75", 2075},   {"1/01/00", 2000}, {"1/01/99", 1999},
      {"1/01/26", 2026}, {"1/01/1875", 1875}, {"1/01/0076", 76},
  };
  for (const auto& [text, year] : cases) {
    TDateTime d = 0;
    ASSERT_TRUE(TryStrToDate(text, d, fs, 2026)) << text;
    int y = 0, m = 0, day = 0;
    DecodeDate(d, y, m, day);
    EXPECT_EQ(y, year) << text;
  }
  // Every date within the window reads back as written.
  for (int year = 1977; year <= 2075; year += 7) {
    const TDateTime d = EncodeDate(year, 6, 15);
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDate(DateToStr(d, fs), back, fs, 2026)) << year;
    EXPECT_EQ(back, d) << year;
  }
}

TEST(FormatSettings, BadDatesAreRefused) {
  const FormatSettings fs = Settings("dd/MM/yyyy", '/');
  const char* bad[] = {"",           "30/03",      "31/04/2023",    "29/02/2023",
                       "30-03-2023", "aa/03/2023", "30/03/2023x",   "30/03/2023 10:00",
                       "00/03/2023", "30/13/2023", "030/03/2023/1", "30//2023",
                       "30/03/10000"};
  for (const char* text : bad) {
    TDateTime d = 0;
    EXPECT_FALSE(TryStrToDate(text, d, fs, 2026)) << text;
  }
  try {
    StrToDate("31/02/2023", fs);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'31/02/2023' is not a valid date");
  }
  TDateTime d = 0;
  EXPECT_TRUE(TryStrToDate(" 30/03/2023 ", d, fs, 2026));
}

TEST(FormatSettings, TimesWithTwelveAndTwentyFourHourClocks) {
  struct Case {
    const char* format;
    int hour, minute, second;
    const char* text;
  };
  const Case cases[] = {
      {"HH:mm:ss", 14, 5, 9, "14:05:09"},     {"H:mm:ss", 9, 5, 0, "9:05:00"},
      {"h:mm:ss tt", 14, 5, 9, "2:05:09 PM"}, {"h:mm:ss tt", 0, 30, 0, "12:30:00 AM"},
      {"hh:mm AM/PM", 12, 0, 0, "12:00 PM"},  {"hh:nn am/pm", 9, 7, 0, "09:07 am"},
      {"h:mm a/p", 23, 59, 0, "11:59 p"},     {"tt h:mm:ss", 8, 1, 2, "AM 8:01:02"},
      {"h:mm:ss", 14, 5, 9, "14:05:09"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    FormatSettings fs = Settings("dd/MM/yyyy", '/', c.format);
    const TDateTime t = EncodeTime(c.hour, c.minute, c.second, 0);
    EXPECT_EQ(TimeToStr(t, fs), c.text);
    TDateTime back = -1;
    ASSERT_TRUE(TryStrToTime(c.text, back, fs));
    EXPECT_EQ(TimeToMSecs(back), TimeToMSecs(t));
  }
}

TEST(FormatSettings, RegionalDesignatorsAndSeparators) {
  FormatSettings fs = Settings("dd/MM/yyyy", '/', "h.mm.ss tt");
  fs.TimeSeparator = '.';
  fs.TimeAMString = "a. m.";
  fs.TimePMString = "p. m.";
  const TDateTime t = EncodeTime(15, 4, 3, 0);
  EXPECT_EQ(TimeToStr(t, fs), "3.04.03 p. m.");
  TDateTime back = 0;
  ASSERT_TRUE(TryStrToTime("3.04.03 p. m.", back, fs));
  EXPECT_EQ(TimeToMSecs(back), TimeToMSecs(t));
  EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", EncodeTime(1, 2, 3, 45), fs), "01.02.03.045");
}

TEST(FormatSettings, BadTimesAreRefused) {
  const FormatSettings fs = FormatSettings::Default();
  const char* bad[] = {"",      "25:00",   "12",    "13:00 PM", "0:30 AM",
                       "12:60", "1:2:3:4", "ab:cd", "10:00 XM"};
  for (const char* text : bad) {
    TDateTime t = 0;
    EXPECT_FALSE(TryStrToTime(text, t, fs)) << text;
  }
  EXPECT_THROW(StrToTime("25:00", fs), EConvertError);
}

TEST(FormatSettings, DateTimeTextCombinesBoth) {
  const FormatSettings fs = FormatSettings::Default();
  const TDateTime d = EncodeDate(2023, 3, 30);
  EXPECT_EQ(DateTimeToStr(d, fs), "30/03/2023");
  EXPECT_EQ(DateTimeToStr(d + EncodeTime(14, 5, 9, 0), fs), "30/03/2023 14:05:09");
  EXPECT_EQ(StrToDateTime("30/03/2023 14:05:09", fs), d + EncodeTime(14, 5, 9, 0));
  EXPECT_EQ(StrToDateTime("30/03/2023", fs), d);
  EXPECT_THROW(StrToDateTime("30/03/2023 x", fs), EConvertError);
}

TEST(FormatSettings, FloatsInGeneralFormat) {
  const std::pair<double, const char*> cases[] = {
      {0.8, "0,8"},         {16, "16"},
      {-0.05, "-0,05"},     {0, "0"},
      {0.1 + 0.2, "0,3"},   {1e20, "1E20"},
      {1.5e-10, "1,5E-10"}, {123456789012345, "123456789012345"},
      {1e15, "1E15"},       {0.00001, "0,00001"},
      {-2.5e-7, "-2,5E-7"},
  };
  const FormatSettings fs = Settings("dd/MM/yyyy", '/', "HH:mm:ss", ',');
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(FloatToStr(value, fs), text) << value;
    double back = 0;
    ASSERT_TRUE(TryStrToFloat(text, back, fs)) << text;
    EXPECT_DOUBLE_EQ(back, value) << text;
  }
  double v = 0;
  EXPECT_FALSE(TryStrToFloat("0.8", v, fs));  // not the regional separator
  EXPECT_FALSE(TryStrToFloat("1e999", v, fs));
  EXPECT_FALSE(TryStrToFloat("", v, fs));
  EXPECT_THROW(StrToFloat("x", fs), EConvertError);
  EXPECT_EQ(CurrToStr(Currency::FromRaw(8000), fs), "0,8");
  Currency c;
  ASSERT_TRUE(TryStrToCurr("0,75", c, fs));
  EXPECT_EQ(c.Raw(), 7500);
}

}  // namespace
