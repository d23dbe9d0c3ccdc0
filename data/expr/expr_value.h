// Values met while evaluating an expression record over a row, and the operations on them:
// reading native bytes, comparing, LIKE matching, arithmetic and the date and time parts of the
// functions. Nothing here allocates; text points into the row or the record, decimals are copied
// (a row may hand its decimal out of a buffer it reuses for the next field).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "base/bcd.h"
#include "data/expr/expr_functions.h"

namespace expreval {

// A value met during evaluation; text points into the row or the plan.
struct Value {
  // kOpaque: a value the evaluator cannot read (binary, BLOB, a damaged size); it is not null
  // but compares with nothing.
  enum Tag : std::uint8_t {
    kNull,
    kBool,
    kInt,
    kFloat,
    kBcd,
    kText,
    kDate,
    kTime,
    kDateTime,
    kOpaque
  };
  Tag tag = kNull;
  bool b = false;
  std::int64_t i = 0;  // integers, dates (day number), times (milliseconds)
  double f = 0;        // floating numbers, date-and-time (milliseconds)
  TBcd bcd;
  const char* s = nullptr;
  std::size_t len = 0;

  static Value Bool(bool v) {
    Value r;
    r.tag = kBool;
    r.b = v;
    return r;
  }
};

template <typename T>
T Load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}

// Reads native bytes of engine type `code`; an unknown type or a size that does not fit the type
// reads as kOpaque.
Value Decode(std::uint16_t code, const std::uint8_t* p, std::uint32_t size);

bool IsNumeric(const Value& v);
// A number, or a date or time in milliseconds, as a floating number.
double AsDouble(const Value& v);

// Text order byte by byte; `caseInsensitive` folds ASCII letters.
int CompareText(const char* a, std::size_t na, const char* b, std::size_t nb, bool caseInsensitive);

inline constexpr int kIncomparable = 2;
// -1, 0, 1, or kIncomparable for nulls and values of unrelated kinds.
int CompareValues(const Value& a, const Value& b);
// Whether relational operator `op` holds for an order from CompareValues or CompareText.
bool Holds(std::uint32_t op, int order);

// "%" any run of characters, "_" exactly one.
bool Like(const char* s, std::size_t n, const char* p, std::size_t m);

// + - * / over numbers as floating numbers; null for other values and for division by zero.
Value Arith(std::uint32_t op, const Value& a, const Value& b);

// A position or length in 0..limit from any floating number.
std::size_t ClampIndex(double x, std::size_t limit);

// YEAR .. SECOND, DATE and TIME of a date, time or date-and-time; null for other values and
// for values outside 1 January 1 .. 31 December 9999.
Value DatePart(ExprFunction f, const Value& arg);

}  // namespace expreval
