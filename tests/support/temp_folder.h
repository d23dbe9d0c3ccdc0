// TempFolder: a fresh, empty folder of one test under the system's temporary folder (/tmp on
// Linux, the user's temporary folder on Windows), removed with everything in it when the object
// goes. Standard library only, so it serves both builds.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

class TempFolder {
 public:
  // Throws std::runtime_error when no folder can be made.
  explicit TempFolder(const std::string& prefix = "test") {
    std::random_device entropy;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      // Creating the folder is the test for a free name: two runs never share one.
      const std::filesystem::path candidate = base / (prefix + "-" + std::to_string(entropy()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("no temporary folder under " + base.string());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};
