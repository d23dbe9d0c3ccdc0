// The embedded engine's lock folder: each user gets a private one, a folder somebody else
// planted is never used, and an ordinary user can open a database embedded after root has.
#include "db/firebird/fb_lock_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "driver_harness.h"
#include "tests/support/test_database.h"

namespace fs = std::filesystem;

namespace {

// Sets (or, with nullopt, clears) an environment variable for its lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct FolderCase {
  const char* what;
  void (*prepare)(const fs::path& folder);  // what is at the folder's place beforehand
  bool used;
};

TEST(FbLockFolder, APrivateFolderOfTheUsersOwnOrNone) {
  const FolderCase cases[] = {
      {"made when absent", [](const fs::path&) {}, true},
      {"kept when private", [](const fs::path& f) { mkdir(f.c_str(), 0700); }, true},
      {"others may enter", [](const fs::path& f) { mkdir(f.c_str(), 0755); }, false},
      {"a link", [](const fs::path& f) { fs::create_directory_symlink("/tmp", f); }, false},
      {"a file", [](const fs::path& f) { close(creat(f.c_str(), 0600)); }, false},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    char pattern[] = "/tmp/lock-folder-XXXXXX";
    const fs::path base = mkdtemp(pattern);
    const fs::path folder = base / "contabiliza-contado-firebird";
    c.prepare(folder);
    ScopedEnv lock("FIREBIRD_LOCK", std::nullopt);
    ScopedEnv runtime("XDG_RUNTIME_DIR", base.string());
    const std::string used = UsePrivateLockFolder();
    const char* set = std::getenv("FIREBIRD_LOCK");
    if (c.used) {
      EXPECT_EQ(used, folder.string());
      ASSERT_NE(set, nullptr);
      EXPECT_EQ(std::string(set), folder.string());
      EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    } else {
      EXPECT_EQ(used, "");
      EXPECT_EQ(set, nullptr);
    }
    fs::remove_all(base);
  }
}

TEST(FbLockFolder, AFolderNamedByTheEnvironmentIsKept) {
  ScopedEnv lock("FIREBIRD_LOCK", "/var/tmp/elsewhere");
  EXPECT_EQ(UsePrivateLockFolder(), "/var/tmp/elsewhere");
}

// Root opens one company database embedded, then an ordinary user opens another: the user's
// connect must not trip over the engine files root left behind.
TEST(FbLockFolder, AnOrdinaryUserConnectsAfterRoot) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  TestDatabase root_db;
  TestDatabase user_db;
  ASSERT_EQ(Connect(root_db.Path()).result, kSqlSuccess);  // loads the engine as root

  const uid_t nobody = 65534;
  // The user's company: the database and its folders up to the test folder belong to them.
  for (fs::path p = user_db.Path(); p != fs::path(user_db.Folder()).parent_path();
       p = p.parent_path()) {
    ASSERT_EQ(chown(p.c_str(), nobody, nobody), 0) << p;
  }
  char runtime_pattern[] = "/tmp/user-runtime-XXXXXX";
  const std::string runtime = mkdtemp(runtime_pattern);
  ASSERT_EQ(chown(runtime.c_str(), nobody, nobody), 0);

  const std::string program = fs::read_symlink("/proc/self/exe").string();
  const pid_t child = fork();
  if (child == 0) {
    // A fresh program of that user: its own environment, the engine not loaded yet.
    if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(3);
    unsetenv("FIREBIRD_LOCK");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("LOCK_FOLDER_TEST_CHILD", user_db.Path().c_str(), 1);
    execl(program.c_str(), program.c_str(), "--gtest_filter=FbLockFolder.ChildConnects",
          static_cast<char*>(nullptr));
    _exit(4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  fs::remove_all(runtime);
  EXPECT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The child of the test above; passes when run on its own.
TEST(FbLockFolder, ChildConnects) {
  const char* path = std::getenv("LOCK_FOLDER_TEST_CHILD");
  if (!path) GTEST_SKIP() << "run by AnOrdinaryUserConnectsAfterRoot";
  Connected c = Connect(path);
  ASSERT_EQ(c.result, kSqlSuccess) << (c.connection ? ErrorText(*c.connection) : "");
}

}  // namespace
