#include "TranslatorU.h"

#include <gtest/gtest.h>

#include "SysUtils.h"
#include "TempFolder.h"

class TranslatorTest : public ::testing::Test {
 protected:
  void TearDown() override { SetModuleSearchFolder(""); }
};

TEST_F(TranslatorTest, ConvertsBetweenSimplifiedAndTraditional) {
  SetModuleSearchFolder(KXBR_MODULE_DIR);
  const TTranslator translator;
  struct Case {
    const char* simplified;
    const char* traditional;
  } cases[] = {{"结转单号", "結轉單號"},
               {"审核状态", "審核狀態"},
               {"合同编号 ABC-123", "合同編號 ABC-123"},
               {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.simplified);
    EXPECT_EQ(translator.GBtoBIG5(c.simplified), c.traditional);
    EXPECT_EQ(translator.BIG5toGB(c.traditional), c.simplified);
  }
}

TEST_F(TranslatorTest, LoadFailuresRaiseThePlatformTexts) {
  // A library already loaded is found by name again (as on the platform), so the missing
  // one is asked for under a name that was never loaded.
  TempFolder empty;
  SetModuleSearchFolder(empty.Path());
  try {
    TTranslator translator("LintovaMissing.dll");
    ADD_FAILURE() << "loaded from an empty folder";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Load Library LintovaMissing.dll Error!");
  }

  SetModuleSearchFolder(KXBR_FAKE_LINTOVA_DIR);
  try {
    TTranslator translator;
    ADD_FAILURE() << "loaded a library without BIG5toGB";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Get Library Procedure Address Error!");
  }
}
