#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestKit.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

// A form with a page control of three sheets P0..P2 (an edit on each) and an edit outside.
class PageControlTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    form->SetName("F");
    outside = new TEdit(form.get());
    outside->SetName("Outside");
    outside->SetParent(form.get());
    pc = new TPageControl(form.get());
    pc->SetName("PC");
    pc->SetParent(form.get());
    for (int i = 0; i < 3; ++i) {
      auto* sheet = new TTabSheet(form.get());
      sheet->SetName("P" + std::to_string(i));
      sheet->SetCaption("Page " + std::to_string(i));
      sheet->SetPageControl(pc);
      sheet->SetOnShow(MethodOf<&TRecorder::Show>(&rec));
      sheet->SetOnHide(MethodOf<&TRecorder::Hide>(&rec));
      auto* edit = new TEdit(form.get());
      edit->SetName("E" + std::to_string(i));
      edit->SetParent(sheet);
      sheets.push_back(sheet);
      edits.push_back(edit);
    }
    pc->SetOnChanging(MethodOf<&TRecorder::Changing>(&rec));
    pc->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
    form->Show();
    rec.Clear();
  }

  TOwned<TForm> form;
  TEdit* outside = nullptr;
  TPageControl* pc = nullptr;
  std::vector<TTabSheet*> sheets;
  std::vector<TEdit*> edits;
  TRecorder rec;
};

TEST_F(PageControlTest, TheFirstPageIsActiveAndShowsOnlyItself) {
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_TRUE(sheets[0]->Visible());
  EXPECT_FALSE(sheets[1]->Visible());
  EXPECT_TRUE(sheets[0]->Showing());
  EXPECT_FALSE(edits[1]->CanFocus());
  // The pages fill the page control's display area.
  EXPECT_EQ(sheets[0]->Left(), 4);
  EXPECT_GT(sheets[0]->Top(), 4);
  EXPECT_EQ(sheets[0]->Width(), pc->Width() - 8);
}

TEST_F(PageControlTest, ProgrammaticChangesFireNoChangeEventsButShowAndHide) {
  pc->SetActivePage(sheets[2]);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(rec.Log, (Log{"P2.Show", "P0.Hide"}));
  pc->SetActivePageIndex(1);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
  TTabSheet foreign(nullptr);
  pc->SetActivePage(&foreign);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
}

struct NextCase {
  const char* Name;
  bool HideP1;
  int Active;
  bool Forward;
  bool CheckTabVisible;
  int Expected;
  int ExpectedTabIndex;
};

TEST_F(PageControlTest, SelectNextPageWrapsAndSkipsHiddenTabs) {
  const NextCase cases[] = {
      {"WrapsForward", false, 2, true, true, 0, 0},
      {"WrapsBackward", false, 0, false, true, 2, 2},
      {"SkipsAHiddenTab", true, 0, true, true, 2, 1},
      {"TakesAHiddenTabWhenAsked", true, 0, true, false, 1, -1},
  };
  for (const NextCase& c : cases) {
    SCOPED_TRACE(c.Name);
    sheets[1]->SetTabVisible(!c.HideP1);
    pc->SetActivePageIndex(c.Active);
    rec.Clear();
    pc->SelectNextPage(c.Forward, c.CheckTabVisible);
    EXPECT_EQ(pc->ActivePageIndex(), c.Expected);
    EXPECT_EQ(pc->TabIndex(), c.ExpectedTabIndex);
    EXPECT_EQ(rec.Log.front(), "PC.Changing");
    EXPECT_EQ(rec.Log.back(), "PC.Change");
  }
}

TEST_F(PageControlTest, RefusingOnChangingKeepsThePage) {
  rec.Refuse["PC.Changing"] = true;
  pc->SelectNextPage(true);
  pc->ClickTab(2);
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_EQ(rec.Log, (Log{"PC.Changing", "PC.Changing"}));
}

TEST_F(PageControlTest, HiddenTabsAreNotCountedInTabIndexes) {
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(pc->TabCount(), 2);
  EXPECT_EQ(sheets[0]->TabIndex(), 0);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(pc->PageOfTab(1), sheets[2]);
  EXPECT_EQ(pc->TabCaption(1), "Page 2");
  // A click on the second tab shows the third page.
  pc->ClickTab(1);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_EQ(rec.Log, (Log{"PC.Changing", "P2.Show", "P0.Hide", "PC.Change"}));
  // A hidden tab's page can still be made active by the program.
  pc->SetActivePage(sheets[1]);
  EXPECT_EQ(pc->TabIndex(), -1);
}

TEST_F(PageControlTest, HidingTheActiveTabActivatesTheTabNowAtItsPlaceWithoutEvents) {
  pc->SetActivePage(sheets[1]);
  rec.Clear();
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_EQ(rec.Log, (Log{"P2.Show", "P1.Hide"}));
  sheets[2]->SetTabVisible(false);  // the last tab: the new last one
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  sheets[0]->SetTabVisible(false);  // no tab left
  EXPECT_EQ(pc->ActivePage(), nullptr);
}

TEST_F(PageControlTest, SwitchingMovesTheFocusOffTheOldPage) {
  edits[0]->SetFocus();
  rec.Watch({edits[0], edits[1], sheets[0], sheets[1]});
  pc->ClickTab(1);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
  EXPECT_EQ(FocusedControl(), edits[1]);
  EXPECT_EQ(rec.Log, (Log{"PC.Changing", "E0.Exit", "P1.Show", "P0.Exit", "P1.Enter", "P0.Hide",
                          "E1.Enter", "PC.Change"}));
}

TEST_F(PageControlTest, AnExitHandlerThatKeepsTheFocusAbandonsTheSwitch) {
  edits[0]->SetFocus();
  rec.Watch({edits[0]});
  rec.Hooks["E0.Exit"] = [&] { edits[0]->SetFocus(); };
  pc->ClickTab(2);
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_EQ(pc->TabIndex(), 0);
  EXPECT_EQ(FocusedControl(), edits[0]);
  EXPECT_EQ(rec.Log, (Log{"PC.Changing", "E0.Exit", "E0.Enter", "PC.Change"}));
}

TEST_F(PageControlTest, CtrlTabPagesOnlyWithTheFocusInsideThePageControl) {
  form->SetKeyPreview(true);
  form->SetOnKeyDown(MethodOf<&TRecorder::KeyDown>(&rec));
  edits[0]->SetFocus();
  rec.Clear();
  SendKey(VK_TAB, {ssCtrl});
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
  SendKey(VK_TAB, {ssCtrl, ssShift});
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "F.KeyDown 9+Ctrl"), 0);
  outside->SetFocus();
  rec.Clear();
  SendKey(VK_TAB, {ssCtrl});
  EXPECT_EQ(pc->ActivePage(), sheets[0]);
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 9+Ctrl"}));
}

TEST_F(PageControlTest, ClickingATabDoesNotMoveTheFocus) {
  outside->SetFocus();
  const TRect tab = pc->TabRect(2);
  SendMouseClick(pc, tab.Left + 2, tab.Top + 2);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_EQ(FocusedControl(), outside);
}

// Records the tabs an owner-drawn page control asks to draw.
class TTabPainter : public TObject {
 public:
  void DrawTab(TCustomTabControl* control, int tabIndex, TRect, bool active) {
    auto* pc = static_cast<TPageControl*>(control);
    Drawn.push_back(std::to_string(tabIndex) + ":" + pc->PageOfTab(tabIndex)->Caption() +
                    (active ? "*" : ""));
  }
  Log Drawn;
};

TEST_F(PageControlTest, OwnerDrawnTabsGetVisibleTabIndexes) {
  TTabPainter painter;
  pc->SetOwnerDraw(true);
  pc->SetOnDrawTab(MethodOf<&TTabPainter::DrawTab>(&painter));
  sheets[1]->SetTabVisible(false);
  pc->SetActivePage(sheets[2]);
  pc->PaintControl();
  EXPECT_EQ(painter.Drawn, (Log{"0:Page 0", "1:Page 2*"}));
}

TEST_F(PageControlTest, FreeingTheActivePageActivatesTheNext) {
  sheets[0]->Free();
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
}

}  // namespace
