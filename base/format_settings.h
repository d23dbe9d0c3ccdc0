// FormatSettings: the regional settings that write and read dates, times and numbers, and the
// functions that use them. Callers always pass the settings; nothing here reads a global locale.
//
// Format strings follow the usual Windows style:
//   d dd         day of month without / with a leading zero
//   M MM         month without / with a leading zero (lowercase m / mm means the month too,
//                except right after an hour token, where it means minutes)
//   yy yyyy      year in two / four digits (y and yy: two digits; three or more y: four)
//   h hh         hour on a 12-hour clock when the format has an AM/PM token, else 24-hour
//   H HH         hour on a 24-hour clock
//   n nn         minutes (m mm after an hour token, see above)
//   s ss         seconds
//   z zzz        milliseconds without / with leading zeros
//   AM/PM am/pm  "AM"/"PM" resp. "am"/"pm"
//   A/P a/p      "A"/"P" resp. "a"/"p"
//   tt ampm      the TimeAMString / TimePMString of the settings
//   /            the date separator;  :  the time separator
//   '...' "..."  literal text
// Any other character is copied as it stands. Letters are case-insensitive except M/m as above
// and H (always 24-hour).
#pragma once

#include <string>
#include <string_view>

#include "base/currency.h"
#include "base/date_time.h"

struct FormatSettings {
  std::string ShortDateFormat = "dd/MM/yyyy";
  char DateSeparator = '/';
  std::string LongTimeFormat = "HH:mm:ss";
  char TimeSeparator = ':';
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  char DecimalSeparator = '.';
  // Two-digit years read back within this many years of the current year.
  int TwoDigitYearCenturyWindow = 50;

  // dd/MM/yyyy, "/", HH:mm:ss, ":", AM/PM, "." — for tests and as a neutral fallback.
  static FormatSettings Default() { return FormatSettings{}; }
};

std::string FormatDateTime(std::string_view format, TDateTime value, const FormatSettings& fs);

// With the short date format, the long time format, or both separated by one blank (the time
// part is left out when it is exactly midnight).
std::string DateToStr(TDateTime value, const FormatSettings& fs);
std::string TimeToStr(TDateTime value, const FormatSettings& fs);
std::string DateTimeToStr(TDateTime value, const FormatSettings& fs);

// Reads a date written in the order of day, month and year of the short date format (the order
// in which d, M and y first appear in it), three numbers separated by the date separator, blanks
// allowed around the text. A year of one or two digits is put in the century that places it
// within TwoDigitYearCenturyWindow years of `currentYear` (more precisely, in
// [currentYear - window, currentYear - window + 99]), so a date written with a two-digit-year
// format reads back as the same date. Without `currentYear` the local clock gives it.
bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs);
bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs, int currentYear);
// Throws EConvertError "'%s' is not a valid date".
TDateTime StrToDate(std::string_view text, const FormatSettings& fs);

// Reads hours and minutes, optionally seconds and ".zzz" milliseconds, separated by the time
// separator; an AM/PM designator (the settings' strings, "AM"/"PM", "A"/"P", any case) may stand
// before or after, and then the hour must be 1..12 (12 AM is midnight). The result has date 0.
bool TryStrToTime(std::string_view text, TDateTime& out, const FormatSettings& fs);
// Throws EConvertError "'%s' is not a valid time".
TDateTime StrToTime(std::string_view text, const FormatSettings& fs);

// A date, optionally followed by blanks and a time.
bool TryStrToDateTime(std::string_view text, TDateTime& out, const FormatSettings& fs);
// Throws EConvertError "'%s' is not a valid date and time".
TDateTime StrToDateTime(std::string_view text, const FormatSettings& fs);

// General format, 15 significant digits, the settings' decimal separator, no thousands
// separators, trailing zeros dropped; exponent form ("1E20", "1.5E-10") when the decimal
// exponent is below -5 or at least 15. NaN, infinities: "NAN", "INF", "-INF".
std::string FloatToStr(double value, const FormatSettings& fs);
// Reads optional blanks, sign, digits with at most one decimal separator (the settings' one),
// optional exponent. Fails on anything else or when out of the range of double.
bool TryStrToFloat(std::string_view text, double& out, const FormatSettings& fs);
// Throws EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view text, const FormatSettings& fs);

// Currency in general format with the settings' decimal separator.
std::string CurrToStr(Currency value, const FormatSettings& fs);
// Reads like Currency::TryParse with the settings' decimal separator.
bool TryStrToCurr(std::string_view text, Currency& out, const FormatSettings& fs);
