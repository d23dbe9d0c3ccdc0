// The yardstick of the cached-open benchmark: the rows of AJUSTE_CIERRE read with a bare loop on
// the Firebird client library, one fetch per row into a fixed buffer, nothing kept.
#pragma once

#include <cstdint>
#include <string>

struct BareReadResult {
  std::int64_t rows = 0;
  std::int64_t matching = 0;  // rows whose AJCI_FECINI is the given day
};

// Reads every row of AJUSTE_CIERRE from the embedded database at `path` and counts those whose
// AJCI_FECINI is `dayNumber` (Firebird's day number, 17 November 1858 being 0).
// Throws std::runtime_error with the client library's text on failure.
BareReadResult BareRead(const std::string& path, std::int32_t firebirdDay);
