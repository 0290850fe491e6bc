#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestKit.h"
#include "Grids.h"
#include "Menus.h"

namespace {

using Log = std::vector<std::string>;

class GridTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    grid = new TStringGrid(form.get());
    grid->SetParent(form.get());
    grid->SetColCount(3);
    grid->SetRowCount(4);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    form->Show();
    grid->SetFocus();
  }
  TOwned<TForm> form;
  TStringGrid* grid = nullptr;
};

// Refuses cells of the last column.
class TCellGuard : public TObject {
 public:
  void SelectCell(TObject*, int col, int, bool& canSelect) { canSelect = col != 2; }
};

TEST_F(GridTest, TheCurrentCellMovesByKeysAndClicksButNotOntoFixedOrRefusedCells) {
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 1);
  SendKey(VK_DOWN);
  SendKey(VK_RIGHT);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_FALSE(grid->FocusCell(0, 1));  // fixed
  TCellGuard guard;
  grid->SetOnSelectCell(MethodOf<&TCellGuard::SelectCell>(&guard));
  grid->SetCol(1);
  SendKey(VK_RIGHT);
  EXPECT_EQ(grid->Col(), 1);
  const TRect cell = grid->CellRect(1, 3);
  SendMouseClick(grid, cell.Left + 1, cell.Top + 1);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_THROW(grid->SetFixedRows(4), EInvalidGridOperation);
  EXPECT_EQ(grid->FixedRows(), 1);
}

TEST_F(GridTest, TypingOpensTheEditorWhichWritesTheCellAndEscRestores) {
  grid->SetCells(1, 1, "old");
  SendText("n");  // a typed character replaces the cell's text in the editor
  ASSERT_TRUE(grid->EditorMode());
  EXPECT_TRUE(grid->InplaceEditor()->Focused());
  SendText("ew");
  EXPECT_EQ(grid->Cells(1, 1), "new");
  SendKey(VK_ESCAPE);
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 1), "old");
  EXPECT_TRUE(grid->Focused());
  SendKey(VK_F2);
  SendKey(VK_END);
  SendText("er");
  SendKey(VK_DOWN);  // leaves the cell: the editor closes, the value stays
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 1), "older");
  EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridTest, ColumnsAndRowsAsStringLists) {
  grid->Rows(1)->SetCommaText("a,b,c");
  EXPECT_EQ(grid->Cells(2, 1), "c");
  EXPECT_EQ(grid->Cols(2)->Strings(1), "c");
  EXPECT_THROW(grid->SetCells(5, 1, "x"), EInvalidGridOperation);
  EXPECT_EQ(grid->Cells(5, 1), "");
  grid->SetRowCount(2);
  EXPECT_EQ(grid->Row(), 1);
}

TEST(TreeViewTest, NodesSelectionAndExpansion) {
  TOwned<TForm> form(CreateForm<TForm>(nullptr));
  auto* tree = new TTreeView(form.get());
  tree->SetParent(form.get());
  TTreeNode* root = tree->Items()->Add(nullptr, "root");
  TTreeNode* a = tree->Items()->AddChild(root, "a");
  TTreeNode* b = tree->Items()->AddChild(root, "b");
  tree->Items()->AddChild(a, "a1");
  EXPECT_EQ(tree->Items()->Count(), 4);
  EXPECT_EQ(b->AbsoluteIndex(), 3);
  EXPECT_EQ(a->Level(), 1);
  EXPECT_EQ(tree->VisibleNodes().size(), 1u);
  root->Expand(false);
  EXPECT_EQ(tree->VisibleNodes().size(), 3u);
  form->Show();
  tree->SetFocus();
  SendKey(VK_DOWN);
  EXPECT_EQ(tree->Selected(), root);
  SendKey(VK_DOWN);
  EXPECT_EQ(tree->Selected(), a);
  SendKey(VK_RIGHT);
  EXPECT_TRUE(a->Expanded());
  a->Delete();
  EXPECT_EQ(tree->Selected(), nullptr);
  EXPECT_EQ(tree->Items()->Count(), 2);
}

TEST(ToolBarTest, ButtonsLineUpAndDropDownsPopTheirMenu) {
  TOwned<TForm> form(CreateForm<TForm>(nullptr));
  auto* bar = new TToolBar(form.get());
  bar->SetParent(form.get());
  auto* menu = new TPopupMenu(form.get());
  TToolButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TToolButton(form.get());
    buttons[i]->SetLeft(i * 100);
    buttons[i]->SetParent(bar);
  }
  buttons[1]->SetStyle(tbsSeparator);
  buttons[2]->SetDropdownMenu(menu);
  EXPECT_EQ(buttons[0]->BoundsRect(), Rect(0, 0, 23, 22));
  EXPECT_EQ(buttons[1]->Left(), 23);
  EXPECT_EQ(buttons[2]->Left(), 31);
  form->Show();
  SendMouseClick(buttons[2]);
  EXPECT_EQ(menu->PopupCount(), 1);
  EXPECT_EQ(menu->PopupComponent(), buttons[2]);
  buttons[0]->SetStyle(tbsCheck);
  buttons[0]->Click();
  EXPECT_TRUE(buttons[0]->Down());
}

TEST(AnimateTest, CommonClipsPlayUntilStoppedAndMissingFilesAreRefused) {
  TAnimate animate(nullptr);
  EXPECT_THROW(animate.Play(1, 1, 0), EInvalidOperation);
  animate.SetCommonAVI(aviFindFolder);
  EXPECT_TRUE(animate.Open());
  EXPECT_GT(animate.FrameCount(), 0);
  animate.SetActive(true);
  EXPECT_TRUE(animate.Active());
  animate.Stop();
  EXPECT_FALSE(animate.Active());
  EXPECT_THROW(animate.SetFileName("/no/such/clip.avi"), EInvalidOperation);
  EXPECT_TRUE(animate.Open());
  EXPECT_EQ(animate.CommonAVI(), aviFindFolder);
  animate.SetCommonAVI(aviNone);
  EXPECT_FALSE(animate.Open());
}

}  // namespace
