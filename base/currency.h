// Currency: a fixed-point value, a signed 64-bit integer scaled by 10,000 (0.8 is held as 8000).
//
// Conversions from doubles and texts round to the nearest 1/10,000, halves away from zero.
// A result that does not fit in 64 bits is refused with an exception, never wrapped.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

class Currency {
 public:
  static constexpr std::int64_t kScale = 10000;

  constexpr Currency() = default;

  // The value whose scaled representation is `raw` (FromRaw(8000) is 0.8).
  static constexpr Currency FromRaw(std::int64_t raw) {
    Currency c;
    c.raw_ = raw;
    return c;
  }
  // Throws EOverflow when value * 10,000 does not fit.
  static Currency FromInt(std::int64_t value);
  // Rounds halves away from zero, deciding on the shortest decimal text of `value` (so 0.00005
  // becomes 0.0001). Throws EOverflow for values out of range, EConvertError for NaN/infinity.
  static Currency FromDouble(double value);
  static bool TryFromDouble(double value, Currency& out);

  // Reads decimal text: optional blanks around it, optional sign, digits with at most one
  // `decimalSeparator`, optional exponent (E or e, optional sign, digits). More than four
  // decimals are rounded, halves away from zero. Fails on anything else or out of range.
  static bool TryParse(std::string_view text, char decimalSeparator, Currency& out);
  // Throws EConvertError "'%s' is not a valid floating point value" (or EOverflow out of range).
  static Currency Parse(std::string_view text, char decimalSeparator);

  constexpr std::int64_t Raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }

  // General format: no thousands separators, trailing fractional zeros and a trailing separator
  // dropped, "-" for negatives: 0.8 -> "0.8", 16 -> "16", -0.05 -> "-0.05".
  std::string ToString(char decimalSeparator) const;

  // Arithmetic refuses results out of range with EOverflow. Multiplication rounds the exact
  // product to 4 decimals, halves away from zero; division by zero throws EConvertError
  // "Division by zero".
  Currency operator-() const;
  Currency operator+(Currency other) const;
  Currency operator-(Currency other) const;
  Currency operator*(Currency other) const;
  Currency operator/(Currency other) const;
  Currency& operator+=(Currency other) { return *this = *this + other; }
  Currency& operator-=(Currency other) { return *this = *this - other; }

  constexpr auto operator<=>(const Currency&) const = default;

 private:
  std::int64_t raw_ = 0;
};
