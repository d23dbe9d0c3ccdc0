#include "datamodule/posting_data_module.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "datamodule/posting_data_definition.h"
#include "db/dataset/data_source.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"

namespace {

std::unique_ptr<TField> NewField(FieldClass fieldClass, TComponent* owner) {
  switch (fieldClass) {
    case FieldClass::kInteger:
      return std::make_unique<TIntegerField>(owner);
    case FieldClass::kDate:
      return std::make_unique<TDateField>(owner);
    case FieldClass::kFMTBCD:
      return std::make_unique<TFMTBCDField>(owner);
  }
  throw std::logic_error("unknown field class");
}

}  // namespace

TPostingDataModule::TPostingDataModule(const char* ownerName, const FormatSettings& settings,
                                       std::function<void(bool busy)> waitCursor)
    : settings_(settings) {
  components_.SetName(ownerName);
  CreateTalvora(std::move(waitCursor));
  for (const DataComponentDefinition& d : PostingFormDataComponents()) CreateDataComponent(d);
}

TPostingDataModule::~TPostingDataModule() = default;

void TPostingDataModule::CreateTalvora(std::function<void(bool)> waitCursor) {
  const ConnectionDefinition& d = TalvoraDefinition();
  talvora_ = std::make_unique<TSQLConnection>(&components_);
  talvora_->SetName(d.name);
  talvora_->ConnectionName = d.name;
  talvora_->DriverName = d.driver_name;
  talvora_->LibraryName = d.library_name;
  talvora_->GetDriverFunc = d.get_driver_func;
  talvora_->VendorLib = d.vendor_lib;
  talvora_->LoginPrompt = d.login_prompt;
  talvora_->KeepConnection = d.keep_connection;
  for (const char* line : d.params) talvora_->Params().Add(line);
  if (waitCursor) talvora_->SetWaitCursorHook(std::move(waitCursor));
}

template <typename T>
T& TPostingDataModule::Named(const char* name) {
  if (auto* component = dynamic_cast<T*>(components_.FindComponent(name))) return *component;
  throw std::logic_error(std::string("the window has no suitable component ") + name);
}

void TPostingDataModule::CreateDataComponent(const DataComponentDefinition& d) {
  switch (d.kind) {
    case DataComponentKind::kSQLQuery: {
      auto& query = data_components_.Add(std::make_unique<TSQLQuery>(&components_));
      query.SetName(d.name);
      query.Settings = settings_;
      query.SetSQLConnection(&Named<TSQLConnection>(d.source));
      query.SetSQL(d.text);
      return;
    }
    case DataComponentKind::kSQLTable: {
      auto& table = data_components_.Add(std::make_unique<TSQLTable>(&components_));
      table.SetName(d.name);
      table.Settings = settings_;
      table.SetSQLConnection(&Named<TSQLConnection>(d.source));
      table.SetTableName(d.text);
      table.GetMetadata = d.get_metadata;
      return;
    }
    case DataComponentKind::kProvider: {
      auto& provider = data_components_.Add(std::make_unique<TDataSetProvider>(&components_));
      provider.SetName(d.name);
      provider.SetDataSet(&Named<TDataSet>(d.source));
      provider.SetOptions(d.options);
      return;
    }
    case DataComponentKind::kClientDataSet: {
      auto& cached = data_components_.Add(std::make_unique<TClientDataSet>(&components_));
      cached.SetName(d.name);
      cached.Settings = settings_;
      cached.ProviderName = d.source;
      cached.SetCommandText(d.text);
      // The owner holds the fields' components, listed right after their dataset: a cached
      // dataset that owned components would be passed over by the wiring walk.
      for (const FieldDefinition& f : d.fields) {
        std::unique_ptr<TField> field = NewField(f.field_class, &components_);
        field->SetName(std::string(d.name) + f.field_name);
        field->SetFieldName(f.field_name);
        field->SetDisplayLabel(f.display_label);
        field->SetRequired(f.required);
        if (f.precision > 0) {
          field->SetPrecision(f.precision);
          field->SetSize(f.size);
        }
        cached.AddField(std::move(field));
      }
      return;
    }
    case DataComponentKind::kDataSource: {
      auto& source = data_components_.Add(std::make_unique<TDataSource>(&components_));
      source.SetName(d.name);
      source.SetDataSet(&Named<TDataSet>(d.source));
      return;
    }
  }
}

void TPostingDataModule::SetShowException(
    const std::function<void(const std::exception_ptr&)>& show) {
  for (int i = 0; i < components_.ComponentCount(); ++i) {
    if (auto* cached = dynamic_cast<TClientDataSet*>(components_.Components(i))) {
      cached->ShowException = show;
    }
  }
}

TSQLQuery& TPostingDataModule::SQLQuery1() const {
  return data_components_.Get<TSQLQuery>("SQLQuery1");
}
TDataSetProvider& TPostingDataModule::PRepArticulos() const {
  return data_components_.Get<TDataSetProvider>("PRepArticulos");
}
TClientDataSet& TPostingDataModule::CRepArticulos() const {
  return data_components_.Get<TClientDataSet>("CRepArticulos");
}
TDataSetProvider& TPostingDataModule::PBorrar() const {
  return data_components_.Get<TDataSetProvider>("PBorrar");
}
TClientDataSet& TPostingDataModule::Cborrar() const {
  return data_components_.Get<TClientDataSet>("Cborrar");
}
TSQLTable& TPostingDataModule::TAjuste() const {
  return data_components_.Get<TSQLTable>("TAjuste");
}
TDataSetProvider& TPostingDataModule::PAjuste() const {
  return data_components_.Get<TDataSetProvider>("PAjuste");
}
TClientDataSet& TPostingDataModule::CAjuste() const {
  return data_components_.Get<TClientDataSet>("CAjuste");
}
TDataSource& TPostingDataModule::DAjuste() const {
  return data_components_.Get<TDataSource>("DAjuste");
}
TSQLQuery& TPostingDataModule::QTarifas() const {
  return data_components_.Get<TSQLQuery>("QTarifas");
}
TDataSetProvider& TPostingDataModule::Ptarifiva() const {
  return data_components_.Get<TDataSetProvider>("Ptarifiva");
}
TClientDataSet& TPostingDataModule::CTarifas() const {
  return data_components_.Get<TClientDataSet>("CTarifas");
}
