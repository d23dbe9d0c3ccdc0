#include "data/client/field_mapping.h"

#include "db/dataset/dataset.h"

namespace {

ExprFieldType ExprTypeOf(TFieldType type) {
  switch (type) {
    case TFieldType::ftString:
      return ExprFieldType::ftString;
    case TFieldType::ftFixedChar:
      return ExprFieldType::ftFixedChar;
    case TFieldType::ftWideString:
      return ExprFieldType::ftWideString;
    case TFieldType::ftSmallint:
      return ExprFieldType::ftSmallint;
    case TFieldType::ftInteger:
      return ExprFieldType::ftInteger;
    case TFieldType::ftWord:
      return ExprFieldType::ftWord;
    case TFieldType::ftAutoInc:
      return ExprFieldType::ftAutoInc;
    case TFieldType::ftLargeint:
      return ExprFieldType::ftLargeint;
    case TFieldType::ftBoolean:
      return ExprFieldType::ftBoolean;
    case TFieldType::ftFloat:
      return ExprFieldType::ftFloat;
    case TFieldType::ftCurrency:
      return ExprFieldType::ftCurrency;
    case TFieldType::ftBCD:
      return ExprFieldType::ftBCD;
    case TFieldType::ftFMTBcd:
      return ExprFieldType::ftFMTBcd;
    case TFieldType::ftDate:
      return ExprFieldType::ftDate;
    case TFieldType::ftTime:
      return ExprFieldType::ftTime;
    case TFieldType::ftDateTime:
      return ExprFieldType::ftDateTime;
    case TFieldType::ftTimeStamp:
      return ExprFieldType::ftTimeStamp;
    case TFieldType::ftBytes:
      return ExprFieldType::ftBytes;
    case TFieldType::ftVarBytes:
      return ExprFieldType::ftVarBytes;
    case TFieldType::ftBlob:
      return ExprFieldType::ftBlob;
    case TFieldType::ftMemo:
      return ExprFieldType::ftMemo;
    case TFieldType::ftUnknown:
      break;
  }
  return ExprFieldType::ftUnknown;
}

}  // namespace

ExprFieldList ExprFieldsOf(const TDataSet& dataSet) {
  ExprFieldList list;
  list.reserve(static_cast<std::size_t>(dataSet.FieldCount()));
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    const TField& field = dataSet.Fields(i);
    const TFieldKind kind = field.FieldKind();
    list.push_back({field.FieldName(), static_cast<std::uint16_t>(field.FieldNo()),
                    ExprTypeOf(field.DataType()), field.Size(),
                    kind == TFieldKind::fkData || kind == TFieldKind::fkInternalCalc});
  }
  return list;
}
