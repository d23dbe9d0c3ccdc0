// TLocalAppServer: the link between a cached dataset and a provider of the same window. It calls
// the provider directly and never lets a failure escape: whatever the provider throws is caught
// and handed back as a failed TAppServerResult carrying only the message text.
//
// The provider is referred to, not owned; it must outlive the link (both belong to the window,
// and the cached dataset drops its link when it closes).
#pragma once

#include "data/provider/app_server.h"

class TDataSetProvider;

class TLocalAppServer final : public IAppServer {
 public:
  explicit TLocalAppServer(TDataSetProvider& provider) : provider_(provider) {}

  TDataSetProvider& Provider() const { return provider_; }

  // `providerName` is not used: the link knows its provider.
  TAppServerResult AS_GetRecords(std::string_view providerName, std::int32_t count,
                                 std::int32_t& recsOut, std::int32_t options,
                                 std::string_view commandText, TPacketData& params,
                                 TOwnerData& ownerData, TPacketData& result) override;
  TAppServerResult AS_ApplyUpdates(std::string_view providerName, const engine::DSPacket& delta,
                                   std::int32_t maxErrors, std::int32_t& errorCount,
                                   TOwnerData& ownerData, TPacketData& result) override;

 private:
  TDataSetProvider& provider_;
};
