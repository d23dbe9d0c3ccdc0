#include "config/server_list.h"

#include <optional>

#include "base/file_handle.h"

// The platform's call: the whole content of the file at `path`, read under a shared,
// non-blocking lock; nothing when it cannot be opened, someone else holds it exclusively (or
// opened it without sharing), or a read fails.
#if defined(_WIN32)

namespace {

std::optional<std::string> ReadSharedLocked(const std::string& path) {
  // Opening shares everything: the lock below is what keeps writers out, as flock does on Linux.
  const FileHandle file(::CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  // The whole file and beyond, so that an exclusive lock anywhere in it conflicts. Released when
  // the handle closes.
  OVERLAPPED whole{};
  if (!::LockFileEx(file.get(), LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    return std::nullopt;
  }
  std::string content;
  char chunk[64 * 1024];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file.get(), chunk, sizeof chunk, &n, nullptr)) return std::nullopt;
    if (n == 0) return content;
    content.append(chunk, n);
  }
}

}  // namespace

#else

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::optional<std::string> ReadSharedLocked(const std::string& path) {
  const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return std::nullopt;
  if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0) return std::nullopt;
  std::string content;
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
    if (n == 0) return content;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    content.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace

#endif

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
  const std::optional<std::string> content = ReadSharedLocked(ServerListPath(directory));
  if (!content) return {};
  return ParseServerList(*content);
}
