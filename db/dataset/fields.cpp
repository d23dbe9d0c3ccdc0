#include "db/dataset/fields.h"

#include "base/exceptions.h"

namespace {

std::unique_ptr<TField> NewField(TFieldType type, TComponent* owner) {
  switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString:
      return std::make_unique<TStringField>(owner, type);
    case TFieldType::ftSmallint:
      return std::make_unique<TSmallintField>(owner);
    case TFieldType::ftWord:
      return std::make_unique<TWordField>(owner);
    case TFieldType::ftInteger:
      return std::make_unique<TIntegerField>(owner);
    case TFieldType::ftAutoInc:
      return std::make_unique<TIntegerField>(owner, type);
    case TFieldType::ftLargeint:
      return std::make_unique<TLargeintField>(owner);
    case TFieldType::ftBoolean:
      return std::make_unique<TBooleanField>(owner);
    case TFieldType::ftFloat:
      return std::make_unique<TFloatField>(owner);
    case TFieldType::ftCurrency:
      return std::make_unique<TCurrencyField>(owner);
    case TFieldType::ftBCD:
      return std::make_unique<TBCDField>(owner);
    case TFieldType::ftFMTBcd:
      return std::make_unique<TFMTBCDField>(owner);
    case TFieldType::ftDate:
      return std::make_unique<TDateField>(owner);
    case TFieldType::ftTime:
      return std::make_unique<TTimeField>(owner);
    case TFieldType::ftDateTime:
      return std::make_unique<TDateTimeField>(owner);
    case TFieldType::ftTimeStamp:
      return std::make_unique<TDateTimeField>(owner, type);
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
      return std::make_unique<TBytesField>(owner, type);
    case TFieldType::ftBlob:
      return std::make_unique<TBlobField>(owner);
    case TFieldType::ftMemo:
      return std::make_unique<TMemoField>(owner);
    case TFieldType::ftUnknown:
      break;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<TField> CreateField(const TFieldDef& def, TComponent* owner) {
  std::unique_ptr<TField> field = NewField(def.DataType, owner);
  if (!field) DatabaseErrorFmt("Field '%s' is of an unknown type", nullptr, def.Name);
  field->SetFieldName(def.Name);
  field->SetSize(def.Size);
  if (def.DataType == TFieldType::ftBCD || def.DataType == TFieldType::ftFMTBcd) {
    field->SetPrecision(def.Precision);
  }
  field->SetRequired(def.Required);
  field->SetReadOnly(def.ReadOnly);
  return field;
}
