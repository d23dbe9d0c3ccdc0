// TDateTime: a point in time as a double counting days since 30 December 1899 (day 0); the
// fraction is the time of day. Before that day values are negative and the fraction still counts
// forward from midnight: -1.25 is 29 December 1899, 06:00. Valid dates are 1 January 1 to
// 31 December 9999.
//
// The dataset engine and filter records store a date as a "day number": days counted from
// 1 January of year 1, that day being 1 (30 December 1899 is day 693594), and a time of day as
// milliseconds since midnight.
#pragma once

#include <cstdint>

using TDateTime = double;

inline constexpr std::int32_t kDateDelta = 693594;  // day number of 30 December 1899
inline constexpr std::int32_t kMSecsPerDay = 86400000;

bool IsLeapYear(int year);
// REQUIRES: 1 <= month <= 12.
int DaysInMonth(int year, int month);

// Fails (false / EConvertError "Invalid argument to date encode") outside 1/1/1..31/12/9999.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);
// Splits the calendar date of `value` (time rounded to the millisecond first).
void DecodeDate(TDateTime value, int& year, int& month, int& day);

// Fails (false / EConvertError "Invalid argument to time encode") unless hour < 24,
// minute < 60, second < 60, msec < 1000.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// Splits the time of day of `value`, rounded to the millisecond.
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

// Calendar date alone (time 00:00) and time of day alone (date 30/12/1899).
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// The local clock.
TDateTime Date();
TDateTime Now();

// Day number (1 January of year 1 is 1) of the calendar date of `value`, and back.
std::int32_t DateToDayNumber(TDateTime value);
TDateTime DayNumberToDate(std::int32_t dayNumber);

// Milliseconds since midnight of the time of day of `value`, and back (date 30/12/1899).
std::int32_t TimeToMSecs(TDateTime value);
TDateTime MSecsToTime(std::int32_t msecs);

// Date and time as one number: day number * 86,400,000 + milliseconds of the day, and back.
double DateTimeToMSecs(TDateTime value);
// Throws EConvertError "'%s' is not a valid timestamp" (the count in place of %s) for a count
// outside 1 January 1 00:00:00.000 to 31 December 9999 23:59:59.999, NaN included.
TDateTime MSecsToDateTime(double msecs);
