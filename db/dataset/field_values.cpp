#include "db/dataset/field_values.h"

#include <cmath>

#include "base/exceptions.h"
#include "base/format_settings.h"
#include "base/text.h"

namespace field_values {

std::int64_t RoundCurrency(Currency value) {
  const std::int64_t raw = value.Raw();
  const std::int64_t whole = raw / Currency::kScale;
  const std::int64_t rest = raw % Currency::kScale;
  if (rest >= Currency::kScale / 2) return whole + 1;
  if (rest <= -Currency::kScale / 2) return whole - 1;
  return whole;
}

std::int64_t RoundDouble(double value) {
  const double rounded = std::round(value);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
    throw EConvertError(
        Format("'%s' is not a valid integer value", FloatToStr(value, FormatSettings::Default())));
  }
  return static_cast<std::int64_t>(rounded);
}

std::int64_t BcdToInt64(const TBcd& value) {
  TBcd whole;
  std::int64_t result = 0;
  if (!TryNormalizeBcd(value, whole, 19, 0) || !TryStrToInt64(BcdToStr(whole, '.'), result)) {
    throw EOverflow("BCD overflow");
  }
  return result;
}

bool IsBlankText(std::string_view text) {
  return Trim(text).empty();
}

}  // namespace field_values
