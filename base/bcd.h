// TBcd: the packed decimal of the database and engine layers, 18 bytes.
//
//   byte 0        precision: number of digits held (1..32; 0 only in a zero-initialised value,
//                 which reads as 0)
//   byte 1        bit 7 sign (set = negative), low 6 bits scale (digits after the point)
//   bytes 2..17   digits, two per byte, high nibble first, most significant digit first; only
//                 the first `precision` nibbles count (the rest are zero)
//
// Values compare by value: 0.8 with scale 1 equals 0.8000 with scale 4. A NUMERIC(15,4) column
// holds its values normalised to precision 15, scale 4 (NormalizeBcd). Conversions to text use
// an explicit decimal separator; nothing reads a global setting.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/currency.h"

struct TBcd {
  std::uint8_t Precision = 0;
  std::uint8_t SignSpecialPlaces = 0;
  std::uint8_t Fraction[16] = {};
};
static_assert(sizeof(TBcd) == 18, "TBcd is the 18-byte packed decimal");

inline constexpr int kMaxBcdDigits = 32;  // 16 bytes of two digits

// Precision at most 32, scale at most precision, every digit 0..9 and unused nibbles zero. The
// functions below read an invalid value as 0.
bool IsValidBcd(const TBcd& bcd);

int BcdPrecision(const TBcd& bcd);
int BcdScale(const TBcd& bcd);
bool IsBcdNegative(const TBcd& bcd);
bool IsBcdZero(const TBcd& bcd);

// Reads a decimal number: optional blanks around it, optional sign, digits with at most one
// `decimalSeparator` (digits on at least one side of it). At most 32 significant digits; leading
// zeros and trailing fractional zeros beyond that are dropped. The result has precision =
// digits held, scale = decimals written ("0.80" -> precision 2, scale 2; "-0" is 0).
bool TryStrToBcd(std::string_view text, char decimalSeparator, TBcd& out);
// Throws EConvertError "%s is not a valid BCD value" with `text` in place of %s.
TBcd StrToBcd(std::string_view text, char decimalSeparator);

// General format: no thousands separators, leading zeros, trailing fractional zeros and a
// trailing separator dropped; "-" for negatives; "0" for zero. 0.8000 -> "0.8", 19.0000 -> "19".
std::string BcdToStr(const TBcd& bcd, char decimalSeparator);

// Exact: precision 19 (or fewer digits), scale 4.
TBcd CurrencyToBcd(Currency value);
// Rounds to 4 decimals (halves away from zero). TryBcdToCurrency fails, BcdToCurrency throws
// EOverflow, when the value does not fit.
bool TryBcdToCurrency(const TBcd& bcd, Currency& out);
Currency BcdToCurrency(const TBcd& bcd);

TBcd IntegerToBcd(std::int64_t value);
double BcdToDouble(const TBcd& bcd);
// From the shortest decimal text that reads back as `value` (at most 17 significant digits).
// Throws EConvertError for NaN or infinity.
TBcd DoubleToBcd(double value);

// -1, 0 or 1 comparing by value.
int BcdCompare(const TBcd& a, const TBcd& b);
inline bool operator==(const TBcd& a, const TBcd& b) {
  return BcdCompare(a, b) == 0;
}
inline std::strong_ordering operator<=>(const TBcd& a, const TBcd& b) {
  return BcdCompare(a, b) <=> 0;
}

// Rewrites `in` with exactly `precision` digits of which `scale` are decimals, rounding extra
// decimals halves away from zero. Fails (false; `out` unspecified) when the integer part needs
// more than precision - scale digits. REQUIRES: 1 <= precision <= 32, 0 <= scale <= precision.
bool TryNormalizeBcd(const TBcd& in, TBcd& out, int precision, int scale);
// Throws EOverflow "BCD overflow" when the value does not fit.
TBcd NormalizeBcd(const TBcd& in, int precision, int scale);
