#include "OrvantINI.h"

#include <bit>

#include "AlertLog.h"
#include "CodePage.h"
#include "IniFile.h"
#include "Paths.h"
#include "Registry.h"
#include "Release.h"
#include "SysInfo.h"
#include "SysUtils.h"

namespace {

// The stored form of the empty password is the scrambled form of this text.
constexpr std::string_view kEmptyPasswordMarker = "WH_Mpg_EuKbnbHmyz_DytSvjpSxboYyFdfqf";
// What a stored password that cannot be unscrambled reads as.
constexpr const char* kUndecodablePassword = "JW_Vhc_Qwacgtqp_Tecis";
// The platform's user-name buffer holds this many characters.
constexpr int kMaxUserName = 31;

// The Windows ANSI code page reduced to the three the product knows.
std::string SystemCodePage() {
  const std::string cp = IntToStr(GetACP());
  return cp == "936" || cp == "950" ? cp : "437";
}

void ComputeConvertModes(const std::string& ui, const std::string& db, const std::string& sys,
                         uint8_t& uiMode, uint8_t& dbMode) {
  uiMode = ui == "950" ? 2 : (ui == "936" && sys == "950") ? 4 : 0;
  dbMode = (ui == "950" && db == "936") ? 2 : (ui == "936" && db == "950") ? 1 : 0;
}

bool IsTrueFlag(std::string_view value) {
  const std::string upper = UpperCase(value);
  return upper == "1" || upper == "Y" || upper == "YES" || upper == "TRUE";
}

std::string LeftChars(const std::string& text, int count) {
  const std::vector<std::string> chars = Utf8Chars(text);
  std::string result;
  for (int i = 0; i < count && i < static_cast<int>(chars.size()); ++i) result += chars[i];
  return result;
}

// A subfolder of `folder` (which ends in a separator), in the same notation.
std::string SubFolder(const std::string& folder, const std::string& name) {
  return IncludeTrailingPathDelimiter(folder + name);
}

struct RegistryValues {
  std::string Path;
  std::string ProfileType;
};

// The installation path value and "ProfileType"; nothing when the key cannot be opened.
std::optional<RegistryValues> ReadRegistry(const char* pathValue) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyReadOnly(kOrvantRegistryKey)) return std::nullopt;
  RegistryValues values{reg.ReadString(pathValue), reg.ReadString("ProfileType")};
  reg.CloseKey();
  return values;
}

// Chooses the per-user profile folder when profiles are on and its file exists, else the
// installation folder (whose file is used whether or not it exists).
void LocateIniFile(const std::string& path, const std::string& profileType,
                   const std::string& fileName, std::string& profilePath, std::string& userName,
                   std::string& iniFileName) {
  profilePath = path;
  if (!profileType.empty() && profileType != "0") {
    const std::string user = LeftChars(GetWindowsUserName(), kMaxUserName);
    profilePath = SubFolder(SubFolder(path, "Profile"), user);
    userName = user;
  }
  iniFileName = profilePath + fileName;
  if (!FileExists(iniFileName)) {
    profilePath = path;
    iniFileName = path + fileName;
  }
}

// The "WorkDLLPath" entries as read: "name=folder" lines, resolved later.
std::vector<std::string> ReadWorkDLLPathEntries(const TIniFile& ini) {
  return ini.ReadSectionValues("WorkDLLPath");
}

// Replaces every "name=folder" entry by its folder made absolute against the installation
// path, with a trailing separator; no entries give the default package folder.
void ResolveWorkDLLPaths(std::vector<std::string>& paths, const std::string& path,
                         const std::string& defaultFolder) {
  if (paths.empty()) {
    paths.push_back(SubFolder(path, defaultFolder));
    return;
  }
  for (std::string& entry : paths) {
    const size_t eq = entry.find('=');
    const std::string folder = eq == std::string::npos ? entry : entry.substr(eq + 1);
    // Resolving first lets the appended separator follow the notation of the result, so
    // "Pkg" under "C:\Client\" ends in "\" and under "/opt/c/" in "/".
    entry = IncludeTrailingPathDelimiter(ResolvePath(folder, path));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DBSettingText(const TDBSetting& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* number = std::get_if<int>(&cell)) return IntToStr(*number);
  return {};
}

// --- TOrvantIniC --------------------------------------------------------------------------

TOrvantIniC::TOrvantIniC() {
  ReadConfig();
}

bool TOrvantIniC::ReadConfig() {
  *this = TOrvantIniC(NoRead{});
  UserName = "Default";
  UICodePage = DBCodePage = "936";
  SysCodePage = SystemCodePage();
  UICodePage = SysCodePage;
  ComputeConvertModes(UICodePage, DBCodePage, SysCodePage, UIConvertMode, DBConvertMode);

  const std::optional<RegistryValues> reg = ReadRegistry("ClientPath");
  if (!reg) {
    ErrorCode = "E;000015";
    return false;
  }
  ClientPath = reg->Path;
  ProfileType = reg->ProfileType;
  if (ClientPath.empty()) return false;
  ClientPath = IncludeTrailingPathDelimiter(ClientPath);
  LocateIniFile(ClientPath, ProfileType, "OrvantC.ini", ProfilePath, UserName, IniFileName);

  const TIniFile ini(IniFileName);
  LangType = ini.ReadString("Client Components", "LangType", "ENG");
  Version = ini.ReadString("ProductVersion", "Version", "");
  if constexpr (kRelease90)
    CreateGifBeforeSendEF = ini.ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
  UICodePage = ini.ReadString("CodePage", "UICodePage", SysCodePage);
  DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
  SupportCallBack = IsTrueFlag(ini.ReadString("Server Information", "SupportCallBack", "0"));
  const std::string computerName =
      ini.ReadString("Server Information", "ComputerName", "127.0.0.1");
  const int serverPort = ini.ReadInteger("Server Information", "ServerPort", 211);
  WorkDLLPaths = ReadWorkDLLPathEntries(ini);
  if constexpr (kRelease90) {
    AutoCheckNewMsg = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
    CheckInterval = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
    PopupMsg = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
    LoginCheck = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");
  }

  ComputeConvertModes(UICodePage, DBCodePage, SysCodePage, UIConvertMode, DBConvertMode);

  std::string hosts = Trim(computerName);
  if (!hosts.empty() && hosts.back() == ';') hosts.pop_back();
  if (hosts.empty()) {
    ErrorCode = "E;000016";
    return false;
  }
  Servers.emplace();
  for (std::string& host : SplitString(hosts, ';'))
    Servers->push_back({std::move(host), serverPort});

  ResolveWorkDLLPaths(WorkDLLPaths, ClientPath, "C_PKG");
  return true;
}

// --- TOrvantIniS --------------------------------------------------------------------------

TOrvantIniS::TOrvantIniS() {
  ReadConfig();
}

bool TOrvantIniS::ReadConfig() {
  *this = TOrvantIniS(NoRead{});
  UserName = "Default";
  UICodePage = DBCodePage = "936";
  SysCodePage = SystemCodePage();
  UICodePage = SysCodePage;
  ComputeConvertModes(UICodePage, DBCodePage, SysCodePage, UIConvertMode, DBConvertMode);

  const std::optional<RegistryValues> reg = ReadRegistry("ServerPath");
  if (!reg) {
    ErrorCode = "E;000015";
    return false;
  }
  ServerPath = reg->Path;
  ProfileType = reg->ProfileType;
  if (ServerPath.empty()) return false;
  ServerPath = IncludeTrailingPathDelimiter(ServerPath);
  LocateIniFile(ServerPath, ProfileType, "OrvantS.ini", ProfilePath, UserName, IniFileName);

  const TIniFile ini(IniFileName);
  Version = ini.ReadString("ProductVersion", "Version", "");
  UICodePage = ini.ReadString("CodePage", "UICodePage", SysCodePage);
  DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
  SupportCallBack = IsTrueFlag(ini.ReadString("DBPasswordCtrl", "SupportCallBack", "0"));

  const auto text = [&ini](const char* section, const char* key, const char* def) {
    return TDBSetting(ini.ReadString(section, key, def));
  };
  const auto number = [&ini](const char* section, const char* key, int def) {
    return TDBSetting(ini.ReadInteger(section, key, def));
  };
  const auto password = [&ini](const char* key) {
    return TDBSetting(DecodeSQLSa(ini.ReadString("DBE Setting", key, "")));
  };
  TDBSettings& db = DBSettings;
  db[0][0] = text("DBE Setting", "MainAlias", "Tarsel");
  db[0][1] = text("DBE Setting", "MainUserName", "sa");
  db[0][2] = password("XXXXXX");
  db[0][3] = text("DBE Setting", "MainDBType", "MSSQL");
  db[0][4] = text("DBE Setting", "MainDBName", "");
  db[0][5] = text("DBE Setting", "MainServerName", "");
  db[0][6] = number("DBE Setting", "MainConnectionTimeOut", 300);
  db[0][7] = number("DBE Setting", "MainCommandTimeOut", 3000);
  db[1][0] = text("DBE Setting", "TempAlias", "TarselTemp");
  db[1][1] = text("DBE Setting", "TempUserName", "sa");
  db[1][2] = password("TempPassword");
  db[1][3] = text("DBE Setting", "TempDBType", "PARADOX");
  db[1][4] = text("DBE Setting", "TempDBName", "");
  db[1][5] = text("DBE Setting", "TempDriverName", "PostgreSQL");
  db[1][6] = number("DBE Setting", "TempConnectionTimeOut", 300);
  db[1][7] = number("DBE Setting", "TempCommandTimeOut", 3000);
  db[2][0] = TDBSetting(Trim(ini.ReadString("DBPasswordCtrl", "ComputerName", "")));
  db[2][1] = number("DBPasswordCtrl", "ServerPort", 211);
  db[2][2] = number("DBPasswordCtrl", "ClientSocketPort", 1024);
  db[2][3] = text("DBE Setting", "DataBaseCodeOrder", "Chinese_Taiwan_Stroke_BIN");
  db[3][0] = text("DBE Setting", "EctAlias", "EDIDATA");
  db[3][1] = text("DBE Setting", "EctUserName", "sa");
  db[3][2] = text("DBE Setting", "EctPassword", "");  // kept as stored

  if constexpr (kRelease90) {
    SystemControlAddress = ini.ReadString("DBE Setting", "SystemControlAddress", "");
    OtherSystemControlAddress = ini.ReadString("DBE Setting", "OtherSystemControlAddress", "");
  }
  WorkDLLPaths = ReadWorkDLLPathEntries(ini);

  const std::string dbType = DBSettingText(db[0][3]);
  DBKind = SameText(dbType, "ORACLE") ? 1 : SameText(dbType, "DB2") ? 2 : 0;
  if constexpr (kRelease90) {
    const std::string mainServer = DBSettingText(db[0][5]);
    if (Trim(SystemControlAddress).empty()) SystemControlAddress = mainServer;
    if (Trim(OtherSystemControlAddress).empty()) OtherSystemControlAddress = mainServer;
  }

  ComputeConvertModes(UICodePage, DBCodePage, SysCodePage, UIConvertMode, DBConvertMode);
  ResolveWorkDLLPaths(WorkDLLPaths, ServerPath, "S_PKG");
  return true;
}

void TOrvantIniS::GetWorkDLLPaths(std::vector<std::string>& list) const {
  list = WorkDLLPaths;
}

// --- Paths and passwords ------------------------------------------------------------------

std::string ResolvePath(std::string_view folder, std::string_view base) {
  if (HasDrive(folder)) return std::string(folder);
  if (!folder.empty() && folder.front() == '\\') folder.remove_prefix(1);
  return std::string(base) + std::string(folder);
}

std::string EncodeSQLSa(std::string_view password) {
  if (password.empty()) password = kEmptyPasswordMarker;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string stored;
  stored.reserve(password.size() * 2);
  for (size_t i = 1; i <= password.size(); ++i) {
    const auto byte = std::rotr(static_cast<uint8_t>(password[i - 1]), static_cast<int>(i % 8));
    stored += kHex[byte >> 4];
    stored += kHex[byte & 0x0F];
  }
  return stored;
}

std::string DecodeSQLSa(std::string_view stored) {
  std::string password;
  for (size_t i = 1; 2 * i <= stored.size(); ++i) {
    const int high = HexDigit(stored[2 * i - 2]);
    const int low = HexDigit(stored[2 * i - 1]);
    if (high < 0 || low < 0) {
      const EConvertError error("'$" + std::string(stored.substr(2 * i - 2, 2)) +
                                "' is not a valid integer value");
      WriteExceptionReport(&error, EncodeSQLSa("DecodeSQLSa"), "解析 Sa 时发生错误!");
      return kUndecodablePassword;
    }
    const auto byte = static_cast<uint8_t>(high * 16 + low);
    password += static_cast<char>(std::rotl(byte, static_cast<int>(i % 8)));
  }
  return password == kEmptyPasswordMarker ? std::string() : password;
}
