#include "tests/db/sql/fake_driver_fixture.h"

#include <sstream>

#include "base/exceptions.h"

FakeDriverTest::FakeDriverTest() {
  library_ = DynamicLibrary::Load(FAKE_DRIVER_PATH);
  if (!library_) throw std::runtime_error("test driver library not found: " FAKE_DRIVER_PATH);
  reset_ = reinterpret_cast<FakeResetFn>(library_->Symbol("fake_reset"));
  fail_ = reinterpret_cast<FakeFailFn>(library_->Symbol("fake_fail"));
  setIntOption_ = reinterpret_cast<FakeSetIntOptionFn>(library_->Symbol("fake_set_int_option"));
  addColumn_ = reinterpret_cast<FakeAddColumnFn>(library_->Symbol("fake_add_column"));
  setRows_ = reinterpret_cast<FakeSetRowsFn>(library_->Symbol("fake_set_rows"));
  setRowsAffected_ =
      reinterpret_cast<FakeSetRowsAffectedFn>(library_->Symbol("fake_set_rows_affected"));
  queueRowsAffected_ =
      reinterpret_cast<FakeQueueRowsAffectedFn>(library_->Symbol("fake_queue_rows_affected"));
  log_ = reinterpret_cast<FakeLogFn>(library_->Symbol("fake_log"));
  reset_();
  // Transactions supported, one at a time.
  setIntOption_(MetaDataOption::SupportsTransaction, 1);

  connection_.SetName("Talvora");
  connection_.ConnectionName = "Talvora";
  connection_.DriverName = "Interbase";
  connection_.LibraryName = FAKE_DRIVER_PATH;
  connection_.GetDriverFunc = "getSQLDriverINTERBASE";
  connection_.VendorLib = "GDS32.DLL";
  for (const std::string& line : StoredLines()) connection_.Params().Add(line);
}

std::vector<std::string> FakeDriverTest::StoredLines() {
  return {"DriverName=Interbase",
          "BlobSize=-1",
          "CommitRetain=False",
          "Database= /srv/erp/datos/01/talvora.fdb ",
          "ErrorResourceFile=",
          "LocaleCode=0000",
          "password= typed ",
          "RoleName=RoleName",
          "ServerCharSet=",
          "SQLDialect=3",
          "Interbase TransIsolation=ReadCommited",
          "User_Name= sysdba",
          "WaitOnLocks=True"};
}

std::vector<std::string> FakeDriverTest::Log() const {
  std::vector<std::string> lines;
  std::istringstream in(log_());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> FakeDriverTest::LogLines(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : Log())
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}
