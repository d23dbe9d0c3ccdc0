// The tokenizer of filter and search expressions: a pure function of the text that reports the
// next token's kind, start and length. It allocates nothing and never reads outside the text.
//
//   symbol          a letter, "_" or a character of code 129..254, then letters, digits, "_",
//                   ".", "[", "]" (and other characters of code 128 and above, so that names in
//                   UTF-8 stay whole); AND, OR, NOT, LIKE, IN, IS, NULL, TRUE, FALSE in any case
//                   are keywords
//   "[...]"         a bracketed field name
//   "'...'"         a string literal; two quotes inside stand for one
//   number          a digit, or "-" unless the previous token ends a value (a symbol other than
//                   an operator keyword, a name, a literal, ")"), then digits, "+", "-", "E",
//                   "e" and the decimal separator; a "," separator followed by a blank ends it
//   operators       = <> >= <= > < + - * / ( ) ,
// Characters of code 32 or below and comments "/* ... */" between tokens are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class ExprTokenKind : std::uint8_t {
  kEnd,
  kSymbol,
  kName,
  kString,
  kNumber,
  // keywords
  kAnd,
  kOr,
  kNot,
  kLike,
  kIn,
  kIs,
  kNull,
  kTrue,
  kFalse,
  // operators
  kEq,
  kNe,
  kGe,
  kLe,
  kGt,
  kLt,
  kPlus,
  kMinus,
  kStar,
  kSlash,
  kLParen,
  kRParen,
  kComma,
  // failures
  kInvalidChar,
  kUnterminatedString,
  kUnterminatedName,
};

struct ExprToken {
  ExprTokenKind Kind = ExprTokenKind::kEnd;
  std::size_t Start = 0;   // offset in the text
  std::size_t Length = 0;  // 0 at the end
};

// The token at or after `pos`. `previous` is the kind of the token before it (kEnd at the start),
// which decides whether "-" starts a number.
ExprToken ScanExprToken(std::string_view text, std::size_t pos, ExprTokenKind previous,
                        char decimalSeparator);

// A string literal's value: the quotes removed, doubled quotes made single, cut to `maxChars`.
// REQUIRES: `literal` is a whole kString token.
std::string StringLiteralValue(std::string_view literal, std::size_t maxChars);

// A bracketed name without its brackets. REQUIRES: `name` is a whole kName token.
inline std::string_view BracketedNameValue(std::string_view name) {
  return name.substr(1, name.size() - 2);
}
