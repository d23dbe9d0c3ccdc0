// The measured path of the cached-open benchmark: a window-like owner with the chain
// Talvora / TAjuste / PAjuste / CAjuste on an embedded connection, CAjuste opened with its persistent fields
// and filtered to one start date, the visible rows walked, and everything closed again.
#pragma once

#include <cstdint>
#include <string>

// Opens CAjuste over the database at `path` filtered to the day `dayIndex` after the first
// start date of the rows; answers the visible rows. Throws on failure.
std::int64_t OpenCAjusteOnce(const std::string& path, int dayIndex);
