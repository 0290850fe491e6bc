// The masked edit: an edit whose typing, caret and text follow an edit mask (MaskUtils.h).
// EditText is what the edit shows, Text what it holds (literals kept or dropped by the
// mask's save field, blanks trimmed).
//
// Deviations by design:
// - The edit state of MaskUtils (TMaskEditState) keeps the text, caret and modified flag
//   also without a mask, so masked and unmasked typing share one model.
#pragma once

#include "MaskUtils.h"
#include "StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
  KXBR_CLASS(TCustomMaskEdit, TCustomEdit)

 public:
  explicit TCustomMaskEdit(TComponent* owner);

  const std::string& EditMask() const { return state_.EditMask(); }
  // Re-flows the shown text from the old mask into the new one (the same mask again changes
  // nothing); OnChange fires when the shown text changed.
  void SetEditMask(const std::string& v);
  bool IsMasked() const { return state_.IsMasked(); }
  // The shown text, literals and blank characters included.
  const std::string& EditText() const { return state_.EditText(); }
  void SetEditText(const std::string& v);
  // The exit check of a modified masked edit: raises EDBEditError with the caret on the
  // first required position left blank.
  virtual void ValidateEdit();
  const TMaskEditState& State() const { return state_; }

 protected:
  std::string GetText() const override { return state_.Text(); }
  void SetTextBuf(const std::string& v) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void TypeChar(uint32_t ch) override;
  void SelectionChanged() override;
  void DefaultHandler(TMessage& message) override;
  void CMEnterMask(TMessage& m);
  void CMExitMask(TMessage& m);
  void CMWantSpecialKeyMask(TMessage& m);
  // After the model changed: the shown text, selection and modified flag follow; OnChange
  // when the text changed and `user` says the user did it.
  void SyncFromState(const std::string& oldEditText, bool user);
  // Asked before a key changes the text: false keeps the text as it is. A data-aware edit
  // puts its dataset into edit mode here.
  virtual bool EditCanModify() { return true; }
  // The control's settings the model needs (read-only, MaxLength); `modifying` asks
  // EditCanModify first.
  void PrepareState(bool modifying);

  TMaskEditState state_;

 private:
  bool reEnter_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
  KXBR_CLASS(TMaskEdit, TCustomMaskEdit)

 public:
  using TCustomMaskEdit::TCustomMaskEdit;
};
