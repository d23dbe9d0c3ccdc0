// FbMetaData: ISQLMetaData of one attachment: what the driver supports and how names are quoted.
#pragma once

#include <memory>

#include "db/firebird/fb_object.h"
#include "db/firebird/fb_session.h"

class FbMetaData : public FbObject<ISQLMetaData> {
 public:
  explicit FbMetaData(std::shared_ptr<FbSession> session) : session_(std::move(session)) {}

  SQLResult getOption(std::int32_t option, void* buffer, std::int32_t bufferSize,
                      std::int32_t& length) override {
    switch (option) {
      case MetaDataOption::SupportsTransaction:
        return WriteInt(buffer, bufferSize, length, 1);
      case MetaDataOption::SupportsTransactions:
        // One explicit transaction at a time per connection.
        return WriteInt(buffer, bufferSize, length, 0);
      case MetaDataOption::ObjectQuoteChar:
        return WriteText(buffer, bufferSize, length, session_->dialect >= 3 ? "\"" : "");
      default:
        return FbObject::getOption(option, buffer, bufferSize, length);
    }
  }

 private:
  std::shared_ptr<FbSession> session_;
};
