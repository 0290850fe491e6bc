#include "IniFile.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

TEST(IniFile, ReadsLikeTheProfileFunctions) {
  TempFolder folder;
  const std::string path = folder.Write("OrvantC.ini",
                                        "; comment\r\n"
                                        "[Server Information]\r\n"
                                        "  ComputerName =  host1;host2;  \r\n"
                                        "ServerPort=0x00D3\r\n"
                                        "Quoted=\" keep blanks \"\r\n"
                                        "computername=second-is-ignored\r\n"
                                        "line without separator\r\n"
                                        "=no key\r\n"
                                        "[ WorkDLLPath ]\n"
                                        "a=Pkg\n"
                                        "b=\\Other\n"
                                        "[server information]\n"
                                        "Late=joined to the first section\n");
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("server information", "COMPUTERNAME", "x"), "host1;host2;");
  EXPECT_EQ(ini.ReadInteger("Server Information", "ServerPort", 0), 211);  // hexadecimal
  EXPECT_EQ(ini.ReadString("Server Information", "Quoted", ""), " keep blanks ");
  EXPECT_EQ(ini.ReadString("Server Information", "Late", ""), "joined to the first section");
  EXPECT_EQ(ini.ReadString("Server Information", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("No Section", "Key", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadSectionValues("WorkDLLPath"), (std::vector<std::string>{"a=Pkg", "b=\\Other"}));
  EXPECT_EQ(ini.ReadSection("workdllpath"), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ini.SectionExists("WORKDLLPATH"));
  EXPECT_FALSE(ini.SectionExists("CodePage"));
  EXPECT_TRUE(ini.ValueExists("Server Information", "quoted"));
}

TEST(IniFile, NumbersAndFlagsFallBackToTheirDefaults) {
  TempFolder folder;
  const TIniFile ini(folder.Write("x.ini", "[S]\nN=42\nH=$10\nBad=4x\nEmpty=\nZero=0\nTwo=2\n"));
  struct Case {
    const char* key;
    int expectedInt;
    bool expectedBool;
  } cases[] = {{"N", 42, true},    {"H", 16, true},  {"Bad", -1, true},   {"Empty", -1, true},
               {"Zero", 0, false}, {"Two", 2, true}, {"Absent", -1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.expectedInt);
    EXPECT_EQ(ini.ReadBool("S", c.key, true), c.expectedBool);
  }
}

TEST(IniFile, DecodesTheSystemCodePageUnlessMarkedUtf8) {
  TempFolder folder;
  ScopedEnv cp("ORVANT_CODEPAGE", "936");
  EXPECT_EQ(
      TIniFile(folder.Write("gbk.ini", "[S]\nName=\xD6\xD0\xCE\xC4\n")).ReadString("S", "Name", ""),
      "中文");
  EXPECT_EQ(TIniFile(folder.Write("utf8.ini", "\xEF\xBB\xBF[S]\nName=中文\n"))
                .ReadString("S", "Name", ""),
            "中文");
  // Bytes that are not valid GBK do not stop the reader.
  EXPECT_EQ(TIniFile(folder.Write("bad.ini",
                                  "[S]\nName=a\xFF\xFE"
                                  "b\nNext=1\n"))
                .ReadInteger("S", "Next", 0),
            1);
}

TEST(IniFile, MissingFileAndHugeValues) {
  TempFolder folder;
  const TIniFile missing(folder.Path() + "/none.ini");
  EXPECT_EQ(missing.ReadString("S", "K", "d"), "d");
  EXPECT_TRUE(missing.ReadSections().empty());

  const TIniFile huge(folder.Write("huge.ini", "[S]\nK=" + std::string(100000, 'x') + "\n"));
  EXPECT_EQ(huge.ReadString("S", "K", "").size(), 2047u);
}
