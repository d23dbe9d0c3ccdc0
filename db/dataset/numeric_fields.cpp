#include "db/dataset/numeric_fields.h"

#include <limits>

#include "base/exceptions.h"
#include "base/text.h"
#include "db/dataset/field_values.h"

using field_values::IsBlankText;

// --- TIntegerField ---

TIntegerField::TIntegerField(TComponent* owner, TFieldType type) : TField(owner, type) {}

bool TIntegerField::ReadValue(std::int64_t& out) const {
  switch (DataType()) {
    case TFieldType::ftSmallint: {
      std::int16_t v;
      if (!ReadNative(v)) return false;
      out = v;
      return true;
    }
    case TFieldType::ftWord: {
      std::uint16_t v;
      if (!ReadNative(v)) return false;
      out = v;
      return true;
    }
    default: {
      std::int32_t v;
      if (!ReadNative(v)) return false;
      out = v;
      return true;
    }
  }
}

void TIntegerField::WriteValue(std::int64_t value) {
  std::int64_t low = std::numeric_limits<std::int32_t>::min();
  std::int64_t high = std::numeric_limits<std::int32_t>::max();
  if (DataType() == TFieldType::ftSmallint) {
    low = std::numeric_limits<std::int16_t>::min();
    high = std::numeric_limits<std::int16_t>::max();
  } else if (DataType() == TFieldType::ftWord) {
    low = 0;
    high = std::numeric_limits<std::uint16_t>::max();
  }
  // Cutting the value to the native width would store a different number without a word.
  if (value < low || value > high) {
    DatabaseErrorFmt("%d is not a valid value for field '%s'. The allowed range is %d to %d",
                     nullptr, value, DisplayName(), low, high);
  }
  switch (DataType()) {
    case TFieldType::ftSmallint:
      WriteNative(static_cast<std::int16_t>(value));
      break;
    case TFieldType::ftWord:
      WriteNative(static_cast<std::uint16_t>(value));
      break;
    default:
      WriteNative(static_cast<std::int32_t>(value));
      break;
  }
}

std::string TIntegerField::AsString() const {
  std::int64_t v;
  return ReadValue(v) ? IntToStr(v) : std::string();
}

void TIntegerField::SetAsString(std::string_view text) {
  if (IsBlankText(text)) return Clear();
  WriteValue(StrToInt64(text));
}

std::int32_t TIntegerField::AsInteger() const {
  std::int64_t v = 0;
  ReadValue(v);
  return static_cast<std::int32_t>(v);
}

void TIntegerField::SetAsInteger(std::int32_t value) {
  WriteValue(value);
}

std::int64_t TIntegerField::AsLargeInt() const {
  std::int64_t v = 0;
  ReadValue(v);
  return v;
}

void TIntegerField::SetAsLargeInt(std::int64_t value) {
  WriteValue(value);
}

double TIntegerField::AsFloat() const {
  return static_cast<double>(AsLargeInt());
}

void TIntegerField::SetAsFloat(double value) {
  WriteValue(field_values::RoundDouble(value));
}

Currency TIntegerField::AsCurrency() const {
  return Currency::FromInt(AsLargeInt());
}

void TIntegerField::SetAsCurrency(Currency value) {
  WriteValue(field_values::RoundCurrency(value));
}

TBcd TIntegerField::AsBCD() const {
  return IntegerToBcd(AsLargeInt());
}

void TIntegerField::SetAsBCD(const TBcd& value) {
  WriteValue(field_values::BcdToInt64(value));
}

// --- TLargeintField ---

std::string TLargeintField::AsString() const {
  std::int64_t v;
  return ReadNative(v) ? IntToStr(v) : std::string();
}

void TLargeintField::SetAsString(std::string_view text) {
  if (IsBlankText(text)) return Clear();
  WriteNative(StrToInt64(text));
}

std::int32_t TLargeintField::AsInteger() const {
  const std::int64_t v = AsLargeInt();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw EConvertError(Format("'%s' is not a valid integer value", IntToStr(v)));
  return static_cast<std::int32_t>(v);
}

void TLargeintField::SetAsInteger(std::int32_t value) {
  WriteNative(static_cast<std::int64_t>(value));
}

std::int64_t TLargeintField::AsLargeInt() const {
  std::int64_t v = 0;
  ReadNative(v);
  return v;
}

void TLargeintField::SetAsLargeInt(std::int64_t value) {
  WriteNative(value);
}

double TLargeintField::AsFloat() const {
  return static_cast<double>(AsLargeInt());
}

void TLargeintField::SetAsFloat(double value) {
  WriteNative(field_values::RoundDouble(value));
}

Currency TLargeintField::AsCurrency() const {
  return Currency::FromInt(AsLargeInt());
}

void TLargeintField::SetAsCurrency(Currency value) {
  WriteNative(field_values::RoundCurrency(value));
}

TBcd TLargeintField::AsBCD() const {
  return IntegerToBcd(AsLargeInt());
}

void TLargeintField::SetAsBCD(const TBcd& value) {
  WriteNative(field_values::BcdToInt64(value));
}

// --- TBooleanField ---

std::string TBooleanField::AsString() const {
  std::int16_t v;
  if (!ReadNative(v)) return {};
  return v ? "True" : "False";
}

void TBooleanField::SetAsString(std::string_view text) {
  if (IsBlankText(text)) return Clear();
  const std::string word = Trim(text);
  if (SameText(word, "True")) return SetAsBoolean(true);
  if (SameText(word, "False")) return SetAsBoolean(false);
  throw EConvertError(Format("'%s' is not a valid boolean value", text));
}

bool TBooleanField::AsBoolean() const {
  std::int16_t v = 0;
  ReadNative(v);
  return v != 0;
}

void TBooleanField::SetAsBoolean(bool value) {
  WriteNative(static_cast<std::int16_t>(value ? 1 : 0));
}

std::int32_t TBooleanField::AsInteger() const {
  return AsBoolean() ? 1 : 0;
}

void TBooleanField::SetAsInteger(std::int32_t value) {
  SetAsBoolean(value != 0);
}

// --- TFloatField ---

std::string TFloatField::AsString() const {
  double v;
  return ReadNative(v) ? FloatToStr(v, Settings()) : std::string();
}

void TFloatField::SetAsString(std::string_view text) {
  if (IsBlankText(text)) return Clear();
  WriteNative(StrToFloat(text, Settings()));
}

std::int32_t TFloatField::AsInteger() const {
  const std::int64_t v = AsLargeInt();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw EConvertError(Format("'%s' is not a valid integer value", IntToStr(v)));
  return static_cast<std::int32_t>(v);
}

void TFloatField::SetAsInteger(std::int32_t value) {
  WriteNative(static_cast<double>(value));
}

std::int64_t TFloatField::AsLargeInt() const {
  return field_values::RoundDouble(AsFloat());
}

void TFloatField::SetAsLargeInt(std::int64_t value) {
  WriteNative(static_cast<double>(value));
}

double TFloatField::AsFloat() const {
  double v = 0;
  ReadNative(v);
  return v;
}

void TFloatField::SetAsFloat(double value) {
  WriteNative(value);
}

Currency TFloatField::AsCurrency() const {
  return Currency::FromDouble(AsFloat());
}

void TFloatField::SetAsCurrency(Currency value) {
  WriteNative(value.ToDouble());
}

TBcd TFloatField::AsBCD() const {
  return DoubleToBcd(AsFloat());
}

void TFloatField::SetAsBCD(const TBcd& value) {
  WriteNative(BcdToDouble(value));
}
