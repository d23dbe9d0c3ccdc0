// Windows variant: a handle opened with FILE_APPEND_DATA writes at the current end of the file,
// and the entry goes out in a single WriteFile call.
//
// The POSIX variant's shared lock on the whole file cannot be had here: Windows locks are
// mandatory, and a shared lock forbids writing even through the handle that holds it. Two bytes
// far past any write stand in for it, so the end of the file stays writable:
//  - a shared lock on the last lockable byte, taken without waiting: it fails only while another
//    program holds an exclusive lock on the whole file, which keeps the log to itself;
//  - an exclusive lock on the byte before it, waited for and held during the write: the writers
//    of the log take turns. Windows keeps such appends whole on a local disk by itself; under
//    Wine two copies appending at once were seen to overwrite each other's entries.
// What this gives up: an exclusive lock on part of the file only stops the entry where it covers
// the end.
#include <cstdint>
#include <limits>

#include "base/file_handle.h"
#include "errors/append_file.h"

namespace {

constexpr std::uint64_t kLastByte = std::numeric_limits<std::uint64_t>::max() - 1;

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// A lock on one byte at `offset`, released when the object goes.
class ByteLock {
 public:
  ByteLock(HANDLE file, std::uint64_t offset, DWORD flags) : file_(file), offset_(offset) {
    OVERLAPPED at = At(offset_);
    held_ = ::LockFileEx(file_, flags, 0, 1, 0, &at);
  }
  ~ByteLock() {
    if (!held_) return;
    OVERLAPPED at = At(offset_);
    ::UnlockFileEx(file_, 0, 1, 0, &at);
  }
  ByteLock(const ByteLock&) = delete;
  ByteLock& operator=(const ByteLock&) = delete;

  bool held() const { return held_; }

 private:
  HANDLE file_;
  std::uint64_t offset_;
  bool held_ = false;
};

}  // namespace

bool AppendToFile(const std::string& path, std::string_view bytes) noexcept {
  try {
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    const std::filesystem::path file_path = PathFromUtf8(path);
    // A read-only file is refused whoever asks, even where the file system would let the open
    // through (Wine run as root writes through the Unix file, whose modes root ignores).
    const DWORD attributes = ::GetFileAttributesW(file_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      return false;
    }
    // Sharing everything: other copies of the program append at the same time.
    const FileHandle file(::CreateFileW(file_path.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const ByteLock notHeldExclusively(file.get(), kLastByte, LOCKFILE_FAIL_IMMEDIATELY);
    if (!notHeldExclusively.held()) return false;
    const ByteLock turn(file.get(), kLastByte - 1, LOCKFILE_EXCLUSIVE_LOCK);
    if (!turn.held()) return false;
    DWORD written = 0;
    const auto size = static_cast<DWORD>(bytes.size());
    return ::WriteFile(file.get(), bytes.data(), size, &written, nullptr) && written == size;
  } catch (...) {
    // Converting the path may allocate; an entry is lost rather than the caller stopped.
    return false;
  }
}
