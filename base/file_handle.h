// FileHandle: owns an open POSIX file descriptor and closes it when it goes. The few files that
// make the platform's file calls use it; each has its own variant for other platforms.
#pragma once

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
