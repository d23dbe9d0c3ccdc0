// FileHandle: owns an open file of the platform (a POSIX file descriptor, a Windows file HANDLE)
// and closes it when it goes. The few files that make the platform's file calls use it, each with
// its own Linux and Windows variant.
#pragma once

#if defined(_WIN32)

#include <filesystem>
#include <string_view>

#include "base/windows_api.h"

// A path held as UTF-8 text (as the settings and the program keep paths) in the form the wide
// Windows file calls take: `.c_str()` of the result.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

class FileHandle {
 public:
  // Takes `handle` over; INVALID_HANDLE_VALUE (a failed CreateFileW) holds nothing.
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) ::CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

#else

#include <unistd.h>

class FileHandle {
 public:
  // Takes `fd` over; a negative value (a failed open) holds nothing.
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

#endif
