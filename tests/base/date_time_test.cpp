#include "base/date_time.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

struct DayCase {
  int year, month, day;
  double serial;
  int dayNumber;
};

TEST(DateTime, CalendarDatesSerialsAndDayNumbers) {
  const DayCase cases[] = {
      {1899, 12, 30, 0, 693594},  {2023, 3, 30, 45015, 738609}, {1, 1, 1, -693593, 1},
      {1900, 3, 1, 61, 693655},   {2000, 2, 29, 36585, 730179}, {9999, 12, 31, 2958465, 3652059},
      {1899, 12, 29, -1, 693593}, {1970, 1, 1, 25569, 719163},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    const TDateTime d = EncodeDate(c.year, c.month, c.day);
    EXPECT_EQ(d, c.serial);
    EXPECT_EQ(DateToDayNumber(d), c.dayNumber);
    EXPECT_EQ(DayNumberToDate(c.dayNumber), d);
    int y = 0, m = 0, dd = 0;
    DecodeDate(d, y, m, dd);
    EXPECT_EQ(y, c.year);
    EXPECT_EQ(m, c.month);
    EXPECT_EQ(dd, c.day);
  }
  // Day numbers from a damaged packet reach this too: no overflow at the limits.
  EXPECT_EQ(DayNumberToDate(INT32_MIN), -2147483648.0 - 693594);
  EXPECT_EQ(DayNumberToDate(INT32_MAX), 2147483647.0 - 693594);
}

TEST(DateTime, InvalidDatesAndTimesAreRefused) {
  const int dates[][3] = {{2023, 2, 29}, {1900, 2, 29}, {0, 1, 1},   {10000, 1, 1},
                          {2023, 13, 1}, {2023, 4, 31}, {2023, 1, 0}};
  for (const auto& d : dates) {
    TDateTime out = 0;
    EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], out)) << d[0] << "-" << d[1] << "-" << d[2];
  }
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(DateTime, TimeOfDaySplitsAndRounds) {
  struct Case {
    TDateTime value;
    int hour, minute, second, msec;
    int dayNumber;
  };
  const Case cases[] = {
      {0.5, 12, 0, 0, 0, 693594},
      {EncodeDate(2023, 3, 30) + EncodeTime(14, 5, 9, 250), 14, 5, 9, 250, 738609},
      // Before 1899-12-30 the fraction still counts forward from midnight.
      {-1.25, 6, 0, 0, 0, 693593},
      // A hair before midnight rounds up to the next day in both the date and the time.
      {1.0 - 1e-10, 0, 0, 0, 0, 693595},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(c.value, h, m, s, ms);
    EXPECT_EQ(h, c.hour);
    EXPECT_EQ(m, c.minute);
    EXPECT_EQ(s, c.second);
    EXPECT_EQ(ms, c.msec);
    EXPECT_EQ(DateToDayNumber(c.value), c.dayNumber);
    EXPECT_EQ(TimeToMSecs(c.value), ((c.hour * 60 + c.minute) * 60 + c.second) * 1000 + c.msec);
  }
}

TEST(DateTime, DateAndTimePartsAndMillisecondStamp) {
  const TDateTime v = EncodeDate(2023, 3, 30) + EncodeTime(6, 0, 0, 0);
  EXPECT_EQ(DateOf(v), EncodeDate(2023, 3, 30));
  EXPECT_DOUBLE_EQ(TimeOf(v), 0.25);
  EXPECT_EQ(DateTimeToMSecs(v), 738609.0 * 86400000 + 6 * 3600000);
  EXPECT_DOUBLE_EQ(MSecsToDateTime(DateTimeToMSecs(v)), v);
  EXPECT_EQ(MSecsToDateTime(693593.0 * 86400000 + 6 * 3600000), -1.25);
  EXPECT_EQ(DateOf(-1.25), -1);
}

TEST(DateTime, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
}

TEST(DateTime, ClockGivesTodayWithoutTime) {
  const TDateTime today = Date();
  EXPECT_EQ(today, DateOf(today));
  EXPECT_GE(Now(), today);
  EXPECT_LT(Now(), today + 1.0001);
  EXPECT_GT(today, EncodeDate(2020, 1, 1));
}

}  // namespace
