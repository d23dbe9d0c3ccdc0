// The entry point of the Firebird driver library and its ISQLDriver.
#include <memory>
#include <string>

#include "db/firebird/fb_api.h"
#include "db/firebird/fb_connection.h"
#include "db/firebird/fb_object.h"

namespace {

class FbDriver : public FbObject<ISQLDriver> {
 public:
  explicit FbDriver(std::shared_ptr<const FbApi> api) : api_(std::move(api)) {}

  SQLResult getSQLConnection(std::unique_ptr<ISQLConnection>& connection) override {
    connection = std::make_unique<FbConnection>(api_);
    return kSqlSuccess;
  }

 private:
  std::shared_ptr<const FbApi> api_;
};

}  // namespace

extern "C" SQL_DRIVER_EXPORT SQLResult getSQLDriverINTERBASE(const char* vendorLib,
                                                             const char* /*resourceFile*/,
                                                             ISQLDriver** driver) {
  if (!driver) return kSqlInvalidParameter;
  *driver = nullptr;
  std::string error;
  auto api = FbApi::Load(vendorLib ? vendorLib : "", error);
  if (!api) return kSqlDriverInitFailed;
  *driver = new FbDriver(std::move(api));
  return kSqlSuccess;
}
