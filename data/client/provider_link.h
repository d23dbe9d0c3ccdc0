// ProviderLink: a cached dataset's connection to its provider. Finds the provider by name among
// the components of the dataset's owner, creates the link (TLocalAppServer) at the first request
// and drops it at close, and turns the link's failed results into EOleException.
//
// Messages raised on behalf of the dataset carry its name as a prefix.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/component.h"
#include "data/provider/app_server.h"

class TDataSet;
class TDataSetProvider;

inline constexpr char kSCircularProvider[] = "Circular provider references not allowed";
inline constexpr char kSNoDataProvider[] = "Missing data provider or data packet";
inline constexpr char kSInvalidDataPacket[] = "Invalid data packet";

// The first component owned by `owner` named `providerName` (ignoring case), if it is a
// provider; null otherwise, and null for an empty name or a missing owner.
TDataSetProvider* FindProvider(const TComponent* owner, std::string_view providerName);

class ProviderLink {
 public:
  // `dataSet` is the cached dataset the link serves: its name prefixes messages, its owner is
  // searched for the provider. It must outlive the link.
  ProviderLink(const TComponent& component, const void* self);

  bool Connected() const { return appServer_ != nullptr; }
  // Creates the link if there is none. Throws EDatabaseError "Circular provider references not
  // allowed" or "Missing data provider or data packet".
  IAppServer& AppServer(std::string_view providerName);
  // Replaces the link (tests count requests through a wrapper).
  void SetAppServer(std::unique_ptr<IAppServer> appServer) { appServer_ = std::move(appServer); }
  void Release() { appServer_.reset(); }

  // A get-records request through the link. Nothing or an array of more than 21 bytes is
  // accepted; anything else throws "Invalid data packet". A failed result throws EOleException.
  // REQUIRES: Connected().
  TPacketData GetRecords(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                         std::string_view commandText, TPacketData& params, TOwnerData& ownerData);
  // REQUIRES: Connected().
  TPacketData ApplyUpdates(const engine::DSPacket& delta, std::int32_t maxErrors,
                           std::int32_t& errorCount, TOwnerData& ownerData);

 private:
  const TComponent& component_;
  const void* self_;
  std::unique_ptr<IAppServer> appServer_;
};
