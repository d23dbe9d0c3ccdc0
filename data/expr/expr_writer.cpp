#include "data/expr/expr_writer.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/text.h"
#include "data/expr/expr_messages.h"

namespace {

using Kind = ExprNode::Kind;

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

// Lays the nodes out depth first, each node before its operands, left before right.
class Writer {
 public:
  explicit Writer(const FormatSettings& settings) : settings_(settings) {}

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

}  // namespace

std::vector<std::uint8_t> WriteExprRecord(const ExprNode& root, const FormatSettings& settings) {
  Writer writer(settings);
  writer.Write(root);
  return writer.Finish();
}
