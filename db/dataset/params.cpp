#include "db/dataset/params.h"

#include "base/exceptions.h"
#include "base/format_settings.h"
#include "base/text.h"

// --- TParam ---

void TParam::SetAsInteger(std::int32_t value) {
  data_type_ = TFieldType::ftInteger;
  value_ = std::int64_t{value};
}
void TParam::SetAsSmallInt(std::int16_t value) {
  data_type_ = TFieldType::ftSmallint;
  value_ = std::int64_t{value};
}
void TParam::SetAsLargeInt(std::int64_t value) {
  data_type_ = TFieldType::ftLargeint;
  value_ = value;
}
void TParam::SetAsBoolean(bool value) {
  data_type_ = TFieldType::ftBoolean;
  value_ = value;
}
void TParam::SetAsFloat(double value) {
  data_type_ = TFieldType::ftFloat;
  value_ = value;
}
void TParam::SetAsCurrency(Currency value) {
  data_type_ = TFieldType::ftCurrency;
  value_ = value;
}
void TParam::SetAsBCD(const TBcd& value) {
  data_type_ = TFieldType::ftBCD;
  value_ = value;
}
void TParam::SetAsFMTBCD(const TBcd& value) {
  data_type_ = TFieldType::ftFMTBcd;
  value_ = value;
}
void TParam::SetAsDate(TDateTime value) {
  data_type_ = TFieldType::ftDate;
  value_ = value;
}
void TParam::SetAsTime(TDateTime value) {
  data_type_ = TFieldType::ftTime;
  value_ = value;
}
void TParam::SetAsDateTime(TDateTime value) {
  data_type_ = TFieldType::ftDateTime;
  value_ = value;
}
void TParam::SetAsString(std::string value) {
  data_type_ = TFieldType::ftString;
  value_ = std::move(value);
}
void TParam::SetAsBlob(std::string bytes) {
  data_type_ = TFieldType::ftBlob;
  value_ = std::move(bytes);
}

namespace {

[[noreturn]] void CannotConvert(const std::string& name, const char* to) {
  throw EConvertError(Format("Parameter '%s' cannot be read as %s", name, to));
}

}  // namespace

std::int64_t TParam::AsLargeInt() const {
  if (const auto* v = std::get_if<std::int64_t>(&value_)) return *v;
  if (const auto* v = std::get_if<bool>(&value_)) return *v ? 1 : 0;
  if (const auto* v = std::get_if<double>(&value_)) return static_cast<std::int64_t>(*v);
  if (const auto* v = std::get_if<Currency>(&value_)) return v->Raw() / Currency::kScale;
  if (const auto* v = std::get_if<TBcd>(&value_)) return BcdToCurrency(*v).Raw() / Currency::kScale;
  if (const auto* v = std::get_if<std::string>(&value_)) return StrToInt64(*v);
  return 0;
}

std::int32_t TParam::AsInteger() const {
  return static_cast<std::int32_t>(AsLargeInt());
}

bool TParam::AsBoolean() const {
  if (const auto* v = std::get_if<std::string>(&value_)) {
    if (SameText(Trim(*v), "True")) return true;
    if (SameText(Trim(*v), "False")) return false;
    CannotConvert(name_, "Boolean");
  }
  return AsLargeInt() != 0;
}

double TParam::AsFloat() const {
  if (const auto* v = std::get_if<double>(&value_)) return *v;
  if (const auto* v = std::get_if<Currency>(&value_)) return v->ToDouble();
  if (const auto* v = std::get_if<TBcd>(&value_)) return BcdToDouble(*v);
  if (const auto* v = std::get_if<std::string>(&value_)) {
    return StrToFloat(*v, FormatSettings::Default());
  }
  return static_cast<double>(AsLargeInt());
}

Currency TParam::AsCurrency() const {
  if (const auto* v = std::get_if<Currency>(&value_)) return *v;
  if (const auto* v = std::get_if<TBcd>(&value_)) return BcdToCurrency(*v);
  if (const auto* v = std::get_if<double>(&value_)) return Currency::FromDouble(*v);
  if (const auto* v = std::get_if<std::string>(&value_)) return Currency::Parse(*v, '.');
  return Currency::FromInt(AsLargeInt());
}

TBcd TParam::AsBCD() const {
  if (const auto* v = std::get_if<TBcd>(&value_)) return *v;
  if (const auto* v = std::get_if<Currency>(&value_)) return CurrencyToBcd(*v);
  if (const auto* v = std::get_if<double>(&value_)) return DoubleToBcd(*v);
  if (const auto* v = std::get_if<std::string>(&value_)) return StrToBcd(*v, '.');
  return IntegerToBcd(AsLargeInt());
}

TDateTime TParam::AsDateTime() const {
  if (const auto* v = std::get_if<double>(&value_)) return *v;
  if (const auto* v = std::get_if<std::string>(&value_)) {
    return StrToDateTime(*v, FormatSettings::Default());
  }
  if (IsNull()) return 0;
  CannotConvert(name_, "DateTime");
}

std::string TParam::AsString() const {
  const FormatSettings fs = FormatSettings::Default();
  if (const auto* v = std::get_if<std::string>(&value_)) return *v;
  if (const auto* v = std::get_if<std::int64_t>(&value_)) return IntToStr(*v);
  if (const auto* v = std::get_if<bool>(&value_)) return *v ? "True" : "False";
  if (const auto* v = std::get_if<Currency>(&value_)) return v->ToString('.');
  if (const auto* v = std::get_if<TBcd>(&value_)) return BcdToStr(*v, '.');
  if (const auto* v = std::get_if<double>(&value_)) {
    switch (data_type_) {
      case TFieldType::ftDate:
        return DateToStr(*v, fs);
      case TFieldType::ftTime:
        return TimeToStr(*v, fs);
      case TFieldType::ftDateTime:
      case TFieldType::ftTimeStamp:
        return DateTimeToStr(*v, fs);
      default:
        return FloatToStr(*v, fs);
    }
  }
  return {};
}

// --- Parsing ---

namespace {

bool IsNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         u > 127;
}

}  // namespace

TParsedSQL ParseSQL(std::string_view text) {
  TParsedSQL result;
  result.Text.reserve(text.size());
  char quote = 0;  // the quote character of the quoted text we are in, or 0
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (quote) {
      // A doubled quote closes and reopens the text, so toggling handles it.
      if (c == quote) quote = 0;
      result.Text += c;
      ++i;
    } else if (c == '\'' || c == '"') {
      quote = c;
      result.Text += c;
      ++i;
    } else if (c == ':' && i + 1 < text.size() && text[i + 1] == ':') {
      result.Text += "::";
      i += 2;
    } else if (c == ':' && i + 1 < text.size() && IsNameChar(text[i + 1])) {
      std::size_t end = i + 1;
      while (end < text.size() && IsNameChar(text[end])) ++end;
      result.Names.emplace_back(text.substr(i + 1, end - i - 1));
      result.Text += '?';
      i = end;
    } else {
      result.Text += c;
      ++i;
    }
  }
  return result;
}

// --- TParams ---

TParam& TParams::Items(int index) {
  return const_cast<TParam&>(static_cast<const TParams&>(*this).Items(index));
}

const TParam& TParams::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<std::size_t>(index)];
}

TParam& TParams::Add(std::string name, TFieldType type) {
  items_.emplace_back(std::move(name), type);
  return items_.back();
}

TParam* TParams::FindParam(std::string_view name) {
  return const_cast<TParam*>(static_cast<const TParams&>(*this).FindParam(name));
}

const TParam* TParams::FindParam(std::string_view name) const {
  for (const TParam& param : items_) {
    if (SameText(param.Name(), name)) return &param;
  }
  return nullptr;
}

TParam& TParams::ParamByName(std::string_view name) {
  TParam* param = FindParam(name);
  if (!param) DatabaseErrorFmt("Parameter '%s' not found", nullptr, name);
  return *param;
}

std::string TParams::ParseSQL(std::string_view text, bool create) {
  TParsedSQL parsed = ::ParseSQL(text);
  if (create) {
    items_.clear();
    for (std::string& name : parsed.Names) {
      if (!FindParam(name)) Add(std::move(name));
    }
  }
  return std::move(parsed.Text);
}
