#include "QtDialogService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "QtConvert.h"
#include "StdCtrls.h"

namespace {

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return QMessageBox::Warning;
    case mtError:
      return QMessageBox::Critical;
    case mtInformation:
      return QMessageBox::Information;
    case mtConfirmation:
      return QMessageBox::Question;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

TModalResult TQtDialogService::Execute(TMessageForm* dialog) {
  QMessageBox box(IconOf(dialog->DlgType()), ToQString(dialog->Caption()),
                  ToQString(dialog->MessageText()), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setObjectName(ToQString(dialog->Name()));
  std::map<QAbstractButton*, TModalResult> results;
  TModalResult cancel = mrCancel;
  for (TButton* button : dialog->ButtonList()) {
    QPushButton* shown = box.addButton(ToQString(button->Caption()), QMessageBox::AcceptRole);
    shown->setObjectName(ToQString(button->Name()));
    results[shown] = button->ModalResult();
    if (button->Default()) box.setDefaultButton(shown);
    if (button->Cancel()) {
      box.setEscapeButton(shown);
      cancel = button->ModalResult();
    }
  }
  box.exec();
  const auto found = results.find(box.clickedButton());
  return found == results.end() ? cancel : found->second;
}
