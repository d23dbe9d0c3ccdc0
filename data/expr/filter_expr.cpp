#include "data/expr/filter_expr.h"

#include <algorithm>

#include "base/exceptions.h"
#include "base/text.h"
#include "data/expr/expr_functions.h"
#include "data/expr/expr_messages.h"
#include "data/expr/expr_writer.h"

void ExprError(const std::string& text) {
  throw EDatabaseError(text);
}

namespace {

using Category = ExprNode::Category;
using Kind = ExprNode::Kind;

Category CategoryOfCode(std::uint16_t code) {
  switch (code) {
    case exprrec::kText:
      return Category::kText;
    case exprrec::kDate:
    case exprrec::kTime:
    case exprrec::kDateTime:
      return Category::kTemporal;
    case exprrec::kLogical:
      return Category::kLogical;
    case 0:
      return Category::kBinary;
    default:
      return Category::kNumeric;
  }
}

Category CategoryOfForm(ExprNode::ConstForm form) {
  switch (form) {
    case ExprNode::ConstForm::kString:
      return Category::kText;
    case ExprNode::ConstForm::kNumber:
      return Category::kNumeric;
    case ExprNode::ConstForm::kLogical:
      return Category::kLogical;
  }
  return Category::kNone;
}

bool IsConst(const ExprNode* n) {
  return n->NodeKind == Kind::kConst;
}
bool IsField(const ExprNode* n) {
  return n->NodeKind == Kind::kField;
}
// Nodes whose type a constant beside them takes.
bool IsTyped(const ExprNode* n) {
  return n->NodeKind == Kind::kField || n->NodeKind == Kind::kFunction;
}
bool IsNull(const ExprNode* n) {
  return n->NodeKind == Kind::kNull;
}

}  // namespace

TFilterExpr::TFilterExpr(TFilterOptions options, const FormatSettings& settings)
    : options_(options), settings_(settings) {}

TFilterExpr::~TFilterExpr() = default;

ExprNode* TFilterExpr::Add(ExprNode node, std::size_t operandCount) {
  // The record's offsets are 16-bit: refuse early, before a huge text builds a deep tree.
  nodeBytes_ += exprrec::kNodeHeadSize + 2 * operandCount;
  if (nodeBytes_ + exprrec::kHeaderSize > exprrec::kMaxRecordSize) {
    ExprError(exprmsg::kIncorrectlyFormed);
  }
  nodes_.push_back(std::make_unique<ExprNode>(std::move(node)));
  return nodes_.back().get();
}

ExprNode* TFilterExpr::NewFieldNode(const ExprFieldDesc& field, std::string_view nameAsWritten) {
  if (!field.Usable) ExprError(Format(exprmsg::kFieldNotUsable, nameAsWritten));
  ExprNode n;
  n.NodeKind = Kind::kField;
  n.Op = exprrec::kFieldOp;
  n.Field = &field;
  n.ValueType = field.DataType;
  n.Text = std::string(nameAsWritten);
  n.Type = CategoryOfCode(EngineTypeOf(field.DataType));
  return Add(std::move(n), 2);
}

ExprNode* TFilterExpr::NewConstNode(ExprNode::ConstForm form, std::string text) {
  ExprNode n;
  n.NodeKind = Kind::kConst;
  n.Op = exprrec::kConstOp;
  n.Form = form;
  n.Text = std::move(text);
  n.Type = CategoryOfForm(form);
  return Add(std::move(n), 3);
}

ExprNode* TFilterExpr::NewNullNode() {
  ExprNode n;
  n.NodeKind = Kind::kNull;
  return Add(std::move(n), 0);
}

void TFilterExpr::RequireCategory(const ExprNode* node, Category category) const {
  if (IsNull(node)) ExprError(exprmsg::kNullOnlyWithEq);
  if (node->Type != category) ExprError(exprmsg::kTypeMismatch);
}

void TFilterExpr::RequireComparable(const ExprNode* a, const ExprNode* b) const {
  if (IsNull(a) || IsNull(b)) ExprError(exprmsg::kNullOnlyWithEq);
  if (a->Type == Category::kBinary || b->Type == Category::kBinary) {
    ExprError(exprmsg::kTypeMismatch);
  }
  // A constant beside a field takes the field's type; the conversion checks it when written.
  if ((IsConst(a) && IsTyped(b)) || (IsTyped(a) && IsConst(b))) return;
  if (a->Type != b->Type) ExprError(exprmsg::kTypeMismatch);
}

void TFilterExpr::TieConstant(ExprNode* constant, const ExprNode* other) const {
  if (IsConst(constant) && IsTyped(other) && !constant->Tied) {
    constant->Tied = true;
    constant->ValueType = other->ValueType;
    constant->Type = other->Type;
  }
}

ExprNode* TFilterExpr::NewCompareNode(exprrec::Operator op, ExprNode* left, ExprNode* right) {
  if (IsNull(left) || IsNull(right)) {
    if (op != exprrec::kEq && op != exprrec::kNe) ExprError(exprmsg::kNullOnlyWithEq);
    ExprNode* other = IsNull(left) ? right : left;
    if (IsNull(other)) ExprError(exprmsg::kTypeMismatch);
    return NewUnaryNode(op == exprrec::kEq ? exprrec::kIsNull : exprrec::kIsNotNull, other);
  }
  RequireComparable(left, right);
  if (IsTyped(right) && !IsTyped(left)) {
    std::swap(left, right);
    op = exprrec::Mirrored(op);
  }
  TieConstant(right, left);
  TieConstant(left, right);

  ExprNode n;
  n.NodeKind = Kind::kBinary;
  n.Op = op;
  n.Type = Category::kLogical;
  n.Left = left;
  n.Right = right;
  if (IsField(left) && left->Type == Category::kText && IsConst(right)) {
    const bool caseInsensitive = (options_ & foCaseInsensitive) != 0;
    const bool partial =
        (options_ & foNoPartialCompare) == 0 && !right->Text.empty() && right->Text.back() == '*';
    if (caseInsensitive || partial) {
      n.NodeKind = Kind::kCompare;
      n.CaseInsensitive = caseInsensitive;
      if (partial) {
        right->Text.pop_back();
        n.PartialLength =
            static_cast<std::uint16_t>(std::min(right->Text.size(), kMaxTextConstant));
      }
      return Add(std::move(n), 4);
    }
  }
  return Add(std::move(n), 2);
}

ExprNode* TFilterExpr::NewLikeNode(ExprNode* left, ExprNode* right) {
  RequireComparable(left, right);
  TieConstant(right, left);
  TieConstant(left, right);
  if (left->Type != Category::kText || right->Type != Category::kText) {
    ExprError(exprmsg::kTypeMismatch);
  }
  ExprNode n;
  n.NodeKind = Kind::kBinary;
  n.Op = exprrec::kLike;
  n.Type = Category::kLogical;
  n.Left = left;
  n.Right = right;
  return Add(std::move(n), 2);
}

ExprNode* TFilterExpr::NewInNode(ExprNode* left, std::vector<ExprNode*> list) {
  for (ExprNode* element : list) {
    RequireComparable(left, element);
    TieConstant(element, left);
    TieConstant(left, element);
  }
  ExprNode n;
  n.NodeKind = Kind::kList;
  n.Op = exprrec::kIn;
  n.Type = Category::kLogical;
  n.Left = left;
  const std::size_t count = list.size();
  n.List = std::move(list);
  return Add(std::move(n), 2 + count);
}

ExprNode* TFilterExpr::NewLogicalNode(exprrec::Operator op, ExprNode* left, ExprNode* right) {
  RequireCategory(left, Category::kLogical);
  RequireCategory(right, Category::kLogical);
  ExprNode n;
  n.NodeKind = Kind::kBinary;
  n.Op = op;
  n.Type = Category::kLogical;
  n.Left = left;
  n.Right = right;
  return Add(std::move(n), 2);
}

ExprNode* TFilterExpr::NewUnaryNode(exprrec::Operator op, ExprNode* operand) {
  if (op == exprrec::kNot) {
    RequireCategory(operand, Category::kLogical);
  } else if (IsNull(operand)) {
    ExprError(exprmsg::kNullOnlyWithEq);
  }
  ExprNode n;
  n.NodeKind = Kind::kUnary;
  n.Op = op;
  n.Type = Category::kLogical;
  n.Left = operand;
  return Add(std::move(n), 1);
}

ExprNode* TFilterExpr::NewArithmeticNode(exprrec::Operator op, ExprNode* left, ExprNode* right) {
  RequireCategory(left, Category::kNumeric);
  RequireCategory(right, Category::kNumeric);
  ExprNode n;
  n.NodeKind = Kind::kBinary;
  n.Op = op;
  n.Type = Category::kNumeric;
  n.Left = left;
  n.Right = right;
  return Add(std::move(n), 2);
}

ExprNode* TFilterExpr::NewFunctionNode(std::string_view name, std::vector<ExprNode*> args) {
  const ExprFunctionInfo* info = FindExprFunction(name);
  if (!info) ExprError(exprmsg::kIncorrectlyFormed);
  if (args.size() < info->MinArgs || args.size() > info->MaxArgs) {
    ExprError(exprmsg::kTypeMismatch);
  }
  RequireCategory(args[0], info->TextArgument ? Category::kText : Category::kTemporal);
  for (std::size_t k = 1; k < args.size(); ++k) RequireCategory(args[k], Category::kNumeric);
  ExprNode n;
  n.NodeKind = Kind::kFunction;
  n.Op = exprrec::kCall;
  n.Text = std::string(info->Name);
  n.ValueType = info->Result;
  n.Type = CategoryOfCode(EngineTypeOf(info->Result));
  const std::size_t count = args.size();
  n.List = std::move(args);
  return Add(std::move(n), 2 + count);
}

std::vector<std::uint8_t> TFilterExpr::GetFilterData(const ExprNode* root) {
  if (IsNull(root)) ExprError(exprmsg::kNullOnlyWithEq);
  if (root->Type != Category::kLogical) ExprError(exprmsg::kIncorrectlyFormed);
  return WriteExprRecord(*root, settings_);
}
