#include "db/driver/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

std::vector<std::string> LibraryCandidates(std::string_view name) {
  if (SameNameIgnoringCase(name, kDriverLibraryAlias)) {
    std::vector<std::string> paths;
    const auto file = std::string(kDriverLibraryFile);
    if (const auto folder = ExecutableFolder(); !folder.empty()) {
      paths.push_back((folder / file).string());
      // Installed: bin/ beside lib/, wherever the installation was put.
      paths.push_back((folder.parent_path() / DRIVER_INSTALL_LIBDIR / file).lexically_normal().string());
    }
    return paths;
  }
  if (SameNameIgnoringCase(name, kClientLibraryAlias)) {
    return {std::string(kClientLibraryFile)};
  }
  return {std::string(name)};
}

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(std::string_view name, std::string* error) {
  std::string lastError = "no library to load";
  for (const auto& path : LibraryCandidates(name)) {
    if (path.empty()) continue;
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle, path));
    }
    const char* message = dlerror();
    lastError = message ? message : "cannot load " + path;
  }
  if (error) *error = lastError;
  return nullptr;
}

DynamicLibrary::~DynamicLibrary() {
  dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
  return dlsym(handle_, name);
}
