#include "db/dataset/text_fields.h"

#include <cstring>

#include "base/exceptions.h"
#include "base/text.h"

namespace {

// The characters of a text value: up to a terminating zero, if there is one.
std::string TextOf(const TFieldData& data) {
  const auto* begin = reinterpret_cast<const char*>(data.Data);
  const void* zero = std::memchr(begin, 0, data.Size);
  const std::size_t length =
      zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - begin) : data.Size;
  return std::string(begin, length);
}

std::string BytesOf(const TFieldData& data) {
  return std::string(reinterpret_cast<const char*>(data.Data), data.Size);
}

}  // namespace

// --- TStringField ---

std::string TStringField::AsString() const {
  TFieldData data;
  return GetData(data) ? TextOf(data) : std::string();
}

void TStringField::SetAsString(std::string_view text) {
  if (Size() > 0 && text.size() > static_cast<std::size_t>(Size())) {
    text = text.substr(0, static_cast<std::size_t>(Size()));
  }
  // A zero inside would end the text early when read back.
  const std::size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::string stored(text);
  SetData(stored.c_str(), static_cast<std::uint32_t>(stored.size() + 1));
}

std::int32_t TStringField::AsInteger() const {
  return IsNull() ? 0 : StrToInt(AsString());
}

void TStringField::SetAsInteger(std::int32_t value) {
  SetAsString(IntToStr(value));
}

std::int64_t TStringField::AsLargeInt() const {
  return IsNull() ? 0 : StrToInt64(AsString());
}

void TStringField::SetAsLargeInt(std::int64_t value) {
  SetAsString(IntToStr(value));
}

double TStringField::AsFloat() const {
  return IsNull() ? 0 : StrToFloat(AsString(), Settings());
}

void TStringField::SetAsFloat(double value) {
  SetAsString(FloatToStr(value, Settings()));
}

// --- TBytesField ---

std::string TBytesField::AsString() const {
  TFieldData data;
  return GetData(data) ? BytesOf(data) : std::string();
}

void TBytesField::SetAsString(std::string_view bytes) {
  if (Size() > 0 && bytes.size() > static_cast<std::size_t>(Size())) {
    bytes = bytes.substr(0, static_cast<std::size_t>(Size()));
  }
  SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// --- TBlobField, TMemoField ---

std::string TBlobField::AsString() const {
  TFieldData data;
  if (!GetData(data)) return {};
  return DataType() == TFieldType::ftMemo ? TextOf(data) : BytesOf(data);
}

void TBlobField::SetAsString(std::string_view bytes) {
  SetData(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}
