#include "QmcEdit.h"

#if KXBR_RELEASE >= 90

// --- TEditLabelKeeper -----------------------------------------------------------------------

void TEditLabelKeeper::CreateLabel() {
  label_ = new TLabel(edit_);
  label_->SetName("EditLabel");
  label_->SetCaption("");
  label_->SetFocusControl(edit_);
}

void TEditLabelKeeper::SetCaption(const std::string& v) {
  if (!label_) return;
  label_->SetCaption(v);
  Place();
}

void TEditLabelKeeper::SetLabelPosition(TLabelPosition v) {
  position_ = v;
  Place();
}

void TEditLabelKeeper::SetLabelSpacing(int v) {
  if (v < 0) return;
  spacing_ = v;
  Place();
}

void TEditLabelKeeper::Place() {
  if (!label_) return;
  const int lw = label_->Width();
  const int lh = label_->Height();
  int left = edit_->Left();
  int top = edit_->Top();
  switch (position_) {
    case lpAbove:
      top = edit_->Top() - lh - spacing_;
      break;
    case lpBelow:
      top = edit_->Top() + edit_->Height() + spacing_;
      break;
    case lpLeft:
      left = edit_->Left() - lw - spacing_;
      top = edit_->Top() + (edit_->Height() - lh) / 2;
      break;
    case lpRight:
      left = edit_->Left() + edit_->Width() + spacing_;
      top = edit_->Top() + (edit_->Height() - lh) / 2;
      break;
  }
  label_->SetBounds(left, top, lw, lh);
}

void TEditLabelKeeper::ParentChanged() {
  if (!label_) return;
  label_->SetParent(edit_->Parent());
  Place();
}

void TEditLabelKeeper::EnabledChanged() {
  if (label_) label_->SetEnabled(edit_->Enabled());
}

void TEditLabelKeeper::VisibleChanged() {
  if (label_) label_->SetVisible(edit_->Visible());
}

void TEditLabelKeeper::Forget(TComponent* component) {
  if (component == label_) label_ = nullptr;
}

// --- TQmEdit --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TQmEdit,
                  .Prop<&TQmEdit::Caption, &TQmEdit::SetCaption>("Caption")
                      .Prop<&TQmEdit::LabelPosition, &TQmEdit::SetLabelPosition>("LabelPosition")
                      .Prop<&TQmEdit::LabelSpacing, &TQmEdit::SetLabelSpacing>("LabelSpacing")
                      .Message<&TQmEdit::CMEnabledChangedLabel>(CM_ENABLEDCHANGED)
                      .Message<&TQmEdit::CMVisibleChangedLabel>(CM_VISIBLECHANGED))

TQmEdit::TQmEdit(TComponent* owner) : TEdit(owner), keeper_(this) {
  keeper_.CreateLabel();
}

void TQmEdit::SetBounds(int left, int top, int width, int height) {
  TEdit::SetBounds(left, top, width, height);
  keeper_.Place();
}

void TQmEdit::SetParent(TWinControl* parent) {
  TEdit::SetParent(parent);
  keeper_.ParentChanged();
}

void TQmEdit::Notification(TComponent* component, TOperation operation) {
  TEdit::Notification(component, operation);
  if (operation == opRemove) keeper_.Forget(component);
}

void TQmEdit::CMEnabledChangedLabel(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  keeper_.EnabledChanged();
}

void TQmEdit::CMVisibleChangedLabel(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  keeper_.VisibleChanged();
}

// --- TQmDBEdit ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TQmDBEdit, .Prop<&TQmDBEdit::Caption, &TQmDBEdit::SetCaption>("Caption")
                   .Prop<&TQmDBEdit::DataField, &TQmDBEdit::SetDataField>("DataField")
                   .Prop<&TQmDBEdit::LabelPosition, &TQmDBEdit::SetLabelPosition>("LabelPosition")
                   .Prop<&TQmDBEdit::LabelSpacing, &TQmDBEdit::SetLabelSpacing>("LabelSpacing")
                   .Message<&TQmDBEdit::CMEnabledChangedLabel>(CM_ENABLEDCHANGED)
                   .Message<&TQmDBEdit::CMVisibleChangedLabel>(CM_VISIBLECHANGED))

TQmDBEdit::TQmDBEdit(TComponent* owner) : TDBEdit(owner), keeper_(this) {
  keeper_.CreateLabel();
}

void TQmDBEdit::SetDataField(const std::string& v) {
  TDBEdit::SetDataField(v);
  if (ComponentState().Contains(csDesigning) && EditLabel())
    if (TField* field = Field()) SetCaption(field->DisplayLabel());
}

void TQmDBEdit::SetBounds(int left, int top, int width, int height) {
  TDBEdit::SetBounds(left, top, width, height);
  keeper_.Place();
}

void TQmDBEdit::SetParent(TWinControl* parent) {
  TDBEdit::SetParent(parent);
  keeper_.ParentChanged();
}

void TQmDBEdit::Notification(TComponent* component, TOperation operation) {
  TDBEdit::Notification(component, operation);
  if (operation == opRemove) keeper_.Forget(component);
}

void TQmDBEdit::CMEnabledChangedLabel(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  keeper_.EnabledChanged();
}

void TQmDBEdit::CMVisibleChangedLabel(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  keeper_.VisibleChanged();
}

// --- TQmBtnDBEdit ---------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TQmBtnDBEdit,
    .Prop<&TQmBtnDBEdit::ButtonHint, &TQmBtnDBEdit::SetButtonHint>("ButtonHint")
        .Prop<&TQmBtnDBEdit::ButtonSpacing, &TQmBtnDBEdit::SetButtonSpacing>("ButtonSpacing")
        .Prop<&TQmBtnDBEdit::GlyphIndex, &TQmBtnDBEdit::SetGlyphIndex>("GlyphIndex")
        .Prop<&TQmBtnDBEdit::OnDialog, &TQmBtnDBEdit::SetOnDialog>("OnDialog")
        .Message<&TQmBtnDBEdit::CMEnabledChangedButton>(CM_ENABLEDCHANGED)
        .Message<&TQmBtnDBEdit::CMVisibleChangedButton>(CM_VISIBLECHANGED))

TQmBtnDBEdit::TQmBtnDBEdit(TComponent* owner) : TQmDBEdit(owner) {
  button_ = new TGSpeedButton(this);
  button_->SetName("F2Button");
  button_->SetFlat(true);
  button_->SetGlyphIndex(glyphIndex_);
  button_->SetOnClick(MethodOf<&TQmBtnDBEdit::ButtonClick>(this));
  PlaceButton();
}

void TQmBtnDBEdit::SetButtonSpacing(int v) {
  buttonSpacing_ = v;
  PlaceButton();
}

void TQmBtnDBEdit::SetGlyphIndex(int v) {
  glyphIndex_ = v;
  if (button_) button_->SetGlyphIndex(v);
}

void TQmBtnDBEdit::SetButtonHint(const std::string& v) {
  if (button_) button_->SetHint(v);
}

void TQmBtnDBEdit::PlaceButton() {
  if (!button_) return;
  button_->SetBounds(Left() + Width() + buttonSpacing_, Top(), Height(), Height());
}

void TQmBtnDBEdit::SetBounds(int left, int top, int width, int height) {
  TQmDBEdit::SetBounds(left, top, width, height);
  PlaceButton();
}

void TQmBtnDBEdit::SetParent(TWinControl* parent) {
  TQmDBEdit::SetParent(parent);
  if (button_) button_->SetParent(parent);
}

void TQmBtnDBEdit::Notification(TComponent* component, TOperation operation) {
  TQmDBEdit::Notification(component, operation);
  if (operation == opRemove && component == button_) button_ = nullptr;
}

void TQmBtnDBEdit::CMEnabledChangedButton(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  if (button_) button_->SetEnabled(Enabled());
}

void TQmBtnDBEdit::CMVisibleChangedButton(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  if (button_) button_->SetVisible(Visible());
}

void TQmBtnDBEdit::ButtonClick(TObject*) {
  if (onDialog_) {
    onDialog_(this);
    return;
  }
  if (CanFocus()) SetFocus();
  if (!Focused()) return;
  if (auto* form = dynamic_cast<TWinControl*>(Owner()))
    SendMessage(form->Handle(), WM_OPENWIN, 0, PointerToLParam(static_cast<TWinControl*>(this)));
}

#endif  // KXBR_RELEASE >= 90
