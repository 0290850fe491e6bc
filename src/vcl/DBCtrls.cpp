#include "DBCtrls.h"

KXBR_DEFINE_CLASS(TDBEdit, .Prop<&TDBEdit::DataField, &TDBEdit::SetDataField>("DataField")
                               .Prop<&TDBEdit::DataSource, &TDBEdit::SetDataSource>("DataSource")
                               .Prop<&TDBEdit::ReadOnly, &TDBEdit::SetReadOnly>("ReadOnly")
                               .Message<&TDBEdit::CMEnterDB>(CM_ENTER)
                               .Message<&TDBEdit::CMExitDB>(CM_EXIT))

TDBEdit::TDBEdit(TComponent* owner)
    : TCustomMaskEdit(owner), dataLink_(std::make_unique<TFieldDataLink>()) {
  TCustomEdit::SetReadOnly(true);
  dataLink_->SetOnDataChange(MethodOf<&TDBEdit::DataChange>(this));
  dataLink_->SetOnEditingChange(MethodOf<&TDBEdit::EditingChange>(this));
  dataLink_->SetOnUpdateData(MethodOf<&TDBEdit::UpdateData>(this));
  dataLink_->SetOnActiveChange(MethodOf<&TDBEdit::ActiveChange>(this));
}

TDBEdit::~TDBEdit() = default;

void TDBEdit::BeforeDestruction() {
  // No data events reach a dying edit.
  dataLink_->SetDataSource(nullptr);
  TCustomMaskEdit::BeforeDestruction();
}

void TDBEdit::SetDataSource(TDataSource* v) {
  dataLink_->SetDataSource(v);
  if (v) v->FreeNotification(this);
}

void TDBEdit::SetDataField(const std::string& v) {
  dataLink_->SetFieldName(v);
}

void TDBEdit::Notification(TComponent* component, TOperation operation) {
  TCustomMaskEdit::Notification(component, operation);
  if (operation == opRemove && dataLink_ && component == dataLink_->DataSource())
    dataLink_->SetDataSource(nullptr);
}

void TDBEdit::ActiveChange(TObject*) {
  if (TField* field = Field(); field && IsTextFieldType(field->DataType()) && MaxLength() == 0)
    SetMaxLength(field->Size());
}

// The field's text while the user may edit it in a focused edit, its display text otherwise.
void TDBEdit::DataChange(TObject*) {
  TField* field = Field();
  if (!field) {
    SetEditMask("");
    SetEditText(ComponentState().Contains(csDesigning) ? Name() : "");
    return;
  }
  if (IsTextFieldType(field->DataType()) && MaxLength() == 0) SetMaxLength(field->Size());
  if (focused_ && dataLink_->CanModify())
    SetText(field->Text());
  else
    SetEditText(field->DisplayText());
}

void TDBEdit::EditingChange(TObject*) {
  TCustomEdit::SetReadOnly(!dataLink_->Editing());
}

void TDBEdit::UpdateData(TObject*) {
  ValidateEdit();
  if (TField* field = Field()) field->SetText(Text());
}

bool TDBEdit::EditCanModify() {
  return dataLink_->Edit();
}

void TDBEdit::Change() {
  dataLink_->Modified();
  TCustomMaskEdit::Change();
}

void TDBEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift))) dataLink_->Edit();
  TCustomMaskEdit::KeyDown(key, shift);
}

void TDBEdit::KeyPress(char& key) {
  if (key == 27) {
    // Esc: the field's value again.
    dataLink_->Reset();
    SelectAll();
    key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(key);
}

void TDBEdit::SetFocused(bool v) {
  if (focused_ == v) return;
  focused_ = v;
  dataLink_->Reset();
}

void TDBEdit::CMEnterDB(TMessage& m) {
  SetFocused(true);
  TCustomMaskEdit::CMEnterMask(m);
}

// The value goes into the field when the focus leaves; a value the field refuses keeps
// the focus here.
void TDBEdit::CMExitDB(TMessage& m) {
  try {
    dataLink_->UpdateRecord();
  } catch (...) {
    SelectAll();
    if (CanFocus()) SetFocus();
    throw;
  }
  SetFocused(false);
  TWinControl::CMExit(m);
}
