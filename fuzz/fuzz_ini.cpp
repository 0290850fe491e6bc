// Arbitrary bytes as the client and server ini files of an installation, read through
// TIniFile and both configuration readers. The first byte picks the system code page the
// file is decoded from; the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "IniFile.h"
#include "OrvantINI.h"
#include "Paths.h"
#include "SysInfo.h"

namespace {

// A temporary installation whose registry names it as both client and server folder.
class Installation {
 public:
  Installation() {
    std::string pattern = GetTempFolder() + "kxbr-fuzz-ini-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern + "/";
    std::ofstream(folder_ + "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\nClientPath=" << folder_
        << "\nServerPath=" << folder_ << "\n";
    ::setenv("ORVANT_REGISTRY", (folder_ + "registry.ini").c_str(), 1);
    ::setenv("TMPDIR", folder_.c_str(), 1);
  }
  // libFuzzer ends with exit(), which runs this.
  ~Installation() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  static Installation& Get() {
    static Installation installation;
    return installation;
  }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool EndsInDelimiter(const std::string& path) {
  return !path.empty() && IsPathDelimiter(path.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Installation& installation = Installation::Get();
  if (size == 0) return 0;
  static const char* const kCodePages[] = {"936", "950", "437", "1252"};
  ::setenv("ORVANT_CODEPAGE", kCodePages[data[0] % 4], 1);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (const char* name : {"OrvantC.ini", "OrvantS.ini"})
    std::ofstream(installation.Folder() + name, std::ios::binary) << bytes;

  const TIniFile ini(installation.Folder() + "OrvantC.ini");
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
