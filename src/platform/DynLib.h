// Dynamic libraries the platform's way: a name such as "Lintova.dll" or "Lintova" finds
// libLintova.so in the module folder first, then on the library search path.
#pragma once

#include <string>

using HMODULE = void*;

HMODULE LoadLibrary(const std::string& name);  // nullptr on failure; see GetLastError
void* GetProcAddress(HMODULE module, const std::string& name);
bool FreeLibrary(HMODULE module);
// The file name of the library that holds `address` (the module's own file name when
// given one of its symbols), or of the running program for nullptr.
std::string GetModuleFileName(const void* address);
// The library file name a platform name maps to: "X.dll" / "X" -> "libX.so"; names that
// already end in ".so" are kept.
std::string SharedLibraryFileName(const std::string& name);

// The last failure of this thread, with the platform's codes and texts:
// 126 "The specified module could not be found.", 127 "The specified procedure could not
// be found.", 193 "%1 is not a valid Win32 application."
int GetLastError();
std::string SysErrorMessage(int code);
void SetLastError(int code);
// The folder LoadLibrary searches first; empty means the folder of this platform library.
void SetModuleSearchFolder(const std::string& folder);
