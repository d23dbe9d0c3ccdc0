// Loading libraries by the names the program stores.
#include "db/driver/dynamic_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The files the aliases stand for on the platform built for.
#if defined(_WIN32)
constexpr const char* kDriverFile = "contabiliza_fbdriver.dll";
constexpr const char* kClientFile = "fbclient.dll";
#else
constexpr const char* kDriverFile = "libcontabiliza_fbdriver.so";
constexpr const char* kClientFile = "libfbclient.so.2";
#endif

TEST(DynamicLibrary, StoredNamesMapThroughTheAliasTable) {
  // The test program runs from build/tests, where the build puts the driver beside it.
  const std::vector<std::string> driver = LibraryCandidates("dbexpint.dll");
  ASSERT_EQ(driver.size(), 2u);
  const fs::path beside(driver[0]);
  EXPECT_EQ(beside.filename(), kDriverFile);
  EXPECT_EQ(beside.parent_path().filename(), "tests");
  // Then the package's library folder of the installation the program runs from, never a
  // folder of the build.
  const fs::path installed(driver[1]);
  const fs::path libraries = (beside.parent_path().parent_path() / "lib").lexically_normal();
  EXPECT_EQ(installed.string().rfind(libraries.string(), 0), 0u) << driver[1];
  EXPECT_EQ(installed.parent_path().filename(), "contabiliza-contado");
  EXPECT_EQ(installed.filename(), kDriverFile);

  const struct {
    const char* name;
    std::vector<std::string> candidates;
  } cases[] = {
      {"DBEXPINT.DLL", driver},
      {"GDS32.DLL", {kClientFile}},
      {"gds32.dll", {kClientFile}},
      {"libother.so", {"libother.so"}},
  };
  for (const auto& c : cases) EXPECT_EQ(LibraryCandidates(c.name), c.candidates) << c.name;
}

TEST(DynamicLibrary, LoadsTheDriverBesideTheProgramAndResolvesItsEntry) {
  auto library = DynamicLibrary::Load("dbexpint.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->Path(), LibraryCandidates("dbexpint.dll")[0]);
  EXPECT_NE(library->Symbol("getSQLDriverINTERBASE"), nullptr);
  EXPECT_EQ(library->Symbol("no_such_call"), nullptr);
}

TEST(DynamicLibrary, AMissingLibraryLoadsNothingAndSaysWhy) {
  std::string error;
  EXPECT_EQ(DynamicLibrary::Load("no-such-library.dll", &error), nullptr);
  EXPECT_NE(error.find("no-such-library.dll"), std::string::npos) << error;
  EXPECT_EQ(DynamicLibrary::Load("", &error), nullptr);
}

}  // namespace
