// FileLockHolder: another open handle of a file that holds it the way another program would,
// until Release() or the holder goes. Handles, not processes, are what file locks set apart on
// both platforms, so the holder lives in the test's own process.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "base/file_handle.h"

enum class FileHold {
  kWithoutSharing,  // a program that opened it without sharing
  kExclusiveLock,   // a program holding an exclusive lock on all of it
  kSharedLock,      // a program reading it under a shared lock
};

#if defined(_WIN32)

class FileLockHolder {
 public:
  // Returns once the file is held. Throws std::runtime_error when it cannot be.
  FileLockHolder(const std::string& path, FileHold hold) {
    const DWORD sharing =
        hold == FileHold::kWithoutSharing ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    file_.emplace(::CreateFileW(PathFromUtf8(path).c_str(), GENERIC_READ, sharing, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_->valid()) throw std::runtime_error("could not open " + path);
    if (hold == FileHold::kWithoutSharing) return;
    OVERLAPPED whole{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY |
                        (hold == FileHold::kExclusiveLock ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!::LockFileEx(file_->get(), flags, 0, MAXDWORD, MAXDWORD, &whole)) {
      throw std::runtime_error("could not lock " + path);
    }
  }

  void Release() { file_.reset(); }

 private:
  std::optional<FileHandle> file_;
};

#else

#include <fcntl.h>
#include <sys/file.h>

class FileLockHolder {
 public:
  // Returns once the file is held. Throws std::runtime_error when it cannot be. Without sharing is
  // an exclusive lock here: Linux has no sharing modes.
  FileLockHolder(const std::string& path, FileHold hold) {
    file_.emplace(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file_->valid()) throw std::runtime_error("could not open " + path);
    const int operation = hold == FileHold::kSharedLock ? LOCK_SH : LOCK_EX;
    if (::flock(file_->get(), operation | LOCK_NB) != 0) {
      throw std::runtime_error("could not lock " + path);
    }
  }

  void Release() { file_.reset(); }

 private:
  std::optional<FileHandle> file_;
};

#endif
