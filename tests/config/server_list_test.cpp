#include "config/server_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/file_lock_holder.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;

struct ParseCase {
  const char* what;
  std::string bytes;
  Entries entries;
};

// Names the case in test listings (instead of its raw bytes).
void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.what;
}

class ServerListParse : public testing::TestWithParam<ParseCase> {};

TEST_P(ServerListParse, GivesTheEntriesInOrder) {
  EXPECT_EQ(ParseServerList(GetParam().bytes), GetParam().entries) << GetParam().what;
}

const std::string kLong300 = std::string(100, 'a') + std::string(100, 'b') + std::string(100, 'c');

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerListParse,
    testing::Values(
        ParseCase{"CR LF", "alfa\r\nbeta\r\n", {"alfa", "beta"}},
        ParseCase{"LF", "alfa\nbeta\n", {"alfa", "beta"}},
        ParseCase{"CR only keeps every character", "alfa\rbeta\r", {"alfa", "beta"}},
        ParseCase{"CR CR is two line ends", "alfa\r\rbeta\r\n", {"alfa", "", "beta"}},
        ParseCase{"LF CR is two line ends", "alfa\n\rbeta", {"alfa", "", "beta"}},
        ParseCase{"empty line", "alfa\n\nbeta\n", {"alfa", "", "beta"}},
        ParseCase{"empty first line", "\r\nalfa\r\n", {"", "alfa"}},
        ParseCase{"no final line end", "alfa\r\nbeta", {"alfa", "beta"}},
        ParseCase{"only an unterminated line", "alfa", {"alfa"}},
        ParseCase{"NUL cuts the entry", std::string("al\0fa\nbeta\n", 11), {"al", "beta"}},
        ParseCase{"NUL first", std::string("\0alfa\n", 6), {""}},
        ParseCase{"blanks and tabs kept", " alfa\t \r\n", {" alfa\t "}},
        ParseCase{"300 characters cut at 255",
                  kLong300 + "\r\nbeta\r\n",
                  {kLong300.substr(0, 255), "beta"}},
        ParseCase{"exactly 255 characters", std::string(255, 'x') + "\n", {std::string(255, 'x')}},
        ParseCase{"long unterminated last line", kLong300, {kLong300.substr(0, 255)}},
        ParseCase{"high bytes kept", "c\xf1\xe1:/d\r\n", {"c\xf1\xe1:/d"}},
        ParseCase{"empty file", "", {}}, ParseCase{"a single CR LF", "\r\n", {""}},
        ParseCase{"CR last byte", "alfa\r", {"alfa"}}));

class ServerListFile : public testing::Test {
 protected:
  void Write(const std::string& bytes) {
    std::ofstream(dir_ / "SERVIDORES.cfg", std::ios::binary) << bytes;
  }
  TempFolder folder_{"server-list"};
  const fs::path& dir_ = folder_.path();
};

TEST_F(ServerListFile, PathIsDirectoryAndFileName) {
  EXPECT_EQ(ServerListPath("/srv/suite"), "/srv/suite/SERVIDORES.cfg");
  EXPECT_EQ(ServerListPath(""), "/SERVIDORES.cfg");
}

TEST_F(ServerListFile, ReadsTheFileOfTheDirectory) {
  Write("dbserver:D:/erp\r\nlocalhost:/srv/erp\r\n");
  EXPECT_EQ(ReadServerList(dir_.string()), (Entries{"dbserver:D:/erp", "localhost:/srv/erp"}));
}

TEST_F(ServerListFile, ReadsAFileLargerThanOneReadBuffer) {
  std::string bytes;
  Entries expected;
  for (int i = 0; i < 20000; ++i) {
    expected.push_back("server-" + std::to_string(i));
    bytes += expected.back() + (i % 2 ? "\r\n" : "\n");
  }
  Write(bytes);
  EXPECT_EQ(ReadServerList(dir_.string()), expected);
}

TEST_F(ServerListFile, NoFileGivesAnEmptyList) {
  EXPECT_TRUE(ReadServerList(dir_.string()).empty());
}

TEST_F(ServerListFile, ADirectoryInPlaceOfTheFileGivesAnEmptyList) {
  fs::create_directory(dir_ / "SERVIDORES.cfg");
  EXPECT_TRUE(ReadServerList(dir_.string()).empty());
}

TEST_F(ServerListFile, ReadsBesideReadersButNotPastAnExclusiveHolder) {
  Write("alfa\r\n");
  const std::string file = (dir_ / "SERVIDORES.cfg").string();
  const struct {
    const char* what;
    FileHold hold;
    Entries whileHeld;
  } cases[] = {
      {"opened without sharing", FileHold::kWithoutSharing, {}},
      {"locked exclusively", FileHold::kExclusiveLock, {}},
      {"read by another copy", FileHold::kSharedLock, {"alfa"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FileLockHolder holder(file, c.hold);
    EXPECT_EQ(ReadServerList(dir_.string()), c.whileHeld);
    holder.Release();
    // Released, the same file reads normally, and the reader leaves no lock behind.
    EXPECT_EQ(ReadServerList(dir_.string()), Entries{"alfa"});
    EXPECT_NO_THROW(FileLockHolder(file, FileHold::kExclusiveLock));
  }
}

}  // namespace
