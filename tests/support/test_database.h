// TestDatabase: a throw-away company database made from the project's SQL scripts, embedded (no
// server), in a fresh temporary folder laid out like an installation: Folder() is what a server
// entry names, Path() is Folder() + "/datos/01/talvora.fdb", as the program composes it for
// company 01. The folder and everything in it are removed when the object goes.
//
// Statements run through the interactive SQL tool, so a test can set up and inspect rows without
// the layers it tests.
#pragma once

#include <string>
#include <vector>

class TestDatabase {
 public:
  enum class Contents {
    kSchema,  // tables, rates and the posting procedure, no sales
    kDemo,    // plus the demo sales of October and November 2026
  };

  // `charSet` is the database's default character set, UTF8 as the company databases have. Throws
  // std::runtime_error with the tool's output when a script fails.
  explicit TestDatabase(Contents contents = Contents::kSchema, const std::string& charSet = "UTF8");
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  const std::string& Folder() const { return folder_; }
  const std::string& Path() const { return path_; }

  // Runs statements (each ending with ";") and commits. Throws std::runtime_error on failure.
  void Execute(const std::string& statements) const;
  // Runs one select, commits, and returns the printed rows, one string per row, trimmed; nulls
  // print as "<null>". Select one column (concatenate when more are needed) to read values
  // reliably. Throws std::runtime_error on failure.
  std::vector<std::string> Query(const std::string& select) const;
  // The one row of `select` as Query gives it; "<N rows>" when it gives N rows but one.
  std::string QueryOne(const std::string& select) const;

  // Appends `rows` rows to AJUSTE_CIERRE (ids after the highest one there, dates cycling over 2026,
  // rates 19, 5 and 0, factors between 0.5 and 1): a large table for benchmarks and paging.
  void FillAjusteCierre(int rows) const;

 private:
  std::string folder_;
  std::string path_;
};

// The test run's own Firebird server (scripts/fbserver.sh, CTest fixture "fbserver"): loopback
// only. A CTest case that needs it carries FIXTURES_REQUIRED fbserver, for example
//   gtest_discover_tests(my_test PROPERTIES LABELS firebird FIXTURES_REQUIRED fbserver)
namespace test_server {
inline constexpr const char* kHost = "127.0.0.1";
inline constexpr const char* kPort = "3051";
inline constexpr const char* kUser = "SYSDBA";
inline constexpr const char* kPassword = "masterkey";
// "127.0.0.1/3051:" + path: the location that reaches `path` through the server.
std::string Location(const std::string& path);
}  // namespace test_server
