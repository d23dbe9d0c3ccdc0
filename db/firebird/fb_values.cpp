#include "db/firebird/fb_values.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kDayOneOffset = DaysFromCivil(1, 1, 1) - 1;
// The client counts dates from 17 November 1858 (day 0).
constexpr std::int64_t kIscEpoch = DaysFromCivil(1858, 11, 17);

constexpr std::int32_t kMillisecondsPerDay = 86'400'000;

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Character sets whose text is UTF-8, with the most bytes one character takes in each.
constexpr int kUnicodeFss = 3;  // up to 3 bytes
constexpr int kUtf8 = 4;        // up to 4 bytes

}  // namespace

std::int32_t DayNumberFromCivil(int year, int month, int day) {
  return static_cast<std::int32_t>(DaysFromCivil(year, month, day) - kDayOneOffset);
}

void CivilFromDayNumber(std::int32_t dayNumber, int& year, int& month, int& day) {
  const std::int64_t z = dayNumber + kDayOneOffset + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

std::int32_t IscDateToDayNumber(ISC_DATE date) {
  return static_cast<std::int32_t>(date + kIscEpoch - kDayOneOffset);
}

ISC_DATE DayNumberToIscDate(std::int32_t dayNumber) {
  return static_cast<ISC_DATE>(dayNumber + kDayOneOffset - kIscEpoch);
}

std::int32_t IscTimeToMilliseconds(ISC_TIME time) {
  return static_cast<std::int32_t>(time / 10);
}

bool MillisecondsToIscTime(std::int32_t milliseconds, ISC_TIME& time) {
  if (milliseconds < 0 || milliseconds >= kMillisecondsPerDay) return false;
  time = static_cast<ISC_TIME>(milliseconds) * 10;
  return true;
}

SQLTimeStamp IscTimestampToSql(const ISC_TIMESTAMP& stamp) {
  SQLTimeStamp out;
  int y = 0, m = 0, d = 0;
  CivilFromDayNumber(IscDateToDayNumber(stamp.timestamp_date), y, m, d);
  out.Year = static_cast<std::int16_t>(y);
  out.Month = static_cast<std::uint16_t>(m);
  out.Day = static_cast<std::uint16_t>(d);
  const std::int32_t ms = IscTimeToMilliseconds(stamp.timestamp_time);
  out.Hour = static_cast<std::uint16_t>(ms / 3'600'000);
  out.Minute = static_cast<std::uint16_t>(ms / 60'000 % 60);
  out.Second = static_cast<std::uint16_t>(ms / 1000 % 60);
  out.Fraction = static_cast<std::uint32_t>(ms % 1000);
  return out;
}

bool SqlToIscTimestamp(const SQLTimeStamp& stamp, ISC_TIMESTAMP& out) {
  if (stamp.Year < 1 || stamp.Month < 1 || stamp.Month > 12 || stamp.Day < 1 ||
      stamp.Day > DaysInMonth(stamp.Year, stamp.Month) || stamp.Hour > 23 || stamp.Minute > 59 ||
      stamp.Second > 59 || stamp.Fraction > 999) {
    return false;
  }
  out.timestamp_date = DayNumberToIscDate(DayNumberFromCivil(stamp.Year, stamp.Month, stamp.Day));
  const std::int32_t ms =
      ((stamp.Hour * 60 + stamp.Minute) * 60 + stamp.Second) * 1000 + stamp.Fraction;
  return MillisecondsToIscTime(ms, out.timestamp_time);
}

TBcd ScaledToBcd(std::int64_t value, int scale, int precision) {
  // Unsigned magnitude, as the smallest int64 has no positive twin.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  int count = 1;
  for (std::uint64_t rest = magnitude / 10; rest != 0; rest /= 10) ++count;
  // A value wider than the column's precision keeps every digit rather than losing any.
  const int total = std::max(count, precision);
  TBcd bcd;
  bcd.Precision = static_cast<std::uint8_t>(total);
  bcd.SignSpecialPlaces = static_cast<std::uint8_t>(scale | (value < 0 ? 0x80 : 0));
  // Digits from the least significant nibble up; the leading ones stay zero. This runs for every
  // decimal of every fetched row, so it touches only the nibbles that hold digits.
  for (int position = total - 1; magnitude != 0; --position) {
    const auto digit = static_cast<std::uint8_t>(magnitude % 10);
    magnitude /= 10;
    bcd.Fraction[position / 2] |= position % 2 == 0 ? static_cast<std::uint8_t>(digit << 4) : digit;
  }
  return bcd;
}

bool BcdToScaled(const TBcd& bcd, int scale, std::int64_t& out) {
  // A value with no more decimals than asked for needs no rounding: its digits are read as they
  // stand and the missing decimals added as zeros. Otherwise it is rounded to 19 digits first.
  TBcd normal;
  const bool exact = BcdScale(bcd) <= scale;
  if (!exact && !TryNormalizeBcd(bcd, normal, 19, scale)) return false;
  const TBcd& digits = exact ? bcd : normal;
  const int count = exact ? BcdPrecision(bcd) + scale - BcdScale(bcd) : 19;
  // 19 digits may exceed 64 bits; accumulate as a negative number, which has the wider range.
  std::int64_t negative = 0;
  for (int i = 0; i < count; ++i) {
    int digit = 0;
    if (i < digits.Precision) {
      const std::uint8_t byte = digits.Fraction[i / 2];
      digit = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }
    if (negative < (INT64_MIN + digit) / 10) return false;
    negative = negative * 10 - digit;
  }
  if (IsBcdNegative(digits)) {
    out = negative;
  } else {
    if (negative == INT64_MIN) return false;
    out = -negative;
  }
  return true;
}

std::string_view FixedTextValue(std::string_view buffer, int charset) {
  if (charset != kUnicodeFss && charset != kUtf8) return buffer;
  std::size_t characters = buffer.size() / (charset == kUnicodeFss ? 3 : 4);
  std::size_t end = 0;
  for (; characters > 0 && end < buffer.size(); --characters) {
    const auto lead = static_cast<unsigned char>(buffer[end]);
    // A stray continuation byte counts as a character of its own, so the walk always advances.
    end += lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  }
  return buffer.substr(0, std::min(end, buffer.size()));
}

std::string QuoteObjectName(std::string_view name, int dialect) {
  if (dialect < 3) return std::string(name);
  std::string out;
  std::size_t start = 0;
  while (start <= name.size()) {
    // A dot inside quotes belongs to the name.
    std::size_t end = start;
    bool quoted = false;
    while (end < name.size() && (quoted || name[end] != '.')) {
      if (name[end] == '"') quoted = !quoted;
      ++end;
    }
    const std::string_view part = name.substr(start, end - start);
    if (!out.empty() || start > 0) out += '.';
    if (part.size() >= 2 && part.front() == '"' && part.back() == '"') {
      out += part;
    } else {
      out += '"';
      for (char c : part) {
        if (c == '"') out += '"';
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
      out += '"';
    }
    if (end >= name.size()) break;
    start = end + 1;
  }
  return out;
}
