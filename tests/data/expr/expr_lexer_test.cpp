#include "data/expr/expr_lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = ExprTokenKind;

struct Scanned {
  K kind;
  std::string text;
  bool operator==(const Scanned&) const = default;
};

std::vector<Scanned> ScanAll(std::string_view text, char decimalSeparator) {
  std::vector<Scanned> out;
  ExprToken token;
  K previous = K::kEnd;
  for (;;) {
    token = ScanExprToken(text, token.Start + token.Length, previous, decimalSeparator);
    if (token.Kind == K::kEnd) break;
    out.push_back({token.Kind, std::string(text.substr(token.Start, token.Length))});
    previous = token.Kind;
    if (token.Kind >= K::kInvalidChar) break;
  }
  return out;
}

TEST(ExprLexerTest, SplitsTextIntoTokens) {
  struct Case {
    const char* text;
    char separator;
    std::vector<Scanned> tokens;
  };
  const std::vector<Case> cases = {
      {"AJCI_FECINI = '30/03/2023'",
       '.',
       {{K::kSymbol, "AJCI_FECINI"}, {K::kEq, "="}, {K::kString, "'30/03/2023'"}}},
      {"[AJCI_PORC]=0,8", ',', {{K::kName, "[AJCI_PORC]"}, {K::kEq, "="}, {K::kNumber, "0,8"}}},
      {"[AJCI_PORC]=0,8",
       '.',
       {{K::kName, "[AJCI_PORC]"},
        {K::kEq, "="},
        {K::kNumber, "0"},
        {K::kComma, ","},
        {K::kNumber, "8"}}},
      // A comma separator before a blank separates list items.
      {"(1, 2)",
       ',',
       {{K::kLParen, "("},
        {K::kNumber, "1"},
        {K::kComma, ","},
        {K::kNumber, "2"},
        {K::kRParen, ")"}}},
      {"-1.5E+3", '.', {{K::kNumber, "-1.5E+3"}}},
      {"[A]-1", '.', {{K::kName, "[A]"}, {K::kMinus, "-"}, {K::kNumber, "1"}}},
      {"A -1", '.', {{K::kSymbol, "A"}, {K::kMinus, "-"}, {K::kNumber, "1"}}},
      {"A = -1", '.', {{K::kSymbol, "A"}, {K::kEq, "="}, {K::kNumber, "-1"}}},
      {"A AND -1", '.', {{K::kSymbol, "A"}, {K::kAnd, "AND"}, {K::kNumber, "-1"}}},
      {"a<>b<=c>=d<e>f",
       '.',
       {{K::kSymbol, "a"},
        {K::kNe, "<>"},
        {K::kSymbol, "b"},
        {K::kLe, "<="},
        {K::kSymbol, "c"},
        {K::kGe, ">="},
        {K::kSymbol, "d"},
        {K::kLt, "<"},
        {K::kSymbol, "e"},
        {K::kGt, ">"},
        {K::kSymbol, "f"}}},
      {"x is Not nUll or TRUE and false",
       '.',
       {{K::kSymbol, "x"},
        {K::kIs, "is"},
        {K::kNot, "Not"},
        {K::kNull, "nUll"},
        {K::kOr, "or"},
        {K::kTrue, "TRUE"},
        {K::kAnd, "and"},
        {K::kFalse, "false"}}},
      {"T.A[1] like 'x' in",
       '.',
       {{K::kSymbol, "T.A[1]"}, {K::kLike, "like"}, {K::kString, "'x'"}, {K::kIn, "in"}}},
      {"/* note */ A /* unterminated", '.', {{K::kSymbol, "A"}}},
      {"\t\r\n A", '.', {{K::kSymbol, "A"}}},
      {"'it''s' 'x", '.', {{K::kString, "'it''s'"}, {K::kUnterminatedString, "'x"}}},
      {"[open", '.', {{K::kUnterminatedName, "[open"}}},
      {"[a b]c", '.', {{K::kName, "[a b]"}, {K::kSymbol, "c"}}},
      {"A # B", '.', {{K::kSymbol, "A"}, {K::kInvalidChar, "#"}}},
      {"1+2*3/4",
       '.',
       {{K::kNumber, "1+2"},
        {K::kStar, "*"},
        {K::kNumber, "3"},
        {K::kSlash, "/"},
        {K::kNumber, "4"}}},
      {"A\xC3\xB1O = 1", '.', {{K::kSymbol, "A\xC3\xB1O"}, {K::kEq, "="}, {K::kNumber, "1"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScanAll(c.text, c.separator), c.tokens) << c.text;
  }
}

TEST(ExprLexerTest, ReadsStringLiteralValues) {
  const std::string longText(300, 'x');
  struct Case {
    std::string literal;
    std::size_t max;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"''", 256, ""},        {"'it''s'", 256, "it's"},
      {"''''", 256, "'"},     {"'" + longText + "'", 256, std::string(256, 'x')},
      {"'ab''cd'", 3, "ab'"},
  };
  for (const Case& c : cases) EXPECT_EQ(StringLiteralValue(c.literal, c.max), c.value);
}

}  // namespace
