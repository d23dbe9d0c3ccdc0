#include "base/currency.h"

#include <cmath>
#include <limits>

#include "base/decimal_text.h"
#include "base/exceptions.h"

namespace {

using Wide = __int128;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

[[noreturn]] void Overflow() {
  throw EOverflow("Fixed-point value out of range");
}

Currency Checked(Wide raw) {
  if (raw < kMin || raw > kMax) Overflow();
  return Currency::FromRaw(static_cast<std::int64_t>(raw));
}

// Divides rounding halves away from zero. REQUIRES: d != 0.
Wide DivRound(Wide n, Wide d) {
  Wide q = n / d;
  Wide r = n % d;
  if (r < 0) r = -r;
  const Wide ad = d < 0 ? -d : d;
  if (2 * r >= ad) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return q;
}

// The scaled value of a decimal, or false when out of range.
bool FromDecimal(DecimalNumber n, std::int64_t& raw) {
  RoundDecimal(n, -4);
  if (n.digits.empty()) {
    raw = 0;
    return true;
  }
  // 10^4 scale plus at most 19 digits of int64.
  if (static_cast<int>(n.digits.size()) + n.exponent + 4 > 19) return false;
  Wide v = 0;
  for (char c : n.digits) v = v * 10 + (c - '0');
  for (int e = n.exponent + 4; e > 0; --e) v *= 10;
  if (n.negative) v = -v;
  if (v < kMin || v > kMax) return false;
  raw = static_cast<std::int64_t>(v);
  return true;
}

}  // namespace

Currency Currency::FromInt(std::int64_t value) {
  return Checked(Wide{value} * kScale);
}

bool Currency::TryFromDouble(double value, Currency& out) {
  if (!std::isfinite(value)) return false;
  std::int64_t raw = 0;
  if (!FromDecimal(ShortestDecimal(value), raw)) return false;
  out = FromRaw(raw);
  return true;
}

Currency Currency::FromDouble(double value) {
  if (!std::isfinite(value)) throw EConvertError("Invalid floating point value");
  Currency c;
  if (!TryFromDouble(value, c)) Overflow();
  return c;
}

bool Currency::TryParse(std::string_view text, char decimalSeparator, Currency& out) {
  DecimalNumber n;
  std::int64_t raw = 0;
  if (!ParseDecimal(text, decimalSeparator, true, n) || !FromDecimal(n, raw)) return false;
  out = FromRaw(raw);
  return true;
}

Currency Currency::Parse(std::string_view text, char decimalSeparator) {
  DecimalNumber n;
  if (!ParseDecimal(text, decimalSeparator, true, n))
    throw EConvertError(Format("'%s' is not a valid floating point value", text));
  std::int64_t raw = 0;
  if (!FromDecimal(n, raw)) Overflow();
  return FromRaw(raw);
}

std::string Currency::ToString(char decimalSeparator) const {
  const bool negative = raw_ < 0;
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(raw_)
                                           : static_cast<std::uint64_t>(raw_);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / kScale);
  std::string fraction = std::to_string(magnitude % kScale + kScale).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) {
    text += decimalSeparator;
    text += fraction;
  }
  return text;
}

Currency Currency::operator-() const {
  return Checked(-Wide{raw_});
}
Currency Currency::operator+(Currency other) const {
  return Checked(Wide{raw_} + other.raw_);
}
Currency Currency::operator-(Currency other) const {
  return Checked(Wide{raw_} - other.raw_);
}

Currency Currency::operator*(Currency other) const {
  return Checked(DivRound(Wide{raw_} * other.raw_, kScale));
}

Currency Currency::operator/(Currency other) const {
  if (other.raw_ == 0) throw EConvertError("Division by zero");
  return Checked(DivRound(Wide{raw_} * kScale, other.raw_));
}
