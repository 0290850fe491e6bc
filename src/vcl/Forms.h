// The application and screen globals, with what the forms and controls touch: hint timing
// and switching, the posted-message loop, the active form and control, the cursor and the
// screen's fonts; and the forms: TCustomForm / TForm with showing, closing, the modal loop
// (through an installable runner), activation, focus changes and key preview.
//
// Deviations by design:
// - A form's frame is fixed: a sizeable border is 4 pixels and the caption 19 (3 and 19 for
//   single and dialog borders, none for bsNone); the screen is 1024 x 768.
// - A form class's resources are read by CreateForm (C++ constructors cannot reach the
//   derived class); a class without a resource is created empty instead of failing.
// - The modal loop is the installed runner's: headless, a script of test actions acts
//   inside the modal form; when the script is exhausted the form is closed as with the
//   close box, and one that refuses to close is ended with mrCancel and recorded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
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

  // A message box through the installed dialog service (Dialogs.h); returns IDOK, IDYES ...
  int MessageBox(const std::string& text, const std::string& caption, int flags = 0);

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

// --- Forms ---------------------------------------------------------------------------------

class TMainMenu;

KXBR_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
          poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
KXBR_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
KXBR_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
KXBR_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)

using TShortCutEvent = TEvent<void(WORD Key, TShiftState Shift, bool& Handled)>;

class TCustomForm : public TWinControl {
  KXBR_CLASS(TCustomForm, TWinControl)

 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void BeforeDestruction() override;
  // The second half of construction (CreateForm calls it): reads the form resources of the
  // class chain below TForm, then fires OnCreate and announces the form.
  virtual void AfterConstruction();

  // --- Properties -------------------------------------------------------------------------
  TWinControl* ActiveControl() const { return activeControl_; }
  // Raises EInvalidOperation for a control of another form or one that cannot take the
  // focus (outside loading); moves the keyboard focus when the form is active.
  void SetActiveControl(TWinControl* control);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v) { formStyle_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* v);
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int v) { pixelsPerInch_ = v; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool v) { oldCreateOrder_ = v; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v) { autoScroll_ = v; }
  int HelpContextForm() const { return HelpContext(); }

  // --- State --------------------------------------------------------------------------------
  // The form is the active window (has the keyboard focus or one of its controls has).
  bool Active() const { return active_; }
  bool Modal() const { return modal_; }
  // The control that received the last enter (the form itself before any).
  TWinControl* FocusedControl() const { return focusedControl_; }
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;

  // --- Operations ---------------------------------------------------------------------------
  void Show();
  void Hide();
  // Shows the form modally through the installed modal runner and returns the modal result.
  // Raises EInvalidOperation "Cannot make a visible window modal" for a visible form.
  virtual TModalResult ShowModal();
  // OnCloseQuery, OnClose and the close action (a modal form: ModalResult := mrCancel).
  void Close();
  // Frees the form once the posted-message queue is processed.
  void Release();
  virtual bool CloseQuery();
  void SetFocus() override;
  bool CanFocus() const override;
  void FocusControl(TWinControl* control);
  // The one focus-move function. Records `control` as ActiveControl, then sends exit to the
  // previously focused control and its containers up to (not including) the lowest common
  // ancestor, inner first, then enter to each container below that ancestor down to
  // `control`, outer first. A handler that moves the focus (detected through the global focus
  // counter) ends the sequence at once; the nested move has done its own exits and enters.
  // False when the sequence was ended that way.
  bool SetFocusedControl(TWinControl* control);
  // Forgets `control` (and what it contains) as active and focused control.
  void DefocusControl(TWinControl* control, bool removing);
  // One step of the modal loop, for the modal runners: processes posted messages and, when
  // ModalResult is set, runs the close steps (which may clear it again). True when the
  // modal loop is over.
  bool ModalStep();
  bool IsShortCut(WORD key, TShiftState shift);

  // --- Events -------------------------------------------------------------------------------
  const TNotifyEvent& OnCreate() const { return onCreate_; }
  void SetOnCreate(TNotifyEvent e) { onCreate_ = e; }
  const TNotifyEvent& OnDestroy() const { return onDestroy_; }
  void SetOnDestroy(TNotifyEvent e) { onDestroy_ = e; }
  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent e) { onShow_ = e; }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(TNotifyEvent e) { onHide_ = e; }
  const TCloseEvent& OnClose() const { return onClose_; }
  void SetOnClose(TCloseEvent e) { onClose_ = e; }
  const TCloseQueryEvent& OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(TCloseQueryEvent e) { onCloseQuery_ = e; }
  const TNotifyEvent& OnActivate() const { return onActivate_; }
  void SetOnActivate(TNotifyEvent e) { onActivate_ = e; }
  const TNotifyEvent& OnDeactivate() const { return onDeactivate_; }
  void SetOnDeactivate(TNotifyEvent e) { onDeactivate_ = e; }
  const TNotifyEvent& OnPaint() const { return onPaint_; }
  void SetOnPaint(TNotifyEvent e) { onPaint_ = e; }
  const TShortCutEvent& OnShortCut() const { return onShortCut_; }
  void SetOnShortCut(TShortCutEvent e) { onShortCut_ = e; }

  void SetVisible(bool v) override;
  void Loaded() override;

 protected:
  friend void ActivateNextForm(TCustomForm* leaving);

  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  void ShowingChanged() override;
  // Not before the form is complete (OnCreate has run).
  void AnnounceCreated() override {
    if (!creating_) TWinControl::AnnounceCreated();
  }
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow() { onShow_(this); }
  virtual void DoHide() { onHide_(this); }
  virtual void DoClose(TCloseAction& action);
  virtual void Activate() { onActivate_(this); }
  virtual void Deactivate() { onDeactivate_(this); }

  void CMDialogKeyForm(TMessage& m);
  void CMRelease(TMessage& m);
  void WMClose(TMessage& m);
  void CMActivate(TMessage& m);
  void CMDeactivate(TMessage& m);

 private:
  void SetActive(bool value);
  void SetWindowFocus();
  void CloseModal();
  void PlaceOnScreen();
  void AdjustForFrame(int& dw, int& dh) const;

  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool keyPreview_ = false;
  TPosition position_ = poDesigned;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormBorderStyle borderStyle_ = bsSizeable;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TModalResult modalResult_ = mrNone;
  TMainMenu* menu_ = nullptr;
  bool scaled_ = true;
  int pixelsPerInch_ = TFont::PixelsPerInch;
  bool oldCreateOrder_ = false;
  bool autoScroll_ = true;
  bool active_ = false;
  bool modal_ = false;
  bool creating_ = true;
  bool visibleAfterCreate_ = false;
  bool placed_ = false;
  bool destroyed_ = false;
  int activationStamp_ = 0;
  TNotifyEvent onCreate_;
  TNotifyEvent onDestroy_;
  TNotifyEvent onShow_;
  TNotifyEvent onHide_;
  TCloseEvent onClose_;
  TCloseQueryEvent onCloseQuery_;
  TNotifyEvent onActivate_;
  TNotifyEvent onDeactivate_;
  TNotifyEvent onPaint_;
  TShortCutEvent onShortCut_;
};

class TForm : public TCustomForm {
  KXBR_CLASS(TForm, TCustomForm)

 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// Creates a form of class T and completes its construction (resources, OnCreate); the form
// is freed again when that fails.
template <class T, class... A>
T* CreateForm(TComponent* owner, A&&... args) {
  T* form = new T(owner, std::forward<A>(args)...);
  try {
    form->AfterConstruction();
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

// Activates the most recently active visible form other than `leaving`.
void ActivateNextForm(TCustomForm* leaving);

// --- Modal loops ---------------------------------------------------------------------------

// Runs a modal form's loop: returns once form->ModalStep() answered true.
class IModalRunner {
 public:
  virtual ~IModalRunner() = default;
  virtual void RunModal(TCustomForm* form) = 0;
};

// The headless runner. Each queued action runs once inside the next modal loop step (a
// nested ShowModal takes the next action); when none is left, the form is closed as with
// the close box, and a form that will not close is ended with mrCancel.
class THeadlessModalRunner : public IModalRunner {
 public:
  using TAction = std::function<void(TCustomForm* form)>;
  struct TShowing {
    std::string ClassName;
    std::string Name;
    std::string Caption;
    TModalResult Result = mrNone;
    bool Forced = false;  // ended by the runner because it would not close
  };

  void Enqueue(TAction action) { actions_.push_back(std::move(action)); }
  int Pending() const { return static_cast<int>(actions_.size()); }
  const std::vector<TShowing>& Shown() const { return shown_; }
  void Clear();
  void RunModal(TCustomForm* form) override;

 private:
  std::vector<TAction> actions_;
  std::vector<TShowing> shown_;
};

IModalRunner* ModalRunner();
THeadlessModalRunner* HeadlessModalRunner();
// Installs a runner (not owned); nullptr goes back to the headless one.
void SetModalRunner(IModalRunner* runner);
