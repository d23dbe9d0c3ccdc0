// ExclusiveLockHolder: another process that opens a file and holds it under an exclusive lock,
// as a program that opened it without sharing would, until Release() or the holder goes.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

class ExclusiveLockHolder {
 public:
  // Returns once the other process holds the lock. Throws std::runtime_error when it cannot.
  explicit ExclusiveLockHolder(const std::string& path) {
    int locked[2];
    if (pipe(locked) != 0 || pipe(release_) != 0) throw std::runtime_error("no pipe");
    child_ = fork();
    if (child_ < 0) throw std::runtime_error("no process");
    if (child_ == 0) {
      const int fd = open(path.c_str(), O_RDONLY);
      const char ok = (fd >= 0 && flock(fd, LOCK_EX) == 0) ? 1 : 0;
      (void)!write(locked[1], &ok, 1);
      char c;
      (void)!read(release_[0], &c, 1);
      _exit(0);
    }
    char ok = 0;
    const bool answered = read(locked[0], &ok, 1) == 1;
    close(locked[0]);
    close(locked[1]);
    if (!answered || ok != 1) {
      Release();
      throw std::runtime_error("could not lock " + path);
    }
  }
  ~ExclusiveLockHolder() { Release(); }
  ExclusiveLockHolder(const ExclusiveLockHolder&) = delete;
  ExclusiveLockHolder& operator=(const ExclusiveLockHolder&) = delete;

  // Ends the other process, and with it the lock.
  void Release() {
    if (child_ <= 0) return;
    (void)!write(release_[1], "x", 1);
    waitpid(child_, nullptr, 0);
    close(release_[0]);
    close(release_[1]);
    child_ = 0;
  }

 private:
  int release_[2] = {-1, -1};
  pid_t child_ = 0;
};
