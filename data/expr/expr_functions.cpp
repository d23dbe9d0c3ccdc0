#include "data/expr/expr_functions.h"

#include <array>

#include "base/text.h"

const ExprFunctionInfo* FindExprFunction(std::string_view name) {
  using F = ExprFunction;
  using T = ExprFieldType;
  static constexpr std::array<ExprFunctionInfo, 14> kFunctions{{
      {"UPPER", F::kUpper, 1, 1, T::ftString, true},
      {"LOWER", F::kLower, 1, 1, T::ftString, true},
      {"TRIM", F::kTrim, 1, 1, T::ftString, true},
      {"TRIMLEFT", F::kTrimLeft, 1, 1, T::ftString, true},
      {"TRIMRIGHT", F::kTrimRight, 1, 1, T::ftString, true},
      {"SUBSTRING", F::kSubstring, 2, 3, T::ftString, true},
      {"YEAR", F::kYear, 1, 1, T::ftInteger, false},
      {"MONTH", F::kMonth, 1, 1, T::ftInteger, false},
      {"DAY", F::kDay, 1, 1, T::ftInteger, false},
      {"HOUR", F::kHour, 1, 1, T::ftInteger, false},
      {"MINUTE", F::kMinute, 1, 1, T::ftInteger, false},
      {"SECOND", F::kSecond, 1, 1, T::ftInteger, false},
      {"DATE", F::kDate, 1, 1, T::ftDate, false},
      {"TIME", F::kTime, 1, 1, T::ftTime, false},
  }};
  for (const ExprFunctionInfo& f : kFunctions) {
    if (SameText(name, f.Name)) return &f;
  }
  return nullptr;
}
