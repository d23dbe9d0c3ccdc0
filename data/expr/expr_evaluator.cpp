#include "data/expr/expr_evaluator.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "data/expr/expr_functions.h"
#include "data/expr/expr_messages.h"
#include "data/expr/expr_record.h"
#include "data/expr/expr_value.h"

using namespace expreval;

struct ExprEvaluator::Plan {
  enum class Kind : std::uint8_t {
    kField,
    kConst,
    kNot,
    kIsNull,
    kIsNotNull,
    kCompare,
    kText,
    kAnd,
    kOr,
    kLike,
    kArith,
    kIn,
    kFunction
  };
  struct Node {
    Kind kind = Kind::kConst;
    std::uint32_t op = 0;
    std::uint16_t fieldNo = 0;
    bool caseInsensitive = false;
    std::uint16_t partial = 0;
    std::uint32_t a = 0, b = 0;  // operands; IN: left node, then `b` elements from list[first]
    std::uint32_t first = 0;
    Value constant;
    ExprFunction function = ExprFunction::kUpper;
    // UPPER and LOWER write their result here; it keeps its capacity from row to row.
    mutable std::string scratch;
  };

  std::vector<std::uint8_t> record;
  std::vector<Node> nodes;
  std::vector<std::uint32_t> list;  // IN elements

  std::size_t nodeStart = 0, literalStart = 0, total = 0;
  std::vector<bool> visited;

  [[noreturn]] static void Bad() { ExprError(exprmsg::kIncorrectlyFormed); }

  std::uint16_t Word(std::size_t at) const {
    if (at + 2 > record.size()) Bad();
    return Load<std::uint16_t>(&record[at]);
  }

  void Build() {
    if (record.size() < exprrec::kHeaderSize) Bad();
    total = Word(2);
    nodeStart = Word(6);
    literalStart = Word(8);
    if (Word(0) != exprrec::kVersion || total != record.size() ||
        nodeStart != exprrec::kHeaderSize || literalStart < nodeStart || literalStart > total) {
      Bad();
    }
    visited.assign(literalStart - nodeStart, false);
    BuildNode(0, false);
  }

  // Offsets grow strictly from a node to its operands and no node is reached twice, so the plan
  // is a tree no deeper than the record is long.
  std::uint32_t BuildNode(std::size_t offset, bool hasParent, std::size_t parentOffset = 0) {
    const std::size_t area = literalStart - nodeStart;
    if ((hasParent && offset <= parentOffset) || offset + exprrec::kNodeHeadSize > area ||
        visited[offset]) {
      Bad();
    }
    visited[offset] = true;
    const std::size_t at = nodeStart + offset;
    const std::uint32_t cls = Load<std::uint32_t>(&record[at]);
    const std::uint32_t op = Load<std::uint32_t>(&record[at + 4]);
    auto operand = [&](std::size_t k) {
      const std::size_t pos = at + exprrec::kNodeHeadSize + 2 * k;
      if (pos + 2 > nodeStart + area) Bad();
      return Load<std::uint16_t>(&record[pos]);
    };
    const auto index = static_cast<std::uint32_t>(nodes.size());
    nodes.emplace_back();
    Node n;
    n.op = op;
    switch (cls) {
      case exprrec::kUnary:
        if (op == exprrec::kNot)
          n.kind = Kind::kNot;
        else if (op == exprrec::kIsNull)
          n.kind = Kind::kIsNull;
        else if (op == exprrec::kIsNotNull)
          n.kind = Kind::kIsNotNull;
        else
          Bad();
        n.a = BuildNode(operand(0), true, offset);
        break;
      case exprrec::kBinary:
        if (exprrec::IsRelational(op))
          n.kind = Kind::kCompare;
        else if (op == exprrec::kAnd)
          n.kind = Kind::kAnd;
        else if (op == exprrec::kOr)
          n.kind = Kind::kOr;
        else if (op == exprrec::kLike)
          n.kind = Kind::kLike;
        else if (op >= exprrec::kAdd && op <= exprrec::kDiv)
          n.kind = Kind::kArith;
        else
          Bad();
        n.a = BuildNode(operand(0), true, offset);
        n.b = BuildNode(operand(1), true, offset);
        break;
      case exprrec::kCompare:
        if (!exprrec::IsRelational(op)) Bad();
        n.kind = Kind::kText;
        n.caseInsensitive = operand(0) != 0;
        n.partial = operand(1);
        n.a = BuildNode(operand(2), true, offset);
        n.b = BuildNode(operand(3), true, offset);
        if (nodes[n.a].kind != Kind::kField || nodes[n.b].kind != Kind::kConst ||
            nodes[n.b].constant.tag != Value::kText) {
          Bad();
        }
        break;
      case exprrec::kField:
        if (op != exprrec::kFieldOp) Bad();
        n.kind = Kind::kField;
        n.fieldNo = operand(0);
        if (operand(1) >= total - literalStart) Bad();
        break;
      case exprrec::kConst: {
        if (op != exprrec::kConstOp) Bad();
        n.kind = Kind::kConst;
        const std::uint16_t code = operand(0);
        const std::size_t size = operand(1), where = operand(2);
        if (where + size > total - literalStart) Bad();
        n.constant =
            Decode(code, record.data() + literalStart + where, static_cast<std::uint32_t>(size));
        if (n.constant.tag == Value::kOpaque) Bad();
        if (n.constant.tag == Value::kBcd && !IsValidBcd(n.constant.bcd)) Bad();
        break;
      }
      case exprrec::kFunction: {
        if (op != exprrec::kCall) Bad();
        n.kind = Kind::kFunction;
        const std::size_t nameAt = operand(0);
        const std::size_t literalSize = total - literalStart;
        if (nameAt >= literalSize) Bad();
        const char* name = reinterpret_cast<const char*>(record.data() + literalStart + nameAt);
        const void* zero = std::memchr(name, 0, literalSize - nameAt);
        if (!zero) Bad();
        const ExprFunctionInfo* info =
            FindExprFunction(std::string_view(name, static_cast<const char*>(zero) - name));
        const std::uint16_t count = operand(1);
        if (!info || count < info->MinArgs || count > info->MaxArgs) Bad();
        n.function = info->Id;
        std::vector<std::uint16_t> args(count);
        for (std::size_t k = 0; k < count; ++k) args[k] = operand(2 + k);
        std::vector<std::uint32_t> built;
        for (std::uint16_t a : args) built.push_back(BuildNode(a, true, offset));
        n.first = static_cast<std::uint32_t>(list.size());
        n.b = count;
        list.insert(list.end(), built.begin(), built.end());
        n.scratch.reserve(64);
        break;
      }
      case exprrec::kList: {
        if (op != exprrec::kIn) Bad();
        n.kind = Kind::kIn;
        const std::uint16_t count = operand(1);
        if (count == 0) Bad();
        std::vector<std::uint16_t> elements(count);
        for (std::size_t k = 0; k < count; ++k) elements[k] = operand(2 + k);
        n.a = BuildNode(operand(0), true, offset);
        std::vector<std::uint32_t> built;
        for (std::uint16_t e : elements) built.push_back(BuildNode(e, true, offset));
        n.first = static_cast<std::uint32_t>(list.size());
        n.b = count;
        list.insert(list.end(), built.begin(), built.end());
        break;
      }
      default:
        Bad();
    }
    nodes[index] = n;
    return index;
  }

  Value Eval(std::uint32_t index, const ExprRow& row) const {
    const Node& n = nodes[index];
    switch (n.kind) {
      case Kind::kField: {
        const ExprFieldValue f = row.Field(n.fieldNo);
        if (f.Blank != ExprBlank::kValue) return Value{};
        return Decode(f.Type, static_cast<const std::uint8_t*>(f.Data), f.Size);
      }
      case Kind::kConst:
        return n.constant;
      case Kind::kNot: {
        const Value v = Eval(n.a, row);
        return v.tag == Value::kBool ? Value::Bool(!v.b) : Value{};
      }
      case Kind::kIsNull:
        return Value::Bool(Eval(n.a, row).tag == Value::kNull);
      case Kind::kIsNotNull:
        return Value::Bool(Eval(n.a, row).tag != Value::kNull);
      case Kind::kCompare:
        return Value::Bool(Holds(n.op, CompareValues(Eval(n.a, row), Eval(n.b, row))));
      case Kind::kText: {
        const Value a = Eval(n.a, row);
        if (a.tag != Value::kText) return Value::Bool(false);
        const Value& b = nodes[n.b].constant;
        const std::size_t len = n.partial != 0 && a.len > n.partial ? n.partial : a.len;
        return Value::Bool(Holds(n.op, CompareText(a.s, len, b.s, b.len, n.caseInsensitive)));
      }
      case Kind::kAnd:
        return Value::Bool(True(Eval(n.a, row)) && True(Eval(n.b, row)));
      case Kind::kOr:
        return Value::Bool(True(Eval(n.a, row)) || True(Eval(n.b, row)));
      case Kind::kLike: {
        const Value a = Eval(n.a, row);
        const Value b = Eval(n.b, row);
        if (a.tag != Value::kText || b.tag != Value::kText) return Value::Bool(false);
        return Value::Bool(Like(a.s, a.len, b.s, b.len));
      }
      case Kind::kArith:
        return Arith(n.op, Eval(n.a, row), Eval(n.b, row));
      case Kind::kFunction:
        return Call(n, row);
      case Kind::kIn: {
        const Value left = Eval(n.a, row);
        for (std::uint32_t k = 0; k < n.b; ++k) {
          if (CompareValues(left, Eval(list[n.first + k], row)) == 0) return Value::Bool(true);
        }
        return Value::Bool(false);
      }
    }
    return Value{};
  }

  Value Call(const Node& n, const ExprRow& row) const {
    const Value arg = Eval(list[n.first], row);
    if (arg.tag == Value::kNull) return arg;
    switch (n.function) {
      case ExprFunction::kUpper:
      case ExprFunction::kLower: {
        if (arg.tag != Value::kText) return Value{};
        n.scratch.assign(arg.s, arg.len);
        const bool upper = n.function == ExprFunction::kUpper;
        for (char& c : n.scratch) {
          if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
          if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        }
        Value r = arg;
        r.s = n.scratch.data();
        return r;
      }
      case ExprFunction::kTrim:
      case ExprFunction::kTrimLeft:
      case ExprFunction::kTrimRight: {
        if (arg.tag != Value::kText) return Value{};
        Value r = arg;
        if (n.function != ExprFunction::kTrimRight) {
          while (r.len > 0 && static_cast<unsigned char>(*r.s) <= ' ') {
            ++r.s;
            --r.len;
          }
        }
        if (n.function != ExprFunction::kTrimLeft) {
          while (r.len > 0 && static_cast<unsigned char>(r.s[r.len - 1]) <= ' ') --r.len;
        }
        return r;
      }
      case ExprFunction::kSubstring: {
        if (arg.tag != Value::kText) return Value{};
        const Value start = Eval(list[n.first + 1], row);
        if (!IsNumeric(start)) return Value{};
        const std::size_t from = ClampIndex(AsDouble(start) - 1, arg.len);
        std::size_t count = arg.len - from;
        if (n.b > 2) {
          const Value length = Eval(list[n.first + 2], row);
          if (!IsNumeric(length)) return Value{};
          count = std::min(count, ClampIndex(AsDouble(length), arg.len));
        }
        Value r = arg;
        r.s += from;
        r.len = count;
        return r;
      }
      default:
        return DatePart(n.function, arg);
    }
  }

  static bool True(const Value& v) { return v.tag == Value::kBool && v.b; }
};

ExprEvaluator::ExprEvaluator(std::span<const std::uint8_t> record)
    : plan_(std::make_unique<Plan>()) {
  plan_->record.assign(record.begin(), record.end());
  plan_->Build();
  plan_->visited.clear();
  plan_->visited.shrink_to_fit();
}

ExprEvaluator::~ExprEvaluator() = default;
ExprEvaluator::ExprEvaluator(ExprEvaluator&&) noexcept = default;
ExprEvaluator& ExprEvaluator::operator=(ExprEvaluator&&) noexcept = default;

bool ExprEvaluator::Matches(const ExprRow& row) const {
  return Plan::True(plan_->Eval(0, row));
}
