#include "data/client/provider_link.h"

#include "base/exceptions.h"
#include "base/text.h"
#include "data/provider/dataset_provider.h"
#include "data/provider/local_app_server.h"

namespace {
// Anything this short cannot hold the engine's packet header and one column.
constexpr std::size_t kMinPacketSize = 22;
}  // namespace

TDataSetProvider* FindProvider(const TComponent* owner, std::string_view providerName) {
  if (owner == nullptr || providerName.empty()) return nullptr;
  return dynamic_cast<TDataSetProvider*>(owner->FindComponent(providerName));
}

ProviderLink::ProviderLink(const TComponent& component, const void* self)
    : component_(component), self_(self) {}

IAppServer& ProviderLink::AppServer(std::string_view providerName) {
  if (appServer_ == nullptr) {
    TDataSetProvider* provider = FindProvider(component_.Owner(), providerName);
    if (provider != nullptr) {
      if (provider->DataSet() != nullptr && static_cast<const void*>(provider->DataSet()) == self_)
        DatabaseError(kSCircularProvider, &component_);
      appServer_ = std::make_unique<TLocalAppServer>(*provider);
    }
  }
  if (appServer_ == nullptr) DatabaseError(kSNoDataProvider, &component_);
  return *appServer_;
}

TPacketData ProviderLink::GetRecords(std::int32_t count, std::int32_t& recsOut,
                                     std::int32_t options, std::string_view commandText,
                                     TPacketData& params, TOwnerData& ownerData) {
  TPacketData packet;
  RaiseAppServerError(appServer_->AS_GetRecords({}, count, recsOut, options, commandText, params,
                                                ownerData, packet));
  if (packet && packet->size() < kMinPacketSize) DatabaseError(kSInvalidDataPacket, &component_);
  return packet;
}

TPacketData ProviderLink::ApplyUpdates(const engine::DSPacket& delta, std::int32_t maxErrors,
                                       std::int32_t& errorCount, TOwnerData& ownerData) {
  TPacketData results;
  RaiseAppServerError(
      appServer_->AS_ApplyUpdates({}, delta, maxErrors, errorCount, ownerData, results));
  return results;
}
