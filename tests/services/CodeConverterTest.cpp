#include "CodeConverter.h"

#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "Grids.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TempInstallation.h"

class CodeConverterTest : public ::testing::Test {
 protected:
  void SetUp() override { SetModuleSearchFolder(KXBR_MODULE_DIR); }
  void TearDown() override { SetModuleSearchFolder(""); }

  // A converter created under the given system code page and client code pages.
  std::unique_ptr<TCodeConverter> Make(const std::string& sys, const std::string& ui,
                                       const std::string& db) {
    install_.SetSysCodePage(sys);
    install_.WriteClientIni(ui, db);
    return std::make_unique<TCodeConverter>(nullptr);
  }

  TempInstallation install_;
};

TEST_F(CodeConverterTest, ModesFollowTheConfiguredCodePages) {
  struct Case {
    const char *name, *sys, *ui, *db;
    int uiMode, dbMode;
    bool translator;
  } cases[] = {
      {"traditional interface, GB database", "936", "950", "936", 2, 2, true},
      {"traditional interface, BIG5 database", "936", "950", "950", 2, 0, true},
      {"GB interface on a BIG5 system", "950", "936", "950", 4, 1, true},
      {"GB interface on a BIG5 system, GB database", "950", "936", "936", 4, 0, true},
      {"GB everywhere but a BIG5 database", "936", "936", "950", 0, 1, false},
      {"English interface", "1252", "437", "936", 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto converter = Make(c.sys, c.ui, c.db);
    EXPECT_EQ(converter->UIConvertMode(), c.uiMode);
    EXPECT_EQ(converter->DBConvertMode(), c.dbMode);
    EXPECT_EQ(converter->HasTranslator(), c.translator);
    EXPECT_EQ(converter->DesignType(), dtClient);
  }
}

TEST_F(CodeConverterTest, ConvertValueOverTextsNumbersAndArrays) {
  const auto converter = Make("936", "950", "936");
  EXPECT_EQ(converter->ConvertValue(2, Variant("结转单号")), Variant("結轉單號"));
  EXPECT_EQ(converter->ConvertValue(1, Variant::Wide("結轉單號")), Variant::Wide("结转单号"));
  EXPECT_EQ(converter->ConvertValue(2, Variant(12)), Variant("12"));  // numbers come back as text
  EXPECT_EQ(converter->ConvertValue(4, Variant("结转")), Variant("结转"));
  EXPECT_EQ(converter->ConvertValue(0, Variant("结转")), Variant("结转"));
  EXPECT_TRUE(converter->ConvertValue(2, Variant()).IsEmpty());
  EXPECT_TRUE(converter->ConvertValue(2, Variant::Null()).IsNull());

  // One dimension with a nested array; two dimensions element by element.
  Variant list =
      VarArrayOf({Variant("审核"), VarArrayOf({Variant("合同"), Variant(7)}), Variant::Null()});
  const Variant one = converter->ConvertValue(2, list);
  EXPECT_EQ(one[0], Variant("審核"));
  EXPECT_EQ(one[1][0], Variant("合同"));
  EXPECT_EQ(one[1][1], Variant("7"));
  EXPECT_TRUE(one[2].IsNull());
  EXPECT_EQ(list[0], Variant("审核"));  // the argument is untouched

  Variant grid = VarArrayCreate({1, 2, 0, 1}, varVariant);
  grid.At({1, 0}) = Variant("单号");
  grid.At({2, 1}) = Variant::Wide("状态");
  const Variant two = converter->ConvertValue(2, grid);
  EXPECT_EQ(two.At({1, 0}), Variant("單號"));
  EXPECT_EQ(two.At({2, 1}), Variant::Wide("狀態"));
  EXPECT_TRUE(two.At({1, 1}).IsEmpty());
  EXPECT_EQ(VarArrayLowBound(two, 1), 1);

  Variant cube = VarArrayCreate({0, 0, 0, 0, 0, 0}, varVariant);
  cube.At({0, 0, 0}) = Variant("单");
  EXPECT_EQ(converter->ConvertValue(2, cube).At({0, 0, 0}), Variant("单"));  // left alone
}

TEST_F(CodeConverterTest, DatabaseDirectionsAndTheirReverses) {
  const auto gbDatabase = Make("936", "936", "950");  // mode 1: BIG5 database text for display
  EXPECT_FALSE(gbDatabase->HasTranslator());          // the interface mode 0 loads no library
  EXPECT_EQ(gbDatabase->DBConvertBack(Variant("单")), Variant("单"));

  const auto big5 = Make("950", "936", "950");  // interface 4, database 1
  EXPECT_EQ(big5->DBConvert(Variant("單號")), Variant("单号"));
  EXPECT_EQ(big5->DBConvertBack(Variant("单号")), Variant("單號"));
  EXPECT_EQ(big5->UIConvert(Variant("单号")), Variant("单号"));  // mode 4 keeps the text
  EXPECT_EQ(big5->GBToBig5("单号"), "單號");
  EXPECT_EQ(big5->Big5ToGB(""), "");

  const auto plain = Make("936", "936", "936");
  EXPECT_EQ(plain->GBToBig5("单号"), "单号");  // no library: unchanged
}

TEST(CodeConverterFonts, ModeFonts) {
  struct Case {
    int mode;
    TFontCharset charset;
  } cases[] = {{0, 134}, {1, 134}, {4, 134}, {2, 136}, {3, 136}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    TFont font;
    TCodeConverter::SetModeFont(c.mode, &font);
    EXPECT_EQ(font.Name(), "SimSun");
    EXPECT_EQ(font.Charset(), c.charset);
  }
  TFont untouched;
  untouched.SetName("Arial");
  TCodeConverter::SetModeFont(7, &untouched);
  EXPECT_EQ(untouched.Name(), "Arial");
}

TEST_F(CodeConverterTest, LanguageMessagesFromThePackOfTheInterfaceLanguage) {
  install_.WriteClientIni("950", "936");
  install_.WriteClientPack("CHT", "TfrmBaseGene.Lng",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<TfrmBaseGene><Group><sOption Msg=\"選項\"/></Group>"
                           "<sOption Msg=\"second\"/><sEmpty Msg=\"\"/></TfrmBaseGene>");
  std::string text;
  ReadLangMessage(dtClient, "TfrmBaseGene", "sOption", text, "选项");
  EXPECT_EQ(text, "選項");  // the first element of the name anywhere
  ReadLangMessage(dtClient, "TfrmBaseGene", "sEmpty", text, "default");
  EXPECT_EQ(text, "");
  ReadLangMessage(dtClient, "TfrmBaseGene", "sMissing", text, "default");
  EXPECT_EQ(text, "default");
  ReadLangMessage(dtClient, "TfrmNoPack", "sOption", text, "default");
  EXPECT_EQ(text, "default");
  EXPECT_EQ(LangDirectory(dtClient), install_.Client() + "MultiLanguage/CHT/");

  install_.WriteClientPack("CHT", "TfrmBroken.Lng", "<TfrmBroken><sOption Msg=\"x\"></TfrmBroken>");
  ReadLangMessage(dtClient, "TfrmBroken", "sOption", text, "default");
  EXPECT_EQ(text, "default");
}

TEST_F(CodeConverterTest, PacksInTheirDeclaredEncoding) {
  install_.WriteClientIni("950", "936");
  install_.WriteClientPack(
      "CHT", "TfrmBig5.Lng",
      "<?xml version=\"1.0\" encoding=\"BIG5\"?>\n<R><sOption Msg=\"\xBF\xEF\xB6\xB5\"/></R>");
  install_.WriteClientPack(
      "CHT", "TfrmOdd.Lng",
      "<?xml version=\"1.0\" encoding=\"KOI8-Q\"?>\n<R><sOption Msg=\"x\"/></R>");
  std::string text;
  ReadLangMessage(dtClient, "TfrmBig5", "sOption", text, "default");
  EXPECT_EQ(text, "選項");
  ReadLangMessage(dtClient, "TfrmOdd", "sOption", text, "default");
  EXPECT_EQ(text, "default");
}

TEST_F(CodeConverterTest, NoLanguageFolderForOtherCodePages) {
  install_.WriteClientIni("1252", "936");
  EXPECT_EQ(LangDirectory(dtClient), "");
  install_.WriteClientIni("936", "936");
  EXPECT_EQ(LangDirectory(dtClient), "");  // the CHS folder does not exist
}

// A form with the kinds of components the one-time conversion visits.
class TConvertForm : public TForm {
 public:
  explicit TConvertForm(TComponent* owner) : TForm(owner) {
    SetCaption("结转单明细表");
    label = new TLabel(this);
    label->SetCaption("结转单号");
    label->SetHint("[F2]结转单信息查询");
    freeCombo = new TComboBox(this);
    freeCombo->Items()->SetText("审核\r\n未审核\r\n");
    listCombo = new TComboBox(this);
    listCombo->SetStyle(csDropDownList);
    listCombo->Items()->SetText("全部\r\n审核\r\n未审核\r\n");
    listCombo->SetItemIndex(2);
    listBox = new TListBox(this);
    listBox->Items()->Add("单号");
    list = new TListView(this);
    list->Columns()->Add()->SetCaption("单号");
    TListItem* row = list->Items()->Add();
    row->SetCaption("结转");
    row->SubItems()->Add("审核");
    tree = new TTreeView(this);
    tree->Items()->Add(nullptr, "报表");
    grid = new TStringGrid(this);
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetCells(1, 1, "单号");
    menu = new TPopupMenu(this);
  }
  TLabel* label;
  TComboBox* freeCombo;
  TComboBox* listCombo;
  TListBox* listBox;
  TListView* list;
  TTreeView* tree;
  TStringGrid* grid;
  TPopupMenu* menu;
};

TEST_F(CodeConverterTest, FormToTraditionalInterface) {
  const auto converter = Make("936", "950", "936");  // mode 2
  TConvertForm form(nullptr);
  converter->ConvertComponents(&form);
  EXPECT_EQ(form.Caption(), "结转单明细表");  // the system draws captions in GB here
  EXPECT_EQ(form.label->Caption(), "結轉單號");
  EXPECT_EQ(form.label->Hint(), "[F2]結轉單信息查詢");
  EXPECT_EQ(form.label->Font()->Charset(), CHINESEBIG5_CHARSET);
  EXPECT_EQ(Screen()->HintFont()->Charset(), CHINESEBIG5_CHARSET);
  EXPECT_EQ(form.freeCombo->Style(), csOwnerDrawFixed);
  EXPECT_EQ(form.freeCombo->ItemIndex(), 0);  // an unselected combo shows its first item
  EXPECT_EQ(form.freeCombo->Items()->Strings(0), "審核");
  EXPECT_EQ(form.listCombo->Style(), csOwnerDrawFixed);
  EXPECT_EQ(form.listCombo->ItemIndex(), 2);
  EXPECT_EQ(form.listBox->Style(), lbOwnerDrawFixed);
  EXPECT_EQ(form.listBox->Items()->Strings(0), "單號");
  EXPECT_EQ(static_cast<TListColumn*>(form.list->Columns()->Items(0))->Caption(), "單號");
  EXPECT_EQ(form.list->Items()->Item(0)->Caption(), "結轉");
  EXPECT_EQ(form.list->Items()->Item(0)->SubItems()->Strings(0), "審核");
  EXPECT_EQ(form.tree->Items()->Item(0)->Text(), "報表");
  EXPECT_EQ(form.grid->Cells(1, 1), "單號");
  EXPECT_TRUE(form.menu->OwnerDraw());
}

TEST_F(CodeConverterTest, GBInterfaceOnABig5SystemChangesFontsStylesAndTheCaption) {
  const auto converter = Make("950", "936", "936");  // mode 4
  TConvertForm form(nullptr);
  converter->ConvertComponents(&form);
  EXPECT_EQ(form.Caption(), "結轉單明細表");
  EXPECT_EQ(form.label->Caption(), "结转单号");
  EXPECT_EQ(form.label->Font()->Name(), "SimSun");
  EXPECT_EQ(form.label->Font()->Charset(), GB2312_CHARSET);
  EXPECT_EQ(form.freeCombo->Style(), csOwnerDrawVariable);
  EXPECT_EQ(form.freeCombo->ItemIndex(), -1);
  EXPECT_EQ(form.listCombo->Style(), csOwnerDrawFixed);
  EXPECT_EQ(form.listCombo->ItemIndex(), 2);
  EXPECT_EQ(form.list->Items()->Item(0)->Caption(), "结转");
  EXPECT_TRUE(form.menu->OwnerDraw());
}

TEST_F(CodeConverterTest, EnglishInterfaceConvertsNothing) {
  const auto converter = Make("1252", "437", "936");
  TConvertForm form(nullptr);
  converter->ConvertComponents(&form);
  EXPECT_EQ(form.label->Caption(), "结转单号");
  EXPECT_EQ(form.freeCombo->Style(), csDropDown);
  EXPECT_FALSE(form.menu->OwnerDraw());
}

TEST_F(CodeConverterTest, MessageBoxesInTheInterfaceCodePage) {
  TConvertForm form(nullptr);
  install_.SetSysCodePage("936");
  install_.WriteClientIni("936", "936");
  auto* converter = new TCodeConverter(&form);  // owned by the form, as each form's is
  HeadlessDialogService()->Clear();
  HeadlessDialogService()->Answer(mrOk);
  EXPECT_EQ(converter->ShowMessageDlg("保存成功", mtInformation, {mbOK}), mrOk);
  ASSERT_EQ(HeadlessDialogService()->Shown().size(), 1u);
  EXPECT_EQ(HeadlessDialogService()->Shown()[0].Text, "保存成功      ");
  EXPECT_EQ(HeadlessDialogService()->Shown()[0].Caption, "结转单明细表");
  EXPECT_EQ(converter->ShowMessageDlg("", mtInformation, {mbOK}), 0);
  EXPECT_EQ(HeadlessDialogService()->Shown().size(), 1u);
}
