#include "data/expr/expr_value.h"

#include <algorithm>

#include "base/date_time.h"
#include "data/expr/expr_record.h"

namespace expreval {

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
      std::memcpy(&v.bcd, p, sizeof v.bcd);
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
static bool IsTemporal(const Value& v) {
  return v.tag == Value::kDate || v.tag == Value::kTime || v.tag == Value::kDateTime;
}

double AsDouble(const Value& v) {
  switch (v.tag) {
    case Value::kInt:
      return static_cast<double>(v.i);
    case Value::kBcd:
      return BcdToDouble(v.bcd);
    case Value::kDate:
      return static_cast<double>(v.i) * kMSecsPerDay;
    case Value::kTime:
      return static_cast<double>(v.i);
    default:
      return v.f;
  }
}

template <typename T>
static int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

static unsigned char Fold(unsigned char c, bool caseInsensitive) {
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

// Reads a decimal of at most 18 digits as sign * mantissa / 10^scale; false for longer ones.
static bool SmallDecimal(const TBcd& v, __int128& mantissa, int& scale) {
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
static int CompareDecimals(const TBcd& a, const TBcd& b) {
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
    if (a.tag == Value::kBcd && b.tag == Value::kBcd) return CompareDecimals(a.bcd, b.bcd);
    if (a.tag == Value::kBcd && b.tag == Value::kInt) {
      return CompareDecimals(a.bcd, IntegerToBcd(b.i));
    }
    if (a.tag == Value::kInt && b.tag == Value::kBcd) {
      return CompareDecimals(IntegerToBcd(a.i), b.bcd);
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

Value Arith(std::uint32_t op, const Value& a, const Value& b) {
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

// A position or length in 0..limit from any floating number.
std::size_t ClampIndex(double x, std::size_t limit) {
  if (!(x > 0)) return 0;
  if (x >= static_cast<double>(limit)) return limit;
  return static_cast<std::size_t>(x);
}

Value DatePart(ExprFunction f, const Value& arg) {
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

}  // namespace expreval
