// Path rules. The separator is "/", but configuration values may hold Windows notation:
// a path is absolute when it starts with "/", a drive letter ("C:") or "\\"; a leading
// single "\" means "inside the installation folder". Both "/" and "\" end a folder.
#pragma once

#include <string>
#include <string_view>

inline constexpr char PathDelim = '/';

bool IsPathDelimiter(char c);
bool HasDrive(std::string_view path);  // "/...", "C:...", "\\server..."
bool IsAbsolutePath(std::string_view path);
// Appends a separator unless one ends the text; the one appended is "\" when the text is
// written in Windows notation (holds "\" and no "/"), else "/".
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExtractFilePath(std::string_view fileName);  // with its trailing separator
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);  // with the dot
std::string ChangeFileExt(std::string_view fileName, std::string_view ext);
// A path usable on this system: "\" becomes "/"; a drive letter prefix is dropped.
std::string NativePath(std::string_view path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool ForceDirectories(const std::string& path);  // creates missing parents; true when it exists
