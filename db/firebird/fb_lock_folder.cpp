#include "db/firebird/fb_lock_folder.h"

#include <cstdlib>

#if defined(_WIN32)

// Windows keeps the engine's lock files per session already; nothing to do.
std::string UsePrivateLockFolder() {
  return "";
}

#else

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// `path` made if absent, and usable only if it is a real folder of ours that nobody else can
// enter (a folder planted by someone else, or a link, is refused).
bool PrivateFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

// The parent folders a private folder may go in: the session's runtime folder, else the
// user's cache folder.
std::string PrivateBase() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache) return cache;
  if (const char* home = std::getenv("HOME"); home && *home) {
    const std::string cache = std::string(home) + "/.cache";
    mkdir(cache.c_str(), 0700);
    return cache;
  }
  return "";
}

}  // namespace

std::string UsePrivateLockFolder() {
  if (const char* set = std::getenv("FIREBIRD_LOCK"); set && *set) return set;
  const std::string base = PrivateBase();
  if (base.empty()) return "";
  const std::string folder = base + "/contabiliza-contado-firebird";
  if (!PrivateFolder(folder)) return "";
  setenv("FIREBIRD_LOCK", folder.c_str(), 1);
  return folder;
}

#endif
