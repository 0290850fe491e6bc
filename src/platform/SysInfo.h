// Facts about the machine and the running program.
#pragma once

#include <string>

std::string GetWindowsUserName();   // the login name ("" when unknown)
std::string GetComputerNameText();  // gethostname
// TMPDIR or the system's temporary folder, resolved to a real path, with a trailing "/".
std::string GetTempFolder();
std::string ParamStr0();  // the running program's file name
