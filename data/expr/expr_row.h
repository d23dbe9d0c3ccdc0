// ExprRow: how the evaluator reads one row. The dataset engine implements it over its rows; the
// evaluator only reads through it and never keeps a pointer past one evaluation. A field's bytes
// need only last until the next field is read (the evaluator copies decimals; text must stay).
//
// Native bytes (little-endian) by engine type code:
//   1 text: the characters, a terminating zero optional (size counts the bytes given)
//   2 date: int32 day number (1 January of year 1 is day 1)     4 logical: int16 0/1
//   5 small integer: int16    6 integer: int32    12 word: uint16    18 large integer: int64
//   7 floating/money: double  8 decimal: 18-byte TBcd  10 time: int32 milliseconds of the day
//   11 date-and-time: double, day number * 86,400,000 + milliseconds of the day
#pragma once

#include <cstdint>

enum class ExprBlank : std::uint8_t {
  kValue = 0,
  kNull = 1,
  kUnchanged = 2,  // a delta's unchanged field; the evaluator treats it like null
};

struct ExprFieldValue {
  ExprBlank Blank = ExprBlank::kNull;
  std::uint16_t Type = 0;      // engine type code
  const void* Data = nullptr;  // native bytes; may be null when Blank is not kValue
  std::uint32_t Size = 0;      // bytes at Data
};

class ExprRow {
 public:
  virtual ~ExprRow() = default;
  // The value of field `fieldNo` (1-based). A field number the row does not have reads as null.
  virtual ExprFieldValue Field(std::uint16_t fieldNo) const = 0;
};
