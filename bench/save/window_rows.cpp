#include "bench/save/window_rows.h"

#include "base/currency.h"
#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"
#include "db/sql/sql_connection.h"

WindowRows::WindowRows(const std::string& path, std::int64_t (*newFactor)(std::int32_t))
    : module_(
          std::make_unique<TPostingDataModule>("PostingForm", FormatSettings::Default(), nullptr)) {
  TSQLConnection& talvora = module_->Talvora();
  talvora.Params().SetValue("Database", path);
  talvora.Params().SetValue("User_Name", "SYSDBA");
  talvora.Params().SetValue("Password", "masterkey");
  talvora.SetStatementTrace([this](std::string_view sql, std::span<const SQLParamValue>) {
    if (sent_++ == 0) first_ = std::string(sql);
  });
  TClientDataSet& rows = module_->CAjuste();
  rows.Open();
  TField& id = rows.FieldByName("AJCI_ID");
  TField& factor = rows.FieldByName("AJCI_FACTOR");
  for (rows.First(); !rows.Eof(); rows.Next()) {
    rows.Edit();
    factor.SetAsCurrency(Currency::FromRaw(newFactor(id.AsInteger())));
    rows.Post();
  }
}

WindowRows::~WindowRows() = default;

std::int64_t WindowRows::ChangedRows() const {
  return module_->CAjuste().ChangeCount();
}

std::int32_t WindowRows::Save() {
  return module_->CAjuste().ApplyUpdates(0);
}
