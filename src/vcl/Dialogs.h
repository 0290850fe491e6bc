// Message dialogs: the platform's standard message form (buttons found by name and
// re-captioned by the caller), shown through the installed dialog service. Headless, the
// service answers from a script and records every dialog with its caption, text, type and
// buttons.
//
// Deviations by design:
// - The headless service shows nothing and moves no focus; a dialog with no scripted answer
//   is answered with its default button.
// - The dialog's icon image is empty.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Forms.h"

class TButton;
class TLabel;
class TImage;

KXBR_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
KXBR_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
          mbYesToAll, mbHelp)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// MessageBox flags and answers of the platform.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_OKCANCEL = 0x1;
inline constexpr int MB_ABORTRETRYIGNORE = 0x2;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_RETRYCANCEL = 0x5;
inline constexpr int MB_ICONERROR = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONWARNING = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The name, caption and modal result of a dialog button ("Yes", "&Yes", mrYes).
std::string MsgDlgButtonName(TMsgDlgBtn button);
std::string MsgDlgButtonCaption(TMsgDlgBtn button);
TModalResult MsgDlgButtonResult(TMsgDlgBtn button);
// "Warning", "Error", "Information", "Confirm"; the application title for mtCustom.
std::string MsgDlgCaption(TMsgDlgType type);

class TMessageForm : public TForm {
  KXBR_CLASS(TMessageForm, TForm)

 public:
  explicit TMessageForm(TComponent* owner);

  TMsgDlgType DlgType() const { return dlgType_; }
  TMsgDlgButtons Buttons() const { return buttons_; }
  // The message text (the "Message" label's caption).
  std::string MessageText() const;
  // The buttons in their order on the dialog.
  const std::vector<TButton*>& ButtonList() const { return buttonList_; }
  TButton* FindButton(TMsgDlgBtn button) const;

  // Shows the dialog through the dialog service.
  TModalResult ShowModal() override;
  // Shows it as an ordinary modal form (for services that mirror it as a window).
  TModalResult ShowAsForm() { return TCustomForm::ShowModal(); }

 private:
  friend TMessageForm* CreateMessageDialog(const std::string&, TMsgDlgType, TMsgDlgButtons);
  TMsgDlgType dlgType_ = mtCustom;
  TMsgDlgButtons buttons_;
  std::vector<TButton*> buttonList_;
};

// The standard message dialog: caption by type, an "Image" (not for mtCustom), the
// "Message" label and one button per member of `buttons`, named by MsgDlgButtonName, with
// the default button (OK, else Yes, else Retry) and the cancel button (Cancel, else No,
// else OK). The caller frees it.
TMessageForm* CreateMessageDialog(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons);
// Shows a standard dialog and returns its modal result.
int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
void ShowMessage(const std::string& msg);

// What the headless service recorded of one dialog.
struct TDialogRecord {
  std::string Caption;
  std::string Text;
  TMsgDlgType Type = mtCustom;
  std::vector<std::string> Buttons;         // names, in order
  std::vector<std::string> ButtonCaptions;  // captions as shown
  std::string DefaultButton;                // name, "" for none
  TModalResult Result = mrNone;
};

class IDialogService {
 public:
  virtual ~IDialogService() = default;
  // Shows the dialog modally and returns the modal result of the button chosen.
  virtual TModalResult Execute(TMessageForm* dialog) = 0;
};

class THeadlessDialogService : public IDialogService {
 public:
  // The next dialog is answered with `result`; raises at that dialog when no button of it
  // has that result.
  void Answer(TModalResult result) { answers_.push_back(result); }
  int PendingAnswers() const { return static_cast<int>(answers_.size()); }
  const std::vector<TDialogRecord>& Shown() const { return shown_; }
  void Clear();
  TModalResult Execute(TMessageForm* dialog) override;

 private:
  std::deque<TModalResult> answers_;
  std::vector<TDialogRecord> shown_;
};

IDialogService* DialogService();
THeadlessDialogService* HeadlessDialogService();
// Installs a service (not owned); nullptr goes back to the headless one.
void SetDialogService(IDialogService* service);
