// TProviderOption: the switches of a provider. Only those that shape the packets it sends and the
// requests it accepts are acted on by the read side; the rest are kept for the write side.
#pragma once

#include <cstdint>

#include "data/resolver/update_types.h"

enum TProviderOption : std::uint32_t {
  poFetchBlobsOnDemand = 1u << 0,
  poFetchDetailsOnDemand = 1u << 1,
  poIncFieldProps = 1u << 2,
  poCascadeDeletes = 1u << 3,
  poCascadeUpdates = 1u << 4,
  poReadOnly = 1u << 5,
  poAllowMultiRecordUpdates = 1u << 6,
  poDisableInserts = 1u << 7,
  poDisableEdits = 1u << 8,
  poDisableDeletes = 1u << 9,
  poNoReset = 1u << 10,
  poAutoRefresh = 1u << 11,
  poPropogateChanges = 1u << 12,
  poAllowCommandText = 1u << 13,
  poRetainServerOrder = 1u << 14,
};

// A set of TProviderOption bits; 0 is the empty set.
using TProviderOptions = std::uint32_t;

// Flags of a get-records request.
inline constexpr std::int32_t grMetaData = 1;  // the packet carries the column descriptions
inline constexpr std::int32_t grReset = 2;     // close or rewind the SQL dataset first
