#include "AlertLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "DateTime.h"
#include "Paths.h"
#include "ScopedEnv.h"
#include "SysInfo.h"
#include "SysUtils.h"
#include "TempFolder.h"

namespace {

const std::string kRule(34, '-');

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Physical lines of a log file, each ended by CR LF.
std::vector<std::string> LogLines(const std::string& path) {
  std::vector<std::string> lines;
  const std::string text = ReadFile(path);
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start != text.size()) lines.push_back("unterminated: " + text.substr(start));
  return lines;
}

// An installation whose registry points at a folder below a temporary folder, at a fixed
// moment: 5 March 2024, 14:07:09.045.
class AlertLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.Path().empty());
    SetFixedClock(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45));
    SetUpRegistry({{"ClientPath", Base()}});
  }
  void TearDown() override {
    ClearFixedClock();
    FormatSettings() = settings_;
  }

  std::string Base() const { return temp_.Path() + "/P/"; }
  void SetUpRegistry(const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text = "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\n";
    for (const auto& [name, value] : values) text += name + "=" + value + "\n";
    temp_.Write("registry.ini", text);
  }

  TempFolder temp_;
  ScopedEnv registry_{"ORVANT_REGISTRY", temp_.Path() + "/registry.ini"};
  ScopedEnv tmpdir_{"TMPDIR", temp_.Path()};
  const TFormatSettings settings_ = FormatSettings();
};

TEST_F(AlertLogTest, FileNamesKeepTheBaseAsRead) {
  SetUpRegistry({{"ClientPath", "C:\\P\\"}});
  struct Case {
    const char* name;
    char period;
    const char* expected;
  };
  const Case cases[] = {
      {"libstrs", 'D', "C:\\P\\\\Log\\Alert_libstrs_20240305.log"},
      {"libstrs", 'M', "C:\\P\\\\Log\\Alert_libstrs_202403.log"},
      {"libstrs", 'Y', "C:\\P\\\\Log\\Alert_libstrs_2024.log"},
      {"libstrs", 'W', "C:\\P\\\\Log\\Alert_libstrs_20240305.log"},
      {"libstrs", '\0', "C:\\P\\\\Log\\Alert_libstrs_20240305.log"},
      {"update.txt", 'D', "C:\\P\\\\Log\\Alert_update.txt_20240305"},
      {"update.", 'M', "C:\\P\\\\Log\\Alert_update._202403"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.period);
    EXPECT_EQ(AlertLogFileName(c.name, c.period), c.expected);
  }
  EXPECT_EQ(BrantelLogFileName(), "C:\\P\\\\Log\\Alert_Brantel_20240305.log");
}

TEST_F(AlertLogTest, BaseFolders) {
  const std::string program = ExtractFilePath(ParamStr0());
  ASSERT_FALSE(program.empty());
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values;
    TAlertLogBase base;
    std::string alertBase;
    std::string brantelBase;
  };
  const Case cases[] = {
      {"client path first",
       {{"ClientPath", "/c/"}, {"ServerPath", "/s/"}},
       albInstallation,
       "/c/",
       "/c/"},
      {"server path when no client path",
       {{"ClientPath", ""}, {"ServerPath", "/s/"}},
       albInstallation,
       "/s/",
       "/s/"},
      {"neither path", {{"ProfileType", "1"}}, albInstallation, program, GetTempFolder()},
      {"self-updater", {{"ClientPath", "/c/"}}, albProgramFolder, program, "/c/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUpRegistry(c.values);
    EXPECT_EQ(AlertLogFileName("x", 'D', c.base), c.alertBase + "\\Log\\Alert_x_20240305.log");
    EXPECT_EQ(BrantelLogFileName(), c.brantelBase + "\\Log\\Alert_Brantel_20240305.log");
  }
  {
    SCOPED_TRACE("registry key missing");
    ScopedEnv registry("ORVANT_REGISTRY", temp_.Path() + "/none.ini");
    EXPECT_EQ(AlertLogFileName("x", 'D'), program + "\\Log\\Alert_x_20240305.log");
    EXPECT_EQ(BrantelLogFileName(), GetTempFolder() + "\\Log\\Alert_Brantel_20240305.log");
  }
  {
    SCOPED_TRACE("temporary folder too long for the platform's buffer");
    ScopedEnv registry("ORVANT_REGISTRY", temp_.Path() + "/none.ini");
    ScopedEnv tmpdir("TMPDIR", "/" + std::string(300, 't'));
    EXPECT_EQ(BrantelLogFileName(), "C:\\Temp\\Log\\Alert_Brantel_20240305.log");
  }
}

TEST_F(AlertLogTest, LinesAreAppendedWithTimeStamps) {
  for (const bool windows : {false, true}) {
    SCOPED_TRACE(windows ? "Windows notation" : "native notation");
    const std::string base = temp_.Path() + (windows ? "/W/" : "/N/");
    SetUpRegistry({{"ClientPath", windows ? "C:" + StringReplaceAll(base, "/", "\\") : base}});
    EXPECT_TRUE(WriteAlertLog("libstrs", "LINE[2735] first", 'D'));
    EXPECT_TRUE(WriteAlertLog("libstrs", "second 100%", 'D'));
    EXPECT_TRUE(WriteBrantelLog("generator"));
    EXPECT_EQ(LogLines(base + "Log/Alert_libstrs_20240305.log"),
              std::vector<std::string>({"[2024/03/05 14:07:09:045] LINE[2735] first",
                                        "[2024/03/05 14:07:09:045] second 100%"}));
    EXPECT_EQ(LogLines(base + "Log/Alert_Brantel_20240305.log"),
              std::vector<std::string>{"[2024/03/05 14:07:09] generator"});
    EXPECT_TRUE(std::filesystem::exists(NativePath(AlertLogFileName("libstrs", 'D'))));
  }
}

TEST_F(AlertLogTest, StampsFollowTheSystemSeparatorsAndFormats) {
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = '.';
  FormatSettings().ShortDateFormat = "dd/mm/yyyy";
  EXPECT_TRUE(WriteAlertLog("m", "monthly", 'M'));
  EXPECT_TRUE(WriteBrantelLog("text"));
  EXPECT_EQ(LogLines(Base() + "Log/Alert_m_202403.log"),
            std::vector<std::string>{"[2024-03-05 14.07.09.045] monthly"});
  EXPECT_EQ(LogLines(Base() + "Log/Alert_Brantel_20240305.log"),
            std::vector<std::string>{"[05-03-2024 14.07.09] text"});
}

TEST_F(AlertLogTest, BrantelLogFallsBackToTheTemporaryFolder) {
  SetUpRegistry({});
  EXPECT_TRUE(WriteBrantelLog("in temp"));
  EXPECT_EQ(LogLines(temp_.Path() + "/Log/Alert_Brantel_20240305.log"),
            std::vector<std::string>{"[2024/03/05 14:07:09] in temp"});
}

TEST_F(AlertLogTest, UnwritableLocationsAnswerFalse) {
  struct Case {
    const char* name;
    std::string base;
    const char* blocker;  // a file or folder put in the way, below the base
    bool blockerIsFolder;
  };
  const Case cases[] = {
      {"Log is a file", temp_.Path() + "/A/", "Log", false},
      {"base below a file", temp_.Path() + "/B/file/", nullptr, false},
      {"log files are folders", temp_.Path() + "/C/", "Log/Alert_x_20240305.log", true},
  };
  temp_.Write("B/file", "not a folder");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUpRegistry({{"ClientPath", c.base}});
    if (c.blocker != nullptr) {
      if (c.blockerIsFolder) {
        std::filesystem::create_directories(c.base + c.blocker);
        std::filesystem::create_directories(c.base + "Log/Alert_Brantel_20240305.log");
      } else {
        temp_.Write(c.base.substr(temp_.Path().size() + 1) + c.blocker, "x");
      }
    }
    EXPECT_FALSE(WriteAlertLog("x", "text", 'D'));
    EXPECT_FALSE(WriteBrantelLog("text"));
    const EConvertError error("bad");
    EXPECT_NO_THROW(WriteExceptionReport(&error, "here", "message"));
  }
}

TEST_F(AlertLogTest, ExceptionReports) {
  const std::string s = "[2024/03/05 14:07:09] ";
  struct Case {
    const char* name;
    std::shared_ptr<const Exception> error;
    std::string location;
    std::string message;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"nothing to report", nullptr, "", "", {s + kRule + kRule}},
      {"blank location and message", nullptr, "  ", " \t", {s + kRule + kRule}},
      {"location and message only",
       nullptr,
       " TfrmX.Load",
       " check it ",
       {s + kRule + " on  TfrmX.Load " + kRule, s + "Programer Message:  check it "}},
      {"database engine error with three errors",
       std::make_shared<EDBEngineError>(
           std::vector<EDBEngineError::DBError>{{10001, "first"}, {-2, "second"}, {3, "third %s"}}),
       "Open",
       "pm",
       {s + kRule + " on Open " + kRule,
        s + "讯息信息:", s + "EDBEngineError Error 01: Code: 10001, Message: first",
        s + "EDBEngineError Error 02: Code: -2, Message: second",
        s + "EDBEngineError Error 03: Code: 3, Message: third %s", s + "ErrorMessage Count: 3",
        s + "Programer Message: pm"}},
      {"database engine error without errors",
       std::make_shared<EDBEngineError>(std::vector<EDBEngineError::DBError>{}),
       "",
       "",
       {s + kRule + kRule, s + "讯息信息:", s + "ErrorMessage Count: 0"}},
      {"Windows error",
       std::make_shared<EWin32Error>("Access denied", 5),
       "",
       "",
       {s + kRule + kRule, s + "讯息信息:",
        s + "EWin32Error Error 01: Code: 5, Message: Access denied", s + "ErrorMessage Count: 1"}},
      {"file error",
       std::make_shared<EInOutError>("File not found", 2),
       "",
       "",
       {s + kRule + kRule, s + "讯息信息:",
        s + "EInOutError Error 01: Code: 2, Message: File not found", s + "ErrorMessage Count: 1"}},
      {"other exception, message with %",
       std::make_shared<EConvertError>("100% wrong %s %d %"),
       "",
       "",
       {s + kRule + kRule, s + "讯息信息:", s + "Exception is EConvertError",
        "Message 01: 100% wrong %s %d %", s + "ErrorMessage Count: 1"}},
      {"operating-system error that is not a Windows error",
       std::make_shared<EOSError>("denied", 13),
       "",
       "",
       {s + kRule + kRule, s + "讯息信息:", s + "Exception is EOSError", "Message 01: denied",
        s + "ErrorMessage Count: 1"}},
  };
  const std::string file = Base() + "Log/Alert_Brantel_20240305.log";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(file);
    WriteExceptionReport(c.error.get(), c.location, c.message);
    EXPECT_EQ(LogLines(file), c.expected);
  }
}

}  // namespace
