// The modal loop of a form in Qt: a nested event loop that steps the model's modal loop
// until the form has a modal result and may close.
#pragma once

#include "Forms.h"

class TQtView;

class TQtModalRunner : public IModalRunner {
 public:
  explicit TQtModalRunner(TQtView& view) : view_(view) {}
  void RunModal(TCustomForm* form) override;

 private:
  TQtView& view_;
};
