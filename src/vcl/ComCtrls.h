// Common controls: page controls and tab sheets, list views, tool bars, animations and
// tree views.
//
// Deviations by design:
// - Headless metrics: a tab is its caption's width + 12 (TabWidth when set) by the text
//   height + 6 (TabHeight when set); list rows are the text height + 3 under a header of
//   the text height + 8; a column sized to its content (-1) is its widest text + 12; tree
//   rows are the text height + 3 and indent 19 per level.
// - List views lay out their items one per row in every view style; the view arranges icons.
// - Selection, caption and image changes of list items made by the program fire the same
//   changing / change / select events as the user's.
// - Sorting keeps equal items in their order.
// - Animations do not decode frames: an open clip plays until stopped.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "ImgList.h"
#include "StdCtrls.h"

class TPageControl;
class TTabSheet;
class TCustomTabControl;
class TPopupMenu;

KXBR_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
KXBR_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)

using TDrawTabEvent =
    TEvent<void(TCustomTabControl* Control, int TabIndex, TRect Rect, bool Active)>;

// --- Tab controls and pages ------------------------------------------------------------------

class TCustomTabControl : public TCustomControl {
  KXBR_CLASS(TCustomTabControl, TCustomControl)

 public:
  explicit TCustomTabControl(TComponent* owner);

  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  // Owner-drawn: OwnerDraw or TCS_OWNERDRAWFIXED in the creation parameters.
  bool IsOwnerDrawn() const;
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int v);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int v);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v) { multiLine_ = v; }
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition v);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v) { style_ = v; }
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool v) { hotTrack_ = v; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);

  // The visible tabs: their count, captions and rectangles (client coordinates).
  virtual int TabCount() const = 0;
  virtual std::string TabCaption(int tabIndex) const = 0;
  // The selected tab, -1 for none.
  virtual int SelectedTab() const = 0;
  TRect TabRect(int tabIndex) const;
  int IndexOfTabAt(int x, int y) const;
  // The area inside the tab strip and border where pages go.
  void AdjustClientRect(TRect& rect) const override;

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  const TTabChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(TTabChangingEvent e) { onChanging_ = e; }
  const TDrawTabEvent& OnDrawTab() const { return onDrawTab_; }
  void SetOnDrawTab(TDrawTabEvent e) { onDrawTab_ = e; }

 protected:
  // OnChanging; false refuses the change.
  virtual bool CanChange();
  virtual void Change() { onChange_(this); }
  // Draws one owner-drawn tab on Canvas: OnDrawTab when assigned.
  virtual void DrawTab(int tabIndex, const TRect& rect, bool active);
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool ownerDraw_ = false;
  int tabHeight_ = 0;
  int tabWidth_ = 0;
  bool multiLine_ = false;
  TTabPosition tabPosition_ = tpTop;
  TTabStyle style_ = tsTabs;
  bool hotTrack_ = false;
  TCustomImageList* images_ = nullptr;
  TNotifyEvent onChange_;
  TTabChangingEvent onChanging_;
  TDrawTabEvent onDrawTab_;
};

class TTabSheet : public TWinControl {
  KXBR_CLASS(TTabSheet, TWinControl)

 public:
  explicit TTabSheet(TComponent* owner);
  void BeforeDestruction() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* v);
  // Position among all pages.
  int PageIndex() const;
  void SetPageIndex(int v);
  // Position among the visible tabs; -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool v) { highlighted_ = v; }

  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent e) { onShow_ = e; }
  const TNotifyEvent& OnHide() const { return onHide_; }
  void SetOnHide(TNotifyEvent e) { onHide_ = e; }

  void SetParentComponent(TComponent* parent) override;

 protected:
  void ShowingChanged() override;
  void CMTextChangedSheet(TMessage& m);

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
  bool highlighted_ = false;
  TNotifyEvent onShow_;
  TNotifyEvent onHide_;
};

class TPageControl : public TCustomTabControl {
  KXBR_CLASS(TPageControl, TCustomTabControl)

 public:
  explicit TPageControl(TComponent* owner);
  void BeforeDestruction() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const;  // raises EListError out of range
  TTabSheet* ActivePage() const { return activePage_; }
  // Fires neither OnChanging nor OnChange; a sheet of another page control is ignored.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  // The visible tab of the active page; -1 when none or its tab is hidden. Setting it
  // activates the page of that tab without events.
  int TabIndex() const;
  void SetTabIndex(int v);

  // The next (previous) page in page order from `current`, wrapping around, skipping
  // hidden tabs when asked; null when there is none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  // OnChanging, the switch, OnChange; nothing when the next page is the active one.
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  // The user clicked tab `tabIndex` (or chose it with the arrow keys): OnChanging (may
  // refuse), the switch, OnChange.
  void ClickTab(int tabIndex);

  int TabCount() const override;
  std::string TabCaption(int tabIndex) const override;
  int SelectedTab() const override { return TabIndex(); }
  // The sheet of a visible tab, or null.
  TTabSheet* PageOfTab(int tabIndex) const;

  void Loaded() override;

 protected:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void TabVisibilityChanged(TTabSheet* page, int oldTabIndex);
  // Switches pages with the platform's focus rules; false when an exit handler kept the
  // focus on the old page.
  bool ChangeActivePage(TTabSheet* page);
  void ControlListChanged(TControl* control, bool inserting) override;
  void DefaultHandler(TMessage& message) override;
  void CMDialogKeyPages(TMessage& m);
  void WMGetDlgCode(TMessage& m);

 private:
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

// --- List views ------------------------------------------------------------------------------

class TCustomListView;
class TListItems;

KXBR_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
KXBR_ENUM(TSortType, stNone, stData, stText, stBoth)

class TListItem : public TPersistent {
  KXBR_CLASS(TListItem, TPersistent)

 public:
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  int Index() const;
  const std::string& Caption() const { return caption_; }
  // OnChanging(ctText) may refuse; OnChange(ctText); re-sorts with stText / stBoth.
  void SetCaption(const std::string& v);
  // Column k of the row is SubItems[k - 1].
  TStrings* SubItems() const { return subItems_.get(); }
  void SetSubItems(TStrings* v) { subItems_->Assign(v); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int v) { stateIndex_ = v; }
  void* Data() const { return data_; }
  void SetData(void* v);
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  bool Selected() const { return selected_; }
  void SetSelected(bool v);
  bool Focused() const { return focused_; }
  void SetFocused(bool v);
  // The text of column `column` (0 the caption), "" when missing.
  std::string ColumnText(int column) const;
  void Delete();
  // Starts editing the caption (not for a read-only list view); false when refused.
  bool EditCaption();
  void Assign(const TPersistent* source) override;

 private:
  friend class TCustomListView;
  friend class TListItems;
  void SubItemsChanged(TObject* sender);

  TListItems* owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  int imageIndex_ = -1;
  int stateIndex_ = -1;
  void* data_ = nullptr;
  bool checked_ = false;
  bool selected_ = false;
  bool focused_ = false;
};

class TListItems : public TPersistent {
  KXBR_CLASS(TListItems, TPersistent)

 public:
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const;  // raises EListError out of range
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // Copies captions, sub-items, images, states and data of another list's items.
  void Assign(const TPersistent* source) override;

 protected:
  TPersistent* GetOwner() const override;

 private:
  friend class TCustomListView;
  friend class TListItem;
  void Remove(TListItem* item);

  TCustomListView* owner_;
  std::vector<TListItem*> items_;
  int updateCount_ = 0;
};

class TListColumn : public TCollectionItem {
  KXBR_CLASS(TListColumn, TCollectionItem)

 public:
  explicit TListColumn(TCollection* collection);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  // As set: pixels, -1 (fit the widest text) or -2 (fit the header text; the last column
  // fills the rest of the list). DisplayWidth is what is shown.
  int Width() const { return width_; }
  void SetWidth(int v);
  int DisplayWidth() const;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v) { autoSize_ = v; }
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v) { minWidth_ = v; }
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int v) { maxWidth_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  TCustomListView* ListView() const;
  void Assign(const TPersistent* source) override;
  std::string DisplayName() const override { return caption_.empty() ? ClassName() : caption_; }

 private:
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = false;
  int minWidth_ = 0;
  int maxWidth_ = 0;
  int imageIndex_ = -1;
  int tag_ = 0;
};

class TListColumns : public TOwnedCollection {
  KXBR_CLASS(TListColumns, TOwnedCollection)

 public:
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const {
    return static_cast<TListColumn*>(TCollection::Items(index));
  }
  TCustomListView* Owner() const { return owner_; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* owner_;
};

using TLVCompareEvent =
    TEvent<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVEditingEvent = TEvent<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TEvent<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVColumnClickEvent = TEvent<void(TObject* Sender, TListColumn* Column)>;
using TLVDeletedEvent = TEvent<void(TObject* Sender, TListItem* Item)>;
// A sort function: negative, zero or positive like a comparison of the two items.
using TLVCompare = std::function<int(TListItem* item1, TListItem* item2, LPARAM data)>;

class TCustomListView : public TWinControl {
  KXBR_CLASS(TCustomListView, TWinControl)

 public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;
  void BeforeDestruction() override;

  TListItems* Items() const { return items_.get(); }
  void SetItems(TListItems* v) { items_->Assign(v); }
  TListColumns* Columns() const { return columns_.get(); }
  void SetColumns(TListColumns* v) { columns_->Assign(v); }
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool v) { columnClick_ = v; }
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool v);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v);
  TSortType SortType() const { return sortType_; }
  // A sorting type sorts at once.
  void SetSortType(TSortType v);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* v);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* v);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* v);

  // The first selected item, or null; setting it selects only that item (null: none).
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int SelCount() const;
  TListItem* ItemFocused() const;
  void SetItemFocused(TListItem* item);
  // The index of the first selected item, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int v);
  void ClearSelection();
  void SelectAll();

  // Sorting by OnCompare when assigned, else by captions in the locale's word order.
  bool AlphaSort();
  // Sorting by `compare`; without one, like AlphaSort with `data` handed to OnCompare.
  bool CustomSort(const TLVCompare& compare, LPARAM data);

  // Geometry (client coordinates).
  int RowHeight() const;
  int HeaderHeight() const;
  TRect ItemRect(int index) const;
  // The item at a point: in report view without RowSelect only over the first column.
  TListItem* GetItemAt(int x, int y) const;
  // The column whose header is at x (report view with headers), or null.
  TListColumn* ColumnAtHeader(int x) const;
  // The width column `index` shows (-1 / -2 resolved).
  int ColumnDisplayWidth(int index) const;

  // The user clicked an item (null: empty space) with the given keys, as a mouse click.
  void ClickItem(TListItem* item, TShiftState shift = {});
  // The user clicked a column header: OnColumnClick.
  void ClickColumn(TListColumn* column);
  // Label editing: the item being edited, the edit's end (accept: OnEdited may change the
  // text, then it becomes the caption) or its cancelling.
  TListItem* EditingItem() const { return editing_; }
  void EndLabelEdit(const std::string& text, bool accept = true);

  const TLVSelectItemEvent& OnSelectItem() const { return onSelectItem_; }
  void SetOnSelectItem(TLVSelectItemEvent e) { onSelectItem_ = e; }
  const TLVChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TLVChangeEvent e) { onChange_ = e; }
  const TLVChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(TLVChangingEvent e) { onChanging_ = e; }
  const TLVCompareEvent& OnCompare() const { return onCompare_; }
  void SetOnCompare(TLVCompareEvent e) { onCompare_ = e; }
  const TLVEditingEvent& OnEditing() const { return onEditing_; }
  void SetOnEditing(TLVEditingEvent e) { onEditing_ = e; }
  const TLVEditedEvent& OnEdited() const { return onEdited_; }
  void SetOnEdited(TLVEditedEvent e) { onEdited_ = e; }
  const TLVColumnClickEvent& OnColumnClick() const { return onColumnClick_; }
  void SetOnColumnClick(TLVColumnClickEvent e) { onColumnClick_ = e; }
  const TLVDeletedEvent& OnDeletion() const { return onDeletion_; }
  void SetOnDeletion(TLVDeletedEvent e) { onDeletion_ = e; }
  const TLVDeletedEvent& OnInsert() const { return onInsert_; }
  void SetOnInsert(TLVDeletedEvent e) { onInsert_ = e; }

 protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  // A state change of one item with its events; false when OnChanging refused it.
  bool ChangeItemState(TListItem* item, bool selected, bool focused);
  bool ItemChanging(TListItem* item, TItemChange change);
  void ItemChanged(TListItem* item, TItemChange change);
  void ItemInserted(TListItem* item);
  void ItemDeleting(TListItem* item);
  void ItemsChanged();
  void ColumnsChanged();
  bool StartEditing(TListItem* item);
  void SortIfNeeded(bool byText, bool byData);
  void Notification(TComponent* component, TOperation operation) override;
  void DefaultHandler(TMessage& message) override;
  void WMGetDlgCode(TMessage& m);

 private:
  void SelectRange(int from, int to, bool keepOthers);

  std::unique_ptr<TListItems> items_;
  std::unique_ptr<TListColumns> columns_;
  TViewStyle viewStyle_ = vsIcon;
  bool multiSelect_ = false;
  bool rowSelect_ = false;
  bool readOnly_ = false;
  bool showColumnHeaders_ = true;
  bool hideSelection_ = true;
  bool columnClick_ = true;
  bool checkboxes_ = false;
  bool gridLines_ = false;
  TSortType sortType_ = stNone;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  TListItem* editing_ = nullptr;
  int anchor_ = -1;
  bool sorting_ = false;
  TLVSelectItemEvent onSelectItem_;
  TLVChangeEvent onChange_;
  TLVChangingEvent onChanging_;
  TLVCompareEvent onCompare_;
  TLVEditingEvent onEditing_;
  TLVEditedEvent onEdited_;
  TLVColumnClickEvent onColumnClick_;
  TLVDeletedEvent onDeletion_;
  TLVDeletedEvent onInsert_;
};

class TListView : public TCustomListView {
  KXBR_CLASS(TListView, TCustomListView)

 public:
  using TCustomListView::TCustomListView;
};

// --- Tool bars -------------------------------------------------------------------------------

class TToolBar;

KXBR_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)

class TToolButton : public TGraphicControl {
  KXBR_CLASS(TToolButton, TGraphicControl)

 public:
  explicit TToolButton(TComponent* owner);

  TToolBar* ToolBar() const;
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  // Check buttons stay down; Grouped check buttons release the others of their group.
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool v) { grouped_ = v; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool v) { indeterminate_ = v; }
  bool Marked() const { return marked_; }
  void SetMarked(bool v) { marked_ = v; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v) { wrap_ = v; }
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* v);

  // A check button toggles (a grouped one goes down), then OnClick.
  void Click() override;
  // Shows the drop-down menu below the button; false without one.
  bool CheckMenuDropdown();
  // On a tool bar the button takes its place in the bar's row.
  void SetParent(TWinControl* parent) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;

 private:
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  bool allowAllUp_ = false;
  bool indeterminate_ = false;
  bool marked_ = false;
  bool wrap_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
};

class TToolBar : public TWinControl {
  KXBR_CLASS(TToolBar, TWinControl)

 public:
  explicit TToolBar(TComponent* owner);

  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v) { flat_ = v; }
  bool List() const { return list_; }
  void SetList(bool v);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool v) { wrapable_ = v; }
  int Indent() const { return indent_; }
  void SetIndent(int v);

  // The tool buttons in their order on the bar.
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  // Places the buttons left to right in the order of their Left.
  void ArrangeButtons();

 protected:
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  TCustomImageList* images_ = nullptr;
  bool showCaptions_ = false;
  bool flat_ = false;
  bool list_ = false;
  bool wrapable_ = true;
  int indent_ = 0;
  bool arranging_ = false;
};

// --- Animation -------------------------------------------------------------------------------

KXBR_ENUM(TCommonAVI, aviNone, aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles,
          aviCopyFile, aviRecycleFile, aviEmptyRecycle, aviDeleteFile)

class TAnimate : public TWinControl {
  KXBR_CLASS(TAnimate, TWinControl)

 public:
  explicit TAnimate(TComponent* owner);

  // Choosing a common clip or a file opens it (aviNone and "" close).
  TCommonAVI CommonAVI() const { return commonAVI_; }
  void SetCommonAVI(TCommonAVI v);
  const std::string& FileName() const { return fileName_; }
  // Raises EInvalidOperation when the file does not exist; nothing changes then.
  void SetFileName(const std::string& v);
  bool Open() const { return open_; }
  bool Active() const { return active_; }
  void SetActive(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  int Repetitions() const { return repetitions_; }
  void SetRepetitions(int v) { repetitions_ = std::max(v, 0); }
  int StartFrame() const { return startFrame_; }
  void SetStartFrame(int v) { startFrame_ = v; }
  int StopFrame() const { return stopFrame_; }
  void SetStopFrame(int v) { stopFrame_ = v; }
  int FrameCount() const { return frameCount_; }
  int CurrentFrame() const { return currentFrame_; }

  // Raises EInvalidOperation without an open clip or for frames outside it.
  void Play(int fromFrame, int toFrame, int count);
  void Stop();
  void Reset();
  void Seek(int frame);

  const TNotifyEvent& OnOpen() const { return onOpen_; }
  void SetOnOpen(TNotifyEvent e) { onOpen_ = e; }
  const TNotifyEvent& OnClose() const { return onClose_; }
  void SetOnClose(TNotifyEvent e) { onClose_ = e; }
  const TNotifyEvent& OnStart() const { return onStart_; }
  void SetOnStart(TNotifyEvent e) { onStart_ = e; }
  const TNotifyEvent& OnStop() const { return onStop_; }
  void SetOnStop(TNotifyEvent e) { onStop_ = e; }

  void Loaded() override;

 private:
  void OpenClip(int frames);
  void CloseClip();

  TCommonAVI commonAVI_ = aviNone;
  std::string fileName_;
  bool open_ = false;
  bool active_ = false;
  bool activeAfterLoad_ = false;
  bool center_ = true;
  bool transparent_ = true;
  int repetitions_ = 0;
  int startFrame_ = 1;
  int stopFrame_ = 0;
  int frameCount_ = 0;
  int currentFrame_ = 0;
  TNotifyEvent onOpen_;
  TNotifyEvent onClose_;
  TNotifyEvent onStart_;
  TNotifyEvent onStop_;
};

// --- Tree views ------------------------------------------------------------------------------

class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
  KXBR_CLASS(TTreeNode, TPersistent)

 public:
  TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TTreeNode* Parent() const { return parent_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v);
  void* Data() const { return data_; }
  void SetData(void* v) { data_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int v) { selectedIndex_ = v; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;  // raises EListError out of range
  // Position among its siblings; level (0 for a root).
  int Index() const;
  int Level() const;
  // Position in the whole tree, depth first.
  int AbsoluteIndex() const;
  bool HasChildren() const { return !children_.empty(); }
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  // Visible: every parent is expanded.
  bool IsVisible() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node depth first, or null.
  TTreeNode* GetNext() const;
  void Delete();
  void DeleteChildren();

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::string text_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  bool expanded_ = false;
  std::vector<TTreeNode*> children_;
};

class TTreeNodes : public TPersistent {
  KXBR_CLASS(TTreeNodes, TPersistent)

 public:
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes.
  int Count() const;
  // The node at an absolute (depth-first) index.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  // A new last sibling of `sibling` (a root when null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
  // A new node before `sibling`.
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent);
  TTreeNode* InsertNode(TTreeNode* parent, int index, const std::string& text, void* data);
  void Unlink(TTreeNode* node);

  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int updateCount_ = 0;
};

using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;

class TCustomTreeView : public TWinControl {
  KXBR_CLASS(TCustomTreeView, TWinControl)

 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;
  void BeforeDestruction() override;

  TTreeNodes* Items() const { return items_.get(); }
  TTreeNode* Selected() const { return selected_; }
  // OnChanging may refuse; then OnChange.
  void SetSelected(TTreeNode* node);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v) { showLines_ = v; }
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v) { showRoot_ = v; }
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v) { showButtons_ = v; }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { hideSelection_ = v; }
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v) { rowSelect_ = v; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);

  int RowHeight() const;
  // The visible nodes in display order.
  std::vector<TTreeNode*> VisibleNodes() const;
  TTreeNode* GetNodeAt(int x, int y) const;

  const TTVChangedEvent& OnChange() const { return onChange_; }
  void SetOnChange(TTVChangedEvent e) { onChange_ = e; }
  const TTVChangingEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(TTVChangingEvent e) { onChanging_ = e; }
  const TTVExpandingEvent& OnExpanding() const { return onExpanding_; }
  void SetOnExpanding(TTVExpandingEvent e) { onExpanding_ = e; }
  const TTVChangedEvent& OnExpanded() const { return onExpanded_; }
  void SetOnExpanded(TTVChangedEvent e) { onExpanded_ = e; }
  const TTVChangedEvent& OnDeletion() const { return onDeletion_; }
  void SetOnDeletion(TTVChangedEvent e) { onDeletion_ = e; }

 protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  bool CanExpand(TTreeNode* node);
  void NodeDeleting(TTreeNode* node);
  void NodesChanged();
  void Notification(TComponent* component, TOperation operation) override;
  void DefaultHandler(TMessage& message) override;
  void WMGetDlgCode(TMessage& m);

 private:
  std::unique_ptr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
  bool readOnly_ = false;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool showButtons_ = true;
  bool hideSelection_ = true;
  bool rowSelect_ = false;
  TCustomImageList* images_ = nullptr;
  TTVChangedEvent onChange_;
  TTVChangingEvent onChanging_;
  TTVExpandingEvent onExpanding_;
  TTVChangedEvent onExpanded_;
  TTVChangedEvent onDeletion_;
};

class TTreeView : public TCustomTreeView {
  KXBR_CLASS(TTreeView, TCustomTreeView)

 public:
  using TCustomTreeView::TCustomTreeView;
};
