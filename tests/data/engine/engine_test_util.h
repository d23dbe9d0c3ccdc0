// Helpers of the engine tests: native value bytes, packets written from tables of rows, and rows
// read back as comparable values.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/engine/ds_base.h"
#include "data/engine/ds_writer.h"

namespace enginetest {

using engine::DSBlank;
using engine::DSColumn;
using engine::DSType;

// A field value as the tests spell it: absent = null; "~" marks an unchanged field.
using Value = std::optional<std::vector<std::uint8_t>>;
using Row = std::vector<Value>;

template <typename T>
Value Native(T v) {
  std::vector<std::uint8_t> b(sizeof(T));
  std::memcpy(b.data(), &v, sizeof(T));
  return b;
}
inline Value I32(std::int32_t v) {
  return Native(v);
}
inline Value I16(std::int16_t v) {
  return Native(v);
}
inline Value F64(double v) {
  return Native(v);
}
inline Value Txt(const std::string& s) {
  std::vector<std::uint8_t> b(s.begin(), s.end());
  b.push_back(0);
  return b;
}
inline Value Raw(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}
inline const Value kNull = std::nullopt;
inline const Value kUnchanged = Raw("~unchanged~");

// ID integer, NAME text(10), AMOUNT float.
inline std::vector<DSColumn> SmallColumns() {
  return {DSColumn{"ID", DSType::kInteger, 4, engine::kColRequired, {}},
          DSColumn{"NAME", DSType::kText, 10, 0, {}}, DSColumn{"AMOUNT", DSType::kFloat, 8, 0, {}}};
}

inline Row SmallRow(std::int32_t id, const std::string& name, double amount) {
  return {I32(id), Txt(name), F64(amount)};
}

// Writes rows (attribute, values) into a packet; fails the test on any refusal.
inline engine::DSPacket WritePacket(const std::vector<DSColumn>& columns,
                                    const std::vector<Row>& rows,
                                    const std::vector<engine::DSAttr>& attrs = {},
                                    std::uint8_t attribute = engine::kRowUnchanged) {
  auto w = engine::CreateDSWriter();
  EXPECT_EQ(w->DescribeColumns(columns), engine::kDSOk);
  for (const auto& a : attrs) EXPECT_EQ(w->AddAttribute(a), engine::kDSOk);
  for (const Row& r : rows) {
    EXPECT_EQ(w->PutRowAttribute(attribute), engine::kDSOk);
    for (const Value& v : r) {
      if (!v) {
        EXPECT_EQ(w->PutNull(), engine::kDSOk);
      } else {
        EXPECT_EQ(w->PutField(v->data(), static_cast<std::uint32_t>(v->size())), engine::kDSOk)
            << w->ErrorText(engine::kDSBadValue);
      }
    }
  }
  engine::DSPacket p;
  EXPECT_EQ(w->GetPacket(p), engine::kDSOk);
  return p;
}

inline std::unique_ptr<engine::IDSBase> LoadDataset(engine::DSPacket packet) {
  auto ds = engine::CreateDSBase();
  const engine::DSStatus s = ds->AppendPacket(std::move(packet), true);
  EXPECT_EQ(s, engine::kDSOk) << ds->ErrorText(s);
  return ds;
}

inline Value FromView(const engine::DSValueView& v) {
  if (v.blank == DSBlank::kNull) return kNull;
  if (v.blank == DSBlank::kUnchanged) return kUnchanged;
  return std::vector<std::uint8_t>(v.data, v.data + v.size);
}

// The row at the cursor.
inline Row ReadRow(const engine::IDSCursor& c, std::uint16_t fields) {
  Row r;
  for (std::uint16_t f = 1; f <= fields; ++f) {
    engine::DSValueView v;
    EXPECT_EQ(c.GetField(f, v), engine::kDSOk);
    r.push_back(FromView(v));
  }
  return r;
}

// Every visible row from the first, with its attribute bits.
struct AttrRow {
  std::uint8_t attribute;
  Row values;
  bool operator==(const AttrRow&) const = default;
};

inline std::vector<AttrRow> ReadAll(engine::IDSCursor& c, std::uint16_t fields) {
  std::vector<AttrRow> rows;
  c.MoveToBof();
  while (c.MoveRelative(1) == engine::kDSOk) {
    std::uint8_t a = 0;
    EXPECT_EQ(c.GetRowAttribute(a), engine::kDSOk);
    rows.push_back({a, ReadRow(c, fields)});
  }
  return rows;
}

inline std::vector<AttrRow> ReadAll(engine::IDSBase& ds) {
  std::unique_ptr<engine::IDSCursor> c;
  EXPECT_EQ(ds.CreateCursor(c), engine::kDSOk);
  return ReadAll(*c, static_cast<std::uint16_t>(ds.Columns().size()));
}

// The id field of each visible row, in order.
inline std::vector<std::int32_t> Ids(engine::IDSCursor& c) {
  std::vector<std::int32_t> ids;
  c.MoveToBof();
  while (c.MoveRelative(1) == engine::kDSOk) {
    engine::DSValueView v;
    c.GetField(1, v);
    std::int32_t id = 0;
    if (v.data) std::memcpy(&id, v.data, 4);
    ids.push_back(id);
  }
  return ids;
}

inline std::int32_t IdOf(const engine::DSRowView& row) {
  const engine::DSValueView v = row.Field(1);
  std::int32_t id = 0;
  if (v.blank == DSBlank::kValue) std::memcpy(&id, v.data, 4);
  return id;
}

inline void Put(engine::DSRecord& rec, std::uint16_t field, const Value& v) {
  if (!v) {
    ASSERT_EQ(rec.PutNull(field), engine::kDSOk);
  } else {
    ASSERT_EQ(rec.PutField(field, v->data(), static_cast<std::uint32_t>(v->size())), engine::kDSOk);
  }
}

}  // namespace enginetest
