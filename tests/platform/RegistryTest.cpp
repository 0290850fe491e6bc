#include "Registry.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

class RegistryTest : public ::testing::Test {
 protected:
  void UseRegistry(const std::string& text) {
    env_.emplace("ORVANT_REGISTRY", folder_.Write("registry.ini", text));
  }
  TempFolder folder_;
  std::optional<ScopedEnv> env_;
};

TEST_F(RegistryTest, ReadsValuesOfAnOpenKeyWithoutRegardToCase) {
  UseRegistry(
      "\xEF\xBB\xBF; demo installation\n"
      "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\r\n"
      "ClientPath=/opt/orvant/client/\r\n"
      "ProfileType = \"0\"\n"
      "clientpath=/ignored/\n"
      "[HKEY_CURRENT_USER\\Software\\QMT\\Orvant]\n"
      "ClientPath=/home/user/\n");
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKeyReadOnly("software\\qmt\\ORVANT"));
  EXPECT_EQ(reg.ReadString("CLIENTPATH"), "/opt/orvant/client/");  // first of duplicates
  EXPECT_EQ(reg.ReadString("ProfileType"), "0");
  EXPECT_TRUE(reg.ValueExists("clientPath"));
  EXPECT_FALSE(reg.ValueExists("ServerPath"));
  EXPECT_EQ(reg.ReadString("ServerPath"), "");  // a missing value reads as empty
  reg.CloseKey();
  EXPECT_FALSE(reg.ValueExists("ClientPath"));

  TRegistry user;  // HKEY_CURRENT_USER by default
  ASSERT_TRUE(user.OpenKeyReadOnly("\\Software\\QMT\\Orvant\\"));
  EXPECT_EQ(user.ReadString("ClientPath"), "/home/user/");
}

TEST_F(RegistryTest, MissingFileOrKeyCannotBeOpened) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  env_.emplace("ORVANT_REGISTRY", folder_.Path() + "/absent.ini");
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\QMT\\Orvant"));
  UseRegistry("[HKEY_LOCAL_MACHINE\\Software\\Other]\nX=1\ngarbage line\n[unterminated\n");
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\QMT\\Orvant"));
  EXPECT_TRUE(reg.KeyExists("Software\\Other"));
  EXPECT_EQ(reg.TryReadString("X"), std::nullopt);
}

TEST_F(RegistryTest, ProgIDTableNamesLibraryAndFactory) {
  UseRegistry(
      "[ProgID]\n"
      "ReportCounterS.dmReportCounter=/opt/orvant/libReportCounterS.so:CreateReportCounter\n"
      "Broken.NoFactory=libX.so\n");
  const auto entry = LookupProgID("reportcounters.dmreportcounter");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->Library, "/opt/orvant/libReportCounterS.so");
  EXPECT_EQ(entry->Factory, "CreateReportCounter");
  EXPECT_EQ(LookupProgID("Broken.NoFactory"), std::nullopt);
  EXPECT_EQ(LookupProgID("InternetExplorer.Application"), std::nullopt);
}
