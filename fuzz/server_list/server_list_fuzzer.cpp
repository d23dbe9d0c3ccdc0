// Any file content splits into entries of at most 255 bytes holding no line end and no NUL,
// and never into more entries than the file has line ends plus one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/server_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::size_t line_ends = 0;
  for (char c : bytes) line_ends += (c == '\r' || c == '\n');
  const auto entries = ParseServerList(bytes);
  if (entries.size() > line_ends + 1) std::abort();
  for (const auto& entry : entries) {
    if (entry.size() > kMaxServerEntryLength) std::abort();
    if (entry.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
  }
  return 0;
}
