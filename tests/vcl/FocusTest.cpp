#include <gtest/gtest.h>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormTestKit.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

// Form F holds group G and button Btn; G holds panel P and edit E3; P holds E1 and E2.
class FocusTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    form->SetName("F");
    G = Make<TGroupBox>("G", form.get());
    P = Make<TPanel>("P", G);
    E1 = Make<TEdit>("E1", P);
    E2 = Make<TEdit>("E2", P);
    E3 = Make<TEdit>("E3", G);
    Btn = Make<TButton>("Btn", form.get());
    rec.Watch({G, P, E1, E2, E3, Btn});
    form->Show();
  }

  template <class T>
  T* Make(const std::string& name, TWinControl* parent) {
    T* c = new T(form.get());
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }

  TWinControl* ByName(const std::string& name) {
    return dynamic_cast<TWinControl*>(form->FindComponent(name));
  }

  TOwned<TForm> form;
  TGroupBox* G = nullptr;
  TPanel* P = nullptr;
  TEdit* E1 = nullptr;
  TEdit* E2 = nullptr;
  TEdit* E3 = nullptr;
  TButton* Btn = nullptr;
  TRecorder rec;
};

TEST_F(FocusTest, ShowingTheFormFocusesTheFirstTabStopThroughItsContainers) {
  EXPECT_EQ(form->ActiveControl(), E1);
  EXPECT_TRUE(E1->Focused());
  EXPECT_EQ(FocusedControl(), E1);
  EXPECT_EQ(rec.Log, (Log{"G.Enter", "P.Enter", "E1.Enter"}));
}

struct MoveCase {
  const char* Name;
  const char* From;
  const char* To;
  const char* HookOn;    // recorded line that triggers the hook, or nullptr
  const char* HookMove;  // control the hook focuses, or "dialog" / "modal" for a modal window
  Log Expected;
  const char* ActiveAfter;
};

// The worked example of the platform: exits up to the common ancestor inner first, enters
// down outer first, and a handler that moves the focus ends the sequence.
const MoveCase kMoves[] = {
    {"Siblings", "E1", "E2", nullptr, nullptr, {"E1.Exit", "E2.Enter"}, "E2"},
    {"OutOfThePanel", "E1", "E3", nullptr, nullptr, {"E1.Exit", "P.Exit", "E3.Enter"}, "E3"},
    {"OutOfTheGroup",
     "E1",
     "Btn",
     nullptr,
     nullptr,
     {"E1.Exit", "P.Exit", "G.Exit", "Btn.Enter"},
     "Btn"},
    {"IntoNestedContainers",
     "Btn",
     "E2",
     nullptr,
     nullptr,
     {"Btn.Exit", "G.Enter", "P.Enter", "E2.Enter"},
     "E2"},
    {"ExitHandlerTakesTheFocusBack", "E1", "Btn", "E1.Exit", "E1", {"E1.Exit", "E1.Enter"}, "E1"},
    {"GroupExitHandlerTakesTheFocusBack",
     "E1",
     "Btn",
     "G.Exit",
     "E1",
     {"E1.Exit", "P.Exit", "G.Exit", "G.Enter", "P.Enter", "E1.Enter"},
     "E1"},
    {"ExitHandlerMovesTheFocusElsewhere",
     "E1",
     "Btn",
     "E1.Exit",
     "E3",
     {"E1.Exit", "P.Exit", "E3.Enter"},
     "E3"},
    {"ExitHandlerShowsAMessageDialog",
     "E1",
     "Btn",
     "E1.Exit",
     "dialog",
     {"E1.Exit", "P.Exit", "G.Exit", "Btn.Enter"},
     "Btn"},
    {"ExitHandlerShowsAModalForm",
     "E1",
     "Btn",
     "E1.Exit",
     "modal",
     {"E1.Exit", "P.Exit", "G.Exit", "Btn.Enter"},
     "Btn"},
};

TEST_F(FocusTest, EnterAndExitOrder) {
  for (const MoveCase& c : kMoves) {
    SCOPED_TRACE(c.Name);
    rec.Hooks.clear();
    ByName(c.From)->SetFocus();
    rec.Clear();
    if (c.HookOn) {
      const std::string move = c.HookMove;
      rec.Hooks[c.HookOn] = [this, move] {
        rec.Hooks.clear();
        if (move == "dialog") {
          MessageDlg("Check", mtWarning, {mbOK});
        } else if (move == "modal") {
          TOwned<TForm> dialog(CreateForm<TForm>(nullptr));
          auto* edit = new TEdit(dialog.get());
          edit->SetParent(dialog.get());
          HeadlessModalRunner()->Enqueue([edit](TCustomForm* f) {
            EXPECT_TRUE(edit->Focused());
            f->SetModalResult(mrOk);
          });
          EXPECT_EQ(dialog->ShowModal(), mrOk);
        } else {
          ByName(move)->SetFocus();
        }
      };
    }
    ByName(c.To)->SetFocus();
    EXPECT_EQ(rec.Log, c.Expected);
    EXPECT_EQ(form->ActiveControl(), ByName(c.ActiveAfter));
    EXPECT_EQ(FocusedControl(), ByName(c.ActiveAfter));
  }
}

TEST_F(FocusTest, ActiveControlIsAlreadyTheTargetDuringExit) {
  TWinControl* seen = nullptr;
  rec.Hooks["E1.Exit"] = [&] { seen = form->ActiveControl(); };
  E3->SetFocus();
  EXPECT_EQ(seen, E3);
}

TEST_F(FocusTest, ControlsThatCannotTakeTheFocusRaiseAndChangeNothing) {
  E2->SetEnabled(false);
  EXPECT_THROW(E2->SetFocus(), EInvalidOperation);
  E3->SetVisible(false);
  EXPECT_THROW(E3->SetFocus(), EInvalidOperation);
  P->SetVisible(false);  // hides E1, which had the focus: it exits
  EXPECT_FALSE(E1->CanFocus());
  EXPECT_EQ(form->ActiveControl(), nullptr);
  TEdit loose(nullptr);
  EXPECT_THROW(loose.SetFocus(), EInvalidOperation);
}

TEST_F(FocusTest, FreeingTheFocusedControlMovesTheFocusToTheForm) {
  rec.Clear();
  E1->Free();
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(FocusedControl(), form.get());
  // The freed control gets no exit; its containers do.
  EXPECT_EQ(rec.Log, (Log{"P.Exit", "G.Exit"}));
}

TEST_F(FocusTest, TabAndShiftTabFollowTheTabOrderSkippingWhatCannotTakeTheFocus) {
  E2->SetTabStop(false);
  E3->SetTabOrder(0);  // before P inside G
  Log visited;
  for (int i = 0; i < 4; ++i) {
    SendKey(VK_TAB);
    visited.push_back(FocusedControl()->Name());
  }
  EXPECT_EQ(visited, (Log{"Btn", "E3", "E1", "Btn"}));
  SendKey(VK_TAB, {ssShift});
  EXPECT_EQ(FocusedControl(), E1);
  SendKey(VK_TAB, {ssShift});
  EXPECT_EQ(FocusedControl(), E3);
}

TEST_F(FocusTest, ArrowKeysStayWithTheEditThatWantsThem) {
  E1->SetText("ab");
  SendKey(VK_RIGHT);
  EXPECT_EQ(FocusedControl(), E1);
  Btn->SetFocus();
  SendKey(VK_DOWN);  // a button does not want arrows: the next control of its parent
  EXPECT_EQ(FocusedControl(), G);
}

// --- Keys ------------------------------------------------------------------------------------

class KeyTest : public FocusTest {
 protected:
  void SetUp() override {
    FocusTest::SetUp();
    form->SetOnKeyDown(MethodOf<&TRecorder::KeyDown>(&rec));
    form->SetOnKeyPress(MethodOf<&TRecorder::KeyPress>(&rec));
    E1->SetOnKeyDown(MethodOf<&TRecorder::KeyDown>(&rec));
    E1->SetOnKeyPress(MethodOf<&TRecorder::KeyPress>(&rec));
    rec.Clear();
  }
};

TEST_F(KeyTest, KeyPreviewGivesTheFormTheKeyFirst) {
  form->SetKeyPreview(true);
  SendText("a");
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 65", "E1.KeyDown 65", "F.KeyPress a", "E1.KeyPress a"}));
  EXPECT_EQ(E1->Text(), "a");
  rec.Clear();
  form->SetKeyPreview(false);
  SendText("b");
  EXPECT_EQ(rec.Log, (Log{"E1.KeyDown 66", "E1.KeyPress b"}));
  EXPECT_EQ(E1->Text(), "ab");
}

TEST_F(KeyTest, ASwallowedKeyDownStillProducesItsCharacter) {
  form->SetKeyPreview(true);
  rec.Swallow["F.KeyDown"] = true;
  SendText("x");
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 88", "F.KeyPress x", "E1.KeyPress x"}));
  EXPECT_EQ(E1->Text(), "x");
}

TEST_F(KeyTest, ASwallowedCharacterNeverReachesTheEdit) {
  form->SetKeyPreview(true);
  rec.Swallow["F.KeyPress"] = true;
  SendText("x");
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 88", "E1.KeyDown 88", "F.KeyPress x"}));
  EXPECT_EQ(E1->Text(), "");
}

TEST_F(KeyTest, DialogKeysTakenByButtonsFireNoKeyEvents) {
  form->SetKeyPreview(true);
  Btn->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  // Without a default button, Enter reaches the key events.
  SendKey(VK_RETURN);
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 13", "E1.KeyDown 13", "F.KeyPress 13", "E1.KeyPress 13"}));
  rec.Clear();
  Btn->SetDefault(true);
  SendKey(VK_RETURN);
  EXPECT_EQ(rec.Log, (Log{"Btn.Click"}));
  rec.Clear();
  SendKey(VK_ESCAPE);  // no cancel button: the form sees Esc
  EXPECT_EQ(rec.Log, (Log{"F.KeyDown 27", "E1.KeyDown 27", "F.KeyPress 27", "E1.KeyPress 27"}));
  rec.Clear();
  Btn->SetDefault(false);
  Btn->SetCancel(true);
  SendKey(VK_ESCAPE);
  EXPECT_EQ(rec.Log, (Log{"Btn.Click"}));
  rec.Clear();
  SendKey(VK_TAB);  // Tab moves the focus and fires no key event
  EXPECT_EQ(rec.Log, (Log{"E1.Exit", "E2.Enter"}));
}

TEST_F(KeyTest, AFocusedButtonTakesEnterItselfNotTheDefaultOne) {
  auto* other = Make<TButton>("Other", form.get());
  other->SetDefault(true);
  other->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  Btn->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  Btn->SetFocus();
  EXPECT_TRUE(Btn->IsActive());
  EXPECT_FALSE(other->IsActive());
  rec.Clear();
  SendKey(VK_RETURN);
  EXPECT_EQ(rec.Log, (Log{"Btn.Click"}));
  E1->SetFocus();
  EXPECT_TRUE(other->IsActive());
}

TEST_F(KeyTest, FunctionAndControlKeysReachTheFormWithTheirShiftState) {
  form->SetKeyPreview(true);
  SendKey(VK_F2);
  SendKey(VK_TAB, {ssCtrl});  // no page control holds the focus
  EXPECT_EQ(rec.Log,
            (Log{"F.KeyDown 113", "E1.KeyDown 113", "F.KeyDown 9+Ctrl", "E1.KeyDown 9+Ctrl"}));
}

TEST_F(KeyTest, AcceleratorsFocusLabelledControlsAndClickButtons) {
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetCaption("&Name");
  label->SetFocusControl(E3);
  Btn->SetCaption("&Save");
  Btn->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  SendKey('N', {ssAlt});
  EXPECT_EQ(FocusedControl(), E3);
  rec.Clear();
  SendKey('S', {ssAlt});
  EXPECT_EQ(rec.Log, (Log{"Btn.Click"}));
}

}  // namespace
