// Appending to the log file: created when absent, appended to when present, never emptied,
// refused without harm when it cannot be written, and whole entries from concurrent writers.
#include "errors/append_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/file_lock_holder.h"
#include "tests/support/temp_folder.h"

// RunUnprivileged(append): runs `append` where file modes hold, and answers what it answered.
#if defined(_WIN32)

namespace {

// The read-only attribute binds administrators too.
bool RunUnprivileged(const std::function<bool()>& append) {
  return append();
}

}  // namespace

#else

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Root ignores file modes: as root, `append` runs in a child process that has dropped to the user
// "nobody".
bool RunUnprivileged(const std::function<bool()>& append) {
  if (geteuid() != 0) return append();
  const passwd* nobody = getpwnam("nobody");
  if (!nobody) {
    ADD_FAILURE() << "no user nobody to drop to";
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(2);
    _exit(append() ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "could not drop privileges";
  return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

}  // namespace

#endif

namespace {

namespace fs = std::filesystem;

class AppendFileTest : public testing::Test {
 protected:
  AppendFileTest() {
    // Open to the unprivileged user of RunUnprivileged.
    fs::permissions(dir_, fs::perms::all);
  }

  void WriteLog(const std::string& bytes, fs::perms perms = fs::perms(0644)) const {
    std::ofstream(log_, std::ios::binary) << bytes;
    fs::permissions(log_, perms);
  }
  std::string ReadLog() const { return FileBytes(log_); }

  TempFolder folder_{"append-file"};
  const fs::path& dir_ = folder_.path();
  const std::string log_ = (dir_ / "ERRORES.TXT").string();
};

TEST_F(AppendFileTest, CreatesAnAbsentLogWithTheEntryAsItsFirstLine) {
  EXPECT_TRUE(AppendToFile(log_, "primera\r\n"));
  EXPECT_EQ(ReadLog(), "primera\r\n");
}

TEST_F(AppendFileTest, AppendsToAnExistingLogAtItsEnd) {
  WriteLog("vieja\r\n");
  EXPECT_TRUE(AppendToFile(log_, "nueva\r\n"));
  EXPECT_TRUE(AppendToFile(log_, "otra\r\n"));
  EXPECT_EQ(ReadLog(), "vieja\r\nnueva\r\notra\r\n");
}

TEST_F(AppendFileTest, AReadOnlyLogStaysUnchangedAndIsAppendedToOnceWritable) {
  WriteLog("vieja\r\n", fs::perms(0444));
  EXPECT_FALSE(RunUnprivileged([&] { return AppendToFile(log_, "perdida\r\n"); }));
  EXPECT_EQ(ReadLog(), "vieja\r\n");
  fs::permissions(log_, fs::perms(0666));
  EXPECT_TRUE(RunUnprivileged([&] { return AppendToFile(log_, "nueva\r\n"); }));
  EXPECT_EQ(ReadLog(), "vieja\r\nnueva\r\n");
}

TEST_F(AppendFileTest, AWriteOnlyLogIsAppendedToNotEmptied) {
  WriteLog("vieja\r\n", fs::perms(0222));
  EXPECT_TRUE(RunUnprivileged([&] { return AppendToFile(log_, "nueva\r\n"); }));
  fs::permissions(log_, fs::perms(0644));
  EXPECT_EQ(ReadLog(), "vieja\r\nnueva\r\n");
}

TEST_F(AppendFileTest, APathThatCannotBeALogIsRefusedAndNothingIsCreated) {
  const std::string folderInTheWay = (dir_ / "carpeta").string();
  fs::create_directory(folderInTheWay);
  EXPECT_FALSE(AppendToFile(folderInTheWay, "x\r\n"));
  EXPECT_TRUE(fs::is_directory(folderInTheWay));
  const fs::path noFolder = dir_ / "no-existe" / "ERRORES.TXT";
  EXPECT_FALSE(AppendToFile(noFolder.string(), "x\r\n"));
  EXPECT_FALSE(fs::exists(noFolder.parent_path()));
}

TEST_F(AppendFileTest, ALogHeldExclusivelyByAnotherProgramIsLeftAlone) {
  WriteLog("vieja\r\n");
  std::string expected = "vieja\r\n";
  for (FileHold hold : {FileHold::kWithoutSharing, FileHold::kExclusiveLock}) {
    SCOPED_TRACE(static_cast<int>(hold));
    FileLockHolder holder(log_, hold);
    EXPECT_FALSE(AppendToFile(log_, "perdida\r\n"));
    holder.Release();
    EXPECT_TRUE(AppendToFile(log_, "nueva\r\n"));
    expected += "nueva\r\n";
    EXPECT_EQ(ReadLog(), expected);
  }
}

// Entry `index` of writer `writer`, long enough that a split write would show.
std::string Entry(char writer, int index) {
  return "30/03/2023,14:05:09,usuario" + std::string(1, writer) + "," + std::to_string(index) +
         " " + std::string(300, writer) + "\r\n";
}

TEST_F(AppendFileTest, TwoWritersAppendingAtOnceLeaveEveryEntryWhole) {
  // Each append opens a handle of its own, as another program's would: two threads stand in for
  // two programs.
  constexpr int kEntries = 1000;
  const char names[2] = {'A', 'B'};
  bool all[2] = {true, true};
  {
    std::vector<std::jthread> writers;
    for (int w = 0; w < 2; ++w) {
      writers.emplace_back([&, w] {
        for (int i = 0; i < kEntries; ++i)
          all[w] = AppendToFile(log_, Entry(names[w], i)) && all[w];
      });
    }
  }
  EXPECT_TRUE(all[0]);
  EXPECT_TRUE(all[1]);

  // Every entry once, whole, each writer's in its own order.
  const std::string log = ReadLog();
  std::map<char, int> next = {{'A', 0}, {'B', 0}};
  std::size_t pos = 0;
  int entries = 0;
  while (pos < log.size()) {
    const std::size_t end = log.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "a torn last entry";
    const std::string line = log.substr(pos, end + 2 - pos);
    const char writer = line.back() == '\n' && line.size() > 3 ? line[line.size() - 3] : '?';
    ASSERT_TRUE(next.count(writer)) << "entry " << entries << " is torn: " << line;
    ASSERT_EQ(line, Entry(writer, next[writer])) << "entry " << entries;
    ++next[writer];
    ++entries;
    pos = end + 2;
  }
  EXPECT_EQ(entries, 2 * kEntries);
  EXPECT_EQ(next['A'], kEntries);
  EXPECT_EQ(next['B'], kEntries);
}

}  // namespace
