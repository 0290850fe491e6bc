// What the control and form tests share: an event recorder whose methods are the handlers
// (events take methods), a deleter that frees components the platform's way, and a fixture
// that leaves the process-wide input, message and modal state clean.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Dialogs.h"
#include "Forms.h"

struct TFreeComponent {
  void operator()(TObject* object) const {
    if (object) object->Free();
  }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeComponent>;

// Records "Sender.Event" lines; a hook registered for such a line runs after it is recorded
// (a handler that moves the focus, refuses a change, swallows a key ...).
class TRecorder : public TObject {
 public:
  std::vector<std::string> Log;
  std::map<std::string, std::function<void()>> Hooks;
  // Answers of the handlers with a var parameter, by "Sender.Event".
  std::map<std::string, bool> Refuse;
  std::map<std::string, bool> Swallow;

  void Enter(TObject* s) { Record(s, "Enter"); }
  void Exit(TObject* s) { Record(s, "Exit"); }
  void Click(TObject* s) { Record(s, "Click"); }
  void Change(TObject* s) { Record(s, "Change"); }
  void Show(TObject* s) { Record(s, "Show"); }
  void Hide(TObject* s) { Record(s, "Hide"); }
  void Activate(TObject* s) { Record(s, "Activate"); }
  void Deactivate(TObject* s) { Record(s, "Deactivate"); }
  void Create(TObject* s) { Record(s, "Create"); }
  void Destroy(TObject* s) { Record(s, "Destroy"); }
  void Changing(TObject* s, bool& allow);
  void CloseQuery(TObject* s, bool& canClose);
  void Close(TObject* s, TCloseAction& action);
  void KeyDown(TObject* s, WORD& key, TShiftState shift);
  void KeyPress(TObject* s, char& key);

  // OnEnter and OnExit of each control go to this recorder.
  void Watch(std::initializer_list<TWinControl*> controls);
  void Clear() { Log.clear(); }
  // Close actions to answer, by sender name.
  std::map<std::string, TCloseAction> CloseActions;

 private:
  void Record(TObject* sender, const std::string& event);
};

std::string NameOf(TObject* object);

// Clean process-wide state around each test.
class VclTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};
