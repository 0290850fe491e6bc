#include "F2Button.h"

#include "Dialogs.h"

KXBR_DEFINE_CLASS(TF2Button, .Prop<&TF2Button::AutoAlign, &TF2Button::SetAutoAlign>("AutoAlign")
                                 .Prop<&TF2Button::F2Control, &TF2Button::SetF2Control>("F2Control")
                                 .Prop<&TF2Button::Gap, &TF2Button::SetGap>("Gap"))

TF2Button::TF2Button(TComponent* owner) : TGSpeedButton(owner) {
  SetFlat(true);
  SetGlyphIndex(8);
}

void TF2Button::BeforeDestruction() {
  follower_.Stop();
  TGSpeedButton::BeforeDestruction();
}

void TF2Button::SetAutoAlign(bool v) {
  autoAlign_ = v;
  AlignToControl();
}

void TF2Button::SetF2Control(TWinControl* v) {
  if (v && Parent()) {
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ComponentCount(); ++i) {
      auto* other = dynamic_cast<TF2Button*>(parent->Components(i));
      if (!other || other->F2Control() != v) continue;
      if (other != this)
        Application()->MessageBox("不能同时有两个 F2Button 指到同一个 Edit.",
                                  Application()->Title(), MB_OK | MB_ICONERROR);
      return;
    }
  }
  if (f2Control_ && f2Control_ != v) f2Control_->RemoveFreeNotification(this);
  f2Control_ = v;
  if (v) v->FreeNotification(this);
  follower_.Follow(v, ComponentState().Contains(csDesigning));
  AlignToControl();
}

void TF2Button::SetGap(uint8_t v) {
  if (gap_ == v) return;
  gap_ = v;
  AlignToControl();
}

void TF2Button::AlignToControl() {
  if (!autoAlign_ || !f2Control_) return;
  const int size = f2Control_->Height();
  SetBounds(f2Control_->Left() + f2Control_->Width() + gap_, f2Control_->Top(), size, size);
}

void TF2Button::Click() {
  TGSpeedButton::Click();
  TWinControl* target = f2Control_;
  if (!target || !target->Enabled()) return;
  if (target->CanFocus()) target->SetFocus();
  if (!target->Focused()) return;
  if (auto* form = dynamic_cast<TWinControl*>(target->Owner()))
    SendMessage(form->Handle(), WM_OPENWIN, 0, PointerToLParam(target));
}

void TF2Button::Notification(TComponent* component, TOperation operation) {
  TGSpeedButton::Notification(component, operation);
  if (operation == opRemove && component == f2Control_) {
    f2Control_ = nullptr;
    follower_.Stop();
  }
}
