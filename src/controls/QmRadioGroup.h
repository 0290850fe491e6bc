// TQmRadioGroup: a radio group whose buttons (TQmGroupButton) are TQmRadioButtons, one per
// line of Items, arranged in Columns.
#pragma once

#include <memory>
#include <vector>

#include "QmRadioButton.h"

class TQmRadioGroup;

// One button of a TQmRadioGroup; its clicks go to the group.
class TQmGroupButton : public TQmRadioButton {
  KXBR_CLASS(TQmGroupButton, TQmRadioButton)

 public:
  explicit TQmGroupButton(TQmRadioGroup* group);

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void CNCommandGroup(TMessage& m);

 private:
  TQmRadioGroup* group_;
  bool inClick_ = false;
};

class TQmRadioGroup : public TCustomGroupBox {
  KXBR_CLASS(TQmRadioGroup, TCustomGroupBox)

 public:
  explicit TQmRadioGroup(TComponent* owner);
  ~TQmRadioGroup() override;

  // One button per line; ItemIndex is lowered to the last line when it lies beyond.
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  // -1 for none; kept within -1..the last button (only stored while reading).
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  // Kept within 1..16.
  int Columns() const { return columns_; }
  void SetColumns(int v);
  virtual bool CanModify() const { return true; }

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TQmGroupButton* Buttons(int index) const { return buttons_.at(index); }
  // Places the buttons in columns and rows inside the group.
  void ArrangeButtons();

  void Loaded() override;

 protected:
  friend class TQmGroupButton;
  void ItemsChange(TObject* sender);
  void ButtonClick(TObject* sender);
  void UpdateButtons();
  void SetButtonCount(int count);
  void CMEnabledChangedGroup(TMessage& m);
  void CMFontChangedGroup(TMessage& m);
  void WMSizeGroup(TMessage& m);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool Reading() const { return ComponentState().Contains(csReading); }

  std::unique_ptr<TStringList> items_;
  std::vector<TQmGroupButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};
