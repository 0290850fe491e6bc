#include "Paths.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <system_error>

bool IsPathDelimiter(char c) {
  return c == '/' || c == '\\';
}

bool HasDrive(std::string_view path) {
  if (path.empty()) return false;
  if (path[0] == '/') return true;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':')
    return true;
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

bool IsAbsolutePath(std::string_view path) {
  return HasDrive(path);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string result(path);
  if (!result.empty() && IsPathDelimiter(result.back())) return result;
  const bool windows =
      result.find('\\') != std::string::npos && result.find('/') == std::string::npos;
  result += windows ? '\\' : PathDelim;
  return result;
}

static size_t LastDelimiter(std::string_view fileName) {
  return fileName.find_last_of("/\\");
}

std::string ExtractFilePath(std::string_view fileName) {
  const size_t p = LastDelimiter(fileName);
  return p == std::string_view::npos ? std::string() : std::string(fileName.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view fileName) {
  const size_t p = LastDelimiter(fileName);
  return std::string(p == std::string_view::npos ? fileName : fileName.substr(p + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
  const std::string name = ExtractFileName(fileName);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view fileName, std::string_view ext) {
  const size_t delim = LastDelimiter(fileName);
  const size_t dot = fileName.rfind('.');
  std::string base(fileName);
  if (dot != std::string_view::npos && (delim == std::string_view::npos || dot > delim))
    base.resize(dot);
  return base + std::string(ext);
}

std::string NativePath(std::string_view path) {
  std::string result(path);
  if (result.size() >= 2 && std::isalpha(static_cast<unsigned char>(result[0])) && result[1] == ':')
    result.erase(0, 2);
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  const std::string native = NativePath(path);
  if (native.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(native, ec);
  return DirectoryExists(native);
}
