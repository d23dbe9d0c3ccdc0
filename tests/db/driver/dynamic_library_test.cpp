// Loading libraries by the names the program stores.
#include "db/driver/dynamic_library.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(DynamicLibrary, StoredNamesMapThroughTheAliasTable) {
  struct Case {
    const char* name;
    std::string firstCandidateEnd;
    std::size_t candidates;
  };
  const Case cases[] = {
      {"dbexpint.dll", "/tests/libcontabiliza_fbdriver.so", 2},
      {"DBEXPINT.DLL", "/tests/libcontabiliza_fbdriver.so", 2},
      {"GDS32.DLL", "libfbclient.so.2", 1},
      {"gds32.dll", "libfbclient.so.2", 1},
      {"libother.so", "libother.so", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto paths = LibraryCandidates(c.name);
    ASSERT_EQ(paths.size(), c.candidates);
    const std::string& first = paths.front();
    ASSERT_GE(first.size(), c.firstCandidateEnd.size());
    EXPECT_EQ(first.substr(first.size() - c.firstCandidateEnd.size()), c.firstCandidateEnd);
  }
  // Then the package's library folder of the installation the program runs from, never a
  // folder of the build.
  const auto driver = LibraryCandidates("dbexpint.dll");
  const std::string install_root = std::filesystem::path(driver[0]).parent_path().parent_path();
  EXPECT_EQ(driver[1].rfind(install_root + "/lib", 0), 0u) << driver[1];
  EXPECT_EQ(driver[1].substr(driver[1].size() - 47),
            "/contabiliza-contado/libcontabiliza_fbdriver.so");
}

TEST(DynamicLibrary, LoadsTheClientAndResolvesItsCalls) {
  auto library = DynamicLibrary::Load("GDS32.DLL");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->Path(), "libfbclient.so.2");
  EXPECT_NE(library->Symbol("isc_attach_database"), nullptr);
  EXPECT_EQ(library->Symbol("no_such_call"), nullptr);
}

TEST(DynamicLibrary, AMissingLibraryLoadsNothingAndSaysWhy) {
  std::string error;
  EXPECT_EQ(DynamicLibrary::Load("no-such-library.dll", &error), nullptr);
  EXPECT_NE(error.find("no-such-library.dll"), std::string::npos) << error;
  EXPECT_EQ(DynamicLibrary::Load("", &error), nullptr);
}

}  // namespace
