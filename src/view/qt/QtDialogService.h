// Message dialogs as the window system's message box: the dialog's caption, text and icon,
// one push button per button of the dialog with the caption it has (re-captioned buttons
// keep their captions), its default and cancel buttons, in a nested event loop.
#pragma once

#include "Dialogs.h"

class TQtDialogService : public IDialogService {
 public:
  TModalResult Execute(TMessageForm* dialog) override;
};
