#include "BaseGene.h"

#include <gtest/gtest.h>

#include <set>

#include "DynLib.h"
#include "SysUtils.h"
#include "TempInstallation.h"
#include "XMLDoc.h"

namespace {

// The smallest concrete report form: the frame of the base with nothing of its own.
class TfrmLangGene : public TfrmBaseGene {
  KXBR_CLASS(TfrmLangGene, TfrmBaseGene)

 public:
  using TfrmBaseGene::TfrmBaseGene;
  bool InitParams(const Variant&) override { return true; }
  void ExternalCall(const Variant&) override {}
};

}  // namespace

KXBR_DEFINE_CLASS(TfrmLangGene, )

class BaseGeneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModuleSearchFolder(KXBR_MODULE_DIR);
    install_.InstallSamplePacks();
  }
  void TearDown() override {
    if (form_) form_->Free();
    SetModuleSearchFolder("");
  }
  TfrmLangGene* Show(const std::string& uiCodePage) {
    if (form_) form_->Free();
    install_.WriteClientIni(uiCodePage, "936");
    form_ = CreateForm<TfrmLangGene>(nullptr);
    form_->Show();
    return form_;
  }
  std::string LangText(const std::string& key) {
    std::string text;
    form_->GetLangText("TfrmBaseGene", key, text, true, "条件方案");
    return text;
  }
  TempInstallation install_{"936"};
  TfrmLangGene* form_ = nullptr;
};

TEST_F(BaseGeneTest, TheFrameComesFromTheResource) {
  TfrmLangGene* form = Show("936");
  EXPECT_EQ(form->Name(), "frmBaseGene");
  EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption1);
  EXPECT_EQ(form->btnPrintDate->F2Control(), form->edPrintDate);
  EXPECT_EQ(form->lblToday->FocusControl(), form->edPrintDate);
  EXPECT_EQ(form->ToolButton1->DropdownMenu(), form->mnList);
  EXPECT_TRUE(form->N7->Checked());
  EXPECT_TRUE(form->btnCancel->Cancel());
  EXPECT_EQ(form->btnCancel->ModalResult(), mrCancel);
  // The scheme list's dataset reads the server's provider through the form's connection.
  EXPECT_EQ(form->ClientDataSet1->RemoteServer(), form->MainMidas);
  EXPECT_EQ(form->ClientDataSet1->ProviderName(), "pvdConSave");
  EXPECT_EQ(form->ClientDataSet1->IndexDefs()->Find("Index1")->Fields(),
            "NCONDITION;CREATOR;PROGRAMME");
  EXPECT_EQ(form->MainMidas->ObjectBroker(), form->ObjBroker);
  EXPECT_FALSE(form->MainMidas->SupportCallbacks());
  EXPECT_FALSE(form->MainMidas->Connected());
  // The bottom panel spans the form; the scheme panel and the pages share what is above it.
  EXPECT_EQ(form->Panel1->Width(), form->ClientWidth());
  EXPECT_EQ(form->pnlCondition->Height(), form->ClientHeight() - 43);
  EXPECT_EQ(form->pgOption->Left(), 154);
  EXPECT_EQ(form->pgOption->Width(), form->ClientWidth() - 154);
}

// One binary, three interface languages: only the client configuration differs.
TEST_F(BaseGeneTest, TheInterfaceLanguageFollowsTheConfiguration) {
  struct Case {
    const char* uiCodePage;
    const char *page, *ok, *save, *saveHint, *largeIcons, *option, *missing;
  };
  const Case cases[] = {
      {"936", "基本选项", "确定", "保存(&S)", "保存", "大型图标(&G)", "选择条件文字", "条件方案"},
      {"950", "基本選項", "確定", "保存(&S)", "保存", "大型圖標(&G)", "選擇條件文字", "條件方案"},
      {"437", "Basic Options", "OK", "&Save", "Save", "Lar&ge Icons", "Condition Texts",
       "条件方案"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uiCodePage);
    TfrmLangGene* form = Show(c.uiCodePage);
    EXPECT_EQ(form->tsOption1->Caption(), c.page);
    EXPECT_EQ(form->btnOk->Caption(), c.ok);
    EXPECT_EQ(form->btnInsert->Caption(), c.save);
    EXPECT_EQ(form->btnInsert->Hint(), c.saveHint);
    EXPECT_EQ(form->N7->Caption(), c.largeIcons);
    EXPECT_EQ(LangText("sOption"), c.option);
    EXPECT_EQ(LangText("sNoSuchKey"), c.missing);
  }
}

TEST_F(BaseGeneTest, FontsFollowTheInterfaceLanguage) {
  EXPECT_EQ(Show("950")->btnOk->Font()->Charset(), 136);
  EXPECT_EQ(Show("437")->btnOk->Font()->Name(), "Tahoma");
  EXPECT_EQ(Show("936")->btnOk->Font()->Name(), "宋体");
}

// Every element of the shipped packs of the frame names one of its components or carries a
// message text, so a misspelt name in a pack cannot go unnoticed.
TEST_F(BaseGeneTest, ShippedPacksNameTheFramesComponents) {
  TfrmLangGene* form = Show("936");
  for (const char* language : {"CHS", "CHT", "ENG"}) {
    SCOPED_TRACE(language);
    TXMLDocument doc;
    ASSERT_TRUE(
        doc.LoadFromFile(install_.Client() + "MultiLanguage/" + language + "/TfrmBaseGene.Lng"))
        << doc.ParseError();
    EXPECT_EQ(doc.DocumentElement().Name(), form->Name());
    for (const TXMLElement& e : doc.DocumentElement().Children()) {
      if (e.HasAttribute("Msg")) continue;
      EXPECT_NE(form->FindComponent(e.Name()), nullptr) << e.Name();
    }
  }
}
