// TParam / TParams: the named parameters of a statement, and the parsing of a statement text
// that names them with a colon.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/bcd.h"
#include "base/currency.h"
#include "base/date_time.h"
#include "db/dataset/field_type.h"

// A parameter: a name, a data type and a value or null. Each setter sets the data type as well
// (AsDate ftDate, AsTime ftTime, AsDateTime ftDateTime, AsFloat ftFloat, AsCurrency ftCurrency,
// AsBCD ftBCD, AsFMTBCD ftFMTBcd, AsInteger ftInteger, AsSmallInt ftSmallint, AsLargeInt
// ftLargeint, AsBoolean ftBoolean, AsString ftString, AsBlob ftBlob). Getters convert what they
// can between numbers; a null value reads as 0 / "" / false.
class TParam {
 public:
  TParam() = default;
  explicit TParam(std::string name, TFieldType type = TFieldType::ftUnknown)
      : name_(std::move(name)), data_type_(type) {}

  const std::string& Name() const noexcept { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TFieldType DataType() const noexcept { return data_type_; }
  void SetDataType(TFieldType type) noexcept { data_type_ = type; }

  bool IsNull() const noexcept { return std::holds_alternative<std::monostate>(value_); }
  // Null, keeping the data type.
  void Clear() noexcept { value_ = std::monostate{}; }

  void SetAsInteger(std::int32_t value);
  void SetAsSmallInt(std::int16_t value);
  void SetAsLargeInt(std::int64_t value);
  void SetAsBoolean(bool value);
  void SetAsFloat(double value);
  void SetAsCurrency(Currency value);
  void SetAsBCD(const TBcd& value);
  void SetAsFMTBCD(const TBcd& value);
  void SetAsDate(TDateTime value);
  void SetAsTime(TDateTime value);
  void SetAsDateTime(TDateTime value);
  void SetAsString(std::string value);
  void SetAsBlob(std::string bytes);

  std::int64_t AsLargeInt() const;
  std::int32_t AsInteger() const;
  bool AsBoolean() const;
  double AsFloat() const;
  Currency AsCurrency() const;
  TBcd AsBCD() const;
  TDateTime AsDateTime() const;
  // Texts as they stand; numbers in general format with "." as separator; dates and times in
  // the neutral default format (dd/MM/yyyy HH:mm:ss).
  std::string AsString() const;

 private:
  using Value =
      std::variant<std::monostate, std::int64_t, bool, double, Currency, TBcd, std::string>;
  std::string name_;
  TFieldType data_type_ = TFieldType::ftUnknown;
  Value value_;
};

// The result of parsing a statement text for parameters.
struct TParsedSQL {
  std::string Text;                // the text with "?" in place of each parameter
  std::vector<std::string> Names;  // the names in order of appearance, repeats included
};

// Finds every ":" followed by a name outside single- and double-quoted text (a doubled quote
// inside a quoted text stays inside it). A name is a run of letters, digits, "_" and bytes above
// 127. "::" and a colon followed by anything else are ordinary text.
TParsedSQL ParseSQL(std::string_view text);

class TParams {
 public:
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // REQUIRES: 0 <= index < Count(); otherwise throws EListError.
  TParam& Items(int index);
  const TParam& Items(int index) const;
  TParam& Add(std::string name, TFieldType type = TFieldType::ftUnknown);
  void Clear() { items_.clear(); }
  // First with that name, ignoring ASCII case; null when none.
  TParam* FindParam(std::string_view name);
  const TParam* FindParam(std::string_view name) const;
  // As FindParam; EDatabaseError "Parameter '%s' not found" when none.
  TParam& ParamByName(std::string_view name);

  // ParseSQL; with `create`, the list is replaced by one parameter per distinct name (ignoring
  // case), in order of first appearance.
  std::string ParseSQL(std::string_view text, bool create);

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TParam> items_;
};
