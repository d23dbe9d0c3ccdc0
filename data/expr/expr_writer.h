// Writes the expression record of a checked node tree (see expr_record.h): the nodes depth
// first from the root at offset 0, each before its operands, the left before the right; field
// names and constants into the literal area, constants converted to their final type.
#pragma once

#include <cstdint>
#include <vector>

#include "base/format_settings.h"
#include "data/expr/filter_expr.h"

// Throws EDatabaseError "Incorrectly formed filter expression" when the record would outgrow its
// 16-bit offsets, the constant messages for constants that do not convert, and EConvertError for
// dates, times and decimals that do not read.
std::vector<std::uint8_t> WriteExprRecord(const ExprNode& root, const FormatSettings& settings);
