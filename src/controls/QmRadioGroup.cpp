#include "QmRadioGroup.h"

#include <algorithm>

#include "Forms.h"

// --- TQmGroupButton ------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TQmGroupButton, .Message<&TQmGroupButton::CNCommandGroup>(CN_COMMAND))

TQmGroupButton::TQmGroupButton(TQmRadioGroup* group) : TQmRadioButton(group), group_(group) {
  SetVisible(false);
  SetEnabled(group->Enabled());
  SetParentShowHint(false);
  SetOnClick(MethodOf<&TQmRadioGroup::ButtonClick>(group));
  SetParent(group);
}

void TQmGroupButton::CNCommandGroup(TMessage& m) {
  if (inClick_ || !group_->CanModify()) return;
  inClick_ = true;
  try {
    DispatchInherited(StaticClass(), m);
  } catch (...) {
    Application()->HandleException(this);
  }
  inClick_ = false;
}

void TQmGroupButton::KeyDown(WORD& key, TShiftState shift) {
  TQmRadioButton::KeyDown(key, shift);
  group_->KeyDown(key, shift);
}

void TQmGroupButton::KeyPress(char& key) {
  TQmRadioButton::KeyPress(key);
  group_->KeyPress(key);
  if ((key == '\b' || key == ' ') && !group_->CanModify()) key = 0;
}

// --- TQmRadioGroup -------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TQmRadioGroup,
                  .Prop<&TQmRadioGroup::Columns, &TQmRadioGroup::SetColumns>("Columns")
                      .Prop<&TQmRadioGroup::ItemIndex, &TQmRadioGroup::SetItemIndex>("ItemIndex")
                      .Prop<&TQmRadioGroup::Items, &TQmRadioGroup::SetItems>("Items")
                      .Message<&TQmRadioGroup::CMEnabledChangedGroup>(CM_ENABLEDCHANGED)
                      .Message<&TQmRadioGroup::CMFontChangedGroup>(CM_FONTCHANGED)
                      .Message<&TQmRadioGroup::WMSizeGroup>(WM_SIZE))

TQmRadioGroup::TQmRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TStringList>()) {
  controlStyle_ = {csSetCaption, csDoubleClicks};
  items_->SetOnChange(MethodOf<&TQmRadioGroup::ItemsChange>(this));
}

TQmRadioGroup::~TQmRadioGroup() {
  items_->SetOnChange(nullptr);
}

void TQmRadioGroup::Notification(TComponent* component, TOperation operation) {
  TCustomGroupBox::Notification(component, operation);
  if (operation == opRemove) std::erase(buttons_, component);
}

void TQmRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  // Items and ItemIndex were only stored while reading.
  if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
  UpdateButtons();
}

void TQmRadioGroup::ItemsChange(TObject*) {
  if (Reading()) return;
  if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
  UpdateButtons();
}

void TQmRadioGroup::SetButtonCount(int count) {
  while (ButtonCount() < count) buttons_.push_back(new TQmGroupButton(this));
  while (ButtonCount() > count) {
    TQmGroupButton* last = buttons_.back();
    buttons_.pop_back();
    last->Free();
  }
}

void TQmRadioGroup::UpdateButtons() {
  if (IsDestroying()) return;
  SetButtonCount(items_->Count());
  for (int i = 0; i < ButtonCount(); ++i) buttons_[i]->SetCaption(items_->Strings(i));
  if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) {
    updating_ = true;
    buttons_[itemIndex_]->SetChecked(true);
    updating_ = false;
  }
  ArrangeButtons();
  Invalidate();
}

void TQmRadioGroup::SetItemIndex(int v) {
  if (Reading()) {
    itemIndex_ = v;
    return;
  }
  v = std::clamp(v, -1, ButtonCount() - 1);
  if (v == itemIndex_) return;
  if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) buttons_[itemIndex_]->SetChecked(false);
  itemIndex_ = v;
  if (itemIndex_ >= 0) buttons_[itemIndex_]->SetChecked(true);
  Changed("ItemIndex");
}

void TQmRadioGroup::SetColumns(int v) {
  v = std::clamp(v, 1, 16);
  if (v == columns_) return;
  columns_ = v;
  ArrangeButtons();
  Invalidate();
  Changed("Columns");
}

void TQmRadioGroup::ButtonClick(TObject* sender) {
  if (updating_) return;
  const auto it = std::find(buttons_.begin(), buttons_.end(), sender);
  if (it == buttons_.end()) return;
  itemIndex_ = static_cast<int>(it - buttons_.begin());
  Changed("ItemIndex");
  Click();
}

void TQmRadioGroup::ArrangeButtons() {
  if (buttons_.empty() || Reading()) return;
  const int h = TextExtentOf("0").cy;
  const int n = ButtonCount();
  const int c = columns_;
  const int rows = (n + c - 1) / c;
  const int buttonWidth = (Width() - 10) / c;
  const int area = Height() - h - 5;
  const int buttonHeight = area / rows;
  const int topMargin = (area % rows) / 2 + h + 1;
  for (int i = 0; i < n; ++i) {
    int left = (i / rows) * buttonWidth + 8;
    if (UseRightToLeftReading()) left = ClientWidth() - left - buttonWidth;
    buttons_[i]->SetBounds(left, (i % rows) * buttonHeight + topMargin, buttonWidth, buttonHeight);
    buttons_[i]->SetVisible(true);
  }
}

void TQmRadioGroup::CMEnabledChangedGroup(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  for (TQmGroupButton* b : buttons_) b->SetEnabled(Enabled());
}

void TQmRadioGroup::CMFontChangedGroup(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  ArrangeButtons();
}

void TQmRadioGroup::WMSizeGroup(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  ArrangeButtons();
}
