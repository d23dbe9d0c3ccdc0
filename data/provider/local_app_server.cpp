#include "data/provider/local_app_server.h"

#include <exception>
#include <new>

#include "data/provider/dataset_provider.h"

namespace {

// Runs `call`, turning any failure into an error result with the failure's text.
template <typename Call>
TAppServerResult Guarded(Call&& call) {
  try {
    call();
    return TAppServerResult::Ok();
  } catch (const std::bad_alloc&) {
    return TAppServerResult::Error("Out of memory");
  } catch (const std::exception& e) {
    return TAppServerResult::Error(e.what());
  } catch (...) {
    return TAppServerResult::Error("Unknown failure in the provider");
  }
}

}  // namespace

TAppServerResult TLocalAppServer::AS_GetRecords(std::string_view, std::int32_t count,
                                                std::int32_t& recsOut, std::int32_t options,
                                                std::string_view commandText, TPacketData& params,
                                                TOwnerData& ownerData, TPacketData& result) {
  recsOut = 0;
  result.reset();
  return Guarded([&] {
    result = provider_.GetRecords(count, recsOut, options, commandText, params, ownerData);
  });
}

TAppServerResult TLocalAppServer::AS_ApplyUpdates(std::string_view, const engine::DSPacket& delta,
                                                  std::int32_t maxErrors, std::int32_t& errorCount,
                                                  TOwnerData& ownerData, TPacketData& result) {
  errorCount = 0;
  result.reset();
  return Guarded([&] { result = provider_.ApplyUpdates(delta, maxErrors, errorCount, ownerData); });
}
