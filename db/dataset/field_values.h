// Conversions the field classes share. Internal to the dataset unit.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/bcd.h"
#include "base/currency.h"

namespace field_values {

// Rounds to a whole number, halves away from zero.
std::int64_t RoundCurrency(Currency value);
// Rounds to a whole number, halves away from zero; EConvertError "'%s' is not a valid integer
// value" when it does not fit in 64 bits (or is not a number).
std::int64_t RoundDouble(double value);
// Rounds to a whole number, halves away from zero; EOverflow "BCD overflow" when it does not fit
// in 64 bits.
std::int64_t BcdToInt64(const TBcd& value);
// Empty or blanks only.
bool IsBlankText(std::string_view text);

}  // namespace field_values
