#include "db/dataset/bcd_fields.h"

#include <algorithm>
#include <limits>

#include "base/exceptions.h"
#include "base/text.h"
#include "db/dataset/field_values.h"

TDecimalField::TDecimalField(TComponent* owner, TFieldType type, std::int32_t precision,
                             std::int32_t scale)
    : TField(owner, type) {
  SetPrecision(precision);
  SetSize(scale);
}

namespace {

// The largest magnitude a decimal of `precision` digits with `scale` decimals holds, as text.
std::string LargestValue(int precision, int scale, char separator) {
  std::string text(static_cast<std::size_t>(std::max(precision - scale, 1)),
                   precision - scale > 0 ? '9' : '0');
  if (scale > 0) text += separator + std::string(static_cast<std::size_t>(scale), '9');
  return text;
}

}  // namespace

void TDecimalField::SetAsBCD(const TBcd& value) {
  const int precision = Precision() > 0 ? std::min(Precision(), kMaxBcdDigits) : kMaxBcdDigits;
  const int scale = std::clamp(Size(), 0, precision);
  TBcd stored;
  if (!TryNormalizeBcd(value, stored, precision, scale)) {
    const char separator = Settings().DecimalSeparator;
    const std::string largest = LargestValue(precision, scale, separator);
    DatabaseErrorFmt("%s is not a valid value for field '%s'. The allowed range is %s to %s",
                     nullptr, BcdToStr(value, separator), DisplayName(), "-" + largest, largest);
  }
  WriteNative(stored);
}

TBcd TDecimalField::AsBCD() const {
  TBcd value;
  ReadNative(value);
  return value;
}

std::string TDecimalField::AsString() const {
  TBcd value;
  return ReadNative(value) ? BcdToStr(value, Settings().DecimalSeparator) : std::string();
}

void TDecimalField::SetAsString(std::string_view text) {
  if (field_values::IsBlankText(text)) return Clear();
  SetAsBCD(StrToBcd(text, Settings().DecimalSeparator));
}

std::int32_t TDecimalField::AsInteger() const {
  const std::int64_t v = AsLargeInt();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw EConvertError(Format("'%s' is not a valid integer value", IntToStr(v)));
  return static_cast<std::int32_t>(v);
}

void TDecimalField::SetAsInteger(std::int32_t value) {
  SetAsBCD(IntegerToBcd(value));
}

std::int64_t TDecimalField::AsLargeInt() const {
  return field_values::BcdToInt64(AsBCD());
}

void TDecimalField::SetAsLargeInt(std::int64_t value) {
  SetAsBCD(IntegerToBcd(value));
}

Currency TDecimalField::AsCurrency() const {
  return BcdToCurrency(AsBCD());
}

void TDecimalField::SetAsCurrency(Currency value) {
  SetAsBCD(CurrencyToBcd(value));
}

double TDecimalField::AsFloat() const {
  return BcdToDouble(AsBCD());
}

void TDecimalField::SetAsFloat(double value) {
  SetAsBCD(DoubleToBcd(value));
}
