// Text and binary fields.
//
// TStringField holds at most Size characters (0: no limit); longer text written to it is cut
// to Size. Its numeric accessors read and write the text ("'%s' is not a valid integer value",
// "'%s' is not a valid floating point value"). Binary and blob fields hand their bytes over as
// a string of the same bytes.
#pragma once

#include "db/dataset/field.h"

class TStringField : public TField {
 public:
  explicit TStringField(TComponent* owner = nullptr) : TStringField(owner, TFieldType::ftString) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  std::int32_t AsInteger() const override;
  void SetAsInteger(std::int32_t value) override;
  std::int64_t AsLargeInt() const override;
  void SetAsLargeInt(std::int64_t value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;

 public:
  // REQUIRES: `type` is ftString, ftFixedChar or ftWideString.
  TStringField(TComponent* owner, TFieldType type) : TField(owner, type) {}
};

// Fixed and variable binary of at most Size bytes (ftBytes, ftVarBytes).
class TBytesField : public TField {
 public:
  explicit TBytesField(TComponent* owner = nullptr) : TBytesField(owner, TFieldType::ftBytes) {}
  TBytesField(TComponent* owner, TFieldType type) : TField(owner, type) {}

  std::string AsString() const override;
  void SetAsString(std::string_view bytes) override;
};

// Binary of any length (ftBlob), and through TMemoField text of any length (ftMemo).
class TBlobField : public TField {
 public:
  explicit TBlobField(TComponent* owner = nullptr) : TBlobField(owner, TFieldType::ftBlob) {}

  std::string AsString() const override;
  void SetAsString(std::string_view bytes) override;

  // REQUIRES: `type` is ftBlob or ftMemo.
  TBlobField(TComponent* owner, TFieldType type) : TField(owner, type) {}
};

class TMemoField : public TBlobField {
 public:
  explicit TMemoField(TComponent* owner = nullptr) : TBlobField(owner, TFieldType::ftMemo) {}
};
