// The integer, logical and floating fields.
//
// Integer fields write their value in decimal and read it back with StrToInt rules ("'%s' is not
// a valid integer value"); a value outside the field's native range is refused with
// "%d is not a valid value for field '%s'. The allowed range is %d to %d" instead of being cut.
// Floating fields write with FloatToStr (15 significant digits, regional decimal separator) and
// read with StrToFloat ("'%s' is not a valid floating point value").
#pragma once

#include "db/dataset/field.h"

// Base of the 8/16/32-bit integer fields; itself the 32-bit one (ftInteger, ftAutoInc).
class TIntegerField : public TField {
 public:
  explicit TIntegerField(TComponent* owner = nullptr)
      : TIntegerField(owner, TFieldType::ftInteger) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency value) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& value) override;

 public:
  // REQUIRES: `type` is ftInteger, ftAutoInc, ftSmallint or ftWord.
  TIntegerField(TComponent* owner, TFieldType type);

 private:
  bool ReadValue(std::int64_t& out) const;
  void WriteValue(std::int64_t value);
};

class TSmallintField : public TIntegerField {
 public:
  explicit TSmallintField(TComponent* owner = nullptr)
      : TIntegerField(owner, TFieldType::ftSmallint) {}
};

class TWordField : public TIntegerField {
 public:
  explicit TWordField(TComponent* owner = nullptr) : TIntegerField(owner, TFieldType::ftWord) {}
};

class TLargeintField : public TField {
 public:
  explicit TLargeintField(TComponent* owner = nullptr) : TField(owner, TFieldType::ftLargeint) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency value) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& value) override;
};

// Text "True"/"False"; reading accepts those words (any case) and nothing else
// ("'%s' is not a valid boolean value").
class TBooleanField : public TField {
 public:
  explicit TBooleanField(TComponent* owner = nullptr) : TField(owner, TFieldType::ftBoolean) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool value) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
};

// ftFloat, and (through TCurrencyField) money held as a double.
class TFloatField : public TField {
 public:
  explicit TFloatField(TComponent* owner = nullptr) : TFloatField(owner, TFieldType::ftFloat) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency value) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& value) override;

 protected:
  TFloatField(TComponent* owner, TFieldType type) : TField(owner, type) {}
};

class TCurrencyField : public TFloatField {
 public:
  explicit TCurrencyField(TComponent* owner = nullptr)
      : TFloatField(owner, TFieldType::ftCurrency) {}
};
