// Options of the text comparisons of a filter or search expression.
//   foCaseInsensitive   text comparisons ignore letter case (ASCII letters)
//   foNoPartialCompare  a text constant ending in "*" is compared as it stands, not as a prefix
#pragma once

#include <cstdint>

enum TFilterOption : std::uint8_t {
  foCaseInsensitive = 1,
  foNoPartialCompare = 2,
};

// A set of TFilterOption bits; 0 is the empty set.
using TFilterOptions = std::uint8_t;
