#include "tests/db/firebird/temp_database.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

TempDatabase::TempDatabase(const std::string& script) {
  std::string pattern = (std::filesystem::temp_directory_path() / "fbdrv-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  folder_ = pattern;
  // The server process (when a test goes through it) must reach the file too.
  std::filesystem::permissions(folder_, std::filesystem::perms::all);
  path_ = folder_ + "/test.fdb";
  const std::string sqlFile = folder_ + "/create.sql";
  {
    std::ofstream sql(sqlFile);
    sql << "create database '" << path_ << "' user 'SYSDBA' default character set ISO8859_1;\n"
        << script << "\ncommit;\n";
  }
  const std::string command =
      "isql-fb -q -b -i '" + sqlFile + "' > '" + folder_ + "/isql.log' 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::ifstream log(folder_ + "/isql.log");
    const std::string text((std::istreambuf_iterator<char>(log)), {});
    std::filesystem::remove_all(folder_);
    throw std::runtime_error("isql-fb failed: " + text);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::all);
}

TempDatabase::~TempDatabase() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}
