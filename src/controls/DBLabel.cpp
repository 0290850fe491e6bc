#include "DBLabel.h"

#include <algorithm>

#include "DB.h"
#include "Dialogs.h"

KXBR_DEFINE_CLASS(TDBLabel,
                  .Prop<&TDBLabel::AutoAlign, &TDBLabel::SetAutoAlign>("AutoAlign")
                      .Prop<&TDBLabel::AutoCaption, &TDBLabel::SetAutoCaption>("AutoCaption")
                      .Prop<&TDBLabel::FocusControl, &TDBLabel::SetFocusControl>("FocusControl")
                      .Prop<&TDBLabel::Gap, &TDBLabel::SetGap>("Gap")
                      .Prop<&TDBLabel::Pos, &TDBLabel::SetPos>("Pos"))

TDBLabel::TDBLabel(TComponent* owner) : TLabel(owner) {
  SetCaption("挂靠标签");
  refreshMessage_ = RegisterWindowMessage(Name());
  Perform(refreshMessage_);
}

void TDBLabel::BeforeDestruction() {
  follower_.Stop();
  TLabel::BeforeDestruction();
}

void TDBLabel::Notification(TComponent* component, TOperation operation) {
  TLabel::Notification(component, operation);
  if (operation == opRemove && component == follower_.Target()) follower_.Stop();
}

void TDBLabel::SetFocusControl(TWinControl* v) {
  if (v && Parent()) {
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ComponentCount(); ++i) {
      auto* other = dynamic_cast<TDBLabel*>(parent->Components(i));
      if (!other || other->FocusControl() != v) continue;
      if (other != this)
        Application()->MessageBox("不能同时有两个 DBLabel 指到同一个 Control.",
                                  Application()->Title(), MB_OK | MB_ICONERROR);
      return;
    }
  }
  if (TWinControl* old = FocusControl(); old && old != v) old->RemoveFreeNotification(this);
  TLabel::SetFocusControl(v);
  follower_.Follow(v, ComponentState().Contains(csDesigning));
  RefreshLabel();
}

void TDBLabel::SetAutoAlign(bool v) {
  autoAlign_ = v;
  RefreshLabel();
}

void TDBLabel::SetAutoCaption(bool v) {
  autoCaption_ = v;
  RefreshLabel();
}

void TDBLabel::SetGap(uint8_t v) {
  if (gap_ == v) return;
  gap_ = v;
  RefreshLabel();
}

void TDBLabel::SetPos(TPos v) {
  if (pos_ == v) return;
  pos_ = v;
  RefreshLabel();
}

void TDBLabel::RefreshLabel() {
  UpdateCaption();
  AlignToControl();
}

void TDBLabel::UpdateCaption() {
  TWinControl* control = FocusControl();
  if (!autoCaption_ || !control) return;
  try {
    const TPropInfo* sourceProp = GetPropInfo(control, "DataSource");
    if (!sourceProp || sourceProp->Kind() != tkClass) return;
    auto* source = dynamic_cast<TDataSource*>(GetObjectProp(control, *sourceProp));
    if (!source || !source->DataSet()) return;
    const std::string fieldName = GetStrProp(control, "DataField");
    if (TField* field = source->DataSet()->FindField(fieldName)) SetCaption(field->DisplayLabel());
  } catch (...) {
    // The caption stays as it was.
  }
}

void TDBLabel::AlignToControl() {
  TWinControl* c = FocusControl();
  if (!autoAlign_ || !c) return;
  int left = Left();
  int top = Top();
  switch (pos_) {
    case psTop:
      left = c->Left();
      top = std::max(c->Top() - Height() - gap_, 0);
      break;
    case psBottom:
      left = c->Left();
      top = std::max(c->Top() + c->Height() + gap_, 0);
      break;
    case psLeft:
    case psRight:
      top = Height() == c->Height() ? c->Top()
                                    : std::max(c->Top() + c->Height() / 2 - Height() / 2, 0);
      left = pos_ == psLeft ? c->Left() - Width() - gap_ : c->Left() + c->Width() + gap_;
      left = std::max(left, 0);
      break;
  }
  SetBounds(left, top, Width(), Height());
}

void TDBLabel::WndProc(TMessage& message) {
  if (message.Msg == refreshMessage_ && refreshMessage_ != 0) {
    RefreshLabel();
    return;
  }
  TLabel::WndProc(message);
}
