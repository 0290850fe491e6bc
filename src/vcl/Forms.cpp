#include "Forms.h"

#include <algorithm>

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
