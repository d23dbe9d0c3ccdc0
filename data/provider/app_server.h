// IAppServer: the operations a provider offers to a cached dataset, as the link between them
// carries them.
//
// Every method answers a TAppServerResult instead of throwing: the link catches whatever fails
// on the provider's side and hands back only its message text. The caller (the cached dataset)
// turns a failed result into an EOleException (see RaiseAppServerError).
//
// Data packets, deltas and results travel as engine packets; "nothing" is std::nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/engine/ds_packet.h"

// A packet argument or result that may be absent (null).
using TPacketData = std::optional<engine::DSPacket>;

// The caller's data handed to the provider's events, in and out.
using TOwnerData = std::string;

struct TAppServerResult {
  bool Failed = false;
  std::string Message;  // the failure's text, only when Failed

  static TAppServerResult Ok() { return {}; }
  static TAppServerResult Error(std::string message) { return {true, std::move(message)}; }
};

class IAppServer {
 public:
  virtual ~IAppServer() = default;

  // Rows of the provider's SQL dataset: up to `count` rows (-1 = all remaining); `options`
  // combines grMetaData and grReset. `recsOut` receives the rows written, `result` the packet
  // (nothing for a reset with count 0). `params` are packed parameters, in and out.
  virtual TAppServerResult AS_GetRecords(std::string_view providerName, std::int32_t count,
                                         std::int32_t& recsOut, std::int32_t options,
                                         std::string_view commandText, TPacketData& params,
                                         TOwnerData& ownerData, TPacketData& result) = 0;

  // Resolves `delta` to the database. `result` receives the results packet, or nothing when no
  // row failed; `errorCount` the number of failed rows.
  virtual TAppServerResult AS_ApplyUpdates(std::string_view providerName,
                                           const engine::DSPacket& delta, std::int32_t maxErrors,
                                           std::int32_t& errorCount, TOwnerData& ownerData,
                                           TPacketData& result) = 0;
};

// The text of a failure as it reaches the caller: every trailing character of code 32 or below
// and every trailing "." removed, in any mix.
std::string TrimAppServerMessage(std::string_view message);

// Throws EOleException with the trimmed message when `result` failed.
void RaiseAppServerError(const TAppServerResult& result);
