// The application and screen globals, with what the forms and controls touch: hint timing
// and switching, the posted-message loop, the active form and control, the cursor and the
// screen's fonts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

using TExceptionEvent = TEvent<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
  KXBR_CLASS(TApplication, TComponent)

 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // A window handle of the application itself (messages to the application).
  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Delivers posted messages until the queue is empty.
  void ProcessMessages();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int ms) { hintShortPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  // Switching hints on (re)creates the hint window, which then takes Screen.HintFont.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintWindowGeneration() const { return hintWindowGeneration_; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);

  TComponent* MainForm() const { return mainForm_; }
  void SetMainForm(TComponent* form);

  // An exception that reached the top of an event: OnException when assigned, else it is
  // shown (ShowException); it goes no further.
  void HandleException(TObject* sender, const Exception& e);
  void HandleException(TObject* sender);  // the exception being handled (inside catch)
  void ShowException(const Exception& e);
  const std::vector<std::string>& ShownExceptions() const { return shownExceptions_; }
  void ClearShownExceptions() { shownExceptions_.clear(); }

  const TNotifyEvent& OnHint() const { return onHint_; }
  void SetOnHint(TNotifyEvent e) { onHint_ = e; }
  const TExceptionEvent& OnException() const { return onException_; }
  void SetOnException(TExceptionEvent e) { onException_ = e; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  HWND handle_ = 0;
  std::string title_;
  bool terminated_ = false;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  bool showHint_ = true;
  int hintWindowGeneration_ = 1;
  std::string hint_;
  TComponent* mainForm_ = nullptr;
  std::vector<std::string> shownExceptions_;
  TNotifyEvent onHint_;
  TExceptionEvent onException_;
};

class TScreen : public TComponent {
  KXBR_CLASS(TScreen, TComponent)

 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  int Width() const { return 1024; }
  int Height() const { return 768; }
  int PixelsPerInch() const { return TFont::PixelsPerInch; }

  // Kept by the forms as the focus moves; cleared when the component is freed.
  TComponent* ActiveForm() const { return activeForm_; }
  TComponent* ActiveControl() const { return activeControl_; }
  void SetActiveForm(TComponent* form);
  void SetActiveControl(TComponent* control);

  // The forms that exist, in creation order (the forms add and remove themselves).
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TComponent* Forms(int index) const;
  void AddForm(TComponent* form);
  void RemoveForm(TComponent* form);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }

  TFont* IconFont() const { return iconFont_.get(); }
  void SetIconFont(TFont* font) { iconFont_->Assign(font); }
  TFont* HintFont() const { return hintFont_.get(); }
  void SetHintFont(TFont* font) { hintFont_->Assign(font); }
  TFont* MenuFont() const { return menuFont_.get(); }
  void SetMenuFont(TFont* font) { menuFont_->Assign(font); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Watch(TComponent* component);

  TComponent* activeForm_ = nullptr;
  TComponent* activeControl_ = nullptr;
  std::vector<TComponent*> forms_;
  TCursor cursor_ = crDefault;
  std::unique_ptr<TFont> iconFont_;
  std::unique_ptr<TFont> hintFont_;
  std::unique_ptr<TFont> menuFont_;
};

// The platform's two globals, created on first use and alive until the process ends.
TApplication* Application();
TScreen* Screen();
