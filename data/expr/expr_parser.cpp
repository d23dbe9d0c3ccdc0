#include "data/expr/expr_parser.h"

#include <array>

#include "base/exceptions.h"
#include "base/text.h"
#include "data/expr/expr_functions.h"
#include "data/expr/expr_lexer.h"
#include "data/expr/expr_messages.h"
#include "data/expr/filter_expr.h"

namespace {

using K = ExprTokenKind;

// Characters of a string literal kept when it is read.
constexpr std::size_t kMaxStringLiteral = 256;
// Nesting of parentheses and IN lists; deeper texts are refused rather than exhausting the stack.
constexpr int kMaxNesting = 200;

bool IsAggregateName(std::string_view name) {
  static constexpr std::array<std::string_view, 5> kAggregates{"SUM", "MIN", "MAX", "AVG", "COUNT"};
  for (std::string_view a : kAggregates) {
    if (SameText(name, a)) return true;
  }
  return false;
}

bool IsOperatorKeyword(K kind) {
  return kind == K::kAnd || kind == K::kOr || kind == K::kNot || kind == K::kLike ||
         kind == K::kIn || kind == K::kIs;
}

// Recursive descent over the grammar, lowest precedence first.
class Parser {
 public:
  Parser(const ExprFieldList& fields, std::string_view text, bool extendedSyntax,
         char decimalSeparator, TFilterExpr& expr)
      : fields_(fields),
        text_(text),
        extended_(extendedSyntax),
        decimalSeparator_(decimalSeparator),
        expr_(expr) {
    Advance();
  }

  const ExprNode* Compile() {
    const ExprNode* root = Expression();
    if (token_.Kind != K::kEnd) ExprError(exprmsg::kIncorrectlyTerminated);
    return root;
  }

 private:
  std::string_view TokenText() const { return text_.substr(token_.Start, token_.Length); }

  // The token as the messages quote it.
  std::string Describe() const {
    if (token_.Kind == K::kEnd) return "end of expression";
    if (token_.Kind == K::kString) return std::string(TokenText());
    return QuotedStr(TokenText());
  }

  void Advance() {
    const ExprTokenKind previous = token_.Length == 0 ? K::kEnd : token_.Kind;
    token_ = ScanExprToken(text_, token_.Start + token_.Length, previous, decimalSeparator_);
    switch (token_.Kind) {
      case K::kInvalidChar:
        ExprError(Format(exprmsg::kInvalidChar, TokenText()));
      case K::kUnterminatedString:
        ExprError(exprmsg::kUnterminatedString);
      case K::kUnterminatedName:
        ExprError(exprmsg::kUnterminatedName);
      default:
        break;
    }
  }

  ExprNode* Expression() {
    if (++depth_ > kMaxNesting) ExprError(exprmsg::kIncorrectlyFormed);
    ExprNode* left = Term();
    while (token_.Kind == K::kOr) {
      Advance();
      left = expr_.NewLogicalNode(exprrec::kOr, left, Term());
    }
    --depth_;
    return left;
  }

  ExprNode* Term() {
    ExprNode* left = Factor();
    while (token_.Kind == K::kAnd) {
      Advance();
      left = expr_.NewLogicalNode(exprrec::kAnd, left, Factor());
    }
    return left;
  }

  ExprNode* Factor() {
    if (token_.Kind != K::kNot) return Comparison();
    Advance();
    return expr_.NewUnaryNode(exprrec::kNot, Comparison());
  }

  ExprNode* Comparison() {
    ExprNode* left = Sum();
    switch (token_.Kind) {
      case K::kEq:
        return Relational(exprrec::kEq, left);
      case K::kNe:
        return Relational(exprrec::kNe, left);
      case K::kGt:
        return Relational(exprrec::kGt, left);
      case K::kLt:
        return Relational(exprrec::kLt, left);
      case K::kGe:
        return Relational(exprrec::kGe, left);
      case K::kLe:
        return Relational(exprrec::kLe, left);
      case K::kLike:
        Advance();
        return expr_.NewLikeNode(left, Sum());
      case K::kIs:
        return IsNull(left);
      case K::kIn:
        return InList(left);
      default:
        return left;
    }
  }

  ExprNode* Relational(exprrec::Operator op, ExprNode* left) {
    Advance();
    return expr_.NewCompareNode(op, left, Sum());
  }

  ExprNode* IsNull(ExprNode* operand) {
    Advance();
    exprrec::Operator op = exprrec::kIsNull;
    if (token_.Kind == K::kNot) {
      op = exprrec::kIsNotNull;
      Advance();
    }
    if (token_.Kind != K::kNull) ExprError(exprmsg::kInvalidKeyword);
    Advance();
    return expr_.NewUnaryNode(op, operand);
  }

  // A comma-separated list of expressions and its closing ")", which is consumed.
  // REQUIRES: the current token starts the first expression.
  std::vector<ExprNode*> ExpressionsUpToRParen() {
    std::vector<ExprNode*> list;
    for (;;) {
      list.push_back(Expression());
      if (token_.Kind == K::kComma) {
        Advance();
      } else if (token_.Kind == K::kRParen) {
        Advance();
        break;
      } else {
        ExprError(Format(exprmsg::kListSeparatorExpected, Describe()));
      }
    }
    return list;
  }

  ExprNode* InList(ExprNode* left) {
    Advance();
    if (token_.Kind != K::kLParen) ExprError(Format(exprmsg::kLParenExpected, Describe()));
    Advance();
    if (token_.Kind == K::kRParen) ExprError(exprmsg::kEmptyInList);
    return expr_.NewInNode(left, ExpressionsUpToRParen());
  }

  ExprNode* Sum() {
    ExprNode* left = Product();
    while (token_.Kind == K::kPlus || token_.Kind == K::kMinus) {
      const auto op = token_.Kind == K::kPlus ? exprrec::kAdd : exprrec::kSub;
      if (!extended_) ExprError(exprmsg::kNoArithmetic);
      Advance();
      left = expr_.NewArithmeticNode(op, left, Product());
    }
    return left;
  }

  ExprNode* Product() {
    ExprNode* left = Primary();
    while (token_.Kind == K::kStar || token_.Kind == K::kSlash) {
      const auto op = token_.Kind == K::kStar ? exprrec::kMul : exprrec::kDiv;
      if (!extended_) ExprError(exprmsg::kNoArithmetic);
      Advance();
      left = expr_.NewArithmeticNode(op, left, Primary());
    }
    return left;
  }

  ExprNode* Primary() {
    const std::string_view text = TokenText();
    switch (token_.Kind) {
      case K::kSymbol: {
        Advance();
        if (extended_ && token_.Kind == K::kLParen) {
          if (IsAggregateName(text)) ExprError(exprmsg::kNoAggregates);
          if (FindExprFunction(text)) return FunctionCall(text);
        }
        return FieldNode(text);
      }
      case K::kName:
        Advance();
        return FieldNode(BracketedNameValue(text));
      case K::kString: {
        std::string value = StringLiteralValue(text, kMaxStringLiteral);
        Advance();
        return expr_.NewConstNode(ExprNode::ConstForm::kString, std::move(value));
      }
      case K::kNumber:
        Advance();
        return expr_.NewConstNode(ExprNode::ConstForm::kNumber, std::string(text));
      case K::kTrue:
      case K::kFalse:
        Advance();
        return expr_.NewConstNode(ExprNode::ConstForm::kLogical, std::string(text));
      case K::kNull:
        Advance();
        return expr_.NewNullNode();
      case K::kLParen: {
        Advance();
        ExprNode* inner = Expression();
        if (token_.Kind != K::kRParen) ExprError(Format(exprmsg::kRParenExpected, Describe()));
        Advance();
        return inner;
      }
      default:
        if (IsOperatorKeyword(token_.Kind)) ExprError(exprmsg::kInvalidKeyword);
        ExprError(Format(exprmsg::kExpressionExpected, Describe()));
    }
  }

  // REQUIRES: the current token is the "(" after the function's name.
  ExprNode* FunctionCall(std::string_view name) {
    Advance();
    if (token_.Kind == K::kRParen) {
      Advance();
      return expr_.NewFunctionNode(name, {});
    }
    return expr_.NewFunctionNode(name, ExpressionsUpToRParen());
  }

  // The record keeps the name as written in the text, not as the field list spells it.
  ExprNode* FieldNode(std::string_view name) {
    const ExprFieldDesc* field = FindExprField(fields_, name);
    if (!field) ExprError(Format(exprmsg::kFieldNotFound, name));
    return expr_.NewFieldNode(*field, name);
  }

  const ExprFieldList& fields_;
  std::string_view text_;
  bool extended_;
  char decimalSeparator_;
  TFilterExpr& expr_;
  ExprToken token_;
  int depth_ = 0;
};

}  // namespace

TExprParser::TExprParser(const ExprFieldList& fields, std::string_view text, TFilterOptions options,
                         bool extendedSyntax, const FormatSettings& settings) {
  TFilterExpr expr(options, settings);
  Parser parser(fields, text, extendedSyntax, settings.DecimalSeparator, expr);
  data_ = expr.GetFilterData(parser.Compile());
}
