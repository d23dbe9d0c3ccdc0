#include "base/text.h"

#include <charconv>
#include <limits>

#include "base/exceptions.h"

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerChar(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  return TrimLeft(TrimRight(s));
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperChar(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerChar(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperChar(a[i]));
    const auto cb = static_cast<unsigned char>(UpperChar(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string IntToStr(std::int64_t value) {
  return std::to_string(value);
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
  std::string t = Trim(s);
  std::string_view v = t;
  bool negative = false;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (!v.empty() && v[0] == '$') {
    base = 16;
    v.remove_prefix(1);
  } else if (v.size() > 1 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  if (v.empty()) return false;
  // Accumulate as a negative number so that the most negative value is representable.
  std::int64_t acc = 0;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (char c : v) {
    const int d = HexDigit(c);
    if (d < 0 || d >= base) return false;
    if (acc < (kMin + d) / base) return false;
    acc = acc * base - d;
  }
  if (!negative) {
    if (acc == kMin) return false;
    acc = -acc;
  }
  value = acc;
  return true;
}

bool TryStrToInt(std::string_view s, int& value) {
  std::int64_t v = 0;
  if (!TryStrToInt64(s, v) || v < std::numeric_limits<int>::min() ||
      v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(std::string_view s) {
  int v = 0;
  if (!TryStrToInt(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", s));
  return v;
}

std::int64_t StrToInt64(std::string_view s) {
  std::int64_t v = 0;
  if (!TryStrToInt64(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", s));
  return v;
}

std::string QuotedStr(std::string_view s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  r += '\'';
  return r;
}
