#include "Forms.h"

#include <algorithm>

#include "Menus.h"
#include "Reader.h"

KXBR_DEFINE_CLASS(
    TApplication,
    .Prop<&TApplication::HintHidePause, &TApplication::SetHintHidePause>("HintHidePause")
        .Prop<&TApplication::HintPause, &TApplication::SetHintPause>("HintPause")
        .Prop<&TApplication::HintShortPause, &TApplication::SetHintShortPause>("HintShortPause")
        .Prop<&TApplication::ShowHint, &TApplication::SetShowHint>("ShowHint")
        .Prop<&TApplication::Title, &TApplication::SetTitle>("Title"))

KXBR_DEFINE_CLASS(TScreen, .Prop<&TScreen::Cursor, &TScreen::SetCursor>("Cursor", CursorTypeInfo())
                               .Prop<&TScreen::HintFont, &TScreen::SetHintFont>("HintFont")
                               .Prop<&TScreen::IconFont, &TScreen::SetIconFont>("IconFont")
                               .Prop<&TScreen::MenuFont, &TScreen::SetMenuFont>("MenuFont"))

// --- TApplication ------------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  handle_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

TApplication::~TApplication() {
  DeallocateHWnd(handle_);
}

void TApplication::ProcessMessages() {
  ProcessPostedMessages();
}

void TApplication::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  if (value) ++hintWindowGeneration_;
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  onHint_(this);
}

void TApplication::SetMainForm(TComponent* form) {
  mainForm_ = form;
  if (form) form->FreeNotification(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::HandleException(TObject* sender, const Exception& e) {
  if (dynamic_cast<const EAbort*>(&e)) return;  // the silent exception
  if (onException_)
    onException_(sender, e);
  else
    ShowException(e);
}

void TApplication::HandleException(TObject* sender) {
  try {
    throw;
  } catch (const Exception& e) {
    HandleException(sender, e);
  } catch (const std::exception& e) {
    HandleException(sender, Exception(e.what()));
  } catch (...) {
    HandleException(sender, Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& e) {
  // Headless: the text is kept for the caller; a view shows it in a message box.
  std::string text = e.Message();
  if (!text.empty() && text.back() != '.') text += '.';
  shownExceptions_.push_back(text);
}

// --- TScreen -----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner)
    : TComponent(owner),
      iconFont_(std::make_unique<TFont>()),
      hintFont_(std::make_unique<TFont>()),
      menuFont_(std::make_unique<TFont>()) {}

TScreen::~TScreen() = default;

void TScreen::Watch(TComponent* component) {
  if (component) component->FreeNotification(this);
}

void TScreen::SetActiveForm(TComponent* form) {
  activeForm_ = form;
  Watch(form);
}

void TScreen::SetActiveControl(TComponent* control) {
  activeControl_ = control;
  Watch(control);
}

TComponent* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return forms_[index];
}

void TScreen::AddForm(TComponent* form) {
  if (!form || std::find(forms_.begin(), forms_.end(), form) != forms_.end()) return;
  forms_.push_back(form);
  Watch(form);
}

void TScreen::RemoveForm(TComponent* form) {
  std::erase(forms_, form);
}

void TScreen::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == activeForm_) activeForm_ = nullptr;
  if (component == activeControl_) activeControl_ = nullptr;
  RemoveForm(component);
}

// --- Globals -----------------------------------------------------------------------------------

TApplication* Application() {
  static const std::unique_ptr<TApplication> application = std::make_unique<TApplication>(nullptr);
  return application.get();
}

TScreen* Screen() {
  static const std::unique_ptr<TScreen> screen = std::make_unique<TScreen>(nullptr);
  return screen.get();
}

// --- Forms -------------------------------------------------------------------------------------

namespace {

// The platform's focus bookkeeping: the counter of focus changes that SetFocusedControl
// compares to notice a nested move, the form that last received a focus change, and the
// order in which forms were activated.
struct FormFocusState {
  int focusCount = 0;
  TCustomForm* focusedForm = nullptr;
  int nextStamp = 0;
};

FormFocusState& FocusState() {
  static FormFocusState state;
  return state;
}

// Sends a focus message and tells whether no other focus change happened meanwhile.
bool SendFocusMessage(TWinControl* control, UINT msg) {
  const int count = FocusState().focusCount;
  SendMessage(control->Handle(), msg, 0, 0);
  return FocusState().focusCount == count;
}

}  // namespace

const TTypeInfo* ModalResultTypeInfo() {
  static const TTypeInfo info = MakeIdentTypeInfo("TModalResult", {{mrNone, "mrNone"},
                                                                   {mrOk, "mrOk"},
                                                                   {mrCancel, "mrCancel"},
                                                                   {mrAbort, "mrAbort"},
                                                                   {mrRetry, "mrRetry"},
                                                                   {mrIgnore, "mrIgnore"},
                                                                   {mrYes, "mrYes"},
                                                                   {mrNo, "mrNo"},
                                                                   {mrAll, "mrAll"},
                                                                   {mrNoToAll, "mrNoToAll"},
                                                                   {mrYesToAll, "mrYesToAll"}});
  return &info;
}

KXBR_DEFINE_CLASS(
    TCustomForm,
    .Prop<&TCustomForm::ActiveControl, &TCustomForm::SetActiveControl>("ActiveControl")
        .Prop<&TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll>("AutoScroll")
        .Prop<&TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons>("BorderIcons")
        .Prop<&TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle>("BorderStyle")
        .Prop<&TCustomForm::Caption, &TCustomForm::SetCaption>("Caption")
        .Prop<&TCustomForm::ClientHeight, &TCustomForm::SetClientHeight>("ClientHeight")
        .Prop<&TCustomForm::ClientWidth, &TCustomForm::SetClientWidth>("ClientWidth")
        .Prop<&TCustomForm::FormStyle, &TCustomForm::SetFormStyle>("FormStyle")
        .Prop<&TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview>("KeyPreview")
        .Prop<&TCustomForm::Menu, &TCustomForm::SetMenu>("Menu")
        .Prop<&TCustomForm::ModalResult, &TCustomForm::SetModalResult>("ModalResult",
                                                                       ModalResultTypeInfo())
        .Prop<&TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder>("OldCreateOrder")
        .Prop<&TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch>("PixelsPerInch")
        .Prop<&TCustomForm::Position, &TCustomForm::SetPosition>("Position")
        .Prop<&TCustomForm::Scaled, &TCustomForm::SetScaled>("Scaled")
        .Prop<&TCustomForm::WindowState, &TCustomForm::SetWindowState>("WindowState")
        .Prop<&TCustomForm::OnActivate, &TCustomForm::SetOnActivate>("OnActivate")
        .Prop<&TCustomForm::OnClose, &TCustomForm::SetOnClose>("OnClose")
        .Prop<&TCustomForm::OnCloseQuery, &TCustomForm::SetOnCloseQuery>("OnCloseQuery")
        .Prop<&TCustomForm::OnCreate, &TCustomForm::SetOnCreate>("OnCreate")
        .Prop<&TCustomForm::OnDeactivate, &TCustomForm::SetOnDeactivate>("OnDeactivate")
        .Prop<&TCustomForm::OnDestroy, &TCustomForm::SetOnDestroy>("OnDestroy")
        .Prop<&TCustomForm::OnHide, &TCustomForm::SetOnHide>("OnHide")
        .Prop<&TCustomForm::OnPaint, &TCustomForm::SetOnPaint>("OnPaint")
        .Prop<&TCustomForm::OnShortCut, &TCustomForm::SetOnShortCut>("OnShortCut")
        .Prop<&TCustomForm::OnShow, &TCustomForm::SetOnShow>("OnShow")
        .Message<&TCustomForm::CMDialogKeyForm>(CM_DIALOGKEY)
        .Message<&TCustomForm::CMRelease>(CM_RELEASE)
        .Message<&TCustomForm::WMClose>(WM_CLOSE)
        .Message<&TCustomForm::CMActivate>(CM_ACTIVATE)
        .Message<&TCustomForm::CMDeactivate>(CM_DEACTIVATE))
KXBR_DEFINE_CLASS(TForm)

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TWinControl::SetVisible(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
  FormFocusState& state = FocusState();
  if (state.focusedForm == this) state.focusedForm = nullptr;
}

void TCustomForm::BeforeDestruction() {
  if (!destroyed_) {
    destroyed_ = true;
    try {
      DoDestroy();
    } catch (...) {
      Application()->HandleException(this);
    }
  }
  Destroying();
  const bool wasActive = active_;
  active_ = false;
  activeControl_ = nullptr;
  focusedControl_ = nullptr;
  FormFocusState& state = FocusState();
  if (state.focusedForm == this) state.focusedForm = nullptr;
  if (FocusedControl() && ContainsControl(FocusedControl())) SetKeyboardFocus(nullptr);
  if (wasActive) ActivateNextForm(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::AfterConstruction() {
  InitInheritedComponent(this, TForm::StaticClass());
  creating_ = false;
  DoCreate();
  AnnounceCreated();
  if (visibleAfterCreate_) Show();
}

void TCustomForm::DoCreate() {
  try {
    onCreate_(this);
  } catch (...) {
    Application()->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  onDestroy_(this);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  // An active control that cannot take the focus once loaded is forgotten.
  if (activeControl_) {
    TWinControl* control = activeControl_;
    activeControl_ = nullptr;
    if (control->CanFocus()) SetActiveControl(control);
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == menu_) menu_ = nullptr;
  if (component == activeControl_) activeControl_ = nullptr;
  if (component == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  borderIcons_ = v;
  Changed("BorderIcons");
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (borderStyle_ == v) return;
  // The client area keeps its size; the frame around it changes.
  const int cw = ClientWidth();
  const int ch = ClientHeight();
  borderStyle_ = v;
  int dw = 0;
  int dh = 0;
  AdjustForFrame(dw, dh);
  SetBounds(Left(), Top(), cw + dw, ch + dh);
  Changed("BorderStyle");
}

void TCustomForm::SetWindowState(TWindowState v) {
  if (windowState_ == v) return;
  windowState_ = v;
  Changed("WindowState");
}

void TCustomForm::SetMenu(TMainMenu* v) {
  menu_ = v;
  if (v) v->FreeNotification(this);
  Changed("Menu");
}

void TCustomForm::AdjustForFrame(int& dw, int& dh) const {
  int border = 0;
  int caption = 0;
  switch (borderStyle_) {
    case bsNone:
      break;
    case bsSingle:
    case bsDialog:
      border = 3;
      caption = 19;
      break;
    case bsToolWindow:
      border = 3;
      caption = 16;
      break;
    case bsSizeable:
      border = 4;
      caption = 19;
      break;
    case bsSizeToolWin:
      border = 4;
      caption = 16;
      break;
  }
  if (menu_ && menu_->Items()->Count() > 0) caption += 19;
  dw = 2 * border;
  dh = 2 * border + caption;
}

TRect TCustomForm::ClientRect() const {
  int dw = 0;
  int dh = 0;
  AdjustForFrame(dw, dh);
  return Rect(0, 0, std::max(Width() - dw, 0), std::max(Height() - dh, 0));
}

TPoint TCustomForm::ClientOrigin() const {
  int dw = 0;
  int dh = 0;
  AdjustForFrame(dw, dh);
  const TPoint origin = Parent() ? TWinControl::ClientOrigin() : Point(Left(), Top());
  return Point(origin.X + dw / 2, origin.Y + dh - dw / 2);
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style &= ~WS_CHILD;
  params.WndParent = 0;  // the desktop
}

void TCustomForm::SetVisible(bool v) {
  if (creating_) {
    visibleAfterCreate_ = v;
    return;
  }
  TWinControl::SetVisible(v);
}

void TCustomForm::Show() {
  AnnounceCreated();
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() {
  SetVisible(false);
}

void TCustomForm::PlaceOnScreen() {
  placed_ = true;
  int areaLeft = 0;
  int areaTop = 0;
  int areaWidth = Screen()->Width();
  int areaHeight = Screen()->Height();
  switch (position_) {
    case poMainFormCenter:
    case poOwnerFormCenter:
      if (auto* owner = dynamic_cast<TCustomForm*>(
              position_ == poOwnerFormCenter ? Owner() : Application()->MainForm())) {
        areaLeft = owner->Left();
        areaTop = owner->Top();
        areaWidth = owner->Width();
        areaHeight = owner->Height();
      }
      [[fallthrough]];
    case poScreenCenter:
    case poDesktopCenter:
      SetBounds(areaLeft + (areaWidth - Width()) / 2, areaTop + (areaHeight - Height()) / 2,
                Width(), Height());
      break;
    default:
      break;
  }
}

void TCustomForm::ShowingChanged() {
  if (Showing()) {
    try {
      DoShow();
    } catch (...) {
      Application()->HandleException(this);
    }
    if (!placed_) PlaceOnScreen();
    if (Showing() && Enabled()) SetActive(true);
  } else {
    try {
      DoHide();
    } catch (...) {
      Application()->HandleException(this);
    }
    if (active_) {
      SetActive(false);
      if (FocusedControl() && ContainsControl(FocusedControl())) SetKeyboardFocus(nullptr);
      if (!modal_) {
        ActivateNextForm(this);
        // No other form took over: the application is no longer active.
        if (FocusState().focusedForm == this) {
          FocusState().focusedForm = nullptr;
          Perform(CM_DEACTIVATE);
        }
      }
    }
  }
}

void TCustomForm::SetActive(bool value) {
  if (active_ == value) return;
  if (!value) {
    active_ = false;
    Changed("Active");
    return;
  }
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (auto* other = dynamic_cast<TCustomForm*>(Screen()->Forms(i));
        other && other != this && other->active_) {
      other->active_ = false;
      other->Changed("Active");
    }
  active_ = true;
  Changed("Active");
  activationStamp_ = ++FocusState().nextStamp;
  Screen()->SetActiveForm(this);
  if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  SetKeyboardFocus(activeControl_ ? activeControl_ : this);
}

void ActivateNextForm(TCustomForm* leaving) {
  TCustomForm* best = nullptr;
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    auto* f = dynamic_cast<TCustomForm*>(Screen()->Forms(i));
    if (!f || f == leaving || !f->Visible() || !f->Enabled() ||
        f->ComponentState().Contains(csDestroying))
      continue;
    if (!best || f->activationStamp_ > best->activationStamp_) best = f;
  }
  if (best)
    best->SetActive(true);
  else if (Screen()->ActiveForm() == leaving)
    Screen()->SetActiveForm(nullptr);
}

bool TCustomForm::CanFocus() const {
  return Visible() && Enabled();
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!Visible() || !Enabled())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetActive(true);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (activeControl_ == control) return;
  if (control &&
      (control == this || GetParentForm(control) != this || (!IsLoading() && !control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = control;
  if (!IsLoading() && !IsDestroying() && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  const bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (IsDestroying()) return false;
  FormFocusState& state = FocusState();
  ++state.focusCount;
  activeControl_ = control == this ? nullptr : control;
  Screen()->SetActiveControl(control);
  Screen()->SetActiveForm(this);
  if (control->ControlState().Contains(csFocusing)) return false;
  control->SetControlState(control->ControlState() + TControlState{csFocusing});
  struct ClearFocusing {
    TWinControl* c;
    ~ClearFocusing() { c->SetControlState(c->ControlState() - TControlState{csFocusing}); }
  } clear{control};
  if (state.focusedForm != this) {
    if (TCustomForm* old = state.focusedForm) {
      state.focusedForm = nullptr;
      if (!SendFocusMessage(old, CM_DEACTIVATE)) return false;
    }
    state.focusedForm = this;
    if (!SendFocusMessage(this, CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      TWinControl* leaving = focusedControl_;
      focusedControl_ = focusedControl_->Parent();
      if (!SendFocusMessage(leaving, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* entering = control;
      while (entering->Parent() != focusedControl_) entering = entering->Parent();
      focusedControl_ = entering;
      if (!SendFocusMessage(entering, CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, PointerToLParam(control));
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (IsDestroying()) {
    if (control->ContainsControl(focusedControl_)) focusedControl_ = nullptr;
    if (control->ContainsControl(activeControl_)) activeControl_ = nullptr;
    return;
  }
  if (removing && control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
  if (control->ContainsControl(activeControl_)) SetActiveControl(nullptr);
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  bool handled = false;
  onShortCut_(key, shift, handled);
  if (handled) return true;
  return menu_ && menu_->IsShortCut(key, shift);
}

void TCustomForm::CMDialogKeyForm(TMessage& m) {
  const TShiftState shift = KeyboardState();
  if (!shift.Contains(ssAlt)) {
    switch (m.WParam) {
      case VK_TAB:
        if (!shift.Contains(ssCtrl)) {
          SelectNext(activeControl_, !shift.Contains(ssShift), true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (activeControl_ && activeControl_->Parent()) {
          activeControl_->Parent()->SelectNext(activeControl_,
                                               m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
          m.Result = 1;
        }
        return;
      default:
        break;
    }
  }
  TWinControl::CMDialogKey(m);
}

void TCustomForm::CMActivate(TMessage&) {
  Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  Deactivate();
}

void TCustomForm::CMRelease(TMessage&) {
  Free();
}

void TCustomForm::WMClose(TMessage&) {
  Close();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  onCloseQuery_(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  onClose_(this, action);
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  // Closing the main form ends the application instead.
  if (Application()->MainForm() == this) {
    Application()->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      return;
    case caMinimize:
      SetWindowState(wsMinimized);
      return;
    case caFree:
      Release();
      return;
    case caNone:
      return;
  }
}

void TCustomForm::Release() {
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone)
      modalResult_ = mrNone;
    else if (action == caFree)
      Release();
  } catch (...) {
    modalResult_ = mrNone;
    Application()->HandleException(this);
  }
}

bool TCustomForm::ModalStep() {
  Application()->ProcessMessages();
  if (Application()->Terminated())
    modalResult_ = mrCancel;
  else if (modalResult_ != mrNone)
    CloseModal();
  return modalResult_ != mrNone;
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_ || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  FormFocusState& state = FocusState();
  const int savedFocusCount = state.focusCount;
  TCustomForm* savedFocusedForm = state.focusedForm;
  modal_ = true;
  state.focusedForm = this;
  TModalResult result = mrNone;
  // NOTE: the form active before is activated again before the focus counter is restored:
  // a focus move that was under way when the modal form opened (an OnExit showing it)
  // then goes on with its remaining exits and enters.
  auto restore = [&] {
    FocusState().focusedForm = savedFocusedForm;
    ActivateNextForm(this);
    FocusState().focusCount = savedFocusCount;
    modal_ = false;
    Changed("Modal");
  };
  try {
    Show();
    Perform(CM_ACTIVATE);
    modalResult_ = mrNone;
    Changed("Modal");
    ModalRunner()->RunModal(this);
    result = modalResult_;
    Perform(CM_DEACTIVATE);
    Hide();
  } catch (...) {
    try {
      Hide();
    } catch (...) {
      Application()->HandleException(this);
    }
    restore();
    throw;
  }
  restore();
  return result;
}

// --- Modal runners -----------------------------------------------------------------------------

void THeadlessModalRunner::Clear() {
  actions_.clear();
  shown_.clear();
}

void THeadlessModalRunner::RunModal(TCustomForm* form) {
  const size_t index = shown_.size();
  shown_.push_back({form->ClassName(), form->Name(), form->Caption(), mrNone, false});
  while (!form->ModalStep()) {
    if (!actions_.empty()) {
      TAction action = std::move(actions_.front());
      actions_.erase(actions_.begin());
      action(form);
      continue;
    }
    form->Close();
    if (form->ModalStep()) break;
    shown_[index].Forced = true;
    form->SetModalResult(mrCancel);
    break;
  }
  shown_[index].Result = form->ModalResult();
}

namespace {

IModalRunner*& InstalledRunner() {
  static IModalRunner* runner = nullptr;
  return runner;
}

}  // namespace

THeadlessModalRunner* HeadlessModalRunner() {
  static THeadlessModalRunner runner;
  return &runner;
}

IModalRunner* ModalRunner() {
  IModalRunner* runner = InstalledRunner();
  return runner ? runner : HeadlessModalRunner();
}

void SetModalRunner(IModalRunner* runner) {
  InstalledRunner() = runner;
}
