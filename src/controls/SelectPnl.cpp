#include "SelectPnl.h"

#include <algorithm>
#include <cstdlib>

#include "CodeConverter.h"
#include "CodePage.h"
#include "DateTime.h"
#include "Forms.h"
#include "SysUtils.h"

KXBR_DEFINE_CLASS(TVekMaskEdit)
KXBR_DEFINE_CLASS(TVekListView)
KXBR_DEFINE_CLASS(
    TSelectPanel,
    .Prop<&TSelectPanel::Style, &TSelectPanel::SetStyle>("Style")
        .Prop<&TSelectPanel::UserChoice, &TSelectPanel::SetUserChoice>("UserChoice")
        .Prop<&TSelectPanel::ValueType, &TSelectPanel::SetValueType>("ValueType")
        .Prop<&TSelectPanel::EditMask, &TSelectPanel::SetEditMask>("EditMask")
        .Prop<&TSelectPanel::DateType, &TSelectPanel::SetDateType>("DateType")
        .Prop<&TSelectPanel::DateSign, &TSelectPanel::SetDateSign>("DateSign")
        .Prop<&TSelectPanel::AutoChangeDateSite, &TSelectPanel::SetAutoChangeDateSite>(
            "AutoChangeDateSite")
        .Prop<&TSelectPanel::UseDiscard, &TSelectPanel::SetUseDiscard>("UseDiscard")
        .Prop<&TSelectPanel::Discard, &TSelectPanel::SetDiscard>("Discard")
        .Prop<&TSelectPanel::UseVertical, &TSelectPanel::SetUseVertical>("UseVertical")
        .Prop<&TSelectPanel::CanOpenWin, &TSelectPanel::SetCanOpenWin>("CanOpenWin")
        .Prop<&TSelectPanel::GlyphIndex, &TSelectPanel::SetGlyphIndex>("GlyphIndex")
        .Prop<&TSelectPanel::HintWord, &TSelectPanel::SetHintWord>("HintWord")
        .Prop<&TSelectPanel::BeginWords, &TSelectPanel::SetBeginWords>("BeginWords")
        .Prop<&TSelectPanel::FinalWords, &TSelectPanel::SetFinalWords>("FinalWords")
        .Prop<&TSelectPanel::ChildHints, &TSelectPanel::SetChildHints>("ChildHints")
        .Prop<&TSelectPanel::OtherWidth, &TSelectPanel::SetOtherWidth>("OtherWidth")
        .Prop<&TSelectPanel::OtherHeight, &TSelectPanel::SetOtherHeight>("OtherHeight")
        .Prop<&TSelectPanel::Items, &TSelectPanel::SetItems>("Items")
        .Prop<&TSelectPanel::Columns, &TSelectPanel::SetColumns>("Columns")
        .Prop<&TSelectPanel::ColumnCaptions, &TSelectPanel::SetColumnCaptions>("ColumnCaptions")
        .Prop<&TSelectPanel::ShowColumnHeader, &TSelectPanel::SetShowColumnHeader>(
            "ShowColumnHeader")
        .Prop<&TSelectPanel::HideSelection, &TSelectPanel::SetHideSelection>("HideSelection")
        .Prop<&TSelectPanel::ColumnsAutoSize, &TSelectPanel::SetColumnsAutoSize>("ColumnsAutoSize")
        .Prop<&TSelectPanel::SortListBox, &TSelectPanel::SetSortListBox>("SortListBox")
        .Prop<&TSelectPanel::CheckDuplicate, &TSelectPanel::SetCheckDuplicate>("CheckDuplicate")
        .Prop<&TSelectPanel::OnOpenWinClick, &TSelectPanel::SetOnOpenWinClick>("OnOpenWinClick")
        .Prop<&TSelectPanel::OnClearClick, &TSelectPanel::SetOnClearClick>("OnClearClick")
        .Prop<&TSelectPanel::OnDeleteClick, &TSelectPanel::SetOnDeleteClick>("OnDeleteClick")
        .Prop<&TSelectPanel::OnTypeClick, &TSelectPanel::SetOnTypeClick>("OnTypeClick")
        .Prop<&TSelectPanel::OnStyleChanging, &TSelectPanel::SetOnStyleChanging>("OnStyleChanging")
        .Prop<&TSelectPanel::OnStyleChange, &TSelectPanel::SetOnStyleChange>("OnStyleChange")
        .Prop<&TSelectPanel::OnItemSelect, &TSelectPanel::SetOnItemSelect>("OnItemSelect")
        .Prop<&TSelectPanel::OnItemChange, &TSelectPanel::SetOnItemChange>("OnItemChange")
        .Prop<&TSelectPanel::OnItemChanging, &TSelectPanel::SetOnItemChanging>("OnItemChanging")
        .Message<&TSelectPanel::WMSizePanel>(WM_SIZE)
        .Message<&TSelectPanel::CMFontChangedPanel>(CM_FONTCHANGED))

namespace {

// The control can take the focus now: it can, and so can its form (which must be shown).
bool CanTakeFocus(const TWinControl* control) {
  const TCustomForm* form = GetParentForm(control);
  return form && form->CanFocus() && control->CanFocus();
}

TSize Measure(const TControl* control, std::string_view text) {
  return TextService()->TextExtent(text, *control->Font());
}

// A list's lines as a vector, for assignments from a list that may be the target itself.
std::vector<std::string> LinesOf(const TStrings* list) {
  return list ? list->ToVector() : std::vector<std::string>{};
}

}  // namespace

// --- TVekMaskEdit ------------------------------------------------------------------------------

void TVekMaskEdit::Change() {
  if (!suppressChange_) TMaskEdit::Change();
}

// --- TVekListView ------------------------------------------------------------------------------

TVekListView::TVekListView(TComponent* owner) : TListView(owner) {
  TCustomListView::SetOnChange(MethodOf<&TVekListView::RowChanged>(this));
  TCustomListView::SetOnInsert(MethodOf<&TVekListView::RowInserted>(this));
  TCustomListView::SetOnDeletion(MethodOf<&TVekListView::RowDeleted>(this));
}

bool TVekListView::Watching() const {
  return TCustomListView::OnChange().Method() ==
             TMethod{MethodCodeOf<&TVekListView::RowChanged>(), const_cast<TVekListView*>(this)} &&
         TCustomListView::OnInsert().Method() ==
             TMethod{MethodCodeOf<&TVekListView::RowInserted>(), const_cast<TVekListView*>(this)} &&
         TCustomListView::OnDeletion().Method() ==
             TMethod{MethodCodeOf<&TVekListView::RowDeleted>(), const_cast<TVekListView*>(this)};
}

void TVekListView::RowChanged(TObject*, TListItem* item, TItemChange change) {
  if (change == ctText && addingRow_ == 0) Invalidate_();
  onChange_(this, item, change);
}

void TVekListView::RowInserted(TObject*, TListItem* item) {
  // A row's sub-items tell their list through this handler, so that in-place edits of
  // existing rows are seen too; it does what the row's own handler does besides.
  if (auto* subItems = dynamic_cast<TStringList*>(item->SubItems()))
    subItems->SetOnChange(MethodOf<&TVekListView::RowSubItemsChanged>(this));
  if (addingRow_ == 0) Invalidate_();
  onInsert_(this, item);
}

void TVekListView::RowDeleted(TObject*, TListItem* item) {
  if (addingRow_ == 0) Invalidate_();
  onDeletion_(this, item);
}

void TVekListView::RowSubItemsChanged(TObject*) {
  if (addingRow_ == 0) Invalidate_();
  ItemsChanged();
}

void TVekListView::SetCheckDuplicate(TCheckDuplicate v) {
  if (v != checkDuplicate_) deduplicated_ = false;
  checkDuplicate_ = v;
}

bool TVekListView::SameCaption(const std::string& a, const std::string& b) const {
  if (checkDuplicate_ == cd_CaseInsensitive) return AnsiCompareText(a, b) == 0;
  return a == b;
}

void TVekListView::RemoveDuplicates() {
  if (checkDuplicate_ == cd_None) return;
  TListItems* items = Items();
  for (int i = items->Count() - 1; i >= 1; --i)
    if (SameCaption(items->Item(i)->Caption(), items->Item(i - 1)->Caption())) items->Delete(i);
  deduplicated_ = true;
}

bool TVekListView::AlphaSort() {
  deduplicated_ = false;
  return TCustomListView::AlphaSort();
}

bool TVekListView::CustomSort(const TLVCompare& compare, LPARAM data) {
  deduplicated_ = false;
  return TCustomListView::CustomSort(compare, data);
}

void TVekListView::SetSortType(TSortType v) {
  if (v != SortType()) deduplicated_ = false;
  TCustomListView::SetSortType(v);
}

void TVekListView::NoteRowTexts(const TListItem* item) {
  const int columns = item->SubItems()->Count() + 1;
  if (static_cast<int>(longest_.size()) < columns) longest_.resize(columns, 0);
  longest_[0] = std::max(longest_[0], AnsiByteLength(item->Caption()));
  const TStrings* subItems = item->SubItems();
  for (int k = 1; k < columns; ++k)
    longest_[k] = std::max(longest_[k], AnsiByteLength(subItems->Strings(k - 1)));
}

void TVekListView::FullPass() {
  TListItems* items = Items();
  maxSubItems_ = 0;
  for (int i = 0; i < items->Count(); ++i) {
    TListItem* item = items->Item(i);
    if (auto* subItems = dynamic_cast<TStringList*>(item->SubItems()))
      subItems->SetOnChange(MethodOf<&TVekListView::RowSubItemsChanged>(this));
    maxSubItems_ = std::max(maxSubItems_, item->SubItems()->Count());
  }
  for (int i = 0; i < items->Count(); ++i) {
    TStrings* subItems = items->Item(i)->SubItems();
    while (subItems->Count() < maxSubItems_) subItems->Add("");
  }
  RemoveDuplicates();
  longest_.assign(1, 0);
  for (int i = 0; i < items->Count(); ++i) NoteRowTexts(items->Item(i));
}

void TVekListView::SizeColumns() {
  const int unit = TextExtentOf("W").cx;
  TListColumns* columns = Columns();
  for (int c = 0; c < columns->Count(); ++c) {
    TListColumn* column = columns->Items(c);
    int bytes = AnsiByteLength(column->Caption());
    if (c < static_cast<int>(longest_.size())) bytes = std::max(bytes, longest_[c]);
    column->SetWidth(unit * bytes);
  }
}

bool TVekListView::AddRow(const std::vector<std::string>& values) {
  if (values.empty()) return false;
  TListItems* items = Items();
  const bool incremental = cacheValid_ && Watching() && items->Count() == knownCount_;
  cacheValid_ = false;  // until this call has brought the cache up to date
  ++addingRow_;
  items->BeginUpdate();
  try {
    TListColumns* columns = Columns();
    while (columns->Count() < static_cast<int>(values.size())) {
      TListColumn* column = columns->Add();
      column->SetCaption("Data" + IntToStr(columns->Count()));
    }

    TListItem* row = items->Add();
    row->SetCaption(values[0]);
    const int subCount = std::min<int>(static_cast<int>(values.size()), columns->Count()) - 1;
    TStrings* subItems = row->SubItems();
    subItems->BeginUpdate();
    for (int k = 1; k <= subCount; ++k) subItems->Add(values[k]);
    subItems->EndUpdate();

    // A sorted list re-sorts all its rows whenever a caption is set, which costs more than
    // the full pass; the incremental path serves the unsorted list, where the row is last.
    if (!incremental || SortType() != stNone) {
      FullPass();
    } else {
      // Every other row already holds maxSubItems_ sub-items.
      if (subCount > maxSubItems_) {
        maxSubItems_ = subCount;
        for (int i = 0; i < items->Count(); ++i) {
          TStrings* other = items->Item(i)->SubItems();
          while (other->Count() < maxSubItems_) other->Add("");
        }
      }
      while (subItems->Count() < maxSubItems_) subItems->Add("");

      if (checkDuplicate_ != cd_None && !deduplicated_) {
        // A rule that has not been applied yet: the full walk, then the texts afresh.
        RemoveDuplicates();
        longest_.assign(1, 0);
        for (int i = 0; i < items->Count(); ++i) NoteRowTexts(items->Item(i));
      } else {
        // No neighbours were equal before, so only the new last row can equal the one
        // before it.
        const int p = items->Count() - 1;
        if (checkDuplicate_ != cd_None && p >= 1 &&
            SameCaption(row->Caption(), items->Item(p - 1)->Caption()))
          items->Delete(p);
        else
          NoteRowTexts(row);
      }
    }

    if (columnsAutoSize_) SizeColumns();
    knownCount_ = items->Count();
    cacheValid_ = true;
  } catch (...) {
    cacheValid_ = false;
    --addingRow_;
    try {
      items->EndUpdate();
    } catch (...) {
    }
    return false;
  }
  --addingRow_;
  items->EndUpdate();
  return true;
}

void TVekListView::ClearRows() {
  Items()->Clear();
}

void TVekListView::DefaultHandler(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN && !Focused()) {
    if (CanTakeFocus(this)) SetFocus();
    if (!Focused()) return;  // rows are selected only once the list has the focus
  }
  TListView::DefaultHandler(m);
}

// --- TSelectPanel: creation ----------------------------------------------------------------------

TSelectPanel::TSelectPanel(TComponent* owner)
    : TGroupBox(owner),
      beginWords_(std::make_unique<TStringList>()),
      finalWords_(std::make_unique<TStringList>()),
      childHints_(std::make_unique<TStringList>()),
      columnCaptions_(std::make_unique<TStringList>()) {
  beginWords_->Add("起");
  beginWords_->Add("起");
  finalWords_->Add("止");
  finalWords_->Add("止");
  for (const char* line : {"用户自定输入方式", "区间选择-起始信息", "区间选择-起始信息开窗",
                           "区间选择-截止信息", "区间选择-截止信息开窗", "多选-己选择的信息",
                           "多选-信息开窗", "多选-删除一笔信息", "多选-删除己选信息"})
    childHints_->Add(line);

  ChoiceBox = new TVekCheckBox(this);
  ChoiceBox->SetParent(this);
  ChoiceBox->SetLeft(16);
  ChoiceBox->SetTop(17);
  ChoiceBox->SetCaption(hintWord_);
  ChoiceBox->SetVisible(false);

  RangePanel = new TPanel(this);
  RangePanel->SetParent(this);
  RangePanel->SetBevelInner(bvNone);
  RangePanel->SetBevelOuter(bvNone);
  RangePanel->SetCaption(" ");

  BeginLabel = new TLabel(this);
  BeginLabel->SetParent(RangePanel);
  BeginLabel->SetAutoSize(true);
  BeginEdit = new TVekMaskEdit(this);
  BeginEdit->SetParent(RangePanel);
  BeginEdit->SetHeight(24);
  BeginButton = new TF2Button(this);
  BeginButton->SetParent(RangePanel);
  EndLabel = new TLabel(this);
  EndLabel->SetParent(RangePanel);
  EndLabel->SetAutoSize(true);
  EndEdit = new TVekMaskEdit(this);
  EndEdit->SetParent(RangePanel);
  EndEdit->SetHeight(BeginEdit->Height());
  EndButton = new TF2Button(this);
  EndButton->SetParent(RangePanel);

  ListPanel = new TPanel(this);
  ListPanel->SetParent(this);
  ListPanel->SetBevelInner(bvNone);
  ListPanel->SetBevelOuter(bvNone);
  ListPanel->SetCaption(" ");
  ListButton = new TF2Button(this);
  ListButton->SetParent(ListPanel);
  DeleteButton = new TGSpeedButton(this);
  DeleteButton->SetParent(ListPanel);
  DeleteButton->SetFlat(true);
  DeleteButton->SetBounds(0, 0, 23, 23);
  DeleteButton->SetGlyphIndex(47);
  DeleteButton->SetNumGlyphs(1);
  ClearButton = new TGSpeedButton(this);
  ClearButton->SetParent(ListPanel);
  ClearButton->SetFlat(true);
  ClearButton->SetBounds(0, 0, 23, 23);
  ClearButton->SetGlyphIndex(4);
  ClearButton->SetNumGlyphs(2);

  ListView = new TVekListView(this);
  ListView->SetParent(ListPanel);
  ListView->SetViewStyle(vsReport);
  ListView->SetMultiSelect(true);
  ListView->SetRowSelect(true);
  ListView->SetReadOnly(true);
  ListView->SetShowColumnHeaders(false);
  ListView->SetHideSelection(false);
  ListView->SetCursor(crHandPoint);

  for (TF2Button* button : {BeginButton, EndButton, ListButton}) {
    button->SetFlat(true);
    button->SetBounds(0, 0, 23, 23);
    button->SetGlyphIndex(glyphIndex_);
    button->SetNumGlyphs(1);
  }

  // Events: the buttons' and the box's clicks are their own actions; everything else is
  // passed on to the panel's events.
  ChoiceBox->SetOnClick(MethodOf<&TSelectPanel::ChoiceBoxClick>(this));
  BeginButton->SetOnClick(MethodOf<&TSelectPanel::BeginButtonClick>(this));
  EndButton->SetOnClick(MethodOf<&TSelectPanel::EndButtonClick>(this));
  ListButton->SetOnClick(MethodOf<&TSelectPanel::ListButtonClick>(this));
  DeleteButton->SetOnClick(MethodOf<&TSelectPanel::DeleteButtonClick>(this));
  ClearButton->SetOnClick(MethodOf<&TSelectPanel::ClearButtonClick>(this));
  for (TWinControl* c :
       std::initializer_list<TWinControl*>{ChoiceBox, BeginEdit, EndEdit, ListView}) {
    c->SetOnKeyDown(MethodOf<&TSelectPanel::InnerKeyDown>(this));
    c->SetOnKeyUp(MethodOf<&TSelectPanel::InnerKeyUp>(this));
    c->SetOnKeyPress(MethodOf<&TSelectPanel::InnerKeyPress>(this));
  }
  for (TControl* c : std::initializer_list<TControl*>{
           ChoiceBox, RangePanel, BeginLabel, BeginEdit, BeginButton, EndLabel, EndEdit, EndButton,
           ListPanel, ListButton, DeleteButton, ClearButton, ListView}) {
    c->SetOnMouseDown(MethodOf<&TSelectPanel::InnerMouseDown>(this));
    c->SetOnMouseMove(MethodOf<&TSelectPanel::InnerMouseMove>(this));
    c->SetOnMouseUp(MethodOf<&TSelectPanel::InnerMouseUp>(this));
  }
  for (TControl* c : std::initializer_list<TControl*>{RangePanel, BeginLabel, BeginEdit, EndLabel,
                                                      EndEdit, ListPanel, ListView}) {
    c->SetOnClick(MethodOf<&TSelectPanel::InnerClick>(this));
    c->SetOnDblClick(MethodOf<&TSelectPanel::InnerDblClick>(this));
  }
  ChoiceBox->SetOnDblClick(MethodOf<&TSelectPanel::InnerDblClick>(this));
  ListView->SetOnSelectItem(MethodOf<&TSelectPanel::ListViewSelectItem>(this));
  ListView->SetOnChange(MethodOf<&TSelectPanel::ListViewChange>(this));
  ListView->SetOnChanging(MethodOf<&TSelectPanel::ListViewChanging>(this));
  ListView->SetOnCompare(MethodOf<&TSelectPanel::ListViewCompare>(this));
  ListView->SetOnColumnClick(MethodOf<&TSelectPanel::ListViewColumnClick>(this));

  beginWords_->SetOnChange(MethodOf<&TSelectPanel::WordsChanged>(this));
  finalWords_->SetOnChange(MethodOf<&TSelectPanel::WordsChanged>(this));
  childHints_->SetOnChange(MethodOf<&TSelectPanel::ChildHintsChanged>(this));
  columnCaptions_->SetOnChange(MethodOf<&TSelectPanel::ColumnCaptionsChanged>(this));
  ApplyChildHints();

  SizeChoiceBox();
  ApplyVisibility(style_);
  ShowWords();
  SetBounds(Left(), Top(), 353, 45);
  Arrange();
}

TSelectPanel::~TSelectPanel() = default;

// --- Style and choice ----------------------------------------------------------------------------

bool TSelectPanel::IsRangeMode() const {
  return style_ == sp_Range || (style_ == sp_UserChoice && userChoice_);
}

void TSelectPanel::ApplyVisibility(TSelectStyle style) {
  ChoiceBox->SetVisible(style == sp_UserChoice);
  const bool range = style == sp_Range || (ChoiceBox->Visible() && ChoiceBox->Checked());
  RangePanel->SetVisible(range);
  ListPanel->SetVisible(!range);
}

void TSelectPanel::ExchangeSize() {
  if (!Parent() || Parent()->ComponentState().Contains(csLoading)) return;
  const int w = Width();
  const int h = Height();
  SetBounds(Left(), Top(), otherWidth_, otherHeight_);
  otherWidth_ = w;
  otherHeight_ = h;
}

void TSelectPanel::SetStyle(TSelectStyle v) {
  TSelectStyle newStyle = v;
  if (!Designing()) {
    bool accept = true;
    onStyleChanging_(this, style_, newStyle, accept);
    if (!accept) return;
  }
  // The box shows the current choice, so that the input shown is the one the value is
  // read from.
  if (newStyle == sp_UserChoice) ChoiceBox->SetChecked(userChoice_);
  ApplyVisibility(newStyle);
  if (newStyle != style_ && (newStyle == sp_Range || style_ == sp_Range) && !useVertical_ &&
      !IsLoading())
    ExchangeSize();
  Arrange(newStyle);
  if (!Designing()) onStyleChange_(this, style_, newStyle);
  style_ = newStyle;
}

void TSelectPanel::SyncUserChoice() {
  Arrange(sp_UserChoice);
  ApplyVisibility(sp_UserChoice);
}

void TSelectPanel::SetUserChoice(bool v) {
  if (style_ != sp_UserChoice) return;
  userChoice_ = v;
  ChoiceBox->SetChecked(v);
  SyncUserChoice();
}

void TSelectPanel::ChoiceBoxClick(TObject*) {
  if (style_ != sp_UserChoice) return;
  userChoice_ = ChoiceBox->Checked();
  SyncUserChoice();
  if (!Designing()) onTypeClick_(this);
}

void TSelectPanel::SetUseVertical(bool v) {
  if (style_ != sp_Range || v == useVertical_) return;
  useVertical_ = v;
  if (!IsLoading()) ExchangeSize();
  Arrange();
}

void TSelectPanel::SetCanOpenWin(bool v) {
  if (v == canOpenWin_) return;
  canOpenWin_ = v;
  BeginButton->SetVisible(v);
  EndButton->SetVisible(v);
  ListButton->SetVisible(v);
  SendWMSize();
}

void TSelectPanel::SetGlyphIndex(int v) {
  if (v == glyphIndex_) return;
  try {
    BeginButton->SetGlyphIndex(v);
    const int n = BeginButton->GlyphIndex();
    EndButton->SetGlyphIndex(n);
    ListButton->SetGlyphIndex(n);
    glyphIndex_ = v;
  } catch (...) {
    for (TF2Button* button : {BeginButton, EndButton, ListButton}) {
      try {
        button->SetGlyphIndex(0);
      } catch (...) {
      }
    }
  }
}

void TSelectPanel::SetHintWord(const std::string& v) {
  hintWord_ = v;
  ChoiceBox->SetCaption(v);
  SizeChoiceBox();
}

void TSelectPanel::Loaded() {
  TGroupBox::Loaded();
  // A resource that names the user-choice style without the choice still gets box and
  // panels that agree with UserChoice.
  if (style_ == sp_UserChoice) {
    ChoiceBox->SetChecked(userChoice_);
    ApplyVisibility(style_);
  }
  Arrange();
}

// --- Arrangement ---------------------------------------------------------------------------------

void TSelectPanel::SendWMSize() {
  Perform(WM_SIZE, 0, PointToLParam(Point(ClientWidth(), ClientHeight())));
}

void TSelectPanel::WMSizePanel(TMessage& m) {
  DispatchInherited(TSelectPanel::StaticClass(), m);
  Arrange();
}

void TSelectPanel::CMFontChangedPanel(TMessage& m) {
  DispatchInherited(TSelectPanel::StaticClass(), m);
  Arrange();
}

void TSelectPanel::SizeChoiceBox() {
  const TSize size = Measure(ChoiceBox, ChoiceBox->Caption());
  ChoiceBox->SetWidth(size.cx + 24);
  ChoiceBox->SetHeight(size.cy + 2);
}

std::string TSelectPanel::WordLine(const TStringList* words, int line) const {
  if (words->Count() == 0) return {};
  return words->Strings(line < words->Count() ? line : 0);
}

void TSelectPanel::Arrange() {
  Arrange(style_);
}

void TSelectPanel::Arrange(TSelectStyle style) {
  if (!ListView || arranging_) return;  // not yet complete
  arranging_ = true;
  try {
    SizeChoiceBox();
    const int captionHeight = Measure(this, Caption()).cy;
    const int w = Width();
    const int h = Height();
    if (style == sp_Range || style == sp_Discrete) {
      TPanel* active = style == sp_Range ? RangePanel : ListPanel;
      TPanel* other = style == sp_Range ? ListPanel : RangePanel;
      ChoiceBox->SetVisible(false);
      active->BringToFront();
      other->SendToBack();
      const int top = captionHeight + 3;
      const int bevel = active->BevelWidth();
      active->SetBounds(2, top, w - 2 - bevel - 2, h - top - bevel - 2);
      other->SetBoundsRect(active->BoundsRect());
      if (style == sp_Range) {
        if (useVertical_)
          ArrangeTwoRows();
        else
          ArrangeOneRow();
      } else {
        ArrangeList();
      }
    } else {
      ChoiceBox->SetVisible(true);
      ChoiceBox->BringToFront();
      ChoiceBox->SetLeft(16);
      ChoiceBox->SetTop(captionHeight + 1);
      TPanel* active = userChoice_ ? RangePanel : ListPanel;
      TPanel* other = userChoice_ ? ListPanel : RangePanel;
      active->BringToFront();
      other->SendToBack();
      const int top = ChoiceBox->Top() + Measure(ChoiceBox, ChoiceBox->Caption()).cy + 2;
      active->SetBounds(2, top, w - 2 - 2, h - top - 2);
      other->SetBoundsRect(active->BoundsRect());
      ArrangeTwoRows();
      ArrangeList();
    }
  } catch (...) {
    arranging_ = false;
    throw;
  }
  arranging_ = false;
}

void TSelectPanel::ArrangeOneRow() {
  const int w = RangePanel->Width();
  const int h = RangePanel->Height();
  const bool buttons = canOpenWin_;
  // Both labels take their words first, so that the widths below are the final ones.
  BeginLabel->SetCaption(WordLine(beginWords_.get(), 0));
  EndLabel->SetCaption(WordLine(finalWords_.get(), 0));
  BeginLabel->SetLeft(2);
  BeginLabel->SetTop((h - BeginEdit->Height()) / 2);
  const int labelRight = BeginLabel->Left() + BeginLabel->Width();
  const int editWidth =
      buttons
          ? (w - labelRight - BeginButton->Width() - EndLabel->Width() - EndButton->Width() - 8) / 2
          : (w - labelRight - EndLabel->Width() - 4) / 2;
  const int top = BeginLabel->Top();
  BeginEdit->SetBounds(labelRight + 1, top, editWidth, BeginEdit->Height());
  if (buttons)
    BeginButton->SetBounds(BeginEdit->Left() + BeginEdit->Width() + 2, top, BeginButton->Width(),
                           BeginButton->Height());
  const int endLabelLeft = buttons ? BeginButton->Left() + BeginButton->Width() + 2
                                   : BeginEdit->Left() + BeginEdit->Width() + 4;
  EndLabel->SetBounds(endLabelLeft, top, EndLabel->Width(), EndLabel->Height());
  EndEdit->SetBounds(EndLabel->Left() + EndLabel->Width() + 2, top, BeginEdit->Width(),
                     EndEdit->Height());
  if (buttons)
    EndButton->SetBounds(EndEdit->Left() + EndEdit->Width() + 2, top, EndButton->Width(),
                         EndButton->Height());
}

void TSelectPanel::ArrangeTwoRows() {
  const int w = RangePanel->Width();
  const int h = RangePanel->Height();
  const bool buttons = canOpenWin_;
  BeginLabel->SetCaption(WordLine(beginWords_.get(), 1));
  EndLabel->SetCaption(WordLine(finalWords_.get(), 1));
  const int g = (h - BeginEdit->Height() - EndEdit->Height()) / 3;
  BeginLabel->SetLeft(2);
  BeginLabel->SetTop(g);
  const int editWidth =
      buttons ? w - BeginLabel->Left() - BeginLabel->Width() - BeginButton->Width() - 4
              : w - BeginLabel->Left() - BeginLabel->Width() - 2;
  BeginEdit->SetBounds(BeginLabel->Left() + BeginLabel->Width() + 2, BeginLabel->Top(), editWidth,
                       BeginEdit->Height());
  if (buttons)
    BeginButton->SetBounds(BeginEdit->Left() + BeginEdit->Width() + 1, BeginLabel->Top(),
                           BeginButton->Width(), BeginButton->Height());
  EndLabel->SetBounds(BeginLabel->Left(), g + BeginLabel->Top() + BeginEdit->Height(),
                      EndLabel->Width(), EndLabel->Height());
  EndEdit->SetBounds(BeginEdit->Left(), EndLabel->Top(), BeginEdit->Width(), EndEdit->Height());
  if (buttons)
    EndButton->SetBounds(BeginButton->Left(), EndLabel->Top(), EndButton->Width(),
                         EndButton->Height());
}

void TSelectPanel::ArrangeList() {
  const int w = ListPanel->Width();
  const int h = ListPanel->Height();
  // The list keeps the lookup button's room also while the button is hidden.
  ListView->SetBounds(ListView->Left(), 0, w - ListView->Left() - ListButton->Width() - 3, h);
  ListButton->SetBounds(ListView->Width() + 2, ListView->Top(), ListButton->Width(),
                        ListButton->Height());
  DeleteButton->SetBounds(ListButton->Left(), ListButton->Top() + ListButton->Height(),
                          DeleteButton->Width(), DeleteButton->Height());
  ClearButton->SetBounds(ListButton->Left(), DeleteButton->Top() + DeleteButton->Height(),
                         ClearButton->Width(), ClearButton->Height());
}

// --- Words and hints -----------------------------------------------------------------------------

void TSelectPanel::ShowWords() {
  const int line = style_ == sp_UserChoice ? 1 : 0;
  BeginLabel->SetCaption(WordLine(beginWords_.get(), line));
  EndLabel->SetCaption(WordLine(finalWords_.get(), line));
}

static void KeepFirstTwo(TStringList* target, const std::vector<std::string>& lines) {
  target->BeginUpdate();
  target->Clear();
  for (size_t i = 0; i < lines.size() && i < 2; ++i) target->Add(lines[i]);
  target->EndUpdate();
}

void TSelectPanel::SetBeginWords(TStringList* v) {
  settingWords_ = true;
  KeepFirstTwo(beginWords_.get(), LinesOf(v));
  settingWords_ = false;
  ShowWords();
  SendWMSize();
}

void TSelectPanel::SetFinalWords(TStringList* v) {
  settingWords_ = true;
  KeepFirstTwo(finalWords_.get(), LinesOf(v));
  settingWords_ = false;
  ShowWords();
  SendWMSize();
}

void TSelectPanel::WordsChanged(TObject* sender) {
  if (settingWords_) return;
  if (static_cast<TStringList*>(sender)->Count() >= 2) SendWMSize();
}

void TSelectPanel::SetChildHints(TStringList* v) {
  if (!v) return;
  if (v != childHints_.get()) childHints_->Assign(v);
  ApplyChildHints();
}

void TSelectPanel::ChildHintsChanged(TObject*) {
  ApplyChildHints();
}

void TSelectPanel::ApplyChildHints() {
  TControl* const targets[] = {ChoiceBox, BeginEdit,  BeginButton,  EndEdit,    EndButton,
                               ListView,  ListButton, DeleteButton, ClearButton};
  const int n = std::min<int>(childHints_->Count(), 9);
  for (int i = 0; i < n; ++i) targets[i]->SetHint(childHints_->Strings(i));
}

// --- Columns, rows and sorting -------------------------------------------------------------------

void TSelectPanel::SetItems(TListItems* v) {
  ListView->Items()->Assign(v);
}

void TSelectPanel::SetColumns(TListColumns* v) {
  ListView->Columns()->Assign(v);
}

TStringList* TSelectPanel::ColumnCaptions() const {
  rebuildingCaptions_ = true;
  columnCaptions_->BeginUpdate();
  columnCaptions_->Clear();
  for (int i = 0; i < ListView->Columns()->Count(); ++i)
    columnCaptions_->Add(ListView->Columns()->Items(i)->Caption());
  columnCaptions_->EndUpdate();
  rebuildingCaptions_ = false;
  return columnCaptions_.get();
}

void TSelectPanel::ReplaceColumns(const std::vector<std::string>& captions) {
  TListColumns* columns = ListView->Columns();
  columns->BeginUpdate();
  columns->Clear();
  for (const std::string& caption : captions) {
    TListColumn* column = columns->Add();
    column->SetCaption(caption);
    column->SetWidth(-1);
  }
  columns->EndUpdate();
}

void TSelectPanel::SetColumnCaptions(TStringList* v) {
  ReplaceColumns(LinesOf(v));
}

void TSelectPanel::ColumnCaptionsChanged(TObject*) {
  // Lines edited in place (as a form resource does) replace the columns too.
  if (!rebuildingCaptions_) ReplaceColumns(columnCaptions_->ToVector());
}

void TSelectPanel::SetSortListBox(bool v) {
  sortListBox_ = v;
  ListView->SetSortType(v ? stText : stNone);
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate v) {
  ListView->SetCheckDuplicate(v);
  // Only neighbours are compared, so the list must be sorted.
  if (v != cd_None) SetSortListBox(true);
  if (!IsRangeMode()) ListView->RemoveDuplicates();
}

int TSelectPanel::CompareRows(TListItem* a, TListItem* b) const {
  auto cmp = [&](int column) {
    return AnsiCompareText(a->ColumnText(column), b->ColumnText(column));
  };
  int result = cmp(sortColumn_);
  if (result == 0) {
    if (sortColumn_ == 0) {
      result = cmp(1);
    } else if (sortColumn_ == 1) {
      result = cmp(0);
    } else {
      result = cmp(0);
      if (result == 0) result = cmp(1);
    }
  }
  return sortAscending_ ? result : -result;
}

void TSelectPanel::ListViewCompare(TObject*, TListItem* a, TListItem* b, int, int& compare) {
  compare = CompareRows(a, b);
}

void TSelectPanel::ListViewColumnClick(TObject*, TListColumn* column) {
  const int index = column->Index();
  if (index == sortColumn_) {
    sortAscending_ = !sortAscending_;
  } else {
    sortColumn_ = index;
    sortAscending_ = true;
  }
  ListView->AlphaSort();
}

void TSelectPanel::DeleteButtonClick(TObject*) {
  bool accept = true;
  if (!Designing()) onDeleteClick_(DeleteButton, accept);
  if (!accept) return;
  TListItems* items = ListView->Items();
  items->BeginUpdate();
  try {
    for (int i = items->Count() - 1; i >= 0; --i)
      if (items->Item(i)->Selected()) items->Delete(i);
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
}

void TSelectPanel::ClearButtonClick(TObject*) {
  ListView->ClearRows();
  if (CanTakeFocus(ListView)) ListView->SetFocus();
  if (!Designing()) onClearClick_(ClearButton);
}

// --- Edit mask and exit ordering -----------------------------------------------------------------

void TSelectPanel::SetEditMask(const std::string& v) {
  editMask_ = v;
  const std::string remembered = BeginEdit->Text();
  BeginEdit->SetSuppressChange(true);
  try {
    BeginEdit->SetText("");
    BeginEdit->SetEditMask(v);
    EndEdit->SetEditMask(v);
    blankText_ = BeginEdit->Text();
    BeginEdit->SetText(remembered);
  } catch (...) {
    BeginEdit->SetSuppressChange(false);
    throw;
  }
  BeginEdit->SetSuppressChange(false);
}

double TSelectPanel::DateValue(const std::string& text) const {
  std::string t = Trim(text);
  if (t.empty() || t == Trim(blankText_) || dateSign_.empty()) return 0;
  int signs = 0;
  for (size_t at = t.find(dateSign_); at != std::string::npos;
       at = t.find(dateSign_, at + dateSign_.size()))
    ++signs;
  if (signs == 1) {
    switch (dateType_) {
      case dt_MMDDYYYY:
        t = t.substr(0, 2) + dateSign_ + "01" + (t.size() > 2 ? t.substr(2, 5) : std::string());
        break;
      case dt_DDMMYYYY:
        t = "01" + dateSign_ + t;
        break;
      default:
        t += dateSign_ + "01";
        break;
    }
  } else if (signs != 2) {
    return 0;
  }
  int parts[3] = {0, 0, 0};
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t at = t.find(dateSign_, start);
    const std::string part =
        at == std::string::npos ? t.substr(std::min(start, t.size())) : t.substr(start, at - start);
    if (!TryStrToInt(Trim(part), parts[i])) return 0;
    start = at == std::string::npos ? t.size() : at + dateSign_.size();
  }
  int year = 0;
  int month = 0;
  int day = 0;
  switch (dateType_) {
    case dt_YYYYMMDD:
      year = parts[0], month = parts[1], day = parts[2];
      break;
    case dt_MMDDYYYY:
      year = parts[2], month = parts[0], day = parts[1];
      break;
    case dt_DDMMYYYY:
      year = parts[2], month = parts[1], day = parts[0];
      break;
    case dt_YYMMDD:
    case dt_YYYMMDD:
      year = parts[0] + 1911, month = parts[1], day = parts[2];
      break;
    case dt_NoneCare:
      return 0;
  }
  TDateTime date = 0;
  return TryEncodeDate(year, month, day, date) ? date : 0;
}

namespace {

int IntOf(const std::string& text) {
  int value = 0;
  return TryStrToInt(Trim(text), value) ? value : 0;
}

// The integer before the first "." and the fraction digits after it; the fraction's
// leading zeros are kept, since reading it as an integer would turn 0.05 into 0.5.
std::string NormalFloat(const std::string& text) {
  const std::string t = Trim(text);
  const size_t dot = t.find('.');
  const std::string whole = Trim(t.substr(0, dot));
  std::string fraction = dot == std::string::npos ? std::string() : Trim(t.substr(dot + 1));
  const bool negative = !whole.empty() && whole[0] == '-';
  const int integer = IntOf(whole);
  const bool digits = !fraction.empty() && std::all_of(fraction.begin(), fraction.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) fraction = "0";
  return (negative && integer == 0 ? "-" : "") + IntToStr(integer) + "." + fraction;
}

double FloatOf(const std::string& text) {
  double value = 0;
  return TryStrToFloat(text, value) ? value : 0;
}

}  // namespace

void TSelectPanel::OrderRange() {
  const std::string& mask = BeginEdit->EditMask();
  if (mask.empty() || mask[0] != '!') {
    for (TVekMaskEdit* edit : {BeginEdit, EndEdit}) {
      const std::string trimmed = Trim(edit->Text());
      if (trimmed != edit->Text()) edit->SetText(trimmed);
    }
  }
  std::string b = BeginEdit->Text();
  std::string e = EndEdit->Text();
  if (b.empty() || e.empty()) return;

  auto blankOrDiscarded = [&] {
    if (b == blankText_ || e == blankText_) return true;
    return useDiscard_ && (Trim(b) == discard_ || Trim(e) == discard_);
  };
  bool swap = false;
  switch (valueType_) {
    case vt_String:
    case vt_Time:
      swap = !blankOrDiscarded() && b.compare(e) > 0;
      break;
    case vt_Number:
      swap = IntOf(e) < IntOf(b);
      break;
    case vt_Date:
      if (!autoChangeDateSite_ || blankOrDiscarded()) break;
      swap = dateType_ == dt_NoneCare ? b.compare(e) > 0 : DateValue(b) > DateValue(e);
      break;
    case vt_Float:
      b = NormalFloat(b);
      e = NormalFloat(e);
      BeginEdit->SetText(b);
      EndEdit->SetText(e);
      b = BeginEdit->Text();
      e = EndEdit->Text();
      swap = FloatOf(b) > FloatOf(e);
      break;
    case vt_OtherMask:
      break;
  }
  if (swap) {
    BeginEdit->SetText(e);
    EndEdit->SetText(b);
  }
}

void TSelectPanel::DoExit() {
  OrderRange();
  TGroupBox::DoExit();
}

// --- Focus, enabling, lookups --------------------------------------------------------------------

static void EnableInside(TWinControl* parent, bool value) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    c->SetEnabled(value);
    if (auto* w = dynamic_cast<TWinControl*>(c)) EnableInside(w, value);
  }
}

void TSelectPanel::SetEnabled(bool v) {
  TGroupBox::SetEnabled(v);
  EnableInside(this, v);
}

void TSelectPanel::SetFocus() {
  TGroupBox::SetFocus();
  if (!IsRangeMode()) ListView->SetFocus();
}

void TSelectPanel::RequestLookup(TWinControl* target) {
  if (Designing()) return;
  if (CanTakeFocus(target)) target->SetFocus();
  if (Owner()) Owner()->Perform(WM_OPENWIN, 0, reinterpret_cast<LPARAM>(target));
  onOpenWinClick_(this, target);
}

void TSelectPanel::BeginButtonClick(TObject*) {
  RequestLookup(BeginEdit);
}

void TSelectPanel::EndButtonClick(TObject*) {
  RequestLookup(EndEdit);
}

void TSelectPanel::ListButtonClick(TObject*) {
  RequestLookup(ListView);
}

// --- Event forwarding ----------------------------------------------------------------------------

TObject* TSelectPanel::ForwardSender(TObject* sender) const {
  if (sender == BeginEdit || sender == EndEdit || sender == ListView) return sender;
  return const_cast<TSelectPanel*>(this);
}

TPoint TSelectPanel::ToPanel(TObject* sender, int x, int y) const {
  auto* control = dynamic_cast<TControl*>(sender);
  if (!control) return Point(x, y);
  return ScreenToClient(control->ClientToScreen(Point(x, y)));
}

void TSelectPanel::InnerKeyDown(TObject* sender, WORD& key, TShiftState shift) {
  OnKeyDown()(sender, key, shift);
}

void TSelectPanel::InnerKeyUp(TObject* sender, WORD& key, TShiftState shift) {
  OnKeyUp()(sender, key, shift);
}

void TSelectPanel::InnerKeyPress(TObject* sender, char& key) {
  OnKeyPress()(sender, key);
}

void TSelectPanel::InnerClick(TObject* sender) {
  OnClick()(ForwardSender(sender));
}

void TSelectPanel::InnerDblClick(TObject* sender) {
  OnDblClick()(ForwardSender(sender));
}

void TSelectPanel::InnerMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                                  int y) {
  const TPoint p = ToPanel(sender, x, y);
  OnMouseDown()(ForwardSender(sender), button, shift, p.X, p.Y);
}

void TSelectPanel::InnerMouseMove(TObject* sender, TShiftState shift, int x, int y) {
  const TPoint p = ToPanel(sender, x, y);
  OnMouseMove()(ForwardSender(sender), shift, p.X, p.Y);
}

void TSelectPanel::InnerMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x,
                                int y) {
  const TPoint p = ToPanel(sender, x, y);
  OnMouseUp()(ForwardSender(sender), button, shift, p.X, p.Y);
}

void TSelectPanel::ListViewSelectItem(TObject*, TListItem* item, bool selected) {
  if (onItemSelect_) onItemSelect_(ListView, item, item ? item->Index() : -1, selected);
}

void TSelectPanel::ListViewChange(TObject*, TListItem* item, TItemChange change) {
  onItemChange_(ListView, item, change);
}

void TSelectPanel::ListViewChanging(TObject*, TListItem* item, TItemChange change, bool& allow) {
  onItemChanging_(ListView, item, change, allow);
}

namespace {

// Converts every line of `lines` into `result`; the panel takes it back through its
// setter so that its labels and layout follow.
void ConvertLines(const TStringList* lines, const TTextConversion& convert, TStringList& result) {
  for (int i = 0; i < lines->Count(); ++i) result.Add(convert(lines->Strings(i)));
}

// The one-time interface conversion of a form reaches the panel's own texts and its list.
[[maybe_unused]] const bool conversionRegistered = [] {
  RegisterComponentConversion(TSelectPanel::StaticClass(),
                              [](TComponent* component, const TTextConversion& convert) {
                                auto* panel = static_cast<TSelectPanel*>(component);
                                TStringList hints, beginWords, finalWords;
                                ConvertLines(panel->ChildHints(), convert, hints);
                                panel->SetChildHints(&hints);
                                ConvertLines(panel->BeginWords(), convert, beginWords);
                                panel->SetBeginWords(&beginWords);
                                ConvertLines(panel->FinalWords(), convert, finalWords);
                                panel->SetFinalWords(&finalWords);
                                panel->SetHintWord(convert(panel->HintWord()));
                                ConvertListViewTexts(panel->ListView, convert);
                              });
  return true;
}();

}  // namespace
