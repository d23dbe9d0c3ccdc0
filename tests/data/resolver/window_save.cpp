#include "tests/data/resolver/window_save.h"

#include <gtest/gtest.h>

#include "db/sql/sql_dataset.h"

namespace resolvertest {

namespace {

// Talvora as the window sets it up, pointed at `location` with the test server's login.
void ConnectTo(TSQLConnection& talvora, const std::string& location) {
  talvora.Params().SetValue("Database", location);
  talvora.Params().SetValue("User_Name", test_server::kUser);
  talvora.Params().SetValue("Password", test_server::kPassword);
}

}  // namespace

OtherUser::OtherUser(const std::string& location)
    : module_("OtroUsuario", FormatSettings::Default(), nullptr) {
  ConnectTo(module_.Talvora(), location);
}

WindowSave::WindowSave(const std::string& rows,
                       const std::function<std::string(const std::string&)>& locate) {
  if (!rows.empty()) database_.Execute(rows);
  const std::string where = locate ? locate(database_.Path()) : database_.Path();
  module_ = std::make_unique<TPostingDataModule>("PostingForm", FormatSettings::Default(), nullptr);
  ConnectTo(Talvora(), where);
  Talvora().SetStatementTrace([this](std::string_view sql, std::span<const SQLParamValue> params) {
    sent_.push_back({std::string(sql), params.size()});
  });
  other_ = std::make_unique<OtherUser>(where);
}

WindowSave::~WindowSave() {
  module_.reset();
  other_.reset();
}

void WindowSave::Open() {
  CAjuste().Open();
}

void WindowSave::Seek(int id) {
  ASSERT_TRUE(CAjuste().Locate("AJCI_ID", {std::int64_t{id}})) << "no row " << id;
}

void WindowSave::SetFactor(int id, const char* factor) {
  Seek(id);
  CAjuste().Edit();
  CAjuste().FieldByName("AJCI_FACTOR").SetAsString(factor);
  CAjuste().Post();
}

void WindowSave::Insert(int id, const char* factor) {
  TClientDataSet& c = CAjuste();
  c.Append();
  c.FieldByName("AJCI_ID").SetAsInteger(id);
  c.FieldByName("AJCI_FECINI").SetAsString("01/10/2026");
  c.FieldByName("AJCI_FECFIN").SetAsString("31/10/2026");
  c.FieldByName("AJCI_PORC").SetAsString("19");
  c.FieldByName("AJCI_FACTOR").SetAsString(factor);
  c.Post();
}

std::string WindowSave::Delta() const {
  const engine::DSPacket d = module_->CAjuste().Delta();
  return std::string(d.bytes().begin(), d.bytes().end());
}

std::vector<std::string> WindowSave::Table() {
  TSQLQuery q;
  q.SetSQLConnection(&other_->Connection());
  q.SetSQL(
      "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR from AJUSTE_CIERRE "
      "order by 1, 5");
  q.Open();
  std::vector<std::string> rows;
  for (; !q.Eof(); q.Next()) {
    std::string row;
    for (int i = 0; i < q.FieldCount(); ++i) row += (i ? " " : "") + q.Fields(i).AsString();
    rows.push_back(row);
  }
  q.Close();
  q.SetSQLConnection(nullptr);
  return rows;
}

void WindowSave::AsOtherUser(const std::string& sql) {
  other_->Connection().ExecuteDirect(sql);
}

void WindowSave::Reconnect() {
  Talvora().Close();
  other_->Connection().Close();
}

}  // namespace resolvertest
