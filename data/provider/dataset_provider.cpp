#include "data/provider/dataset_provider.h"

#include "base/exceptions.h"

namespace {

constexpr char kSNoCommandText[] = "CommandText changes are not allowed";
constexpr char kSMissingDataSet[] = "Missing DataSet property";
constexpr char kSNoResolver[] = "No resolver is available to apply updates";

void Check(engine::IDSWriter& writer, engine::DSStatus status) {
  if (status != engine::kDSOk) throw EDSWriter(writer.ErrorText(status), status);
}

}  // namespace

TDataSetProvider::TDataSetProvider(TComponent* owner) : TComponent(owner) {}

TDataSetProvider::~TDataSetProvider() = default;

void TDataSetProvider::SetSource(std::unique_ptr<ProviderSource> source) {
  dataSet_ = nullptr;
  source_ = std::move(source);
  openedByProvider_ = false;
  rowsSent_ = 0;
}

ProviderSource& TDataSetProvider::RequireSource() {
  if (source_ == nullptr) DatabaseError(kSMissingDataSet);
  return *source_;
}

TPacketData TDataSetProvider::GetRecords(std::int32_t count, std::int32_t& recsOut,
                                         std::int32_t options, std::string_view commandText,
                                         TPacketData& params, TOwnerData& ownerData) {
  recsOut = 0;
  if (!commandText.empty()) {
    if ((options_ & poAllowCommandText) == 0) DatabaseError(kSNoCommandText);
    RequireSource().SetCommandText(commandText);
  }
  if (params && !params->empty()) {
    const auto bytes = params->bytes();
    RequireSource().SetParams(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  if (BeforeGetRecords) BeforeGetRecords(*this, ownerData);
  TPacketData packet;
  try {
    if (options & grReset) {
      Reset();
      if (count == 0) return std::nullopt;
    }
    ProviderSource& source = RequireSource();
    if (!source.Active()) {
      source.Open();
      openedByProvider_ = true;
    }
    if (count == 0 || (options & grMetaData)) rowsSent_ = 0;
    source.CheckBrowseMode();
    packet = WritePacket(source, count, (options & grMetaData) != 0, recsOut);
    rowsSent_ += recsOut;
    if (recsOut != count) {
      Reset();
    } else if (count != 0) {
      source.Next();
    }
    if (AfterGetRecords) AfterGetRecords(*this, ownerData);
    std::vector<std::uint8_t> out = source.GetParams();
    if (!out.empty()) params = engine::DSPacket::FromBytes(out);
  } catch (...) {
    try {
      Reset();
    } catch (...) {
      // The request's own failure is the one worth reporting.
    }
    throw;
  }
  return packet;
}

engine::DSPacket TDataSetProvider::WritePacket(ProviderSource& source, std::int32_t count,
                                               bool withMetaData, std::int32_t& recsOut) {
  if (withMetaData || writer_ == nullptr) {
    writer_ = engine::CreateDSWriter();
    Check(*writer_, writer_->DescribeColumns(source.Columns()));
    const std::pair<TProviderOption, const char*> flags[] = {
        {poReadOnly, "READONLY"},
        {poDisableEdits, "DISABLE_EDITS"},
        {poDisableInserts, "DISABLE_INSERTS"},
        {poDisableDeletes, "DISABLE_DELETES"},
        {poNoReset, "NO_RESET_CALL"},
    };
    for (const auto& [option, name] : flags) {
      if (options_ & option) Check(*writer_, writer_->AddAttribute({name, true}));
    }
    Check(*writer_, writer_->AddAttribute({"LCID", source.LocaleCode()}));
  }
  std::int32_t written = 0;
  while (!source.Eof() && (count < 0 || written < count)) {
    Check(*writer_, writer_->PutRowAttribute(engine::kRowUnchanged));
    source.PutRow(*writer_);
    ++written;
    if (count < 0 || written < count) source.Next();
  }
  engine::DSPacket packet;
  Check(*writer_, writer_->GetPacket(packet));
  recsOut = written;
  return packet;
}

void TDataSetProvider::Reset() {
  rowsSent_ = 0;
  if (source_ == nullptr) return;
  if (openedByProvider_) {
    openedByProvider_ = false;
    source_->Close();
  } else if (source_->Active()) {
    source_->First();
  }
}

void TDataSetProvider::SetResolveToDataSet(bool on) {
  if (on != resolveToDataSet_) resolver_.reset();
  resolveToDataSet_ = on;
}

void TDataSetProvider::SetResolverFactory(TResolverFactory factory) {
  resolverFactory_ = std::move(factory);
  resolver_.reset();
}

ResolverPolicy TDataSetProvider::Policy() const {
  ResolverPolicy p;
  p.updateMode = updateMode_;
  p.readOnly = (options_ & poReadOnly) != 0;
  p.disableEdits = (options_ & poDisableEdits) != 0;
  p.disableInserts = (options_ & poDisableInserts) != 0;
  p.disableDeletes = (options_ & poDisableDeletes) != 0;
  p.allowMultiRecordUpdates = (options_ & poAllowMultiRecordUpdates) != 0;
  return p;
}

void TDataSetProvider::UpdateError(TDataSet& delta, EUpdateError& error, TUpdateKind kind,
                                   TResolverResponse& response) {
  if (OnUpdateError) OnUpdateError(this, &delta, error, kind, response);
}

TPacketData TDataSetProvider::ApplyUpdates(const engine::DSPacket& delta, std::int32_t maxErrors,
                                           std::int32_t& errorCount, TOwnerData& ownerData) {
  errorCount = 0;
  if (BeforeApplyUpdates) BeforeApplyUpdates(*this, ownerData);
  if (resolver_ == nullptr) {
    if (resolverFactory_) {
      resolver_ = resolverFactory_(*this);
    } else if (!resolveToDataSet_) {
      resolver_ = CreateSQLResolver(*this);
    } else {
      DatabaseError(kSNoResolver, this);
    }
  }
  TPacketData results = resolver_->ApplyUpdates(delta, maxErrors, errorCount);
  if (AfterApplyUpdates) AfterApplyUpdates(*this, ownerData);
  return results;
}
