// Feeds arbitrary bytes to the evaluator as an expression record. It must refuse what is not a
// well-formed record with the system's exception, and evaluate what it accepts without reading
// outside the record or the row, and without running away on cycles or shared operands.
#include <cstdint>
#include <span>

#include "base/exceptions.h"
#include "data/expr/expr_evaluator.h"

namespace {

class TextRow : public ExprRow {
 public:
  ExprFieldValue Field(std::uint16_t fieldNo) const override {
    if (fieldNo % 2 == 0) return {};
    return {ExprBlank::kValue, 1, "x", 2};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const ExprEvaluator evaluator(std::span<const std::uint8_t>(data, size));
    (void)evaluator.Matches(TextRow());
  } catch (const Exception&) {
  }
  return 0;
}
