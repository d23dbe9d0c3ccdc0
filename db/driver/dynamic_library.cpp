#include "db/driver/dynamic_library.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <system_error>

// The platform's calls: the library files the aliases stand for, the running program's folder,
// and loading, resolving and unloading a library. On failure OpenLibrary answers null with the
// loader's reason, naming the file, in `error`.
#if defined(_WIN32)

#include "base/file_handle.h"  // PathFromUtf8
#include "base/windows_api.h"

const std::string_view kDriverLibraryFile = "contabiliza_fbdriver.dll";
const std::string_view kClientLibraryFile = "fbclient.dll";

namespace {

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
  return text;
}

// The system's text for an error code, in the user's language, without its line end.
std::string ErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length ? Utf8({buffer, length}) : "error " + std::to_string(code);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

// Unlike /proc/self/exe on Linux, the module's file name keeps any link it was started through.
std::filesystem::path ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return std::filesystem::path(path).parent_path();
    }
    path.resize(path.size() * 2);
  }
}

void* OpenLibrary(const std::string& path, std::string& error) {
  std::filesystem::path native;
  try {
    native = PathFromUtf8(path).make_preferred();  // the loader wants backslashes
  } catch (const std::exception&) {
    error = path + ": not a valid file name";
    return nullptr;
  }
  // A full path: the library's own dependencies are looked for in its folder first, as the
  // driver's would be beside it. A plain name: the system's usual search (the program's folder,
  // the system folders, PATH). No error box for a missing dependency: the caller reports it.
  const DWORD flags = native.is_absolute() ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
  DWORD previousMode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE module = ::LoadLibraryExW(native.c_str(), nullptr, flags);
  if (!module) {
    const DWORD code = ::GetLastError();
    error = path + ": " + ErrorText(code);
  }
  ::SetThreadErrorMode(previousMode, nullptr);
  return reinterpret_cast<void*>(module);
}

void CloseLibrary(void* handle) {
  ::FreeLibrary(static_cast<HMODULE>(handle));
}

void* FindSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle), name));
}

}  // namespace

#else

#include <dlfcn.h>

const std::string_view kDriverLibraryFile = "libcontabiliza_fbdriver.so";
const std::string_view kClientLibraryFile = "libfbclient.so.2";

namespace {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

void* OpenLibrary(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* message = dlerror();
    error = message ? message : "cannot load " + path;
  }
  return handle;
}

void CloseLibrary(void* handle) {
  dlclose(handle);
}

void* FindSymbol(void* handle, const char* name) {
  return dlsym(handle, name);
}

}  // namespace

#endif

namespace {

// Paths are held as UTF-8 text on both platforms.
std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::vector<std::string> LibraryCandidates(std::string_view name) {
  if (SameNameIgnoringCase(name, kDriverLibraryAlias)) {
    std::vector<std::string> paths;
    const std::filesystem::path file(kDriverLibraryFile);
    if (const auto folder = ExecutableFolder(); !folder.empty()) {
      paths.push_back(PathText(folder / file));
      // Installed: bin/ beside lib/, wherever the installation was put.
      paths.push_back(
          PathText((folder.parent_path() / DRIVER_INSTALL_LIBDIR / file).lexically_normal()));
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
    if (void* handle = OpenLibrary(path, lastError)) {
      return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle, path));
    }
  }
  if (error) *error = lastError;
  return nullptr;
}

DynamicLibrary::~DynamicLibrary() {
  CloseLibrary(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
  return FindSymbol(handle_, name);
}
