#include "Menus.h"

#include <algorithm>

#include "Messages.h"

// --- Shortcuts ---------------------------------------------------------------------------------

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut s = key;
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

namespace {

struct KeyName {
  WORD Key;
  const char* Name;
};

const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyText(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F12) return "F" + IntToStr(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  return {};
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyText(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut mods = 0;
  std::string rest(text);
  for (bool found = true; found;) {
    found = false;
    for (auto [prefix, flag] :
         {std::pair{"Shift+", scShift}, std::pair{"Ctrl+", scCtrl}, std::pair{"Alt+", scAlt}}) {
      if (StartsText(prefix, rest)) {
        mods |= flag;
        rest = rest.substr(std::string_view(prefix).size());
        found = true;
      }
    }
  }
  for (int key = 1; key < 256; ++key)
    if (const std::string name = KeyText(static_cast<WORD>(key));
        !name.empty() && SameText(name, rest))
      return static_cast<TShortCut>(key | mods);
  return 0;
}

// --- TMenuItem ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TMenuItem, .Prop<&TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck>("AutoCheck")
                   .Prop<&TMenuItem::Bitmap, &TMenuItem::SetBitmap>("Bitmap")
                   .Prop<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption")
                   .Prop<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked")
                   .Prop<&TMenuItem::Default, &TMenuItem::SetDefault>("Default")
                   .Prop<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled")
                   .Prop<&TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex>("GroupIndex")
                   .Prop<&TMenuItem::Hint, &TMenuItem::SetHint>("Hint")
                   .Prop<&TMenuItem::ImageIndex, &TMenuItem::SetImageIndex>("ImageIndex")
                   .Prop<&TMenuItem::RadioItem, &TMenuItem::SetRadioItem>("RadioItem")
                   .Prop<&TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut")
                   .Prop<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible")
                   .Prop<&TMenuItem::OnClick, &TMenuItem::SetOnClick>("OnClick")
                   .Prop<&TMenuItem::OnDrawItem, &TMenuItem::SetOnDrawItem>("OnDrawItem")
                   .Prop<&TMenuItem::OnMeasureItem, &TMenuItem::SetOnMeasureItem>("OnMeasureItem"))

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), bitmap_(std::make_unique<TBitmap>()) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    item->Free();
  }
}

void TMenuItem::BeforeDestruction() {
  Destroying();
  if (parent_) parent_->Remove(this);
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    item->Free();
  }
  TComponent::BeforeDestruction();
}

void TMenuItem::Changed(std::string_view what) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  NotifyComponentObservers(this, oeChanged, what);
}

void TMenuItem::SetCaption(const std::string& v) {
  if (caption_ == v) return;
  caption_ = v;
  Changed("Text");
}

void TMenuItem::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  if (v && radioItem_) TurnSiblingsOff();
  Changed("Checked");
}

void TMenuItem::SetRadioItem(bool v) {
  if (radioItem_ == v) return;
  radioItem_ = v;
  if (checked_ && v) TurnSiblingsOff();
  Changed("Checked");
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_ &&
        sibling->checked_) {
      sibling->checked_ = false;
      sibling->Changed("Checked");
    }
}

void TMenuItem::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Changed("Enabled");
}

void TMenuItem::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed("Visible");
}

void TMenuItem::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed("Glyph");
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[index];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::MenuIndex() const {
  return parent_ ? parent_->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int v) {
  if (!parent_) return;
  TMenuItem* p = parent_;
  p->Remove(this);
  p->Insert(std::clamp(v, 0, p->Count()), this);
}

void TMenuItem::Add(TMenuItem* item) {
  Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  if (item->checked_ && item->radioItem_) item->TurnSiblingsOff();
  Changed("Items");
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  Changed("Items");
}

void TMenuItem::Clear() {
  while (!items_.empty()) items_.back()->Free();
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
  int underline = -1;
  const std::string wanted = StripAccelerator(caption, underline);
  for (TMenuItem* item : items_)
    if (SameText(StripAccelerator(item->caption_, underline), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(radioItem_ ? true : !checked_);
  onClick_(this);
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, bool selected) {
  if (onDrawItem_) {
    onDrawItem_(this, canvas, rect, selected);
    return;
  }
  canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas->FillRect(rect);
  canvas->Font()->SetColor(selected ? clHighlightText : clMenuText);
  TRect r = rect;
  r.Left += 16;
  DrawText(canvas, caption_, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  int underline = -1;
  const TSize size = canvas->TextExtent(StripAccelerator(caption_, underline));
  width = size.cx + 32;
  height = std::max(size.cy + 4, 19);
  onMeasureItem_(this, canvas, width, height);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

// --- TMenu -------------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TMenu, .Prop<&TMenu::Images, &TMenu::SetImages>("Images")
                             .Prop<&TMenu::OwnerDraw, &TMenu::SetOwnerDraw>("OwnerDraw"))
KXBR_DEFINE_CLASS(TMainMenu)

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  items_->Free();
}

void TMenu::SetImages(TCustomImageList* v) {
  images_ = v;
  if (v) v->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

static TMenuItem* FindShortCut(const TMenuItem* item, TShortCut shortCut) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (child->ShortCut() == shortCut) return child;
    if (TMenuItem* found = FindShortCut(child, shortCut)) return found;
  }
  return nullptr;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
  return shortCut ? FindShortCut(items_, shortCut) : nullptr;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TMenuItem* item = FindItemByShortCut(::ShortCut(key, shift));
  if (!item) return false;
  // The item and all its parents must be enabled.
  for (const TMenuItem* p = item; p; p = p->Parent())
    if (!p->Enabled()) return false;
  item->Click();
  return true;
}

// --- TPopupMenu --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TPopupMenu,
                  .Prop<&TPopupMenu::Alignment, &TPopupMenu::SetAlignment>("Alignment")
                      .Prop<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup")
                      .Prop<&TPopupMenu::OnPopup, &TPopupMenu::SetOnPopup>("OnPopup"))

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::SetPopupComponent(TComponent* v) {
  popupComponent_ = v;
  if (v) v->FreeNotification(this);
}

void TPopupMenu::Popup(int x, int y) {
  popupPoint_ = Point(x, y);
  ++popupCount_;
  onPopup_(this);
  NotifyComponentObservers(this, oeChanged, "Popup");
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}
