// Writer -> packet -> dataset: every type, nulls, attributes, and the writer's refusals.
#include <gtest/gtest.h>

#include "data/engine/ds_base.h"
#include "data/engine/ds_writer.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

std::vector<std::uint8_t> Bcd18(std::uint8_t precision, std::uint8_t scale, std::uint8_t digit) {
  std::vector<std::uint8_t> b(18, 0);
  b[0] = precision;
  b[1] = scale;
  b[2] = digit;
  return b;
}

// `digits` nines, scale 4: the widest value that many digits can spell.
std::vector<std::uint8_t> BcdNines(int digits) {
  std::vector<std::uint8_t> b(18, 0);
  b[0] = static_cast<std::uint8_t>(digits);
  b[1] = 4;
  for (int i = 0; i < digits; ++i) b[2 + i / 2] |= static_cast<std::uint8_t>(i % 2 ? 9 : 0x90);
  return b;
}

// A decimal column declaring `width` digits, as the provider describes NUMERIC columns.
DSColumn Decimal(std::int64_t width) {
  return {"B", DSType::kBcd, 18, 0, {{"WIDTH", width}, {"DECIMALS", std::int64_t{4}}}};
}

struct TypeCase {
  const char* name;
  DSColumn column;
  Value value;
};

TEST(PacketRoundTrip, EveryTypeAndNullReadsBackAsWritten) {
  const std::vector<TypeCase> cases = {
      {"text", {"T", DSType::kText, 5, 0, {}}, Txt("abcde")},
      {"empty text", {"T", DSType::kText, 5, 0, {}}, Txt("")},
      {"date", {"D", DSType::kDate, 4, 0, {}}, I32(738609)},
      {"logical", {"L", DSType::kLogical, 2, 0, {}}, I16(1)},
      {"small", {"S", DSType::kSmallInt, 2, 0, {}}, I16(-32768)},
      {"integer", {"I", DSType::kInteger, 4, 0, {}}, I32(-7)},
      {"float", {"F", DSType::kFloat, 8, 0, {}}, F64(0.8)},
      {"bcd", {"B", DSType::kBcd, 18, 0, {}}, Bcd18(15, 4, 0x80)},
      {"bcd of 32 digits", {"B", DSType::kBcd, 18, 0, {}}, BcdNines(32)},
      // Columns of at most 18 declared digits keep 20 in the row; every one of them reads back.
      {"short bcd", Decimal(15), Bcd18(15, 4, 0x80)},
      {"short bcd of 20 digits", Decimal(18), BcdNines(20)},
      {"bcd of 19 declared digits", Decimal(19), BcdNines(32)},
      {"time", {"TM", DSType::kTime, 4, 0, {}}, I32(86399999)},
      {"datetime", {"DT", DSType::kDateTime, 8, 0, {}}, F64(738609.0 * 86400000 + 1)},
      {"word", {"W", DSType::kWord, 2, 0, {}}, Native<std::uint16_t>(65535)},
      {"large", {"LI", DSType::kLargeInt, 8, 0, {}}, Native<std::int64_t>(-(1LL << 62))},
      {"bytes", {"BY", DSType::kBytes, 4, 0, {}}, Raw(std::string("\0\1\2", 3))},
      {"blob", {"BL", DSType::kBlob, 0, 0, {}}, Raw(std::string(5000, '\xAB'))},
      {"empty blob", {"BL", DSType::kBlob, 0, 0, {}}, Raw("")},
      {"memo", {"M", DSType::kMemo, 0, 0, {}}, Raw("long text")},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<DSColumn> cols = {c.column, {"N", DSType::kInteger, 4, 0, {}}};
    auto ds =
        LoadDataset(WritePacket(cols, {{c.value, I32(1)}, {kNull, kNull}, {c.value, I32(3)}}));
    const std::vector<AttrRow> rows = ReadAll(*ds);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].values, (Row{c.value, I32(1)}));
    EXPECT_EQ(rows[1].values, (Row{kNull, kNull}));
    EXPECT_EQ(rows[2].values, (Row{c.value, I32(3)}));
    // A dataset streams back into a packet that loads to the same rows.
    DSPacket again;
    ASSERT_EQ(ds->StreamPacket(again), kDSOk);
    auto copy = LoadDataset(std::move(again));
    EXPECT_EQ(ReadAll(*copy), rows);
  }
}

TEST(PacketRoundTrip, TextWithoutTerminatorIsAccepted) {
  auto ds = LoadDataset(WritePacket(SmallColumns(), {{I32(1), Raw("abc"), F64(1)}}));
  EXPECT_EQ(ReadAll(*ds)[0].values[1], Txt("abc"));
}

TEST(PacketRoundTrip, ColumnsAndAttributesTravel) {
  std::vector<DSColumn> cols = SmallColumns();
  cols[0].items = {{"PROVFLAGS", std::int64_t{7}}, {"ORIGIN", std::string("T.ID")}};
  cols[1].attrs = kColReadOnly | kColHidden;
  cols[2].items = {{"SERVER_CALC", true},
                   {"WIDTH", std::int64_t{15}},
                   {"DECIMALS", std::int64_t{4}},
                   {"SUBTYPE", std::string("money")}};
  const std::vector<DSAttr> attrs = {{"LCID", std::int64_t{3082}}, {"READONLY", false},
                                     {"DISABLE_EDITS", true},      {"DISABLE_INSERTS", true},
                                     {"DISABLE_DELETES", true},    {"NO_RESET_CALL", true}};
  DSPacket p = WritePacket(cols, {SmallRow(1, "a", 2)}, attrs);
  EXPECT_GT(p.size(), 21u);
  auto ds = LoadDataset(std::move(p));
  EXPECT_EQ(ds->Columns(), cols);
  EXPECT_EQ(ds->Attributes(), attrs);
  ASSERT_NE(ds->GetAttribute("lcid"), nullptr);
  EXPECT_EQ(std::get<std::int64_t>(ds->GetAttribute("lcid")->value), 3082);
  EXPECT_EQ(ds->GetAttribute("TABLE_NAME"), nullptr);
}

TEST(PacketRoundTrip, EmptyPacketIsLongerThan21BytesAndHasNoRows) {
  DSPacket p = WritePacket(SmallColumns(), {});
  EXPECT_GT(p.size(), 21u);
  auto ds = LoadDataset(std::move(p));
  EXPECT_EQ(ds->RowCount(), 0u);
  EXPECT_EQ(ds->Columns().size(), 3u);
}

TEST(PacketRoundTrip, AppendedPacketsAddRowsAndMustMatch) {
  auto ds = CreateDSBase();
  ASSERT_EQ(ds->AppendPacket(WritePacket(SmallColumns(), {SmallRow(1, "a", 1)}), false), kDSOk);
  EXPECT_FALSE(ds->EndOfData());
  ASSERT_EQ(ds->AppendPacket(WritePacket(SmallColumns(), {SmallRow(2, "b", 2)}), true), kDSOk);
  EXPECT_TRUE(ds->EndOfData());
  EXPECT_EQ(ds->RowCount(), 2u);
  std::vector<DSColumn> other = SmallColumns();
  other[1].size = 11;
  EXPECT_EQ(ds->AppendPacket(WritePacket(other, {}), true), kDSLayoutMismatch);
  EXPECT_EQ(ds->RowCount(), 2u);
  // Decimals kept short in one packet and whole in the other do not fit one dataset.
  auto decimals = CreateDSBase();
  ASSERT_EQ(decimals->AppendPacket(WritePacket({Decimal(15)}, {}), false), kDSOk);
  EXPECT_EQ(decimals->AppendPacket(WritePacket({Decimal(19)}, {}), true), kDSLayoutMismatch);
}

TEST(PacketRoundTrip, AWidenedDecimalOutlivesTheViewItWasReadInto) {
  auto ds = LoadDataset(WritePacket({Decimal(15)}, {{BcdNines(20)}}));
  std::unique_ptr<IDSCursor> c;
  ASSERT_EQ(ds->CreateCursor(c), kDSOk);
  ASSERT_EQ(c->MoveRelative(1), kDSOk);
  DSValueView copy;
  {
    DSValueView read;
    ASSERT_EQ(c->GetField(1, read), kDSOk);
    copy = read;
    std::memset(read.own, 0xEE, sizeof read.own);
  }
  const DSValueView again = copy;
  EXPECT_EQ(FromView(again), BcdNines(20));
}

TEST(Writer, RefusesValuesUnfitForTheColumn) {
  struct Case {
    const char* name;
    DSColumn column;
    Value value;
  };
  const std::vector<Case> cases = {
      {"text too long", {"T", DSType::kText, 3, 0, {}}, Txt("abcd")},
      {"integer of 2 bytes", {"I", DSType::kInteger, 4, 0, {}}, I16(1)},
      {"logical 2", {"L", DSType::kLogical, 2, 0, {}}, I16(2)},
      {"bytes too long", {"B", DSType::kBytes, 2, 0, {}}, Raw("abc")},
      {"bcd of 8 bytes", {"B", DSType::kBcd, 18, 0, {}}, F64(1)},
      {"21 digits in a short bcd", Decimal(15), BcdNines(21)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto w = CreateDSWriter();
    ASSERT_EQ(w->DescribeColumns({c.column}), kDSOk);
    ASSERT_EQ(w->PutRowAttribute(kRowUnchanged), kDSOk);
    EXPECT_EQ(w->PutField(c.value->data(), static_cast<std::uint32_t>(c.value->size())),
              kDSBadValue);
    EXPECT_NE(w->ErrorText(kDSBadValue).find(c.column.name), std::string::npos);
  }
}

TEST(Writer, RefusesCallsOutOfOrderAndBadColumns) {
  auto w = CreateDSWriter();
  DSPacket p;
  EXPECT_EQ(w->GetPacket(p), kDSWriterState);
  EXPECT_EQ(w->PutRowAttribute(0), kDSWriterState);
  EXPECT_EQ(w->DescribeColumns({}), kDSBadColumns);
  EXPECT_EQ(w->DescribeColumns({{"A", DSType::kInteger, 4, 0, {}}, {"a", DSType::kText, 2, 0, {}}}),
            kDSBadColumns);
  EXPECT_EQ(w->DescribeColumns({{"A", DSType::kInteger, 8, 0, {}}}), kDSBadColumns);
  EXPECT_EQ(w->DescribeColumns({{"A", static_cast<DSType>(3), 4, 0, {}}}), kDSBadColumns);
  ASSERT_EQ(w->DescribeColumns(SmallColumns()), kDSOk);
  ASSERT_EQ(w->PutRowAttribute(kRowUnchanged), kDSOk);
  EXPECT_EQ(w->PutUnchanged(), kDSBadValue);
  EXPECT_EQ(w->AddAttribute({"LCID", std::int64_t{1}}), kDSWriterState);
  EXPECT_EQ(w->PutNull(), kDSOk);
  EXPECT_EQ(w->GetPacket(p), kDSWriterState);
  EXPECT_EQ(w->PutRowAttribute(kRowUnchanged), kDSWriterState);
  EXPECT_EQ(w->PutNull(), kDSOk);
  EXPECT_EQ(w->PutNull(), kDSOk);
  EXPECT_EQ(w->PutNull(), kDSWriterState);
  EXPECT_EQ(w->RowCount(), 1u);
  EXPECT_EQ(w->PutRowAttribute(3), kDSBadValue);
  ASSERT_EQ(w->GetPacket(p), kDSOk);
  // The next packet keeps the columns and starts empty.
  DSPacket next;
  ASSERT_EQ(w->GetPacket(next), kDSOk);
  EXPECT_EQ(LoadDataset(std::move(next))->RowCount(), 0u);
  EXPECT_EQ(LoadDataset(std::move(p))->RowCount(), 1u);
}

TEST(Writer, ManyRowsGrowLinearly) {
  auto w = CreateDSWriter();
  ASSERT_EQ(w->DescribeColumns(SmallColumns()), kDSOk);
  const std::int32_t n = 200000;
  for (std::int32_t i = 0; i < n; ++i) {
    ASSERT_EQ(w->PutRowAttribute(kRowUnchanged), kDSOk);
    ASSERT_EQ(w->PutField(&i, 4), kDSOk);
    ASSERT_EQ(w->PutField("x", 1), kDSOk);
    ASSERT_EQ(w->PutNull(), kDSOk);
  }
  DSPacket p;
  ASSERT_EQ(w->GetPacket(p), kDSOk);
  auto ds = LoadDataset(std::move(p));
  EXPECT_EQ(ds->RowCount(), static_cast<std::uint32_t>(n));
  std::unique_ptr<IDSCursor> c;
  ASSERT_EQ(ds->CreateCursor(c), kDSOk);
  c->MoveToEof();
  ASSERT_EQ(c->MoveRelative(-1), kDSOk);
  EXPECT_EQ(ReadRow(*c, 3), (Row{I32(n - 1), Txt("x"), kNull}));
}

}  // namespace
}  // namespace engine
