#include "db/sql/sql_connection.h"

#include <algorithm>

#include "base/exceptions.h"
#include "base/text.h"

namespace {

// Shows the hour-glass for the life of the object, so a failure puts the pointer back too.
class BusyScope {
 public:
  explicit BusyScope(const std::function<void(bool)>& hook) : hook_(hook) {
    if (hook_) hook_(true);
  }
  ~BusyScope() {
    if (hook_) hook_(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const std::function<void(bool)>& hook_;
};

bool IsTrue(std::string_view value) {
  return SameText(Trim(value), "TRUE");
}

enum class OptionKind { kText, kTruth, kNumber, kNonEmptyText, kIsolation };

struct OptionRule {
  const char* parameter;  // empty: the driver name + " TransIsolation"
  std::int32_t option;
  OptionKind kind;
};

// In the order the driver receives them.
constexpr OptionRule kOptionRules[] = {
    {"HostName", ConnectionOption::HostName, OptionKind::kText},
    {"RoleName", ConnectionOption::RoleName, OptionKind::kText},
    {"WaitOnLocks", ConnectionOption::WaitOnLocks, OptionKind::kTruth},
    {"CommitRetain", ConnectionOption::CommitRetain, OptionKind::kTruth},
    {"AutoCommit", ConnectionOption::AutoCommit, OptionKind::kTruth},
    {"BlockingMode", ConnectionOption::BlockingMode, OptionKind::kTruth},
    {"ServerCharSet", ConnectionOption::ServerCharSet, OptionKind::kNonEmptyText},
    {"", ConnectionOption::TransIsolation, OptionKind::kIsolation},
    {"SqlDialect", ConnectionOption::SqlDialect, OptionKind::kNumber},
    {"OS Authentication", ConnectionOption::OSAuthentication, OptionKind::kTruth},
    {"Server Port", ConnectionOption::ServerPort, OptionKind::kText},
    {"Multiple Transaction", ConnectionOption::MultipleTransaction, OptionKind::kTruth},
    {"Trim Char", ConnectionOption::TrimChar, OptionKind::kTruth},
    {"Custom String", ConnectionOption::CustomString, OptionKind::kText},
    {"Connection Timeout", ConnectionOption::ConnectionTimeout, OptionKind::kNumber},
};

std::int32_t IsolationLevel(std::string_view value) {
  const std::string lower = LowerCase(value);
  if (lower == "repeatableread") return 1;
  if (lower == "dirtyread") return 2;
  return 0;
}

std::int32_t ReadIntOption(ISQLObject& object, std::int32_t option, std::int32_t fallback) {
  std::int32_t value = 0;
  std::int32_t length = 0;
  if (object.getOption(option, &value, sizeof value, length) != kSqlSuccess) return fallback;
  return value;
}

}  // namespace

TSQLConnection::TSQLConnection(TComponent* owner) : TComponent(owner) {}

TSQLConnection::~TSQLConnection() {
  // Datasets still registered outlive us only by mistake; let them drop their commands first.
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; the driver objects are released below regardless.
  }
  const std::vector<SQLConnectionClient*> clients = clients_;
  for (SQLConnectionClient* client : clients) client->ConnectionDestroyed();
}

void TSQLConnection::LoadDriver() {
  if (!library_) {
    const std::string name = Trim(LibraryName);
    library_ = DynamicLibrary::Load(name);
    if (!library_) DatabaseErrorFmt("Unable to Load %s", nullptr, name);
    entry_ = nullptr;
  }
  if (entry_ == nullptr) {
    const std::string func = Trim(GetDriverFunc);
    entry_ = reinterpret_cast<SQLDriverEntry>(library_->Symbol(func.c_str()));
    if (entry_ == nullptr) DatabaseErrorFmt("Unable to Find Procedure %s", nullptr, func);
  }
}

void TSQLConnection::SetConnectionOptions(ISQLConnection& connection) {
  for (const OptionRule& rule : kOptionRules) {
    const std::string name =
        *rule.parameter != '\0' ? std::string(rule.parameter) : DriverName + " TransIsolation";
    if (params_.IndexOfName(name) < 0) continue;
    const std::string value = params_.Value(name);
    if (value.empty()) continue;
    switch (rule.kind) {
      case OptionKind::kText:
        connection.setTextOption(rule.option, Trim(value).c_str());
        break;
      case OptionKind::kNonEmptyText:
        if (!Trim(value).empty()) connection.setTextOption(rule.option, Trim(value).c_str());
        break;
      case OptionKind::kTruth:
        connection.setOption(rule.option, IsTrue(value) ? 1 : 0);
        break;
      case OptionKind::kNumber:
        connection.setOption(rule.option, StrToInt(Trim(value)));
        break;
      case OptionKind::kIsolation:
        connection.setOption(rule.option, IsolationLevel(value));
        break;
    }
  }
}

std::unique_ptr<ISQLConnection> TSQLConnection::ConnectNew(ISQLDriver& driver) {
  std::unique_ptr<ISQLConnection> connection;
  // Without a connection object there is no text to ask for.
  CheckDriver(driver.getSQLConnection(connection), nullptr, last_error_);
  SetConnectionOptions(*connection);
  CheckDriver(connection->connect(Trim(params_.Value("Database")), params_.Value("User_Name"),
                                  params_.Value("Password")),
              connection.get(), last_error_);
  return connection;
}

void TSQLConnection::Open() {
  if (Connected()) return;
  BusyScope busy(wait_cursor_);
  LoadDriver();
  ISQLDriver* raw = nullptr;
  const std::string resourceFile = Trim(params_.Value("ErrorResourceFile"));
  const SQLResult result = entry_(VendorLib.c_str(), resourceFile.c_str(), &raw);
  std::unique_ptr<ISQLDriver> driver(raw);
  if (result != kSqlSuccess || !driver) DatabaseErrorFmt("Unable to Load %s", nullptr, VendorLib);
  std::unique_ptr<ISQLConnection> connection = ConnectNew(*driver);
  std::int32_t maxStatements = 0;
  std::int32_t length = 0;
  CheckDriver(connection->getOption(ConnectionOption::MaxStatements, &maxStatements,
                                    sizeof maxStatements, length),
              connection.get(), last_error_);
  std::unique_ptr<ISQLMetaData> metaData;
  CheckDriver(connection->getSQLMetaData(metaData), connection.get(), last_error_);

  const std::string user = Trim(params_.Value("User_Name"));
  if (!user.empty()) metaData->setTextOption(MetaDataOption::SchemaName, user.c_str());
  char quote[16] = {};
  if (metaData->getOption(MetaDataOption::ObjectQuoteChar, quote, sizeof quote - 1, length) ==
      kSqlSuccess)
    quote_char_ = quote;
  const int blobSize = BlobSize();
  CheckDriver(connection->setOption(ConnectionOption::BlobSize, blobSize), connection.get(),
              last_error_);
  supports_transactions_ = ReadIntOption(*metaData, MetaDataOption::SupportsTransaction, 1) != 0;
  supports_multiple_transactions_ =
      ReadIntOption(*metaData, MetaDataOption::SupportsTransactions, 0) != 0;

  max_statements_ = maxStatements;
  selects_since_request_ = 0;
  in_transaction_ = false;
  driver_ = std::move(driver);
  connection_ = std::move(connection);
  meta_data_ = std::move(metaData);
}

void TSQLConnection::Close() {
  // Copy: a client may unregister while it closes.
  const std::vector<SQLConnectionClient*> clients = clients_;
  for (SQLConnectionClient* client : clients) client->ConnectionClosing();
  Disconnect();
}

void TSQLConnection::Disconnect() {
  if (!connection_) return;
  meta_data_.reset();
  if (second_connection_) {
    second_connection_->disconnect();
    second_connection_.reset();
  }
  connection_->disconnect();
  connection_.reset();
  driver_.reset();
  in_transaction_ = false;
}

TTransactionDesc TSQLConnection::TransactionDesc() const {
  TTransactionDesc desc;
  desc.IsolationLevel = IsolationLevel(params_.Value(DriverName + " TransIsolation"));
  return desc;
}

void TSQLConnection::StartTransaction() {
  Open();
  if (in_transaction_ && !supports_multiple_transactions_)
    DatabaseError("A transaction is already active");
  // Without driver support the calls are skipped, but the order of begin and end still holds.
  if (supports_transactions_) {
    const SQLResult result = connection_->beginTransaction(TransactionDesc());
    if (result != kSqlNotSupported) CheckDriver(result, connection_.get(), last_error_);
  }
  in_transaction_ = true;
}

void TSQLConnection::Commit() {
  if (!in_transaction_) DatabaseError("There is no active transaction");
  if (supports_transactions_) {
    const SQLResult result = connection_->commit(TransactionDesc());
    // A failed end leaves the transaction open, so the caller can still roll it back.
    if (result != kSqlNotSupported) CheckDriver(result, connection_.get(), last_error_);
  }
  in_transaction_ = false;
}

void TSQLConnection::Rollback() {
  if (!in_transaction_) DatabaseError("There is no active transaction");
  if (supports_transactions_) {
    const SQLResult result = connection_->rollback(TransactionDesc());
    // A failed end leaves the transaction open, so the caller can still roll it back.
    if (result != kSqlNotSupported) CheckDriver(result, connection_.get(), last_error_);
  }
  in_transaction_ = false;
}

int TSQLConnection::ExecuteDirect(std::string_view sql) {
  return Execute(sql, {});
}

int TSQLConnection::Execute(std::string_view sql, std::span<const SQLParamValue> params) {
  Open();
  if (trace_) trace_(sql, params);
  SQLStatement statement(NewCommand(), last_error_);
  statement.Prepare(sql, static_cast<std::uint16_t>(params.size()), RowsetSize());
  std::unique_ptr<ISQLCursor> cursor = statement.Execute(params);
  if (cursor) return 0;
  return static_cast<int>(statement.RowsAffected());
}

bool TSQLConnection::SelectFirstRow(std::string_view sql, std::span<const SQLParamValue> params,
                                    std::vector<ColumnValue>& row) {
  row.clear();
  Open();
  if (trace_) trace_(sql, params);
  SQLStatement statement(NewCommand(), last_error_);
  statement.Prepare(sql, static_cast<std::uint16_t>(params.size()), RowsetSize());
  NoteSelectPrepared();
  std::unique_ptr<ISQLCursor> cursor = statement.Execute(params);
  if (!cursor) DatabaseError("Cursor not returned from Query");
  const std::vector<SQLColumnDesc> columns = DescribeColumns(*cursor, last_error_);
  const SQLResult r = cursor->next();
  if (r == kSqlEof || r == kSqlNoMoreRows) return false;
  CheckDriver(r, cursor.get(), last_error_);
  row.reserve(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    row.emplace_back(static_cast<std::uint16_t>(i + 1), columns[i].type, columns[i].subType);
    row.back().Read(*cursor, last_error_);
  }
  return true;
}

std::int64_t TSQLConnection::LocaleCode() const {
  std::int64_t value = 0;
  const std::string text = Trim(params_.Value("LocaleCode"));
  if (text.empty() || !TryStrToInt64("$" + text, value)) return 0;
  return value;
}

int TSQLConnection::BlobSize() const {
  if (params_.IndexOfName("BlobSize") < 0) return -1;
  return StrToInt(Trim(params_.Value("BlobSize")));
}

int TSQLConnection::RowsetSize() const {
  if (params_.IndexOfName("RowsetSize") < 0) return kDefaultRowsetSize;
  return StrToInt(Trim(params_.Value("RowsetSize")));
}

std::unique_ptr<ISQLCommand> TSQLConnection::NewCommand() {
  Open();
  ISQLConnection* source = connection_.get();
  if (max_statements_ > 0 && selects_since_request_ >= max_statements_ && !in_transaction_) {
    if (!second_connection_) second_connection_ = ConnectNew(*driver_);
    source = second_connection_.get();
  }
  selects_since_request_ = 0;
  std::unique_ptr<ISQLCommand> command;
  CheckDriver(source->getSQLCommand(command), source, last_error_);
  return command;
}

std::string TSQLConnection::QuotedObjectName(std::string_view name) {
  Open();
  const std::string plain(name);
  CheckDriver(connection_->setTextOption(ConnectionOption::QualifiedName, plain.c_str()),
              connection_.get(), last_error_);
  char buffer[256] = {};
  std::int32_t length = 0;
  CheckDriver(
      connection_->getOption(ConnectionOption::QuotedObjectName, buffer, sizeof buffer, length),
      connection_.get(), last_error_);
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

void TSQLConnection::AddClient(SQLConnectionClient* client) {
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end())
    clients_.push_back(client);
}

void TSQLConnection::RemoveClient(SQLConnectionClient* client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}
