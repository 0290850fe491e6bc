#include "QmSpin.h"

#include "SysUtils.h"

KXBR_DEFINE_CLASS(TQmSpinEdit)

void TQmSpinEdit::Change() {
  // The corrected text comes back here; it is reported once, below.
  if (fixing_) return;
  std::string text = Text();
  for (char sign : {'+', '-'})
    if (text.size() > 1 && text.find(sign, 1) != std::string::npos) text.pop_back();
  if (text != Text()) {
    fixing_ = true;
    try {
      SetText(text);
      SetSelStart(static_cast<int>(text.size()));
    } catch (...) {
      fixing_ = false;
      throw;
    }
    fixing_ = false;
  }
  if (!Trim(Text()).empty()) TSpinEdit::Change();
}
