#include "DynLib.h"

#include <dlfcn.h>

#include <vector>

#include "Paths.h"
#include "SysInfo.h"
#include "SysUtils.h"

namespace {

thread_local int lastError = 0;
std::string moduleSearchFolder;

constexpr int ERROR_MOD_NOT_FOUND = 126;
constexpr int ERROR_PROC_NOT_FOUND = 127;
constexpr int ERROR_BAD_EXE_FORMAT = 193;

bool EndsWithText(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

}  // namespace

std::string SharedLibraryFileName(const std::string& name) {
  std::string file = ExtractFileName(NativePath(name));
  if (EndsWithText(file, ".so")) return file;
  if (EndsWithText(file, ".dll")) file.resize(file.size() - 4);
  if (file.rfind("lib", 0) != 0) file = "lib" + file;
  return file + ".so";
}

HMODULE LoadLibrary(const std::string& name) {
  const std::string native = NativePath(name);
  const std::string file = SharedLibraryFileName(name);
  std::vector<std::string> candidates;
  if (native.find('/') != std::string::npos) {
    candidates.push_back(native);
    candidates.push_back(ExtractFilePath(native) + file);
  } else {
    std::string folder = moduleSearchFolder;
    if (folder.empty())
      folder = ExtractFilePath(GetModuleFileName(reinterpret_cast<const void*>(&LoadLibrary)));
    if (!folder.empty()) candidates.push_back(IncludeTrailingPathDelimiter(folder) + file);
    candidates.push_back(file);  // the library search path
  }
  bool foundButBad = false;
  for (const auto& candidate : candidates) {
    if (void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      lastError = 0;
      return handle;
    }
    if (candidate.find('/') != std::string::npos && FileExists(candidate)) foundButBad = true;
  }
  lastError = foundButBad ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND;
  return nullptr;
}

void* GetProcAddress(HMODULE module, const std::string& name) {
  if (module == nullptr) {
    lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  ::dlerror();
  void* symbol = ::dlsym(module, name.c_str());
  if (symbol == nullptr) lastError = ERROR_PROC_NOT_FOUND;
  return symbol;
}

bool FreeLibrary(HMODULE module) {
  return module != nullptr && ::dlclose(module) == 0;
}

std::string GetModuleFileName(const void* address) {
  if (address == nullptr) return ParamStr0();
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

int GetLastError() {
  return lastError;
}

void SetLastError(int code) {
  lastError = code;
}

std::string SysErrorMessage(int code) {
  switch (code) {
    case 0:
      return "The operation completed successfully.";
    case ERROR_MOD_NOT_FOUND:
      return "The specified module could not be found.";
    case ERROR_PROC_NOT_FOUND:
      return "The specified procedure could not be found.";
    case ERROR_BAD_EXE_FORMAT:
      return "%1 is not a valid Win32 application.";
    default:
      return "System Error.  Code: " + std::to_string(code) + ".";
  }
}

void SetModuleSearchFolder(const std::string& folder) {
  moduleSearchFolder = folder;
}
