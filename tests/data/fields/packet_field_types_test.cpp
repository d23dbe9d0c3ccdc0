// Field types through packet columns: every field type comes back as itself, and columns written
// without a subtype, or with one their engine type does not know, read as the plain type.
#include "data/fields/packet_field_types.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

using engine::DSColumn;
using engine::DSType;

DSColumn ColumnOf(TFieldType type) {
  const PacketFieldType travel = PacketFieldTypeOf(type);
  DSColumn c{"C", travel.type, 0, 0, {}};
  if (!travel.subtype.empty()) c.items.push_back({kSubtypeItem, std::string(travel.subtype)});
  return c;
}

TEST(PacketFieldTypes, EveryFieldTypeComesBackAsItself) {
  std::set<std::pair<DSType, std::string>> seen;
  for (int t = static_cast<int>(TFieldType::ftString); t <= static_cast<int>(TFieldType::ftFMTBcd);
       ++t) {
    const auto type = static_cast<TFieldType>(t);
    SCOPED_TRACE(FieldTypeName(type));
    EXPECT_EQ(FieldTypeOfColumn(ColumnOf(type)), type);
    const PacketFieldType travel = PacketFieldTypeOf(type);
    EXPECT_TRUE(seen.insert({travel.type, std::string(travel.subtype)}).second)
        << "two field types travel alike";
  }
}

TEST(PacketFieldTypes, ColumnsReadAsThePlainTypeWithoutAKnownSubtype) {
  struct Case {
    DSType type;
    std::optional<engine::DSAttr::Value> subtype;  // none: no item at all
    TFieldType expected;
  };
  const Case cases[] = {
      {DSType::kBcd, std::nullopt, TFieldType::ftFMTBcd},
      {DSType::kBcd, std::string("BCD"), TFieldType::ftBCD},
      {DSType::kBcd, std::string("bcd"), TFieldType::ftBCD},       // item texts ignore case
      {DSType::kBcd, std::string("Fixed"), TFieldType::ftFMTBcd},  // another engine type's subtype
      {DSType::kBcd, std::int64_t{1}, TFieldType::ftFMTBcd},       // not a text
      {DSType::kText, std::nullopt, TFieldType::ftString},
      {DSType::kText, std::string("Fixed"), TFieldType::ftFixedChar},
      {DSType::kText, std::string("VarBytes"), TFieldType::ftString},
      {DSType::kBytes, std::nullopt, TFieldType::ftBytes},
      {DSType::kBytes, std::string("VarBytes"), TFieldType::ftVarBytes},
      {DSType::kInteger, std::string("Money"), TFieldType::ftInteger},
      {DSType::kDate, std::string(""), TFieldType::ftDate},
  };
  for (const Case& c : cases) {
    DSColumn column{"C", c.type, 0, 0, {}};
    if (c.subtype) column.items.push_back({"subtype", *c.subtype});
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.type) << " " << column.items.size());
    EXPECT_EQ(FieldTypeOfColumn(column), c.expected);
  }
}

}  // namespace
