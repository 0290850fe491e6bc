// TQmSpinEdit: a spin edit that refuses a sign typed after the first character and does not
// report an empty text as a change.
#pragma once

#include "Spin.h"

class TQmSpinEdit : public TSpinEdit {
  KXBR_CLASS(TQmSpinEdit, TSpinEdit)

 public:
  using TSpinEdit::TSpinEdit;

 protected:
  // A "+" and then a "-" after the first character each cost the text its last character;
  // OnChange fires only for a text that is not blank.
  void Change() override;

 private:
  bool fixing_ = false;
};
