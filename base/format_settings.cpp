#include "base/format_settings.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "base/decimal_text.h"
#include "base/exceptions.h"
#include "base/text.h"

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool StartsWithText(std::string_view s, size_t at, std::string_view what) {
  return !what.empty() && s.size() - at >= what.size() && SameText(s.substr(at, what.size()), what);
}

size_t RunLength(std::string_view s, size_t at, bool caseSensitive) {
  size_t n = 1;
  while (at + n < s.size() &&
         (caseSensitive ? s[at + n] == s[at] : Lower(s[at + n]) == Lower(s[at])))
    ++n;
  return n;
}

std::string Padded(int value, size_t width) {
  std::string t = std::to_string(value);
  if (t.size() < width) t.insert(0, width - t.size(), '0');
  return t;
}

// Whether the format asks for a 12-hour clock (an AM/PM token outside quotes).
bool HasAmPm(std::string_view f) {
  for (size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    if (c == '\'' || c == '"') {
      const size_t close = f.find(c, i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (StartsWithText(f, i, "am/pm") || StartsWithText(f, i, "a/p") ||
               StartsWithText(f, i, "ampm") || StartsWithText(f, i, "tt")) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string FormatDateTime(std::string_view f, TDateTime value, const FormatSettings& fs) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  const bool twelve_hour = HasAmPm(f);
  const bool pm = hour >= 12;
  int hour12 = hour % 12;
  if (hour12 == 0) hour12 = 12;

  std::string out;
  bool after_hour = false;  // a lowercase m right after an hour token means minutes
  for (size_t i = 0; i < f.size();) {
    const char c = f[i];
    const char lc = Lower(c);
    if (c == '\'' || c == '"') {
      size_t close = f.find(c, i + 1);
      if (close == std::string_view::npos) close = f.size();
      out.append(f.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (StartsWithText(f, i, "am/pm")) {
      const bool upper = f[i] == 'A';
      out += pm ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
      i += 5;
      continue;
    }
    if (StartsWithText(f, i, "a/p")) {
      const bool upper = f[i] == 'A';
      out += pm ? (upper ? 'P' : 'p') : (upper ? 'A' : 'a');
      i += 3;
      continue;
    }
    if (StartsWithText(f, i, "ampm") || StartsWithText(f, i, "tt")) {
      out += pm ? fs.TimePMString : fs.TimeAMString;
      i += lc == 'a' ? 4 : 2;
      continue;
    }
    const size_t run = RunLength(f, i, c == 'M' || c == 'm' || c == 'H' || c == 'h');
    const size_t width = run >= 2 ? 2 : 1;
    switch (lc) {
      case 'd':
        out += Padded(day, width);
        after_hour = false;
        break;
      case 'y':
        out += run <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
        after_hour = false;
        break;
      case 'h':
        out += Padded((c == 'h' && twelve_hour) ? hour12 : hour, width);
        after_hour = true;
        break;
      case 'm':
        if (c == 'm' && after_hour) {
          out += Padded(minute, width);
        } else {
          out += Padded(month, width);
        }
        after_hour = false;
        break;
      case 'n':
        out += Padded(minute, width);
        after_hour = false;
        break;
      case 's':
        out += Padded(second, width);
        after_hour = false;
        break;
      case 'z':
        out += run >= 2 ? Padded(msec, 3) : std::to_string(msec);
        after_hour = false;
        break;
      case '/':
        out.append(run, fs.DateSeparator);
        break;
      case ':':
        out.append(run, fs.TimeSeparator);
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string DateToStr(TDateTime value, const FormatSettings& fs) {
  return FormatDateTime(fs.ShortDateFormat, value, fs);
}

std::string TimeToStr(TDateTime value, const FormatSettings& fs) {
  return FormatDateTime(fs.LongTimeFormat, value, fs);
}

std::string DateTimeToStr(TDateTime value, const FormatSettings& fs) {
  std::string text = DateToStr(value, fs);
  if (TimeToMSecs(value) != 0) text += " " + TimeToStr(value, fs);
  return text;
}

namespace {

enum class DatePart { kDay, kMonth, kYear };

// The order of day, month and year in a date format, and the literal separator written between
// the first and second and between the second and third field ('\0' when none).
struct DateLayout {
  DatePart order[3] = {DatePart::kDay, DatePart::kMonth, DatePart::kYear};
  char separators[2] = {'\0', '\0'};
};

DateLayout LayoutOf(std::string_view f, const FormatSettings& fs) {
  DateLayout layout;
  DatePart found[3];
  int count = 0;
  bool seen[3] = {false, false, false};
  for (size_t i = 0; i < f.size() && count < 3; ++i) {
    const char c = f[i];
    if (c == '\'' || c == '"') {
      const size_t close = f.find(c, i + 1);
      if (close == std::string_view::npos) break;
      i = close;
      continue;
    }
    int part = -1;
    switch (Lower(c)) {
      case 'd':
        part = 0;
        break;
      case 'm':
        part = 1;
        break;
      case 'y':
        part = 2;
        break;
      default:
        if (count == 1 || count == 2) {
          const char sep = c == '/' ? fs.DateSeparator : c;
          if (layout.separators[count - 1] == '\0' && !IsDigit(sep) && !IsBlank(sep))
            layout.separators[count - 1] = sep;
        }
        continue;
    }
    if (!seen[part]) {
      seen[part] = true;
      found[count++] = static_cast<DatePart>(part);
    }
  }
  if (count == 3) std::copy(found, found + 3, layout.order);
  return layout;
}

// Reads 1..4 digits at `pos`; false when there is none.
bool ReadNumber(std::string_view s, size_t& pos, int& value, int& digits) {
  value = 0;
  digits = 0;
  while (pos < s.size() && IsDigit(s[pos]) && digits < 4) {
    value = value * 10 + (s[pos++] - '0');
    ++digits;
  }
  return digits > 0 && !(pos < s.size() && IsDigit(s[pos]));
}

// Reads a date at the start of `s` and sets `pos` after it.
bool ReadDate(std::string_view s, size_t& pos, TDateTime& out, const FormatSettings& fs,
              int currentYear) {
  const DateLayout layout = LayoutOf(fs.ShortDateFormat, fs);
  int values[3] = {0, 0, 0};
  int year_digits = 0;
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      if (pos >= s.size()) return false;
      const char sep = s[pos];
      if (sep != fs.DateSeparator && sep != layout.separators[k - 1]) return false;
      ++pos;
    }
    int digits = 0;
    if (!ReadNumber(s, pos, values[static_cast<int>(layout.order[k])], digits)) return false;
    if (layout.order[k] == DatePart::kYear) year_digits = digits;
  }
  int year = values[2];
  if (year_digits <= 2) {
    const int window = fs.TwoDigitYearCenturyWindow;
    const int first = currentYear - window;
    year += (first / 100) * 100;
    if (window > 0 && year < first) year += 100;
  }
  return TryEncodeDate(year, values[1], values[0], out);
}

int CurrentYear() {
  int y = 0, m = 0, d = 0;
  DecodeDate(Date(), y, m, d);
  return y;
}

// Matches an AM/PM designator at `pos`; sets `pm` and advances.
bool ReadDesignator(std::string_view s, size_t& pos, bool& pm, const FormatSettings& fs) {
  const std::string_view candidates[] = {fs.TimeAMString, fs.TimePMString, "AM", "PM", "A", "P"};
  const bool is_pm[] = {false, true, false, true, false, true};
  // Longest match first, so "PM" is not read as "P" followed by "M".
  size_t best = 0;
  bool best_pm = false;
  for (int k = 0; k < 6; ++k) {
    if (candidates[k].size() > best && StartsWithText(s, pos, candidates[k])) {
      best = candidates[k].size();
      best_pm = is_pm[k];
    }
  }
  if (best == 0) return false;
  pos += best;
  pm = best_pm;
  return true;
}

void SkipBlanks(std::string_view s, size_t& pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
}

bool ReadTime(std::string_view s, size_t& pos, TDateTime& out, const FormatSettings& fs) {
  bool has_designator = false, pm = false;
  if (ReadDesignator(s, pos, pm, fs)) {
    has_designator = true;
    SkipBlanks(s, pos);
  }
  int parts[3] = {0, 0, 0};
  int count = 0;
  int digits = 0;
  while (count < 3) {
    if (count > 0) {
      if (pos >= s.size() || s[pos] != fs.TimeSeparator) break;
      ++pos;
    }
    if (!ReadNumber(s, pos, parts[count], digits) || digits > 2) return false;
    ++count;
  }
  if (count < 2) return false;
  int msec = 0;
  if (count == 3 && pos < s.size() && (s[pos] == '.' || s[pos] == fs.DecimalSeparator) &&
      pos + 1 < s.size() && IsDigit(s[pos + 1])) {
    ++pos;
    if (!ReadNumber(s, pos, msec, digits) || digits > 3) return false;
  }
  if (!has_designator) {
    size_t p = pos;
    SkipBlanks(s, p);
    if (ReadDesignator(s, p, pm, fs)) {
      has_designator = true;
      pos = p;
    }
  }
  int hour = parts[0];
  if (has_designator) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (pm ? 12 : 0);
  }
  return TryEncodeTime(hour, parts[1], parts[2], msec, out);
}

bool AtEnd(std::string_view s, size_t pos) {
  SkipBlanks(s, pos);
  return pos == s.size();
}

}  // namespace

bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs,
                  int currentYear) {
  size_t pos = 0;
  SkipBlanks(text, pos);
  TDateTime value = 0;
  if (!ReadDate(text, pos, value, fs, currentYear) || !AtEnd(text, pos)) return false;
  out = value;
  return true;
}

bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  return TryStrToDate(text, out, fs, CurrentYear());
}

TDateTime StrToDate(std::string_view text, const FormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToDate(text, value, fs)) throw EConvertError(Format("'%s' is not a valid date", text));
  return value;
}

bool TryStrToTime(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  size_t pos = 0;
  SkipBlanks(text, pos);
  TDateTime value = 0;
  if (!ReadTime(text, pos, value, fs) || !AtEnd(text, pos)) return false;
  out = value;
  return true;
}

TDateTime StrToTime(std::string_view text, const FormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToTime(text, value, fs)) throw EConvertError(Format("'%s' is not a valid time", text));
  return value;
}

bool TryStrToDateTime(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  size_t pos = 0;
  SkipBlanks(text, pos);
  TDateTime date = 0;
  if (!ReadDate(text, pos, date, fs, CurrentYear())) return false;
  TDateTime time = 0;
  if (!AtEnd(text, pos)) {
    const size_t before = pos;
    SkipBlanks(text, pos);
    if (pos == before || !ReadTime(text, pos, time, fs) || !AtEnd(text, pos)) return false;
  }
  out = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime StrToDateTime(std::string_view text, const FormatSettings& fs) {
  TDateTime value = 0;
  if (!TryStrToDateTime(text, value, fs))
    throw EConvertError(Format("'%s' is not a valid date and time", text));
  return value;
}

std::string FloatToStr(double value, const FormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // 15 significant digits: d.dddddddddddddde±x
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = sci.find('e');
  const bool negative = sci[0] == '-';
  std::string digits;
  for (char c : sci.substr(0, e))
    if (IsDigit(c)) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);

  std::string out = negative ? "-" : "";
  const int n = static_cast<int>(digits.size());
  if (exponent < -5 || exponent >= 15) {
    out += digits[0];
    if (n > 1) {
      out += fs.DecimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += fs.DecimalSeparator;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
  } else if (exponent + 1 >= n) {
    out += digits;
    out.append(static_cast<size_t>(exponent + 1 - n), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(exponent + 1));
    out += fs.DecimalSeparator;
    out += digits.substr(static_cast<size_t>(exponent + 1));
  }
  return out;
}

bool TryStrToFloat(std::string_view text, double& out, const FormatSettings& fs) {
  DecimalNumber n;
  if (!ParseDecimal(text, fs.DecimalSeparator, true, n)) return false;
  if (n.digits.empty()) {
    out = 0;
    return true;
  }
  const std::string canonical =
      (n.negative ? "-" : "") + n.digits + "e" + std::to_string(n.exponent);
  double value = 0;
  const auto res = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (res.ec != std::errc() || !std::isfinite(value)) return false;
  out = value;
  return true;
}

double StrToFloat(std::string_view text, const FormatSettings& fs) {
  double value = 0;
  if (!TryStrToFloat(text, value, fs))
    throw EConvertError(Format("'%s' is not a valid floating point value", text));
  return value;
}

std::string CurrToStr(Currency value, const FormatSettings& fs) {
  return value.ToString(fs.DecimalSeparator);
}

bool TryStrToCurr(std::string_view text, Currency& out, const FormatSettings& fs) {
  return Currency::TryParse(text, fs.DecimalSeparator, out);
}
