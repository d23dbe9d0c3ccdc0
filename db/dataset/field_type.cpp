#include "db/dataset/field_type.h"

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case TFieldType::ftUnknown:
      return "Unknown";
    case TFieldType::ftString:
      return "String";
    case TFieldType::ftSmallint:
      return "SmallInt";
    case TFieldType::ftInteger:
      return "Integer";
    case TFieldType::ftWord:
      return "Word";
    case TFieldType::ftBoolean:
      return "Boolean";
    case TFieldType::ftFloat:
      return "Float";
    case TFieldType::ftCurrency:
      return "Currency";
    case TFieldType::ftBCD:
      return "BCD";
    case TFieldType::ftDate:
      return "Date";
    case TFieldType::ftTime:
      return "Time";
    case TFieldType::ftDateTime:
      return "DateTime";
    case TFieldType::ftBytes:
      return "Bytes";
    case TFieldType::ftVarBytes:
      return "VarBytes";
    case TFieldType::ftAutoInc:
      return "AutoInc";
    case TFieldType::ftBlob:
      return "Blob";
    case TFieldType::ftMemo:
      return "Memo";
    case TFieldType::ftFixedChar:
      return "FixedChar";
    case TFieldType::ftWideString:
      return "WideString";
    case TFieldType::ftLargeint:
      return "LargeInt";
    case TFieldType::ftTimeStamp:
      return "TimeStamp";
    case TFieldType::ftFMTBcd:
      return "FMTBcd";
  }
  return "Unknown";
}

std::uint32_t NativeFixedSize(TFieldType type) {
  switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftWord:
    case TFieldType::ftBoolean:
      return 2;
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
    case TFieldType::ftDate:
    case TFieldType::ftTime:
      return 4;
    case TFieldType::ftLargeint:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
      return 8;
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd:
      return 18;
    default:
      return 0;
  }
}
