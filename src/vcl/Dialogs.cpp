#include "Dialogs.h"

#include <algorithm>

#include "ExtCtrls.h"
#include "StdCtrls.h"

namespace {

struct ButtonInfo {
  const char* Name;
  const char* Caption;
  TModalResult Result;
};

// By TMsgDlgBtn order.
const ButtonInfo kButtons[] = {
    {"Yes", "&Yes", mrYes},
    {"No", "&No", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},
    {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore},
    {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
};

}  // namespace

std::string MsgDlgButtonName(TMsgDlgBtn button) {
  return kButtons[button].Name;
}

std::string MsgDlgButtonCaption(TMsgDlgBtn button) {
  return kButtons[button].Caption;
}

TModalResult MsgDlgButtonResult(TMsgDlgBtn button) {
  return kButtons[button].Result;
}

std::string MsgDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    case mtCustom:
      break;
  }
  return Application()->Title();
}

// --- TMessageForm ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TMessageForm)

TMessageForm::TMessageForm(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
}

std::string TMessageForm::MessageText() const {
  const auto* label = dynamic_cast<TLabel*>(FindComponent("Message"));
  return label ? label->Caption() : std::string();
}

TButton* TMessageForm::FindButton(TMsgDlgBtn button) const {
  return dynamic_cast<TButton*>(FindComponent(MsgDlgButtonName(button)));
}

TModalResult TMessageForm::ShowModal() {
  SetModalResult(DialogService()->Execute(this));
  return ModalResult();
}

TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type,
                                  TMsgDlgButtons buttons) {
  TMessageForm* form = CreateForm<TMessageForm>(Application());
  try {
    form->dlgType_ = type;
    form->buttons_ = buttons;
    form->SetCaption(MsgDlgCaption(type));
    const int margin = 8;
    int left = margin;
    if (type != mtCustom) {
      auto* image = new TImage(form);
      image->SetName("Image");
      image->SetParent(form);
      image->SetBounds(margin, margin, 32, 32);
      left += 32 + margin;
    }
    auto* label = new TLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetCaption(msg);
    label->SetLeft(left);
    label->SetTop(margin);
    const TMsgDlgBtn defaultButton = buttons.Contains(mbOK)    ? mbOK
                                     : buttons.Contains(mbYes) ? mbYes
                                                               : mbRetry;
    const TMsgDlgBtn cancelButton = buttons.Contains(mbCancel) ? mbCancel
                                    : buttons.Contains(mbNo)   ? mbNo
                                                               : mbOK;
    int count = 0;
    for (int b = mbYes; b <= mbHelp; ++b)
      if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) ++count;
    const int buttonWidth = 75;
    const int buttonGap = 8;
    const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * buttonGap;
    const int textBottom = std::max(label->Top() + label->Height(), type != mtCustom ? 40 : 0);
    const int clientWidth = std::max(rowWidth, left + label->Width() - margin) + 2 * margin;
    const int buttonTop = textBottom + 2 * margin;
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonTop + 25 + margin);
    int x = (clientWidth - rowWidth) / 2;
    for (int b = mbYes; b <= mbHelp; ++b) {
      const auto button = static_cast<TMsgDlgBtn>(b);
      if (!buttons.Contains(button)) continue;
      auto* control = new TButton(form);
      control->SetName(MsgDlgButtonName(button));
      control->SetParent(form);
      control->SetCaption(MsgDlgButtonCaption(button));
      control->SetModalResult(MsgDlgButtonResult(button));
      control->SetBounds(x, buttonTop, buttonWidth, 25);
      if (button == defaultButton) control->SetDefault(true);
      if (button == cancelButton) control->SetCancel(true);
      form->buttonList_.push_back(control);
      x += buttonWidth + buttonGap;
    }
    if (TButton* def = form->FindButton(defaultButton)) form->SetActiveControl(def);
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
  TMessageForm* dialog = CreateMessageDialog(msg, type, buttons);
  dialog->SetHelpContext(helpCtx);
  TModalResult result = mrNone;
  try {
    result = dialog->ShowModal();
  } catch (...) {
    dialog->Free();
    throw;
  }
  dialog->Free();
  return result;
}

void ShowMessage(const std::string& msg) {
  MessageDlg(msg, mtCustom, {mbOK});
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  TMsgDlgType type = mtCustom;
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      type = mtError;
      break;
    case MB_ICONQUESTION:
      type = mtConfirmation;
      break;
    case MB_ICONWARNING:
      type = mtWarning;
      break;
    case MB_ICONINFORMATION:
      type = mtInformation;
      break;
    default:
      break;
  }
  TMsgDlgButtons buttons{mbOK};
  switch (flags & 0x0F) {
    case MB_OKCANCEL:
      buttons = mbOKCancel;
      break;
    case MB_ABORTRETRYIGNORE:
      buttons = mbAbortRetryIgnore;
      break;
    case MB_YESNOCANCEL:
      buttons = mbYesNoCancel;
      break;
    case MB_YESNO:
      buttons = {mbYes, mbNo};
      break;
    case MB_RETRYCANCEL:
      buttons = {mbRetry, mbCancel};
      break;
    default:
      break;
  }
  TMessageForm* dialog = CreateMessageDialog(text, type, buttons);
  TModalResult result = mrNone;
  try {
    dialog->SetCaption(caption.empty() ? std::string("Error") : caption);
    result = dialog->ShowModal();
  } catch (...) {
    dialog->Free();
    throw;
  }
  dialog->Free();
  return result;  // the IDxx answers equal the modal results
}

// --- Services ----------------------------------------------------------------------------------

void THeadlessDialogService::Clear() {
  answers_.clear();
  shown_.clear();
}

TModalResult THeadlessDialogService::Execute(TMessageForm* dialog) {
  TDialogRecord record;
  record.Caption = dialog->Caption();
  record.Text = dialog->MessageText();
  record.Type = dialog->DlgType();
  TModalResult defaultResult = mrNone;
  for (TButton* b : dialog->ButtonList()) {
    record.Buttons.push_back(b->Name());
    record.ButtonCaptions.push_back(b->Caption());
    if (b->Default() && record.DefaultButton.empty()) {
      record.DefaultButton = b->Name();
      defaultResult = b->ModalResult();
    }
  }
  TModalResult result = defaultResult;
  if (!answers_.empty()) {
    result = answers_.front();
    answers_.pop_front();
    const auto& list = dialog->ButtonList();
    if (std::none_of(list.begin(), list.end(),
                     [result](TButton* b) { return b->ModalResult() == result; })) {
      record.Result = mrNone;
      shown_.push_back(record);
      throw EInvalidOperation("The dialog \"" + record.Text + "\" has no button answering " +
                              IntToStr(result));
    }
  }
  record.Result = result;
  shown_.push_back(record);
  return result;
}

namespace {

IDialogService*& InstalledService() {
  static IDialogService* service = nullptr;
  return service;
}

}  // namespace

THeadlessDialogService* HeadlessDialogService() {
  static THeadlessDialogService service;
  return &service;
}

IDialogService* DialogService() {
  IDialogService* service = InstalledService();
  return service ? service : HeadlessDialogService();
}

void SetDialogService(IDialogService* service) {
  InstalledService() = service;
}
