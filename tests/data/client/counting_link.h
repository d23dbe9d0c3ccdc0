// CountingLink: the link between a cached dataset and its provider, recording every request: a
// get-records request as its count and options, a save as -100 and its error limit.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "data/client/client_dataset.h"
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

// Opens `cds` on `provider` through a CountingLink recording into `log`.
inline void OpenCounting(TClientDataSet& cds, TDataSetProvider& provider,
                         std::vector<std::pair<int, int>>& log) {
  cds.SetAppServer(std::make_unique<CountingLink>(provider, log));
  cds.Open();
}

// The rows `cds` shows, walked from the first.
inline int VisibleRows(TClientDataSet& cds) {
  int n = 0;
  for (cds.First(); !cds.Eof(); cds.Next()) ++n;
  return n;
}

}  // namespace clienttest
