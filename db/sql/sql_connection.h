// TSQLConnection: the program's connection to one database through a driver library.
//
// Holds the stored settings (library, entry point, client library, driver name) and the parameter
// list, loads the driver on the first connect (the library then stays loaded for the life of the
// object), turns the parameters into driver options, and hands commands to the SQL datasets that
// run on it. Opening a dataset opens the connection on demand; closing the connection closes its
// datasets first and releases their commands. Transactions use the 16-byte descriptor whose
// isolation level comes from the parameters.
//
// Every failure is raised as EDatabaseError (composed driver messages, or the layer's own texts);
// nothing is caught here. After a failed connect the connection is closed. Not thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/component.h"
#include "base/param_list.h"
#include "db/driver/dynamic_library.h"
#include "db/driver/sql_driver.h"
#include "db/sql/sql_columns.h"
#include "db/sql/sql_error.h"
#include "db/sql/sql_statement.h"

// What a connection asks of the SQL datasets that run on it.
class SQLConnectionClient {
 public:
  // The connection is closing: close, and release the command.
  virtual void ConnectionClosing() = 0;
  // The connection is being destroyed: forget it, so nothing reaches it afterwards.
  virtual void ConnectionDestroyed() = 0;

 protected:
  ~SQLConnectionClient() = default;
};

class TSQLConnection : public TComponent {
 public:
  explicit TSQLConnection(TComponent* owner = nullptr);
  ~TSQLConnection() override;

  // Stored settings.
  std::string ConnectionName;
  std::string DriverName;
  std::string LibraryName;
  std::string GetDriverFunc;
  std::string VendorLib;
  bool LoginPrompt = false;  // no dialog exists: user and password come from Params only
  bool KeepConnection = true;

  ParamList& Params() { return params_; }
  const ParamList& Params() const { return params_; }

  // Called with true before loading the driver and connecting, with false afterwards (also after
  // a failure); the window shows the hour-glass meanwhile.
  void SetWaitCursorHook(std::function<void(bool busy)> hook) { wait_cursor_ = std::move(hook); }

  // Called by Execute with every statement it hands to the driver: the text exactly as the
  // driver prepares it and the parameters bound to it, before it runs. For logs and tests.
  using StatementTrace =
      std::function<void(std::string_view sql, std::span<const SQLParamValue> params)>;
  void SetStatementTrace(StatementTrace trace) { trace_ = std::move(trace); }

  bool Connected() const { return connection_ != nullptr; }
  // Connects unless connected: loads the driver, sets the options, logs in.
  void Open();
  // Closes the SQL datasets on the connection, then disconnects. Harmless when closed.
  void Close();
  void SetConnected(bool value) { value ? Open() : Close(); }

  // Transactions. Skipped (without failure) when the driver says it supports none.
  bool InTransaction() const { return in_transaction_; }
  // Throws "A transaction is already active" when one is and several at once are not supported.
  void StartTransaction();
  // Throw "There is no active transaction" when none is.
  void Commit();
  void Rollback();
  // The descriptor the three calls pass: id 1, the isolation level of the parameters.
  TTransactionDesc TransactionDesc() const;

  // Runs a statement without parameters; returns the rows it changed. Opens on demand.
  int ExecuteDirect(std::string_view sql);
  // Runs a statement with "?" for each of `params`; returns the rows it changed. A select's rows
  // are discarded. Opens on demand.
  int Execute(std::string_view sql, std::span<const SQLParamValue> params);
  // Runs a select with "?" for each of `params` and reads its first row into `row`, one value per
  // column in the native bytes of its field type. False, with `row` empty, when it returns no row.
  // Opens on demand.
  bool SelectFirstRow(std::string_view sql, std::span<const SQLParamValue> params,
                      std::vector<ColumnValue>& row);

  // The last database error message the connection raised; empty when none.
  const std::string& LastErrorMessage() const { return last_error_.message; }
  LastDriverError& LastError() { return last_error_; }

  // The "LocaleCode" parameter read as a hexadecimal number (0 when absent or not a number).
  std::int64_t LocaleCode() const;
  // The "BlobSize" parameter, or -1 without it.
  int BlobSize() const;
  // The "RowsetSize" parameter, or 20 without it.
  int RowsetSize() const;
  // Open statements allowed at once, as the driver reported at connect (0: no limit).
  int MaxStmtsPerConn() const { return max_statements_; }
  // The quote character for object names the driver reported at connect.
  const std::string& QuoteChar() const { return quote_char_; }

  // For the SQL datasets. REQUIRES: Connected().
  // A new command, from a second driver connection when the statement limit has been reached
  // (see NoteSelectPrepared) and no transaction is active.
  std::unique_ptr<ISQLCommand> NewCommand();
  // A select statement has been prepared on a command of this connection.
  void NoteSelectPrepared() { ++selects_since_request_; }
  // `name` quoted by the driver (option 26 set, option 30 read).
  std::string QuotedObjectName(std::string_view name);

  // Registration of the datasets closed by Close(). The client must unregister before it goes.
  void AddClient(SQLConnectionClient* client);
  void RemoveClient(SQLConnectionClient* client);

 private:
  void LoadDriver();
  void SetConnectionOptions(ISQLConnection& connection);
  std::unique_ptr<ISQLConnection> ConnectNew(ISQLDriver& driver);
  void Disconnect();
  void BusyCursor(bool busy) const {
    if (wait_cursor_) wait_cursor_(busy);
  }

  ParamList params_;
  std::function<void(bool)> wait_cursor_;
  StatementTrace trace_;
  LastDriverError last_error_;

  // Released in reverse order of declaration: objects before the driver, the driver before its
  // library.
  std::unique_ptr<DynamicLibrary> library_;
  SQLDriverEntry entry_ = nullptr;
  std::unique_ptr<ISQLDriver> driver_;
  std::unique_ptr<ISQLConnection> connection_;
  std::unique_ptr<ISQLMetaData> meta_data_;
  std::unique_ptr<ISQLConnection> second_connection_;

  int max_statements_ = 0;
  int selects_since_request_ = 0;
  std::string quote_char_;
  bool supports_transactions_ = true;
  bool supports_multiple_transactions_ = false;
  bool in_transaction_ = false;
  std::vector<SQLConnectionClient*> clients_;
};
