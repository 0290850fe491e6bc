#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "FormTestKit.h"
#include "QmRadioGroup.h"
#include "Reader.h"

namespace {

class RadioTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
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
  TQmRadioGroup* MakeGroup(std::initializer_list<const char*> items) {
    auto* group = Make<TQmRadioGroup>("grp", form.get());
    for (const char* item : items) group->Items()->Add(item);
    group->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
    return group;
  }

  TOwned<TForm> form;
  TRecorder rec;
};

using Log = std::vector<std::string>;

// --- TQmRadioButton --------------------------------------------------------------------------

TEST_F(RadioTest, CheckingOneButtonUnchecksItsQmSiblingsOnly) {
  auto* a = Make<TQmRadioButton>("rdoRealTime", form.get());
  auto* b = Make<TQmRadioButton>("rdoQueue", form.get());
  auto* plain = Make<TRadioButton>("rdoPlain", form.get());
  auto* panel = Make<TPanel>("pnl", form.get());
  auto* elsewhere = Make<TQmRadioButton>("rdoElsewhere", panel);
  EXPECT_EQ(a->Width(), 113);
  EXPECT_EQ(a->Height(), 17);
  EXPECT_FALSE(a->TabStop());
  for (TQmRadioButton* r : {a, b, elsewhere}) r->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  plain->SetChecked(true);
  elsewhere->SetChecked(true);
  a->SetChecked(true);
  EXPECT_TRUE(a->TabStop());
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(a->TabStop());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(plain->Checked());
  EXPECT_TRUE(elsewhere->Checked());
  EXPECT_EQ(rec.Log, (Log{"rdoElsewhere.Click", "rdoRealTime.Click", "rdoQueue.Click"}));
}

TEST_F(RadioTest, TheUsersClickChecksTheButton) {
  auto* a = Make<TQmRadioButton>("rdoA", form.get());
  auto* b = Make<TQmRadioButton>("rdoB", form.get());
  a->SetChecked(true);
  b->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  b->SetOnDblClick(MethodOf<&TRecorder::Change>(&rec));
  SendMouseClick(b);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  b->Perform(CN_COMMAND, WPARAM{BN_DOUBLECLICKED} << 16);
  EXPECT_EQ(rec.Log, (Log{"rdoB.Click", "rdoB.Change"}));
  b->SetCaption("&Queue");
  a->SetFocus();
  SendKey('Q', {ssAlt});
  EXPECT_TRUE(b->Focused());
}

TEST_F(RadioTest, TheCaptionIsPaintedFromAnOffsetByFontSize) {
  const std::pair<int, int> offsets[] = {{1, 17},  {8, 17},  {9, 19},  {15, 19}, {16, 20}, {17, 20},
                                         {18, 21}, {23, 21}, {24, 23}, {29, 23}, {30, 25}, {35, 25},
                                         {36, 27}, {41, 27}, {42, 29}, {43, 29}, {44, 31}, {60, 31},
                                         {61, 39}, {80, 39}, {81, 44}, {0, 44},  {-5, 44}};
  for (const auto& [points, offset] : offsets) {
    SCOPED_TRACE(points);
    EXPECT_EQ(TQmRadioButton::CaptionOffset(points), offset);
  }
  auto* r = Make<TQmRadioButton>("rdo", form.get());
  r->SetCaption("放入工作队列");
  r->SetColor(clYellow);
  r->Font()->SetSize(9);
  HeadlessTextService()->ClearRuns();
  TBitmap* s = r->PaintControl();
  const auto& runs = HeadlessTextService()->Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].Text, "放入工作队列");
  EXPECT_EQ(runs[0].Rect.Left, 19);
  EXPECT_EQ(runs[0].FontHeight, r->Font()->Height());
  // The caption area from four pixels before the caption is filled with Color.
  EXPECT_EQ(s->Pixel(15, 0), clYellow);
  EXPECT_EQ(s->Pixel(112, 16), clYellow);
}

// --- TQmRadioGroup ---------------------------------------------------------------------------

TEST_F(RadioTest, ButtonsAreArrangedInColumnsAndRows) {
  auto* group = MakeGroup({"a", "b", "c", "d", "e"});
  group->SetColumns(2);
  ASSERT_EQ(group->ButtonCount(), 5);
  // 185 x 105, text height 11: 3 rows; width (185 - 10) div 2 = 87; area 105 - 11 - 5 = 89,
  // row height 29, top margin (89 mod 3) div 2 + 12 = 13.
  const TRect expected[] = {Bounds(8, 13, 87, 29), Bounds(8, 42, 87, 29), Bounds(8, 71, 87, 29),
                            Bounds(95, 13, 87, 29), Bounds(95, 42, 87, 29)};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(group->Buttons(i)->BoundsRect(), expected[i]);
    EXPECT_TRUE(group->Buttons(i)->Visible());
    EXPECT_EQ(group->Buttons(i)->Caption(), std::string(1, static_cast<char>('a' + i)));
  }
  group->SetColumns(20);
  EXPECT_EQ(group->Columns(), 16);
  group->SetColumns(0);
  EXPECT_EQ(group->Columns(), 1);
  group->SetBounds(0, 0, 110, 200);  // a resize arranges again: one column of five rows
  // Area 184: row height 36, top margin (184 mod 5) div 2 + 12 = 14.
  EXPECT_EQ(group->Buttons(4)->BoundsRect(), Bounds(8, 4 * 36 + 14, 100, 36));
  group->SetBiDiMode(bdRightToLeft);
  group->ArrangeButtons();
  EXPECT_EQ(group->Buttons(0)->Left(), group->ClientWidth() - 8 - 100);
}

TEST_F(RadioTest, ItemIndexIsKeptWithinTheButtons) {
  auto* group = MakeGroup({"a", "b", "c"});
  EXPECT_EQ(group->ItemIndex(), -1);
  group->SetItemIndex(10);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_TRUE(group->Buttons(2)->Checked());
  EXPECT_EQ(rec.Log, Log{"grp.Click"});  // the checked button reports to the group
  group->SetItemIndex(0);
  EXPECT_FALSE(group->Buttons(2)->Checked());
  group->SetItemIndex(-7);
  EXPECT_EQ(group->ItemIndex(), -1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(group->Buttons(i)->Checked());
  // Fewer lines lower the index to the last one.
  group->SetItemIndex(2);
  group->Items()->Delete(2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_TRUE(group->Buttons(1)->Checked());
}

TEST_F(RadioTest, ClickingAButtonSelectsItsLine) {
  auto* group = MakeGroup({"公历", "民国年"});
  SendMouseClick(group->Buttons(1));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(rec.Log, Log{"grp.Click"});
  group->SetEnabled(false);
  EXPECT_FALSE(group->Buttons(0)->Enabled());
  group->SetEnabled(true);
  EXPECT_TRUE(group->Buttons(1)->Enabled());
}

// A group whose value may not change (a read-only view of a setting).
class TLockedGroup : public TQmRadioGroup {
 public:
  using TQmRadioGroup::TQmRadioGroup;
  bool CanModify() const override { return false; }
};

TEST_F(RadioTest, GroupButtonsHandToTheGroupAndKeepItsFailuresInside) {
  auto* group = MakeGroup({"a", "b"});
  rec.Hooks["grp.Click"] = [] { throw Exception("handler failed"); };
  const WPARAM clicked = WPARAM{BN_CLICKED} << 16;
  EXPECT_NO_THROW(group->Buttons(1)->Perform(CN_COMMAND, clicked));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(Application()->ShownExceptions(), std::vector<std::string>{"handler failed."});
  rec.Hooks.clear();

  auto* locked = new TLockedGroup(form.get());
  locked->SetName("grpLocked");
  locked->SetParent(form.get());
  locked->Items()->Add("x");
  locked->Items()->Add("y");
  locked->SetItemIndex(0);
  locked->Buttons(1)->Perform(CN_COMMAND, clicked);
  EXPECT_EQ(locked->ItemIndex(), 0);
  EXPECT_FALSE(locked->Buttons(1)->Checked());
  locked->SetOnKeyPress(MethodOf<&TRecorder::KeyPress>(&rec));
  locked->Buttons(0)->SetFocus();
  rec.Clear();
  SendKey(VK_SPACE);
  EXPECT_EQ(rec.Log,
            Log{"grpLocked.KeyPress  "});  // the group hears the key; the button does not act
  EXPECT_EQ(locked->ItemIndex(), 0);
}

TEST_F(RadioTest, AGroupReadFromAFormResourceChecksItsItem) {
  ReadComponentResText(R"(object F: TForm
  object grpType: TQmRadioGroup
    Left = 4
    Top = 4
    Width = 200
    Height = 60
    Caption = 'type'
    Columns = 2
    ItemIndex = 1
    Items.Strings = (
      'one'
      'two')
  end
end
)",
                       form.get(), "Radio.txt");
  auto* group = dynamic_cast<TQmRadioGroup*>(form->FindComponent("grpType"));
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  EXPECT_EQ(group->Buttons(1)->Left(), 8 + (200 - 10) / 2);
}

}  // namespace
