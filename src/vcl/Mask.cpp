#include "Mask.h"

KXBR_DEFINE_CLASS(TCustomMaskEdit,
                  .Prop<&TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask>("EditMask")
                      .Message<&TCustomMaskEdit::CMEnterMask>(CM_ENTER)
                      .Message<&TCustomMaskEdit::CMExitMask>(CM_EXIT)
                      .Message<&TCustomMaskEdit::CMWantSpecialKeyMask>(CM_WANTSPECIALKEY))
KXBR_DEFINE_CLASS(TMaskEdit)

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::PrepareState(bool modifying) {
  const bool allowed = !modifying || EditCanModify();
  state_.SetReadOnly(ReadOnly() || !allowed);
  state_.SetMaxLength(MaxLength());
}

void TCustomMaskEdit::SyncFromState(const std::string& oldEditText, bool user) {
  buffer_.SetText(state_.EditText());
  buffer_.Select(state_.SelStart(), state_.SelLength());
  SetModified(state_.Modified());
  Changed("Selection");
  if (state_.EditText() == oldEditText) return;
  Changed("Text");
  if (user) Change();
}

void TCustomMaskEdit::SetEditMask(const std::string& v) {
  const std::string old = state_.EditText();
  if (!state_.SetEditMask(v)) return;
  SyncFromState(old, false);
  if (state_.EditText() != old) Change();
  Changed("EditMask");
}

void TCustomMaskEdit::SetEditText(const std::string& v) {
  const std::string old = state_.EditText();
  state_.SetEditText(v);
  SyncFromState(old, false);
  if (state_.EditText() != old) Change();
}

void TCustomMaskEdit::SetTextBuf(const std::string& v) {
  // TControl::SetText sends CM_TEXTCHANGED after this, which fires OnChange.
  state_.SetText(v);
  buffer_.SetText(state_.EditText());
  buffer_.Select(state_.SelStart(), state_.SelLength());
  SetModified(state_.Modified());
}

void TCustomMaskEdit::SelectionChanged() {
  state_.SetSel(buffer_.SelStart(), buffer_.SelLength());
  buffer_.Select(state_.SelStart(), state_.SelLength());
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (key == 0) return;
  PrepareState(key == VK_DELETE || key == VK_BACK);
  const std::string old = state_.EditText();
  state_.KeyDown(key, shift);
  SyncFromState(old, true);
}

void TCustomMaskEdit::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  if (key == 0) return;
  // Clipboard keys stay with the edit.
  if (key == 3 || key == 22 || key == 24) return;
  PrepareState(key == VK_BACK || static_cast<unsigned char>(key) >= 32);
  const std::string old = state_.EditText();
  const char typed = key;
  key = 0;
  try {
    state_.KeyPress(std::string(1, typed));
  } catch (...) {
    SyncFromState(old, true);
    throw;
  }
  SyncFromState(old, true);
}

void TCustomMaskEdit::TypeChar(uint32_t ch) {
  PrepareState(true);
  const std::string old = state_.EditText();
  state_.KeyPress(CodePointToUtf8(ch));
  SyncFromState(old, true);
}

void TCustomMaskEdit::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      return;  // the model had the key in KeyDown
    case WM_CHAR:
      if (m.WParam >= 0x80) TypeChar(static_cast<uint32_t>(m.WParam));
      return;
    default:
      TCustomEdit::DefaultHandler(m);
  }
}

void TCustomMaskEdit::ValidateEdit() {
  const std::string old = state_.EditText();
  try {
    state_.ValidateEdit();
  } catch (const EDBEditError&) {
    // The edit keeps the focus (without a second OnEnter) with the caret on the fault.
    reEnter_ = true;
    if (CanFocus()) SetFocus();
    reEnter_ = false;
    SyncFromState(old, false);
    throw;
  }
}

void TCustomMaskEdit::CMEnterMask(TMessage& m) {
  if (!IsMasked()) {
    TCustomEdit::CMEnterEdit(m);
    return;
  }
  if (!reEnter_) {
    state_.Enter();
    TCustomEdit::CMEnterEdit(m);
  }
  SelectionChanged();
}

void TCustomMaskEdit::CMExitMask(TMessage& m) {
  if (IsMasked()) ValidateEdit();
  TWinControl::CMExit(m);
}

void TCustomMaskEdit::CMWantSpecialKeyMask(TMessage& m) {
  if (m.WParam == VK_ESCAPE && IsMasked() && Modified()) m.Result = 1;
}
