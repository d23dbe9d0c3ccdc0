#include "base/decimal_text.h"

#include <charconv>
#include <cstdlib>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

void CanonicaliseDecimal(DecimalNumber& n) {
  size_t lead = 0;
  while (lead < n.digits.size() && n.digits[lead] == '0') ++lead;
  n.digits.erase(0, lead);
  while (!n.digits.empty() && n.digits.back() == '0') {
    n.digits.pop_back();
    ++n.exponent;
  }
  if (n.digits.empty()) {
    n.negative = false;
    n.exponent = 0;
  }
}

bool ParseDecimal(std::string_view text, char decimalSeparator, bool allowExponent,
                  DecimalNumber& out) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  DecimalNumber r;
  if (i < n && (text[i] == '+' || text[i] == '-')) r.negative = text[i++] == '-';
  bool any_digit = false;
  bool seen_separator = false;
  int fraction_digits = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      any_digit = true;
      if (!(r.digits.empty() && c == '0')) r.digits += c;
      if (seen_separator) ++fraction_digits;
    } else if (c == decimalSeparator && !seen_separator) {
      seen_separator = true;
    } else {
      break;
    }
  }
  if (!any_digit) return false;
  int exponent = 0;
  if (allowExponent && i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exp_negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) exp_negative = text[i++] == '-';
    int exp_digits = 0;
    while (i < n && IsDigit(text[i])) {
      if (++exp_digits > 4) return false;
      exponent = exponent * 10 + (text[i++] - '0');
    }
    if (exp_digits == 0) return false;
    if (exp_negative) exponent = -exponent;
  }
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n) return false;
  // Leading zeros of the fraction were skipped above but still count as decimal places.
  r.exponent = exponent - fraction_digits;
  CanonicaliseDecimal(r);
  out = std::move(r);
  return true;
}

DecimalNumber ShortestDecimal(double value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  DecimalNumber r;
  ParseDecimal(std::string_view(buf, static_cast<size_t>(res.ptr - buf)), '.', true, r);
  return r;
}

void RoundDecimal(DecimalNumber& number, int minExponent) {
  if (number.digits.empty() || number.exponent >= minExponent) return;
  const int drop = minExponent - number.exponent;
  const int keep = static_cast<int>(number.digits.size()) - drop;
  if (keep < 0) {
    number = DecimalNumber{};
    return;
  }
  const bool round_up = number.digits[static_cast<size_t>(keep)] >= '5';
  std::string kept = number.digits.substr(0, static_cast<size_t>(keep));
  if (round_up) {
    int k = keep - 1;
    while (k >= 0 && kept[static_cast<size_t>(k)] == '9') kept[static_cast<size_t>(k--)] = '0';
    if (k < 0)
      kept.insert(kept.begin(), '1');
    else
      ++kept[static_cast<size_t>(k)];
  }
  number.digits = std::move(kept);
  number.exponent = minExponent;
  CanonicaliseDecimal(number);
}

int IntegerDigitCount(const DecimalNumber& number) {
  const int n = static_cast<int>(number.digits.size()) + number.exponent;
  return n > 0 ? n : 0;
}
