// Filters and finds given as compiled expression records, over the engine's rows.
#include "data/engine/expr_filter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/bcd.h"
#include "base/format_settings.h"
#include "data/engine/ds_base.h"
#include "data/expr/expr_parser.h"
#include "tests/data/engine/engine_test_util.h"

namespace engine {
namespace {

using namespace enginetest;

constexpr std::int32_t k30March2023 = 738609;  // day 1 is 1 January of year 1

Value Dec(const char* text) {
  const TBcd b = StrToBcd(text, '.');
  std::vector<std::uint8_t> bytes(18);
  std::memcpy(bytes.data(), &b, 18);
  return bytes;
}

// The adjustment table's shape: id, start date, rate and factor, both NUMERIC(15,4) (so their
// rows keep them short).
std::unique_ptr<IDSBase> Adjustments() {
  const std::vector<DSAttr> numeric15 = {{"WIDTH", std::int64_t{15}},
                                         {"DECIMALS", std::int64_t{4}}};
  const std::vector<DSColumn> cols = {{"AJCI_ID", DSType::kInteger, 4, kColRequired, {}},
                                      {"AJCI_FECINI", DSType::kDate, 4, 0, {}},
                                      {"AJCI_PORC", DSType::kBcd, 18, 0, numeric15},
                                      {"AJCI_FACTOR", DSType::kBcd, 18, 0, numeric15}};
  return LoadDataset(WritePacket(cols, {{I32(1), I32(k30March2023), Dec("16"), Dec("16")},
                                        {I32(2), I32(k30March2023 + 1), Dec("0.8"), Dec("0.9")},
                                        {I32(3), kNull, Dec("0.8"), Dec("0.8000")},
                                        {I32(4), I32(k30March2023), Dec("0.8000"), kNull},
                                        {I32(5), I32(k30March2023), kNull, Dec("1")}}));
}

std::int32_t CurrentId(const IDSCursor& c) {
  DSRecord r;
  return c.GetCurrentRecord(r) == kDSOk ? IdOf(r) : -1;
}

std::vector<std::uint8_t> Compile(const std::string& text) {
  const ExprFieldList fields = {{"AJCI_ID", 1, ExprFieldType::ftInteger, 0, true},
                                {"AJCI_FECINI", 2, ExprFieldType::ftDate, 0, true},
                                {"AJCI_PORC", 3, ExprFieldType::ftFMTBcd, 4, true},
                                {"AJCI_FACTOR", 4, ExprFieldType::ftFMTBcd, 4, true}};
  return TExprParser(fields, text, 0, true, FormatSettings::Default()).FilterData();
}

TEST(ExprFilter, CompiledFiltersLimitMovesCountsAndFind) {
  struct Case {
    const char* filter;
    std::vector<std::int32_t> ids;
  };
  const std::vector<Case> cases = {
      {"AJCI_FECINI = '30/03/2023'", {1, 4, 5}},
      {"AJCI_FECINI <> '30/03/2023'", {2}},
      {"AJCI_FECINI IS NULL", {3}},
      {"[AJCI_PORC]=0.8", {2, 3, 4}},
      {"[AJCI_PORC] IS NULL", {5}},
      {"AJCI_FECINI = '30/03/2023' and AJCI_PORC = 16", {1}},
      // Two decimals of one row side by side: each keeps its own value.
      {"AJCI_PORC = AJCI_FACTOR", {1, 3}},
      {"AJCI_PORC < AJCI_FACTOR", {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    auto ds = Adjustments();
    std::unique_ptr<IDSCursor> cur;
    ASSERT_EQ(ds->CreateCursor(cur), kDSOk);
    DSFilterId id = 0;
    std::string why;
    ASSERT_EQ(AddExprFilter(*cur, Compile(c.filter), id, why), kDSOk) << why;
    EXPECT_EQ(Ids(*cur), c.ids);
    std::uint32_t n = 0;
    ASSERT_EQ(cur->GetRecordCount(n), kDSOk);
    EXPECT_EQ(n, c.ids.size());
  }
}

TEST(ExprFilter, FindRespectsTheFilterAndKeepsThePositionWhenNothingMatches) {
  auto ds = Adjustments();
  std::unique_ptr<IDSCursor> cur;
  ASSERT_EQ(ds->CreateCursor(cur), kDSOk);
  DSFilterId id = 0;
  std::string why;
  ASSERT_EQ(AddExprFilter(*cur, Compile("AJCI_FECINI = '30/03/2023'"), id, why), kDSOk);
  ASSERT_EQ(FindFirstExpr(*cur, Compile("[AJCI_PORC]=0.8"), why), kDSOk);
  EXPECT_EQ(CurrentId(*cur), 4);
  EXPECT_EQ(FindFirstExpr(*cur, Compile("[AJCI_ID]=2"), why), kDSNotFound);
  EXPECT_EQ(CurrentId(*cur), 4);
}

TEST(ExprFilter, DamagedRecordIsRefusedWithTheEvaluatorsMessage) {
  auto ds = Adjustments();
  std::unique_ptr<IDSCursor> cur;
  ASSERT_EQ(ds->CreateCursor(cur), kDSOk);
  std::vector<std::uint8_t> record = Compile("AJCI_ID = 1");
  record.resize(record.size() - 3);
  DSFilterId id = 0;
  std::string why;
  EXPECT_EQ(AddExprFilter(*cur, record, id, why), kDSBadFilter);
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(Ids(*cur).size(), 5u);
}

}  // namespace
}  // namespace engine
