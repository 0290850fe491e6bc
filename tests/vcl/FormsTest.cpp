#include <gtest/gtest.h>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormTestKit.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

class FormTest : public VclTest {
 protected:
  TOwned<TForm> NewForm(const std::string& name) {
    TOwned<TForm> f(CreateForm<TForm>(nullptr));
    f->SetName(name);
    f->SetOnShow(MethodOf<&TRecorder::Show>(&rec));
    f->SetOnHide(MethodOf<&TRecorder::Hide>(&rec));
    f->SetOnActivate(MethodOf<&TRecorder::Activate>(&rec));
    f->SetOnDeactivate(MethodOf<&TRecorder::Deactivate>(&rec));
    f->SetOnCloseQuery(MethodOf<&TRecorder::CloseQuery>(&rec));
    f->SetOnClose(MethodOf<&TRecorder::Close>(&rec));
    return f;
  }
  TRecorder rec;
};

TEST_F(FormTest, ShowActivatesAndHideGivesTheFocusBackToTheFormBefore) {
  TOwned<TForm> main = NewForm("Main");
  auto* edit = new TEdit(main.get());
  edit->SetParent(main.get());
  main->Show();
  EXPECT_TRUE(main->Active());
  EXPECT_TRUE(edit->Focused());
  TOwned<TForm> other = NewForm("Other");
  other->Show();
  EXPECT_FALSE(main->Active());
  EXPECT_EQ(FocusedControl(), other.get());
  other->Hide();
  EXPECT_TRUE(main->Active());
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(rec.Log, (Log{"Main.Show", "Main.Activate", "Other.Show", "Main.Deactivate",
                          "Other.Activate", "Other.Hide", "Other.Deactivate", "Main.Activate"}));
}

TEST_F(FormTest, CloseFollowsTheCloseAction) {
  struct Case {
    const char* Name;
    bool Refuse;
    TCloseAction Action;
    bool VisibleAfter;
    bool FreedAfterMessages;
  };
  const Case cases[] = {
      {"Refused", true, caHide, true, false},
      {"None", false, caNone, true, false},
      {"Hide", false, caHide, false, false},
      {"Free", false, caFree, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TOwned<TForm> f = NewForm("F");
    f->Show();
    rec.Clear();
    rec.Refuse["F.CloseQuery"] = c.Refuse;
    rec.CloseActions["F"] = c.Action;
    f->Close();
    EXPECT_EQ(rec.Log.front(), "F.CloseQuery");
    EXPECT_EQ(f->Visible(), c.VisibleAfter);
    const std::string name = f->Name();
    TForm* raw = f.get();
    if (c.FreedAfterMessages) {
      f.release();  // Release posted the freeing
      int destroyed = 0;
      struct Watch : IComponentObserver {
        TComponent* target;
        int* count;
        void ComponentChanged(TComponent* c, TObserverEvent e, std::string_view) override {
          if (c == target && e == oeDestroying) ++*count;
        }
      } watch;
      watch.target = raw;
      watch.count = &destroyed;
      AddComponentObserver(&watch);
      Application()->ProcessMessages();
      RemoveComponentObserver(&watch);
      EXPECT_EQ(destroyed, 1);
    }
  }
}

TEST_F(FormTest, PostedCloseRequestsAreHandledByTheQueue) {
  TOwned<TForm> f = NewForm("F");
  f->Show();
  rec.Clear();
  PostMessage(f->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(f->Visible());
  Application()->ProcessMessages();
  EXPECT_FALSE(f->Visible());
  EXPECT_EQ(rec.Log, (Log{"F.CloseQuery", "F.Close", "F.Hide", "F.Deactivate"}));
}

// --- Modal forms -------------------------------------------------------------------------------

class ModalTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    dialog = NewForm("Dlg");
    edit = new TEdit(dialog.get());
    edit->SetName("edName");
    edit->SetParent(dialog.get());
    ok = new TButton(dialog.get());
    ok->SetName("btnOk");
    ok->SetParent(dialog.get());
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
  }
  TOwned<TForm> dialog;
  TEdit* edit = nullptr;
  TButton* ok = nullptr;
};

TEST_F(ModalTest, ATestActsInsideTheModalFormAndClosesIt) {
  std::string typedText;
  HeadlessModalRunner()->Enqueue([&](TCustomForm* f) {
    EXPECT_EQ(f, dialog.get());
    EXPECT_TRUE(f->Modal());
    EXPECT_TRUE(edit->Focused());
    SendText("Li");
    SendKey(VK_RETURN);  // the default button closes the form
    typedText = edit->Text();
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(typedText, "Li");
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());
  ASSERT_EQ(HeadlessModalRunner()->Shown().size(), 1u);
  EXPECT_EQ(HeadlessModalRunner()->Shown()[0].Name, "Dlg");
  EXPECT_EQ(HeadlessModalRunner()->Shown()[0].Result, mrOk);
  EXPECT_EQ(HeadlessModalRunner()->Pending(), 0);
}

TEST_F(ModalTest, CloseQueryCanKeepTheModalFormOpen) {
  rec.Refuse["Dlg.CloseQuery"] = true;
  HeadlessModalRunner()->Enqueue([&](TCustomForm*) { SendMouseClick(ok); });
  HeadlessModalRunner()->Enqueue([&](TCustomForm* f) {
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->ModalResult(), mrNone);  // the refused close cleared it
    rec.Refuse["Dlg.CloseQuery"] = false;
    f->SetModalResult(mrYes);
  });
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "Dlg.CloseQuery"), 2);
}

TEST_F(ModalTest, AnExhaustedScriptClosesLikeTheCloseBoxAndForcesARefusingForm) {
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(HeadlessModalRunner()->Shown().back().Forced);
  rec.Refuse["Dlg.CloseQuery"] = true;
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(HeadlessModalRunner()->Shown().back().Forced);
}

TEST_F(ModalTest, AVisibleFormCannotBeShownModally) {
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
  EXPECT_FALSE(dialog->Modal());
}

TEST_F(ModalTest, OnShowCannotEndTheModalLoopBeforeItStarts) {
  dialog->SetOnShow(MethodOf<&TRecorder::Show>(&rec));
  rec.Hooks["Dlg.Show"] = [&] { dialog->SetModalResult(mrOk); };
  HeadlessModalRunner()->Enqueue([](TCustomForm* f) {
    EXPECT_EQ(f->ModalResult(), mrNone);
    f->SetModalResult(mrAbort);
  });
  EXPECT_EQ(dialog->ShowModal(), mrAbort);
}

TEST_F(ModalTest, NestedModalFormsTakeTheNextActions) {
  TOwned<TForm> inner = NewForm("Inner");
  HeadlessModalRunner()->Enqueue([&](TCustomForm*) { EXPECT_EQ(inner->ShowModal(), mrRetry); });
  HeadlessModalRunner()->Enqueue([](TCustomForm* f) {
    EXPECT_EQ(f->Name(), "Inner");
    f->SetModalResult(mrRetry);
  });
  HeadlessModalRunner()->Enqueue([&](TCustomForm* f) {
    EXPECT_EQ(f, dialog.get());
    EXPECT_TRUE(f->Active());
    f->SetModalResult(mrIgnore);
  });
  EXPECT_EQ(dialog->ShowModal(), mrIgnore);
  ASSERT_EQ(HeadlessModalRunner()->Shown().size(), 2u);
  EXPECT_EQ(HeadlessModalRunner()->Shown()[1].Name, "Inner");
}

TEST_F(ModalTest, ACaFreeCloseReleasesTheFormAfterTheLoop) {
  TForm* raw = dialog.release();
  rec.CloseActions["Dlg"] = caFree;
  HeadlessModalRunner()->Enqueue([](TCustomForm* f) { f->SetModalResult(mrOk); });
  EXPECT_EQ(raw->ShowModal(), mrOk);
  EXPECT_EQ(PostedMessageCount(), 1);  // CM_RELEASE
  const int before = Screen()->FormCount();
  Application()->ProcessMessages();
  EXPECT_EQ(Screen()->FormCount(), before - 1);
}

// --- Message dialogs ---------------------------------------------------------------------------

TEST_F(FormTest, MessageDialogsAreRecordedAndAnsweredFromTheScript) {
  HeadlessDialogService()->Answer(mrNo);
  EXPECT_EQ(MessageDlg("Save?", mtConfirmation, mbYesNoCancel), mrNo);
  EXPECT_EQ(MessageDlg("Saved", mtInformation, {mbOK}), mrOk);  // unscripted: default button
  ASSERT_EQ(HeadlessDialogService()->Shown().size(), 2u);
  const TDialogRecord& first = HeadlessDialogService()->Shown()[0];
  EXPECT_EQ(first.Caption, "Confirm");
  EXPECT_EQ(first.Text, "Save?");
  EXPECT_EQ(first.Type, mtConfirmation);
  EXPECT_EQ(first.Buttons, (Log{"Yes", "No", "Cancel"}));
  EXPECT_EQ(first.ButtonCaptions, (Log{"&Yes", "&No", "Cancel"}));
  EXPECT_EQ(first.DefaultButton, "Yes");
  EXPECT_EQ(first.Result, mrNo);
  EXPECT_EQ(HeadlessDialogService()->Shown()[1].Caption, "Information");
}

TEST_F(FormTest, DialogButtonsAreFoundByNameAndRecaptioned) {
  TOwned<TMessageForm> dialog(CreateMessageDialog("Delete?", mtWarning, {mbYes, mbNo}));
  EXPECT_NE(dialog->FindComponent("Image"), nullptr);
  EXPECT_EQ(dialog->MessageText(), "Delete?");
  for (int i = 0; i < dialog->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TButton*>(dialog->Components(i)))
      b->SetCaption(b->Name() == "Yes" ? "是(&Y)" : "否(&N)");
  EXPECT_TRUE(dialog->FindButton(mbYes)->Default());
  EXPECT_TRUE(dialog->FindButton(mbNo)->Cancel());
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  EXPECT_EQ(HeadlessDialogService()->Shown()[0].ButtonCaptions, (Log{"是(&Y)", "否(&N)"}));
  EXPECT_EQ(HeadlessDialogService()->Shown()[0].Caption, "Warning");
}

TEST_F(FormTest, AScriptedAnswerTheDialogDoesNotOfferIsAnError) {
  HeadlessDialogService()->Answer(mrYes);
  EXPECT_THROW(MessageDlg("Only OK", mtError, {mbOK}), EInvalidOperation);
  EXPECT_EQ(HeadlessDialogService()->Shown().size(), 1u);
}

TEST_F(FormTest, MessageBoxesGoThroughTheSameService) {
  HeadlessDialogService()->Answer(mrCancel);
  EXPECT_EQ(Application()->MessageBox("Bad", "Title", MB_OKCANCEL | MB_ICONERROR), IDCANCEL);
  const TDialogRecord& r = HeadlessDialogService()->Shown()[0];
  EXPECT_EQ(r.Caption, "Title");
  EXPECT_EQ(r.Type, mtError);
  EXPECT_EQ(r.Buttons, (Log{"OK", "Cancel"}));
}

}  // namespace
