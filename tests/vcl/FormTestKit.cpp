#include "FormTestKit.h"

std::string NameOf(TObject* object) {
  if (auto* c = dynamic_cast<TComponent*>(object)) return c->Name();
  return object ? object->ClassName() : "nil";
}

void TRecorder::Record(TObject* sender, const std::string& event) {
  const std::string line = NameOf(sender) + "." + event;
  Log.push_back(line);
  if (const auto it = Hooks.find(line); it != Hooks.end()) {
    const std::function<void()> hook = it->second;  // the hook may replace itself
    hook();
  }
}

void TRecorder::Changing(TObject* s, bool& allow) {
  Record(s, "Changing");
  if (Refuse[NameOf(s) + ".Changing"]) allow = false;
}

void TRecorder::CloseQuery(TObject* s, bool& canClose) {
  Record(s, "CloseQuery");
  if (Refuse[NameOf(s) + ".CloseQuery"]) canClose = false;
}

void TRecorder::Close(TObject* s, TCloseAction& action) {
  Record(s, "Close");
  if (const auto it = CloseActions.find(NameOf(s)); it != CloseActions.end()) action = it->second;
}

void TRecorder::KeyDown(TObject* s, WORD& key, TShiftState shift) {
  std::string text = "KeyDown " + std::to_string(key);
  if (shift.Contains(ssCtrl)) text += "+Ctrl";
  if (shift.Contains(ssShift)) text += "+Shift";
  Record(s, text);
  if (Swallow[NameOf(s) + ".KeyDown"]) key = 0;
}

void TRecorder::KeyPress(TObject* s, char& key) {
  Record(s, std::string("KeyPress ") + (key >= 32 ? std::string(1, key) : std::to_string(key)));
  if (Swallow[NameOf(s) + ".KeyPress"]) key = 0;
}

void TRecorder::Watch(std::initializer_list<TWinControl*> controls) {
  for (TWinControl* c : controls) {
    c->SetOnEnter(MethodOf<&TRecorder::Enter>(this));
    c->SetOnExit(MethodOf<&TRecorder::Exit>(this));
  }
}

void VclTest::SetUp() {
  ClearMessageQueue();
  HeadlessModalRunner()->Clear();
  HeadlessDialogService()->Clear();
  SetKeyboardFocus(nullptr);
}

void VclTest::TearDown() {
  Application()->ProcessMessages();
  ClearMessageQueue();
  HeadlessModalRunner()->Clear();
  HeadlessDialogService()->Clear();
  SetKeyboardFocus(nullptr);
  Application()->ClearShownExceptions();
}
