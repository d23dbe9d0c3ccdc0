// TempDatabase: a throw-away Firebird database file in a fresh temporary folder, created by the
// interactive SQL tool from a script, removed with the folder when the object goes.
#pragma once

#include <string>

class TempDatabase {
 public:
  // Creates the database and runs `script` in it (statements ending with ";"). Throws
  // std::runtime_error when the tool fails.
  explicit TempDatabase(const std::string& script);
  ~TempDatabase();
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& Path() const { return path_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
};
