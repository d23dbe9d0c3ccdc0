// The adjustment chain of the window (CAjuste -> PAjuste -> TAjuste on Talvora, built by the
// window's data module) on a throw-away company database, with every statement the driver
// receives recorded, and a second attachment that reads and writes as another user would.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "datamodule/posting_data_module.h"
#include "db/sql/sql_connection.h"
#include "tests/support/test_database.h"

namespace resolvertest {

// A statement as the driver received it.
struct Sent {
  std::string text;
  std::size_t params = 0;
};

// Another user of the same database: a second copy of the window's data module, whose Talvora
// connects to `location`.
class OtherUser {
 public:
  explicit OtherUser(const std::string& location);
  TSQLConnection& Connection() { return module_.Talvora(); }

 private:
  TPostingDataModule module_;
};

class WindowSave {
 public:
  // `rows` are inserted into AJUSTE_CIERRE (statements ending in ";") before anything connects.
  // `locate` makes the location both attachments use of the database's path (default: the path,
  // embedded).
  explicit WindowSave(const std::string& rows = {},
                      const std::function<std::string(const std::string&)>& locate = nullptr);
  ~WindowSave();

  TPostingDataModule& Module() { return *module_; }
  TClientDataSet& CAjuste() { return module_->CAjuste(); }
  TDataSetProvider& PAjuste() { return module_->PAjuste(); }
  TSQLConnection& Talvora() { return module_->Talvora(); }
  const std::vector<Sent>& SentStatements() const { return sent_; }
  void ForgetSent() { sent_.clear(); }
  TestDatabase& Database() { return database_; }

  // Opens CAjuste (every row of AJUSTE_CIERRE).
  void Open();
  // Makes the row with AJCI_ID `id` current. REQUIRES: it is there.
  void Seek(int id);
  // Sets the factor of row `id` and posts it.
  void SetFactor(int id, const char* factor);
  // Inserts a row of rate 19 from 1 to 31 October 2026.
  void Insert(int id, const char* factor);
  std::string Delta() const;

  // The rows of AJUSTE_CIERRE as another attachment sees them, ordered, each "id dates rate
  // factor" in the default settings (an empty text for a null).
  std::vector<std::string> Table();
  // Runs `sql` on the other attachment, outside any transaction.
  void AsOtherUser(const std::string& sql);
  // Closes Talvora and the other attachment; both connect again when next used.
  void Reconnect();

 private:
  TestDatabase database_;
  std::unique_ptr<TPostingDataModule> module_;
  std::unique_ptr<OtherUser> other_;
  std::vector<Sent> sent_;
};

}  // namespace resolvertest
