// DecimalNumber: an exact decimal read from text or from the shortest text of a double, shared by
// the fixed-point, packed-decimal and floating-point conversions so that they all read numbers
// the same way. Internal to base/.
#pragma once

#include <string>
#include <string_view>

// value = (negative ? -1 : 1) * digits * 10^exponent. `digits` has no leading zeros and is empty
// for zero (a zero is never negative).
struct DecimalNumber {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Reads optional blanks (code 32 or below), optional sign, digits with at most one
// `decimalSeparator` and at least one digit, optionally (when `allowExponent`) an exponent "E"/"e"
// with optional sign and 1..4 digits, optional blanks. Trailing zeros of the digits are folded
// into the exponent.
bool ParseDecimal(std::string_view text, char decimalSeparator, bool allowExponent,
                  DecimalNumber& out);

// Strips leading zeros, folds trailing zeros into the exponent, and makes zero unsigned.
void CanonicaliseDecimal(DecimalNumber& number);

// The shortest decimal that reads back as `value`. REQUIRES: value is finite.
DecimalNumber ShortestDecimal(double value);

// Rounds to a multiple of 10^minExponent, halves away from zero.
void RoundDecimal(DecimalNumber& number, int minExponent);

// Number of digits before the decimal point (0 for zero and for values below 1).
int IntegerDigitCount(const DecimalNumber& number);
