#include "data/fields/packet_field_types.h"

#include <string>

#include "base/text.h"

using engine::DSType;

namespace {

std::int32_t IntItem(const engine::DSColumn& column, const char* name, std::int32_t fallback) {
  const engine::DSAttr* attr = engine::FindAttr(column.items, name);
  if (attr == nullptr) return fallback;
  const auto* n = std::get_if<std::int64_t>(&attr->value);
  return n != nullptr && *n >= 0 && *n <= 64 ? static_cast<std::int32_t>(*n) : fallback;
}

struct Travel {
  TFieldType field;
  DSType type;
  std::string_view subtype;
};

// Every field type once; the first of each engine type is its plain type, without a subtype.
constexpr Travel kTravels[] = {
    {TFieldType::ftString, DSType::kText, ""},
    {TFieldType::ftFixedChar, DSType::kText, "Fixed"},
    {TFieldType::ftWideString, DSType::kText, "WideText"},
    {TFieldType::ftSmallint, DSType::kSmallInt, ""},
    {TFieldType::ftInteger, DSType::kInteger, ""},
    {TFieldType::ftAutoInc, DSType::kInteger, "Autoinc"},
    {TFieldType::ftWord, DSType::kWord, ""},
    {TFieldType::ftLargeint, DSType::kLargeInt, ""},
    {TFieldType::ftBoolean, DSType::kLogical, ""},
    {TFieldType::ftFloat, DSType::kFloat, ""},
    {TFieldType::ftCurrency, DSType::kFloat, "Money"},
    // A decimal without a subtype is the wider kind: packets that predate the subtype said
    // nothing and were read as formatted BCD.
    {TFieldType::ftFMTBcd, DSType::kBcd, ""},
    {TFieldType::ftBCD, DSType::kBcd, "BCD"},
    {TFieldType::ftDate, DSType::kDate, ""},
    {TFieldType::ftTime, DSType::kTime, ""},
    {TFieldType::ftDateTime, DSType::kDateTime, ""},
    {TFieldType::ftTimeStamp, DSType::kDateTime, "Timestamp"},
    {TFieldType::ftBytes, DSType::kBytes, ""},
    {TFieldType::ftVarBytes, DSType::kBytes, "VarBytes"},
    {TFieldType::ftBlob, DSType::kBlob, ""},
    {TFieldType::ftMemo, DSType::kMemo, ""},
};

}  // namespace

PacketFieldType PacketFieldTypeOf(TFieldType type) {
  for (const Travel& t : kTravels) {
    if (t.field == type) return {t.type, t.subtype};
  }
  return {DSType::kBytes, {}};
}

TFieldType FieldTypeOfColumn(const engine::DSColumn& column) {
  std::string_view subtype;
  if (const engine::DSAttr* item = engine::FindAttr(column.items, kSubtypeItem)) {
    if (const auto* text = std::get_if<std::string>(&item->value)) subtype = *text;
  }
  const Travel* plain = nullptr;
  for (const Travel& t : kTravels) {
    if (t.type != column.type) continue;
    if (SameText(t.subtype, subtype)) return t.field;
    if (plain == nullptr && t.subtype.empty()) plain = &t;
  }
  return plain != nullptr ? plain->field : TFieldType::ftUnknown;
}

void ReadFieldDefs(const std::vector<engine::DSColumn>& columns, TFieldDefs& defs) {
  defs.Clear();
  for (const engine::DSColumn& column : columns) {
    TFieldDef def;
    def.Name = column.name;
    def.DataType = FieldTypeOfColumn(column);
    switch (column.type) {
      case DSType::kText:
      case DSType::kBytes:
        def.Size = static_cast<std::int32_t>(column.size);
        break;
      case DSType::kBcd:
        def.Precision = IntItem(column, "WIDTH", 32);
        def.Size = IntItem(column, "DECIMALS", 8);
        break;
      default:
        break;
    }
    def.Required = (column.attrs & engine::kColRequired) != 0;
    def.ReadOnly = (column.attrs & (engine::kColReadOnly | engine::kColHidden)) != 0;
    defs.Add(std::move(def));
  }
}
