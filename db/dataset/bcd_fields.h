// The decimal fields: values held as the 18-byte TBcd, never through floating point.
//
// Precision is the total number of digits (0: up to 32), Size the number of decimals. A value
// written is rounded to Size decimals (halves away from zero) and stored with exactly Precision
// digits; one whose integer part needs more than Precision - Size digits is refused with
// "%s is not a valid value for field '%s'. The allowed range is %s to %s".
// Text is written in general format with the regional decimal separator (no thousands
// separators, trailing fractional zeros dropped: 0.8000 -> "0,8" under a comma separator, 19.0000
// -> "19") and read with the regional separator ("%s is not a valid BCD value").
#pragma once

#include "db/dataset/field.h"

// What TBCDField and TFMTBCDField share.
class TDecimalField : public TField {
 public:
  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t value) override;
  // Rounded to 4 decimals; EOverflow when out of the fixed-point range.
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& value) override;

 protected:
  TDecimalField(TComponent* owner, TFieldType type, std::int32_t precision, std::int32_t scale);
};

class TBCDField : public TDecimalField {
 public:
  explicit TBCDField(TComponent* owner = nullptr)
      : TDecimalField(owner, TFieldType::ftBCD, 15, 4) {}
};

class TFMTBCDField : public TDecimalField {
 public:
  explicit TFMTBCDField(TComponent* owner = nullptr)
      : TDecimalField(owner, TFieldType::ftFMTBcd, 15, 4) {}
};
