// Menus: menu items (checked, radio groups, shortcuts, owner drawing), main menus and popup
// menus. A popup menu is shown by announcing "Popup" to the observers (the view shows it and
// calls Click on the chosen item); headless, tests call Click themselves.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Types.h"

class TMenu;

// A key with its modifiers: the key code, plus scShift, scCtrl, scAlt.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+S", "F2", "Shift+Del"; "" for 0.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; 0 for text that names no key.
TShortCut TextToShortCut(std::string_view text);

using TMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
  KXBR_CLASS(TMenuItem, TComponent)

 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  // Checking a radio item unchecks the radio items of its group under the same parent.
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v) { default_ = v; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v) { shortCut_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(TBitmap* v) { bitmap_->Assign(v); }

  // The sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;  // raises EListError out of range
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void SetMenuIndex(int v);
  // Adds `item` (taken from its old parent).
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index);  // removes (does not free) the item at index
  void Clear();            // frees all sub-items
  int IndexOf(const TMenuItem* item) const;
  // The sub-item with that caption (accelerator marks ignored), or null.
  TMenuItem* Find(std::string_view caption) const;
  TMenu* GetParentMenu() const;

  // The user chose the item: AutoCheck toggles (a radio item checks), then OnClick.
  virtual void Click();
  // Owner drawing: OnDrawItem when assigned, else the caption.
  void DrawItem(TCanvas* canvas, const TRect& rect, bool selected);
  void MeasureItem(TCanvas* canvas, int& width, int& height);

  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }
  const TMenuDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(TMenuDrawItemEvent e) { onDrawItem_ = e; }
  const TMenuMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(TMenuMeasureItemEvent e) { onMeasureItem_ = e; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TMenu;
  void TurnSiblingsOff();
  void Changed(std::string_view what);

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool autoCheck_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  TShortCut shortCut_ = 0;
  int imageIndex_ = -1;
  std::string hint_;
  std::unique_ptr<TBitmap> bitmap_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  TNotifyEvent onClick_;
  TMenuDrawItemEvent onDrawItem_;
  TMenuMeasureItemEvent onMeasureItem_;
};

class TMenu : public TComponent {
  KXBR_CLASS(TMenu, TComponent)

 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v) { ownerDraw_ = v; }
  // Clicks the enabled item (anywhere in the tree) with that shortcut; false when none.
  bool IsShortCut(WORD key, TShiftState shift);
  // The item with that shortcut, or null.
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  bool ownerDraw_ = false;
};

class TMainMenu : public TMenu {
  KXBR_CLASS(TMainMenu, TMenu)

 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
};

KXBR_ENUM(TPopupAlignment, paLeft, paRight, paCenter)

class TPopupMenu : public TMenu {
  KXBR_CLASS(TPopupMenu, TMenu)

 public:
  explicit TPopupMenu(TComponent* owner);

  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  // The control the menu was last shown for (cleared when it is freed).
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* v);
  // Shows the menu at a screen point: OnPopup, then "Popup" is announced.
  virtual void Popup(int x, int y);
  TPoint PopupPoint() const { return popupPoint_; }
  int PopupCount() const { return popupCount_; }

  const TNotifyEvent& OnPopup() const { return onPopup_; }
  void SetOnPopup(TNotifyEvent e) { onPopup_ = e; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
  TPoint popupPoint_;
  int popupCount_ = 0;
  TNotifyEvent onPopup_;
};
