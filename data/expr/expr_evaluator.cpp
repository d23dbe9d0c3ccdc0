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

namespace {

// A value met during evaluation; text and decimals point into the row or the plan.
struct Value {
  // kOpaque: a value the evaluator cannot read (binary, BLOB, a damaged size); it is not null
  // but compares with nothing.
  enum Tag : std::uint8_t {
    kNull,
    kBool,
    kInt,
    kFloat,
    kBcd,
    kText,
    kDate,
    kTime,
    kDateTime,
    kOpaque
  };
  Tag tag = kNull;
  bool b = false;
  std::int64_t i = 0;  // integers, dates (day number), times (milliseconds)
  double f = 0;        // floating numbers, date-and-time (milliseconds)
  const TBcd* bcd = nullptr;
  const char* s = nullptr;
  std::size_t len = 0;

  static Value Bool(bool v) {
    Value r;
    r.tag = kBool;
    r.b = v;
    return r;
  }
};

template <typename T>
T Load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}

// Reads native bytes of engine type `code`; an unknown type or a size that does not fit the type
// reads as kOpaque.
Value Decode(std::uint16_t code, const std::uint8_t* p, std::uint32_t size) {
  Value v;
  v.tag = Value::kOpaque;
  if (!p) return v;
  auto need = [&](std::uint32_t n) { return size == n; };
  switch (code) {
    case exprrec::kText: {
      const void* zero = std::memchr(p, 0, size);
      v.tag = Value::kText;
      v.s = reinterpret_cast<const char*>(p);
      v.len = zero ? static_cast<const std::uint8_t*>(zero) - p : size;
      return v;
    }
    case exprrec::kLogical:
      if (!need(2)) return v;
      v.tag = Value::kBool;
      v.b = Load<std::int16_t>(p) != 0;
      return v;
    case exprrec::kSmallInt:
      if (!need(2)) return v;
      v.tag = Value::kInt;
      v.i = Load<std::int16_t>(p);
      return v;
    case exprrec::kWord:
      if (!need(2)) return v;
      v.tag = Value::kInt;
      v.i = Load<std::uint16_t>(p);
      return v;
    case exprrec::kInteger:
      if (!need(4)) return v;
      v.tag = Value::kInt;
      v.i = Load<std::int32_t>(p);
      return v;
    case exprrec::kLargeInt:
      if (!need(8)) return v;
      v.tag = Value::kInt;
      v.i = Load<std::int64_t>(p);
      return v;
    case exprrec::kFloat:
      if (!need(8)) return v;
      v.tag = Value::kFloat;
      v.f = Load<double>(p);
      return v;
    case exprrec::kBcd:
      if (!need(sizeof(TBcd))) return v;
      v.tag = Value::kBcd;
      v.bcd = reinterpret_cast<const TBcd*>(p);
      return v;
    case exprrec::kDate:
      if (!need(4)) return v;
      v.tag = Value::kDate;
      v.i = Load<std::int32_t>(p);
      return v;
    case exprrec::kTime:
      if (!need(4)) return v;
      v.tag = Value::kTime;
      v.i = Load<std::int32_t>(p);
      return v;
    case exprrec::kDateTime:
      if (!need(8)) return v;
      v.tag = Value::kDateTime;
      v.f = Load<double>(p);
      return v;
    default:
      return v;
  }
}

bool IsNumeric(const Value& v) {
  return v.tag == Value::kInt || v.tag == Value::kFloat || v.tag == Value::kBcd;
}
bool IsTemporal(const Value& v) {
  return v.tag == Value::kDate || v.tag == Value::kTime || v.tag == Value::kDateTime;
}

double AsDouble(const Value& v) {
  switch (v.tag) {
    case Value::kInt:
      return static_cast<double>(v.i);
    case Value::kBcd:
      return BcdToDouble(*v.bcd);
    case Value::kDate:
      return static_cast<double>(v.i) * kMSecsPerDay;
    case Value::kTime:
      return static_cast<double>(v.i);
    default:
      return v.f;
  }
}

template <typename T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

unsigned char Fold(unsigned char c, bool caseInsensitive) {
  return caseInsensitive && c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

int CompareText(const char* a, std::size_t na, const char* b, std::size_t nb, bool ci) {
  const std::size_t n = na < nb ? na : nb;
  for (std::size_t k = 0; k < n; ++k) {
    const unsigned char x = Fold(static_cast<unsigned char>(a[k]), ci);
    const unsigned char y = Fold(static_cast<unsigned char>(b[k]), ci);
    if (x != y) return x < y ? -1 : 1;
  }
  return Order(na, nb);
}

constexpr int kIncomparable = 2;

// Reads a decimal of at most 18 digits as sign * mantissa / 10^scale; false for longer ones.
bool SmallDecimal(const TBcd& v, __int128& mantissa, int& scale) {
  const int precision = v.Precision;
  if (precision > 18) return false;
  std::int64_t m = 0;
  for (int k = 0; k < precision; ++k) {
    const std::uint8_t byte = v.Fraction[k / 2];
    const int digit = (k % 2 == 0) ? byte >> 4 : byte & 0x0F;
    if (digit > 9) return false;
    m = m * 10 + digit;
  }
  scale = v.SignSpecialPlaces & 0x3F;
  mantissa = (v.SignSpecialPlaces & 0x80) ? -m : m;
  return scale <= precision;
}

// Decimals as the engine keeps them (NUMERIC(15,4)) compare as scaled integers; longer ones
// through the general comparison.
int CompareDecimals(const TBcd& a, const TBcd& b) {
  __int128 x = 0, y = 0;
  int xs = 0, ys = 0;
  if (!SmallDecimal(a, x, xs) || !SmallDecimal(b, y, ys)) return BcdCompare(a, b);
  for (; xs < ys; ++xs) x *= 10;
  for (; ys < xs; ++ys) y *= 10;
  return Order(x, y);
}

// -1, 0, 1, or kIncomparable for nulls and values of unrelated kinds.
int CompareValues(const Value& a, const Value& b) {
  if (a.tag == Value::kNull || b.tag == Value::kNull) return kIncomparable;
  if (IsNumeric(a) && IsNumeric(b)) {
    if (a.tag == Value::kInt && b.tag == Value::kInt) return Order(a.i, b.i);
    if (a.tag == Value::kBcd && b.tag == Value::kBcd) return CompareDecimals(*a.bcd, *b.bcd);
    if (a.tag == Value::kBcd && b.tag == Value::kInt) {
      return CompareDecimals(*a.bcd, IntegerToBcd(b.i));
    }
    if (a.tag == Value::kInt && b.tag == Value::kBcd) {
      return CompareDecimals(IntegerToBcd(a.i), *b.bcd);
    }
    return Order(AsDouble(a), AsDouble(b));
  }
  if (IsTemporal(a) && IsTemporal(b)) {
    if (a.tag == b.tag && a.tag != Value::kDateTime) return Order(a.i, b.i);
    return Order(AsDouble(a), AsDouble(b));
  }
  if (a.tag == Value::kText && b.tag == Value::kText) {
    return CompareText(a.s, a.len, b.s, b.len, false);
  }
  if (a.tag == Value::kBool && b.tag == Value::kBool) return Order(a.b, b.b);
  return kIncomparable;
}

bool Holds(std::uint32_t op, int order) {
  if (order == kIncomparable) return false;
  switch (op) {
    case exprrec::kEq:
      return order == 0;
    case exprrec::kNe:
      return order != 0;
    case exprrec::kGt:
      return order > 0;
    case exprrec::kLt:
      return order < 0;
    case exprrec::kGe:
      return order >= 0;
    case exprrec::kLe:
      return order <= 0;
    default:
      return false;
  }
}

// "%" any run of characters, "_" exactly one; backtracks only to the last "%", so the cost stays
// within length(text) * length(pattern).
bool Like(const char* s, std::size_t n, const char* p, std::size_t m) {
  std::size_t si = 0, pi = 0, starP = std::string::npos, starS = 0;
  while (si < n) {
    if (pi < m && p[pi] == '%') {
      starP = pi++;
      starS = si;
    } else if (pi < m && (p[pi] == '_' || p[pi] == s[si])) {
      ++si;
      ++pi;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < m && p[pi] == '%') ++pi;
  return pi == m;
}

}  // namespace

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
        if (n.constant.tag == Value::kBcd && !IsValidBcd(*n.constant.bcd)) Bad();
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

  // A position or length in 0..limit from any floating number.
  static std::size_t ClampIndex(double x, std::size_t limit) {
    if (!(x > 0)) return 0;
    if (x >= static_cast<double>(limit)) return limit;
    return static_cast<std::size_t>(x);
  }

  static Value DatePart(ExprFunction f, const Value& arg) {
    constexpr std::int64_t kLastDay = 3652059;  // 31 December 9999
    // Day number and milliseconds of the day; day -1 for a time, which has no date.
    std::int64_t day = -1, msecs = 0;
    if (arg.tag == Value::kDate) {
      day = arg.i;
    } else if (arg.tag == Value::kTime) {
      msecs = arg.i;
    } else if (arg.tag == Value::kDateTime) {
      if (!(arg.f >= 0 && arg.f < static_cast<double>(kLastDay + 1) * kMSecsPerDay)) {
        return Value{};
      }
      day = static_cast<std::int64_t>(arg.f / kMSecsPerDay);
      msecs = static_cast<std::int64_t>(arg.f - static_cast<double>(day) * kMSecsPerDay);
    } else {
      return Value{};
    }
    if (day != -1 && (day < 1 || day > kLastDay)) return Value{};
    if (msecs < 0 || msecs >= kMSecsPerDay) return Value{};
    Value r;
    r.tag = Value::kInt;
    switch (f) {
      case ExprFunction::kYear:
      case ExprFunction::kMonth:
      case ExprFunction::kDay: {
        if (day == -1) return Value{};
        int y = 0, m = 0, d = 0;
        DecodeDate(DayNumberToDate(static_cast<std::int32_t>(day)), y, m, d);
        r.i = f == ExprFunction::kYear ? y : (f == ExprFunction::kMonth ? m : d);
        return r;
      }
      case ExprFunction::kHour:
        r.i = msecs / 3600000;
        return r;
      case ExprFunction::kMinute:
        r.i = msecs / 60000 % 60;
        return r;
      case ExprFunction::kSecond:
        r.i = msecs / 1000 % 60;
        return r;
      case ExprFunction::kDate:
        if (day == -1) return Value{};
        r.tag = Value::kDate;
        r.i = day;
        return r;
      case ExprFunction::kTime:
        r.tag = Value::kTime;
        r.i = msecs;
        return r;
      default:
        return Value{};
    }
  }

  static bool True(const Value& v) { return v.tag == Value::kBool && v.b; }

  static Value Arith(std::uint32_t op, const Value& a, const Value& b) {
    if (!IsNumeric(a) || !IsNumeric(b)) return Value{};
    const double x = AsDouble(a), y = AsDouble(b);
    Value r;
    r.tag = Value::kFloat;
    switch (op) {
      case exprrec::kAdd:
        r.f = x + y;
        break;
      case exprrec::kSub:
        r.f = x - y;
        break;
      case exprrec::kMul:
        r.f = x * y;
        break;
      default:
        if (y == 0) return Value{};
        r.f = x / y;
    }
    return r;
  }
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
