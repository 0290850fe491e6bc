// The installation's configuration: the registry key "Software\QMT\Orvant" and the client
// and server ini files ("OrvantC.ini", "OrvantS.ini"). A reader reads everything when it
// is created and is then a plain holder of values; it never writes anything back.
// Problems are reported through ErrorCode and ReadConfig's result only.
//
// Installation paths may be written in Windows notation ("C:\Client\") or as native paths
// ("/opt/client/"); folders built from them keep their notation and become native paths
// only when a file is opened.
//
// Deviations by design:
// - Release 7.0 reads neither the sections "UserDefine" and "TaskMessageCenter Setting"
//   nor the control addresses; those fields exist in both releases and stay empty in 7.0.
// - Every read starts from a cleared reader, so a second ReadConfig never shows values
//   of the first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One application server of the client configuration.
struct TServerEntry {
  std::string Host;  // column 0
  int Port = 0;      // column 1
};

// One cell of the server's database table: empty (cells not listed), text or a number.
using TDBSetting = std::variant<std::monostate, std::string, int>;
// Rows: 0 main database, 1 temporary database, 2 server process, 3 EDI database.
using TDBSettings = std::array<std::array<TDBSetting, 8>, 4>;
// A cell as text: the text, the number in decimal, or "" for an empty cell.
std::string DBSettingText(const TDBSetting& cell);

class TOrvantIniC {
 public:
  TOrvantIniC();  // reads the configuration
  // The whole read; true when the ini file stage was reached and completed.
  bool ReadConfig();

  std::string ClientPath;
  std::string ProfilePath;
  std::string ProfileType = "0";
  std::string UserName;
  std::string UICodePage;
  std::string DBCodePage;
  std::string SysCodePage;
  uint8_t UIConvertMode = 0;
  uint8_t DBConvertMode = 0;
  bool SupportCallBack = false;
  std::string IniFileName;
  std::optional<std::vector<TServerEntry>> Servers;  // absent when not read
  std::string ErrorCode;
  std::string LangType;
  std::vector<std::string> WorkDLLPaths;
  std::string Version;
  std::string CreateGifBeforeSendEF;
  std::string AutoCheckNewMsg;
  std::string CheckInterval;
  std::string PopupMsg;
  std::string LoginCheck;

 private:
  struct NoRead {};
  explicit TOrvantIniC(NoRead) {}  // a cleared reader, the start of every read
};

class TOrvantIniS {
 public:
  TOrvantIniS();  // reads the configuration
  bool ReadConfig();
  // Replaces the contents of `list` with WorkDLLPaths.
  void GetWorkDLLPaths(std::vector<std::string>& list) const;

  std::string ServerPath;
  std::string ProfilePath;
  std::string ProfileType = "0";
  std::string UserName;
  std::string UICodePage;
  std::string DBCodePage;
  std::string SysCodePage;
  uint8_t UIConvertMode = 0;
  uint8_t DBConvertMode = 0;
  bool SupportCallBack = false;
  std::string IniFileName;
  TDBSettings DBSettings;
  std::string ErrorCode;
  std::vector<std::string> WorkDLLPaths;
  std::string Version;
  uint8_t DBKind = 0;  // 1 Oracle, 2 DB2, else 0
  std::string SystemControlAddress;
  std::string OtherSystemControlAddress;

 private:
  struct NoRead {};
  explicit TOrvantIniS(NoRead) {}  // a cleared reader, the start of every read
};

// A folder made absolute against `base`: a folder holding a drive ("C:", "\\server",
// "/") is returned unchanged, one starting with a single "\" lands inside `base`, and
// anything else is appended to `base`.
std::string ResolvePath(std::string_view folder, std::string_view base);

// Stored passwords: one two-digit lower-case hexadecimal pair per byte, the byte at
// position i (from 1) rotated right by i mod 8 bits; the empty password is stored as the
// scrambled marker text.
std::string EncodeSQLSa(std::string_view password);
// The password of a stored text; a pair that is not hexadecimal gives
// "JW_Vhc_Qwacgtqp_Tecis" and writes an exception report.
std::string DecodeSQLSa(std::string_view stored);
