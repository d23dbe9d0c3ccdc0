// The expression record: the binary form of a compiled filter or search expression, shared by
// the compiler (TFilterExpr) and the evaluator. All numbers little-endian.
//
//   header      five 16-bit words: version, total size, node count (kNodeCountUnused), start of
//               the node area (kHeaderSize), start of the literal area
//   node area   nodes one after another: class (32-bit), operator (32-bit), operands (16-bit each);
//               node operands are offsets from the start of the node area, the root is at 0
//   literals    field names (zero-terminated, as written) and constant values
//
// Operands by node class:
//   kUnary      the operand node
//   kBinary     left node, right node (comparisons, AND, OR, LIKE, arithmetic)
//   kCompare    case-insensitive flag, partial length (0 = whole text), field node, constant node
//   kField      field number, literal offset of the name
//   kConst      engine type code, size, literal offset of the value
//   kList       left node, element count n, then n element nodes (IN)
//   kFunction   literal offset of the function's name (upper case), argument count n, then n
//               argument nodes
#pragma once

#include <cstdint>

namespace exprrec {

inline constexpr std::uint16_t kVersion = 2;
inline constexpr std::uint16_t kNodeCountUnused = 65535;
inline constexpr std::uint16_t kHeaderSize = 10;
inline constexpr std::uint32_t kMaxRecordSize = 65535;
inline constexpr std::uint32_t kNodeHeadSize = 8;

enum NodeClass : std::uint32_t {
  kUnary = 1,
  kBinary = 2,
  kCompare = 3,
  kField = 4,
  kConst = 5,
  kFunction = 6,
  kList = 7,
};

enum Operator : std::uint32_t {
  kIsNull = 1,
  kIsNotNull = 2,
  kEq = 3,
  kNe = 4,
  kGt = 5,
  kLt = 6,
  kGe = 7,
  kLe = 8,
  kNot = 9,
  kAnd = 10,
  kOr = 11,
  kLike = 12,
  kFieldOp = 13,
  kConstOp = 14,
  kAdd = 15,
  kSub = 16,
  kMul = 17,
  kDiv = 18,
  kIn = 19,
  kCall = 20,
};

// The operator with its sides exchanged: a > b is b < a.
constexpr Operator Mirrored(Operator op) {
  switch (op) {
    case kGt:
      return kLt;
    case kLt:
      return kGt;
    case kGe:
      return kLe;
    case kLe:
      return kGe;
    default:
      return op;
  }
}

constexpr bool IsRelational(std::uint32_t op) {
  return op >= kEq && op <= kLe;
}

// Engine type codes of constants.
enum TypeCode : std::uint16_t {
  kText = 1,
  kDate = 2,
  kLogical = 4,
  kSmallInt = 5,
  kInteger = 6,
  kFloat = 7,
  kBcd = 8,
  kTime = 10,
  kDateTime = 11,
  kWord = 12,
  kLargeInt = 18,
};

}  // namespace exprrec
