// Filter evaluation speed: the adjustment filter (a date) and a locate (a decimal) tested against
// one million rows laid out as the engine keeps them (native values, a blank indicator each).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "data/expr/expr_evaluator.h"
#include "data/expr/expr_parser.h"

namespace {

constexpr std::size_t kRows = 1'000'000;

struct Row {
  std::int32_t id;
  std::int32_t day;
  TBcd porc;
  char nombre[24];
  bool porcNull;
};

class RowView : public ExprRow {
 public:
  void Point(const Row* row) { row_ = row; }
  ExprFieldValue Field(std::uint16_t fieldNo) const override {
    switch (fieldNo) {
      case 1:
        return {ExprBlank::kValue, 6, &row_->id, 4};
      case 2:
        return {ExprBlank::kValue, 2, &row_->day, 4};
      case 3:
        if (row_->porcNull) return {};
        return {ExprBlank::kValue, 8, &row_->porc, sizeof(TBcd)};
      case 4:
        return {ExprBlank::kValue, 1, row_->nombre,
                static_cast<std::uint32_t>(std::strlen(row_->nombre) + 1)};
      default:
        return {};
    }
  }

 private:
  const Row* row_ = nullptr;
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::vector<Row> out(kRows);
    const std::int32_t first = DateToDayNumber(EncodeDate(2023, 1, 1));
    const char* rates[] = {"0", "0.8", "4", "10", "16", "21"};
    TBcd bcd[6];
    for (int k = 0; k < 6; ++k) bcd[k] = NormalizeBcd(StrToBcd(rates[k], '.'), 15, 4);
    for (std::size_t i = 0; i < kRows; ++i) {
      Row& r = out[i];
      r.id = static_cast<std::int32_t>(i + 1);
      r.day = first + static_cast<std::int32_t>(i % 365);
      r.porc = bcd[i % 6];
      r.porcNull = i % 97 == 0;
      std::snprintf(r.nombre, sizeof r.nombre, "ART%07zu", i);
    }
    return out;
  }();
  return rows;
}

ExprFieldList Fields() {
  using T = ExprFieldType;
  return {{"AJCI_ID", 1, T::ftInteger, 4, true},
          {"AJCI_FECINI", 2, T::ftDate, 4, true},
          {"AJCI_PORC", 3, T::ftFMTBcd, 15, true},
          {"AJCI_NOMBRE", 4, T::ftString, 23, true}};
}

void FilterRows(benchmark::State& state, const char* text, TFilterOptions options) {
  FormatSettings fs;
  fs.DecimalSeparator = ',';
  const ExprEvaluator evaluator(TExprParser(Fields(), text, options, true, fs).FilterData());
  const std::vector<Row>& rows = Rows();
  RowView view;
  for (auto _ : state) {
    std::size_t matched = 0;
    for (const Row& row : rows) {
      view.Point(&row);
      matched += evaluator.Matches(view) ? 1 : 0;
    }
    benchmark::DoNotOptimize(matched);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows.size()));
}

void BM_DateFilter(benchmark::State& state) {
  FilterRows(state, "AJCI_FECINI = '30/03/2023'", 0);
}
void BM_DecimalLocate(benchmark::State& state) {
  FilterRows(state, "[AJCI_PORC]=0,8", 0);
}
void BM_NullLocate(benchmark::State& state) {
  FilterRows(state, "[AJCI_PORC] IS NULL", 0);
}
void BM_TextPrefixCaseInsensitive(benchmark::State& state) {
  FilterRows(state, "AJCI_NOMBRE = 'art00012*'", foCaseInsensitive);
}
void BM_TwoTerms(benchmark::State& state) {
  FilterRows(state, "[AJCI_PORC]=16 and [AJCI_ID]=500000", 0);
}

}  // namespace

BENCHMARK(BM_DateFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecimalLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NullLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextPrefixCaseInsensitive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoTerms)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
