// FbConnection: ISQLConnection for one Firebird attachment. A location without a host opens the
// file in-process (embedded); "host:path" and "host/port:path" go through a server. Options set
// before connect shape the attachment; those read afterwards describe it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/firebird/fb_object.h"
#include "db/firebird/fb_session.h"

class FbConnection : public FbObject<ISQLConnection> {
 public:
  explicit FbConnection(std::shared_ptr<const FbApi> api);
  ~FbConnection() override;

  SQLResult setOption(std::int32_t option, std::int32_t value) override;
  SQLResult setTextOption(std::int32_t option, const char* value) override;
  SQLResult getOption(std::int32_t option, void* buffer, std::int32_t bufferSize,
                      std::int32_t& length) override;

  SQLResult connect(std::string_view location, std::string_view user,
                    std::string_view password) override;
  SQLResult disconnect() override;
  SQLResult getSQLCommand(std::unique_ptr<ISQLCommand>& command) override;
  SQLResult getSQLMetaData(std::unique_ptr<ISQLMetaData>& metaData) override;
  SQLResult beginTransaction(const TTransactionDesc& desc) override;
  SQLResult commit(const TTransactionDesc& desc) override;
  SQLResult rollback(const TTransactionDesc& desc) override;

 private:
  // The location the client library is given: a host name set as an option is put in front of a
  // location that names none.
  std::string AttachLocation(std::string_view location) const;

  std::shared_ptr<FbSession> session_;
  std::string role_;
  std::string charSet_;
  std::string hostName_;
  std::string serverPort_;
  std::string qualifiedName_;
  std::int32_t blobSize_ = -1;
  // A transaction kept open by commit retaining, taken up again by the next begin.
  isc_tr_handle retained_ = 0;
};
