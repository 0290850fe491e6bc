// Grids: TDrawGrid (cells drawn by the program) and TStringGrid (a text per cell), with
// fixed rows and columns, the current cell and the in-place editor.
//
// Deviations by design:
// - The grid does not scroll: LeftCol and TopRow stay at the first movable column and row,
//   and every cell has its rectangle.
// - The in-place editor is a plain edit (no edit mask).
#pragma once

#include <memory>
#include <vector>

#include "StdCtrls.h"

KXBR_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
          goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing,
          goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking)
using TGridOptions = TSet<TGridOption>;
KXBR_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
using TGridDrawState = TSet<TGridDrawStateItem>;

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

using TSelectCellEvent = TEvent<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    TEvent<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = TEvent<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = TEvent<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

class TCustomGrid;

// The grid's cell editor: keys that leave the cell go to the grid.
class TInplaceEdit : public TCustomEdit {
  KXBR_CLASS(TInplaceEdit, TCustomEdit)

 public:
  explicit TInplaceEdit(TComponent* owner);
  TCustomGrid* Grid() const;

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Change() override;
  void WMGetDlgCodeInplace(TMessage& m);
};

class TCustomGrid : public TCustomControl {
  KXBR_CLASS(TCustomGrid, TCustomControl)

 public:
  explicit TCustomGrid(TComponent* owner);
  ~TCustomGrid() override;

  int ColCount() const { return colCount_; }
  virtual void SetColCount(int v);
  int RowCount() const { return rowCount_; }
  virtual void SetRowCount(int v);
  // Fixed columns and rows must leave one movable column and row; others raise
  // EInvalidGridOperation and change nothing.
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int v);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int v);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int v);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int v);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions v);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor v) { fixedColor_ = v; }
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
  int LeftCol() const { return fixedCols_; }
  int TopRow() const { return fixedRows_; }

  // The current cell. Moving it asks OnSelectCell; a refused or fixed cell changes nothing.
  int Col() const { return col_; }
  void SetCol(int v) { FocusCell(v, row_); }
  int Row() const { return row_; }
  void SetRow(int v) { FocusCell(col_, v); }
  bool FocusCell(int col, int row);
  TGridRect Selection() const { return selection_; }

  // The in-place editor: shown with goEditing (F2, Enter or a typed character), hidden
  // with Enter, Esc (which restores the text) or a move of the current cell.
  bool EditorMode() const { return editor_ && editorShown_; }
  void SetEditorMode(bool v);
  TInplaceEdit* InplaceEditor() const { return editor_; }

  TRect CellRect(int col, int row) const;
  // The cell at a client point; false outside the cells.
  bool MouseToCell(int x, int y, int& col, int& row) const;

  const TSelectCellEvent& OnSelectCell() const { return onSelectCell_; }
  void SetOnSelectCell(TSelectCellEvent e) { onSelectCell_ = e; }
  const TDrawCellEvent& OnDrawCell() const { return onDrawCell_; }
  void SetOnDrawCell(TDrawCellEvent e) { onDrawCell_ = e; }
  const TGetEditEvent& OnGetEditText() const { return onGetEditText_; }
  void SetOnGetEditText(TGetEditEvent e) { onGetEditText_ = e; }
  const TSetEditEvent& OnSetEditText() const { return onSetEditText_; }
  void SetOnSetEditText(TSetEditEvent e) { onSetEditText_ = e; }

 protected:
  friend class TInplaceEdit;
  virtual std::string GetEditText(int col, int row);
  virtual void SetEditText(int col, int row, const std::string& value);
  virtual bool SelectCell(int col, int row);
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  void Paint() override;
  void ShowEditor(const std::string* typed);
  void HideEditor(bool restore);
  // A key of the grid (or passed on by its editor): moves, editor control.
  bool GridKey(WORD key, TShiftState shift);
  void DefaultHandler(TMessage& message) override;
  void WMGetDlgCodeGrid(TMessage& m);

 private:
  void ClampCurrent();

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  int gridLineWidth_ = 1;
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor fixedColor_ = clBtnFace;
  bool defaultDrawing_ = true;
  int col_ = 1;
  int row_ = 1;
  TGridRect selection_{1, 1, 1, 1};
  TInplaceEdit* editor_ = nullptr;
  bool editorShown_ = false;
  std::string editorStartText_;
  TSelectCellEvent onSelectCell_;
  TDrawCellEvent onDrawCell_;
  TGetEditEvent onGetEditText_;
  TSetEditEvent onSetEditText_;
};

KXBR_EXCEPTION_CLASS(EInvalidGridOperation, Exception)

class TDrawGrid : public TCustomGrid {
  KXBR_CLASS(TDrawGrid, TCustomGrid)

 public:
  using TCustomGrid::TCustomGrid;
};

class TStringGrid;

// A column or row of a string grid seen as a string list.
class TStringGridStrings : public TStrings {
  KXBR_CLASS(TStringGridStrings, TStrings)

 public:
  TStringGridStrings(TStringGrid* grid, bool column, int index)
      : grid_(grid), column_(column), index_(index) {}
  // Fills the first empty cell; -1 when none is left (the line keeps its length).
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  std::string Get(int index) const override;
  int GetCount() const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;

 private:
  TStringGrid* grid_;
  bool column_;
  int index_;
};

class TStringGrid : public TDrawGrid {
  KXBR_CLASS(TStringGrid, TDrawGrid)

 public:
  explicit TStringGrid(TComponent* owner);
  ~TStringGrid() override;

  // Cells outside the grid read "" and raise EInvalidGridOperation when written.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string& value);
  TObject* Objects(int col, int row) const;
  void SetObjects(int col, int row, TObject* value);
  // A column or row as a string list (owned by the grid, valid while it lives).
  TStrings* Cols(int index);
  TStrings* Rows(int index);

  void SetColCount(int v) override;
  void SetRowCount(int v) override;

 protected:
  std::string GetEditText(int col, int row) override;
  void SetEditText(int col, int row, const std::string& value) override;
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;

 private:
  struct Cell {
    std::string Text;
    TObject* Object = nullptr;
  };
  Cell* CellAt(int col, int row);
  const Cell* CellAt(int col, int row) const;

  std::vector<std::vector<Cell>> cells_;  // [row][col]
  std::vector<std::unique_ptr<TStringGridStrings>> views_;
};
