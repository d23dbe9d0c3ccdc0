#include "data/provider/app_server.h"

#include "base/exceptions.h"

std::string TrimAppServerMessage(std::string_view message) {
  std::size_t end = message.size();
  while (end > 0) {
    const auto c = static_cast<unsigned char>(message[end - 1]);
    if (c > 32 && c != '.') break;
    --end;
  }
  return std::string(message.substr(0, end));
}

void RaiseAppServerError(const TAppServerResult& result) {
  if (result.Failed) throw EOleException(TrimAppServerMessage(result.Message));
}
