#include "data/expr/expr_fields.h"

#include "base/text.h"
#include "data/expr/expr_record.h"

const ExprFieldDesc* FindExprField(const ExprFieldList& fields, std::string_view name) {
  for (const ExprFieldDesc& field : fields) {
    if (SameText(field.Name, name)) return &field;
  }
  return nullptr;
}

std::uint16_t EngineTypeOf(ExprFieldType type) {
  using T = ExprFieldType;
  switch (type) {
    case T::ftString:
    case T::ftFixedChar:
    case T::ftWideString:
      return exprrec::kText;
    case T::ftDate:
      return exprrec::kDate;
    case T::ftBoolean:
      return exprrec::kLogical;
    case T::ftSmallint:
      return exprrec::kSmallInt;
    case T::ftInteger:
    case T::ftAutoInc:
      return exprrec::kInteger;
    case T::ftFloat:
    case T::ftCurrency:
      return exprrec::kFloat;
    case T::ftBCD:
    case T::ftFMTBcd:
      return exprrec::kBcd;
    case T::ftTime:
      return exprrec::kTime;
    case T::ftDateTime:
    case T::ftTimeStamp:
      return exprrec::kDateTime;
    case T::ftWord:
      return exprrec::kWord;
    case T::ftLargeint:
      return exprrec::kLargeInt;
    default:
      return 0;
  }
}
