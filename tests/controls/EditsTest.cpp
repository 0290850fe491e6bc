#include <gtest/gtest.h>

#include "DBClient.h"
#include "ExtCtrls.h"
#include "ExtPage.h"
#include "FormTestKit.h"
#include "QmSpin.h"
#include "QmcEdit.h"
#include "Release.h"

namespace {

using Log = std::vector<std::string>;

// A form that records the lookup requests it receives.
class TRequestForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<TWinControl*> Requests;
  void WndProc(TMessage& message) override {
    if (message.Msg == 1034) {  // WM_OPENWIN
      Requests.push_back(LParamToPointer<TWinControl>(message.LParam));
      return;
    }
    TForm::WndProc(message);
  }
};

class EditsTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TRequestForm>(nullptr));
    form->Show();
    HeadlessTextService()->ClearRuns();
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

  TOwned<TRequestForm> form;
  TRecorder rec;
};

// --- TQmSpinEdit -----------------------------------------------------------------------------

TEST_F(EditsTest, SpinEditRefusesASignAfterTheFirstCharacter) {
  auto* spin = Make<TQmSpinEdit>("seSetDay", form.get());
  spin->SetMinValue(-99);
  spin->SetMaxValue(99);
  spin->SetText("12");
  spin->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  spin->SetFocus();
  struct Case {
    const char* before;
    int caret;
    const char* typed;
    const char* after;
  } cases[] = {
      {"12", 2, "+", "12"}, {"12", 2, "-", "12"},  {"5", 0, "-", "-5"},  // a leading sign stays
      {"-5", 2, "-", "-5"}, {"-5", 2, "3", "-53"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.before) + " + " + c.typed);
    spin->SetText(c.before);
    spin->SetSelStart(c.caret);
    rec.Clear();
    SendText(c.typed);
    EXPECT_EQ(spin->Text(), c.after);
    EXPECT_EQ(rec.Log, Log{"seSetDay.Change"});  // reported once
  }
}

TEST_F(EditsTest, SpinEditReportsNoEmptyText) {
  auto* spin = Make<TQmSpinEdit>("seSetDay", form.get());
  spin->SetText("7");
  spin->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  spin->SetText("");
  spin->SetText("  ");
  EXPECT_TRUE(rec.Log.empty());
  spin->SetText("8");
  EXPECT_EQ(rec.Log, Log{"seSetDay.Change"});
  spin->SetFocus();
  spin->SelectAll();
  rec.Clear();
  SendKey(VK_BACK);
  EXPECT_EQ(spin->Text(), "");
  EXPECT_TRUE(rec.Log.empty());
}

// --- TExtPageControl -------------------------------------------------------------------------

class TTabRecorder : public TObject {
 public:
  std::vector<std::string> Log;
  void DrawTab(TCustomTabControl*, int tabIndex, TRect, bool active) {
    Log.push_back(std::to_string(tabIndex) + (active ? " active" : ""));
  }
};

TEST_F(EditsTest, PageControlDrawsVisibleTabsWithTheirPagesCaptions) {
  auto* pages = Make<TExtPageControl>("pgOption", form.get());
  pages->SetBounds(0, 0, 300, 200);
  const char* captions[] = {"基本选项", "系统选项", "周期选项"};
  std::vector<TTabSheet*> sheets;
  for (const char* caption : captions) {
    auto* sheet = new TTabSheet(form.get());
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
    sheets.push_back(sheet);
  }
  sheets[1]->SetTabVisible(false);
  pages->SetActivePage(sheets[2]);
  EXPECT_TRUE(pages->IsOwnerDrawn());
  EXPECT_NE(pages->WindowParams().Style & TCS_OWNERDRAWFIXED, 0u);

  HeadlessTextService()->ClearRuns();
  TBitmap* s = pages->PaintControl();
  const auto& runs = HeadlessTextService()->Runs();
  ASSERT_EQ(runs.size(), 2u);
  const TRect inactive = pages->TabRect(0);
  const TRect active = pages->TabRect(1);
  EXPECT_EQ(runs[0].Text, "基本选项");
  EXPECT_FALSE(runs[0].FontStyle.Contains(fsBold));
  EXPECT_EQ(runs[0].FontColor, clInactiveCaptionText);
  EXPECT_EQ(runs[1].Text, "周期选项");  // the third page on the second visible tab
  EXPECT_TRUE(runs[1].FontStyle.Contains(fsBold));
  EXPECT_EQ(runs[1].FontColor, clCaptionText);
  EXPECT_GE(runs[1].Rect.Left, active.Left);
  EXPECT_LE(runs[1].Rect.Right, active.Right);
  // Fills: the active tab shrunk by two pixels, the inactive one whole.
  EXPECT_EQ(s->Pixel(active.Left + 2, active.Top + 2), ColorToRGB(clActiveCaption));
  EXPECT_NE(s->Pixel(active.Left + 1, active.Top + 1), ColorToRGB(clActiveCaption));
  EXPECT_EQ(s->Pixel(inactive.Left, inactive.Top), ColorToRGB(clInactiveCaption));

  TTabRecorder tabs;
  pages->SetOnDrawTab(MethodOf<&TTabRecorder::DrawTab>(&tabs));
  HeadlessTextService()->ClearRuns();
  pages->PaintControl();
  EXPECT_EQ(tabs.Log, (Log{"0", "1 active"}));
  EXPECT_TRUE(HeadlessTextService()->Runs().empty());
}

#if KXBR_RELEASE >= 90

// --- Labelled edits --------------------------------------------------------------------------

TEST_F(EditsTest, TheLabelSitsOnItsSideOfTheEdit) {
  auto* edit = Make<TQmEdit>("edNote", form.get());
  TLabel* label = edit->EditLabel();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Name(), "EditLabel");
  EXPECT_EQ(label->Owner(), edit);
  EXPECT_EQ(label->FocusControl(), edit);
  EXPECT_EQ(label->Parent(), form.get());
  EXPECT_EQ(edit->Caption(), "");
  EXPECT_EQ(edit->LabelPosition(), lpLeft);
  EXPECT_EQ(edit->LabelSpacing(), 4);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 40, 13);
  edit->SetBounds(100, 8, 120, 21);
  struct Case {
    TLabelPosition position;
    TPoint expected;
  } cases[] = {
      {lpLeft, {56, 12}}, {lpRight, {224, 12}}, {lpAbove, {100, -9}}, {lpBelow, {100, 33}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    edit->SetLabelPosition(c.position);
    EXPECT_EQ(label->BoundsRect(), Bounds(c.expected.X, c.expected.Y, 40, 13));
  }
  edit->SetLabelSpacing(-3);
  EXPECT_EQ(edit->LabelSpacing(), 4);
  edit->SetLabelSpacing(0);
  edit->SetLeft(10);  // the label follows the edit's bounds
  EXPECT_EQ(label->BoundsRect(), Bounds(10, 29, 40, 13));
}

TEST_F(EditsTest, TheLabelFollowsParentEnabledAndVisible) {
  auto* panel = Make<TPanel>("pnl", form.get());
  auto* edit = Make<TQmEdit>("edNote", panel);
  edit->SetCaption("页脚一");
  TLabel* label = edit->EditLabel();
  EXPECT_EQ(label->Caption(), "页脚一");
  EXPECT_EQ(label->Parent(), panel);
  EXPECT_EQ(label->Left() + label->Width() + 4, edit->Left());  // placed after the caption
  edit->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  edit->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  edit->SetVisible(true);
  EXPECT_TRUE(label->Visible());
  edit->SetParent(form.get());
  EXPECT_EQ(label->Parent(), form.get());
  label->Free();
  EXPECT_EQ(edit->EditLabel(), nullptr);
  EXPECT_EQ(edit->Caption(), "");
  edit->SetCaption("ignored");
  edit->SetBounds(1, 2, 3, 4);
}

TEST_F(EditsTest, TheButtonEditPlacesItsLookupButtonAndAsksForTheLookup) {
  auto* other = Make<TEdit>("edOther", form.get());
  auto* edit = Make<TQmBtnDBEdit>("edNoteID", form.get());
  edit->SetBounds(100, 8, 120, 21);
  TGSpeedButton* button = edit->Button();
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Name(), "F2Button");
  EXPECT_TRUE(button->Flat());
  EXPECT_EQ(edit->GlyphIndex(), 8);
  EXPECT_EQ(button->Parent(), form.get());
  EXPECT_EQ(button->BoundsRect(), Bounds(222, 8, 21, 21));
  edit->SetButtonSpacing(5);
  EXPECT_EQ(button->Left(), 225);
  edit->SetGlyphIndex(81);
  EXPECT_EQ(button->GlyphIndex(), 81);
  edit->SetButtonHint("页脚信息查询");
  EXPECT_EQ(button->Hint(), "页脚信息查询");

  other->SetFocus();
  SendMouseClick(button);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(form->Requests, std::vector<TWinControl*>{edit});

  edit->SetOnDialog(MethodOf<&TRecorder::Click>(&rec));
  other->SetFocus();
  SendMouseClick(button);
  EXPECT_EQ(rec.Log, Log{"edNoteID.Click"});
  EXPECT_EQ(form->Requests.size(), 1u);
  EXPECT_TRUE(other->Focused());

  edit->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(edit->EditLabel()->Enabled());
  edit->SetVisible(false);
  EXPECT_FALSE(button->Visible());
}

TEST_F(EditsTest, InADesignerTheDataFieldGivesTheCaption) {
  auto provider = std::make_shared<TArrayProvider>();
  provider->SetRecords("pvdNotes", {"NOTE_ID"}, {{Variant("N1")}});
  auto* ds = new TClientDataSet(form.get());
  ds->SetProviderName("pvdNotes");
  ds->SetProvider(provider);
  auto* source = new TDataSource(form.get());
  source->SetDataSet(ds);
  ds->Open();
  ds->FieldByName("NOTE_ID")->SetDisplayLabel("编号");
  auto* running = Make<TQmDBEdit>("edRunning", form.get());
  running->SetDataSource(source);
  running->SetDataField("NOTE_ID");
  EXPECT_EQ(running->Caption(), "");
  auto* designed = Make<TQmDBEdit>("edDesigned", form.get());
  designed->SetDesigning(true);
  designed->SetDataSource(source);
  designed->SetDataField("NOTE_ID");
  EXPECT_EQ(designed->DataField(), "NOTE_ID");
  EXPECT_EQ(designed->Caption(), "编号");
}

#endif  // KXBR_RELEASE >= 90

TEST_F(EditsTest, ControlsAreRegisteredForFormResources) {
  std::vector<const char*> names = {"TQmSpinEdit", "TExtPageControl"};
  if constexpr (kRelease90) names.insert(names.end(), {"TQmEdit", "TQmDBEdit", "TQmBtnDBEdit"});
  for (const char* name : names) {
    SCOPED_TRACE(name);
    EXPECT_NE(GetClass(name), nullptr);
  }
  if constexpr (!kRelease90) {
    for (const char* name : {"TQmEdit", "TQmDBEdit", "TQmBtnDBEdit"})
      EXPECT_EQ(GetClass(name), nullptr);
  }
}

}  // namespace
