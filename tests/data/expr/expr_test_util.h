// Helpers of the expression tests: a field list like the adjustment table's, a byte builder for
// expected records, and readers of compiled records.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "data/expr/expr_fields.h"

namespace exprtest {

inline ExprFieldList AdjustmentFields() {
  using T = ExprFieldType;
  return {
      {"AJCI_ID", 1, T::ftInteger, 4, true},        {"AJCI_FECINI", 2, T::ftDate, 4, true},
      {"AJCI_PORC", 3, T::ftFMTBcd, 15, true},      {"AJCI_NOMBRE", 4, T::ftString, 300, true},
      {"AJCI_CORTO", 5, T::ftSmallint, 2, true},    {"AJCI_WORD", 6, T::ftWord, 2, true},
      {"AJCI_GRANDE", 7, T::ftLargeint, 8, true},   {"AJCI_IMPORTE", 8, T::ftCurrency, 8, true},
      {"AJCI_ACTIVO", 9, T::ftBoolean, 2, true},    {"AJCI_HORA", 10, T::ftTime, 4, true},
      {"AJCI_MOMENTO", 11, T::ftDateTime, 8, true}, {"AJCI_NOTAS", 12, T::ftMemo, 0, true},
      {"AJCI_FOTO", 13, T::ftBlob, 0, true},        {"AJCI_CALC", 14, T::ftFloat, 8, false},
      {"AJCI_BCD", 15, T::ftBCD, 15, true},
  };
}

class Bytes {
 public:
  Bytes& u16(std::uint16_t v) { return raw(&v, 2); }
  Bytes& u32(std::uint32_t v) { return raw(&v, 4); }
  Bytes& i32(std::int32_t v) { return raw(&v, 4); }
  Bytes& text(const std::string& s) {
    data_.insert(data_.end(), s.begin(), s.end());
    data_.push_back(0);
    return *this;
  }
  Bytes& raw(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    data_.insert(data_.end(), b, b + n);
    return *this;
  }
  const std::vector<std::uint8_t>& data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

inline std::uint16_t Word(const std::vector<std::uint8_t>& r, std::size_t at) {
  std::uint16_t v = 0;
  std::memcpy(&v, &r.at(at + 1) - 1, 2);
  return v;
}
inline std::uint32_t Dword(const std::vector<std::uint8_t>& r, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, &r.at(at + 3) - 3, 4);
  return v;
}

// A node of a compiled record: class, operator and its first operands, read at a node offset.
struct NodeView {
  std::uint32_t cls = 0;
  std::uint32_t op = 0;
  std::vector<std::uint16_t> operands;
  bool operator==(const NodeView&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const NodeView& n) {
  out << "{class " << n.cls << ", operator " << n.op << ", operands";
  for (std::uint16_t o : n.operands) out << ' ' << o;
  return out << '}';
}

inline NodeView ReadNode(const std::vector<std::uint8_t>& r, std::size_t nodeOffset,
                         std::size_t operandCount) {
  const std::size_t at = Word(r, 6) + nodeOffset;
  NodeView n{Dword(r, at), Dword(r, at + 4), {}};
  for (std::size_t k = 0; k < operandCount; ++k) n.operands.push_back(Word(r, at + 8 + 2 * k));
  return n;
}

inline const std::uint8_t* Literal(const std::vector<std::uint8_t>& r, std::size_t offset) {
  return &r.at(Word(r, 8) + offset);
}

}  // namespace exprtest
