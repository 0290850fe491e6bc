#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestKit.h"

namespace {

using Log = std::vector<std::string>;

// Records the list view's events as "Event Caption[ state]".
class TListLog : public TObject {
 public:
  void SelectItem(TObject*, TListItem* item, bool selected) {
    Log.push_back("Select " + item->Caption() + (selected ? " on" : " off"));
  }
  void Change(TObject*, TListItem* item, TItemChange change) {
    Log.push_back("Change " + item->Caption() + " " + GetEnumName(TypeInfoOfEnum(&change), change));
  }
  void Changing(TObject*, TListItem* item, TItemChange change, bool& allow) {
    Log.push_back("Changing " + item->Caption() + " " +
                  GetEnumName(TypeInfoOfEnum(&change), change));
    if (item->Caption() == Locked) allow = false;
  }
  void Compare(TObject*, TListItem* a, TListItem* b, int data, int& result) {
    // By the first sub-item's number; `data` 1 sorts descending.
    const int x = std::stoi(a->SubItems()->Strings(0));
    const int y = std::stoi(b->SubItems()->Strings(0));
    result = (x < y ? -1 : x > y ? 1 : 0) * (data == 1 ? -1 : 1);
  }
  void Editing(TObject*, TListItem* item, bool& allow) { allow = item->Caption() != Locked; }
  void Edited(TObject*, TListItem*, std::string& s) { s = UpperCase(s); }

  std::vector<std::string> Log;
  std::string Locked;
};

class ListViewTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    lv = new TListView(form.get());
    lv->SetParent(form.get());
    lv->SetViewStyle(vsReport);
    lv->SetBounds(0, 0, 300, 200);
    lv->Columns()->Add()->SetCaption("Code");
    lv->Columns()->Add()->SetCaption("Qty");
    for (auto [caption, qty] : {std::pair{"b", "3"}, {"A", "10"}, {"a", "2"}, {"B", "1"}}) {
      TListItem* item = lv->Items()->Add();
      item->SetCaption(caption);
      item->SubItems()->Add(qty);
    }
    lv->SetOnSelectItem(MethodOf<&TListLog::SelectItem>(&log));
    lv->SetOnChange(MethodOf<&TListLog::Change>(&log));
    lv->SetOnChanging(MethodOf<&TListLog::Changing>(&log));
    form->Show();
  }

  Log Captions() const {
    Log out;
    for (int i = 0; i < lv->Items()->Count(); ++i) out.push_back(lv->Items()->Item(i)->Caption());
    return out;
  }

  TOwned<TForm> form;
  TListView* lv = nullptr;
  TListLog log;
};

TEST_F(ListViewTest, AlphaSortUsesTheWordOrderOfTheLocale) {
  EXPECT_TRUE(lv->AlphaSort());
  EXPECT_EQ(Captions(), (Log{"a", "A", "b", "B"}));
}

TEST_F(ListViewTest, CustomSortByCompareEventOrFunction) {
  lv->SetOnCompare(MethodOf<&TListLog::Compare>(&log));
  EXPECT_TRUE(lv->CustomSort(nullptr, 0));
  EXPECT_EQ(Captions(), (Log{"B", "a", "b", "A"}));
  EXPECT_TRUE(lv->CustomSort(nullptr, 1));  // the data reaches OnCompare
  EXPECT_EQ(Captions(), (Log{"A", "b", "a", "B"}));
  lv->CustomSort(
      [](TListItem* x, TListItem* y, LPARAM data) {
        return static_cast<int>(data) * AnsiCompareText(x->Caption(), y->Caption());
      },
      -1);
  EXPECT_EQ(Captions(), (Log{"b", "B", "A", "a"}));  // equal ones keep their order
}

TEST_F(ListViewTest, TextSortingKeepsTheListSortedAsCaptionsChange) {
  lv->SetSortType(stText);
  EXPECT_EQ(Captions(), (Log{"a", "A", "b", "B"}));
  lv->Items()->Item(0)->SetCaption("c");
  EXPECT_EQ(Captions(), (Log{"A", "b", "B", "c"}));
}

TEST_F(ListViewTest, ClickingSelectsWithThePlatformsEventOrder) {
  TListItem* b = lv->Items()->Item(0);
  TListItem* a = lv->Items()->Item(1);
  lv->ClickItem(b);
  log.Log.clear();
  lv->ClickItem(a);
  EXPECT_EQ(log.Log, (Log{"Changing b ctState", "Change b ctState", "Select b off",
                          "Changing A ctState", "Change A ctState", "Select A on"}));
  EXPECT_EQ(lv->Selected(), a);
  EXPECT_EQ(lv->ItemFocused(), a);
  EXPECT_EQ(lv->SelCount(), 1);
}

TEST_F(ListViewTest, MultiSelectWithControlAndShift) {
  lv->SetMultiSelect(true);
  lv->ClickItem(lv->Items()->Item(0));
  lv->ClickItem(lv->Items()->Item(2), {ssCtrl});
  EXPECT_EQ(lv->SelCount(), 2);
  lv->ClickItem(lv->Items()->Item(2), {ssCtrl});  // toggles off
  EXPECT_EQ(lv->SelCount(), 1);
  lv->ClickItem(lv->Items()->Item(3), {ssShift});  // range from the anchor
  EXPECT_EQ(lv->SelCount(), 2);
  EXPECT_FALSE(lv->Items()->Item(0)->Selected());
  EXPECT_TRUE(lv->Items()->Item(2)->Selected());
  EXPECT_TRUE(lv->Items()->Item(3)->Selected());
  lv->SelectAll();
  EXPECT_EQ(lv->SelCount(), 4);
}

TEST_F(ListViewTest, ARefusedChangeChangesNothing) {
  log.Locked = "A";
  lv->Items()->Item(1)->SetSelected(true);
  lv->Items()->Item(1)->SetCaption("Z");
  EXPECT_FALSE(lv->Items()->Item(1)->Selected());
  EXPECT_EQ(lv->Items()->Item(1)->Caption(), "A");
  EXPECT_EQ(log.Log, (Log{"Changing A ctState", "Changing A ctText"}));
}

TEST_F(ListViewTest, MouseClicksHitItemsOnlyOverTheirFirstColumnWithoutRowSelect) {
  const TRect row = lv->ItemRect(1);
  const int inSecondColumn = lv->ColumnDisplayWidth(0) + 5;
  SendMouseClick(lv, inSecondColumn, row.Top + 1);
  EXPECT_EQ(lv->Selected(), nullptr);
  lv->SetRowSelect(true);
  SendMouseClick(lv, inSecondColumn, row.Top + 1);
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
  EXPECT_TRUE(lv->Focused());
  SendKey(VK_DOWN);
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
}

TEST_F(ListViewTest, ColumnWidthsFitTextOrHeaderAndTheLastFillsTheRest) {
  TCanvas measure;
  measure.Font()->Assign(lv->Font());
  TListColumn* code = lv->Columns()->Items(0);
  TListColumn* qty = lv->Columns()->Items(1);
  lv->Items()->Item(0)->SetCaption("a rather long code");
  code->SetWidth(-1);
  EXPECT_EQ(code->Width(), -1);  // kept as set
  EXPECT_EQ(code->DisplayWidth(), measure.TextWidth("a rather long code") + 12);
  qty->SetWidth(-2);  // the last column fills the rest
  EXPECT_EQ(qty->DisplayWidth(), lv->ClientWidth() - code->DisplayWidth());
  code->SetWidth(-2);  // not the last column: the header text
  EXPECT_EQ(code->DisplayWidth(), measure.TextWidth("Code") + 12);
  code->SetWidth(80);
  EXPECT_EQ(code->DisplayWidth(), 80);
}

TEST_F(ListViewTest, LabelEditingEndsInOnEditedAndIsRefusedWhenReadOnly) {
  lv->SetOnEditing(MethodOf<&TListLog::Editing>(&log));
  lv->SetOnEdited(MethodOf<&TListLog::Edited>(&log));
  TListItem* item = lv->Items()->Item(0);
  ASSERT_TRUE(item->EditCaption());
  EXPECT_EQ(lv->EditingItem(), item);
  lv->EndLabelEdit("new");
  EXPECT_EQ(item->Caption(), "NEW");
  EXPECT_EQ(lv->EditingItem(), nullptr);
  ASSERT_TRUE(item->EditCaption());
  lv->EndLabelEdit("dropped", false);
  EXPECT_EQ(item->Caption(), "NEW");
  log.Locked = "A";
  EXPECT_FALSE(lv->Items()->Item(1)->EditCaption());
  lv->SetReadOnly(true);
  EXPECT_FALSE(item->EditCaption());
}

TEST_F(ListViewTest, BeginUpdateAnnouncesTheItemsOnce) {
  struct Counter : IComponentObserver {
    TComponent* target = nullptr;
    int items = 0;
    void ComponentChanged(TComponent* c, TObserverEvent, std::string_view what) override {
      if (c == target && what == "Items") ++items;
    }
  } counter;
  counter.target = lv;
  AddComponentObserver(&counter);
  lv->Items()->BeginUpdate();
  for (int i = 0; i < 5; ++i) lv->Items()->Add()->SetCaption("x");
  lv->Items()->Delete(0);
  lv->Items()->EndUpdate();
  RemoveComponentObserver(&counter);
  EXPECT_EQ(counter.items, 1);
  EXPECT_EQ(lv->Items()->Count(), 8);
}

TEST_F(ListViewTest, AssigningItemsCopiesRowsAndDeletingForgetsSelection) {
  TListView other(nullptr);
  other.Items()->Assign(lv->Items());
  ASSERT_EQ(other.Items()->Count(), 4);
  EXPECT_EQ(other.Items()->Item(1)->ColumnText(1), "10");
  EXPECT_EQ(other.Items()->Item(1)->ColumnText(5), "");
  lv->Items()->Item(1)->SetSelected(true);
  lv->Items()->Delete(1);
  EXPECT_EQ(lv->Selected(), nullptr);
  EXPECT_EQ(lv->ItemIndex(), -1);
}

}  // namespace
