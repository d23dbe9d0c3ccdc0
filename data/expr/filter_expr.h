// TFilterExpr: the node tree of an expression being compiled, and the writer of its expression
// record (see expr_record.h). The parser creates nodes through it; each New* call checks the
// types of its operands, so errors come in the order the text is read. Constants are converted
// to their final type (the type of the field they are compared with) when the record is written.
//
// Nodes live as long as the TFilterExpr that made them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/format_settings.h"
#include "data/expr/expr_fields.h"
#include "data/expr/expr_record.h"
#include "data/expr/filter_options.h"

// Longest text constant, in characters, written into a record.
inline constexpr std::size_t kMaxTextConstant = 255;

struct ExprNode {
  enum class Kind : std::uint8_t {
    kField,
    kConst,
    kNull,
    kUnary,
    kBinary,
    kCompare,
    kList,
    kFunction
  };
  // What a node yields, for the type checks.
  enum class Category : std::uint8_t { kText, kNumeric, kTemporal, kLogical, kBinary, kNone };
  enum class ConstForm : std::uint8_t { kString, kNumber, kLogical };

  Kind NodeKind = Kind::kConst;
  exprrec::Operator Op = exprrec::kConstOp;
  Category Type = Category::kNone;
  ExprNode* Left = nullptr;
  ExprNode* Right = nullptr;
  std::vector<ExprNode*> List;  // IN elements, function arguments

  const ExprFieldDesc* Field = nullptr;  // field node
  // Field and function nodes: the type a constant compared with them takes.
  ExprFieldType ValueType = ExprFieldType::ftUnknown;
  std::string Text;  // field name as written, function name, or the constant's text
  ConstForm Form = ConstForm::kString;  // constant
  bool Tied = false;                // constant: converted to ValueType of what it is compared with
  bool CaseInsensitive = false;     // string comparison
  std::uint16_t PartialLength = 0;  // string comparison: prefix length, 0 = whole text
};

class TFilterExpr {
 public:
  TFilterExpr(TFilterOptions options, const FormatSettings& settings);
  ~TFilterExpr();
  TFilterExpr(const TFilterExpr&) = delete;
  TFilterExpr& operator=(const TFilterExpr&) = delete;

  // Throws "Field '%s' cannot be used in a filter expression" for a field that is not usable.
  ExprNode* NewFieldNode(const ExprFieldDesc& field, std::string_view nameAsWritten);
  ExprNode* NewConstNode(ExprNode::ConstForm form, std::string text);
  ExprNode* NewNullNode();
  // Comparison: = <> > < >= <=. A NULL side turns it into IS NULL / IS NOT NULL of the other;
  // a field on the right only is moved to the left with the operator mirrored.
  ExprNode* NewCompareNode(exprrec::Operator op, ExprNode* left, ExprNode* right);
  ExprNode* NewLikeNode(ExprNode* left, ExprNode* right);
  ExprNode* NewInNode(ExprNode* left, std::vector<ExprNode*> list);
  // AND, OR.
  ExprNode* NewLogicalNode(exprrec::Operator op, ExprNode* left, ExprNode* right);
  // NOT, IS NULL, IS NOT NULL.
  ExprNode* NewUnaryNode(exprrec::Operator op, ExprNode* operand);
  // + - * /
  ExprNode* NewArithmeticNode(exprrec::Operator op, ExprNode* left, ExprNode* right);
  // A call of a function of the extended syntax (see expr_functions.h). Throws "Type mismatch in
  // expression" for a wrong number or type of arguments.
  ExprNode* NewFunctionNode(std::string_view name, std::vector<ExprNode*> args);

  // Writes the record with `root` at node offset 0. Throws "Incorrectly formed filter expression"
  // when the root is not of logical type.
  std::vector<std::uint8_t> GetFilterData(const ExprNode* root);

 private:
  ExprNode* Add(ExprNode node, std::size_t operandCount);
  void RequireCategory(const ExprNode* node, ExprNode::Category category) const;
  void RequireComparable(const ExprNode* a, const ExprNode* b) const;
  void TieConstant(ExprNode* constant, const ExprNode* other) const;

  TFilterOptions options_;
  FormatSettings settings_;
  std::vector<std::unique_ptr<ExprNode>> nodes_;
  std::size_t nodeBytes_ = 0;  // node area bytes of every node made so far, for the size limit
};
