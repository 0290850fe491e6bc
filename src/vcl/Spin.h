// The spin edit: an edit for whole numbers with up and down buttons.
#pragma once

#include "StdCtrls.h"

class TSpinEdit : public TCustomEdit {
  KXBR_CLASS(TSpinEdit, TCustomEdit)

 public:
  explicit TSpinEdit(TComponent* owner);

  int MinValue() const { return minValue_; }
  void SetMinValue(int v) { minValue_ = v; }
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int v) { maxValue_ = v; }
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool v) { editorEnabled_ = v; }
  // The text as a number (MinValue when it is none). A typed value outside the range is
  // brought into it when the focus leaves.
  int Value() const;
  // The text becomes the value kept within the range (when MinValue and MaxValue differ).
  void SetValue(int v);
  int CheckValue(int v) const;

  // The up and down buttons (and the arrow keys): Value +/- Increment unless read-only.
  void UpClick();
  void DownClick();

 protected:
  // Digits, signs and control keys only; none at all while the editor is disabled.
  bool IsValidChar(char key) const;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void TypeChar(uint32_t ch) override;
  void CMExitSpin(TMessage& m);

 private:
  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  bool editorEnabled_ = true;
};
