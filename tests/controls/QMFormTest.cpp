#include "QMForm.h"

#include <gtest/gtest.h>

#include "Buttons.h"
#include "SelectPnl.h"
#include "StdCtrls.h"
#include "TempInstallation.h"
#include "TypInfo.h"

namespace {

// Forms below TQMForm, with an edit and two speed buttons made before creation completes.
class TPackBaseForm : public TQMForm {
  KXBR_CLASS(TPackBaseForm, TQMForm)

 public:
  explicit TPackBaseForm(TComponent* owner) : TQMForm(owner) {
    edit = new TEdit(this);
    edit->SetName("edNoteID");
    oneImage = new TSpeedButton(this);
    oneImage->Glyph()->SetSize(4, 4);
    twoImages = new TSpeedButton(this);
    twoImages->Glyph()->SetSize(8, 4);
    twoImages->SetNumGlyphs(2);
    panel = new TSelectPanel(this);
  }
  TEdit* edit;
  TSelectPanel* panel;
  TSpeedButton* oneImage;
  TSpeedButton* twoImages;
};

class TPackDerivedForm : public TPackBaseForm {
  KXBR_CLASS(TPackDerivedForm, TPackBaseForm)

 public:
  using TPackBaseForm::TPackBaseForm;
};

}  // namespace

KXBR_DEFINE_CLASS(TPackBaseForm, )
KXBR_DEFINE_CLASS(TPackDerivedForm, )

class QMFormTest : public ::testing::Test {
 protected:
  void SetUp() override { SetModuleSearchFolder(KXBR_MODULE_DIR); }
  void TearDown() override {
    SetModuleSearchFolder("");
    if (form_) form_->Free();
  }
  TPackDerivedForm* Create(const std::string& sys, const std::string& ui) {
    install_.SetSysCodePage(sys);
    install_.WriteClientIni(ui, "936");
    form_ = CreateForm<TPackDerivedForm>(nullptr);
    return form_;
  }
  TempInstallation install_;
  TPackDerivedForm* form_ = nullptr;
};

TEST_F(QMFormTest, CreationFromTheInheritedResource) {
  TPackDerivedForm* form = Create("936", "936");
  ASSERT_NE(form->QmConverter, nullptr);
  ASSERT_NE(form->LangController, nullptr);
  EXPECT_EQ(form->QmConverter->Owner(), form);
  EXPECT_FALSE(form->LangController->Active());
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_EQ(form->Position(), poScreenCenter);
  EXPECT_EQ(form->Font()->Name(), "宋体");
  EXPECT_FALSE(form->Converted);
  EXPECT_EQ(form->GetUICodePage(), "936");
  EXPECT_NE(form->edit->Font()->Name(), "Tahoma");  // only an English interface sets it
  // A glyph of one image gains its disabled image; one of two is left alone.
  EXPECT_EQ(form->oneImage->NumGlyphs(), 2);
  EXPECT_EQ(form->oneImage->Glyph()->Width(), 8);
  EXPECT_EQ(form->twoImages->Glyph()->Width(), 8);
  // The selection panel's one-image buttons too; the clear button already has two.
  EXPECT_EQ(form->panel->DeleteButton->NumGlyphs(), 2);
  EXPECT_EQ(form->panel->DeleteButton->Glyph()->Width(),
            2 * form->panel->DeleteButton->Glyph()->Height());
  EXPECT_EQ(form->panel->ListButton->NumGlyphs(), 2);
  EXPECT_EQ(form->panel->ClearButton->Glyph()->Width(), 32);
}

TEST_F(QMFormTest, EnglishInterfaceFont) {
  TPackDerivedForm* form = Create("1252", "437");
  EXPECT_EQ(form->edit->Font()->Name(), "Tahoma");
  EXPECT_EQ(form->edit->Font()->Charset(), GB2312_CHARSET);
}

TEST(QMFormGlyph, DisabledImageMarksDarkAndEdgePixels) {
  // Row 0 transparent, rows 1..3 light grey (200, 200, 200).
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(4, 4);
  const TColor magenta = RGB(255, 0, 255), grey = RGB(200, 200, 200);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) glyph.Canvas()->SetPixels(x, y, y == 0 ? magenta : grey);
  glyph.SetTransparentColor(magenta);
  AddDisabledGlyph(&glyph);
  ASSERT_EQ(glyph.Width(), 8);
  TCanvas* c = glyph.Canvas();
  EXPECT_EQ(c->Pixels(1, 2), grey);  // the first image is unchanged
  EXPECT_EQ(ColorToRGB(c->Pixels(4 + 1, 0)), ColorToRGB(clBtnFace));       // on the button face
  EXPECT_EQ(ColorToRGB(c->Pixels(4 + 1, 1)), ColorToRGB(clBtnShadow));     // next to transparent
  EXPECT_EQ(ColorToRGB(c->Pixels(4 + 2, 3)), ColorToRGB(clBtnFace));       // surrounded: unmarked
  EXPECT_EQ(ColorToRGB(c->Pixels(4 + 2, 2)), ColorToRGB(clBtnHighlight));  // below-right of (1,1)
}

TEST_F(QMFormTest, PacksOfTheClassChainInOrderMissingOnesSkipped) {
  install_.WriteClientIni("936", "936");
  install_.WriteClientPack("CHS", "TPackBaseForm.Lng",
                           "<F Caption=\"base\"><edNoteID Hint=\"base hint\" Text=\"base\"/></F>");
  install_.WriteClientPack("CHS", "TPackDerivedForm.Lng", "<F Caption=\"derived\"/>");
  TPackDerivedForm* form = Create("936", "936");
  form->Show();
  EXPECT_EQ(form->Caption(), "derived");
  EXPECT_EQ(form->edit->Hint(), "base hint");
  // A broken pack of the installation is skipped like a missing one.
  install_.WriteClientPack("CHS", "TPackDerivedForm.Lng", "<F Caption=\"broken\">");
  form->Hide();
  form->SetCaption("x");
  form->Show();
  EXPECT_EQ(form->Caption(), "base");
}

TEST_F(QMFormTest, ConvertFormOnceAndLanguageTexts) {
  install_.WriteClientPack("CHT", "TPackBaseForm.Lng", "<F><sOption Msg=\"選項\"/></F>");
  TPackDerivedForm* form = Create("936", "950");
  form->edit->SetHint("结转单号");
  form->ConvertForm();
  EXPECT_TRUE(form->Converted);
  EXPECT_EQ(form->edit->Hint(), "結轉單號");
  form->edit->SetHint("结转单号");
  form->ConvertForm();  // a second call does nothing
  EXPECT_EQ(form->edit->Hint(), "结转单号");

  std::string text;
  // The selection panel converts its own texts and its list.
  TSelectPanel* panel = form->panel;
  form->Converted = false;
  panel->SetHintWord("区间选择");
  TStringList words;
  words.Add("从");
  words.Add("从");
  panel->SetBeginWords(&words);
  panel->ChildHints()->Clear();
  panel->ChildHints()->Add("结转单信息查询");
  panel->ListView->Columns()->Add()->SetCaption("单号");
  form->ConvertForm();
  EXPECT_EQ(panel->HintWord(), "區間選擇");
  EXPECT_EQ(panel->BeginWords()->Strings(0), "從");
  EXPECT_EQ(panel->ChildHints()->Strings(0), "結轉單信息查詢");
  EXPECT_EQ(static_cast<TListColumn*>(panel->ListView->Columns()->Items(0))->Caption(), "單號");

  form->GetLangText("TPackBaseForm", "sOption", text, true, "选项");
  EXPECT_EQ(text, "選項");
  form->GetLangText("TPackBaseForm", "sMissing", text, true, "选项");
  EXPECT_EQ(text, "選項");  // the default, converted
  form->GetLangText("TPackBaseForm", "sMissing", text, false, "选项");
  EXPECT_EQ(text, "选项");
}
