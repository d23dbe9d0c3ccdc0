// TFieldDef / TFieldDefs: the description of a dataset's columns as its source reports them,
// from which fields are created (or against which persistent fields are checked) at open.
//
// Size is the maximum number of characters of a text, the byte count of fixed binary, and the
// number of decimals (the scale) of a decimal; Precision is the total number of decimal digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset/field_type.h"

struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftUnknown;
  std::int32_t Size = 0;
  std::int32_t Precision = 0;
  bool Required = false;
  bool ReadOnly = false;
  std::int32_t FieldNo = 0;  // 1-based position; set by TFieldDefs::Add
};

class TFieldDefs {
 public:
  // Appends a definition and gives it the next field number. Returns the stored definition,
  // valid until the list next changes.
  TFieldDef& Add(TFieldDef def);
  TFieldDef& Add(std::string name, TFieldType type, std::int32_t size = 0, bool required = false);
  void Clear() { items_.clear(); }

  int Count() const { return static_cast<int>(items_.size()); }
  // REQUIRES: 0 <= index < Count(); otherwise throws EListError.
  const TFieldDef& Items(int index) const;
  TFieldDef& Items(int index);
  // Position of the first definition with that name (ignoring ASCII case); -1 when none.
  int IndexOf(std::string_view name) const;
  // Null when no definition has that name.
  const TFieldDef* Find(std::string_view name) const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TFieldDef> items_;
};
