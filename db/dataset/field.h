// TField: one column of a dataset as the program reads and writes it.
//
// A field has no storage of its own: it reads and writes the native bytes of its value (see
// field_type.h) in its dataset's active record through the dataset's record hooks, and converts
// between those bytes and the typed accessors. Text conversions use the FormatSettings of the
// dataset (FormatSettings::Default() for a field without one). Decimal values are held as TBcd
// and converted through TBcd or Currency, never through floating point.
//
// Reading a field whose dataset is closed, empty, or has no value in it gives null: IsNull() is
// true, AsString() "", the numeric accessors 0, AsBoolean() false. Writing requires the dataset
// to be editing or inserting. A conversion a type does not offer fails with EDatabaseError
// "Cannot access field '%s' as type %s".
//
// A field belongs to at most one dataset, which owns it (see TDataSet::AddField). Single-threaded.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/bcd.h"
#include "base/component.h"
#include "base/currency.h"
#include "base/date_time.h"
#include "base/format_settings.h"
#include "db/dataset/field_type.h"

class TDataSet;

// A view of a value's native bytes, valid until the record next changes.
struct TFieldData {
  const std::uint8_t* Data = nullptr;
  std::uint32_t Size = 0;
};

class TField : public TComponent {
 public:
  ~TField() override;

  TFieldType DataType() const noexcept { return data_type_; }
  TDataSet* DataSet() const noexcept { return data_set_; }

  const std::string& FieldName() const noexcept { return field_name_; }
  void SetFieldName(std::string name) { field_name_ = std::move(name); }
  // The label set, or FieldName when none is.
  const std::string& DisplayLabel() const noexcept {
    return display_label_.empty() ? field_name_ : display_label_;
  }
  void SetDisplayLabel(std::string label) { display_label_ = std::move(label); }
  const std::string& DisplayName() const noexcept { return DisplayLabel(); }

  // 1-based column of the dataset's source; 0 while unbound (and for calculated fields).
  int FieldNo() const noexcept { return field_no_; }
  // Text: maximum characters; bytes: byte count; decimals: number of decimals (the scale).
  std::int32_t Size() const noexcept { return size_; }
  void SetSize(std::int32_t size) { size_ = size; }
  // Decimals: total number of digits (0: up to 32).
  std::int32_t Precision() const noexcept { return precision_; }
  void SetPrecision(std::int32_t precision) { precision_ = precision; }
  bool Required() const noexcept { return required_; }
  void SetRequired(bool on) { required_ = on; }
  bool ReadOnly() const noexcept { return read_only_; }
  void SetReadOnly(bool on) { read_only_ = on; }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  TFieldKind FieldKind() const noexcept { return field_kind_; }
  void SetFieldKind(TFieldKind kind) { field_kind_ = kind; }
  TProviderFlags ProviderFlags() const noexcept { return provider_flags_; }
  void SetProviderFlags(TProviderFlags flags) { provider_flags_ = flags; }
  const std::string& Origin() const noexcept { return origin_; }
  void SetOrigin(std::string origin) { origin_ = std::move(origin); }

  bool IsNull() const;
  // REQUIRES (all setters): the dataset is editing or inserting ("Dataset not in edit or insert
  // mode") and the field is not read-only ("Field '%s' cannot be modified").
  void Clear();

  // Text in the dataset's regional settings. Setting "" clears every type but text.
  virtual std::string AsString() const = 0;
  virtual void SetAsString(std::string_view text) = 0;
  virtual std::int32_t AsInteger() const;
  virtual void SetAsInteger(std::int32_t value);
  virtual std::int64_t AsLargeInt() const;
  virtual void SetAsLargeInt(std::int64_t value);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double value);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency value);
  virtual TBcd AsBCD() const;
  virtual void SetAsBCD(const TBcd& value);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime value);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool value);

  // What a grid shows and edits: the value as text, "" when null.
  std::string DisplayText() const { return AsString(); }
  std::string Text() const { return AsString(); }
  void SetText(std::string_view text) { SetAsString(text); }

  // The raw native bytes of the value; false when null.
  bool GetData(TFieldData& out) const;
  // Writes native bytes (null `data` writes null). Same requirements as the setters.
  void SetData(const void* data, std::uint32_t size);

 protected:
  TField(TComponent* owner, TFieldType type);

  const FormatSettings& Settings() const;
  [[noreturn]] void AccessError(const char* typeName) const;
  // Reads a fixed-size native value; false (and `out` untouched) when null.
  template <typename T>
  bool ReadNative(T& out) const;
  // A record handed back fewer bytes than the type needs: raises EDatabaseError.
  [[noreturn]] void ThrowBadSize() const;
  template <typename T>
  void WriteNative(const T& value) {
    SetData(&value, sizeof(T));
  }

 private:
  friend class TDataSet;

  TFieldType data_type_;
  TDataSet* data_set_ = nullptr;
  std::string field_name_;
  std::string display_label_;
  int field_no_ = 0;
  std::int32_t size_ = 0;
  std::int32_t precision_ = 0;
  bool required_ = false;
  bool read_only_ = false;
  bool visible_ = true;
  TFieldKind field_kind_ = TFieldKind::fkData;
  TProviderFlags provider_flags_ = pfInUpdate | pfInWhere;
  std::string origin_;
};

template <typename T>
bool TField::ReadNative(T& out) const {
  TFieldData data;
  if (!GetData(data)) return false;
  if (data.Size < sizeof(T)) ThrowBadSize();
  std::memcpy(&out, data.Data, sizeof(T));
  return true;
}
