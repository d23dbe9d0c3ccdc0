// DriverQuerySource: a provider's SQL dataset read straight through a driver connection: one
// select statement, prepared and executed on Open, read forward only, released on Close. Serves
// where no dataset object of the connection layer stands between the provider and the driver.
//
// The connection is referred to, not owned; it must outlive the source. Failures of the driver
// are raised as EDatabaseError with the driver's text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/provider/provider_source.h"
#include "db/driver/sql_driver.h"

class DriverQuerySource final : public ProviderSource {
 public:
  DriverQuerySource(ISQLConnection& connection, std::string sql, std::int64_t localeCode = 0);
  ~DriverQuerySource() override;

  bool Active() const override { return cursor_ != nullptr; }
  void Open() override;
  void Close() override;
  void First() override;
  void Next() override;
  bool Eof() const override { return eof_; }
  void CheckBrowseMode() override {}
  void SetCommandText(std::string_view text) override;
  void SetParams(const std::vector<std::uint8_t>&) override {}
  std::vector<std::uint8_t> GetParams() const override { return {}; }
  std::vector<engine::DSColumn> Columns() const override { return columns_; }
  void PutRow(engine::IDSWriter& writer) const override;
  std::int64_t LocaleCode() const override { return localeCode_; }

  const std::string& CommandText() const { return sql_; }

 private:
  void Check(ISQLObject& object, SQLResult result) const;
  void ReadColumns();

  ISQLConnection& connection_;
  std::string sql_;
  std::int64_t localeCode_;
  std::unique_ptr<ISQLCommand> command_;
  std::unique_ptr<ISQLCursor> cursor_;
  std::vector<engine::DSColumn> columns_;
  std::vector<SqlType> types_;
  bool eof_ = true;
  bool moved_ = false;
};
