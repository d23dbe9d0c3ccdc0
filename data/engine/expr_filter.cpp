#include "data/engine/expr_filter.h"

#include <exception>
#include <memory>

#include "data/expr/expr_evaluator.h"
#include "data/expr/expr_row.h"

namespace engine {

namespace {

// The engine's row as the evaluator reads it.
class RowAdapter final : public ExprRow {
 public:
  explicit RowAdapter(const DSRowView& row) : row_(row) {}
  ExprFieldValue Field(std::uint16_t fieldNo) const override {
    last_ = row_.Field(fieldNo);
    ExprFieldValue out;
    out.Blank = static_cast<ExprBlank>(last_.blank);
    out.Type = static_cast<std::uint16_t>(last_.type);
    out.Data = last_.data;
    out.Size = last_.size;
    return out;
  }

 private:
  const DSRowView& row_;
  mutable DSValueView last_;  // holds a widened decimal until the next field is read
};

}  // namespace

DSStatus MakeExprPredicate(std::span<const std::uint8_t> record, DSRowPredicate& out,
                           std::string& why) {
  std::shared_ptr<const ExprEvaluator> evaluator;
  try {
    evaluator = std::make_shared<const ExprEvaluator>(record);
  } catch (const std::exception& e) {
    why = e.what();
    return kDSBadFilter;
  }
  out = [evaluator](const DSRowView& row) { return evaluator->Matches(RowAdapter(row)); };
  return kDSOk;
}

DSStatus AddExprFilter(IDSCursor& cursor, std::span<const std::uint8_t> record, DSFilterId& id,
                       std::string& why) {
  DSRowPredicate predicate;
  if (DSStatus s = MakeExprPredicate(record, predicate, why); s != kDSOk) return s;
  return cursor.AddFilter(std::move(predicate), id);
}

DSStatus FindFirstExpr(IDSCursor& cursor, std::span<const std::uint8_t> record, std::string& why) {
  DSRowPredicate predicate;
  if (DSStatus s = MakeExprPredicate(record, predicate, why); s != kDSOk) return s;
  return cursor.FindFirst(predicate);
}

}  // namespace engine
