// Sqlda: an XSQLDA (the client library's description of a statement's parameters or columns)
// together with the value buffers and null indicators its entries point at.
//
// ColumnShape maps one entry to the interface's logical type, subtype, length, precision and scale.
#pragma once

#include <ibase.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "db/driver/sql_driver.h"

class Sqlda {
 public:
  explicit Sqlda(int capacity = 1);
  Sqlda(const Sqlda&) = delete;
  Sqlda& operator=(const Sqlda&) = delete;

  XSQLDA* get() { return reinterpret_cast<XSQLDA*>(raw_.data()); }
  const XSQLDA* get() const { return reinterpret_cast<const XSQLDA*>(raw_.data()); }
  // Entries described (sqld); may exceed the capacity after a describe.
  int Count() const { return get()->sqld; }
  // Capacity for at least `count` entries; the description is lost.
  void Reserve(int count);
  XSQLVAR& Var(int index) { return get()->sqlvar[index]; }
  const XSQLVAR& Var(int index) const { return get()->sqlvar[index]; }

  // Gives every described entry a buffer of its size and an indicator (for columns to fetch into).
  void AllocateBuffers();
  // Makes entry `index` a value of `sqltype` (nullable) with a copy of `size` bytes of `data`.
  void SetValue(int index, short sqltype, short sqlsubtype, short sqlscale, const void* data,
                std::size_t size);
  // Makes entry `index` a null of `sqltype`.
  void SetNull(int index, short sqltype, short sqlsubtype, short sqlscale);

 private:
  std::vector<std::max_align_t> raw_;
  std::vector<std::vector<char>> buffers_;
  std::vector<short> indicators_;

  void Assign(int index, short sqltype, short sqlsubtype, short sqlscale, const void* data,
              std::size_t size, bool null);
};

struct ColumnShape {
  SqlType type = SqlType::Unknown;
  SqlSubType subType = SqlSubType::None;
  std::uint32_t length = 0;
  std::int16_t precision = 0;
  std::int16_t scale = 0;  // decimals, 0 or more
};

// `declaredPrecision` is the precision of a NUMERIC/DECIMAL column as declared (0 when unknown: the
// widest the storage holds is taken).
ColumnShape DescribeColumn(const XSQLVAR& var, int declaredPrecision);

// Whether the column is a NUMERIC/DECIMAL stored as a scaled integer.
bool IsScaledInteger(const XSQLVAR& var);
