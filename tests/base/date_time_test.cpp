#include "base/date_time.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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

TEST(DateTime, MillisecondStampsOfTheWholeCalendarComeBack) {
  struct Case {
    int year, month, day, hour, minute, second, msec;
    double msecs;  // day number * 86,400,000 + milliseconds of the day
  };
  const Case cases[] = {
      {1, 1, 1, 0, 0, 0, 0, 86400000.0},
      {1, 1, 1, 12, 0, 0, 1, 86400000.0 + 43200001},
      {1899, 12, 30, 0, 0, 0, 0, 693594.0 * 86400000},
      {2026, 12, 9, 18, 30, 0, 5, 739959.0 * 86400000 + 66600005},
      // Day number 3,000,000 and its eve: the first day a range check once cut off.
      {8214, 9, 20, 23, 59, 59, 999, 2999999.0 * 86400000 + 86399999},
      {8214, 9, 21, 0, 0, 0, 0, 3000000.0 * 86400000},
      {9999, 12, 31, 23, 59, 59, 999, 3652059.0 * 86400000 + 86399999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << " " << c.hour
                                    << ":" << c.minute << ":" << c.second << "." << c.msec);
    // Before 30 December 1899 the time of day counts away from zero.
    const TDateTime value =
        EncodeDate(c.year, c.month, c.day) +
        (c.year < 1899 ? -1 : 1) * EncodeTime(c.hour, c.minute, c.second, c.msec);
    EXPECT_EQ(DateTimeToMSecs(value), c.msecs);
    const TDateTime back = MSecsToDateTime(c.msecs);
    EXPECT_EQ(back, value);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(back, y, mo, d);
    DecodeTime(back, h, mi, s, ms);
    EXPECT_EQ((std::vector<int>{y, mo, d, h, mi, s, ms}),
              (std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, c.second, c.msec}));
  }
}

TEST(DateTime, AMillisecondStampOutsideTheCalendarFails) {
  struct Case {
    double msecs;
    const char* message;
  };
  const Case cases[] = {
      {0, "'0' is not a valid timestamp"},  // day 0, the year before 1
      {86400000.0 - 1, "'86399999' is not a valid timestamp"},
      {-86400000.0, "'-86400000' is not a valid timestamp"},
      {3652060.0 * 86400000, "'315537984000000' is not a valid timestamp"},  // 1 January 10000
      // Rounds up into 10000.
      {3652059.0 * 86400000 + 86399999.75, "'315537984000000' is not a valid timestamp"},
      {std::numeric_limits<double>::infinity(), "'inf' is not a valid timestamp"},
      {std::numeric_limits<double>::quiet_NaN(), "'nan' is not a valid timestamp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.msecs);
    try {
      MSecsToDateTime(c.msecs);
      ADD_FAILURE() << "no failure";
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
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
