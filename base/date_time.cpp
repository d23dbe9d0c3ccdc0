#include "base/date_time.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <system_error>

#include "base/exceptions.h"

namespace {

constexpr std::int32_t kMaxDayNumber = 3652059;  // 31 December 9999
constexpr std::int32_t kDayNumber1970 = 719163;  // 1 January 1970

// Days since 1 January 1970 of a proleptic Gregorian date (eras of 400 years).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Splits a value into its day number and milliseconds of the day. The time is rounded to the
// millisecond first so that 23:59:59.9999 does not fall back a day in one field and not the
// other. False for values outside the supported dates (and NaN).
bool Split(TDateTime value, std::int32_t& dayNumber, std::int32_t& msecs) {
  if (!(std::fabs(value) < 3.0e6)) return false;
  const auto total = std::llround(value * kMSecsPerDay);
  dayNumber = static_cast<std::int32_t>(kDateDelta + total / kMSecsPerDay);
  msecs = static_cast<std::int32_t>(std::llabs(total) % kMSecsPerDay);
  return true;
}

EConvertError InvalidTimeStamp(double msecs) {
  // Not printf: the C library's text for infinities and NaN differs between platforms.
  char text[400];  // the widest double in fixed notation has 309 digits
  const auto end = std::to_chars(text, text + sizeof text, msecs, std::chars_format::fixed, 0);
  const std::string shown(text, end.ec == std::errc() ? end.ptr : text);
  return EConvertError(Format("'%s' is not a valid timestamp", shown));
}

// The platform's call: the local calendar time of `t` by the C library's thread-safe variant,
// which each platform names and orders differently.
std::tm LocalTime(std::time_t t) {
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}

TDateTime Combine(std::int32_t dayNumber, std::int32_t msecs) {
  const double days = static_cast<double>(dayNumber - kDateDelta);
  const double fraction = static_cast<double>(msecs) / kMSecsPerDay;
  return days >= 0 ? days + fraction : days - fraction;
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  out = static_cast<double>(DaysFromCivil(year, month, day) + kDayNumber1970 - kDateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime r = 0;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
  return r;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  std::int32_t dn = 0, ms = 0;
  if (!Split(value, dn, ms) || dn < 1 || dn > kMaxDayNumber) {
    year = month = day = 0;
    return;
  }
  CivilFromDays(static_cast<std::int64_t>(dn) - kDayNumber1970, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999)
    return false;
  out = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime r = 0;
  if (!TryEncodeTime(hour, minute, second, msec, r))
    throw EConvertError("Invalid argument to time encode");
  return r;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
  std::int32_t ms = TimeToMSecs(value);
  msec = ms % 1000;
  ms /= 1000;
  second = ms % 60;
  ms /= 60;
  minute = ms % 60;
  hour = ms / 60;
}

TDateTime DateOf(TDateTime value) {
  std::int32_t dn = 0, ms = 0;
  if (!Split(value, dn, ms)) return std::trunc(value);
  return static_cast<double>(dn - kDateDelta);
}

TDateTime TimeOf(TDateTime value) {
  return MSecsToTime(TimeToMSecs(value));
}

TDateTime Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::tm tm = LocalTime(system_clock::to_time_t(now));
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
         EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(ms));
}

TDateTime Date() {
  return DateOf(Now());
}

std::int32_t DateToDayNumber(TDateTime value) {
  std::int32_t dn = 0, ms = 0;
  if (!Split(value, dn, ms)) return 0;
  return dn;
}

TDateTime DayNumberToDate(std::int32_t dayNumber) {
  // In double: a day number near the int32 limits must not overflow on the way.
  return static_cast<double>(dayNumber) - kDateDelta;
}

std::int32_t TimeToMSecs(TDateTime value) {
  std::int32_t dn = 0, ms = 0;
  if (!Split(value, dn, ms)) return 0;
  return ms;
}

TDateTime MSecsToTime(std::int32_t msecs) {
  return static_cast<double>(msecs) / kMSecsPerDay;
}

double DateTimeToMSecs(TDateTime value) {
  std::int32_t dn = 0, ms = 0;
  if (!Split(value, dn, ms)) return 0;
  return static_cast<double>(dn) * kMSecsPerDay + ms;
}

TDateTime MSecsToDateTime(double msecs) {
  // The count comes from stored rows and packets: anything outside the calendar is damage, and
  // must not pass for some other date.
  const double days = std::floor(msecs / kMSecsPerDay);
  if (!(days >= 1 && days <= kMaxDayNumber)) throw InvalidTimeStamp(msecs);
  auto dayNumber = static_cast<std::int32_t>(days);
  auto ms = static_cast<std::int32_t>(std::llround(msecs - days * kMSecsPerDay));
  if (ms >= kMSecsPerDay) {
    ++dayNumber;
    ms = 0;
    if (dayNumber > kMaxDayNumber) throw InvalidTimeStamp(msecs);
  }
  return Combine(dayNumber, ms);
}
