// How a cursor's column descriptions become field definitions, and how a column's value is read
// into the native bytes of its field type (see db/dataset/field_type.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/dataset/field_defs.h"
#include "db/driver/sql_driver.h"
#include "db/sql/sql_error.h"

// A column as the driver describes it.
struct SQLColumnDesc {
  std::string name;
  SqlType type = SqlType::Unknown;
  SqlSubType subType = SqlSubType::None;
  std::uint32_t length = 0;
  std::int16_t precision = 0;
  std::int16_t scale = 0;
  bool nullable = true;
  bool readOnly = false;
};

// The field definition for `column`; its name is taken as given. Decimals: the scale is taken as
// its absolute value and the precision raised to it; 38 digits with scale 0 or 38 become 32,8;
// over 14 digits or over 4 decimals make a formatted-BCD field (precision at most 32), others a
// BCD field.
TFieldDef ColumnFieldDef(const SQLColumnDesc& column);

// `name`, or, when `defs` holds it already (ignoring case), the first free "name_1", "name_2"...
std::string UniqueFieldName(const TFieldDefs& defs, const std::string& name);

// Reads the column descriptions of `cursor` (every column, in order). Failures are raised as
// composed messages remembered in `last`.
std::vector<SQLColumnDesc> DescribeColumns(ISQLCursor& cursor, LastDriverError& last);

// One column's value in the current row, kept as the native bytes of its field type.
class ColumnValue {
 public:
  ColumnValue(std::uint16_t column, SqlType type, SqlSubType subType);

  // Reads the value of the current row with the getter of its type.
  void Read(ISQLCursor& cursor, LastDriverError& last);

  bool IsNull() const { return is_null_; }
  const std::uint8_t* Data() const;
  std::uint32_t Size() const;

 private:
  std::uint16_t column_;
  SqlType type_;
  bool is_null_ = true;
  alignas(8) std::uint8_t fixed_[sizeof(TBcd)] = {};
  std::uint32_t fixed_size_ = 0;
  std::string text_;
  std::vector<std::uint8_t> bytes_;
};
