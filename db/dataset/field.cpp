#include "db/dataset/field.h"

#include "base/exceptions.h"
#include "db/dataset/dataset.h"

TField::TField(TComponent* owner, TFieldType type) : TComponent(owner), data_type_(type) {}

TField::~TField() = default;

const FormatSettings& TField::Settings() const {
  static const FormatSettings kDefault = FormatSettings::Default();
  return data_set_ ? data_set_->Settings : kDefault;
}

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt("Cannot access field '%s' as type %s", nullptr, DisplayName(), typeName);
}

void TField::ThrowBadSize() const {
  DatabaseErrorFmt("Field '%s' holds a value of the wrong size", nullptr, DisplayName());
}

bool TField::GetData(TFieldData& out) const {
  out = TFieldData{};
  if (!data_set_ || !data_set_->Active()) return false;
  return data_set_->GetFieldData(*this, out);
}

void TField::SetData(const void* data, std::uint32_t size) {
  if (!data_set_) DatabaseErrorFmt("Field '%s' has no dataset", nullptr, DisplayName());
  data_set_->WriteField(*this, data, size);
}

bool TField::IsNull() const {
  TFieldData data;
  return !GetData(data);
}

void TField::Clear() {
  SetData(nullptr, 0);
}

std::int32_t TField::AsInteger() const {
  AccessError("Integer");
}
void TField::SetAsInteger(std::int32_t) {
  AccessError("Integer");
}
std::int64_t TField::AsLargeInt() const {
  AccessError("LargeInt");
}
void TField::SetAsLargeInt(std::int64_t) {
  AccessError("LargeInt");
}
double TField::AsFloat() const {
  AccessError("Float");
}
void TField::SetAsFloat(double) {
  AccessError("Float");
}
Currency TField::AsCurrency() const {
  AccessError("Currency");
}
void TField::SetAsCurrency(Currency) {
  AccessError("Currency");
}
TBcd TField::AsBCD() const {
  AccessError("BCD");
}
void TField::SetAsBCD(const TBcd&) {
  AccessError("BCD");
}
TDateTime TField::AsDateTime() const {
  AccessError("DateTime");
}
void TField::SetAsDateTime(TDateTime) {
  AccessError("DateTime");
}
bool TField::AsBoolean() const {
  AccessError("Boolean");
}
void TField::SetAsBoolean(bool) {
  AccessError("Boolean");
}
