// POSIX variant: O_APPEND makes every write land at the current end of the file, and the entry
// goes out in a single write() call, so concurrent writers never split each other's entries.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_handle.h"
#include "errors/append_file.h"

bool AppendToFile(const std::string& path, std::string_view bytes) noexcept {
  const FileHandle file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!file.valid()) return false;
  // A shared lock: writers of the log share the file, but one who holds it exclusively (opened
  // without sharing) keeps it to itself and the entry is lost.
  if (::flock(file.get(), LOCK_SH | LOCK_NB) != 0) return false;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(file.get(), data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}
