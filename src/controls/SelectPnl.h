// The selection panel: a group box in which the user states one report condition, either as
// a begin/end range in two masked edits or as a list of chosen rows, with F2 lookup buttons
// that ask the owning form for a lookup (WM_OPENWIN). Its style decides which input is
// offered; in sp_UserChoice a check box on top switches between the two.
//
// The inner controls are public members the forms read and write directly; the panel owns
// them. TVekListView::AddRow keeps its results (rows, padding, duplicates, column widths)
// exactly as a full pass over the list after every row would give them, but works
// incrementally while nothing but AddRow changed the list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BtChkBox.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "F2Button.h"
#include "GSpdBtn.h"
#include "Mask.h"
#include "StdCtrls.h"

KXBR_ENUM(TSelectStyle, sp_Range, sp_Discrete, sp_UserChoice)
KXBR_ENUM(TValueType, vt_String, vt_Number, vt_Date, vt_Time, vt_Float, vt_OtherMask)
KXBR_ENUM(TDateType, dt_NoneCare, dt_YYYYMMDD, dt_MMDDYYYY, dt_DDMMYYYY, dt_YYMMDD, dt_YYYMMDD)
KXBR_ENUM(TCheckDuplicate, cd_None, cd_CheckCase, cd_CaseInsensitive)

class TSelectPanel;

using TOpenWinClickEvent = TEvent<void(TSelectPanel* SenderParent, TWinControl* Sender)>;
using TDeleteClickEvent = TEvent<void(TObject* Sender, bool& Accept)>;
using TStyleChangingEvent =
    TEvent<void(TObject* Sender, TSelectStyle NowStyle, TSelectStyle& NewStyle, bool& Accept)>;
using TStyleChangeEvent =
    TEvent<void(TObject* Sender, TSelectStyle OldStyle, TSelectStyle NewStyle)>;
using TListViewSelectItemEvent =
    TEvent<void(TObject* Sender, TListItem* xItem, int xIndex, bool xIsSelect)>;
using TListViewDataChangeEvent = TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TListViewDataChangingEvent =
    TEvent<void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;

// A masked edit whose OnChange can be held back while the panel replaces its mask.
class TVekMaskEdit : public TMaskEdit {
  KXBR_CLASS(TVekMaskEdit, TMaskEdit)

 public:
  using TMaskEdit::TMaskEdit;

  bool SuppressChange() const { return suppressChange_; }
  void SetSuppressChange(bool v) { suppressChange_ = v; }

 protected:
  void Change() override;

 private:
  bool suppressChange_ = false;
};

// The panel's list: rows appended by AddRow with columns, padding, duplicate removal and
// auto-sized columns. A left click first takes the focus and selects only when it got it.
class TVekListView : public TListView {
  KXBR_CLASS(TVekListView, TListView)

 public:
  explicit TVekListView(TComponent* owner);

  // Appends one row: Caption = values[0], SubItems the further values as far as there are
  // columns (columns "Data1", "Data2", ... are appended when there are too few). False for
  // an empty array or when something failed on the way (rows already added stay).
  bool AddRow(const std::vector<std::string>& values);
  // Removes all rows; no panel event fires.
  void ClearRows();

  bool ColumnsAutoSize() const { return columnsAutoSize_; }
  void SetColumnsAutoSize(bool v) { columnsAutoSize_ = v; }
  TCheckDuplicate CheckDuplicate() const { return checkDuplicate_; }
  // Stores the rule; RemoveDuplicates applies it.
  void SetCheckDuplicate(TCheckDuplicate v);
  // Deletes every row whose caption equals the caption of the row before it, last first.
  void RemoveDuplicates();

  // Sorting, as the base class's; kept here so that AddRow knows the order changed.
  bool AlphaSort();
  bool CustomSort(const TLVCompare& compare, LPARAM data);
  void SetSortType(TSortType v);

  // The list's own change, insert and deletion events are what AddRow watches; these give
  // the user's handlers, which run after that.
  const TLVChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TLVChangeEvent e) { onChange_ = e; }
  const TLVDeletedEvent& OnInsert() const { return onInsert_; }
  void SetOnInsert(TLVDeletedEvent e) { onInsert_ = e; }
  const TLVDeletedEvent& OnDeletion() const { return onDeletion_; }
  void SetOnDeletion(TLVDeletedEvent e) { onDeletion_ = e; }

 protected:
  void DefaultHandler(TMessage& message) override;

 private:
  void RowChanged(TObject* sender, TListItem* item, TItemChange change);
  void RowInserted(TObject* sender, TListItem* item);
  void RowDeleted(TObject* sender, TListItem* item);
  void RowSubItemsChanged(TObject* sender);
  // The watchers are still in place, so the cache can be trusted.
  bool Watching() const;
  void Invalidate_() { cacheValid_ = false; }
  // Rebuilds the cache (longest texts per column, most sub-items) from all rows and pads
  // every row; the full pass the incremental path stands in for.
  void FullPass();
  void NoteRowTexts(const TListItem* item);
  void SizeColumns();
  bool SameCaption(const std::string& a, const std::string& b) const;

  bool columnsAutoSize_ = true;
  TCheckDuplicate checkDuplicate_ = cd_None;
  // The cache of the incremental AddRow: valid while nothing but AddRow touched the rows.
  bool cacheValid_ = false;
  bool deduplicated_ = false;  // no neighbours with equal captions under the current rule
  int addingRow_ = 0;          // changes made by AddRow itself do not invalidate the cache
  int knownCount_ = 0;         // rows after the last AddRow
  int maxSubItems_ = 0;
  std::vector<int> longest_;  // per column: the longest text of all rows, in ANSI bytes
  TLVChangeEvent onChange_;
  TLVDeletedEvent onInsert_;
  TLVDeletedEvent onDeletion_;
};

class TSelectPanel : public TGroupBox {
  KXBR_CLASS(TSelectPanel, TGroupBox)

 public:
  explicit TSelectPanel(TComponent* owner);
  ~TSelectPanel() override;

  // --- Inner controls, in creation order -----------------------------------------------------
  TVekCheckBox* ChoiceBox = nullptr;
  TPanel* RangePanel = nullptr;
  TLabel* BeginLabel = nullptr;
  TVekMaskEdit* BeginEdit = nullptr;
  TF2Button* BeginButton = nullptr;
  TLabel* EndLabel = nullptr;
  TVekMaskEdit* EndEdit = nullptr;
  TF2Button* EndButton = nullptr;
  TPanel* ListPanel = nullptr;
  TF2Button* ListButton = nullptr;
  TGSpeedButton* DeleteButton = nullptr;
  TGSpeedButton* ClearButton = nullptr;
  TVekListView* ListView = nullptr;

  // --- Properties --------------------------------------------------------------------------
  TSelectStyle Style() const { return style_; }
  void SetStyle(TSelectStyle v);
  bool UserChoice() const { return userChoice_; }
  void SetUserChoice(bool v);
  TValueType ValueType() const { return valueType_; }
  void SetValueType(TValueType v) { valueType_ = v; }
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& v);
  TDateType DateType() const { return dateType_; }
  void SetDateType(TDateType v) { dateType_ = v; }
  const std::string& DateSign() const { return dateSign_; }
  void SetDateSign(const std::string& v) { dateSign_ = v; }
  bool AutoChangeDateSite() const { return autoChangeDateSite_; }
  void SetAutoChangeDateSite(bool v) { autoChangeDateSite_ = v; }
  bool UseDiscard() const { return useDiscard_; }
  void SetUseDiscard(bool v) { useDiscard_ = v; }
  const std::string& Discard() const { return discard_; }
  void SetDiscard(const std::string& v) { discard_ = v; }
  bool UseVertical() const { return useVertical_; }
  void SetUseVertical(bool v);
  bool CanOpenWin() const { return canOpenWin_; }
  void SetCanOpenWin(bool v);
  int GlyphIndex() const { return glyphIndex_; }
  void SetGlyphIndex(int v);
  const std::string& HintWord() const { return hintWord_; }
  void SetHintWord(const std::string& v);
  TStringList* BeginWords() const { return beginWords_.get(); }
  void SetBeginWords(TStringList* v);
  TStringList* FinalWords() const { return finalWords_.get(); }
  void SetFinalWords(TStringList* v);
  TStringList* ChildHints() const { return childHints_.get(); }
  void SetChildHints(TStringList* v);
  int OtherWidth() const { return otherWidth_; }
  void SetOtherWidth(int v) { otherWidth_ = v; }
  int OtherHeight() const { return otherHeight_; }
  void SetOtherHeight(int v) { otherHeight_ = v; }
  TListItems* Items() const { return ListView->Items(); }
  void SetItems(TListItems* v);
  TListColumns* Columns() const { return ListView->Columns(); }
  void SetColumns(TListColumns* v);
  // A list rebuilt from the columns on every read; editing it (or assigning) replaces the
  // columns by one column per line, each fitted to its text (width -1).
  TStringList* ColumnCaptions() const;
  void SetColumnCaptions(TStringList* v);
  bool ShowColumnHeader() const { return ListView->ShowColumnHeaders(); }
  void SetShowColumnHeader(bool v) { ListView->SetShowColumnHeaders(v); }
  bool HideSelection() const { return ListView->HideSelection(); }
  void SetHideSelection(bool v) { ListView->SetHideSelection(v); }
  bool ColumnsAutoSize() const { return ListView->ColumnsAutoSize(); }
  void SetColumnsAutoSize(bool v) { ListView->SetColumnsAutoSize(v); }
  bool SortListBox() const { return sortListBox_; }
  void SetSortListBox(bool v);
  TCheckDuplicate CheckDuplicate() const { return ListView->CheckDuplicate(); }
  void SetCheckDuplicate(TCheckDuplicate v);

  // --- State ---------------------------------------------------------------------------------
  // Range mode: sp_Range, or sp_UserChoice with UserChoice.
  bool IsRangeMode() const;
  // What BeginEdit shows when empty under the current mask; such a text counts as empty.
  const std::string& BlankText() const { return blankText_; }
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }
  // The date a range text stands for under DateType and DateSign; 0 when unreadable.
  double DateValue(const std::string& text) const;
  // Arranges the inner controls for the current style.
  void Arrange();

  void SetEnabled(bool v) override;
  void SetFocus() override;
  void Loaded() override;

  // --- Events --------------------------------------------------------------------------------
  const TOpenWinClickEvent& OnOpenWinClick() const { return onOpenWinClick_; }
  void SetOnOpenWinClick(TOpenWinClickEvent e) { onOpenWinClick_ = e; }
  const TNotifyEvent& OnClearClick() const { return onClearClick_; }
  void SetOnClearClick(TNotifyEvent e) { onClearClick_ = e; }
  const TDeleteClickEvent& OnDeleteClick() const { return onDeleteClick_; }
  void SetOnDeleteClick(TDeleteClickEvent e) { onDeleteClick_ = e; }
  const TNotifyEvent& OnTypeClick() const { return onTypeClick_; }
  void SetOnTypeClick(TNotifyEvent e) { onTypeClick_ = e; }
  const TStyleChangingEvent& OnStyleChanging() const { return onStyleChanging_; }
  void SetOnStyleChanging(TStyleChangingEvent e) { onStyleChanging_ = e; }
  const TStyleChangeEvent& OnStyleChange() const { return onStyleChange_; }
  void SetOnStyleChange(TStyleChangeEvent e) { onStyleChange_ = e; }
  const TListViewSelectItemEvent& OnItemSelect() const { return onItemSelect_; }
  void SetOnItemSelect(TListViewSelectItemEvent e) { onItemSelect_ = e; }
  const TListViewDataChangeEvent& OnItemChange() const { return onItemChange_; }
  void SetOnItemChange(TListViewDataChangeEvent e) { onItemChange_ = e; }
  const TListViewDataChangingEvent& OnItemChanging() const { return onItemChanging_; }
  void SetOnItemChanging(TListViewDataChangingEvent e) { onItemChanging_ = e; }

 protected:
  // The exit ordering of the range, then OnExit.
  void DoExit() override;
  void WMSizePanel(TMessage& m);
  void CMFontChangedPanel(TMessage& m);

 private:
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  void Arrange(TSelectStyle style);
  void ArrangeOneRow();
  void ArrangeTwoRows();
  void ArrangeList();
  void SizeChoiceBox();
  void ApplyVisibility(TSelectStyle style);
  void ExchangeSize();
  void SyncUserChoice();
  void ShowWords();
  void ApplyChildHints();
  void OrderRange();
  std::string WordLine(const TStringList* words, int line) const;
  void SendWMSize();
  void ReplaceColumns(const std::vector<std::string>& captions);
  void RequestLookup(TWinControl* target);
  int CompareRows(TListItem* a, TListItem* b) const;

  // Inner control handlers.
  void ChoiceBoxClick(TObject* sender);
  void BeginButtonClick(TObject* sender);
  void EndButtonClick(TObject* sender);
  void ListButtonClick(TObject* sender);
  void DeleteButtonClick(TObject* sender);
  void ClearButtonClick(TObject* sender);
  void InnerKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void InnerKeyUp(TObject* sender, WORD& key, TShiftState shift);
  void InnerKeyPress(TObject* sender, char& key);
  void InnerClick(TObject* sender);
  void InnerDblClick(TObject* sender);
  void InnerMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void InnerMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void InnerMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ListViewSelectItem(TObject* sender, TListItem* item, bool selected);
  void ListViewChange(TObject* sender, TListItem* item, TItemChange change);
  void ListViewChanging(TObject* sender, TListItem* item, TItemChange change, bool& allow);
  void ListViewCompare(TObject* sender, TListItem* a, TListItem* b, int data, int& compare);
  void ListViewColumnClick(TObject* sender, TListColumn* column);
  void WordsChanged(TObject* sender);
  void ChildHintsChanged(TObject* sender);
  void ColumnCaptionsChanged(TObject* sender);
  // The Sender a forwarded click or mouse event names, and the position in the panel.
  TObject* ForwardSender(TObject* sender) const;
  TPoint ToPanel(TObject* sender, int x, int y) const;

  TSelectStyle style_ = sp_Range;
  bool userChoice_ = true;
  TValueType valueType_ = vt_String;
  std::string editMask_;
  TDateType dateType_ = dt_NoneCare;
  std::string dateSign_ = "/";
  bool autoChangeDateSite_ = true;
  bool useDiscard_ = false;
  std::string discard_;
  bool useVertical_ = false;
  bool canOpenWin_ = true;
  int glyphIndex_ = 8;
  std::string hintWord_ = "区间选择";
  std::unique_ptr<TStringList> beginWords_;
  std::unique_ptr<TStringList> finalWords_;
  std::unique_ptr<TStringList> childHints_;
  std::unique_ptr<TStringList> columnCaptions_;
  mutable bool rebuildingCaptions_ = false;
  bool settingWords_ = false;
  int otherWidth_ = 200;
  int otherHeight_ = 105;
  bool sortListBox_ = false;
  std::string blankText_;
  int sortColumn_ = 0;
  bool sortAscending_ = true;
  bool arranging_ = false;

  TOpenWinClickEvent onOpenWinClick_;
  TNotifyEvent onClearClick_;
  TDeleteClickEvent onDeleteClick_;
  TNotifyEvent onTypeClick_;
  TStyleChangingEvent onStyleChanging_;
  TStyleChangeEvent onStyleChange_;
  TListViewSelectItemEvent onItemSelect_;
  TListViewDataChangeEvent onItemChange_;
  TListViewDataChangingEvent onItemChanging_;
};
