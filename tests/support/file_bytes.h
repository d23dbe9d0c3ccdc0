// The bytes of a file as they lie on disk; empty when it is absent or cannot be read.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
