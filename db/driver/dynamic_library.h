// DynamicLibrary: a shared library loaded by name, unloaded when the object goes.
//
// Names go through one alias table first (LibraryCandidates): the Windows names the program keeps
// in its stored settings map to the libraries that stand in for them on the platform, searched in
// a fixed order; any other name is tried as it stands, which lets the system loader search for it.
// One variant of the loader per platform (dlopen, LoadLibraryExW) sits in the .cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The stored name of the driver library and of the database client library.
inline constexpr std::string_view kDriverLibraryAlias = "dbexpint.dll";
inline constexpr std::string_view kClientLibraryAlias = "GDS32.DLL";
// The file the project's Firebird driver is built as, and the client library it stands for, on
// the platform built for (libcontabiliza_fbdriver.so and libfbclient.so.2 on Linux,
// contabiliza_fbdriver.dll and fbclient.dll on Windows).
extern const std::string_view kDriverLibraryFile;
extern const std::string_view kClientLibraryFile;

// The files to try, in order, for a library `name` (compared without regard to letter case with
// the aliases). The driver alias gives the driver file beside the running executable, then in the
// package's own library folder of the installation the executable belongs to (bin/../lib/...);
// the client alias gives the client library by its plain name; any other name gives itself.
std::vector<std::string> LibraryCandidates(std::string_view name);

class DynamicLibrary {
 public:
  // Loads the first candidate of `name` that loads. Returns null, with the loader's message of the
  // last attempt in `error` when given, if none does.
  static std::unique_ptr<DynamicLibrary> Load(std::string_view name, std::string* error = nullptr);

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The address of the exported symbol `name`, or null.
  void* Symbol(const char* name) const;
  // The file that was loaded.
  const std::string& Path() const { return path_; }

 private:
  DynamicLibrary(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  void* handle_;
  std::string path_;
};
