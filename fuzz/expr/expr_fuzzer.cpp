// Feeds arbitrary texts to the expression compiler with a fixed field list, then evaluates every
// record it accepts over a few rows. The first byte picks the options, the syntax level and the
// decimal separator. Compilation may fail with an exception of the system; anything else (a crash,
// a hang, an out-of-bounds read, a record the evaluator refuses) is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/bcd.h"
#include "base/exceptions.h"
#include "data/expr/expr_evaluator.h"
#include "data/expr/expr_parser.h"

namespace {

const ExprFieldList& Fields() {
  using T = ExprFieldType;
  static const ExprFieldList fields = {
      {"AJCI_ID", 1, T::ftInteger, 4, true},   {"AJCI_FECINI", 2, T::ftDate, 4, true},
      {"AJCI_PORC", 3, T::ftFMTBcd, 15, true}, {"N", 4, T::ftString, 20, true},
      {"S", 5, T::ftSmallint, 2, true},        {"W", 6, T::ftWord, 2, true},
      {"L", 7, T::ftLargeint, 8, true},        {"F", 8, T::ftCurrency, 8, true},
      {"B", 9, T::ftBoolean, 2, true},         {"H", 10, T::ftTime, 4, true},
      {"M", 11, T::ftDateTime, 8, true},       {"BLOB", 12, T::ftBlob, 0, true},
      {"CALC", 13, T::ftFloat, 8, false},
  };
  return fields;
}

// Every field holds a value of its type, or (when `nulls`) none.
class FixedRow : public ExprRow {
 public:
  explicit FixedRow(bool nulls) : nulls_(nulls) { bcd_ = CurrencyToBcd(Currency::FromRaw(8000)); }
  ExprFieldValue Field(std::uint16_t fieldNo) const override {
    if (nulls_) return {};
    switch (fieldNo) {
      case 1:
        return {ExprBlank::kValue, 6, &int32_, 4};
      case 2:
        return {ExprBlank::kValue, 2, &day_, 4};
      case 3:
        return {ExprBlank::kValue, 8, &bcd_, sizeof bcd_};
      case 4:
        return {ExprBlank::kValue, 1, "Anabel", 7};
      case 5:
        return {ExprBlank::kValue, 5, &int16_, 2};
      case 6:
        return {ExprBlank::kValue, 12, &int16_, 2};
      case 7:
        return {ExprBlank::kValue, 18, &int64_, 8};
      case 8:
        return {ExprBlank::kValue, 7, &double_, 8};
      case 9:
        return {ExprBlank::kValue, 4, &logical_, 2};
      case 10:
        return {ExprBlank::kValue, 10, &int32_, 4};
      case 11:
        return {ExprBlank::kValue, 11, &double_, 8};
      default:
        return {};
    }
  }

 private:
  bool nulls_;
  TBcd bcd_;
  std::int32_t int32_ = 16;
  std::int32_t day_ = 738609;
  std::int16_t int16_ = 7;
  std::int16_t logical_ = 1;
  std::int64_t int64_ = -5;
  double double_ = 0.5;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  FormatSettings fs;
  fs.DecimalSeparator = (control & 8) ? ',' : '.';
  const TFilterOptions options = control & 3;
  const bool extended = (control & 4) != 0;
  std::vector<std::uint8_t> record;
  try {
    record = TExprParser(Fields(), text, options, extended, fs).FilterData();
  } catch (const Exception&) {
    return 0;
  }
  if (record.size() > 65535) std::abort();
  // A record the compiler wrote must be one the evaluator accepts.
  const ExprEvaluator evaluator(record);
  static const FixedRow values(false), nulls(true);
  (void)evaluator.Matches(values);
  (void)evaluator.Matches(nulls);
  return 0;
}
