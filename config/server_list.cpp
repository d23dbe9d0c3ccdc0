#include "config/server_list.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "base/file_handle.h"

namespace {

// The whole content, or nothing when a read fails.
std::optional<std::string> ReadAll(int fd) {
  std::string content;
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n == 0) return content;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    content.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace

std::vector<std::string> ParseServerList(std::string_view bytes) {
  std::vector<std::string> entries;
  std::string line;
  bool entry_ended = false;  // a NUL seen or the length limit reached: drop the rest of the line
  bool pending = false;      // bytes since the last line end, so a last unterminated line counts
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      entries.push_back(std::move(line));
      line.clear();
      entry_ended = false;
      pending = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    pending = true;
    if (entry_ended) continue;
    if (c == '\0' || line.size() == kMaxServerEntryLength) {
      entry_ended = true;
      continue;
    }
    line.push_back(c);
  }
  if (pending) entries.push_back(std::move(line));
  return entries;
}

std::string ServerListPath(std::string_view directory) {
  std::string path(directory);
  path += "/SERVIDORES.cfg";
  return path;
}

std::vector<std::string> ReadServerList(std::string_view directory) {
  const FileHandle file(::open(ServerListPath(directory).c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return {};
  // Held exclusively while reading; someone else's lock means the file cannot be opened.
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return {};
  const std::optional<std::string> content = ReadAll(file.get());
  if (!content) return {};
  return ParseServerList(*content);
}
