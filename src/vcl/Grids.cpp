#include "Grids.h"

#include <algorithm>

#include "Forms.h"

// --- TInplaceEdit ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TInplaceEdit, .Message<&TInplaceEdit::WMGetDlgCodeInplace>(WM_GETDLGCODE))

TInplaceEdit::TInplaceEdit(TComponent* owner) : TCustomEdit(owner) {
  SetVisible(false);
  SetTabStop(false);
}

TCustomGrid* TInplaceEdit::Grid() const {
  return dynamic_cast<TCustomGrid*>(Parent());
}

void TInplaceEdit::WMGetDlgCodeInplace(TMessage& m) {
  m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (TCustomGrid* grid = Grid(); grid && grid->Options().Contains(goTabs))
    m.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  TCustomGrid* grid = Grid();
  if (!grid || key == 0) return;
  const bool atStart = SelStart() == 0 && SelLength() == 0;
  const bool atEnd = SelStart() == Utf8Length(Text()) && SelLength() == 0;
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
      break;
    case VK_LEFT:
      if (!atStart) return;
      break;
    case VK_RIGHT:
      if (!atEnd) return;
      break;
    default:
      return;
  }
  // The key leaves the cell: the grid moves (which hides the editor).
  if (grid->GridKey(key, shift)) key = 0;
}

void TInplaceEdit::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  TCustomGrid* grid = Grid();
  if (!grid) return;
  if (key == '\r') {
    key = 0;
    if (!grid->Options().Contains(goAlwaysShowEditor)) grid->HideEditor(false);
  } else if (key == 27) {
    key = 0;
    grid->HideEditor(true);
  }
}

void TInplaceEdit::Change() {
  TCustomEdit::Change();
  TCustomGrid* grid = Grid();
  if (grid && grid->EditorMode()) grid->SetEditText(grid->Col(), grid->Row(), Text());
}

// --- TCustomGrid -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomGrid,
    .Prop<&TCustomGrid::ColCount, &TCustomGrid::SetColCount>("ColCount")
        .Prop<&TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth>("DefaultColWidth")
        .Prop<&TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing>("DefaultDrawing")
        .Prop<&TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight>("DefaultRowHeight")
        .Prop<&TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor>("FixedColor", ColorTypeInfo())
        .Prop<&TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols>("FixedCols")
        .Prop<&TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows>("FixedRows")
        .Prop<&TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth>("GridLineWidth")
        .Prop<&TCustomGrid::Options, &TCustomGrid::SetOptions>("Options")
        .Prop<&TCustomGrid::RowCount, &TCustomGrid::SetRowCount>("RowCount")
        .Prop<&TCustomGrid::OnDrawCell, &TCustomGrid::SetOnDrawCell>("OnDrawCell")
        .Prop<&TCustomGrid::OnGetEditText, &TCustomGrid::SetOnGetEditText>("OnGetEditText")
        .Prop<&TCustomGrid::OnSelectCell, &TCustomGrid::SetOnSelectCell>("OnSelectCell")
        .Prop<&TCustomGrid::OnSetEditText, &TCustomGrid::SetOnSetEditText>("OnSetEditText")
        .Message<&TCustomGrid::WMGetDlgCodeGrid>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TDrawGrid)

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csCaptureMouse, csOpaque, csDoubleClicks};
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  focusOnClick_ = true;
  colWidths_.assign(colCount_, defaultColWidth_);
  rowHeights_.assign(rowCount_, defaultRowHeight_);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::ClampCurrent() {
  const int col = std::clamp(col_, fixedCols_, std::max(colCount_ - 1, fixedCols_));
  const int row = std::clamp(row_, fixedRows_, std::max(rowCount_ - 1, fixedRows_));
  if (col != col_ || row != row_) {
    if (EditorMode()) HideEditor(false);
    col_ = col;
    row_ = row;
  }
  selection_ = {col_, row_, options_.Contains(goRowSelect) ? colCount_ - 1 : col_, row_};
  if (options_.Contains(goRowSelect)) selection_.Left = fixedCols_;
}

void TCustomGrid::SetColCount(int v) {
  v = std::max(v, 1);
  if (v == colCount_) return;
  if (v <= fixedCols_) fixedCols_ = v - 1;
  colCount_ = v;
  colWidths_.resize(v, defaultColWidth_);
  ClampCurrent();
  Changed("Cells");
  Invalidate();
}

void TCustomGrid::SetRowCount(int v) {
  v = std::max(v, 1);
  if (v == rowCount_) return;
  if (v <= fixedRows_) fixedRows_ = v - 1;
  rowCount_ = v;
  rowHeights_.resize(v, defaultRowHeight_);
  ClampCurrent();
  Changed("Cells");
  Invalidate();
}

void TCustomGrid::SetFixedCols(int v) {
  if (v < 0 || v >= colCount_)
    throw EInvalidGridOperation("Fixed column count must be less than column count");
  fixedCols_ = v;
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int v) {
  if (v < 0 || v >= rowCount_)
    throw EInvalidGridOperation("Fixed row count must be less than row count");
  fixedRows_ = v;
  ClampCurrent();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v) {
  if (v < 0) return;
  defaultColWidth_ = v;
  colWidths_.assign(colCount_, v);
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  if (v < 0) return;
  defaultRowHeight_ = v;
  rowHeights_.assign(rowCount_, v);
  Invalidate();
}

int TCustomGrid::ColWidths(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

void TCustomGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= colCount_) throw EInvalidGridOperation("Grid index out of range");
  colWidths_[col] = std::max(width, 0);
  Invalidate();
}

int TCustomGrid::RowHeights(int row) const {
  return row >= 0 && row < rowCount_ ? rowHeights_[row] : defaultRowHeight_;
}

void TCustomGrid::SetRowHeights(int row, int height) {
  if (row < 0 || row >= rowCount_) throw EInvalidGridOperation("Grid index out of range");
  rowHeights_[row] = std::max(height, 0);
  Invalidate();
}

void TCustomGrid::SetGridLineWidth(int v) {
  gridLineWidth_ = std::max(v, 0);
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions v) {
  if (options_ == v) return;
  options_ = v;
  if (!v.Contains(goEditing) && EditorMode()) HideEditor(false);
  ClampCurrent();
  if (v.Contains(goEditing) && v.Contains(goAlwaysShowEditor) && !IsLoading()) ShowEditor(nullptr);
  Invalidate();
}

TRect TCustomGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return TRect{};
  int x = 0;
  for (int c = 0; c < col; ++c) x += colWidths_[c] + gridLineWidth_;
  int y = 0;
  for (int r = 0; r < row; ++r) y += rowHeights_[r] + gridLineWidth_;
  return Rect(x, y, x + colWidths_[col], y + rowHeights_[row]);
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < colCount_; ++c) {
      const TRect cell = CellRect(c, r);
      // A cell takes the grid line to its right and below.
      if (x >= cell.Left && x < cell.Right + gridLineWidth_ && y >= cell.Top &&
          y < cell.Bottom + gridLineWidth_) {
        col = c;
        row = r;
        return true;
      }
    }
  col = row = -1;
  return false;
}

bool TCustomGrid::SelectCell(int col, int row) {
  bool canSelect = true;
  onSelectCell_(this, col, row, canSelect);
  return canSelect;
}

bool TCustomGrid::FocusCell(int col, int row) {
  if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_) return false;
  if (col == col_ && row == row_) return true;
  if (!SelectCell(col, row)) return false;
  if (EditorMode()) HideEditor(false);
  col_ = col;
  row_ = row;
  ClampCurrent();
  Changed("Selection");
  Invalidate();
  if (options_.Contains(goEditing) && options_.Contains(goAlwaysShowEditor)) ShowEditor(nullptr);
  return true;
}

std::string TCustomGrid::GetEditText(int col, int row) {
  std::string value;
  onGetEditText_(this, col, row, value);
  return value;
}

void TCustomGrid::SetEditText(int col, int row, const std::string& value) {
  onSetEditText_(this, col, row, value);
}

void TCustomGrid::SetEditorMode(bool v) {
  if (v)
    ShowEditor(nullptr);
  else
    HideEditor(false);
}

void TCustomGrid::ShowEditor(const std::string* typed) {
  if (!options_.Contains(goEditing) || options_.Contains(goRowSelect)) return;
  if (!editor_) {
    editor_ = new TInplaceEdit(this);
    editor_->SetParent(this);
  }
  editorStartText_ = GetEditText(col_, row_);
  editorShown_ = false;  // no SetEditText while the text is being placed
  editor_->SetText(editorStartText_);
  editor_->SetBoundsRect(CellRect(col_, row_));
  editor_->SetVisible(true);
  editorShown_ = true;
  if (Focused() && editor_->CanFocus()) editor_->SetFocus();
  editor_->SelectAll();
  if (typed) {
    for (uint32_t c : Utf8CodePoints(*typed)) editor_->Perform(WM_CHAR, c);
  }
  Changed("Editor");
}

void TCustomGrid::HideEditor(bool restore) {
  if (!editor_ || !editorShown_) return;
  if (restore) {
    editor_->SetText(editorStartText_);  // SetEditText follows through the editor's change
  }
  editorShown_ = false;
  if (editor_->Focused() && CanFocus()) SetFocus();
  editor_->SetVisible(false);
  Changed("Editor");
}

bool TCustomGrid::GridKey(WORD key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  int col = col_;
  int row = row_;
  switch (key) {
    case VK_UP:
      --row;
      break;
    case VK_DOWN:
      ++row;
      break;
    case VK_LEFT:
      --col;
      break;
    case VK_RIGHT:
      ++col;
      break;
    case VK_PRIOR:
      row = fixedRows_;
      break;
    case VK_NEXT:
      row = rowCount_ - 1;
      break;
    case VK_HOME:
      col = fixedCols_;
      if (ctrl) row = fixedRows_;
      break;
    case VK_END:
      col = colCount_ - 1;
      if (ctrl) row = rowCount_ - 1;
      break;
    case VK_TAB:
      if (!options_.Contains(goTabs)) return false;
      if (shift.Contains(ssShift)) {
        if (--col < fixedCols_) {
          col = colCount_ - 1;
          --row;
        }
      } else if (++col >= colCount_) {
        col = fixedCols_;
        ++row;
      }
      break;
    case VK_F2:
      ShowEditor(nullptr);
      return true;
    default:
      return false;
  }
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  FocusCell(col, row);
  return true;
}

void TCustomGrid::WMGetDlgCodeGrid(TMessage& m) {
  m.Result = DLGC_WANTARROWS;
  if (options_.Contains(goRowSelect)) return;
  if (options_.Contains(goTabs)) m.Result |= DLGC_WANTTAB;
  if (options_.Contains(goEditing)) m.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      GridKey(static_cast<WORD>(m.WParam), KeyboardState());
      return;
    case WM_CHAR: {
      const auto ch = static_cast<uint32_t>(m.WParam);
      if (ch == '\r') {
        if (options_.Contains(goEditing) && !options_.Contains(goAlwaysShowEditor))
          SetEditorMode(!EditorMode());
        return;
      }
      if (options_.Contains(goEditing) && (ch == VK_BACK || ch >= 32)) {
        const std::string typed = CodePointToUtf8(ch);
        ShowEditor(&typed);
      }
      return;
    }
    case WM_LBUTTONDOWN: {
      TCustomControl::DefaultHandler(m);
      const TPoint p = LParamToPoint(m.LParam);
      int col = 0;
      int row = 0;
      if (MouseToCell(p.X, p.Y, col, row)) FocusCell(col, row);
      return;
    }
    case WM_LBUTTONDBLCLK:
      if (options_.Contains(goEditing)) ShowEditor(nullptr);
      return;
    default:
      TCustomControl::DefaultHandler(m);
  }
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  onDrawCell_(this, col, row, rect, state);
}

void TCustomGrid::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < colCount_; ++c) {
      const TRect rect = CellRect(c, r);
      TGridDrawState state;
      const bool fixed = c < fixedCols_ || r < fixedRows_;
      if (fixed) state.Include(gdFixed);
      if (!fixed && c >= selection_.Left && c <= selection_.Right && r >= selection_.Top &&
          r <= selection_.Bottom)
        state.Include(gdSelected);
      if (c == col_ && r == row_ && Focused()) state.Include(gdFocused);
      if (defaultDrawing_) {
        canvas->Brush()->SetColor(fixed                        ? fixedColor_
                                  : state.Contains(gdSelected) ? clHighlight
                                                               : Color());
        canvas->FillRect(rect);
      }
      DrawCell(c, r, rect, state);
    }
  if (gridLineWidth_ > 0) {
    canvas->Pen()->SetColor(clBtnShadow);
    for (int r = 0; r < rowCount_; ++r) {
      const TRect rect = CellRect(0, r);
      canvas->MoveTo(0, rect.Bottom);
      canvas->LineTo(Width(), rect.Bottom);
    }
    for (int c = 0; c < colCount_; ++c) {
      const TRect rect = CellRect(c, 0);
      canvas->MoveTo(rect.Right, 0);
      canvas->LineTo(rect.Right, Height());
    }
  }
}

// --- TStringGrid -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TStringGridStrings)

std::string TStringGridStrings::Get(int index) const {
  return column_ ? grid_->Cells(index_, index) : grid_->Cells(index, index_);
}

int TStringGridStrings::GetCount() const {
  return column_ ? grid_->RowCount() : grid_->ColCount();
}

void TStringGridStrings::Put(int index, const std::string& s) {
  if (column_)
    grid_->SetCells(index_, index, s);
  else
    grid_->SetCells(index, index_, s);
}

TObject* TStringGridStrings::GetObject(int index) const {
  return column_ ? grid_->Objects(index_, index) : grid_->Objects(index, index_);
}

void TStringGridStrings::PutObject(int index, TObject* object) {
  if (column_)
    grid_->SetObjects(index_, index, object);
  else
    grid_->SetObjects(index, index_, object);
}

int TStringGridStrings::Add(const std::string& s) {
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i).empty()) {
      Put(i, s);
      return i;
    }
  return -1;
}

int TStringGridStrings::AddObject(const std::string& s, TObject* object) {
  const int index = Add(s);
  if (index >= 0) PutObject(index, object);
  return index;
}

void TStringGridStrings::Insert(int, const std::string&) {
  throw EInvalidGridOperation("A grid's row or column has a fixed length");
}

void TStringGridStrings::Delete(int) {
  throw EInvalidGridOperation("A grid's row or column has a fixed length");
}

void TStringGridStrings::Clear() {
  for (int i = 0; i < GetCount(); ++i) {
    Put(i, "");
    PutObject(i, nullptr);
  }
}

KXBR_DEFINE_CLASS(TStringGrid)

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner) {
  cells_.assign(RowCount(), std::vector<Cell>(ColCount()));
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetColCount(int v) {
  TDrawGrid::SetColCount(v);
  for (auto& row : cells_) row.resize(ColCount());
}

void TStringGrid::SetRowCount(int v) {
  TDrawGrid::SetRowCount(v);
  cells_.resize(RowCount(), std::vector<Cell>(ColCount()));
}

TStringGrid::Cell* TStringGrid::CellAt(int col, int row) {
  if (row < 0 || row >= static_cast<int>(cells_.size()) || col < 0 ||
      col >= static_cast<int>(cells_[row].size()))
    return nullptr;
  return &cells_[row][col];
}

const TStringGrid::Cell* TStringGrid::CellAt(int col, int row) const {
  return const_cast<TStringGrid*>(this)->CellAt(col, row);
}

std::string TStringGrid::Cells(int col, int row) const {
  const Cell* cell = CellAt(col, row);
  return cell ? cell->Text : std::string();
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
  Cell* cell = CellAt(col, row);
  if (!cell) throw EInvalidGridOperation("Grid index out of range");
  if (cell->Text == value) return;
  cell->Text = value;
  if (EditorMode() && col == Col() && row == Row() && InplaceEditor()->Text() != value)
    InplaceEditor()->SetText(value);
  Changed("Cells");
  Invalidate();
}

TObject* TStringGrid::Objects(int col, int row) const {
  const Cell* cell = CellAt(col, row);
  return cell ? cell->Object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* value) {
  Cell* cell = CellAt(col, row);
  if (!cell) throw EInvalidGridOperation("Grid index out of range");
  cell->Object = value;
}

TStrings* TStringGrid::Cols(int index) {
  if (index < 0 || index >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
  views_.push_back(std::make_unique<TStringGridStrings>(this, true, index));
  return views_.back().get();
}

TStrings* TStringGrid::Rows(int index) {
  if (index < 0 || index >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  views_.push_back(std::make_unique<TStringGridStrings>(this, false, index));
  return views_.back().get();
}

std::string TStringGrid::GetEditText(int col, int row) {
  std::string value = Cells(col, row);
  OnGetEditText()(this, col, row, value);
  return value;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
  if (value != Cells(col, row)) SetCells(col, row, value);
  TDrawGrid::SetEditText(col, row, value);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (DefaultDrawing()) Canvas()->TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
  TDrawGrid::DrawCell(col, row, rect, state);
}
