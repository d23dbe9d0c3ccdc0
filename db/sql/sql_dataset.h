// TCustomSQLDataSet: a dataset over one statement of a TSQLConnection, read forward only.
//
// Opening opens the connection on demand, prepares the statement (once, until the text changes,
// the dataset goes or the connection closes), binds the parameters, executes it and describes
// the cursor's columns as field definitions. Each move to the next row reads every column with
// the driver getter of its type straight into the row's native values, which the fields read.
// Moving back to the first row after moving on runs the statement again. Closing releases the
// cursor. The dataset is read-only.
//
// TSQLQuery runs its SQL text, whose ":name" parameters go to the driver as "?" with the values
// of Params; TSQLTable runs " select * from " followed by the driver-quoted TableName.
//
// Failures are raised as EDatabaseError; the composed driver messages are remembered as the
// dataset's last error. The connection must outlive the dataset or be unset first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset/dataset.h"
#include "db/dataset/params.h"
#include "db/sql/sql_columns.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_statement.h"

class TCustomSQLDataSet : public TDataSet, private SQLConnectionClient {
 public:
  explicit TCustomSQLDataSet(TComponent* owner = nullptr);
  ~TCustomSQLDataSet() override;

  TSQLConnection* SQLConnection() const { return connection_; }
  // Closes and unprepares when the connection changes. `connection` may be null.
  void SetSQLConnection(TSQLConnection* connection);

  TParams& Params() { return params_; }
  const TParams& Params() const { return params_; }

  bool Prepared() const { return statement_ != nullptr; }
  // Releases the prepared command (closing the dataset first).
  void UnPrepare();

  // The last database error message the dataset raised; empty when none.
  const std::string& LastErrorMessage() const { return last_error_.message; }

  // The connection's locale number ("LocaleCode"), 0 without a connection.
  std::int64_t LocaleCode() const;

 protected:
  // The statement to run, parameters as ":name"; empty when there is none.
  virtual std::string StatementText() = 0;

  void InternalOpen() override;
  void InternalClose() override;
  TGetResult InternalFirst() override;
  TGetResult InternalNext() override;
  bool GetFieldData(const TField& field, TFieldData& out) const override;
  void SetFieldData(const TField& field, const void* data, std::uint32_t size) override;

 private:
  void ConnectionClosing() override;
  void ConnectionDestroyed() override;
  void Execute();
  TGetResult Fetch();
  std::vector<SQLParamValue> BoundParams() const;

  TSQLConnection* connection_ = nullptr;
  TParams params_;
  LastDriverError last_error_;
  std::string prepared_text_;
  std::vector<std::string> param_names_;
  std::unique_ptr<SQLStatement> statement_;
  std::unique_ptr<ISQLCursor> cursor_;
  std::vector<ColumnValue> values_;
  std::int64_t rows_fetched_ = 0;
  bool at_end_ = false;
};

class TSQLQuery : public TCustomSQLDataSet {
 public:
  using TCustomSQLDataSet::TCustomSQLDataSet;
  ~TSQLQuery() override;

  const std::string& SQL() const { return sql_; }
  // Takes `text` without its leading characters of code 32 or below. A text that differs from
  // the present one needs the dataset closed ("Cannot perform this operation on an open
  // dataset"), unprepares it and rebuilds Params from the ":name"s in it.
  void SetSQL(std::string_view text);

 protected:
  std::string StatementText() override { return sql_; }

 private:
  std::string sql_;
};

class TSQLTable : public TCustomSQLDataSet {
 public:
  using TCustomSQLDataSet::TCustomSQLDataSet;
  ~TSQLTable() override;

  const std::string& TableName() const { return table_name_; }
  // A different name needs the dataset closed, and unprepares it.
  void SetTableName(std::string_view name);
  // Whether index and key information would be read; this layer reads none either way.
  bool GetMetadata = false;

 protected:
  std::string StatementText() override;

 private:
  std::string table_name_;
};
