// The functions of the extended syntax: name, number of arguments and result type. The compiler
// accepts them when extended syntax is on; the record names them (upper case) and the evaluator
// looks them up by that name.
//
//   UPPER(t) LOWER(t)                  text in upper / lower case (ASCII letters)
//   TRIM(t) TRIMLEFT(t) TRIMRIGHT(t)   text without blanks around / on the left / on the right
//   SUBSTRING(t, start [, length])     part of the text from `start` (1-based) on
//   YEAR(d) MONTH(d) DAY(d)            parts of a date or date-and-time
//   HOUR(d) MINUTE(d) SECOND(d)        parts of a time or date-and-time
//   DATE(d) TIME(d)                    the date / time of day of a date-and-time
#pragma once

#include <cstdint>
#include <string_view>

#include "data/expr/expr_fields.h"

enum class ExprFunction : std::uint8_t {
  kUpper,
  kLower,
  kTrim,
  kTrimLeft,
  kTrimRight,
  kSubstring,
  kYear,
  kMonth,
  kDay,
  kHour,
  kMinute,
  kSecond,
  kDate,
  kTime,
};

struct ExprFunctionInfo {
  std::string_view Name;
  ExprFunction Id;
  std::uint8_t MinArgs;
  std::uint8_t MaxArgs;
  ExprFieldType Result;  // ftString, ftInteger, ftDate or ftTime
  bool TextArgument;     // the first argument is text (else a date, time or date-and-time)
};

// The function named `name` ignoring case; null when there is none.
const ExprFunctionInfo* FindExprFunction(std::string_view name);
