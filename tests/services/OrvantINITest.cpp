#include "OrvantINI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "AlertLog.h"
#include "DateTime.h"
#include "Paths.h"
#include "Release.h"
#include "ScopedEnv.h"
#include "SysInfo.h"
#include "SysUtils.h"
#include "TempInstallation.h"

namespace {

// "/tmp/x/" written the way a Windows installation writes it: "C:\tmp\x\".
std::string WindowsNotation(const std::string& path) {
  return "C:" + StringReplaceAll(path, "/", "\\");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

class OrvantIniTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(temp_.Path().empty()); }
  void TearDown() override { ClearFixedClock(); }

  std::string Client() const { return install_.Client(); }
  std::string Server() const { return install_.Server(); }
  void SetUpRegistry(const std::vector<std::pair<std::string, std::string>>& values) {
    install_.SetRegistry(values);
  }
  void SetCodePage(const std::string& codePage) { install_.SetSysCodePage(codePage); }
  // Writes an ini file below the installation (a native or Windows-notation folder).
  void WriteIni(const std::string& folder, const std::string& name, const std::string& text) {
    ASSERT_TRUE(ForceDirectories(folder));
    std::ofstream(NativePath(folder + name), std::ios::binary) << text;
  }

  TempInstallation install_;
  const TempFolder& temp_ = install_.Folder();
};

// --- Client reader --------------------------------------------------------------------------

TEST_F(OrvantIniTest, ClientWithoutIniFileTakesEveryDefault) {
  TOrvantIniC ini;
  EXPECT_TRUE(ini.ReadConfig());
  EXPECT_EQ(ini.ErrorCode, "");
  EXPECT_EQ(ini.ClientPath, Client());
  EXPECT_EQ(ini.ProfilePath, Client());
  EXPECT_EQ(ini.ProfileType, "");  // the registry holds no value
  EXPECT_EQ(ini.UserName, "Default");
  EXPECT_EQ(ini.IniFileName, Client() + "OrvantC.ini");
  EXPECT_EQ(ini.SysCodePage, "936");
  EXPECT_EQ(ini.UICodePage, "936");
  EXPECT_EQ(ini.DBCodePage, "936");
  EXPECT_EQ(ini.UIConvertMode, 0);
  EXPECT_EQ(ini.DBConvertMode, 0);
  EXPECT_FALSE(ini.SupportCallBack);
  EXPECT_EQ(ini.LangType, "ENG");
  EXPECT_EQ(ini.Version, "");
  ASSERT_TRUE(ini.Servers.has_value());
  ASSERT_EQ(ini.Servers->size(), 1u);
  EXPECT_EQ((*ini.Servers)[0].Host, "127.0.0.1");
  EXPECT_EQ((*ini.Servers)[0].Port, 211);
  EXPECT_EQ(ini.WorkDLLPaths, std::vector<std::string>{Client() + "C_PKG/"});
  if constexpr (kRelease90) {
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "Y");
    EXPECT_EQ(ini.AutoCheckNewMsg, "1");
    EXPECT_EQ(ini.CheckInterval, "1");
    EXPECT_EQ(ini.PopupMsg, "1");
    EXPECT_EQ(ini.LoginCheck, "0");
  } else {
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "");
    EXPECT_EQ(ini.AutoCheckNewMsg, "");
    EXPECT_EQ(ini.LoginCheck, "");
  }
}

TEST_F(OrvantIniTest, ClientReadsEveryKeyOfItsFile) {
  WriteIni(
      Client(), "OrvantC.ini",
      "[Client Components]\r\nLangType=CHT\r\n"
      "[ProductVersion]\r\nVersion=9.0.1\r\n"
      "[UserDefine]\r\nCreateGifBeforeSendEF=N\r\n"
      "[CodePage]\r\nUICodePage=950\r\nDBCodePage=950\r\n"
      "[Server Information]\r\nSupportCallBack=1\r\nComputerName=app1;app2\r\nServerPort=8211\r\n"
      "[TaskMessageCenter Setting]\r\nAutoCheckNewMsg=0\r\nCheckInterval=5\r\nPopupMsg=0\r\n"
      "LoginCheck=1\r\n");
  TOrvantIniC ini;
  EXPECT_TRUE(ini.ReadConfig());
  EXPECT_EQ(ini.LangType, "CHT");
  EXPECT_EQ(ini.Version, "9.0.1");
  EXPECT_EQ(ini.UICodePage, "950");
  EXPECT_EQ(ini.DBCodePage, "950");
  EXPECT_TRUE(ini.SupportCallBack);
  ASSERT_TRUE(ini.Servers.has_value());
  ASSERT_EQ(ini.Servers->size(), 2u);
  EXPECT_EQ((*ini.Servers)[1].Host, "app2");
  EXPECT_EQ((*ini.Servers)[1].Port, 8211);
  if constexpr (kRelease90) {
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "N");
    EXPECT_EQ(ini.AutoCheckNewMsg, "0");
    EXPECT_EQ(ini.CheckInterval, "5");
    EXPECT_EQ(ini.PopupMsg, "0");
    EXPECT_EQ(ini.LoginCheck, "1");
  } else {  // release 7.0 does not know these sections
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "");
    EXPECT_EQ(ini.AutoCheckNewMsg, "");
    EXPECT_EQ(ini.CheckInterval, "");
    EXPECT_EQ(ini.PopupMsg, "");
    EXPECT_EQ(ini.LoginCheck, "");
  }
}

TEST_F(OrvantIniTest, CodePagesAndConversionModes) {
  struct Case {
    const char* name;
    const char* system;
    const char* fileKeys;  // lines of section [CodePage]
    const char* sysCodePage;
    const char* uiCodePage;
    int uiMode;
    int dbMode;
  };
  const Case cases[] = {
      {"western system", "1252", "", "437", "437", 0, 0},
      {"PRC system", "936", "", "936", "936", 0, 0},
      {"Taiwan system", "950", "", "950", "950", 2, 2},
      {"936 interface on 950 with 950 data", "950", "UICodePage=936\nDBCodePage=950\n", "950",
       "936", 4, 1},
      {"950 interface and data", "936", "UICodePage=950\nDBCodePage=950\n", "936", "950", 2, 0},
      {"unknown interface code page", "936", "UICodePage=1252\n", "936", "1252", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetCodePage(c.system);
    WriteIni(Client(), "OrvantC.ini", std::string("[CodePage]\n") + c.fileKeys);
    WriteIni(Server(), "OrvantS.ini", std::string("[CodePage]\n") + c.fileKeys);
    TOrvantIniC client;
    TOrvantIniS server;
    EXPECT_EQ(client.SysCodePage, c.sysCodePage);
    EXPECT_EQ(client.UICodePage, c.uiCodePage);
    EXPECT_EQ(client.UIConvertMode, c.uiMode);
    EXPECT_EQ(client.DBConvertMode, c.dbMode);
    EXPECT_EQ(server.SysCodePage, c.sysCodePage);
    EXPECT_EQ(server.UICodePage, c.uiCodePage);
    EXPECT_EQ(server.UIConvertMode, c.uiMode);
    EXPECT_EQ(server.DBConvertMode, c.dbMode);
  }
}

TEST_F(OrvantIniTest, SupportCallBackFlag) {
  struct Case {
    const char* value;
    bool expected;
  };
  const Case cases[] = {{"1", true},    {"y", true},     {"Y", true},  {"yes", true}, {"YeS", true},
                        {"true", true}, {"TRUE", true},  {"0", false}, {"2", false},  {"no", false},
                        {"on", false},  {"yess", false}, {"", false},  {"-1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    WriteIni(Client(), "OrvantC.ini",
             std::string("[Server Information]\nSupportCallBack=") + c.value + "\n");
    WriteIni(Server(), "OrvantS.ini",
             std::string("[DBPasswordCtrl]\nSupportCallBack=") + c.value + "\n");
    EXPECT_EQ(TOrvantIniC().SupportCallBack, c.expected);
    EXPECT_EQ(TOrvantIniS().SupportCallBack, c.expected);
  }
}

TEST_F(OrvantIniTest, ServerListFromComputerName) {
  struct Case {
    const char* name;
    const char* lines;  // of section [Server Information]
    std::vector<std::string> hosts;
    int port;
  };
  const Case cases[] = {
      {"two hosts each followed by ;", "ComputerName=app1;app2;\n", {"app1", "app2"}, 211},
      {"one host", "ComputerName=app1\nServerPort=300\n", {"app1"}, 300},
      {"blanks around the whole value", "ComputerName=\" app1;app2 ;\"\n", {"app1", "app2 "}, 211},
      {"pieces are not trimmed again", "ComputerName=app1; app2\n", {"app1", " app2"}, 211},
      {"empty piece between separators", "ComputerName=app1;;app2\n", {"app1", "", "app2"}, 211},
      {"two separators only", "ComputerName=;;\n", {"", ""}, 211},
      {"port that is not a number", "ComputerName=app1\nServerPort=21x\n", {"app1"}, 211},
      {"hexadecimal port", "ComputerName=app1\nServerPort=$10\n", {"app1"}, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteIni(Client(), "OrvantC.ini", std::string("[Server Information]\n") + c.lines);
    TOrvantIniC ini;
    EXPECT_TRUE(ini.ReadConfig());
    ASSERT_TRUE(ini.Servers.has_value());
    ASSERT_EQ(ini.Servers->size(), c.hosts.size());
    for (size_t i = 0; i < c.hosts.size(); ++i) {
      EXPECT_EQ((*ini.Servers)[i].Host, c.hosts[i]);
      EXPECT_EQ((*ini.Servers)[i].Port, c.port);
    }
  }
}

// --- Failure table ----------------------------------------------------------------------------

TEST_F(OrvantIniTest, EmptyServerListFailsAfterTheFileWasRead) {
  for (const char* value : {";", "", "   ", " ; "}) {
    SCOPED_TRACE(std::string("ComputerName=") + value);
    WriteIni(Client(), "OrvantC.ini",
             std::string("[Client Components]\nLangType=CHS\n[CodePage]\nUICodePage=950\n"
                         "[WorkDLLPath]\nA=Pkg\n[Server Information]\nComputerName=") +
                 value + "\n");
    TOrvantIniC ini;
    EXPECT_FALSE(ini.ReadConfig());
    EXPECT_EQ(ini.ErrorCode, "E;000016");
    EXPECT_FALSE(ini.Servers.has_value());
    EXPECT_EQ(ini.LangType, "CHS");                                  // the file's keys stay read
    EXPECT_EQ(ini.UIConvertMode, 2);                                 // and the modes follow them
    EXPECT_EQ(ini.WorkDLLPaths, std::vector<std::string>{"A=Pkg"});  // not resolved
  }
}

TEST_F(OrvantIniTest, MissingRegistryKeyLeavesOnlyTheFirstDefaults) {
  WriteIni(Client(), "OrvantC.ini", "[Client Components]\nLangType=CHS\n");
  temp_.Write("other-key.ini",
              "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Other]\nClientPath=" + Client() + "\n");
  const std::pair<const char*, std::string> cases[] = {
      {"registry file missing", temp_.Path() + "/none.ini"},
      {"key of another product only", temp_.Path() + "/other-key.ini"},
  };
  for (const auto& [name, file] : cases) {
    SCOPED_TRACE(name);
    ScopedEnv registry("ORVANT_REGISTRY", file);
    TOrvantIniC client;
    TOrvantIniS server;
    EXPECT_FALSE(client.ReadConfig());
    EXPECT_FALSE(server.ReadConfig());
    EXPECT_EQ(client.ErrorCode, "E;000015");
    EXPECT_EQ(server.ErrorCode, "E;000015");
    EXPECT_EQ(client.ClientPath, "");
    EXPECT_EQ(client.ProfilePath, "");
    EXPECT_EQ(client.ProfileType, "0");
    EXPECT_EQ(client.UserName, "Default");
    EXPECT_EQ(client.SysCodePage, "936");
    EXPECT_EQ(client.UICodePage, "936");
    EXPECT_EQ(client.DBCodePage, "936");
    EXPECT_EQ(client.IniFileName, "");
    EXPECT_EQ(client.LangType, "");  // no file default either
    EXPECT_FALSE(client.Servers.has_value());
    EXPECT_TRUE(client.WorkDLLPaths.empty());
    EXPECT_EQ(server.ServerPath, "");
    EXPECT_EQ(server.DBSettings[0][0], TDBSetting());
  }
}

TEST_F(OrvantIniTest, EmptyInstallationPathStopsBothReadersWithoutErrorCode) {
  SetUpRegistry({{"ProfileType", "1"}});
  WriteIni(Client(), "OrvantC.ini", "[Client Components]\nLangType=CHS\n");
  TOrvantIniC client;
  TOrvantIniS server;
  EXPECT_FALSE(client.ReadConfig());
  EXPECT_FALSE(server.ReadConfig());
  EXPECT_EQ(client.ErrorCode, "");
  EXPECT_EQ(server.ErrorCode, "");
  EXPECT_EQ(client.ProfileType, "1");  // read before the path was found empty
  EXPECT_EQ(client.UserName, "Default");
  EXPECT_EQ(client.IniFileName, "");
  EXPECT_EQ(client.LangType, "");
  EXPECT_TRUE(server.WorkDLLPaths.empty());
  EXPECT_EQ(server.DBKind, 0);
}

TEST_F(OrvantIniTest, RereadingShowsNothingOfTheEarlierRead) {
  WriteIni(Client(), "OrvantC.ini", "[Client Components]\nLangType=CHS\n");
  TOrvantIniC ini;
  ASSERT_EQ(ini.LangType, "CHS");
  ScopedEnv registry("ORVANT_REGISTRY", temp_.Path() + "/none.ini");
  EXPECT_FALSE(ini.ReadConfig());
  EXPECT_EQ(ini.ErrorCode, "E;000015");
  EXPECT_EQ(ini.LangType, "");
  EXPECT_FALSE(ini.Servers.has_value());
  EXPECT_TRUE(ini.WorkDLLPaths.empty());
}

// --- Folders ---------------------------------------------------------------------------------

TEST(ResolvePathTest, Cases) {
  struct Case {
    const char* folder;
    const char* base;
    const char* expected;
  };
  const Case cases[] = {
      {"Pkg", "C:\\Client\\", "C:\\Client\\Pkg"},
      {"\\Pkg", "C:\\Client\\", "C:\\Client\\Pkg"},
      {"D:\\X", "C:\\Client\\", "D:\\X"},
      {"d:", "C:\\Client\\", "d:"},
      {"\\\\srv\\share\\x", "C:\\Client\\", "\\\\srv\\share\\x"},
      {"/opt/x", "C:\\Client\\", "/opt/x"},
      {"Pkg", "/opt/c/", "/opt/c/Pkg"},
      {"\\Pkg\\", "/opt/c/", "/opt/c/Pkg\\"},
      {"", "/opt/c/", "/opt/c/"},
      {"\\", "/opt/c/", "/opt/c/"},
      {"1:x", "/opt/c/", "/opt/c/1:x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " on " + c.base);
    EXPECT_EQ(ResolvePath(c.folder, c.base), c.expected);
  }
}

TEST_F(OrvantIniTest, WorkFoldersResolvedInBothNotations) {
  const std::string share = "\\\\srv\\share\\pkg";
  for (const bool windows : {true, false}) {
    SCOPED_TRACE(windows ? "Windows notation" : "native notation");
    const std::string client = windows ? WindowsNotation(Client()) : Client();
    const std::string server = windows ? WindowsNotation(Server()) : Server();
    const char sep = windows ? '\\' : '/';
    SetUpRegistry({{"ClientPath", client}, {"ServerPath", server}});
    const std::string section =
        "[WorkDLLPath]\nA=Pkg\nB=\\Pkg\nC=D:\\X\nD=" + share + "\nE=Sub" + sep + "\nF=\n";
    WriteIni(client, "OrvantC.ini", section);
    WriteIni(server, "OrvantS.ini", section);
    TOrvantIniC ini;
    TOrvantIniS svr;
    EXPECT_EQ(ini.IniFileName, client + "OrvantC.ini");
    const std::vector<std::string> expected = {
        client + "Pkg" + sep, client + "Pkg" + sep, "D:\\X\\",
        share + "\\",         client + "Sub" + sep, client};
    EXPECT_EQ(ini.WorkDLLPaths, expected);
    std::vector<std::string> list = {"left over"};
    svr.GetWorkDLLPaths(list);
    EXPECT_EQ(list, std::vector<std::string>({server + "Pkg" + sep, server + "Pkg" + sep, "D:\\X\\",
                                              share + "\\", server + "Sub" + sep, server}));
  }
}

TEST_F(OrvantIniTest, DefaultWorkFolderFollowsTheInstallationNotation) {
  SetUpRegistry({{"ClientPath", "C:\\Client"}, {"ServerPath", "/opt/server"}});
  TOrvantIniC client;
  TOrvantIniS server;
  EXPECT_EQ(client.ClientPath, "C:\\Client\\");
  EXPECT_EQ(client.WorkDLLPaths, std::vector<std::string>{"C:\\Client\\C_PKG\\"});
  EXPECT_EQ(server.ServerPath, "/opt/server/");
  EXPECT_EQ(server.WorkDLLPaths, std::vector<std::string>{"/opt/server/S_PKG/"});
}

TEST_F(OrvantIniTest, PerUserProfiles) {
  const std::string user = GetWindowsUserName();
  ASSERT_FALSE(user.empty());
  const std::string profile = Client() + "Profile/" + user + "/";
  WriteIni(Client(), "OrvantC.ini", "[Client Components]\nLangType=CHS\n");

  struct Case {
    const char* name;
    const char* profileType;
    bool profileFile;
    const char* expectedUser;  // nullptr: the login name
    bool inProfile;
  };
  const Case cases[] = {
      {"profiles on, profile file present", "1", true, nullptr, true},
      {"profiles on, no profile file", "1", false, nullptr, false},
      {"any other text turns them on", "yes", true, nullptr, true},
      {"0 turns them off", "0", true, "Default", false},
      {"empty turns them off", "", true, "Default", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUpRegistry({{"ClientPath", Client()}, {"ProfileType", c.profileType}});
    std::filesystem::remove_all(Client() + "Profile");
    if (c.profileFile) WriteIni(profile, "OrvantC.ini", "[Client Components]\nLangType=ENG2\n");
    TOrvantIniC ini;
    EXPECT_TRUE(ini.ReadConfig());
    EXPECT_EQ(ini.ProfileType, c.profileType);
    EXPECT_EQ(ini.UserName, c.expectedUser ? c.expectedUser : user);
    EXPECT_EQ(ini.ProfilePath, c.inProfile ? profile : Client());
    EXPECT_EQ(ini.IniFileName, (c.inProfile ? profile : Client()) + "OrvantC.ini");
    EXPECT_EQ(ini.LangType, c.inProfile ? "ENG2" : "CHS");
    EXPECT_EQ(ini.WorkDLLPaths, std::vector<std::string>{Client() + "C_PKG/"});
  }
}

// --- Server reader ---------------------------------------------------------------------------

TEST_F(OrvantIniTest, ServerDefaultsFillEveryListedCell) {
  TOrvantIniS ini;
  EXPECT_TRUE(ini.ReadConfig());
  EXPECT_EQ(ini.ServerPath, Server());
  EXPECT_EQ(ini.IniFileName, Server() + "OrvantS.ini");
  EXPECT_EQ(ini.WorkDLLPaths, std::vector<std::string>{Server() + "S_PKG/"});
  EXPECT_EQ(ini.DBKind, 0);
  EXPECT_EQ(ini.SystemControlAddress, "");
  EXPECT_EQ(ini.OtherSystemControlAddress, "");

  const TDBSetting e{};  // cells not listed stay empty
  const std::string s;
  const TDBSettings expected = {{
      {TDBSetting(std::string("Tarsel")), TDBSetting(std::string("sa")), TDBSetting(s),
       TDBSetting(std::string("MSSQL")), TDBSetting(s), TDBSetting(s), TDBSetting(300),
       TDBSetting(3000)},
      {TDBSetting(std::string("TarselTemp")), TDBSetting(std::string("sa")), TDBSetting(s),
       TDBSetting(std::string("PARADOX")), TDBSetting(s), TDBSetting(std::string("PostgreSQL")),
       TDBSetting(300), TDBSetting(3000)},
      {TDBSetting(s), TDBSetting(211), TDBSetting(1024),
       TDBSetting(std::string("Chinese_Taiwan_Stroke_BIN")), e, e, e, e},
      {TDBSetting(std::string("EDIDATA")), TDBSetting(std::string("sa")), TDBSetting(s), e, e, e, e,
       e},
  }};
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 8; ++col) {
      SCOPED_TRACE("cell " + IntToStr(row) + "," + IntToStr(col));
      EXPECT_EQ(ini.DBSettings[row][col], expected[row][col]);
    }
}

TEST_F(OrvantIniTest, ServerReadsItsTables) {
  WriteIni(Server(), "OrvantS.ini",
           "[ProductVersion]\nVersion=9.0\n"
           "[DBE Setting]\nMainAlias=M\nMainUserName=mu\nXXXXXX=" +
               EncodeSQLSa("secret") +
               "\nMainDBType=oracle\nMainDBName=erp\nMainServerName=db1\n"
               "MainConnectionTimeOut=30\nMainCommandTimeOut=abc\n"
               "TempAlias=T\nTempUserName=tu\nTempPassword=" +
               EncodeSQLSa("") +
               "\nTempDBType=MSSQL\nTempDBName=tmp\nTempDriverName=SQL Server\n"
               "TempConnectionTimeOut=31\nTempCommandTimeOut=32\n"
               "DataBaseCodeOrder=Chinese_PRC_BIN\nEctAlias=EDI\nEctUserName=eu\nEctPassword=b958\n"
               "SystemControlAddress=\" \"\nOtherSystemControlAddress=ctl2\n"
               "[DBPasswordCtrl]\nComputerName=\" proc1 \"\nServerPort=1211\nClientSocketPort=x\n"
               "[WorkDLLPath]\nx=S\n");
  TOrvantIniS ini;
  EXPECT_TRUE(ini.ReadConfig());
  EXPECT_EQ(ini.Version, "9.0");
  const char* texts[4][8] = {
      {"M", "mu", "secret", "oracle", "erp", "db1", "30", "3000"},
      {"T", "tu", "", "MSSQL", "tmp", "SQL Server", "31", "32"},
      {"proc1", "1211", "1024", "Chinese_PRC_BIN", "", "", "", ""},
      {"EDI", "eu", "b958", "", "", "", "", ""},  // the EDI password is kept as stored
  };
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 8; ++col) {
      SCOPED_TRACE("cell " + IntToStr(row) + "," + IntToStr(col));
      EXPECT_EQ(DBSettingText(ini.DBSettings[row][col]), texts[row][col]);
    }
  EXPECT_EQ(ini.DBKind, 1);
  EXPECT_EQ(ini.WorkDLLPaths, std::vector<std::string>{Server() + "S/"});
  if constexpr (kRelease90) {
    EXPECT_EQ(ini.SystemControlAddress, "db1");  // blank takes the main server name
    EXPECT_EQ(ini.OtherSystemControlAddress, "ctl2");
  } else {
    EXPECT_EQ(ini.SystemControlAddress, "");
    EXPECT_EQ(ini.OtherSystemControlAddress, "");
  }
}

TEST_F(OrvantIniTest, DatabaseKind) {
  const std::pair<const char*, int> cases[] = {
      {"ORACLE", 1}, {"Oracle", 1}, {"db2", 2}, {"DB2", 2}, {"MSSQL", 0}, {"ORACLE8", 0}, {"", 0}};
  for (const auto& [type, kind] : cases) {
    SCOPED_TRACE(type);
    WriteIni(Server(), "OrvantS.ini", std::string("[DBE Setting]\nMainDBType=") + type + "\n");
    EXPECT_EQ(TOrvantIniS().DBKind, kind);
  }
}

TEST_F(OrvantIniTest, UndecodablePasswordReadsAsFixedTextAndIsReported) {
  SetFixedClock(EncodeDate(2024, 3, 5));
  WriteIni(Server(), "OrvantS.ini", "[DBE Setting]\nXXXXXX=b9zz\nTempPassword=b958\n");
  TOrvantIniS ini;
  EXPECT_EQ(ini.ErrorCode, "");
  EXPECT_EQ(DBSettingText(ini.DBSettings[0][2]), "JW_Vhc_Qwacgtqp_Tecis");
  EXPECT_EQ(DBSettingText(ini.DBSettings[1][2]), "sa");
  // The report goes to the generator's log of the installation ("ClientPath" first).
  const std::string log = ReadFile(Client() + "\\Log\\Alert_Brantel_20240305.log");
  EXPECT_NE(log.find(" on " + EncodeSQLSa("DecodeSQLSa") + " "), std::string::npos) << log;
  EXPECT_NE(
      log.find("Exception is EConvertError\r\nMessage 01: '$zz' is not a valid integer value"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("] Programer Message: 解析 Sa 时发生错误!\r\n"), std::string::npos) << log;
}

// --- Stored passwords ------------------------------------------------------------------------

TEST(SQLSaTest, KnownStoredForms) {
  EXPECT_EQ(EncodeSQLSa("sa"), "b958");
  EXPECT_EQ(DecodeSQLSa("b958"), "sa");
  EXPECT_EQ(DecodeSQLSa("B958"), "sa");   // either case
  EXPECT_EQ(DecodeSQLSa("b9581"), "sa");  // a trailing odd character is ignored
  // The eighth character is not rotated at all, the ninth by one bit again.
  EXPECT_EQ(EncodeSQLSa("ssssssss").substr(14), "73");
  EXPECT_EQ(EncodeSQLSa("sssssssss").substr(16), "b9");
}

TEST(SQLSaTest, EmptyAndShortTexts) {
  EXPECT_EQ(DecodeSQLSa(""), "");
  EXPECT_EQ(DecodeSQLSa("7"), "");
  EXPECT_EQ(EncodeSQLSa(""), EncodeSQLSa("WH_Mpg_EuKbnbHmyz_DytSvjpSxboYyFdfqf"));
  EXPECT_EQ(DecodeSQLSa(EncodeSQLSa("")), "");
}

TEST(SQLSaTest, PrintableTextsRoundTrip) {
  std::string all;
  for (char c = ' '; c <= '~'; ++c) all += c;
  for (const std::string& text : {all, std::string("a"), std::string("P@ss w0rd%"),
                                  std::string("密码"), std::string(300, 'x')}) {
    SCOPED_TRACE(text);
    const std::string stored = EncodeSQLSa(text);
    EXPECT_EQ(stored.size(), text.size() * 2);
    EXPECT_EQ(stored, LowerCase(stored));
    EXPECT_EQ(DecodeSQLSa(stored), text);
  }
}

TEST_F(OrvantIniTest, NonHexadecimalPairs) {
  for (const char* stored : {"zz", "b9 5", "0x41", "-1", "b95g", "+1"}) {
    SCOPED_TRACE(stored);
    EXPECT_EQ(DecodeSQLSa(stored), "JW_Vhc_Qwacgtqp_Tecis");
  }
}

}  // namespace
