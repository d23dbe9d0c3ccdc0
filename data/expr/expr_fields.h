// The field list an expression is compiled against: one plain descriptor per field of the
// dataset, which the cached dataset fills from its fields. Field names are matched without regard
// to letter case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The dataset field types an expression can meet; names as the dataset layer's TFieldType.
enum class ExprFieldType : std::uint8_t {
  ftUnknown,
  ftString,
  ftFixedChar,
  ftWideString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftAutoInc,
  ftLargeint,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftFMTBcd,
  ftDate,
  ftTime,
  ftDateTime,
  ftTimeStamp,
  ftBytes,
  ftVarBytes,
  ftBlob,
  ftMemo,
  ftGraphic,
};

struct ExprFieldDesc {
  std::string Name;
  std::uint16_t FieldNo = 0;  // 1-based position of the field's column in the engine's rows
  ExprFieldType DataType = ExprFieldType::ftUnknown;
  std::int32_t Size = 0;
  // A data field or an internally calculated one; other kinds (calculated, lookup, aggregate)
  // cannot be used in an expression.
  bool Usable = true;
};

using ExprFieldList = std::vector<ExprFieldDesc>;

// The first field named `name` ignoring case; null when there is none.
const ExprFieldDesc* FindExprField(const ExprFieldList& fields, std::string_view name);

// Engine type code of the native value of a field type (1 text, 2 date, 4 logical, 5 small
// integer, 6 integer, 7 floating/money, 8 decimal, 10 time, 11 date-and-time, 12 word,
// 18 large integer); 0 for types that cannot be compared (binary, BLOB, unknown).
std::uint16_t EngineTypeOf(ExprFieldType type);
