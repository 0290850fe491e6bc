#include <gtest/gtest.h>

#include <memory>

#include "DBClient.h"
#include "DBCtrls.h"
#include "DBLabel.h"
#include "DynLib.h"
#include "ExtCtrls.h"
#include "F2Button.h"
#include "FormTestKit.h"
#include "PelvorImport.h"
#include "TempFolder.h"

namespace {

// A form that records the lookup requests it receives.
class TLookupForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<TWinControl*> Requests;
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_OPENWIN) {
      EXPECT_EQ(message.WParam, 0u);
      Requests.push_back(LParamToPointer<TWinControl>(message.LParam));
      return;
    }
    TForm::WndProc(message);
  }
};

class LookupButtonTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TLookupForm>(nullptr));
    form->Show();
    edit = Make<TEdit>("edNo", form.get());
    edit->SetBounds(10, 8, 100, 21);
  }
  void TearDown() override {
    form.reset();
    VclTest::TearDown();
  }
  template <class T>
  T* Make(const std::string& name, TWinControl* parent) {
    T* c = new T(form.get());
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  const std::vector<TDialogRecord>& Dialogs() { return HeadlessDialogService()->Shown(); }

  TOwned<TLookupForm> form;
  TEdit* edit = nullptr;
  TRecorder rec;
};

// --- TGSpeedButton ---------------------------------------------------------------------------

TEST_F(LookupButtonTest, GlyphNumbersLoadImagesOrShowTheNumber) {
  auto* button = Make<TGSpeedButton>("btn", form.get());
  struct Case {
    int number;
    bool numberShown;
    int width;  // 0: no image
    int images;
  } cases[] = {
      {8, false, 16, 1},  // the lookup glass
      {4, false, 32, 2},  // clear: enabled and disabled image
      {0, true, 0, 0},    {GetMaxBmpID() + 1, true, 0, 0},
      {5, true, 0, 0},  // a number the library does not hold
      {47, false, 16, 1}, {-3, true, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    button->SetGlyphIndex(c.number);
    EXPECT_EQ(button->GlyphIndex(), c.number);
    EXPECT_EQ(button->Caption(), c.numberShown ? std::to_string(c.number) : "");
    EXPECT_EQ(button->Glyph()->Width(), c.width);
    if (c.width > 0) {
      EXPECT_EQ(button->Glyph()->Height(), 16);
      EXPECT_EQ(button->NumGlyphs(), c.images);
      EXPECT_EQ(button->Glyph()->TransparentColor(), RGB(255, 0, 255));
    }
  }
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(LookupButtonTest, TheSameNumberAgainChangesNothing) {
  auto* button = Make<TGSpeedButton>("btn", form.get());
  button->SetGlyphIndex(8);
  button->SetCaption("kept");
  button->SetGlyphIndex(8);
  EXPECT_EQ(button->Caption(), "kept");
}

TEST_F(LookupButtonTest, AMissingGlyphLibraryIsReportedAndTheNumberShown) {
  TempFolder empty;
  ReleaseGlyphLibrary();
  SetModuleSearchFolder(empty.Path());
  auto* button = Make<TGSpeedButton>("btn", form.get());
  button->SetGlyphIndex(9);
  EXPECT_THROW(GetMaxBmpID(), EGlyphLibraryError);
  SetModuleSearchFolder("");
  ReleaseGlyphLibrary();
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].Text, "读取 BMP 发生错误");
  EXPECT_EQ(Dialogs()[0].Type, mtError);
  EXPECT_EQ(Dialogs()[0].Buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(button->Caption(), "9");
  EXPECT_TRUE(button->Glyph()->Empty());
  button->SetGlyphIndex(8);  // the library is found again
  EXPECT_EQ(button->Caption(), "");
}

// --- TF2Button -------------------------------------------------------------------------------

TEST_F(LookupButtonTest, F2ButtonIsAFlatLookupGlassPlacedBesideItsControl) {
  auto* button = Make<TF2Button>("btnNo", form.get());
  EXPECT_TRUE(button->Flat());
  EXPECT_EQ(button->GlyphIndex(), 8);
  EXPECT_EQ(button->Caption(), "");
  button->SetF2Control(edit);
  EXPECT_EQ(button->BoundsRect(), Bounds(112, 8, 21, 21));
  button->SetGap(5);
  EXPECT_EQ(button->BoundsRect(), Bounds(115, 8, 21, 21));
  // It does not follow later moves of the control; assigning AutoAlign places it again.
  edit->SetBounds(30, 40, 80, 25);
  EXPECT_EQ(button->Left(), 115);
  button->SetAutoAlign(true);
  EXPECT_EQ(button->BoundsRect(), Bounds(115, 40, 25, 25));
  button->SetAutoAlign(false);
  edit->SetTop(60);
  button->SetGap(2);
  EXPECT_EQ(button->Top(), 40);
}

TEST_F(LookupButtonTest, ClickFocusesTheControlAndAsksTheFormForTheLookup) {
  auto* other = Make<TEdit>("edOther", form.get());
  auto* button = Make<TF2Button>("btnNo", form.get());
  button->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  button->SetF2Control(edit);
  other->SetFocus();
  SendMouseClick(button);
  EXPECT_EQ(rec.Log, std::vector<std::string>{"btnNo.Click"});
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(form->Requests, std::vector<TWinControl*>{edit});
}

TEST_F(LookupButtonTest, ClickWithADisabledOrMissingControlOnlyFiresOnClick) {
  auto* other = Make<TEdit>("edOther", form.get());
  auto* bound = Make<TF2Button>("btnBound", form.get());
  auto* loose = Make<TF2Button>("btnLoose", form.get());
  bound->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  loose->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  bound->SetF2Control(edit);
  edit->SetEnabled(false);
  other->SetFocus();
  bound->Click();
  loose->Click();
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"btnBound.Click", "btnLoose.Click"}));
  EXPECT_TRUE(other->Focused());
  EXPECT_TRUE(form->Requests.empty());
}

TEST_F(LookupButtonTest, TwoF2ButtonsOfOneParentCannotServeOneEdit) {
  auto* first = Make<TF2Button>("btnA", form.get());
  auto* second = Make<TF2Button>("btnB", form.get());
  auto* otherEdit = Make<TEdit>("edOther", form.get());
  first->SetF2Control(edit);
  second->SetF2Control(otherEdit);
  second->SetF2Control(edit);
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].Text, "不能同时有两个 F2Button 指到同一个 Edit.");
  EXPECT_EQ(Dialogs()[0].Type, mtError);
  EXPECT_EQ(second->F2Control(), otherEdit);  // the old binding stays
  first->SetF2Control(edit);                  // itself: refused silently
  EXPECT_EQ(Dialogs().size(), 1u);
  second->SetF2Control(nullptr);
  EXPECT_EQ(second->F2Control(), nullptr);
  // On a panel that owns nothing the check sees no clash.
  auto* panel = Make<TPanel>("pnl", form.get());
  auto* onPanel = Make<TF2Button>("btnC", panel);
  onPanel->SetF2Control(edit);
  EXPECT_EQ(onPanel->F2Control(), edit);
  EXPECT_EQ(Dialogs().size(), 1u);
  // A freed control is forgotten.
  edit->Free();
  edit = nullptr;
  EXPECT_EQ(first->F2Control(), nullptr);
  EXPECT_EQ(onPanel->F2Control(), nullptr);
}

// --- TDBLabel --------------------------------------------------------------------------------

TEST_F(LookupButtonTest, DBLabelPlacesItselfOnTheChosenSide) {
  edit->SetBounds(100, 8, 120, 21);
  auto* label = Make<TDBLabel>("lbl", form.get());
  EXPECT_EQ(label->Caption(), "挂靠标签");
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 40, 13);
  label->SetFocusControl(edit);
  struct Case {
    TPos pos;
    int editLeft, editTop, labelHeight;
    TPoint expected;
  } cases[] = {
      {psLeft, 100, 8, 13, {56, 12}},  // 8 + 10 - 6
      {psRight, 100, 8, 13, {224, 12}},
      {psTop, 100, 30, 13, {100, 13}},
      {psTop, 100, 8, 13, {100, 0}},  // never above the parent
      {psBottom, 100, 8, 13, {100, 33}},
      {psLeft, 100, 8, 21, {56, 8}},  // as high as the edit: same top
      {psLeft, 20, 8, 13, {0, 12}},   // never left of the parent
      {psLeft, 100, 2, 30, {56, 0}},  // centred above the parent's top
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(GetEnumName(TypeInfoOfEnum(static_cast<TPos*>(nullptr)), c.pos) + " " +
                 std::to_string(c.editLeft) + "," + std::to_string(c.editTop));
    edit->SetBounds(c.editLeft, c.editTop, 120, 21);
    label->SetHeight(c.labelHeight);
    label->SetPos(c.pos == psLeft ? psRight : psLeft);  // a change of Pos places it
    label->SetPos(c.pos);
    EXPECT_EQ(Point(label->Left(), label->Top()), c.expected);
    EXPECT_EQ(label->Width(), 40);
    EXPECT_EQ(label->Height(), c.labelHeight);
  }
  label->SetGap(10);
  EXPECT_EQ(label->Left(), 100 - 40 - 10);
}

TEST_F(LookupButtonTest, DBLabelTakesTheBoundFieldsDisplayLabel) {
  auto provider = std::make_shared<TArrayProvider>();
  provider->SetRecords("pvdContracts", {"CONTRACT_NO"}, {{Variant("C1")}});
  auto* ds = new TClientDataSet(form.get());
  ds->SetProviderName("pvdContracts");
  ds->SetProvider(provider);
  auto* source = new TDataSource(form.get());
  source->SetDataSet(ds);
  auto* dbEdit = Make<TDBEdit>("edContract", form.get());
  dbEdit->SetDataSource(source);
  dbEdit->SetDataField("CONTRACT_NO");
  ds->Open();
  ds->FieldByName("CONTRACT_NO")->SetDisplayLabel("合同编号");

  auto* bound = Make<TDBLabel>("lblContract", form.get());
  bound->SetFocusControl(dbEdit);
  EXPECT_EQ(bound->Caption(), "合同编号");

  // No DataSource property, no such field, or AutoCaption off: the caption stays.
  auto* plain = Make<TDBLabel>("lblPlain", form.get());
  plain->SetFocusControl(edit);
  EXPECT_EQ(plain->Caption(), "挂靠标签");
  auto* otherEdit = Make<TDBEdit>("edOther", form.get());
  otherEdit->SetDataSource(source);
  otherEdit->SetDataField("MISSING");
  auto* missing = Make<TDBLabel>("lblMissing", form.get());
  missing->SetFocusControl(otherEdit);
  EXPECT_EQ(missing->Caption(), "挂靠标签");
  ds->FieldByName("CONTRACT_NO")->SetDisplayLabel("新标签");
  bound->SetAutoCaption(false);
  EXPECT_EQ(bound->Caption(), "合同编号");
  bound->SetAutoCaption(true);
  EXPECT_EQ(bound->Caption(), "新标签");
}

TEST_F(LookupButtonTest, TwoDBLabelsOfOneParentCannotBindOneControl) {
  auto* first = Make<TDBLabel>("lblA", form.get());
  auto* second = Make<TDBLabel>("lblB", form.get());
  first->SetFocusControl(edit);
  second->SetFocusControl(edit);
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].Text, "不能同时有两个 DBLabel 指到同一个 Control.");
  EXPECT_EQ(second->FocusControl(), nullptr);
  edit->Free();
  edit = nullptr;
  EXPECT_EQ(first->FocusControl(), nullptr);
}

TEST_F(LookupButtonTest, InADesignerButtonAndLabelFollowTheirControl) {
  auto* button = Make<TF2Button>("btnNo", form.get());
  auto* label = Make<TDBLabel>("lblNo", form.get());
  auto* runtimeButton = Make<TF2Button>("btnRun", form.get());
  auto* otherEdit = Make<TEdit>("edOther", form.get());
  auto* thirdEdit = Make<TEdit>("edThird", form.get());
  otherEdit->SetBounds(0, 100, 100, 21);
  thirdEdit->SetBounds(0, 150, 100, 21);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 40, 21);
  button->SetDesigning(true);
  label->SetDesigning(true);
  button->SetF2Control(edit);
  label->SetFocusControl(edit);
  runtimeButton->SetF2Control(otherEdit);
  edit->SetBounds(200, 50, 80, 21);
  EXPECT_EQ(button->BoundsRect(), Bounds(282, 50, 21, 21));
  EXPECT_EQ(label->BoundsRect(), Bounds(156, 50, 40, 21));
  otherEdit->SetLeft(300);  // at run time nothing follows
  EXPECT_EQ(runtimeButton->Left(), 102);
  // A changed binding and a freed label or control end the following.
  button->SetF2Control(thirdEdit);
  edit->SetLeft(220);
  EXPECT_EQ(button->Left(), 102);
  thirdEdit->SetTop(160);
  EXPECT_EQ(button->Top(), 160);
  label->Free();
  edit->SetLeft(240);
  thirdEdit->Free();
  EXPECT_EQ(button->F2Control(), nullptr);
  EXPECT_EQ(button->Top(), 160);
  EXPECT_TRUE(HeadlessDialogService()->Shown().empty());
}

TEST_F(LookupButtonTest, ControlsAreCreatedByNameWithTheirPublishedProperties) {
  for (const char* name : {"TGSpeedButton", "TF2Button", "TDBLabel"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(GetClass(name), nullptr);
  }
  auto* button = Make<TF2Button>("btnX", form.get());
  SetObjectProp(button, "F2Control", edit);
  EXPECT_EQ(button->F2Control(), edit);
  SetOrdProp(button, "Gap", 7);
  SetOrdProp(button, "HintIndex", 3);
  EXPECT_EQ(button->Gap(), 7);
  EXPECT_EQ(button->HintIndex(), 3);
  EXPECT_THROW(SetOrdProp(button, "Gap", 256), EPropertyError);
  auto* label = Make<TDBLabel>("lblX", form.get());
  SetEnumProp(label, "Pos", "psBottom");
  EXPECT_EQ(label->Pos(), psBottom);
}

}  // namespace
