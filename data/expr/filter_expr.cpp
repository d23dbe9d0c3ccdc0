#include "data/expr/filter_expr.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/text.h"
#include "data/expr/expr_functions.h"
#include "data/expr/expr_messages.h"

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

std::size_t OperandCount(const ExprNode& n) {
  switch (n.NodeKind) {
    case Kind::kUnary:
      return 1;
    case Kind::kField:
    case Kind::kBinary:
      return 2;
    case Kind::kConst:
      return 3;
    case Kind::kCompare:
      return 4;
    case Kind::kList:
    case Kind::kFunction:
      return 2 + n.List.size();
    case Kind::kNull:
      return 0;
  }
  return 0;
}

[[noreturn]] void NotCorrectType(const std::string& text) {
  ExprError(Format(exprmsg::kNotCorrectType, QuotedStr(text)));
}

// A decimal integer with optional sign; out of range beyond int64 too.
std::int64_t ReadInteger(const std::string& text, std::int64_t lo, std::int64_t hi) {
  std::string_view v = text;
  bool negative = false;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  if (v.empty()) NotCorrectType(text);
  bool overflow = false;
  std::uint64_t magnitude = 0;
  for (char c : v) {
    if (c < '0' || c > '9') NotCorrectType(text);
    if (magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) overflow = true;
    if (!overflow) magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
  }
  constexpr std::uint64_t kMaxMagnitude = std::uint64_t{1} << 63;
  if (overflow || magnitude > kMaxMagnitude || (!negative && magnitude == kMaxMagnitude)) {
    ExprError(exprmsg::kOutOfRange);
  }
  const std::int64_t value =
      negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < lo || value > hi) ExprError(exprmsg::kOutOfRange);
  return value;
}

template <typename T>
void AppendRaw(std::vector<std::uint8_t>& out, T value) {
  std::uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));  // the targets are little-endian
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

}  // namespace

// Lays the nodes out depth first, each node before its operands, left before right.
class TFilterExpr::Writer {
 public:
  Writer(const FormatSettings& settings) : settings_(settings) {}

  std::uint16_t Write(const ExprNode& n) {
    const std::size_t at = nodes_.size();
    nodes_.resize(at + exprrec::kNodeHeadSize + 2 * OperandCount(n));
    Put32(at, NodeClass(n));
    Put32(at + 4, n.Op);
    std::size_t operand = at + exprrec::kNodeHeadSize;
    auto put = [&](std::size_t value) {
      Put16(operand, value);
      operand += 2;
    };
    switch (n.NodeKind) {
      case Kind::kUnary:
        put(Write(*n.Left));
        break;
      case Kind::kBinary: {
        const std::uint16_t left = Write(*n.Left);
        put(left);
        put(Write(*n.Right));
        break;
      }
      case Kind::kCompare: {
        put(n.CaseInsensitive ? 1 : 0);
        put(n.PartialLength);
        const std::uint16_t left = Write(*n.Left);
        put(left);
        put(Write(*n.Right));
        break;
      }
      case Kind::kList: {
        put(Write(*n.Left));
        put(n.List.size());
        for (const ExprNode* element : n.List) put(Write(*element));
        break;
      }
      case Kind::kFunction: {
        put(literals_.size());
        literals_.insert(literals_.end(), n.Text.begin(), n.Text.end());
        literals_.push_back(0);
        put(n.List.size());
        for (const ExprNode* arg : n.List) put(Write(*arg));
        break;
      }
      case Kind::kField:
        put(n.Field->FieldNo);
        put(literals_.size());
        literals_.insert(literals_.end(), n.Text.begin(), n.Text.end());
        literals_.push_back(0);
        break;
      case Kind::kConst: {
        const std::size_t offset = literals_.size();
        const std::uint16_t code = WriteConstant(n);
        put(code);
        put(literals_.size() - offset);
        put(offset);
        break;
      }
      case Kind::kNull:
        ExprError(exprmsg::kNullOnlyWithEq);
    }
    CheckSize();
    return static_cast<std::uint16_t>(at);
  }

  std::vector<std::uint8_t> Finish() {
    CheckSize();
    const std::size_t total = exprrec::kHeaderSize + nodes_.size() + literals_.size();
    std::vector<std::uint8_t> out;
    out.reserve(total);
    AppendRaw<std::uint16_t>(out, exprrec::kVersion);
    AppendRaw<std::uint16_t>(out, static_cast<std::uint16_t>(total));
    AppendRaw<std::uint16_t>(out, exprrec::kNodeCountUnused);
    AppendRaw<std::uint16_t>(out, exprrec::kHeaderSize);
    AppendRaw<std::uint16_t>(out, static_cast<std::uint16_t>(exprrec::kHeaderSize + nodes_.size()));
    out.insert(out.end(), nodes_.begin(), nodes_.end());
    out.insert(out.end(), literals_.begin(), literals_.end());
    return out;
  }

 private:
  static std::uint32_t NodeClass(const ExprNode& n) {
    switch (n.NodeKind) {
      case Kind::kUnary:
        return exprrec::kUnary;
      case Kind::kBinary:
        return exprrec::kBinary;
      case Kind::kCompare:
        return exprrec::kCompare;
      case Kind::kField:
        return exprrec::kField;
      case Kind::kConst:
        return exprrec::kConst;
      case Kind::kList:
        return exprrec::kList;
      case Kind::kFunction:
        return exprrec::kFunction;
      case Kind::kNull:
        break;
    }
    return 0;
  }

  // Every offset and the total must fit the record's 16-bit words.
  void CheckSize() const {
    if (exprrec::kHeaderSize + nodes_.size() + literals_.size() > exprrec::kMaxRecordSize) {
      ExprError(exprmsg::kIncorrectlyFormed);
    }
  }

  // Appends the constant's value converted to its final type; answers the engine type code.
  std::uint16_t WriteConstant(const ExprNode& n) {
    std::uint16_t code = 0;
    if (n.Tied) {
      code = EngineTypeOf(n.ValueType);
    } else {
      switch (n.Form) {
        case ExprNode::ConstForm::kString:
          code = exprrec::kText;
          break;
        case ExprNode::ConstForm::kNumber:
          code = exprrec::kFloat;
          break;
        case ExprNode::ConstForm::kLogical:
          code = exprrec::kLogical;
          break;
      }
    }
    const std::string& text = n.Text;
    switch (code) {
      case exprrec::kText: {
        const std::size_t length = std::min(text.size(), kMaxTextConstant);
        literals_.insert(literals_.end(), text.begin(), text.begin() + length);
        literals_.push_back(0);
        break;
      }
      case exprrec::kDate:
        AppendRaw<std::int32_t>(literals_, DateToDayNumber(StrToDate(text, settings_)));
        break;
      case exprrec::kTime:
        AppendRaw<std::int32_t>(literals_, TimeToMSecs(StrToTime(text, settings_)));
        break;
      case exprrec::kDateTime:
        AppendRaw<double>(literals_, DateTimeToMSecs(StrToDateTime(text, settings_)));
        break;
      case exprrec::kLogical: {
        if (!SameText(text, "True") && !SameText(text, "False")) NotCorrectType(text);
        AppendRaw<std::int16_t>(literals_, SameText(text, "True") ? 1 : 0);
        break;
      }
      case exprrec::kSmallInt:
        AppendRaw<std::int16_t>(literals_,
                                static_cast<std::int16_t>(ReadInteger(text, -32768, 32767)));
        break;
      case exprrec::kWord:
        AppendRaw<std::uint16_t>(literals_,
                                 static_cast<std::uint16_t>(ReadInteger(text, 0, 65535)));
        break;
      case exprrec::kInteger:
        AppendRaw<std::int32_t>(literals_, static_cast<std::int32_t>(ReadInteger(
                                               text, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max())));
        break;
      case exprrec::kLargeInt:
        AppendRaw<std::int64_t>(literals_,
                                ReadInteger(text, std::numeric_limits<std::int64_t>::min(),
                                            std::numeric_limits<std::int64_t>::max()));
        break;
      case exprrec::kFloat: {
        double value = 0;
        if (!TryStrToFloat(text, value, settings_) || !std::isfinite(value)) NotCorrectType(text);
        AppendRaw<double>(literals_, value);
        break;
      }
      case exprrec::kBcd: {
        const TBcd value = StrToBcd(text, settings_.DecimalSeparator);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        literals_.insert(literals_.end(), bytes, bytes + sizeof(TBcd));
        break;
      }
      default:
        ExprError(exprmsg::kTypeMismatch);
    }
    return code;
  }

  void Put16(std::size_t at, std::size_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    std::memcpy(&nodes_[at], &v, 2);
  }
  void Put32(std::size_t at, std::uint32_t value) { std::memcpy(&nodes_[at], &value, 4); }

  const FormatSettings& settings_;
  std::vector<std::uint8_t> nodes_;
  std::vector<std::uint8_t> literals_;
};

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
  Writer writer(settings_);
  writer.Write(*root);
  return writer.Finish();
}
