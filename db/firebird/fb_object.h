// FbObject: what every object of the Firebird driver shares: the text of its last error and the
// handling of options nobody asked for (accepted when set, not supported when read).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "db/driver/sql_driver.h"

template <class Interface>
class FbObject : public Interface {
 public:
  SQLResult setOption(std::int32_t, std::int32_t) override { return kSqlSuccess; }
  SQLResult setTextOption(std::int32_t, const char*) override { return kSqlSuccess; }
  SQLResult getOption(std::int32_t, void*, std::int32_t, std::int32_t& length) override {
    length = 0;
    return kSqlNotSupported;
  }

  SQLResult getErrorMessageLen(std::int32_t& length) override {
    length = static_cast<std::int32_t>(lastError_.size());
    return kSqlSuccess;
  }
  SQLResult getErrorMessage(char* buffer, std::int32_t bufferSize) override {
    if (!buffer || bufferSize <= 0) return kSqlInvalidParameter;
    const std::size_t n = std::min(lastError_.size(), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, lastError_.data(), n);
    buffer[n] = '\0';
    return kSqlSuccess;
  }

 protected:
  // Remembers `message` as the last error and returns `code`, for `return Fail(...)`.
  SQLResult Fail(SQLResult code, std::string message) {
    lastError_ = std::move(message);
    return code;
  }

  static SQLResult WriteInt(void* buffer, std::int32_t size, std::int32_t& length,
                            std::int32_t value) {
    if (!buffer || size < static_cast<std::int32_t>(sizeof value)) return kSqlInvalidLength;
    std::memcpy(buffer, &value, sizeof value);
    length = sizeof value;
    return kSqlSuccess;
  }
  static SQLResult WriteText(void* buffer, std::int32_t size, std::int32_t& length,
                             std::string_view text) {
    if (!buffer || size <= static_cast<std::int32_t>(text.size())) return kSqlInvalidLength;
    std::memcpy(buffer, text.data(), text.size());
    static_cast<char*>(buffer)[text.size()] = '\0';
    length = static_cast<std::int32_t>(text.size());
    return kSqlSuccess;
  }

 private:
  std::string lastError_;
};
