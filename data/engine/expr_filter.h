// Filters and searches given as compiled expression records (see data/expr): the bridge between
// the expression evaluator and the engine's rows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "data/engine/ds_base.h"

namespace engine {

// A predicate evaluating `record` over a row. kDSBadFilter, with the evaluator's message in
// `why`, when the record is not a well-formed expression record.
DSStatus MakeExprPredicate(std::span<const std::uint8_t> record, DSRowPredicate& out,
                           std::string& why);

// Installs the compiled expression `record` as a filter of `cursor`.
DSStatus AddExprFilter(IDSCursor& cursor, std::span<const std::uint8_t> record, DSFilterId& id,
                       std::string& why);

// Makes current the first visible row that satisfies the compiled expression `record`
// (kDSNotFound leaves the cursor where it was).
DSStatus FindFirstExpr(IDSCursor& cursor, std::span<const std::uint8_t> record, std::string& why);

}  // namespace engine
