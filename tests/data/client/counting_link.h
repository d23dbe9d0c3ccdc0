// CountingLink: the link between a cached dataset and its provider, recording every request: a
// get-records request as its count and options, a save as -100 and its error limit.
#pragma once

#include <utility>
#include <vector>

#include "data/provider/app_server.h"
#include "data/provider/local_app_server.h"

namespace clienttest {

class CountingLink : public IAppServer {
 public:
  CountingLink(TDataSetProvider& p, std::vector<std::pair<int, int>>& log) : inner_(p), log_(log) {}
  TAppServerResult AS_GetRecords(std::string_view name, std::int32_t count, std::int32_t& recsOut,
                                 std::int32_t options, std::string_view text, TPacketData& params,
                                 TOwnerData& owner, TPacketData& result) override {
    log_.emplace_back(count, options);
    return inner_.AS_GetRecords(name, count, recsOut, options, text, params, owner, result);
  }
  TAppServerResult AS_ApplyUpdates(std::string_view name, const engine::DSPacket& delta,
                                   std::int32_t maxErrors, std::int32_t& errorCount,
                                   TOwnerData& owner, TPacketData& result) override {
    log_.emplace_back(-100, maxErrors);
    return inner_.AS_ApplyUpdates(name, delta, maxErrors, errorCount, owner, result);
  }

 private:
  TLocalAppServer inner_;
  std::vector<std::pair<int, int>>& log_;
};

}  // namespace clienttest
