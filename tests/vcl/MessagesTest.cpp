#include <gtest/gtest.h>

#include "Forms.h"
#include "Messages.h"
#include "TestClasses.h"

namespace {

TEST(MessagesTest, TheMessageNumbersThePartsUse) {
  EXPECT_EQ(WM_USER + 10, 1034u);
  EXPECT_EQ(CM_ENABLEDCHANGED, 0xB00Cu);
  EXPECT_EQ(CN_COMMAND, 0xBD11u);
}

TEST(MessagesTest, SendIsImmediatePostWaitsForTheQueue) {
  ClearMessageQueue();
  std::vector<std::string> log;
  HWND a = AllocateHWnd([&](TMessage& m) {
    log.push_back("a" + std::to_string(m.Msg));
    if (m.Msg == 1) PostMessage(m.LParam, 3, 0, 0);  // posted while processing
    m.Result = 42;
  });
  HWND b = AllocateHWnd([&](TMessage& m) { log.push_back("b" + std::to_string(m.Msg)); });
  EXPECT_TRUE(PostMessage(a, 1, 0, static_cast<LPARAM>(b)));
  EXPECT_TRUE(PostMessage(b, 2, 0, 0));
  EXPECT_EQ(SendMessage(a, 7, 0, 0), 42);
  EXPECT_EQ(log, std::vector<std::string>{"a7"});
  Application()->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"a7", "a1", "b2", "b3"}));
  EXPECT_EQ(PostedMessageCount(), 0);
  DeallocateHWnd(a);
  DeallocateHWnd(b);
}

TEST(MessagesTest, ReleasedHandlesGetNothing) {
  ClearMessageQueue();
  int calls = 0;
  HWND h = AllocateHWnd([&](TMessage&) { ++calls; });
  PostMessage(h, 5, 0, 0);
  DeallocateHWnd(h);
  ProcessPostedMessages();
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(PostMessage(h, 5, 0, 0));
  EXPECT_EQ(SendMessage(h, 5, 0, 0), 0);
  EXPECT_EQ(SendMessage(0, 5, 0, 0), 0);
}

TEST(MessagesTest, AHandlerMayReleaseItsOwnHandle) {
  HWND h = 0;
  int calls = 0;
  h = AllocateHWnd([&](TMessage& m) {
    ++calls;
    DeallocateHWnd(h);
    m.Result = 1;
  });
  EXPECT_EQ(SendMessage(h, 9, 0, 0), 1);
  EXPECT_EQ(SendMessage(h, 9, 0, 0), 0);
  EXPECT_EQ(calls, 1);
}

TEST(MessagesTest, RegisteredMessagesAreUniquePerName) {
  const UINT a = RegisterWindowMessage("KXBR_Refresh");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("kxbr_refresh"), a);
  EXPECT_NE(RegisterWindowMessage("KXBR_Other"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

class TDefaultRecorder : public TTestForm {
 public:
  using TTestForm::TTestForm;
  void DefaultHandler(TMessage& m) override { Calls.push_back("default " + std::to_string(m.Msg)); }
};

TEST(MessagesTest, DispatchUsesTheClassTablesThenTheDefaultHandler) {
  TTestSubForm sub(nullptr);
  TMessage size{WM_SIZE, 0, 0, 0};
  sub.Dispatch(size);
  EXPECT_EQ(sub.Calls, std::vector<std::string>{"sub WMSize"});
  EXPECT_EQ(sub.Messages, std::vector<UINT>{WM_SIZE});  // the ancestor's handler ran too
  EXPECT_EQ(size.Result, 1);

  TMessage open{WM_USER + 10, 0, 77, 0};
  sub.Dispatch(open);  // inherited from TTestForm's table
  EXPECT_EQ(open.Result, 77);

  TDefaultRecorder recorder(nullptr);
  TMessage other{WM_KILLFOCUS, 0, 0, 0};
  recorder.Dispatch(other);
  EXPECT_EQ(recorder.Calls, std::vector<std::string>{"default 8"});
}

// A window procedure that logs every message before its handlers see it.
class TLoggingForm : public TTestForm {
 public:
  using TTestForm::TTestForm;
  void WndProc(TMessage& m) override {
    Calls.push_back("wndproc " + std::to_string(m.Msg));
    TTestForm::WndProc(m);
  }
};

TEST(MessagesTest, PerformGoesThroughTheWindowProcedure) {
  TLoggingForm form(nullptr);
  EXPECT_EQ(form.Perform(WM_USER + 10, 0, 5), 5);
  EXPECT_EQ(form.Perform(WM_SETFOCUS), 0);
  EXPECT_EQ(form.Calls, (std::vector<std::string>{"wndproc 1034", "wndproc 7"}));
  EXPECT_EQ(form.Messages, std::vector<UINT>{WM_USER + 10});
}

TEST(MessagesTest, WindowHandlesDeliverToTheirObject) {
  ClearMessageQueue();
  TTestForm form(nullptr);
  const HWND handle = AllocateHWnd([&form](TMessage& m) { form.WndProc(m); });
  TTestComponent target(nullptr);
  PostMessage(handle, WM_SIZE, 0, 0);
  EXPECT_EQ(SendMessage(handle, WM_USER + 10, 0, PointerToLParam(&target)),
            PointerToLParam(&target));
  Application()->ProcessMessages();
  EXPECT_EQ(form.Messages, (std::vector<UINT>{WM_USER + 10, WM_SIZE}));
  DeallocateHWnd(handle);
}

TEST(FormsTest, ScreenForgetsFreedComponents) {
  auto* form = new TTestForm(nullptr);
  auto* edit = new TTestComponent(form);
  Screen()->AddForm(form);
  Screen()->SetActiveForm(form);
  Screen()->SetActiveControl(edit);
  EXPECT_EQ(Screen()->FormCount(), 1);
  edit->Free();
  EXPECT_EQ(Screen()->ActiveControl(), nullptr);
  EXPECT_EQ(Screen()->ActiveForm(), form);
  form->Free();
  EXPECT_EQ(Screen()->ActiveForm(), nullptr);
  EXPECT_EQ(Screen()->FormCount(), 0);
  EXPECT_TRUE(SetPropByPath(Screen(), "HintFont.Name", "Tahoma"));
  EXPECT_EQ(Screen()->HintFont()->Name(), "Tahoma");
}

TEST(FormsTest, ApplicationHintsAndExceptions) {
  TApplication* app = Application();
  EXPECT_EQ(app->HintPause(), 500);
  const int generation = app->HintWindowGeneration();
  app->SetShowHint(false);
  app->SetShowHint(true);
  EXPECT_EQ(app->HintWindowGeneration(), generation + 1);
  app->ClearShownExceptions();
  try {
    throw EConvertError("Bad value");
  } catch (...) {
    app->HandleException(nullptr);
  }
  app->HandleException(nullptr, EAbort("silent"));
  EXPECT_EQ(app->ShownExceptions(), std::vector<std::string>{"Bad value."});
  app->ClearShownExceptions();
}

}  // namespace
