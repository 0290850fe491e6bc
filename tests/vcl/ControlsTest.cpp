#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "FormTestKit.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

// Records what observers are told about a set of components.
struct TObserverLog : IComponentObserver {
  Log Lines;
  TObserverLog() { AddComponentObserver(this); }
  ~TObserverLog() override { RemoveComponentObserver(this); }
  TObserverLog(const TObserverLog&) = delete;
  TObserverLog& operator=(const TObserverLog&) = delete;
  void ComponentChanged(TComponent* c, TObserverEvent e, std::string_view what) override {
    const char* kind = e == oeCreated ? "created" : e == oeDestroying ? "destroying" : "changed";
    Lines.push_back(c->Name() + " " + kind + (what.empty() ? "" : " " + std::string(what)));
  }
  bool Has(const std::string& line) const {
    return std::find(Lines.begin(), Lines.end(), line) != Lines.end();
  }
};

class ControlsTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    form->SetName("F");
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
  }
  template <class T>
  T* Make(const std::string& name, TWinControl* parent) {
    T* c = new T(form.get());
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  TOwned<TForm> form;
};

TEST_F(ControlsTest, AlignmentPlacesTopBottomLeftRightThenClient) {
  auto* top = Make<TPanel>("Top", form.get());
  top->SetHeight(30);
  top->SetAlign(alTop);
  auto* bottom = Make<TPanel>("Bottom", form.get());
  bottom->SetHeight(40);
  bottom->SetAlign(alBottom);
  auto* left = Make<TPanel>("Left", form.get());
  left->SetWidth(50);
  left->SetAlign(alLeft);
  auto* client = Make<TPanel>("Client", form.get());
  client->SetAlign(alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 260, 400, 300));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 260));
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 400, 260));
  // Resizing the parent realigns; hiding an aligned control gives its room away.
  form->SetBounds(0, 0, 500, 400);
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 500, 360));
  left->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 500, 360));
  // A second top panel placed above the first takes the first place.
  auto* above = Make<TPanel>("Above", form.get());
  above->SetBounds(0, -5, 10, 20);
  above->SetAlign(alTop);
  EXPECT_EQ(above->Top(), 0);
  EXPECT_EQ(top->Top(), 20);
}

TEST_F(ControlsTest, AlignedChildrenStayInsideBordersAndBevels) {
  auto* panel = Make<TPanel>("P", form.get());
  panel->SetBounds(0, 0, 100, 100);
  panel->SetBorderWidth(3);
  auto* inner = Make<TPanel>("Inner", panel);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->BoundsRect(), Rect(4, 4, 96, 96));  // border 3 + outer bevel 1
  auto* group = Make<TGroupBox>("G", form.get());
  auto* edit = Make<TEdit>("E", group);
  edit->SetAlign(alTop);
  EXPECT_GT(edit->Top(), 2);  // below the caption's line
  EXPECT_EQ(edit->Left(), 2);
}

TEST_F(ControlsTest, ParentFontColorAndShowHintFollowUntilSetOwn) {
  auto* panel = Make<TPanel>("P", form.get());
  auto* edit = Make<TEdit>("E", panel);
  form->Font()->SetName("宋体");
  EXPECT_EQ(edit->Font()->Name(), "宋体");
  EXPECT_TRUE(edit->ParentFont());
  edit->Font()->SetSize(12);  // its own font from now on
  EXPECT_FALSE(edit->ParentFont());
  form->Font()->SetName("Tahoma");
  EXPECT_EQ(panel->Font()->Name(), "Tahoma");
  EXPECT_EQ(edit->Font()->Name(), "宋体");
  edit->SetParentFont(true);
  EXPECT_EQ(edit->Font()->Name(), "Tahoma");

  panel->SetParentColor(true);
  form->SetColor(clRed);
  EXPECT_EQ(panel->Color(), clRed);
  EXPECT_EQ(edit->Color(), clWindow);

  form->SetShowHint(true);
  EXPECT_TRUE(edit->ShowHint());
  edit->SetShowHint(false);
  EXPECT_FALSE(edit->ParentShowHint());
  form->SetShowHint(false);
  form->SetShowHint(true);
  EXPECT_FALSE(edit->ShowHint());
}

TEST_F(ControlsTest, ParentingRulesAndTabOrder) {
  auto* panel = Make<TPanel>("P", form.get());
  auto* inner = Make<TPanel>("Inner", panel);
  EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
  EXPECT_THROW(panel->SetParent(inner), EInvalidOperation);
  EXPECT_EQ(panel->Parent(), form.get());
  auto* a = Make<TEdit>("A", form.get());
  auto* b = Make<TEdit>("B", form.get());
  EXPECT_EQ(a->TabOrder(), 1);
  b->SetTabOrder(0);
  EXPECT_EQ(b->TabOrder(), 0);
  EXPECT_EQ(panel->TabOrder(), 1);
  a->SetTabOrder(99);  // beyond the end: last
  EXPECT_EQ(a->TabOrder(), 2);
  a->SetTabOrder(-1);  // rejected
  EXPECT_EQ(a->TabOrder(), 2);
  TEdit loose(nullptr);
  EXPECT_EQ(loose.TabOrder(), -1);
}

TEST_F(ControlsTest, FreeingAParentFreesItsChildrenAndWeakReferencesClear) {
  auto* panel = Make<TPanel>("P", form.get());
  auto* edit = Make<TEdit>("E", panel);
  auto* label = Make<TLabel>("L", form.get());
  label->SetFocusControl(edit);
  auto* menu = new TPopupMenu(form.get());
  edit->SetPopupMenu(menu);
  menu->Free();
  EXPECT_EQ(edit->PopupMenu(), nullptr);
  const int before = form->ComponentCount();
  panel->Free();
  EXPECT_EQ(form->ComponentCount(), before - 2);
  EXPECT_EQ(form->FindComponent("E"), nullptr);
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(ControlsTest, ObserversHearOfCreationChangesAndDestruction) {
  TObserverLog log;
  auto* edit = Make<TEdit>("E", form.get());
  EXPECT_TRUE(log.Has("E created Created"));
  form->Show();
  edit->SetBounds(1, 2, 3, 4);
  edit->SetText("x");
  edit->SetVisible(false);
  edit->SetVisible(true);
  edit->SetEnabled(false);
  edit->SetEnabled(true);
  edit->SetFocus();
  auto* box = Make<TCheckBox>("C", form.get());
  box->SetChecked(true);
  for (const char* line : {"E changed Bounds", "E changed Text", "E changed Visible",
                           "E changed Enabled", "E changed Focus", "C changed Checked"})
    EXPECT_TRUE(log.Has(line)) << line;
  edit->Free();
  EXPECT_TRUE(log.Has("E destroying"));
}

TEST_F(ControlsTest, NothingIsAnnouncedWhileLoading) {
  TObserverLog log;
  auto* edit = new TEdit(form.get());
  edit->BeginLoading();
  edit->SetName("E");
  edit->SetParent(form.get());
  edit->SetText("loaded");
  EXPECT_TRUE(log.Lines.empty());
  edit->EndReading();
  edit->Loaded();
  EXPECT_EQ(log.Lines, (Log{"E created Created"}));
}

TEST_F(ControlsTest, LabelsSizeToTheirCaptionAndRightJustifiedOnesKeepTheirRightEdge) {
  auto* label = Make<TLabel>("L", form.get());
  TCanvas measure;
  measure.Font()->Assign(label->Font());
  label->SetCaption("&Name:");
  EXPECT_EQ(label->Width(), measure.TextWidth("Name:"));
  EXPECT_EQ(label->Height(), measure.TextHeight("Name:"));
  label->SetAlignment(taRightJustify);
  label->SetLeft(100);
  const int right = label->Left() + label->Width();
  label->SetCaption("Longer name:");
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_EQ(label->Width(), measure.TextWidth("Longer name:"));
}

TEST_F(ControlsTest, MouseInputSkipsDisabledAndHiddenControlsAndFiresEvents) {
  TRecorder rec;
  auto* button = Make<TButton>("B", form.get());
  button->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  form->Show();
  SendMouseClick(button);
  button->SetEnabled(false);
  SendMouseClick(button);
  button->SetEnabled(true);
  button->SetVisible(false);
  SendMouseClick(button);
  EXPECT_EQ(rec.Log, (Log{"B.Click"}));
  // A release outside the button is no click.
  button->SetVisible(true);
  SendMouseDown(button, 5, 5);
  SendMouseUp(button, 500, 5);
  EXPECT_EQ(rec.Log.size(), 1u);
}

TEST_F(ControlsTest, RightClickPopsUpTheControlsMenu) {
  auto* edit = Make<TEdit>("E", form.get());
  auto* menu = new TPopupMenu(form.get());
  TRecorder rec;
  menu->SetOnPopup(MethodOf<&TRecorder::Show>(&rec));
  menu->SetName("M");
  edit->SetPopupMenu(menu);
  form->SetBounds(100, 50, 400, 300);
  edit->SetBounds(10, 20, 100, 21);
  form->Show();
  SendMouseClick(edit, 3, 4, mbRight);
  EXPECT_EQ(rec.Log, (Log{"M.Show"}));
  EXPECT_EQ(menu->PopupComponent(), edit);
  EXPECT_EQ(menu->PopupPoint(), Point(100 + 10 + 3, 50 + 20 + 4));
}

TEST_F(ControlsTest, SplitterResizesTheControlBeforeItWithinLimits) {
  auto* left = Make<TPanel>("Left", form.get());
  left->SetWidth(100);
  left->SetAlign(alLeft);
  auto* splitter = Make<TSplitter>("S", form.get());
  splitter->SetLeft(200);
  auto* client = Make<TPanel>("Client", form.get());
  client->SetAlign(alClient);
  EXPECT_EQ(splitter->Left(), 100);
  EXPECT_EQ(splitter->ResizeControl(), left);
  EXPECT_TRUE(splitter->MoveBy(40));
  EXPECT_EQ(left->Width(), 140);
  EXPECT_EQ(splitter->Left(), 140);
  EXPECT_EQ(client->Left(), 143);
  splitter->MoveBy(-1000);
  EXPECT_EQ(left->Width(), splitter->MinSize());
  splitter->MoveBy(1000);
  EXPECT_EQ(left->Width(), 400 - 3 - splitter->MinSize());
}

}  // namespace
