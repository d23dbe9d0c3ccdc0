// TExprParser: compiles a filter or search text into an expression record, which the dataset
// engine evaluates row by row (see ExprEvaluator). The record is written through TFilterExpr.
//
// Compilation stops at the first error: EDatabaseError with the compiler's message (no dataset
// name), or EConvertError when a constant cannot be read as the date or decimal its field needs.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/format_settings.h"
#include "data/expr/expr_fields.h"
#include "data/expr/filter_options.h"

class TExprParser {
 public:
  // Compiles `text` against `fields`. `extendedSyntax` allows arithmetic and function calls;
  // `settings` give the short date format, date separator and decimal separator constants are
  // read with.
  TExprParser(const ExprFieldList& fields, std::string_view text, TFilterOptions options,
              bool extendedSyntax, const FormatSettings& settings);

  // The expression record.
  const std::vector<std::uint8_t>& FilterData() const { return data_; }
  std::size_t DataSize() const { return data_.size(); }

 private:
  std::vector<std::uint8_t> data_;
};
