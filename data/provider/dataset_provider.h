// TDataSetProvider: answers a cached dataset's requests for rows by running an SQL dataset and
// packing its rows, a requested number at a time, into data packets through the dataset engine;
// hands the cached dataset's logged changes to a resolver: with ResolveToDataSet off (the
// default), the SQL resolver (data/resolver/sql_resolver.h), made at the first save and kept.
//
// The SQL dataset is read forward only and never re-executed for later packets: after a full
// packet it stays open, positioned on the first row not yet sent. The provider closes it again
// only if it opened it itself, when its rows are used up, on a reset request, or when a request
// fails.
//
// The SQL dataset is referred to, not owned (both belong to the window). Single-threaded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/component.h"
#include "base/exceptions.h"
#include "data/engine/ds_packet.h"
#include "data/engine/ds_writer.h"
#include "data/provider/app_server.h"
#include "data/provider/provider_options.h"
#include "data/provider/provider_source.h"
#include "data/resolver/provider_resolver.h"

class TDataSet;
class TDataSetProvider;

// Called for a row of a save that failed; answers how the resolver goes on.
using TResolverErrorEvent =
    std::function<void(TDataSetProvider* sender, TDataSet* dataSet, EUpdateError& e,
                       TUpdateKind updateKind, TResolverResponse& response)>;
// Called around a request, with the caller's data.
using TRemoteEvent = std::function<void(TDataSetProvider& sender, TOwnerData& ownerData)>;

using TResolverFactory = std::function<std::unique_ptr<IProviderResolver>(TDataSetProvider&)>;

class TDataSetProvider : public TComponent, private ResolverHost {
 public:
  explicit TDataSetProvider(TComponent* owner = nullptr);
  ~TDataSetProvider() override;

  TDataSet* DataSet() const { return dataSet_; }
  // `dataSet` may be null; it must outlive the provider or be unset first.
  void SetDataSet(TDataSet* dataSet);
  // Reads through `source` instead of a TDataSet (DataSet() stays null).
  void SetSource(std::unique_ptr<ProviderSource> source);
  TProviderOptions Options() const { return options_; }
  void SetOptions(TProviderOptions options) { options_ = options; }
  TUpdateMode UpdateMode() const { return updateMode_; }
  void SetUpdateMode(TUpdateMode mode) { updateMode_ = mode; }
  bool ResolveToDataSet() const { return resolveToDataSet_; }
  // Switching it discards the resolver made so far.
  void SetResolveToDataSet(bool on);

  TResolverErrorEvent OnUpdateError;
  TRemoteEvent BeforeGetRecords;
  TRemoteEvent AfterGetRecords;
  TRemoteEvent BeforeApplyUpdates;
  TRemoteEvent AfterApplyUpdates;

  // How the resolver is made at the first save, instead of the SQL resolver. With
  // ResolveToDataSet on and no factory a save fails.
  void SetResolverFactory(TResolverFactory factory);
  // The provider as its resolver sees it.
  ResolverHost& Host() { return *this; }

  // Answers a request for rows (see IAppServer::AS_GetRecords). Throws on failure; from the
  // reset step on, the provider resets before the failure passes on.
  TPacketData GetRecords(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                         std::string_view commandText, TPacketData& params, TOwnerData& ownerData);
  // Hands `delta` to the resolver between BeforeApplyUpdates and AfterApplyUpdates (see
  // IAppServer::AS_ApplyUpdates). Throws on failure; AfterApplyUpdates is then not called.
  TPacketData ApplyUpdates(const engine::DSPacket& delta, std::int32_t maxErrors,
                           std::int32_t& errorCount, TOwnerData& ownerData);

  // Closes the SQL dataset if the provider opened it, else rewinds it if it is open; the
  // rows-sent count becomes 0.
  void Reset();

  // Whether the provider itself opened its SQL dataset (and so will close it).
  bool OpenedByProvider() const { return openedByProvider_; }
  // Rows delivered since the last reset.
  std::int32_t RowsSent() const { return rowsSent_; }

 private:
  // ResolverHost.
  TDataSet* ResolverDataSet() const override { return dataSet_; }
  ResolverPolicy Policy() const override;
  void UpdateError(TDataSet& delta, EUpdateError& error, TUpdateKind kind,
                   TResolverResponse& response) override;

  ProviderSource& RequireSource();
  engine::DSPacket WritePacket(ProviderSource& source, std::int32_t count, bool withMetaData,
                               std::int32_t& recsOut);

  TDataSet* dataSet_ = nullptr;
  TProviderOptions options_ = 0;
  TUpdateMode updateMode_ = TUpdateMode::upWhereAll;
  bool resolveToDataSet_ = false;
  bool openedByProvider_ = false;
  std::int32_t rowsSent_ = 0;
  std::unique_ptr<ProviderSource> source_;  // the view of dataSet_, or a source of its own
  std::unique_ptr<engine::IDSWriter> writer_;
  TResolverFactory resolverFactory_;
  std::unique_ptr<IProviderResolver> resolver_;
};
