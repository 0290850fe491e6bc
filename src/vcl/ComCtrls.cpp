#include "ComCtrls.h"

#include <algorithm>

#include "CodePage.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "Paths.h"

namespace {

std::string Plain(std::string_view caption) {
  int underline = -1;
  return StripAccelerator(caption, underline);
}

}  // namespace

// --- TCustomTabControl -------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomTabControl,
    .Prop<&TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack>("HotTrack")
        .Prop<&TCustomTabControl::Images, &TCustomTabControl::SetImages>("Images")
        .Prop<&TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine>("MultiLine")
        .Prop<&TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw>("OwnerDraw")
        .Prop<&TCustomTabControl::Style, &TCustomTabControl::SetStyle>("Style")
        .Prop<&TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight>("TabHeight")
        .Prop<&TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition>("TabPosition")
        .Prop<&TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth>("TabWidth")
        .Prop<&TCustomTabControl::OnChange, &TCustomTabControl::SetOnChange>("OnChange")
        .Prop<&TCustomTabControl::OnChanging, &TCustomTabControl::SetOnChanging>("OnChanging")
        .Prop<&TCustomTabControl::OnDrawTab, &TCustomTabControl::SetOnDrawTab>("OnDrawTab"))

TCustomTabControl::TCustomTabControl(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csDoubleClicks, csOpaque, csAcceptsControls};
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TCustomTabControl::SetOwnerDraw(bool v) {
  if (ownerDraw_ == v) return;
  ownerDraw_ = v;
  RecreateWnd();
}

bool TCustomTabControl::IsOwnerDrawn() const {
  auto* self = const_cast<TCustomTabControl*>(this);
  self->HandleNeeded();
  return ownerDraw_ || (WindowParams().Style & TCS_OWNERDRAWFIXED) != 0;
}

void TCustomTabControl::SetTabHeight(int v) {
  if (tabHeight_ == v || v < 0) return;
  tabHeight_ = v;
  Realign();
  Invalidate();
}

void TCustomTabControl::SetTabWidth(int v) {
  if (tabWidth_ == v || v < 0) return;
  tabWidth_ = v;
  Invalidate();
}

void TCustomTabControl::SetTabPosition(TTabPosition v) {
  if (tabPosition_ == v) return;
  tabPosition_ = v;
  Realign();
  Invalidate();
}

void TCustomTabControl::SetImages(TCustomImageList* v) {
  images_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomTabControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

TRect TCustomTabControl::TabRect(int tabIndex) const {
  const int count = TabCount();
  if (tabIndex < 0 || tabIndex >= count) return TRect{};
  const int h = tabHeight_ > 0 ? tabHeight_ : TextExtentOf("Wg").cy + 6;
  const int imageWidth = images_ ? images_->Width() + 3 : 0;
  auto natural = [&](int i) { return TextExtentOf(Plain(TabCaption(i))).cx + 12 + imageWidth; };
  const_cast<TCustomTabControl*>(this)->HandleNeeded();
  const bool fixed = tabWidth_ > 0 || (WindowParams().Style & TCS_FIXEDWIDTH) != 0;
  int fixedWidth = tabWidth_;
  if (fixed && fixedWidth == 0)
    for (int i = 0; i < count; ++i) fixedWidth = std::max(fixedWidth, natural(i));
  int x = 2;
  for (int i = 0; i < tabIndex; ++i) x += fixed ? fixedWidth : natural(i);
  const int w = fixed ? fixedWidth : natural(tabIndex);
  const int y = tabPosition_ == tpBottom ? Height() - 2 - h : 2;
  return Rect(x, y, x + w, y + h);
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const {
  for (int i = 0; i < TabCount(); ++i)
    if (TabRect(i).Contains(Point(x, y))) return i;
  return -1;
}

void TCustomTabControl::AdjustClientRect(TRect& rect) const {
  const int h = tabHeight_ > 0 ? tabHeight_ : TextExtentOf("Wg").cy + 6;
  if (tabPosition_ == tpBottom)
    rect.Bottom -= h + 2;
  else
    rect.Top += h + 2;
  rect = InflateRect(rect, -4, -4);
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  onChanging_(this, allow);
  return allow;
}

void TCustomTabControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
  if (onDrawTab_)
    onDrawTab_(this, tabIndex, rect, active);
  else
    Canvas()->FillRect(rect);
}

void TCustomTabControl::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  const bool ownerDrawn = IsOwnerDrawn();
  const int selected = SelectedTab();
  for (int i = 0; i < TabCount(); ++i) {
    const TRect r = TabRect(i);
    if (ownerDrawn) {
      DrawTab(i, r, i == selected);
      continue;
    }
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(r);
    canvas->Brush()->SetStyle(bsSolid);
    TRect textRect = r;
    DrawText(canvas, TabCaption(i), textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

// --- TTabSheet ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TTabSheet,
                  .Prop<&TTabSheet::Caption, &TTabSheet::SetCaption>("Caption")
                      .Prop<&TTabSheet::Highlighted, &TTabSheet::SetHighlighted>("Highlighted")
                      .Prop<&TTabSheet::ImageIndex, &TTabSheet::SetImageIndex>("ImageIndex")
                      .Prop<&TTabSheet::PageControl, &TTabSheet::SetPageControl>("PageControl")
                      .Prop<&TTabSheet::PageIndex, &TTabSheet::SetPageIndex>("PageIndex")
                      .Prop<&TTabSheet::TabVisible, &TTabSheet::SetTabVisible>("TabVisible")
                      .Prop<&TTabSheet::OnHide, &TTabSheet::SetOnHide>("OnHide")
                      .Prop<&TTabSheet::OnShow, &TTabSheet::SetOnShow>("OnShow")
                      .Message<&TTabSheet::CMTextChangedSheet>(CM_TEXTCHANGED))

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = controlStyle_ + TControlStyle{csAcceptsControls, csNoDesignVisible};
  SetAlign(alClient);
  SetVisible(false);
  SetColor(clBtnFace);
}

void TTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* v) {
  if (pageControl_ == v) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (v)
    v->InsertPage(this);
  else
    SetParent(nullptr);
}

void TTabSheet::SetParentComponent(TComponent* parent) {
  if (auto* pc = dynamic_cast<TPageControl*>(parent))
    SetPageControl(pc);
  else
    TWinControl::SetParentComponent(parent);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (!pageControl_) return;
  auto& pages = pageControl_->pages_;
  const int old = PageIndex();
  v = std::clamp(v, 0, static_cast<int>(pages.size()) - 1);
  if (v == old) return;
  pages.erase(pages.begin() + old);
  pages.insert(pages.begin() + v, this);
  pageControl_->Changed("Tabs");
}

int TTabSheet::TabIndex() const {
  if (!tabVisible_ || !pageControl_) return -1;
  int index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool v) {
  if (tabVisible_ == v) return;
  const int old = TabIndex();
  tabVisible_ = v;
  if (pageControl_) pageControl_->TabVisibilityChanged(this, old);
}

void TTabSheet::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (pageControl_) pageControl_->Invalidate();
}

void TTabSheet::CMTextChangedSheet(TMessage& m) {
  TControl::CMTextChanged(m);
  if (pageControl_) pageControl_->Changed("Tabs");
}

void TTabSheet::ShowingChanged() {
  try {
    if (Showing())
      onShow_(this);
    else
      onHide_(this);
  } catch (...) {
    Application()->HandleException(this);
  }
}

// --- TPageControl ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TPageControl,
                  .Prop<&TPageControl::ActivePage, &TPageControl::SetActivePage>("ActivePage")
                      .Message<&TPageControl::CMDialogKeyPages>(CM_DIALOGKEY)
                      .Message<&TPageControl::WMGetDlgCode>(WM_GETDLGCODE))

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

void TPageControl::BeforeDestruction() {
  Destroying();
  activePage_ = nullptr;
  TCustomTabControl::BeforeDestruction();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return pages_[index];
}

void TPageControl::InsertPage(TTabSheet* page) {
  if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
  pages_.push_back(page);
  page->pageControl_ = this;
  if (page->Parent() != this) page->SetParent(this);
  if (page != activePage_) page->SetVisible(false);
  Changed("Tabs");
  if (!activePage_ && page->TabVisible()) ChangeActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  const auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = nullptr;
  if (page == activePage_ && !IsDestroying()) {
    next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
  }
  pages_.erase(std::find(pages_.begin(), pages_.end(), page));
  page->pageControl_ = nullptr;
  if (page == activePage_) {
    if (IsDestroying()) {
      activePage_ = nullptr;
    } else {
      ChangeActivePage(next);
      if (activePage_ == page) activePage_ = next;
    }
  }
  if (page->Parent() == this && !page->ComponentState().Contains(csDestroying))
    page->SetParent(nullptr);
  Changed("Tabs");
}

void TPageControl::ControlListChanged(TControl* control, bool inserting) {
  auto* page = dynamic_cast<TTabSheet*>(control);
  if (!page) return;
  if (inserting)
    InsertPage(page);
  else if (page->pageControl_ == this)
    RemovePage(page);
}

int TPageControl::ActivePageIndex() const {
  if (!activePage_) return -1;
  return static_cast<int>(std::find(pages_.begin(), pages_.end(), activePage_) - pages_.begin());
}

void TPageControl::SetActivePageIndex(int v) {
  SetActivePage(v >= 0 && v < PageCount() ? pages_[v] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) return;
  ChangeActivePage(page);
}

int TPageControl::TabIndex() const {
  return activePage_ ? activePage_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int v) {
  if (TTabSheet* page = PageOfTab(v)) ChangeActivePage(page);
}

int TPageControl::TabCount() const {
  return static_cast<int>(std::count_if(pages_.begin(), pages_.end(),
                                        [](const TTabSheet* p) { return p->TabVisible(); }));
}

TTabSheet* TPageControl::PageOfTab(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (TTabSheet* page : pages_)
    if (page->TabVisible() && tabIndex-- == 0) return page;
  return nullptr;
}

std::string TPageControl::TabCaption(int tabIndex) const {
  TTabSheet* page = PageOfTab(tabIndex);
  return page ? page->Caption() : std::string();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward,
                                      bool checkTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  int start = static_cast<int>(std::find(pages_.begin(), pages_.end(), current) - pages_.begin());
  if (start == count) start = goForward ? count - 1 : 0;
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i == 0 ? count : i) - 1;
    if (!checkTabVisible || pages_[i]->TabVisible()) return pages_[i];
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (!page || page == activePage_ || !CanChange()) return;
  ChangeActivePage(page);
  Change();
}

void TPageControl::ClickTab(int tabIndex) {
  TTabSheet* page = PageOfTab(tabIndex);
  if (!page || page == activePage_ || !CanChange()) return;
  ChangeActivePage(page);
  Change();
}

bool TPageControl::ChangeActivePage(TTabSheet* page) {
  if (activePage_ == page) return true;
  TCustomForm* form = GetParentForm(this);
  // The focus leaves the old page first (its exit events); a handler that takes it back
  // keeps the old page.
  if (form && activePage_ && activePage_->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(activePage_);
    if (form->ActiveControl() != activePage_) {
      Changed("ActivePage");
      return false;
    }
  }
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    if (form && activePage_ && form->ActiveControl() == activePage_)
      form->SetActiveControl(page->CanFocus() ? static_cast<TWinControl*>(page) : this);
  }
  TTabSheet* old = activePage_;
  activePage_ = page;
  if (old) old->SetVisible(false);
  if (form && activePage_ && form->ActiveControl() == activePage_) activePage_->SelectFirst();
  Changed("ActivePage");
  Invalidate();
  return true;
}

void TPageControl::TabVisibilityChanged(TTabSheet* page, int oldTabIndex) {
  Changed("Tabs");
  if (page == activePage_ && !page->TabVisible()) {
    const int count = TabCount();
    ChangeActivePage(count == 0 ? nullptr : PageOfTab(std::min(oldTabIndex, count - 1)));
  } else if (!activePage_ && page->TabVisible()) {
    ChangeActivePage(page);
  }
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  if (!activePage_)
    if (TTabSheet* first = PageOfTab(0)) ChangeActivePage(first);
}

void TPageControl::CMDialogKeyPages(TMessage& m) {
  const TShiftState shift = KeyboardState();
  if (m.WParam == VK_TAB && shift.Contains(ssCtrl) &&
      (Focused() || (FocusedControl() && ContainsControl(FocusedControl())))) {
    SelectNextPage(!shift.Contains(ssShift));
    m.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(m);
}

void TPageControl::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS;
}

void TPageControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      const TPoint p = LParamToPoint(m.LParam);
      const int tab = IndexOfTabAt(p.X, p.Y);
      if (tab >= 0) ClickTab(tab);
      return;
    }
    case WM_KEYDOWN:
      if (m.WParam == VK_LEFT && TabIndex() > 0) ClickTab(TabIndex() - 1);
      if (m.WParam == VK_RIGHT && TabIndex() + 1 < TabCount()) ClickTab(TabIndex() + 1);
      return;
    default:
      TCustomTabControl::DefaultHandler(m);
  }
}

// --- TListItem ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TListItem)

TListItem::TListItem(TListItems* owner)
    : owner_(owner), subItems_(std::make_unique<TStringList>()) {
  subItems_->SetOnChange(MethodOf<&TListItem::SubItemsChanged>(this));
}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const {
  return owner_ ? owner_->Owner() : nullptr;
}

int TListItem::Index() const {
  return owner_ ? owner_->IndexOf(this) : -1;
}

void TListItem::SetCaption(const std::string& v) {
  if (caption_ == v) return;
  TCustomListView* lv = ListView();
  if (lv && !lv->ItemChanging(this, ctText)) return;
  caption_ = v;
  if (lv) {
    lv->ItemChanged(this, ctText);
    lv->SortIfNeeded(true, false);
  }
}

void TListItem::SubItemsChanged(TObject*) {
  if (TCustomListView* lv = ListView()) lv->ItemsChanged();
}

void TListItem::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  TCustomListView* lv = ListView();
  if (lv && !lv->ItemChanging(this, ctImage)) return;
  imageIndex_ = v;
  if (lv) lv->ItemChanged(this, ctImage);
}

void TListItem::SetData(void* v) {
  data_ = v;
  if (TCustomListView* lv = ListView()) lv->SortIfNeeded(false, true);
}

void TListItem::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  if (TCustomListView* lv = ListView()) lv->ItemsChanged();
}

void TListItem::SetSelected(bool v) {
  TCustomListView* lv = ListView();
  if (!lv) {
    selected_ = v;
    return;
  }
  if (v && !lv->MultiSelect())
    for (TListItem* other : owner_->items_)
      if (other != this && other->selected_) lv->ChangeItemState(other, false, other->focused_);
  lv->ChangeItemState(this, v, focused_);
}

void TListItem::SetFocused(bool v) {
  TCustomListView* lv = ListView();
  if (!lv) {
    focused_ = v;
    return;
  }
  if (v)
    for (TListItem* other : owner_->items_)
      if (other != this && other->focused_) lv->ChangeItemState(other, other->selected_, false);
  lv->ChangeItemState(this, selected_, v);
}

std::string TListItem::ColumnText(int column) const {
  if (column == 0) return caption_;
  if (column < 0 || column > subItems_->Count()) return {};
  return subItems_->Strings(column - 1);
}

void TListItem::Delete() {
  if (owner_) owner_->Delete(Index());
}

bool TListItem::EditCaption() {
  TCustomListView* lv = ListView();
  return lv && lv->StartEditing(this);
}

void TListItem::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TListItem*>(source)) {
    SetCaption(other->caption_);
    subItems_->Assign(other->subItems_.get());
    SetImageIndex(other->imageIndex_);
    stateIndex_ = other->stateIndex_;
    data_ = other->data_;
    checked_ = other->checked_;
    return;
  }
  TPersistent::Assign(source);
}

// --- TListItems --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TListItems)

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() {
  for (TListItem* item : items_) {
    item->owner_ = nullptr;
    item->Free();
  }
}

TPersistent* TListItems::GetOwner() const {
  return owner_;
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[index];
}

int TListItems::IndexOf(const TListItem* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TListItem* TListItems::Add() {
  return Insert(Count());
}

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  auto* item = new TListItem(this);
  items_.insert(items_.begin() + index, item);
  owner_->ItemInserted(item);
  return item;
}

void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  owner_->ItemDeleting(item);
  Remove(item);
  item->owner_ = nullptr;
  item->Free();
  owner_->ItemsChanged();
}

void TListItems::Remove(TListItem* item) {
  std::erase(items_, item);
}

void TListItems::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) Delete(Count() - 1);
  EndUpdate();
}

void TListItems::BeginUpdate() {
  ++updateCount_;
}

void TListItems::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) owner_->ItemsChanged();
}

void TListItems::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TListItems*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TListItem* item : other->items_) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// --- Columns -----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TListColumn,
                  .Prop<&TListColumn::Alignment, &TListColumn::SetAlignment>("Alignment")
                      .Prop<&TListColumn::AutoSize, &TListColumn::SetAutoSize>("AutoSize")
                      .Prop<&TListColumn::Caption, &TListColumn::SetCaption>("Caption")
                      .Prop<&TListColumn::ImageIndex, &TListColumn::SetImageIndex>("ImageIndex")
                      .Prop<&TListColumn::MaxWidth, &TListColumn::SetMaxWidth>("MaxWidth")
                      .Prop<&TListColumn::MinWidth, &TListColumn::SetMinWidth>("MinWidth")
                      .Prop<&TListColumn::Tag, &TListColumn::SetTag>("Tag")
                      .Prop<&TListColumn::Width, &TListColumn::SetWidth>("Width"))
KXBR_DEFINE_CLASS(TListColumns)

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

TCustomListView* TListColumn::ListView() const {
  auto* columns = dynamic_cast<TListColumns*>(Collection());
  return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetCaption(const std::string& v) {
  if (caption_ == v) return;
  caption_ = v;
  Changed(false);
}

void TListColumn::SetWidth(int v) {
  if (width_ == v) return;
  width_ = v;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Changed(false);
}

int TListColumn::DisplayWidth() const {
  TCustomListView* lv = ListView();
  return lv ? lv->ColumnDisplayWidth(Index()) : std::max(width_, 0);
}

void TListColumn::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TListColumn*>(source)) {
    caption_ = other->caption_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    autoSize_ = other->autoSize_;
    minWidth_ = other->minWidth_;
    maxWidth_ = other->maxWidth_;
    imageIndex_ = other->imageIndex_;
    tag_ = other->tag_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

TListColumns::TListColumns(TCustomListView* owner)
    : TOwnedCollection(owner, TListColumn::StaticClass()), owner_(owner) {}

void TListColumns::Update(TCollectionItem*) {
  owner_->ColumnsChanged();
}

// --- TCustomListView ---------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomListView,
    .Prop<&TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes>("Checkboxes")
        .Prop<&TCustomListView::ColumnClick, &TCustomListView::SetColumnClick>("ColumnClick")
        .Prop<&TCustomListView::Columns, &TCustomListView::SetColumns>("Columns")
        .Prop<&TCustomListView::GridLines, &TCustomListView::SetGridLines>("GridLines")
        .Prop<&TCustomListView::HideSelection, &TCustomListView::SetHideSelection>("HideSelection")
        .Prop<&TCustomListView::Items, &TCustomListView::SetItems>("Items")
        .Prop<&TCustomListView::LargeImages, &TCustomListView::SetLargeImages>("LargeImages")
        .Prop<&TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect>("MultiSelect")
        .Prop<&TCustomListView::ReadOnly, &TCustomListView::SetReadOnly>("ReadOnly")
        .Prop<&TCustomListView::RowSelect, &TCustomListView::SetRowSelect>("RowSelect")
        .Prop<&TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders>(
            "ShowColumnHeaders")
        .Prop<&TCustomListView::SmallImages, &TCustomListView::SetSmallImages>("SmallImages")
        .Prop<&TCustomListView::SortType, &TCustomListView::SetSortType>("SortType")
        .Prop<&TCustomListView::StateImages, &TCustomListView::SetStateImages>("StateImages")
        .Prop<&TCustomListView::ViewStyle, &TCustomListView::SetViewStyle>("ViewStyle")
        .Prop<&TCustomListView::OnChange, &TCustomListView::SetOnChange>("OnChange")
        .Prop<&TCustomListView::OnChanging, &TCustomListView::SetOnChanging>("OnChanging")
        .Prop<&TCustomListView::OnColumnClick, &TCustomListView::SetOnColumnClick>("OnColumnClick")
        .Prop<&TCustomListView::OnCompare, &TCustomListView::SetOnCompare>("OnCompare")
        .Prop<&TCustomListView::OnDeletion, &TCustomListView::SetOnDeletion>("OnDeletion")
        .Prop<&TCustomListView::OnEdited, &TCustomListView::SetOnEdited>("OnEdited")
        .Prop<&TCustomListView::OnEditing, &TCustomListView::SetOnEditing>("OnEditing")
        .Prop<&TCustomListView::OnInsert, &TCustomListView::SetOnInsert>("OnInsert")
        .Prop<&TCustomListView::OnSelectItem, &TCustomListView::SetOnSelectItem>("OnSelectItem")
        .Message<&TCustomListView::WMGetDlgCode>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TListView)

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TListItems>(this)),
      columns_(std::make_unique<TListColumns>(this)) {
  SetBounds(0, 0, 250, 150);
  SetTabStop(true);
  focusOnClick_ = true;
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::BeforeDestruction() {
  Destroying();
  editing_ = nullptr;
  TWinControl::BeforeDestruction();
}

void TCustomListView::SetViewStyle(TViewStyle v) {
  if (viewStyle_ == v) return;
  viewStyle_ = v;
  RecreateWnd();
  Changed("ViewStyle");
}

void TCustomListView::SetMultiSelect(bool v) {
  if (multiSelect_ == v) return;
  multiSelect_ = v;
  // A single-select list keeps its first selected item only.
  if (!v) {
    bool first = true;
    for (TListItem* item : items_->items_)
      if (item->selected_) {
        if (!first) ChangeItemState(item, false, item->focused_);
        first = false;
      }
  }
  RecreateWnd();
}

void TCustomListView::SetRowSelect(bool v) {
  if (rowSelect_ == v) return;
  rowSelect_ = v;
  RecreateWnd();
}

void TCustomListView::SetReadOnly(bool v) {
  if (readOnly_ == v) return;
  readOnly_ = v;
  Changed("ReadOnly");
}

void TCustomListView::SetShowColumnHeaders(bool v) {
  if (showColumnHeaders_ == v) return;
  showColumnHeaders_ = v;
  Changed("Columns");
}

void TCustomListView::SetHideSelection(bool v) {
  if (hideSelection_ == v) return;
  hideSelection_ = v;
  Invalidate();
}

void TCustomListView::SetCheckboxes(bool v) {
  if (checkboxes_ == v) return;
  checkboxes_ = v;
  RecreateWnd();
}

void TCustomListView::SetGridLines(bool v) {
  if (gridLines_ == v) return;
  gridLines_ = v;
  Invalidate();
}

void TCustomListView::SetSortType(TSortType v) {
  if (sortType_ == v) return;
  sortType_ = v;
  if (v != stNone) AlphaSort();
}

static void WatchImages(TComponent* self, TCustomImageList*& field, TCustomImageList* v) {
  field = v;
  if (v) v->FreeNotification(self);
}

void TCustomListView::SetLargeImages(TCustomImageList* v) {
  WatchImages(this, largeImages_, v);
}

void TCustomListView::SetSmallImages(TCustomImageList* v) {
  WatchImages(this, smallImages_, v);
}

void TCustomListView::SetStateImages(TCustomImageList* v) {
  WatchImages(this, stateImages_, v);
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == largeImages_) largeImages_ = nullptr;
  if (component == smallImages_) smallImages_ = nullptr;
  if (component == stateImages_) stateImages_ = nullptr;
}

// The platform's order for one state change: OnChanging (may refuse), the change,
// OnChange, then OnSelectItem when the selection flipped.
bool TCustomListView::ChangeItemState(TListItem* item, bool selected, bool focused) {
  if (item->selected_ == selected && item->focused_ == focused) return true;
  if (!ItemChanging(item, ctState)) return false;
  const bool wasSelected = item->selected_;
  item->selected_ = selected;
  item->focused_ = focused;
  onChange_(this, item, ctState);
  if (wasSelected != selected) onSelectItem_(this, item, selected);
  Changed("Selection");
  return true;
}

bool TCustomListView::ItemChanging(TListItem* item, TItemChange change) {
  bool allow = true;
  onChanging_(this, item, change, allow);
  return allow;
}

void TCustomListView::ItemChanged(TListItem* item, TItemChange change) {
  onChange_(this, item, change);
  ItemsChanged();
}

void TCustomListView::ItemInserted(TListItem* item) {
  onInsert_(this, item);
  ItemsChanged();
}

void TCustomListView::ItemDeleting(TListItem* item) {
  if (editing_ == item) editing_ = nullptr;
  onDeletion_(this, item);
}

void TCustomListView::ItemsChanged() {
  if (items_->UpdateCount() == 0) Changed("Items");
}

void TCustomListView::ColumnsChanged() {
  Changed("Columns");
}

TListItem* TCustomListView::Selected() const {
  for (TListItem* item : items_->items_)
    if (item->selected_) return item;
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  for (TListItem* other : items_->items_)
    if (other != item && other->selected_) ChangeItemState(other, false, other->focused_);
  if (item) ChangeItemState(item, true, item->focused_);
}

int TCustomListView::SelCount() const {
  return static_cast<int>(std::count_if(items_->items_.begin(), items_->items_.end(),
                                        [](const TListItem* i) { return i->selected_; }));
}

TListItem* TCustomListView::ItemFocused() const {
  for (TListItem* item : items_->items_)
    if (item->focused_) return item;
  return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
  if (item)
    item->SetFocused(true);
  else if (TListItem* old = ItemFocused())
    ChangeItemState(old, old->selected_, false);
}

int TCustomListView::ItemIndex() const {
  TListItem* item = Selected();
  return item ? item->Index() : -1;
}

void TCustomListView::SetItemIndex(int v) {
  SetSelected(v >= 0 && v < items_->Count() ? items_->Item(v) : nullptr);
}

void TCustomListView::ClearSelection() {
  SetSelected(nullptr);
}

void TCustomListView::SelectAll() {
  if (!multiSelect_) return;
  for (TListItem* item : items_->items_) ChangeItemState(item, true, item->focused_);
}

bool TCustomListView::AlphaSort() {
  return CustomSort(nullptr, 0);
}

bool TCustomListView::CustomSort(const TLVCompare& compare, LPARAM data) {
  if (sorting_) return false;
  sorting_ = true;
  auto& list = items_->items_;
  try {
    std::stable_sort(list.begin(), list.end(), [&](TListItem* a, TListItem* b) {
      if (compare) return compare(a, b, data) < 0;
      if (onCompare_) {
        int result = 0;
        onCompare_(this, a, b, static_cast<int>(data), result);
        return result < 0;
      }
      return AnsiCompareStr(a->caption_, b->caption_) < 0;
    });
  } catch (...) {
    sorting_ = false;
    throw;
  }
  sorting_ = false;
  ItemsChanged();
  return true;
}

void TCustomListView::SortIfNeeded(bool byText, bool byData) {
  if ((byText && (sortType_ == stText || sortType_ == stBoth)) ||
      (byData && (sortType_ == stData || sortType_ == stBoth)))
    AlphaSort();
}

int TCustomListView::RowHeight() const {
  int h = TextExtentOf("Wg").cy + 3;
  if (smallImages_ && viewStyle_ != vsIcon) h = std::max(h, smallImages_->Height() + 1);
  return h;
}

int TCustomListView::HeaderHeight() const {
  return viewStyle_ == vsReport && showColumnHeaders_ ? TextExtentOf("Wg").cy + 8 : 0;
}

int TCustomListView::ColumnDisplayWidth(int index) const {
  if (index < 0 || index >= columns_->Count()) return 0;
  const int width = columns_->Items(index)->Width();
  if (width >= 0) return width;
  const int headerFit = TextExtentOf(columns_->Items(index)->Caption()).cx + 12;
  if (width == -2 && index == columns_->Count() - 1) {
    int rest = ClientWidth();
    for (int i = 0; i < index; ++i) rest -= ColumnDisplayWidth(i);
    if (rest > headerFit) return rest;
  }
  if (width == -2) return headerFit;
  int widest = 0;
  for (TListItem* item : items_->items_)
    widest = std::max(widest, TextExtentOf(item->ColumnText(index)).cx);
  return widest + 12;
}

TRect TCustomListView::ItemRect(int index) const {
  const int top = HeaderHeight() + index * RowHeight();
  int right = ClientWidth();
  if (viewStyle_ == vsReport && columns_->Count() > 0) {
    right = 0;
    for (int i = 0; i < columns_->Count(); ++i) right += ColumnDisplayWidth(i);
  }
  return Rect(0, top, right, top + RowHeight());
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
  const int h = RowHeight();
  if (y < HeaderHeight() || x < 0 || h <= 0) return nullptr;
  const int index = (y - HeaderHeight()) / h;
  if (index >= items_->Count()) return nullptr;
  const TRect r = ItemRect(index);
  int right = r.Right;
  if (viewStyle_ == vsReport && !rowSelect_ && columns_->Count() > 0) right = ColumnDisplayWidth(0);
  return x < right ? items_->Item(index) : nullptr;
}

TListColumn* TCustomListView::ColumnAtHeader(int x) const {
  if (HeaderHeight() == 0) return nullptr;
  int left = 0;
  for (int i = 0; i < columns_->Count(); ++i) {
    const int w = ColumnDisplayWidth(i);
    if (x >= left && x < left + w) return columns_->Items(i);
    left += w;
  }
  return nullptr;
}

void TCustomListView::SelectRange(int from, int to, bool keepOthers) {
  const int lo = std::min(from, to);
  const int hi = std::max(from, to);
  for (int i = 0; i < items_->Count(); ++i) {
    TListItem* item = items_->Item(i);
    const bool inRange = i >= lo && i <= hi;
    if (inRange || !keepOthers) ChangeItemState(item, inRange, item->focused_);
  }
}

void TCustomListView::ClickItem(TListItem* item, TShiftState shift) {
  if (!item) {
    // Empty space deselects (not with Ctrl in a multi-select list).
    if (!(multiSelect_ && shift.Contains(ssCtrl))) SetSelected(nullptr);
    return;
  }
  const int index = item->Index();
  if (multiSelect_ && shift.Contains(ssShift) && anchor_ >= 0 && anchor_ < items_->Count()) {
    SelectRange(anchor_, index, shift.Contains(ssCtrl));
  } else if (multiSelect_ && shift.Contains(ssCtrl)) {
    ChangeItemState(item, !item->selected_, item->focused_);
    anchor_ = index;
  } else {
    for (TListItem* other : items_->items_)
      if (other != item && other->selected_) ChangeItemState(other, false, false);
    anchor_ = index;
    ChangeItemState(item, true, true);
  }
  item->SetFocused(true);
}

void TCustomListView::ClickColumn(TListColumn* column) {
  if (column && columnClick_) onColumnClick_(this, column);
}

bool TCustomListView::StartEditing(TListItem* item) {
  if (readOnly_ || !item || item->ListView() != this) return false;
  bool allow = true;
  onEditing_(this, item, allow);
  if (!allow) return false;
  editing_ = item;
  Changed("Editing");
  return true;
}

void TCustomListView::EndLabelEdit(const std::string& text, bool accept) {
  TListItem* item = editing_;
  if (!item) return;
  editing_ = nullptr;
  Changed("Editing");
  if (!accept) return;
  std::string s = text;
  onEdited_(this, item, s);
  item->SetCaption(s);
}

void TCustomListView::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListView::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      TWinControl::DefaultHandler(m);
      const TPoint p = LParamToPoint(m.LParam);
      if (p.Y < HeaderHeight()) {
        ClickColumn(ColumnAtHeader(p.X));
        return;
      }
      ClickItem(GetItemAt(p.X, p.Y), KeyboardState());
      return;
    }
    case WM_KEYDOWN: {
      const TShiftState shift = KeyboardState();
      TListItem* focused = ItemFocused();
      const int count = items_->Count();
      int target = -1;
      switch (m.WParam) {
        case VK_DOWN:
          target = focused ? std::min(focused->Index() + 1, count - 1) : 0;
          break;
        case VK_UP:
          target = focused ? std::max(focused->Index() - 1, 0) : 0;
          break;
        case VK_HOME:
          target = 0;
          break;
        case VK_END:
          target = count - 1;
          break;
        case VK_F2:
          if (focused) StartEditing(focused);
          return;
        default:
          return;
      }
      if (target >= 0 && target < count) ClickItem(items_->Item(target), shift);
      return;
    }
    default:
      TWinControl::DefaultHandler(m);
  }
}

// --- Tool bars ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TToolButton,
    .Prop<&TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp>("AllowAllUp")
        .Prop<&TToolButton::Caption, &TToolButton::SetCaption>("Caption")
        .Prop<&TToolButton::Down, &TToolButton::SetDown>("Down")
        .Prop<&TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu>("DropdownMenu")
        .Prop<&TToolButton::Grouped, &TToolButton::SetGrouped>("Grouped")
        .Prop<&TToolButton::ImageIndex, &TToolButton::SetImageIndex>("ImageIndex")
        .Prop<&TToolButton::Indeterminate, &TToolButton::SetIndeterminate>("Indeterminate")
        .Prop<&TToolButton::Marked, &TToolButton::SetMarked>("Marked")
        .Prop<&TToolButton::Style, &TToolButton::SetStyle>("Style")
        .Prop<&TToolButton::Wrap, &TToolButton::SetWrap>("Wrap"))

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const {
  return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetParent(TWinControl* parent) {
  TGraphicControl::SetParent(parent);
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (style_ == v) return;
  style_ = v;
  if (v == tbsSeparator || v == tbsDivider) SetWidth(8);
  if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
  Invalidate();
}

void TToolButton::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed("Glyph");
}

void TToolButton::SetDown(bool v) {
  if (down_ == v) return;
  if (!v && grouped_ && !allowAllUp_) return;  // one of a group stays down
  down_ = v;
  if (v && grouped_)
    if (TWinControl* parent = Parent())
      for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TToolButton*>(parent->Controls(i));
            other && other != this && other->grouped_ && other->down_) {
          other->down_ = false;
          other->Changed("Down");
        }
  Changed("Down");
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  dropdownMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::Click() {
  if (style_ == tbsCheck) SetDown(grouped_ ? (allowAllUp_ ? !down_ : true) : !down_);
  TGraphicControl::Click();
}

bool TToolButton::CheckMenuDropdown() {
  if (!dropdownMenu_) return false;
  dropdownMenu_->SetPopupComponent(this);
  const TPoint p = ClientToScreen(Point(0, Height()));
  dropdownMenu_->Popup(p.X, p.Y);
  return true;
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !dropdownMenu_) return;
  // A drop-down button opens its menu from the arrow; a plain one with a menu from anywhere.
  if (style_ == tbsButton || (style_ == tbsDropDown && x >= Width() - 12)) {
    controlState_.Exclude(csClicked);
    CheckMenuDropdown();
  }
}

void TToolButton::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(ClientRect());
  // A button held down shows the platform's checked pattern.
  if (down_)
    for (int y = 0; y < Height(); ++y)
      for (int x = (y & 1); x < Width(); x += 2) canvas->SetPixels(x, y, clBtnHighlight);
  if (style_ == tbsSeparator || style_ == tbsDivider) return;
  TToolBar* bar = ToolBar();
  // A drop-down button keeps its right 12 pixels for the arrow.
  TRect face = ClientRect();
  if (style_ == tbsDropDown) face.Right -= 12;
  const bool list = bar && bar->List() && bar->ShowCaptions();
  const bool hasImage =
      bar && bar->Images() && imageIndex_ >= 0 && imageIndex_ < bar->Images()->Count();
  int textLeft = face.Left + 4;
  if (hasImage) {
    const int w = bar->Images()->Width();
    const int x = list ? face.Left + 4 : (face.Width() - w) / 2;
    const int y = list ? (face.Height() - bar->Images()->Height()) / 2 : 3;
    bar->Images()->Draw(canvas, x, y, imageIndex_, IsEnabledInTree());
    if (list) textLeft = x + w + 2;
  }
  if (bar && bar->ShowCaptions()) {
    TRect r = face;
    if (list) {
      r.Left = textLeft;
      DrawText(canvas, Caption(), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    } else {
      r.Top = r.Bottom - canvas->TextHeight("Wg") - 3;
      DrawText(canvas, Caption(), r, DT_CENTER | DT_SINGLELINE);
    }
  }
  if (style_ == tbsDropDown) {
    canvas->Pen()->SetColor(IsEnabledInTree() ? clBtnText : clGrayText);
    const int cx = face.Right + 6;
    const int cy = Height() / 2 - 1;
    for (int i = 0; i < 3; ++i) {
      canvas->MoveTo(cx - 2 + i, cy + i);
      canvas->LineTo(cx + 3 - i, cy + i);
    }
  }
  if (down_) {
    TRect frame = ClientRect();
    Frame3D(canvas, frame, clBtnShadow, clBtnHighlight, 1);
  }
}

KXBR_DEFINE_CLASS(TToolBar,
                  .Prop<&TToolBar::ButtonHeight, &TToolBar::SetButtonHeight>("ButtonHeight")
                      .Prop<&TToolBar::ButtonWidth, &TToolBar::SetButtonWidth>("ButtonWidth")
                      .Prop<&TToolBar::Caption, &TToolBar::SetCaption>("Caption")
                      .Prop<&TToolBar::Flat, &TToolBar::SetFlat>("Flat")
                      .Prop<&TToolBar::Images, &TToolBar::SetImages>("Images")
                      .Prop<&TToolBar::Indent, &TToolBar::SetIndent>("Indent")
                      .Prop<&TToolBar::List, &TToolBar::SetList>("List")
                      .Prop<&TToolBar::ShowCaptions, &TToolBar::SetShowCaptions>("ShowCaptions")
                      .Prop<&TToolBar::Wrapable, &TToolBar::SetWrapable>("Wrapable"))

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  SetAlign(alTop);
  SetBounds(0, 0, 150, 29);
  SetColor(clBtnFace);
}

void TToolBar::SetButtonWidth(int v) {
  if (buttonWidth_ == v || v <= 0) return;
  buttonWidth_ = v;
  ArrangeButtons();
}

void TToolBar::SetButtonHeight(int v) {
  if (buttonHeight_ == v || v <= 0) return;
  buttonHeight_ = v;
  ArrangeButtons();
}

void TToolBar::SetImages(TCustomImageList* v) {
  images_ = v;
  if (v) v->FreeNotification(this);
  ArrangeButtons();  // list-style buttons make room for the images
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TToolBar::SetShowCaptions(bool v) {
  if (showCaptions_ == v) return;
  showCaptions_ = v;
  ArrangeButtons();
}

void TToolBar::SetList(bool v) {
  if (list_ == v) return;
  list_ = v;
  ArrangeButtons();
}

void TToolBar::SetIndent(int v) {
  if (indent_ == v) return;
  indent_ = std::max(v, 0);
  ArrangeButtons();
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i)
    if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i))) buttons.push_back(b);
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](TToolButton* a, TToolButton* b) { return a->Left() < b->Left(); });
  if (index < 0 || index >= static_cast<int>(buttons.size()))
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return buttons[index];
}

void TToolBar::ArrangeButtons() {
  if (arranging_ || IsLoading()) return;
  arranging_ = true;
  const int count = ButtonCount();
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < count; ++i) buttons.push_back(Buttons(i));
  int x = indent_;
  for (TToolButton* b : buttons) {
    if (!b->Visible()) continue;
    int w = buttonWidth_;
    if (b->Style() == tbsSeparator || b->Style() == tbsDivider) {
      w = b->Width();
    } else if (showCaptions_) {
      const int text = TextExtentOf(b->Caption()).cx + 8;
      w = list_ ? std::max(w, text + (images_ ? images_->Width() : 0)) : std::max(w, text);
    }
    if (b->Style() == tbsDropDown) w += 12;
    b->SetBounds(x, 0, w, buttonHeight_);
    x += w;
  }
  arranging_ = false;
}

void TToolBar::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  ArrangeButtons();
}

// --- TAnimate ----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TAnimate,
                  .Prop<&TAnimate::Active, &TAnimate::SetActive>("Active")
                      .Prop<&TAnimate::Center, &TAnimate::SetCenter>("Center")
                      .Prop<&TAnimate::CommonAVI, &TAnimate::SetCommonAVI>("CommonAVI")
                      .Prop<&TAnimate::FileName, &TAnimate::SetFileName>("FileName")
                      .Prop<&TAnimate::Repetitions, &TAnimate::SetRepetitions>("Repetitions")
                      .Prop<&TAnimate::StartFrame, &TAnimate::SetStartFrame>("StartFrame")
                      .Prop<&TAnimate::StopFrame, &TAnimate::SetStopFrame>("StopFrame")
                      .Prop<&TAnimate::Transparent, &TAnimate::SetTransparent>("Transparent")
                      .Prop<&TAnimate::OnClose, &TAnimate::SetOnClose>("OnClose")
                      .Prop<&TAnimate::OnOpen, &TAnimate::SetOnOpen>("OnOpen")
                      .Prop<&TAnimate::OnStart, &TAnimate::SetOnStart>("OnStart")
                      .Prop<&TAnimate::OnStop, &TAnimate::SetOnStop>("OnStop"))

namespace {

// Frame counts of the platform's common clips.
int CommonFrames(TCommonAVI avi) {
  static const int frames[] = {0, 8, 8, 8, 20, 20, 16, 16, 16};
  return frames[avi];
}

}  // namespace

TAnimate::TAnimate(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 100, 80);
}

void TAnimate::OpenClip(int frames) {
  if (open_) CloseClip();
  open_ = true;
  frameCount_ = frames;
  startFrame_ = 1;
  stopFrame_ = frames;
  currentFrame_ = frames > 0 ? 1 : 0;
  onOpen_(this);
  Invalidate();
}

void TAnimate::CloseClip() {
  if (!open_) return;
  if (active_) Stop();
  open_ = false;
  frameCount_ = 0;
  currentFrame_ = 0;
  onClose_(this);
  Invalidate();
}

void TAnimate::SetCommonAVI(TCommonAVI v) {
  if (commonAVI_ == v) return;
  commonAVI_ = v;
  fileName_.clear();
  if (v == aviNone)
    CloseClip();
  else
    OpenClip(CommonFrames(v));
}

void TAnimate::SetFileName(const std::string& v) {
  if (fileName_ == v) return;
  if (!v.empty() && !FileExists(v)) throw EInvalidOperation("Cannot open AVI \"" + v + "\"");
  fileName_ = v;
  commonAVI_ = aviNone;
  if (v.empty())
    CloseClip();
  else
    OpenClip(1);
}

void TAnimate::SetActive(bool v) {
  if (IsLoading()) {
    activeAfterLoad_ = v;
    return;
  }
  if (v == active_) return;
  if (v)
    Play(startFrame_, stopFrame_, repetitions_);
  else
    Stop();
}

void TAnimate::Loaded() {
  TWinControl::Loaded();
  if (activeAfterLoad_) SetActive(true);
}

void TAnimate::Play(int fromFrame, int toFrame, int count) {
  if (!open_) throw EInvalidOperation("No animation is open");
  if (fromFrame < 1 || toFrame > frameCount_ || fromFrame > toFrame)
    throw EInvalidOperation("Frames " + IntToStr(fromFrame) + " to " + IntToStr(toFrame) +
                            " are not in the animation");
  startFrame_ = fromFrame;
  stopFrame_ = toFrame;
  repetitions_ = std::max(count, 0);
  currentFrame_ = fromFrame;
  active_ = true;
  onStart_(this);
  Changed("Active");
}

void TAnimate::Stop() {
  if (!active_) return;
  active_ = false;
  onStop_(this);
  Changed("Active");
}

void TAnimate::Reset() {
  Stop();
  currentFrame_ = open_ ? 1 : 0;
  Invalidate();
}

void TAnimate::Seek(int frame) {
  if (!open_ || frame < 1 || frame > frameCount_)
    throw EInvalidOperation("Frame " + IntToStr(frame) + " is not in the animation");
  Stop();
  currentFrame_ = frame;
  Invalidate();
}

// --- Tree views --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TTreeNode)
KXBR_DEFINE_CLASS(TTreeNodes)

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() {
  for (TTreeNode* child : children_) {
    child->parent_ = nullptr;
    child->owner_ = nullptr;
    child->Free();
  }
}

void TTreeNode::SetText(const std::string& v) {
  if (text_ == v) return;
  text_ = v;
  if (owner_) owner_->Owner()->NodesChanged();
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return children_[index];
}

int TTreeNode::Index() const {
  if (!owner_) return -1;
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (TTreeNode* n = owner_ ? owner_->GetFirstNode() : nullptr; n; n = n->GetNext(), ++index)
    if (n == this) return index;
  return -1;
}

void TTreeNode::SetExpanded(bool v) {
  if (expanded_ == v) return;
  if (v && owner_ && !owner_->Owner()->CanExpand(this)) return;
  expanded_ = v;
  if (owner_) {
    if (v) owner_->Owner()->onExpanded_(owner_->Owner(), this);
    owner_->Owner()->NodesChanged();
  }
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (TTreeNode* child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (TTreeNode* child : children_) child->Collapse(true);
}

bool TTreeNode::Selected() const {
  return owner_ && owner_->Owner()->Selected() == this;
}

void TTreeNode::SetSelected(bool v) {
  if (!owner_) return;
  TCustomTreeView* tv = owner_->Owner();
  if (v)
    tv->SetSelected(this);
  else if (tv->Selected() == this)
    tv->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = parent_; p; p = p->parent_)
    if (!p->expanded_) return false;
  return true;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  if (!owner_) return nullptr;
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const int i = Index();
  return i + 1 < static_cast<int>(siblings.size()) ? siblings[i + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  if (!owner_) return nullptr;
  const auto& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const int i = Index();
  return i > 0 ? siblings[i - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* sibling = n->GetNextSibling()) return sibling;
  return nullptr;
}

void TTreeNode::Delete() {
  if (owner_) owner_->Delete(this);
}

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) children_.back()->Delete();
}

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* node : roots_) {
    node->owner_ = nullptr;
    node->Free();
  }
}

int TTreeNodes::Count() const {
  int n = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
  return n;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int i = 0;
  for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext(), ++i)
    if (i == index) return node;
  throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

std::vector<TTreeNode*>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
  return parent ? parent->children_ : roots_;
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, int index, const std::string& text,
                                  void* data) {
  auto& siblings = SiblingsOf(parent);
  auto* node = new TTreeNode(this, parent);
  node->text_ = text;
  node->data_ = data;
  siblings.insert(siblings.begin() + std::clamp(index, 0, static_cast<int>(siblings.size())), node);
  owner_->NodesChanged();
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return InsertNode(parent, static_cast<int>(SiblingsOf(parent).size()), text, data);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  return InsertNode(parent, static_cast<int>(SiblingsOf(parent).size()), text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (!sibling) return Add(nullptr, text);
  return InsertNode(sibling->parent_, sibling->Index(), text, nullptr);
}

void TTreeNodes::Unlink(TTreeNode* node) {
  std::erase(SiblingsOf(node->parent_), node);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this) return;
  owner_->NodeDeleting(node);
  Unlink(node);
  node->owner_ = nullptr;
  node->Free();
  owner_->NodesChanged();
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) Delete(roots_.back());
  EndUpdate();
}

void TTreeNodes::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) owner_->NodesChanged();
}

KXBR_DEFINE_CLASS(
    TCustomTreeView,
    .Prop<&TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection>("HideSelection")
        .Prop<&TCustomTreeView::Images, &TCustomTreeView::SetImages>("Images")
        .Prop<&TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly>("ReadOnly")
        .Prop<&TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect>("RowSelect")
        .Prop<&TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons>("ShowButtons")
        .Prop<&TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines>("ShowLines")
        .Prop<&TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot>("ShowRoot")
        .Prop<&TCustomTreeView::OnChange, &TCustomTreeView::SetOnChange>("OnChange")
        .Prop<&TCustomTreeView::OnChanging, &TCustomTreeView::SetOnChanging>("OnChanging")
        .Prop<&TCustomTreeView::OnDeletion, &TCustomTreeView::SetOnDeletion>("OnDeletion")
        .Prop<&TCustomTreeView::OnExpanded, &TCustomTreeView::SetOnExpanded>("OnExpanded")
        .Prop<&TCustomTreeView::OnExpanding, &TCustomTreeView::SetOnExpanding>("OnExpanding")
        .Message<&TCustomTreeView::WMGetDlgCode>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TTreeView)

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  focusOnClick_ = true;
}

TCustomTreeView::~TCustomTreeView() = default;

void TCustomTreeView::BeforeDestruction() {
  Destroying();
  selected_ = nullptr;
  TWinControl::BeforeDestruction();
}

void TCustomTreeView::SetImages(TCustomImageList* v) {
  images_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node == selected_) return;
  bool allow = true;
  onChanging_(this, node, allow);
  if (!allow) return;
  selected_ = node;
  onChange_(this, node);
  Changed("Selection");
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  onExpanding_(this, node, allow);
  return allow;
}

void TCustomTreeView::NodeDeleting(TTreeNode* node) {
  // The selection leaves a deleted branch without a change event, as the platform's.
  for (TTreeNode* n = selected_; n; n = n->Parent())
    if (n == node) {
      selected_ = nullptr;
      break;
    }
  onDeletion_(this, node);
}

void TCustomTreeView::NodesChanged() {
  if (items_ && items_->updateCount_ == 0) Changed("Items");
}

int TCustomTreeView::RowHeight() const {
  return TextExtentOf("Wg").cy + 3;
}

std::vector<TTreeNode*> TCustomTreeView::VisibleNodes() const {
  std::vector<TTreeNode*> nodes;
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
    if (n->IsVisible()) nodes.push_back(n);
  return nodes;
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  const int h = RowHeight();
  if (y < 0 || x < 0 || h <= 0) return nullptr;
  const std::vector<TTreeNode*> nodes = VisibleNodes();
  const int row = y / h;
  return row < static_cast<int>(nodes.size()) ? nodes[row] : nullptr;
}

void TCustomTreeView::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomTreeView::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      TWinControl::DefaultHandler(m);
      const TPoint p = LParamToPoint(m.LParam);
      if (TTreeNode* node = GetNodeAt(p.X, p.Y)) SetSelected(node);
      return;
    }
    case WM_LBUTTONDBLCLK:
      if (selected_) selected_->SetExpanded(!selected_->Expanded());
      return;
    case WM_KEYDOWN: {
      const std::vector<TTreeNode*> nodes = VisibleNodes();
      if (nodes.empty()) return;
      const int at =
          static_cast<int>(std::find(nodes.begin(), nodes.end(), selected_) - nodes.begin());
      const int count = static_cast<int>(nodes.size());
      switch (m.WParam) {
        case VK_DOWN:
          SetSelected(nodes[at >= count ? 0 : std::min(at + 1, count - 1)]);
          break;
        case VK_UP:
          SetSelected(nodes[at >= count ? 0 : std::max(at - 1, 0)]);
          break;
        case VK_RIGHT:
          if (selected_) selected_->SetExpanded(true);
          break;
        case VK_LEFT:
          if (selected_ && selected_->Expanded())
            selected_->SetExpanded(false);
          else if (selected_ && selected_->Parent())
            SetSelected(selected_->Parent());
          break;
        default:
          break;
      }
      return;
    }
    default:
      TWinControl::DefaultHandler(m);
  }
}
