#include "SysInfo.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string GetWindowsUserName() {
  if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
    return pw->pw_name;
  if (const char* user = std::getenv("USER"); user != nullptr) return user;
  return {};
}

std::string GetComputerNameText() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string GetTempFolder() {
  std::string folder;
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') folder = tmp;
  if (folder.empty()) folder = "/tmp";
  std::error_code ec;
  const auto real = std::filesystem::canonical(folder, ec);
  if (!ec) folder = real.string();
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string ParamStr0() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}
