// How a field's type travels in a packet column, so that the cached dataset at the other end
// creates a field of the very class the provider's SQL dataset has, and the field definitions a
// packet's columns call for.
//
// A column carries an engine type (see data/engine/ds_types.h). Field types that share one engine
// type are told apart by the column's "SUBTYPE" item: a fixed CHAR from a VARCHAR, a BCD from a
// formatted BCD, fixed bytes from variable ones, and so on. The plain type of each engine type
// goes without the item, so a column written without it reads as that type.
#pragma once

#include <string_view>
#include <vector>

#include "data/engine/ds_types.h"
#include "db/dataset/field_defs.h"
#include "db/dataset/field_type.h"

inline constexpr char kSubtypeItem[] = "SUBTYPE";

struct PacketFieldType {
  engine::DSType type = engine::DSType::kBytes;
  std::string_view subtype;  // empty: no "SUBTYPE" item
};

// The engine type and subtype a field of `type` travels as; unknown types travel as bytes.
PacketFieldType PacketFieldTypeOf(TFieldType type);

// The field type a column was written for. A subtype that its engine type does not know reads as
// the plain type of that engine type.
TFieldType FieldTypeOfColumn(const engine::DSColumn& column);

// One definition per column, in column order, of the field type the column was written for. A
// decimal takes the precision ("WIDTH") and scale ("DECIMALS") the provider wrote; one without
// them is taken as 32 digits with 8 decimals. Required and read-only come from the column
// attributes (a hidden column is read-only).
void ReadFieldDefs(const std::vector<engine::DSColumn>& columns, TFieldDefs& defs);
