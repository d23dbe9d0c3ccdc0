// The packed form in which a cached dataset sends the parameters of its command text to its
// provider: a data packet of one row, one column per parameter (its name, the engine type of its
// value, and a "PARAMTYPE" item keeping the parameter's own data type), the row holding the
// values. Reading it goes through the engine's packet reader, so a damaged packet is refused
// like any other.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "db/dataset/params.h"

// Empty for an empty list. A parameter without a data type travels as null text.
std::vector<std::uint8_t> PackParams(const TParams& params);

// Replaces `out` with the parameters in `bytes`. Throws EDatabaseError "Invalid parameter packet"
// (with the reader's reason) for bytes that are not such a packet; `out` is untouched then.
void UnpackParams(std::span<const std::uint8_t> bytes, TParams& out);
