#include "DynLib.h"

#include <gtest/gtest.h>

#include "Paths.h"
#include "TempFolder.h"

TEST(DynLib, PlatformNamesMapToSharedLibraries) {
  struct Case {
    const char* name;
    const char* file;
  } cases[] = {{"Lintova.dll", "libLintova.so"},
               {"Lintova", "libLintova.so"},
               {"LINTOVA.DLL", "libLINTOVA.so"},
               {"libPelvor.so", "libPelvor.so"},
               {"C:\\Orvant\\KXBR07S.DLL", "libKXBR07S.so"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SharedLibraryFileName(c.name), c.file);
  }
}

class DynLibTest : public ::testing::Test {
 protected:
  void SetUp() override { SetModuleSearchFolder(KXBR_TEST_BINARY_DIR); }
  void TearDown() override { SetModuleSearchFolder(""); }
};

TEST_F(DynLibTest, LoadsFromTheModuleFolderAndFindsExports) {
  HMODULE lib = LoadLibrary("SampleLib.dll");
  ASSERT_NE(lib, nullptr) << SysErrorMessage(GetLastError());
  using Answer = int (*)();
  auto answer = reinterpret_cast<Answer>(GetProcAddress(lib, "SampleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(ExtractFileName(GetModuleFileName(reinterpret_cast<const void*>(answer))),
            "libSampleLib.so");

  EXPECT_EQ(GetProcAddress(lib, "NoSuchEntry"), nullptr);
  EXPECT_EQ(GetLastError(), 127);
  EXPECT_EQ(SysErrorMessage(GetLastError()), "The specified procedure could not be found.");
  EXPECT_TRUE(FreeLibrary(lib));
}

TEST_F(DynLibTest, FailuresCarryThePlatformCodes) {
  EXPECT_EQ(LoadLibrary("NoSuchLibrary.dll"), nullptr);
  EXPECT_EQ(GetLastError(), 126);
  EXPECT_EQ(SysErrorMessage(126), "The specified module could not be found.");

  TempFolder folder;
  const std::string fake = folder.Write("libFake.so", "not a library");
  EXPECT_EQ(LoadLibrary(fake), nullptr);
  EXPECT_EQ(GetLastError(), 193);
  EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}
