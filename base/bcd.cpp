#include "base/bcd.h"

#include <charconv>
#include <cmath>

#include "base/decimal_text.h"
#include "base/exceptions.h"

namespace {

constexpr std::uint8_t kSignBit = 0x80;
constexpr std::uint8_t kScaleMask = 0x3F;
constexpr int kMaxScale = 63;
static_assert(kMaxBcdDigits == 2 * sizeof(TBcd::Fraction), "two digits per byte");

int Nibble(const TBcd& b, int i) {
  const std::uint8_t byte = b.Fraction[i / 2];
  return (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
}

// The exact value of a packed decimal; an invalid one reads as zero.
DecimalNumber Unpack(const TBcd& b) {
  DecimalNumber n;
  if (!IsValidBcd(b)) return n;
  for (int i = 0; i < b.Precision; ++i) n.digits += static_cast<char>('0' + Nibble(b, i));
  n.exponent = -BcdScale(b);
  n.negative = IsBcdNegative(b);
  CanonicaliseDecimal(n);
  return n;
}

// Packs `n` with exactly `precision` digits, `scale` of them decimals. False when it does not fit.
// REQUIRES: n rounded to at most `scale` decimals.
bool Pack(const DecimalNumber& n, int precision, int scale, TBcd& out) {
  if (precision < 1 || precision > kMaxBcdDigits || scale < 0 || scale > kMaxScale ||
      scale > precision)
    return false;
  if (IntegerDigitCount(n) > precision - scale) return false;
  TBcd r{};
  r.Precision = static_cast<std::uint8_t>(precision);
  r.SignSpecialPlaces = static_cast<std::uint8_t>(scale | (n.negative ? kSignBit : 0));
  // Digit k of n (0 = most significant) has weight 10^(exponent + size - 1 - k); nibble i has
  // weight 10^(precision - scale - 1 - i).
  const int size = static_cast<int>(n.digits.size());
  for (int k = 0; k < size; ++k) {
    const int weight = n.exponent + size - 1 - k;
    const int i = precision - scale - 1 - weight;
    if (i < 0 || i >= precision) return false;
    const auto d = static_cast<std::uint8_t>(n.digits[static_cast<size_t>(k)] - '0');
    r.Fraction[i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(d << 4) : d;
  }
  out = r;
  return true;
}

// Packs with just the digits the value needs.
bool PackTight(const DecimalNumber& n, TBcd& out) {
  const int scale = n.exponent < 0 ? -n.exponent : 0;
  const int precision = std::max(1, IntegerDigitCount(n) + scale);
  return Pack(n, precision, scale, out);
}

}  // namespace

bool IsValidBcd(const TBcd& bcd) {
  if (bcd.Precision > kMaxBcdDigits || BcdScale(bcd) > bcd.Precision) return false;
  for (int i = 0; i < kMaxBcdDigits; ++i) {
    const int d = Nibble(bcd, i);
    if (d > 9 || (i >= bcd.Precision && d != 0)) return false;
  }
  return true;
}

int BcdPrecision(const TBcd& bcd) {
  return bcd.Precision;
}
int BcdScale(const TBcd& bcd) {
  return bcd.SignSpecialPlaces & kScaleMask;
}
bool IsBcdNegative(const TBcd& bcd) {
  return (bcd.SignSpecialPlaces & kSignBit) != 0;
}
bool IsBcdZero(const TBcd& bcd) {
  return Unpack(bcd).digits.empty();
}

bool TryStrToBcd(std::string_view text, char decimalSeparator, TBcd& out) {
  DecimalNumber n;
  if (!ParseDecimal(text, decimalSeparator, false, n)) return false;
  // Keep the decimals as written ("0.80" has scale 2), as far as they fit.
  int written_scale = 0;
  if (const size_t sep = text.find(decimalSeparator); sep != std::string_view::npos) {
    size_t end = sep + 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    written_scale = static_cast<int>(end - sep - 1);
  }
  int scale = std::max(written_scale, n.exponent < 0 ? -n.exponent : 0);
  int precision = std::max(1, IntegerDigitCount(n) + scale);
  if (precision > kMaxBcdDigits || scale > kMaxScale) {
    // Trailing fractional zeros give way first.
    scale = n.exponent < 0 ? -n.exponent : 0;
    precision = std::max(1, IntegerDigitCount(n) + scale);
  }
  return Pack(n, precision, scale, out);
}

TBcd StrToBcd(std::string_view text, char decimalSeparator) {
  TBcd r;
  if (!TryStrToBcd(text, decimalSeparator, r))
    throw EConvertError(Format("%s is not a valid BCD value", text));
  return r;
}

std::string BcdToStr(const TBcd& bcd, char decimalSeparator) {
  const DecimalNumber n = Unpack(bcd);
  if (n.digits.empty()) return "0";
  std::string text = n.negative ? "-" : "";
  const int size = static_cast<int>(n.digits.size());
  const int int_digits = size + n.exponent;
  if (int_digits <= 0) {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<size_t>(-int_digits), '0');
    text += n.digits;
  } else if (n.exponent >= 0) {
    text += n.digits;
    text.append(static_cast<size_t>(n.exponent), '0');
  } else {
    text += n.digits.substr(0, static_cast<size_t>(int_digits));
    text += decimalSeparator;
    text += n.digits.substr(static_cast<size_t>(int_digits));
  }
  return text;
}

TBcd CurrencyToBcd(Currency value) {
  DecimalNumber n;
  ParseDecimal(std::to_string(value.Raw()) + "E-4", '.', true, n);
  TBcd r;
  Pack(n, std::max(4, IntegerDigitCount(n) + 4), 4, r);
  return r;
}

bool TryBcdToCurrency(const TBcd& bcd, Currency& out) {
  return Currency::TryParse(BcdToStr(bcd, '.'), '.', out);
}

Currency BcdToCurrency(const TBcd& bcd) {
  Currency c;
  if (!TryBcdToCurrency(bcd, c)) throw EOverflow("BCD overflow");
  return c;
}

TBcd IntegerToBcd(std::int64_t value) {
  DecimalNumber n;
  ParseDecimal(std::to_string(value), '.', false, n);
  TBcd r;
  PackTight(n, r);
  return r;
}

double BcdToDouble(const TBcd& bcd) {
  const std::string text = BcdToStr(bcd, '.');
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

TBcd DoubleToBcd(double value) {
  if (!std::isfinite(value)) throw EConvertError("Invalid floating point value");
  DecimalNumber n = ShortestDecimal(value);
  TBcd r;
  if (!PackTight(n, r)) throw EOverflow("BCD overflow");
  return r;
}

int BcdCompare(const TBcd& a, const TBcd& b) {
  const DecimalNumber x = Unpack(a);
  const DecimalNumber y = Unpack(b);
  const int sx = x.digits.empty() ? 0 : (x.negative ? -1 : 1);
  const int sy = y.digits.empty() ? 0 : (y.negative ? -1 : 1);
  if (sx != sy) return sx < sy ? -1 : 1;
  if (sx == 0) return 0;
  // Same sign: compare magnitudes by the position of the leading digit, then digit by digit.
  int magnitude = 0;
  const int lead_x = static_cast<int>(x.digits.size()) + x.exponent;
  const int lead_y = static_cast<int>(y.digits.size()) + y.exponent;
  if (lead_x != lead_y) {
    magnitude = lead_x < lead_y ? -1 : 1;
  } else {
    const int c = x.digits.compare(y.digits);
    magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return sx * magnitude;
}

bool TryNormalizeBcd(const TBcd& in, TBcd& out, int precision, int scale) {
  if (precision < 1 || precision > kMaxBcdDigits || scale < 0 || scale > precision ||
      scale > kMaxScale)
    return false;
  DecimalNumber n = Unpack(in);
  RoundDecimal(n, -scale);
  return Pack(n, precision, scale, out);
}

TBcd NormalizeBcd(const TBcd& in, int precision, int scale) {
  TBcd r;
  if (!TryNormalizeBcd(in, r, precision, scale)) throw EOverflow("BCD overflow");
  return r;
}
