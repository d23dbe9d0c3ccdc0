// Damaged and hostile packets are refused with a message and leave the dataset as it was.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "data/engine/ds_base.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

std::vector<std::uint8_t> ValidBytes() {
  std::vector<DSColumn> cols = SmallColumns();
  cols.push_back({"NOTE", DSType::kMemo, 0, 0, {{"WIDTH", std::int64_t{20}}}});
  DSPacket p = WritePacket(
      cols,
      {{I32(1), Txt("ab"), F64(1), Raw("first note")}, {I32(2), kNull, F64(2), Raw("second")}},
      {{"LCID", std::int64_t{1033}}, {"NAME", std::string("x")}});
  return {p.data(), p.data() + p.size()};
}

void PutU32At(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Offset of the first column's name length (right after the 24-byte header).
constexpr std::size_t kFirstColumn = 24;

TEST(DamagedPacket, EveryTruncationIsRefused) {
  const std::vector<std::uint8_t> valid = ValidBytes();
  for (std::size_t len = 0; len < valid.size(); ++len) {
    SCOPED_TRACE(len);
    auto ds = CreateDSBase();
    const DSStatus s = ds->AppendPacket(DSPacket::FromBytes({valid.data(), len}), true);
    EXPECT_EQ(s, kDSBadPacket);
    EXPECT_GT(ds->ErrorText(s).size(), std::string(DSStatusText(kDSBadPacket)).size());
    EXPECT_EQ(ds->RowCount(), 0u);
    EXPECT_TRUE(ds->Columns().empty());
  }
}

TEST(DamagedPacket, LyingFieldsAreRefusedWithTheReason) {
  const std::vector<std::uint8_t> valid = ValidBytes();
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"magic", [](auto& b) { b[0] = 'X'; }, "not a data packet"},
      {"version", [](auto& b) { b[4] = 9; }, "unsupported version"},
      {"total size", [](auto& b) { PutU32At(b, 8, static_cast<std::uint32_t>(b.size() + 1)); },
       "size does not match"},
      {"column count huge",
       [](auto& b) {
         b[12] = 0xFF;
         b[13] = 0xFF;
       },
       "column count exceeds"},
      {"no columns",
       [](auto& b) {
         b[12] = 0;
         b[13] = 0;
       },
       "no columns"},
      {"attribute count huge",
       [](auto& b) {
         b[14] = 0xFF;
         b[15] = 0xFF;
       },
       ""},
      {"row count huge", [](auto& b) { PutU32At(b, 16, 0x7FFFFFFF); }, "row count exceeds"},
      {"row width", [](auto& b) { PutU32At(b, 20, 3); }, "row width"},
      {"column name length",
       [](auto& b) {
         b[kFirstColumn] = 0xFF;
         b[kFirstColumn + 1] = 0x7F;
       },
       ""},
      {"column type", [](auto& b) { b[kFirstColumn + 4] = 3; }, "unknown type"},
      {"column size", [](auto& b) { b[kFirstColumn + 6] = 9; }, "size unfit"},
      {"column attributes", [](auto& b) { b[kFirstColumn + 5] = 0x80; }, "unknown attributes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bytes = valid;
    c.damage(bytes);
    auto ds = CreateDSBase();
    const DSStatus s = ds->AppendPacket(DSPacket::FromBytes(bytes), true);
    ASSERT_EQ(s, kDSBadPacket);
    EXPECT_NE(ds->ErrorText(s).find(c.reason), std::string::npos) << ds->ErrorText(s);
  }
}

// The rows are found from the end: two slots, the blob area length, then its 16 bytes.
TEST(DamagedPacket, BadRowContentIsRefused) {
  const std::vector<std::uint8_t> valid = ValidBytes();
  const std::uint32_t width = valid[20] | valid[21] << 8;
  // Locate the rows: the blob area holds "first note" + "second" = 16 bytes.
  const std::size_t blobArea = 16;
  const std::size_t rowsEnd = valid.size() - blobArea - 4;
  const std::size_t row1 = rowsEnd - 2 * width;
  const std::size_t memoField = row1 + width - 8;  // the memo is the last value of the slot
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"row attribute", [&](auto& b) { b[row1] = 3; }, "row 1: unknown row attribute"},
      {"blank 3", [&](auto& b) { b[row1 + 1] |= 3; }, "row 1: invalid blank"},
      {"unchanged in an unchanged row", [&](auto& b) { b[row1 + 1] = 2; }, "invalid blank"},
      {"text without terminator", [&](auto& b) { std::memset(&b[row1 + 1 + 1 + 4], 'x', 11); },
       "column 'NAME'"},
      {"blob past its area", [&](auto& b) { PutU32At(b, memoField, 10); }, "column 'NOTE'"},
      {"blob length huge", [&](auto& b) { PutU32At(b, memoField + 4, 0xFFFFFFFF); },
       "column 'NOTE'"},
      {"blob side reference", [&](auto& b) { PutU32At(b, memoField, 0x80000000); },
       "column 'NOTE'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bytes = valid;
    c.damage(bytes);
    auto ds = CreateDSBase();
    const DSStatus s = ds->AppendPacket(DSPacket::FromBytes(bytes), true);
    ASSERT_EQ(s, kDSBadPacket);
    EXPECT_NE(ds->ErrorText(s).find(c.reason), std::string::npos) << ds->ErrorText(s);
  }
}

TEST(DamagedPacket, RefusalKeepsRowsAlreadyHeld) {
  auto ds = LoadDataset(WritePacket(SmallColumns(), {SmallRow(1, "a", 1)}));
  std::vector<std::uint8_t> bad = ValidBytes();
  bad.pop_back();
  EXPECT_EQ(ds->AppendPacket(DSPacket::FromBytes(bad), true), kDSBadPacket);
  EXPECT_EQ(ReadAll(*ds).size(), 1u);
}

// Random corruption never crashes and never yields rows that cannot be read back.
TEST(DamagedPacket, RandomCorruptionIsRefusedOrReadable) {
  const std::vector<std::uint8_t> valid = ValidBytes();
  std::mt19937 rng(42);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bytes = valid;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < flips; ++i)
      bytes[rng() % bytes.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
    auto ds = CreateDSBase();
    if (ds->AppendPacket(DSPacket::FromBytes(bytes), true) != kDSOk) continue;
    for (const AttrRow& r : ReadAll(*ds)) EXPECT_EQ(r.values.size(), ds->Columns().size());
  }
}

}  // namespace
}  // namespace engine
