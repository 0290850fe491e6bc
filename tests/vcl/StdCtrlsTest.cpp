#include <gtest/gtest.h>

#include "Buttons.h"
#include "CodePage.h"
#include "FormTestKit.h"
#include "Menus.h"
#include "Spin.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

class StdCtrlsTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    SetInterfaceCodePage(936);
    form.reset(CreateForm<TForm>(nullptr));
    form->SetName("F");
    form->Show();
  }
  void TearDown() override {
    form.reset();
    SetInterfaceCodePage(GetACP());
    VclTest::TearDown();
  }
  template <class T>
  T* Make(const std::string& name) {
    T* c = new T(form.get());
    c->SetName(name);
    c->SetParent(form.get());
    return c;
  }
  TOwned<TForm> form;
  TRecorder rec;
};

// --- Edits -------------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, TypingIntoAnEditSelectsAllOnEnterAndFiresChange) {
  auto* edit = Make<TEdit>("E");
  edit->SetText("old");
  edit->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  edit->SetFocus();
  EXPECT_EQ(edit->SelLength(), 3);
  EXPECT_FALSE(edit->Modified());
  SendText("Ab1");
  EXPECT_EQ(edit->Text(), "Ab1");  // the selection was replaced
  EXPECT_TRUE(edit->Modified());
  SendKey(VK_BACK);
  SendKey(VK_HOME);
  SendKey(VK_DELETE);
  EXPECT_EQ(edit->Text(), "b");
  EXPECT_EQ(rec.Log.size(), 5u);  // three characters, backspace, delete
  edit->SetText("set");
  EXPECT_FALSE(edit->Modified());
  EXPECT_EQ(rec.Log.size(), 6u);
}

TEST_F(StdCtrlsTest, MaxLengthCountsAnsiBytesOfTheInterfaceCodePage) {
  auto* edit = Make<TEdit>("E");
  edit->SetMaxLength(5);
  edit->SetFocus();
  SendText("中文x中");  // 2 + 2 + 1 bytes fit, the last character does not
  EXPECT_EQ(edit->Text(), "中文x");
  EXPECT_EQ(AnsiByteLength(edit->Text()), 5);
  edit->SetText("程序设定的长文字");  // the program's text is not cut
  EXPECT_EQ(edit->Text(), "程序设定的长文字");
}

TEST_F(StdCtrlsTest, ReadOnlyEditsRefuseTypingButNotTheProgram) {
  auto* edit = Make<TEdit>("E");
  edit->SetReadOnly(true);
  edit->SetFocus();
  SendText("abc");
  SendKey(VK_BACK);
  EXPECT_EQ(edit->Text(), "");
  edit->SetText("ok");
  EXPECT_EQ(edit->Text(), "ok");
}

TEST_F(StdCtrlsTest, CharCaseAndPasswordCharacter) {
  auto* edit = Make<TEdit>("E");
  edit->SetCharCase(ecUpperCase);
  edit->SetFocus();
  SendText("abc");
  EXPECT_EQ(edit->Text(), "ABC");
  edit->SetPasswordChar('*');
  EXPECT_EQ(edit->DisplayText(), "***");
}

TEST_F(StdCtrlsTest, MemoLinesAndCaretLine) {
  auto* memo = Make<TMemo>("M");
  memo->Lines()->Add("first");
  memo->Lines()->Add("second");
  EXPECT_EQ(memo->Text(), "first\r\nsecond\r\n");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  memo->SetFocus();
  memo->SetCaretPos(Point(2, 1));
  SendKey(VK_RETURN);  // a memo wants Enter
  SendText("x");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Strings(1), "se");
  EXPECT_EQ(memo->Lines()->Strings(2), "xcond");
  EXPECT_EQ(memo->CaretPos(), Point(1, 2));
  SendKey(VK_UP);
  EXPECT_EQ(memo->CaretPos(), Point(1, 1));
  memo->Lines()->Delete(0);
  EXPECT_EQ(memo->Lines()->Strings(0), "se");
  memo->Lines()->SetText("a\nb");
  EXPECT_EQ(memo->Text(), "a\r\nb");
  EXPECT_EQ(memo->Lines()->Count(), 2);
}

// --- Buttons -----------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, CheckBoxesToggleAndEveryStateChangeClicks) {
  auto* box = Make<TCheckBox>("C");
  box->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  box->SetAllowGrayed(true);
  SendMouseClick(box);
  EXPECT_EQ(box->State(), cbGrayed);
  SendMouseClick(box);
  EXPECT_EQ(box->State(), cbChecked);
  box->SetFocus();
  SendKey(VK_SPACE);
  EXPECT_EQ(box->State(), cbUnchecked);
  box->SetChecked(true);  // the program's change clicks too
  EXPECT_EQ(rec.Log.size(), 4u);
}

TEST_F(StdCtrlsTest, RadioButtonsUncheckTheirSiblingsOnly) {
  auto* a = Make<TRadioButton>("A");
  auto* b = Make<TRadioButton>("B");
  auto* group = Make<TGroupBox>("G");
  auto* c = new TRadioButton(form.get());
  c->SetParent(group);
  a->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  c->SetChecked(true);
  a->SetChecked(true);
  SendMouseClick(b);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());
  EXPECT_TRUE(b->TabStop());
  EXPECT_FALSE(a->TabStop());
  a->SetChecked(false);  // unchecking clicks nothing
  EXPECT_EQ(rec.Log, (Log{"A.Click"}));
}

TEST_F(StdCtrlsTest, SpeedButtonGroupsAllUpAndDown) {
  auto* a = Make<TSpeedButton>("A");
  auto* b = Make<TSpeedButton>("B");
  a->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  a->SetDown(true);  // not grouped: never down
  EXPECT_FALSE(a->Down());
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  SendMouseClick(a);
  EXPECT_TRUE(a->Down());
  SendMouseClick(a);  // without AllowAllUp it stays down, but clicks
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(rec.Log, (Log{"A.Click", "A.Click"}));
  SendMouseClick(b);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  a->SetAllowAllUp(true);  // shared by the group
  EXPECT_TRUE(b->AllowAllUp());
  SendMouseClick(b);
  EXPECT_FALSE(b->Down());
}

TEST_F(StdCtrlsTest, GlyphsCountTheirImagesAndDrawTheStatesImage) {
  auto* button = Make<TSpeedButton>("S");
  TBitmap glyph;
  glyph.SetSize(32, 16);
  glyph.Fill(clWhite);
  glyph.SetPixel(0, 15, clFuchsia);  // transparent colour: bottom-left
  for (int y = 4; y < 12; ++y) {
    glyph.SetPixel(4, y, clRed);    // first image
    glyph.SetPixel(20, y, clBlue);  // second image (disabled)
  }
  button->SetGlyph(&glyph);
  EXPECT_EQ(button->NumGlyphs(), 2);
  button->SetNumGlyphs(9);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetNumGlyphs(0);
  EXPECT_EQ(button->NumGlyphs(), 1);
  button->SetNumGlyphs(2);
  button->SetBounds(0, 0, 24, 24);
  TBitmap* up = button->PaintControl();
  // The glyph is centred: (24 - 16) / 2 = 4 (rounded up) from each side.
  EXPECT_EQ(up->Pixel(4 + 4, 4 + 6), clRed);
  button->SetEnabled(false);
  TBitmap* disabled = button->PaintControl();
  EXPECT_EQ(disabled->Pixel(4 + 4, 4 + 6), clBlue);
}

TEST_F(StdCtrlsTest, BitBtnKindsBringCaptionResultAndRole) {
  auto* ok = Make<TBitBtn>("Ok");
  ok->SetKind(bkOK);
  EXPECT_EQ(ok->Caption(), "OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->Default());
  auto* close = Make<TBitBtn>("Close");
  close->SetKind(bkClose);
  form->SetOnClose(MethodOf<&TRecorder::Close>(&rec));
  SendMouseClick(close);
  EXPECT_EQ(rec.Log, (Log{"F.Close"}));
  EXPECT_FALSE(form->Visible());
}

// --- Combo and list boxes ----------------------------------------------------------------------

struct ComboCase {
  TComboBoxStyle Style;
  bool HasEdit;
  const char* TextAfterSettingUnknown;
};

TEST_F(StdCtrlsTest, ComboStylesDecideTextAndTyping) {
  const ComboCase cases[] = {
      {csDropDown, true, "zzz"},
      {csSimple, true, "zzz"},
      {csDropDownList, false, "Beta"},
      {csOwnerDrawFixed, false, "Beta"},
      {csOwnerDrawVariable, false, "Beta"},
  };
  for (const ComboCase& c : cases) {
    SCOPED_TRACE(GetEnumName(TypeInfoOfEnum(&c.Style), c.Style));
    TOwned<TComboBox> combo(new TComboBox(nullptr));
    combo->SetParent(form.get());
    combo->Items()->SetCommaText("Alpha,Beta,Gamma");
    combo->SetStyle(c.Style);
    EXPECT_EQ(combo->HasEdit(), c.HasEdit);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "Beta");
    combo->SetText("zzz");
    EXPECT_EQ(combo->Text(), c.TextAfterSettingUnknown);
    combo->SetText("GAMMA");
    if (!c.HasEdit) {
      EXPECT_EQ(combo->ItemIndex(), 2);
    }
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->Text(), "");
    combo->SetItemIndex(7);  // out of range clears like -1
    EXPECT_EQ(combo->ItemIndex(), -1);
  }
}

TEST_F(StdCtrlsTest, ComboOnChangeFiresForTheUserNotForTheProgram) {
  auto* combo = Make<TComboBox>("C");
  combo->Items()->SetCommaText("Alpha,Beta,Gamma");
  combo->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  combo->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  combo->SetItemIndex(0);
  combo->SetText("typed");
  EXPECT_TRUE(rec.Log.empty());
  combo->SetFocus();
  SendText("x");
  EXPECT_EQ(rec.Log, (Log{"C.Change"}));
  rec.Clear();
  combo->SelectItem(2);
  EXPECT_EQ(rec.Log, (Log{"C.Click", "C.Change"}));
  EXPECT_EQ(combo->Text(), "Gamma");
  combo->SetStyle(csDropDownList);
  rec.Clear();
  SendText("a");  // the next item starting with the letter
  EXPECT_EQ(combo->ItemIndex(), 0);
  SendKey(VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(rec.Log, (Log{"C.Click", "C.Change", "C.Click", "C.Change"}));
}

TEST_F(StdCtrlsTest, ComboSelectionFollowsItsItem) {
  auto* combo = Make<TComboBox>("C");
  combo->Items()->SetCommaText("a,b,c");
  combo->SetItemIndex(2);
  combo->Items()->Insert(0, "first");
  EXPECT_EQ(combo->ItemIndex(), 3);
  combo->Items()->Delete(0);
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->Items()->Delete(2);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(1);
  combo->Items()->SetCommaText("x,y");
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(StdCtrlsTest, ListBoxSelectionSingleAndMulti) {
  auto* list = Make<TListBox>("L");
  list->Items()->SetCommaText("a,b,c,d");
  list->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  const int h = list->ItemHeight();
  SendMouseClick(list, 5, h * 2 + 1);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->SelCount(), -1);
  EXPECT_EQ(rec.Log, (Log{"L.Click"}));
  list->SetMultiSelect(true);
  SendMouseClick(list, 5, 1);
  SendMouseClick(list, 5, h * 3 + 1, mbLeft, {ssShift});
  EXPECT_EQ(list->SelCount(), 4);
  SendMouseClick(list, 5, h + 1, mbLeft, {ssCtrl});
  EXPECT_EQ(list->SelCount(), 3);
  EXPECT_FALSE(list->Selected(1));
  EXPECT_THROW(list->Selected(9), EListError);
}

// --- Spin edit ---------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, SpinEditKeepsToNumbersAndItsRange) {
  auto* spin = Make<TSpinEdit>("S");
  spin->SetMinValue(0);
  spin->SetMaxValue(23);
  spin->SetValue(30);
  EXPECT_EQ(spin->Text(), "23");
  spin->SetFocus();
  SendText("1a+");
  EXPECT_EQ(spin->Text(), "1+");  // letters are refused
  spin->SetText("12");
  SendKey(VK_UP);
  EXPECT_EQ(spin->Value(), 13);
  spin->SetText("99");
  auto* other = Make<TEdit>("O");
  other->SetFocus();  // leaving brings the value into range
  EXPECT_EQ(spin->Text(), "23");
  spin->SetText("");
  EXPECT_EQ(spin->Value(), 0);
}

// --- Menus -------------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, RadioMenuItemsShortcutsAndAutoCheck) {
  auto* menu = new TPopupMenu(form.get());
  TMenuItem* items[3];
  for (int i = 0; i < 3; ++i) {
    items[i] = new TMenuItem(form.get());
    items[i]->SetCaption("&Item" + std::to_string(i));
    items[i]->SetRadioItem(true);
    items[i]->SetAutoCheck(true);
    items[i]->SetGroupIndex(1);
    menu->Items()->Add(items[i]);
  }
  items[0]->SetChecked(true);
  items[2]->Click();
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_EQ(menu->Items()->Find("Item1"), items[1]);

  auto* main = new TMainMenu(form.get());
  auto* save = new TMenuItem(form.get());
  save->SetName("Save");
  save->SetShortCut(TextToShortCut("Ctrl+S"));
  save->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  main->Items()->Add(save);
  form->SetMenu(main);
  auto* edit = Make<TEdit>("E");
  edit->SetFocus();
  SendKey('S', {ssCtrl});
  EXPECT_EQ(rec.Log, (Log{"Save.Click"}));
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");
  items[1]->Free();
  EXPECT_EQ(menu->Items()->Count(), 2);
}

}  // namespace
