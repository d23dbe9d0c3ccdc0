#include "db/firebird/fb_connection.h"

#include "db/firebird/fb_command.h"
#include "db/firebird/fb_metadata.h"
#include "db/firebird/fb_statement.h"
#include "db/firebird/fb_values.h"

namespace {

constexpr std::size_t kLongestDpbValue = 255;

// Parameter block of an attachment; false when a value does not fit its one-byte length.
class AttachParameters {
 public:
  AttachParameters() : bytes_(1, static_cast<char>(isc_dpb_version1)) {}

  bool AddText(char item, std::string_view value) {
    if (value.size() > kLongestDpbValue) return false;
    bytes_ += item;
    bytes_ += static_cast<char>(value.size());
    bytes_ += value;
    return true;
  }
  void AddInt(char item, std::int32_t value) {
    bytes_ += item;
    bytes_ += static_cast<char>(4);
    for (int i = 0; i < 4; ++i) bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Whether a location names a host ("host:path", "host/port:path"); a one-letter prefix is a drive.
bool NamesHost(std::string_view location) {
  const std::size_t colon = location.find(':');
  return colon != std::string_view::npos && colon > 1 && location.front() != '/';
}

}  // namespace

FbConnection::FbConnection(std::shared_ptr<const FbApi> api)
    : session_(std::make_shared<FbSession>()) {
  session_->api = std::move(api);
}

FbConnection::~FbConnection() {
  disconnect();
}

SQLResult FbConnection::setOption(std::int32_t option, std::int32_t value) {
  switch (option) {
    case ConnectionOption::BlobSize:
      blobSize_ = value;
      break;
    case ConnectionOption::WaitOnLocks:
      session_->waitOnLocks = value != 0;
      break;
    case ConnectionOption::CommitRetain:
      session_->commitRetain = value != 0;
      break;
    case ConnectionOption::TrimChar:
      session_->trimChar = value != 0;
      break;
    case ConnectionOption::TransIsolation:
      if (value < 0 || value > 2) return Fail(kSqlInvalidIsolation, "Invalid isolation level");
      session_->isolation = value;
      break;
    case ConnectionOption::SqlDialect:
      if (value < 1 || value > 3) return Fail(kSqlInvalidParameter, "Invalid SQL dialect");
      session_->dialect = value;
      break;
    default:
      break;
  }
  return kSqlSuccess;
}

SQLResult FbConnection::setTextOption(std::int32_t option, const char* value) {
  const std::string text = value ? value : "";
  switch (option) {
    case ConnectionOption::RoleName:
      role_ = text;
      break;
    case ConnectionOption::HostName:
      hostName_ = text;
      break;
    case ConnectionOption::ServerCharSet:
      charSet_ = text;
      break;
    case ConnectionOption::ServerPort:
      serverPort_ = text;
      break;
    case ConnectionOption::QualifiedName:
      qualifiedName_ = text;
      break;
    default:
      break;
  }
  return kSqlSuccess;
}

SQLResult FbConnection::getOption(std::int32_t option, void* buffer, std::int32_t bufferSize,
                                  std::int32_t& length) {
  length = 0;
  switch (option) {
    case ConnectionOption::MaxStatements:
      return WriteInt(buffer, bufferSize, length, 0);
    case ConnectionOption::SqlDialect:
      return WriteInt(buffer, bufferSize, length, session_->dialect);
    case ConnectionOption::TransIsolation:
      return WriteInt(buffer, bufferSize, length, session_->isolation);
    case ConnectionOption::BlobSize:
      return WriteInt(buffer, bufferSize, length, blobSize_);
    case ConnectionOption::WaitOnLocks:
      return WriteInt(buffer, bufferSize, length, session_->waitOnLocks);
    case ConnectionOption::CommitRetain:
      return WriteInt(buffer, bufferSize, length, session_->commitRetain);
    case ConnectionOption::TrimChar:
      return WriteInt(buffer, bufferSize, length, session_->trimChar);
    case ConnectionOption::RoleName:
      return WriteText(buffer, bufferSize, length, role_);
    case ConnectionOption::HostName:
      return WriteText(buffer, bufferSize, length, hostName_);
    case ConnectionOption::ServerCharSet:
      return WriteText(buffer, bufferSize, length, charSet_);
    case ConnectionOption::ServerPort:
      return WriteText(buffer, bufferSize, length, serverPort_);
    case ConnectionOption::QualifiedName:
      return WriteText(buffer, bufferSize, length, qualifiedName_);
    case ConnectionOption::QuotedObjectName:
      return WriteText(buffer, bufferSize, length,
                       QuoteObjectName(qualifiedName_, session_->dialect));
    default:
      return FbObject::getOption(option, buffer, bufferSize, length);
  }
}

std::string FbConnection::AttachLocation(std::string_view location) const {
  if (hostName_.empty() || NamesHost(location)) return std::string(location);
  std::string prefix = hostName_;
  if (!serverPort_.empty()) prefix += "/" + serverPort_;
  return prefix + ":" + std::string(location);
}

SQLResult FbConnection::connect(std::string_view location, std::string_view user,
                                std::string_view password) {
  disconnect();
  AttachParameters dpb;
  bool fits = true;
  if (!user.empty()) fits &= dpb.AddText(isc_dpb_user_name, user);
  if (!password.empty()) fits &= dpb.AddText(isc_dpb_password, password);
  if (!charSet_.empty()) fits &= dpb.AddText(isc_dpb_lc_ctype, charSet_);
  if (!role_.empty()) fits &= dpb.AddText(isc_dpb_sql_role_name, role_);
  dpb.AddInt(isc_dpb_sql_dialect, session_->dialect);
  if (!fits) return Fail(kSqlConnectFailed, "Connection parameter too long");
  const std::string path = AttachLocation(location);
  ISC_STATUS status[ISC_STATUS_LENGTH];
  const std::string& bytes = dpb.Bytes();
  if (session_->api->attach_database(status, 0, path.c_str(), &session_->db,
                                     static_cast<short>(bytes.size()), bytes.data())) {
    session_->db = 0;
    return Fail(kSqlConnectFailed, session_->api->StatusText(status));
  }
  session_->precisions.clear();
  return kSqlSuccess;
}

SQLResult FbConnection::disconnect() {
  if (!session_->db) return kSqlSuccess;
  const FbApi& api = *session_->api;
  session_->DropPrepared();
  for (FbStatement* statement : session_->statements) statement->Drop();
  ISC_STATUS status[ISC_STATUS_LENGTH];
  // Work never committed is discarded; what commit retaining kept open is committed.
  if (session_->transaction) api.rollback_transaction(status, &session_->transaction);
  if (retained_) api.commit_transaction(status, &retained_);
  session_->transaction = 0;
  retained_ = 0;
  const ISC_STATUS failed = api.detach_database(status, &session_->db);
  session_->db = 0;
  if (failed) return Fail(kSqlServerError, api.StatusText(status));
  return kSqlSuccess;
}

SQLResult FbConnection::getSQLCommand(std::unique_ptr<ISQLCommand>& command) {
  if (!session_->db) return Fail(kSqlInvalidHandle, "Not connected to a database");
  command = std::make_unique<FbCommand>(session_);
  return kSqlSuccess;
}

SQLResult FbConnection::getSQLMetaData(std::unique_ptr<ISQLMetaData>& metaData) {
  metaData = std::make_unique<FbMetaData>(session_);
  return kSqlSuccess;
}

SQLResult FbConnection::beginTransaction(const TTransactionDesc& desc) {
  if (!session_->db) return Fail(kSqlInvalidHandle, "Not connected to a database");
  if (session_->transaction) {
    return Fail(kSqlTransactionActive, "A transaction is already active on this connection");
  }
  if (desc.IsolationLevel < 0 || desc.IsolationLevel > 2) {
    return Fail(kSqlInvalidIsolation, "Invalid isolation level");
  }
  if (retained_) {
    session_->transaction = retained_;
    retained_ = 0;
    return kSqlSuccess;
  }
  ISC_STATUS status[ISC_STATUS_LENGTH];
  if (session_->Start(status, &session_->transaction, desc.IsolationLevel)) {
    session_->transaction = 0;
    return Fail(kSqlServerError, session_->api->StatusText(status));
  }
  return kSqlSuccess;
}

SQLResult FbConnection::commit(const TTransactionDesc&) {
  if (!session_->transaction) return Fail(kSqlInvalidTransactionId, "No active transaction");
  session_->DropPrepared();
  const FbApi& api = *session_->api;
  ISC_STATUS status[ISC_STATUS_LENGTH];
  if (session_->commitRetain) {
    // The work is committed; the server keeps the transaction's context for the next begin.
    if (api.commit_retaining(status, &session_->transaction)) {
      return Fail(kSqlServerError, api.StatusText(status));
    }
    retained_ = session_->transaction;
    session_->transaction = 0;
    return kSqlSuccess;
  }
  // A failed commit leaves the transaction active, so that it can still be rolled back.
  if (api.commit_transaction(status, &session_->transaction)) {
    return Fail(kSqlServerError, api.StatusText(status));
  }
  return kSqlSuccess;
}

SQLResult FbConnection::rollback(const TTransactionDesc&) {
  if (!session_->transaction) return Fail(kSqlInvalidTransactionId, "No active transaction");
  session_->DropPrepared();
  ISC_STATUS status[ISC_STATUS_LENGTH];
  if (session_->api->rollback_transaction(status, &session_->transaction)) {
    return Fail(kSqlServerError, session_->api->StatusText(status));
  }
  return kSqlSuccess;
}
