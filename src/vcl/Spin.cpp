#include "Spin.h"

KXBR_DEFINE_CLASS(TSpinEdit,
                  .Prop<&TSpinEdit::EditorEnabled, &TSpinEdit::SetEditorEnabled>("EditorEnabled")
                      .Prop<&TSpinEdit::Increment, &TSpinEdit::SetIncrement>("Increment")
                      .Prop<&TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue>("MaxValue")
                      .Prop<&TSpinEdit::MinValue, &TSpinEdit::SetMinValue>("MinValue")
                      .Prop<&TSpinEdit::Value, &TSpinEdit::SetValue>("Value")
                      .Message<&TSpinEdit::CMExitSpin>(CM_EXIT))

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
  SetBounds(0, 0, 121, 22);
  SetText("0");
}

int TSpinEdit::CheckValue(int v) const {
  if (maxValue_ != minValue_) {
    if (v < minValue_) return minValue_;
    if (v > maxValue_) return maxValue_;
  }
  return v;
}

int TSpinEdit::Value() const {
  int v = 0;
  return TryStrToInt(Trim(Text()), v) ? v : minValue_;
}

void TSpinEdit::SetValue(int v) {
  SetText(IntToStr(CheckValue(v)));
}

void TSpinEdit::UpClick() {
  if (!ReadOnly()) SetValue(Value() + increment_);
}

void TSpinEdit::DownClick() {
  if (!ReadOnly()) SetValue(Value() - increment_);
}

bool TSpinEdit::IsValidChar(char key) const {
  bool valid = key == '+' || key == '-' || (key >= '0' && key <= '9') ||
               (static_cast<unsigned char>(key) < 32 && key != '\r');
  if (!editorEnabled_ && valid && (static_cast<unsigned char>(key) >= 32 || key == VK_BACK))
    valid = false;
  return valid;
}

void TSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_UP)
    UpClick();
  else if (key == VK_DOWN)
    DownClick();
  TCustomEdit::KeyDown(key, shift);
}

void TSpinEdit::KeyPress(char& key) {
  if (!IsValidChar(key)) key = 0;
  if (key != 0) TCustomEdit::KeyPress(key);
}

void TSpinEdit::TypeChar(uint32_t ch) {
  // Characters outside ASCII never reach KeyPress; they are no digits either.
  if (ch >= 0x80) return;
  TCustomEdit::TypeChar(ch);
}

void TSpinEdit::CMExitSpin(TMessage& m) {
  TWinControl::CMExit(m);
  if (CheckValue(Value()) != Value()) SetValue(Value());
}
