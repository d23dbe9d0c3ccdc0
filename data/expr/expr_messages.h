// Message texts of the expression compiler and evaluator.
#pragma once

#include <string>

namespace exprmsg {

inline constexpr char kInvalidChar[] = "Invalid filter expression character: '%s'";
inline constexpr char kUnterminatedString[] = "Unterminated string constant";
inline constexpr char kUnterminatedName[] = "Unterminated field name";
inline constexpr char kInvalidKeyword[] = "Invalid use of keyword";
inline constexpr char kExpressionExpected[] = "Expression expected but %s found";
inline constexpr char kLParenExpected[] = "'(' expected but %s found";
inline constexpr char kRParenExpected[] = "')' expected but %s found";
inline constexpr char kListSeparatorExpected[] = "')' or ',' expected but %s found";
inline constexpr char kEmptyInList[] = "IN predicate list may not be empty";
inline constexpr char kFieldNotFound[] = "Field '%s' not found";
inline constexpr char kFieldNotUsable[] = "Field '%s' cannot be used in a filter expression";
inline constexpr char kTypeMismatch[] = "Type mismatch in expression";
inline constexpr char kNullOnlyWithEq[] = "NULL only allowed with '=' and '<>'";
inline constexpr char kNoArithmetic[] = "Arithmetic in filter expressions not supported";
inline constexpr char kOutOfRange[] = "Constant out of range";
inline constexpr char kNotCorrectType[] = "Constant is not correct type %s";
inline constexpr char kNoAggregates[] = "Aggregate expressions not allowed in filters";
inline constexpr char kIncorrectlyTerminated[] = "Filter expression incorrectly terminated";
inline constexpr char kIncorrectlyFormed[] = "Incorrectly formed filter expression";

}  // namespace exprmsg

// Raises EDatabaseError with `text` (no component name).
[[noreturn]] void ExprError(const std::string& text);
