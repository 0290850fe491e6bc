// Arbitrary bytes as the client and server ini files of an installation, read through
// TIniFile and both configuration readers. The first byte picks the system code page the
// file is decoded from; the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniFile.h"
#include "OrvantINI.h"
#include "Paths.h"
#include "TempInstallation.h"

namespace {

// The installation lives for the whole run; libFuzzer ends with exit(), which removes it.
TempInstallation& Installation() {
  static TempInstallation installation;
  return installation;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

bool EndsInDelimiter(const std::string& path) {
  return !path.empty() && IsPathDelimiter(path.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TempInstallation& installation = Installation();
  if (size == 0) return 0;
  static const char* const kCodePages[] = {"936", "950", "437", "1252"};
  ::setenv("ORVANT_CODEPAGE", kCodePages[data[0] % 4], 1);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  installation.Folder().Write("client/OrvantC.ini", bytes);
  installation.Folder().Write("server/OrvantS.ini", bytes);

  const TIniFile ini(installation.Client() + "OrvantC.ini");
  for (const std::string& section : ini.ReadSections()) {
    for (const std::string& key : ini.ReadSection(section)) {
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
    }
    ini.ReadSectionValues(section);
  }

  TOrvantIniC client;
  if (client.ErrorCode.empty()) {
    Check(client.Servers.has_value() && !client.Servers->empty());
    Check(!client.WorkDLLPaths.empty());
    for (const std::string& path : client.WorkDLLPaths) Check(EndsInDelimiter(path));
  } else {
    Check(client.ErrorCode == "E;000016" && !client.Servers.has_value());
  }
  Check(client.UIConvertMode == 0 || client.UIConvertMode == 2 || client.UIConvertMode == 4);
  Check(client.DBConvertMode <= 2);

  TOrvantIniS server;
  Check(server.ErrorCode.empty() && !server.WorkDLLPaths.empty());
  for (const std::string& path : server.WorkDLLPaths) Check(EndsInDelimiter(path));
  Check(server.DBKind <= 2);
  return 0;
}
