// Standard controls: labels, edits and memos, buttons, check boxes and radio buttons, group
// boxes, combo boxes and list boxes. The "native" behaviour of the platform's controls
// (typing into an edit, a button click, a combo selection) lives in their default message
// handling, after the key and mouse events have had their say.
//
// Deviations by design:
// - Positions in texts (SelStart, SelLength, caret) count characters, not ANSI bytes;
//   MaxLength counts ANSI bytes of the interface code page like the platform.
// - Setting the text of a combo box without an edit box selects the item with that text
//   (without regard to case) and is ignored when there is none.
// - Item heights of lists: the font's text height + 2 unless ItemHeight says otherwise.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"

// Does `caption` mark `key` as its accelerator ("&Save" and 'S' or 's')?
bool IsAccel(WORD key, std::string_view caption);

KXBR_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
KXBR_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
KXBR_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
KXBR_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
// The state a click gives a check box: unchecked to grayed (when allowed) or checked,
// checked to unchecked, grayed to checked.
TCheckBoxState NextCheckBoxState(TCheckBoxState state, bool allowGrayed);
KXBR_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed,
          csOwnerDrawVariable)
KXBR_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
KXBR_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault,
          odHotLight, odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2,
          odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TDrawItemEvent =
    TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// --- Text editing ------------------------------------------------------------------------------

// The text of an edit with its caret and selection (in characters): what the platform's
// edit window keeps. Shared by edits, memos, combo boxes and the grid's editor.
class TEditBuffer {
 public:
  const std::string& Text() const { return text_; }
  // Replaces the text; the caret goes to the start.
  void SetText(std::string_view text);
  int Length() const;  // in characters
  int SelStart() const { return std::min(caret_, anchor_); }
  int SelLength() const { return std::abs(caret_ - anchor_); }
  int Caret() const { return caret_; }
  void Select(int start, int length);
  void MoveCaret(int pos, bool extend);
  std::string SelText() const;
  // Replaces the selection by `s` (cut to fit `maxBytes` ANSI bytes when that is > 0);
  // false when nothing could be inserted and nothing was selected.
  bool ReplaceSelection(std::string_view s, int maxBytes);
  // Deletes the selection, or the character before / after the caret (a CR LF pair as one).
  bool DeleteBack();
  bool DeleteForward();
  // Lines (CR LF separated) for multi-line editing.
  int LineOfChar(int pos) const;
  int LineStart(int line) const;  // -1 beyond the last line
  int LineCount() const;          // lines in the text ("" is one line)
  int LineLength(int line) const;

 private:
  std::string text_;
  int caret_ = 0;
  int anchor_ = 0;
};

// --- Labels ------------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  KXBR_CLASS(TCustomLabel, TGraphicControl)

 public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  // The control that its accelerator focuses (cleared when that control is freed).
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);

 protected:
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  // A right-justified label keeps its right edge.
  void AdjustSize() override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void CMDialogChar(TMessage& m);
  // The rectangle the caption needs (DT_CALCRECT of the platform).
  TRect TextRect() const;

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool transparent_ = false;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  KXBR_CLASS(TLabel, TCustomLabel)

 public:
  using TCustomLabel::TCustomLabel;
};

// --- Edits -------------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  KXBR_CLASS(TCustomEdit, TWinControl)

 public:
  explicit TCustomEdit(TComponent* owner);

  // In ANSI bytes of the interface code page; 0 is no limit. Typing beyond it is refused;
  // text set by the program is not cut.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  // The user changed the text since it was last set.
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { hideSelection_ = v; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v) { borderStyle_ = v; }

  int SelStart() const { return buffer_.SelStart(); }
  void SetSelStart(int v);
  int SelLength() const { return buffer_.SelLength(); }
  void SetSelLength(int v);
  std::string SelText() const { return buffer_.SelText(); }
  // Replaces the selection as if typed (read-only edits too), firing OnChange.
  void SetSelText(const std::string& v);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(""); }
  // The text as shown: the password character in place of each character.
  std::string DisplayText() const;

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }

 protected:
  std::string GetText() const override { return buffer_.Text(); }
  void SetTextBuf(const std::string& v) override;
  // The text changed (by the program or the user): fires OnChange.
  virtual void Change();
  virtual bool MultiLine() const { return false; }
  // The native edit: typing, deleting, caret keys, mouse placement.
  void DefaultHandler(TMessage& message) override;
  // A character the user typed (already through the key events).
  virtual void TypeChar(uint32_t ch);
  virtual void EditKey(WORD key, TShiftState shift);
  // After the user changed the text.
  void UserChanged();
  // After the caret or selection was moved in buffer_ (by the program, a key or the mouse).
  virtual void SelectionChanged() {}
  std::string ApplyCharCase(std::string_view s) const;
  void CMEnterEdit(TMessage& m);
  void CMTextChangedEdit(TMessage& m);

  TEditBuffer buffer_;

 private:
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  bool autoSelect_ = true;
  TEditCharCase charCase_ = ecNormal;
  char passwordChar_ = 0;
  bool hideSelection_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TNotifyEvent onChange_;
};

class TEdit : public TCustomEdit {
  KXBR_CLASS(TEdit, TCustomEdit)

 public:
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The lines of a memo, read from and written into its text.
class TMemoStrings : public TStrings {
  KXBR_CLASS(TMemoStrings, TStrings)

 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void SetText(std::string_view text) override;

 protected:
  std::string Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const std::string& s) override;

 private:
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
  KXBR_CLASS(TCustomMemo, TCustomEdit)

 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* v) { lines_->Assign(v); }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v) { scrollBars_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  // The caret as (column, line).
  TPoint CaretPos() const;
  void SetCaretPos(TPoint p);

 protected:
  friend class TMemoStrings;
  bool MultiLine() const override { return true; }
  void TypeChar(uint32_t ch) override;
  void EditKey(WORD key, TShiftState shift) override;
  void WMGetDlgCode(TMessage& m);

 private:
  std::unique_ptr<TMemoStrings> lines_;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
  KXBR_CLASS(TMemo, TCustomMemo)

 public:
  using TCustomMemo::TCustomMemo;
};

// --- Buttons -----------------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  KXBR_CLASS(TButtonControl, TWinControl)

 public:
  explicit TButtonControl(TComponent* owner);

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; }

 protected:
  // The native click (mouse released over a pressed button, space released).
  virtual void NativeClick() { Click(); }
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool v) { clicksDisabled_ = v; }
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool) {}
  void DefaultHandler(TMessage& message) override;
  void CNCommand(TMessage& m);

 private:
  bool clicksDisabled_ = false;
  bool wordWrap_ = false;
  bool pressed_ = false;
};

class TButton : public TButtonControl {
  KXBR_CLASS(TButton, TButtonControl)

 public:
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  // Sets the form's ModalResult to the button's, then OnClick.
  void Click() override;
  // The button takes Enter: it is focused, or it is the default button and no other
  // button is focused.
  bool IsActive() const { return active_; }

 protected:
  void CMDialogKeyButton(TMessage& m);
  void CMDialogCharButton(TMessage& m);
  void CMFocusChangedButton(TMessage& m);
  void WMGetDlgCode(TMessage& m);

 private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = 0;
};

class TCustomCheckBox : public TButtonControl {
  KXBR_CLASS(TCustomCheckBox, TButtonControl)

 public:
  explicit TCustomCheckBox(TComponent* owner);

  // Any change fires OnClick, from the user and from the program alike.
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  // Unchecked -> grayed (AllowGrayed) or checked -> unchecked; grayed -> checked.
  virtual void Toggle();

 protected:
  bool GetChecked() const override { return Checked(); }
  void NativeClick() override { Toggle(); }
  void CMDialogCharCheck(TMessage& m);
  void WMGetDlgCode(TMessage& m);

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  KXBR_CLASS(TCheckBox, TCustomCheckBox)

 public:
  using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
  KXBR_CLASS(TRadioButton, TButtonControl)

 public:
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  // Checking unchecks the other radio buttons of the parent and fires OnClick.
  void SetChecked(bool v) override;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }

 protected:
  bool GetChecked() const override { return checked_; }
  void NativeClick() override { SetChecked(true); }
  void CMDialogCharRadio(TMessage& m);
  void WMGetDlgCode(TMessage& m);

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

// --- Group box ---------------------------------------------------------------------------------

class TCustomGroupBox : public TCustomControl {
  KXBR_CLASS(TCustomGroupBox, TCustomControl)

 public:
  explicit TCustomGroupBox(TComponent* owner);
  void AdjustClientRect(TRect& rect) const override;

 protected:
  void Paint() override;
  void CMDialogCharGroup(TMessage& m);
};

class TGroupBox : public TCustomGroupBox {
  KXBR_CLASS(TGroupBox, TCustomGroupBox)

 public:
  using TCustomGroupBox::TCustomGroupBox;
};

// --- Item lists --------------------------------------------------------------------------------

// Told about changes of an item list, so that a selection can follow its item.
class IItemListOwner {
 public:
  virtual ~IItemListOwner() = default;
  virtual void ItemInserted(int index) = 0;
  virtual void ItemDeleted(int index) = 0;
  virtual void ItemsReset() = 0;  // cleared, sorted or assigned
  virtual void ItemsChanged() = 0;
};

// The items of a combo or list box.
class TItemStrings : public TStringList {
  KXBR_CLASS(TItemStrings, TStringList)

 public:
  explicit TItemStrings(IItemListOwner* owner) : owner_(owner) {}
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Assign(const TPersistent* source) override;

 protected:
  void Changed() override;
  void SetUpdateState(bool updating) override;

 private:
  IItemListOwner* owner_;
  int resetDepth_ = 0;
};

class TCustomComboBox : public TWinControl, public IItemListOwner {
  KXBR_CLASS(TCustomComboBox, TWinControl)

 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return style_; }
  // Recreates the window: items and selection stay; without an edit box the text becomes
  // the selected item's.
  void SetStyle(TComboBoxStyle v);
  // The style has an edit box the user types into.
  bool HasEdit() const { return style_ == csDropDown || style_ == csSimple; }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  // -1 for none. Setting it (CB_SETCURSEL) fires no event; -1 or an index out of range
  // clears the selection and the text.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v; }
  int ItemHeight() const;
  void SetItemHeight(int v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v) { maxLength_ = v; }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v) { charCase_ = v; }
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool v);
  int SelStart() const { return edit_.SelStart(); }
  int SelLength() const { return edit_.SelLength(); }
  void SelectAll();

  // The user picks item `index` from the list: the text follows, then OnClick and
  // OnSelect (OnChange when OnSelect is not assigned). The list closes.
  void SelectItem(int index);
  // Owner drawing: OnDrawItem for the owner-draw styles, else the item's text.
  void DrawItem(TCanvas* canvas, int index, const TRect& rect, TOwnerDrawState state);
  int MeasureItem(int index);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  const TNotifyEvent& OnSelect() const { return onSelect_; }
  void SetOnSelect(TNotifyEvent e) { onSelect_ = e; }
  const TNotifyEvent& OnDropDown() const { return onDropDown_; }
  void SetOnDropDown(TNotifyEvent e) { onDropDown_ = e; }
  const TNotifyEvent& OnCloseUp() const { return onCloseUp_; }
  void SetOnCloseUp(TNotifyEvent e) { onCloseUp_ = e; }
  const TDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(TDrawItemEvent e) { onDrawItem_ = e; }
  const TMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(TMeasureItemEvent e) { onMeasureItem_ = e; }

 protected:
  std::string GetText() const override;
  void SetTextBuf(const std::string& v) override;
  virtual void Change() { onChange_(this); }
  virtual void Select();
  void DefaultHandler(TMessage& message) override;
  void WMGetDlgCode(TMessage& m);
  void CMTextChangedCombo(TMessage& m);

  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsReset() override;
  void ItemsChanged() override;

 private:
  void SelectByUser(int index);
  void UserEdited();

  TComboBoxStyle style_ = csDropDown;
  std::unique_ptr<TItemStrings> items_;
  int itemIndex_ = -1;
  std::string resetText_;  // the selected item's text, to find it again after a reset
  TEditBuffer edit_;
  int dropDownCount_ = 8;
  int itemHeight_ = 0;
  int maxLength_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool droppedDown_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onSelect_;
  TNotifyEvent onDropDown_;
  TNotifyEvent onCloseUp_;
  TDrawItemEvent onDrawItem_;
  TMeasureItemEvent onMeasureItem_;
};

class TComboBox : public TCustomComboBox {
  KXBR_CLASS(TComboBox, TCustomComboBox)

 public:
  using TCustomComboBox::TCustomComboBox;
};

class TCustomListBox : public TWinControl, public IItemListOwner {
  KXBR_CLASS(TCustomListBox, TWinControl)

 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle v);
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  // The focused item in a multi-select list, the selected one otherwise; -1 for none.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool v) { extendedSelect_ = v; }
  bool Selected(int index) const;  // raises EListError out of range
  void SetSelected(int index, bool v);
  int SelCount() const;  // -1 for a single-select list, like the platform
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v);
  int ItemHeight() const;
  void SetItemHeight(int v);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v) { columns_ = v; }
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool v) { integralHeight_ = v; }
  void Clear() { items_->Clear(); }
  void ClearSelection();
  void SelectAll();

  // The item under a client point, -1 for none; the rectangle of an item.
  int ItemAtPos(TPoint p, bool existing) const;
  TRect ItemRect(int index) const;
  void DrawItem(TCanvas* canvas, int index, const TRect& rect, TOwnerDrawState state);

  const TDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(TDrawItemEvent e) { onDrawItem_ = e; }
  const TMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(TMeasureItemEvent e) { onMeasureItem_ = e; }

 protected:
  void DefaultHandler(TMessage& message) override;
  void WMGetDlgCode(TMessage& m);
  void ItemInserted(int index) override;
  void ItemDeleted(int index) override;
  void ItemsReset() override;
  void ItemsChanged() override;

 private:
  void UserSelect(int index, TShiftState shift);

  TListBoxStyle style_ = lbStandard;
  std::unique_ptr<TItemStrings> items_;
  std::vector<bool> selected_;
  int itemIndex_ = -1;
  int anchor_ = -1;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  int itemHeight_ = 0;
  int topIndex_ = 0;
  int columns_ = 0;
  bool integralHeight_ = false;
  std::string resetText_;
  TDrawItemEvent onDrawItem_;
  TMeasureItemEvent onMeasureItem_;
};

class TListBox : public TCustomListBox {
  KXBR_CLASS(TListBox, TCustomListBox)

 public:
  using TCustomListBox::TCustomListBox;
};
