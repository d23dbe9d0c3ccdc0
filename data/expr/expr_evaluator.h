// ExprEvaluator: a compiled expression record turned once into an evaluation plan, then tested
// against rows. Construction validates the whole record (sizes, offsets, node classes, constant
// sizes) so evaluation never reads outside it; a damaged record is refused.
//
// Row semantics:
//   - a null (or unchanged) value never equals nor compares with anything: every comparison,
//     LIKE and IN involving it is false; IS NULL / IS NOT NULL test it;
//   - numbers compare by value across integer, floating and decimal types (0.8 equals 0.8000);
//   - dates by day; a date against a date-and-time compares the date at midnight;
//   - text byte by byte; the string-comparison node adds case-insensitivity (ASCII letters) and
//     prefix matching over the given length;
//   - LIKE: "%" matches any run of characters, "_" exactly one; everything else itself;
//   - arithmetic (+ - * /) works on floating numbers; division by zero gives null;
//   - functions (see expr_functions.h) of a null, or of a value of another kind, give null;
//   - the whole expression is true only when its logical value is true (a null is false).
// Evaluation allocates nothing (UPPER and LOWER reuse one buffer each, grown only by a longer
// text than any before) and keeps no state between rows; one evaluator may be used by one thread
// at a time, several evaluators independently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "data/expr/expr_row.h"

class ExprEvaluator {
 public:
  // Throws EDatabaseError "Incorrectly formed filter expression" for a record that is not a
  // well-formed expression record. Copies what it needs; `record` may be released afterwards.
  explicit ExprEvaluator(std::span<const std::uint8_t> record);
  ~ExprEvaluator();
  ExprEvaluator(ExprEvaluator&&) noexcept;
  ExprEvaluator& operator=(ExprEvaluator&&) noexcept;

  // True when `row` satisfies the expression.
  bool Matches(const ExprRow& row) const;

 private:
  struct Plan;
  std::unique_ptr<Plan> plan_;
};
