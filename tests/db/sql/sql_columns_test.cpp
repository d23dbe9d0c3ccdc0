// Column descriptions becoming field definitions: the decimal rules and free names.
#include "db/sql/sql_columns.h"

#include <gtest/gtest.h>

namespace {

TEST(ColumnFieldDef, DecimalColumns) {
  struct Case {
    SqlType type;
    std::int16_t precision, scale;
    TFieldType expectedType;
    std::int32_t expectedPrecision, expectedSize;
  };
  const Case cases[] = {
      {SqlType::Bcd, 15, 4, TFieldType::ftFMTBcd, 15, 4},  // NUMERIC(15,4)
      {SqlType::Bcd, 14, 4, TFieldType::ftBCD, 14, 4},
      {SqlType::Bcd, 9, 5, TFieldType::ftFMTBcd, 9, 5},
      {SqlType::FmtBcd, 10, 2, TFieldType::ftBCD, 10, 2},
      {SqlType::Bcd, 4, -2, TFieldType::ftBCD, 4, 2},  // scale taken as its absolute value
      {SqlType::Bcd, 2, 3, TFieldType::ftBCD, 3, 3},   // precision raised to the scale
      {SqlType::Bcd, 38, 0, TFieldType::ftFMTBcd, 32, 8},
      {SqlType::Bcd, 38, 38, TFieldType::ftFMTBcd, 32, 8},
      {SqlType::Bcd, 38, 10, TFieldType::ftFMTBcd, 32, 10},  // capped at 32
      {SqlType::FmtBcd, 18, 0, TFieldType::ftFMTBcd, 18, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.precision << "," << c.scale);
    SQLColumnDesc column{"N", c.type, SqlSubType::None, 18, c.precision, c.scale, true, false};
    const TFieldDef def = ColumnFieldDef(column);
    EXPECT_EQ(def.DataType, c.expectedType);
    EXPECT_EQ(def.Precision, c.expectedPrecision);
    EXPECT_EQ(def.Size, c.expectedSize);
  }
}

TEST(ColumnFieldDef, OtherColumnTypes) {
  struct Case {
    SqlType type;
    SqlSubType subType;
    TFieldType expected;
  };
  const Case cases[] = {
      {SqlType::Text, SqlSubType::None, TFieldType::ftString},
      {SqlType::Text, SqlSubType::FixedChar, TFieldType::ftFixedChar},
      {SqlType::Int16, SqlSubType::None, TFieldType::ftSmallint},
      {SqlType::Int32, SqlSubType::None, TFieldType::ftInteger},
      {SqlType::Int64, SqlSubType::None, TFieldType::ftLargeint},
      {SqlType::Float, SqlSubType::None, TFieldType::ftFloat},
      {SqlType::Date, SqlSubType::None, TFieldType::ftDate},
      {SqlType::Time, SqlSubType::None, TFieldType::ftTime},
      {SqlType::Timestamp, SqlSubType::None, TFieldType::ftDateTime},
      {SqlType::Blob, SqlSubType::Memo, TFieldType::ftMemo},
      {SqlType::Blob, SqlSubType::Binary, TFieldType::ftBlob},
  };
  for (const Case& c : cases) {
    SQLColumnDesc column{"C", c.type, c.subType, 40, 40, 0, false, true};
    const TFieldDef def = ColumnFieldDef(column);
    EXPECT_EQ(def.DataType, c.expected) << static_cast<int>(c.type);
    EXPECT_TRUE(def.Required);
    EXPECT_TRUE(def.ReadOnly);
  }
}

TEST(UniqueFieldName, CountsFromOneUntilTheNameIsFree) {
  TFieldDefs defs;
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {{"ID", "ID"},       {"ID", "ID_1"}, {"id", "id_2"},
                        {"ID_1", "ID_1_1"}, {"X", "X"},     {"x", "x_1"}};
  for (const Case& c : cases) {
    const std::string name = UniqueFieldName(defs, c.name);
    EXPECT_EQ(name, c.expected);
    defs.Add(name, TFieldType::ftInteger);
  }
}

}  // namespace
