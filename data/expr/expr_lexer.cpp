#include "data/expr/expr_lexer.h"

#include <array>

#include "base/text.h"

namespace {

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool StartsSymbol(unsigned char c) {
  return IsAsciiLetter(c) || c == '_' || (c >= 129 && c <= 254);
}
bool ContinuesSymbol(unsigned char c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '[' || c == ']' || c >= 128;
}

// After these a "-" is the minus operator, not the sign of a number.
bool EndsValue(ExprTokenKind kind) {
  switch (kind) {
    case ExprTokenKind::kSymbol:
    case ExprTokenKind::kName:
    case ExprTokenKind::kString:
    case ExprTokenKind::kNumber:
    case ExprTokenKind::kNull:
    case ExprTokenKind::kTrue:
    case ExprTokenKind::kFalse:
    case ExprTokenKind::kRParen:
      return true;
    default:
      return false;
  }
}

ExprTokenKind KeywordKind(std::string_view word) {
  struct Keyword {
    std::string_view Text;
    ExprTokenKind Kind;
  };
  static constexpr std::array<Keyword, 9> kKeywords{{
      {"AND", ExprTokenKind::kAnd},
      {"OR", ExprTokenKind::kOr},
      {"NOT", ExprTokenKind::kNot},
      {"LIKE", ExprTokenKind::kLike},
      {"IN", ExprTokenKind::kIn},
      {"IS", ExprTokenKind::kIs},
      {"NULL", ExprTokenKind::kNull},
      {"TRUE", ExprTokenKind::kTrue},
      {"FALSE", ExprTokenKind::kFalse},
  }};
  for (const Keyword& k : kKeywords) {
    if (SameText(word, k.Text)) return k.Kind;
  }
  return ExprTokenKind::kSymbol;
}

// Skips blanks and comments; an unterminated comment runs to the end.
std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c <= 32) {
      ++pos;
    } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '*') {
      const std::size_t close = text.find("*/", pos + 2);
      pos = close == std::string_view::npos ? text.size() : close + 2;
    } else {
      break;
    }
  }
  return pos;
}

}  // namespace

ExprToken ScanExprToken(std::string_view text, std::size_t pos, ExprTokenKind previous,
                        char decimalSeparator) {
  pos = SkipBlanks(text, pos);
  ExprToken token;
  token.Start = pos;
  if (pos >= text.size()) return token;
  const std::size_t n = text.size();
  const auto c = static_cast<unsigned char>(text[pos]);
  auto make = [&](ExprTokenKind kind, std::size_t end) {
    token.Kind = kind;
    token.Length = end - pos;
    return token;
  };

  if (StartsSymbol(c)) {
    std::size_t end = pos + 1;
    while (end < n && ContinuesSymbol(static_cast<unsigned char>(text[end]))) ++end;
    return make(KeywordKind(text.substr(pos, end - pos)), end);
  }
  if (c == '[') {
    const std::size_t close = text.find(']', pos + 1);
    if (close == std::string_view::npos) return make(ExprTokenKind::kUnterminatedName, n);
    return make(ExprTokenKind::kName, close + 1);
  }
  if (c == '\'') {
    std::size_t end = pos + 1;
    while (end < n) {
      if (text[end] == '\'') {
        if (end + 1 < n && text[end + 1] == '\'') {
          end += 2;
          continue;
        }
        return make(ExprTokenKind::kString, end + 1);
      }
      ++end;
    }
    return make(ExprTokenKind::kUnterminatedString, n);
  }
  if (IsDigit(c) || (c == '-' && !EndsValue(previous))) {
    std::size_t end = pos + 1;
    while (end < n) {
      const auto d = static_cast<unsigned char>(text[end]);
      if (d == static_cast<unsigned char>(decimalSeparator)) {
        // "IN (1, 2)" under a comma separator: the comma before a blank separates list items.
        if (d == ',' && (end + 1 >= n || static_cast<unsigned char>(text[end + 1]) <= 32)) break;
        ++end;
      } else if (IsDigit(d) || d == '+' || d == '-' || d == 'E' || d == 'e') {
        ++end;
      } else {
        break;
      }
    }
    return make(ExprTokenKind::kNumber, end);
  }
  const char next = pos + 1 < n ? text[pos + 1] : '\0';
  switch (c) {
    case '=':
      return make(ExprTokenKind::kEq, pos + 1);
    case '<':
      if (next == '>') return make(ExprTokenKind::kNe, pos + 2);
      if (next == '=') return make(ExprTokenKind::kLe, pos + 2);
      return make(ExprTokenKind::kLt, pos + 1);
    case '>':
      if (next == '=') return make(ExprTokenKind::kGe, pos + 2);
      return make(ExprTokenKind::kGt, pos + 1);
    case '+':
      return make(ExprTokenKind::kPlus, pos + 1);
    case '-':
      return make(ExprTokenKind::kMinus, pos + 1);
    case '*':
      return make(ExprTokenKind::kStar, pos + 1);
    case '/':
      return make(ExprTokenKind::kSlash, pos + 1);
    case '(':
      return make(ExprTokenKind::kLParen, pos + 1);
    case ')':
      return make(ExprTokenKind::kRParen, pos + 1);
    case ',':
      return make(ExprTokenKind::kComma, pos + 1);
    default:
      return make(ExprTokenKind::kInvalidChar, pos + 1);
  }
}

std::string StringLiteralValue(std::string_view literal, std::size_t maxChars) {
  std::string value;
  const std::string_view body = literal.substr(1, literal.size() - 2);
  for (std::size_t i = 0; i < body.size() && value.size() < maxChars; ++i) {
    value.push_back(body[i]);
    if (body[i] == '\'') ++i;  // the second quote of a doubled pair
  }
  return value;
}
