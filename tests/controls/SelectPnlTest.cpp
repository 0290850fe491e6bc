#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CodePage.h"
#include "DateTime.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Reader.h"
#include "SelectPnl.h"

namespace {

// A form that records the lookup requests it is sent.
class TLookupForm : public TForm {
  KXBR_CLASS(TLookupForm, TForm)

 public:
  explicit TLookupForm(TComponent* owner) : TForm(owner) {}
  std::vector<TWinControl*> Requests;
  std::vector<WPARAM> WParams;
  void WMOpenWin(TMessage& m) {
    Requests.push_back(reinterpret_cast<TWinControl*>(m.LParam));
    WParams.push_back(m.WParam);
  }
};

KXBR_DEFINE_CLASS(TLookupForm, .Message<&TLookupForm::WMOpenWin>(WM_OPENWIN))

// The handlers of the panel's events; each records a line.
class TPanelEvents : public TObject {
 public:
  std::vector<std::string> Log;
  bool Accept = true;
  TSelectStyle Replacement = sp_Range;
  bool Replace = false;
  TSelectPanel* Panel = nullptr;

  void Exit(TObject*) {
    Log.push_back("Exit " + Panel->BeginEdit->Text() + "|" + Panel->EndEdit->Text());
  }
  void StyleChanging(TObject*, TSelectStyle now, TSelectStyle& next, bool& accept) {
    Log.push_back("Changing " + IntToStr(now) + ">" + IntToStr(next));
    if (Replace) next = Replacement;
    accept = Accept;
  }
  void StyleChange(TObject*, TSelectStyle oldStyle, TSelectStyle newStyle) {
    Log.push_back("Change " + IntToStr(oldStyle) + ">" + IntToStr(newStyle) + " style " +
                  IntToStr(Panel->Style()));
  }
  void DeleteClick(TObject* sender, bool& accept) {
    Log.push_back(std::string("Delete ") + (sender == Panel->DeleteButton ? "button" : "?") +
                  " rows " + IntToStr(Panel->ListView->Items()->Count()));
    accept = Accept;
  }
  void ClearClick(TObject* sender) {
    Log.push_back(std::string("Clear ") + (sender == Panel->ClearButton ? "button" : "?") +
                  " rows " + IntToStr(Panel->ListView->Items()->Count()));
  }
  void TypeClick(TObject*) {
    Log.push_back("Type " + std::string(Panel->UserChoice() ? "range" : "list"));
  }
  void OpenWin(TSelectPanel* panel, TWinControl* target) {
    Log.push_back(std::string("OpenWin ") + (panel == Panel ? "panel " : "? ") +
                  (target == Panel->BeginEdit  ? "begin"
                   : target == Panel->ListView ? "list"
                                               : "?"));
  }
  void KeyDown(TObject* sender, WORD& key, TShiftState) {
    Log.push_back("KeyDown " + IntToStr(key) + (sender == Panel->EndEdit ? " end" : " ?"));
  }
  void MouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y) {
    Log.push_back("MouseDown " + std::string(sender == Panel ? "panel" : "inner") + " " +
                  IntToStr(x) + "," + IntToStr(y));
  }
  void ItemSelect(TObject* sender, TListItem*, int index, bool selected) {
    Log.push_back("Select " + std::string(sender == Panel->ListView ? "list " : "? ") +
                  IntToStr(index) + (selected ? " on" : " off"));
  }
};

class SelectPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearMessageQueue();
    HeadlessDialogService()->Clear();
    SetKeyboardFocus(nullptr);
    form = CreateForm<TLookupForm>(nullptr);
    form->SetBounds(0, 0, 600, 400);
    panel = new TSelectPanel(form);
    panel->SetParent(form);
    panel->SetBounds(8, 8, 353, 45);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetTop(300);
    events.Panel = panel;
  }
  void TearDown() override {
    SetKeyboardFocus(nullptr);
    form->Free();
    ClearMessageQueue();
    HeadlessDialogService()->Clear();
    Application()->ClearShownExceptions();
  }
  std::vector<std::string> Row(int index) const {
    TListItem* item = panel->ListView->Items()->Item(index);
    std::vector<std::string> row{item->Caption()};
    for (int k = 0; k < item->SubItems()->Count(); ++k) row.push_back(item->SubItems()->Strings(k));
    return row;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (int i = 0; i < panel->ListView->Items()->Count(); ++i)
      out.push_back(panel->ListView->Items()->Item(i)->Caption());
    return out;
  }
  // Focus in the begin edit, then on a control outside the panel.
  void LeavePanel() {
    form->Show();
    panel->BeginEdit->SetFocus();
    other->SetFocus();
  }

  TLookupForm* form = nullptr;
  TSelectPanel* panel = nullptr;
  TEdit* other = nullptr;
  TPanelEvents events;
};

TEST_F(SelectPanelTest, NewPanelHasItsDefaultsAndCreatesItsControlsInOrder) {
  TSelectPanel* fresh = new TSelectPanel(form);
  EXPECT_EQ(fresh->Width(), 353);
  EXPECT_EQ(fresh->Height(), 45);
  EXPECT_EQ(fresh->Style(), sp_Range);
  EXPECT_TRUE(fresh->UserChoice());
  EXPECT_EQ(fresh->ValueType(), vt_String);
  EXPECT_EQ(fresh->DateType(), dt_NoneCare);
  EXPECT_EQ(fresh->DateSign(), "/");
  EXPECT_TRUE(fresh->AutoChangeDateSite());
  EXPECT_FALSE(fresh->UseDiscard());
  EXPECT_TRUE(fresh->CanOpenWin());
  EXPECT_EQ(fresh->GlyphIndex(), 8);
  EXPECT_EQ(fresh->HintWord(), "区间选择");
  EXPECT_EQ(fresh->BeginWords()->ToVector(), (std::vector<std::string>{"起", "起"}));
  EXPECT_EQ(fresh->FinalWords()->ToVector(), (std::vector<std::string>{"止", "止"}));
  EXPECT_EQ(fresh->ChildHints()->Count(), 9);
  EXPECT_EQ(fresh->OtherWidth(), 200);
  EXPECT_EQ(fresh->OtherHeight(), 105);
  EXPECT_FALSE(fresh->ShowColumnHeader());
  EXPECT_FALSE(fresh->HideSelection());
  EXPECT_TRUE(fresh->ColumnsAutoSize());
  EXPECT_FALSE(fresh->SortListBox());
  EXPECT_EQ(fresh->CheckDuplicate(), cd_None);
  EXPECT_EQ(fresh->BlankText(), "");
  EXPECT_EQ(fresh->SortColumn(), 0);
  EXPECT_TRUE(fresh->SortAscending());

  const std::vector<TComponent*> order{fresh->ChoiceBox,  fresh->RangePanel,   fresh->BeginLabel,
                                       fresh->BeginEdit,  fresh->BeginButton,  fresh->EndLabel,
                                       fresh->EndEdit,    fresh->EndButton,    fresh->ListPanel,
                                       fresh->ListButton, fresh->DeleteButton, fresh->ClearButton,
                                       fresh->ListView};
  ASSERT_EQ(fresh->ComponentCount(), static_cast<int>(order.size()));
  for (size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(fresh->Components(static_cast<int>(i)), order[i]);

  EXPECT_FALSE(fresh->ChoiceBox->Visible());
  EXPECT_TRUE(fresh->RangePanel->Visible());
  EXPECT_FALSE(fresh->ListPanel->Visible());
  EXPECT_EQ(fresh->BeginEdit->Height(), 24);
  EXPECT_EQ(fresh->DeleteButton->GlyphIndex(), 47);
  EXPECT_EQ(fresh->ClearButton->GlyphIndex(), 4);
  EXPECT_EQ(fresh->ListView->ViewStyle(), vsReport);
  EXPECT_TRUE(fresh->ListView->MultiSelect());
  EXPECT_TRUE(fresh->ListView->ReadOnly());
  EXPECT_EQ(fresh->ListView->SortType(), stNone);
  EXPECT_EQ(fresh->ListView->Hint(), "多选-己选择的信息");
  EXPECT_EQ(fresh->ClearButton->Hint(), "多选-删除己选信息");
}

TEST_F(SelectPanelTest, OneRowRangeLaysOutByTheArithmetic) {
  // Caption height 11 (headless metrics) puts the range panel at top 14: 348 x 28.
  EXPECT_EQ(panel->RangePanel->BoundsRect(), Bounds(2, 14, 348, 28));
  EXPECT_EQ(panel->ListPanel->BoundsRect(), panel->RangePanel->BoundsRect());
  EXPECT_EQ(panel->BeginLabel->Caption(), "起");
  EXPECT_EQ(panel->BeginLabel->Width(), 12);
  EXPECT_EQ(panel->BeginLabel->Top(), 2);  // (28 - 24) div 2
  // (348 - 14 - 23 - 12 - 23 - 8) div 2 = 134
  EXPECT_EQ(panel->BeginEdit->BoundsRect(), Bounds(15, 2, 134, 24));
  EXPECT_EQ(panel->BeginButton->Left(), 151);
  EXPECT_EQ(panel->EndLabel->Left(), 176);
  EXPECT_EQ(panel->EndEdit->BoundsRect(), Bounds(190, 2, 134, 24));
  EXPECT_EQ(panel->EndButton->Left(), 326);

  panel->SetCanOpenWin(false);
  EXPECT_FALSE(panel->BeginButton->Visible());
  EXPECT_FALSE(panel->ListButton->Visible());
  // (348 - 14 - 12 - 4) div 2 = 159: the edits take the buttons' room.
  EXPECT_EQ(panel->BeginEdit->BoundsRect(), Bounds(15, 2, 159, 24));
  EXPECT_EQ(panel->EndLabel->Left(), 178);
  EXPECT_EQ(panel->EndEdit->BoundsRect(), Bounds(192, 2, 159, 24));
}

TEST_F(SelectPanelTest, FontChangeRearranges) {
  panel->Font()->SetHeight(-13);  // characters 7 wide, lines 13 high
  EXPECT_EQ(panel->BeginLabel->Width(), 14);
  EXPECT_EQ(panel->RangePanel->BoundsRect(), Bounds(2, 16, 348, 26));
  // (348 - 16 - 23 - 14 - 23 - 8) div 2 = 132
  EXPECT_EQ(panel->BeginEdit->BoundsRect(), Bounds(17, 1, 132, 24));
}

TEST_F(SelectPanelTest, StyleChangeExchangesSizesAndFiresItsEvents) {
  panel->SetOnStyleChanging(MethodOf<&TPanelEvents::StyleChanging>(&events));
  panel->SetOnStyleChange(MethodOf<&TPanelEvents::StyleChange>(&events));
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Width(), 200);
  EXPECT_EQ(panel->Height(), 105);
  EXPECT_EQ(panel->OtherWidth(), 353);
  EXPECT_EQ(panel->OtherHeight(), 45);
  EXPECT_TRUE(panel->ListPanel->Visible());
  EXPECT_FALSE(panel->RangePanel->Visible());
  EXPECT_FALSE(panel->IsRangeMode());
  // During OnStyleChange the panel still reads the old style.
  EXPECT_EQ(events.Log, (std::vector<std::string>{"Changing 0>1", "Change 0>1 style 0"}));

  // List arrangement: ListPanel 196 x 88 at (2, 14); the list leaves the button's room.
  EXPECT_EQ(panel->ListPanel->BoundsRect(), Bounds(2, 14, 196 - 1, 88));
  EXPECT_EQ(panel->ListView->BoundsRect(), Bounds(0, 0, 195 - 23 - 3, 88));
  EXPECT_EQ(panel->ListButton->Left(), 171);
  EXPECT_EQ(panel->DeleteButton->Top(), 23);
  EXPECT_EQ(panel->ClearButton->Top(), 46);

  // The same style again: no exchange.
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Width(), 200);
  // sp_Discrete to sp_UserChoice: neither is sp_Range, no exchange.
  panel->SetStyle(sp_UserChoice);
  EXPECT_EQ(panel->Width(), 200);
  EXPECT_TRUE(panel->ChoiceBox->Visible());
  panel->SetStyle(sp_Range);
  EXPECT_EQ(panel->Width(), 353);
  EXPECT_EQ(panel->Height(), 45);
  EXPECT_EQ(panel->OtherWidth(), 200);
}

TEST_F(SelectPanelTest, StyleChangingCanRefuseOrReplaceTheStyle) {
  panel->SetOnStyleChanging(MethodOf<&TPanelEvents::StyleChanging>(&events));
  panel->SetOnStyleChange(MethodOf<&TPanelEvents::StyleChange>(&events));
  const TRect before = panel->BoundsRect();
  const TRect beginEdit = panel->BeginEdit->BoundsRect();
  events.Accept = false;
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Style(), sp_Range);
  EXPECT_EQ(panel->BoundsRect(), before);
  EXPECT_EQ(panel->BeginEdit->BoundsRect(), beginEdit);
  EXPECT_TRUE(panel->RangePanel->Visible());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"Changing 0>1"}));

  events.Accept = true;
  events.Replace = true;
  events.Replacement = sp_UserChoice;
  panel->SetStyle(sp_Discrete);
  EXPECT_EQ(panel->Style(), sp_UserChoice);
  EXPECT_TRUE(panel->ChoiceBox->Visible());
  EXPECT_EQ(panel->Width(), 200);
}

TEST_F(SelectPanelTest, UseVerticalOnlyInRangeStyle) {
  panel->SetStyle(sp_Discrete);
  panel->SetUseVertical(true);
  EXPECT_FALSE(panel->UseVertical());
  EXPECT_EQ(panel->Width(), 200);
  panel->SetStyle(sp_Range);
  panel->SetUseVertical(true);
  EXPECT_TRUE(panel->UseVertical());
  EXPECT_EQ(panel->Width(), 200);
  EXPECT_EQ(panel->Height(), 105);
  // Two rows in RangePanel 195 x 88: g = (88 - 48) div 3 = 13.
  EXPECT_EQ(panel->BeginLabel->Top(), 13);
  EXPECT_EQ(panel->BeginEdit->BoundsRect(), Bounds(16, 13, 195 - 2 - 12 - 23 - 4, 24));
  EXPECT_EQ(panel->BeginButton->Left(), 16 + 154 + 1);
  EXPECT_EQ(panel->EndLabel->Top(), 13 + 13 + 24);
  EXPECT_EQ(panel->EndEdit->BoundsRect(), Bounds(16, 50, 154, 24));
  EXPECT_EQ(panel->EndButton->BoundsRect().Left, panel->BeginButton->Left());
}

TEST_F(SelectPanelTest, ChoiceBoxSwitchesBetweenRangeAndList) {
  panel->SetOnTypeClick(MethodOf<&TPanelEvents::TypeClick>(&events));
  panel->SetStyle(sp_UserChoice);
  // The box shows the choice, and the input shown is the one the value is read from.
  EXPECT_TRUE(panel->ChoiceBox->Checked());
  EXPECT_TRUE(panel->RangePanel->Visible());
  EXPECT_FALSE(panel->ListPanel->Visible());
  panel->SetUserChoice(true);
  EXPECT_TRUE(panel->ChoiceBox->Checked());
  EXPECT_TRUE(panel->RangePanel->Visible());
  EXPECT_TRUE(panel->IsRangeMode());
  EXPECT_TRUE(events.Log.empty());
  // ChoiceBox at 16, 12; its caption 4 wide characters = 48 + 24 wide, 13 high.
  EXPECT_EQ(panel->ChoiceBox->BoundsRect(), Bounds(16, 12, 72, 13));
  EXPECT_EQ(panel->RangePanel->Top(), 12 + 11 + 2);

  panel->ChoiceBox->Click();
  EXPECT_FALSE(panel->UserChoice());
  EXPECT_TRUE(panel->ListPanel->Visible());
  EXPECT_FALSE(panel->RangePanel->Visible());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"Type list"}));

  panel->SetStyle(sp_Range);
  panel->SetUserChoice(false);  // ignored outside sp_UserChoice
  EXPECT_FALSE(panel->UserChoice());
  panel->ChoiceBox->Click();  // only the box changes
  EXPECT_FALSE(panel->UserChoice());
  EXPECT_EQ(events.Log.size(), 1u);
}

struct OrderCase {
  const char* Name;
  TValueType Type;
  TDateType Date;
  std::string Begin, End;
  std::string WantBegin, WantEnd;
  bool UseDiscard = false;
  std::string Discard = "";
  bool AutoDate = true;
};

TEST_F(SelectPanelTest, ExitOrdersTheRangeByValueType) {
  const OrderCase cases[] = {
      {"string swapped", vt_String, dt_NoneCare, "B", "A", "A", "B"},
      {"string trimmed", vt_String, dt_NoneCare, "  b ", " a", "a", "b"},
      {"string byte-wise", vt_String, dt_NoneCare, "a", "B", "B", "a"},
      {"number swapped", vt_Number, dt_NoneCare, "10", "9", "9", "10"},
      {"number in order", vt_Number, dt_NoneCare, "9", "10", "9", "10"},
      {"number unreadable is 0", vt_Number, dt_NoneCare, "x", "-1", "-1", "x"},
      {"date month only", vt_Date, dt_YYYYMMDD, "2004/12", "2004/01/15", "2004/01/15", "2004/12"},
      {"date roc", vt_Date, dt_YYMMDD, "93/01/02", "93/01/01", "93/01/01", "93/01/02"},
      {"date unreadable end", vt_Date, dt_YYYYMMDD, "2004/01/01", "junk", "junk", "2004/01/01"},
      {"date mmddyyyy", vt_Date, dt_MMDDYYYY, "12/31/2003", "01/01/2004", "12/31/2003",
       "01/01/2004"},
      {"date ddmmyyyy", vt_Date, dt_DDMMYYYY, "02/01/2004", "31/12/2003", "31/12/2003",
       "02/01/2004"},
      {"date none care", vt_Date, dt_NoneCare, "b", "a", "a", "b"},
      {"date not ordered", vt_Date, dt_YYYYMMDD, "2005/01/01", "2004/01/01", "2005/01/01",
       "2004/01/01", false, "", false},
      {"discard", vt_String, dt_NoneCare, "Z", "-", "Z", "-", true, "-"},
      {"discard off", vt_String, dt_NoneCare, "Z", "-", "-", "Z"},
      {"discard unused", vt_String, dt_NoneCare, "B", "A", "A", "B", true, "-"},
      {"empty end", vt_String, dt_NoneCare, "B", "", "B", ""},
      {"float", vt_Float, dt_NoneCare, "2.5", "10.05", "2.5", "10.05"},
      {"float swapped", vt_Float, dt_NoneCare, "1.5", "1.05", "1.05", "1.5"},
      {"float rebuilt", vt_Float, dt_NoneCare, "3", "x.7", "0.7", "3.0"},
      {"other mask", vt_OtherMask, dt_NoneCare, "B", "A", "B", "A"},
      {"time", vt_Time, dt_NoneCare, "12:00", "08:30", "08:30", "12:00"},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.Name);
    events.Log.clear();
    panel->SetOnExit(MethodOf<&TPanelEvents::Exit>(&events));
    panel->SetValueType(c.Type);
    panel->SetDateType(c.Date);
    panel->SetUseDiscard(c.UseDiscard);
    panel->SetDiscard(c.Discard);
    panel->SetAutoChangeDateSite(c.AutoDate);
    panel->BeginEdit->SetText(c.Begin);
    panel->EndEdit->SetText(c.End);
    LeavePanel();
    EXPECT_EQ(panel->BeginEdit->Text(), c.WantBegin);
    EXPECT_EQ(panel->EndEdit->Text(), c.WantEnd);
    EXPECT_EQ(events.Log, (std::vector<std::string>{"Exit " + c.WantBegin + "|" + c.WantEnd}));
  }
}

TEST_F(SelectPanelTest, BlankMaskTextIsNotOrdered) {
  panel->SetEditMask("9999/99/99;1; ");
  EXPECT_EQ(panel->BlankText(), "    /  /  ");
  for (TValueType type : {vt_String, vt_Date}) {
    SCOPED_TRACE(type);
    panel->SetValueType(type);
    panel->SetDateType(dt_YYYYMMDD);
    panel->BeginEdit->SetText("2004/05/06");
    panel->EndEdit->SetText("");
    LeavePanel();
    EXPECT_EQ(panel->BeginEdit->Text(), "2004/05/06");
    EXPECT_EQ(panel->EndEdit->Text(), "    /  /  ");
  }
  panel->BeginEdit->SetText("2004/05/06");
  panel->EndEdit->SetText("2004/01/06");
  LeavePanel();
  EXPECT_EQ(panel->BeginEdit->Text(), "2004/01/06");
}

TEST_F(SelectPanelTest, DateValueOfRangeTexts) {
  panel->SetDateType(dt_YYMMDD);
  EXPECT_EQ(panel->DateValue("93/01/01"), EncodeDate(2004, 1, 1));
  panel->SetDateType(dt_YYYMMDD);
  EXPECT_EQ(panel->DateValue("093/1/5"), EncodeDate(2004, 1, 5));
  panel->SetDateType(dt_YYYYMMDD);
  EXPECT_EQ(panel->DateValue("2004/12"), EncodeDate(2004, 12, 1));
  EXPECT_EQ(panel->DateValue("2004/02/30"), 0);
  EXPECT_EQ(panel->DateValue("2004"), 0);
  EXPECT_EQ(panel->DateValue("2004/1/1/1"), 0);
  EXPECT_EQ(panel->DateValue(""), 0);
  panel->SetDateType(dt_MMDDYYYY);
  EXPECT_EQ(panel->DateValue("12/2004"), EncodeDate(2004, 12, 1));
  panel->SetDateType(dt_DDMMYYYY);
  EXPECT_EQ(panel->DateValue("12/2004"), EncodeDate(2004, 12, 1));
  panel->SetDateSign("-");
  EXPECT_EQ(panel->DateValue("5-12-2004"), EncodeDate(2004, 12, 5));
}

class ChangeCounter : public TObject {
 public:
  int Changes = 0;
  void Change(TObject*) { ++Changes; }
};

TEST_F(SelectPanelTest, EditMaskKeepsTheBeginTextWithoutChangeEvents) {
  ChangeCounter counter;
  panel->BeginEdit->SetText("AB123");
  panel->BeginEdit->SetOnChange(MethodOf<&ChangeCounter::Change>(&counter));
  panel->SetEditMask("!aaaa-aaaaaaaaaaa;0; ");
  EXPECT_EQ(counter.Changes, 0);
  EXPECT_EQ(panel->BlankText(), "");
  EXPECT_EQ(panel->BeginEdit->Text(), "AB123");
  EXPECT_EQ(panel->EndEdit->EditMask(), "!aaaa-aaaaaaaaaaa;0; ");
  EXPECT_FALSE(panel->BeginEdit->SuppressChange());
  panel->BeginEdit->SetText("X");
  EXPECT_EQ(counter.Changes, 1);
}

TEST_F(SelectPanelTest, AddRowCreatesColumnsPadsAndSizes) {
  TVekListView* list = panel->ListView;
  EXPECT_FALSE(list->AddRow({}));
  EXPECT_EQ(list->Items()->Count(), 0);
  EXPECT_TRUE(list->AddRow({"a", "bb", "ccc"}));
  ASSERT_EQ(list->Columns()->Count(), 3);
  EXPECT_EQ(panel->ColumnCaptions()->ToVector(),
            (std::vector<std::string>{"Data1", "Data2", "Data3"}));
  EXPECT_TRUE(list->AddRow({"x"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{"x", "", ""}));
  // Width: "W" (6) x longest bytes of caption and texts; "Data1" is 5 bytes.
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 30);
  EXPECT_TRUE(list->AddRow({"合同编号一二", "y"}));  // 12 bytes in code page 936
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 6 * std::max(5, AnsiByteLength("合同编号一二")));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"合同编号一二", "y", ""}));

  // A row with more values than columns adds a column and pads every row.
  EXPECT_TRUE(list->AddRow({"p", "q", "r", "s"}));
  EXPECT_EQ(list->Columns()->Items(3)->Caption(), "Data4");
  for (int i = 0; i < list->Items()->Count(); ++i) EXPECT_EQ(Row(i).size(), 4u);

  panel->SetColumnsAutoSize(false);
  list->Columns()->Items(1)->SetWidth(77);
  EXPECT_TRUE(list->AddRow({"t", "a very long text indeed"}));
  EXPECT_EQ(list->Columns()->Items(1)->Width(), 77);

  // ColumnCaptions replaces the columns, each fitted to its text; so do lines edited in
  // place, as a form resource does.
  TStringList captions{"Code", "Name"};
  panel->SetColumnCaptions(&captions);
  ASSERT_EQ(list->Columns()->Count(), 2);
  EXPECT_EQ(list->Columns()->Items(1)->Width(), -1);
  panel->ColumnCaptions()->Add("Note");
  EXPECT_EQ(panel->ColumnCaptions()->ToVector(),
            (std::vector<std::string>{"Code", "Name", "Note"}));
  list->ClearRows();
  EXPECT_EQ(list->Items()->Count(), 0);
}

TEST_F(SelectPanelTest, DuplicatesAreRemovedByTheirRule) {
  panel->SetStyle(sp_Discrete);
  panel->SetCheckDuplicate(cd_CaseInsensitive);
  EXPECT_TRUE(panel->SortListBox());
  panel->ListView->AddRow({"abc"});
  panel->ListView->AddRow({"ABC"});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"abc"}));

  panel->SetCheckDuplicate(cd_CheckCase);
  panel->ListView->AddRow({"ABC"});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"abc", "ABC"}));
  panel->ListView->AddRow({"ABC"});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"abc", "ABC"}));

  // Rows added while no rule was in force are cleaned once a rule is assigned.
  panel->SetCheckDuplicate(cd_None);
  panel->ListView->AddRow({"ABC"});
  EXPECT_EQ(panel->ListView->Items()->Count(), 3);
  panel->SetCheckDuplicate(cd_CheckCase);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"abc", "ABC"}));
}

// The result AddRow must give, computed the slow way from a snapshot of the list: append,
// pad every row, remove equal neighbours last first, size every column.
struct Snapshot {
  std::vector<std::vector<std::string>> Rows;
  std::vector<std::string> Columns;
  std::vector<int> Widths;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(TVekListView* list) {
  Snapshot s;
  for (int i = 0; i < list->Items()->Count(); ++i) {
    TListItem* item = list->Items()->Item(i);
    std::vector<std::string> row{item->Caption()};
    for (int k = 0; k < item->SubItems()->Count(); ++k) row.push_back(item->SubItems()->Strings(k));
    s.Rows.push_back(row);
  }
  for (int c = 0; c < list->Columns()->Count(); ++c) {
    s.Columns.push_back(list->Columns()->Items(c)->Caption());
    s.Widths.push_back(list->Columns()->Items(c)->Width());
  }
  return s;
}

Snapshot NaiveAddRow(Snapshot s, const std::vector<std::string>& values, TCheckDuplicate rule,
                     bool sorted) {
  while (s.Columns.size() < values.size()) {
    s.Columns.push_back("Data" + std::to_string(s.Columns.size() + 1));
    s.Widths.push_back(50);
  }
  std::vector<std::string> row{values[0]};
  if (sorted) {
    // The list sorts when the caption is set, before the sub-items arrive: by caption
    // without regard to case, then by the (still empty) second column; equal rows stay.
    auto text = [](const std::vector<std::string>& r, size_t k) {
      return k < r.size() ? r[k] : "";
    };
    auto less = [&](const std::vector<std::string>& a, const std::vector<std::string>& b) {
      int r = AnsiCompareText(text(a, 0), text(b, 0));
      if (r == 0) r = AnsiCompareText(text(a, 1), text(b, 1));
      return r < 0;
    };
    s.Rows.push_back(row);
    std::stable_sort(s.Rows.begin(), s.Rows.end(), less);
  } else {
    s.Rows.push_back(row);
  }
  auto it = std::find_if(s.Rows.rbegin(), s.Rows.rend(),
                         [&](const auto& r) { return r.size() == 1 && r[0] == values[0]; });
  const size_t n = std::min(values.size(), s.Columns.size());
  for (size_t k = 1; k < n; ++k) it->push_back(values[k]);
  size_t most = 0;
  for (const auto& r : s.Rows) most = std::max(most, r.size());
  for (auto& r : s.Rows) r.resize(most);
  if (rule != cd_None)
    for (size_t i = s.Rows.size() - 1; i >= 1; --i) {
      const bool same = rule == cd_CaseInsensitive
                            ? AnsiCompareText(s.Rows[i][0], s.Rows[i - 1][0]) == 0
                            : s.Rows[i][0] == s.Rows[i - 1][0];
      if (same) s.Rows.erase(s.Rows.begin() + static_cast<long>(i));
    }
  for (size_t c = 0; c < s.Columns.size(); ++c) {
    int bytes = AnsiByteLength(s.Columns[c]);
    for (const auto& r : s.Rows) bytes = std::max(bytes, c < r.size() ? AnsiByteLength(r[c]) : 0);
    s.Widths[c] = 6 * bytes;
  }
  return s;
}

TEST_F(SelectPanelTest, IncrementalAddRowMatchesTheFullPassAfterEveryCall) {
  struct Mode {
    const char* Name;
    TCheckDuplicate Rule;
    bool Sorted;
  };
  for (const Mode mode :
       {Mode{"plain", cd_None, false}, Mode{"case", cd_CheckCase, false},
        Mode{"nocase", cd_CaseInsensitive, false}, Mode{"sorted", cd_CheckCase, true}}) {
    SCOPED_TRACE(mode.Name);
    TVekListView* list = panel->ListView;
    list->ClearRows();
    list->Columns()->Clear();
    list->SetCheckDuplicate(mode.Rule);
    list->SetSortType(mode.Sorted ? stText : stNone);
    std::mt19937 random(42);
    const char* words[] = {
        "a", "A", "b", "bb", "长文字", "c", "ccc", "d", "a longer text", "甲乙丙丁戊己"};
    for (int step = 0; step < 300; ++step) {
      // Now and then the list is changed behind AddRow's back.
      const int action = static_cast<int>(random() % 16);
      const int count = list->Items()->Count();
      if (count > 0 && action == 0) list->Items()->Delete(static_cast<int>(random() % count));
      if (count > 0 && action == 1) {
        TListItem* item = list->Items()->Item(static_cast<int>(random() % count));
        if (item->SubItems()->Count() > 0)
          item->SubItems()->SetStrings(0, std::string(random() % 16, 'w'));
      }
      if (count > 0 && action == 2 && !mode.Sorted)
        list->Items()->Item(static_cast<int>(random() % count))->SetCaption(words[random() % 10]);
      if (action == 3 && !mode.Sorted) list->AlphaSort();
      std::vector<std::string> values;
      const int n = 1 + static_cast<int>(random() % (step < 100 ? 3 : 5));
      for (int k = 0; k < n; ++k) values.push_back(words[random() % 10]);
      SCOPED_TRACE(step);
      const Snapshot want = NaiveAddRow(Take(list), values, mode.Rule, mode.Sorted);
      ASSERT_TRUE(list->AddRow(values));
      ASSERT_EQ(Take(list), want);
    }
  }
}

TEST_F(SelectPanelTest, ItemsAssignedFromAnotherPanelAndAddedTo) {
  auto* source = new TSelectPanel(form);
  source->ListView->AddRow({"a", "a long second column"});
  source->ListView->AddRow({"b"});
  panel->ListView->AddRow({"x", "y", "z"});
  panel->SetItems(source->Items());
  ASSERT_EQ(panel->ListView->Items()->Count(), 2);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"a", "a long second column"}));
  // The next row sees the assigned rows: padding (to the most sub-items a row has, not
  // to the columns) and widths come from all of them.
  EXPECT_TRUE(panel->ListView->AddRow({"c"}));
  EXPECT_EQ(Row(0).size(), 2u);
  EXPECT_EQ(Row(2), (std::vector<std::string>{"c", ""}));
  EXPECT_EQ(panel->ListView->Columns()->Items(1)->Width(), 6 * 20);
  EXPECT_EQ(panel->ListView->Columns()->Items(2)->Width(), 6 * 5);
}

TEST_F(SelectPanelTest, InADesignerDeleteAndClearWorkWithoutTheirEvents) {
  panel->SetStyle(sp_Discrete);
  panel->SetOnDeleteClick(MethodOf<&TPanelEvents::DeleteClick>(&events));
  panel->SetOnClearClick(MethodOf<&TPanelEvents::ClearClick>(&events));
  panel->SetOnStyleChange(MethodOf<&TPanelEvents::StyleChange>(&events));
  panel->SetDesigning(true);
  events.Accept = false;
  panel->ListView->AddRow({"a"});
  panel->ListView->AddRow({"b"});
  panel->ListView->Items()->Item(0)->SetSelected(true);
  panel->DeleteButton->Click();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b"}));
  panel->ClearButton->Click();
  EXPECT_EQ(panel->ListView->Items()->Count(), 0);
  panel->SetStyle(sp_Range);
  EXPECT_EQ(panel->Style(), sp_Range);
  EXPECT_TRUE(events.Log.empty());
}

TEST_F(SelectPanelTest, HeaderClickSortsByColumnAndFlips) {
  panel->SetShowColumnHeader(true);
  TVekListView* list = panel->ListView;
  list->AddRow({"b", "2"});
  list->AddRow({"A", "3"});
  list->AddRow({"a", "1"});
  list->ClickColumn(list->Columns()->Items(1));
  EXPECT_EQ(panel->SortColumn(), 1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "b", "A"}));
  list->ClickColumn(list->Columns()->Items(1));
  EXPECT_FALSE(panel->SortAscending());
  EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "b", "a"}));
  list->ClickColumn(list->Columns()->Items(0));
  EXPECT_TRUE(panel->SortAscending());
  // "a" and "A" tie without regard to case; column 1 decides.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "A", "b"}));
}

TEST_F(SelectPanelTest, DeleteAsksFirstAndClearEmptiesBeforeItsEvent) {
  panel->SetStyle(sp_Discrete);
  form->Show();
  panel->SetOnDeleteClick(MethodOf<&TPanelEvents::DeleteClick>(&events));
  panel->SetOnClearClick(MethodOf<&TPanelEvents::ClearClick>(&events));
  for (const char* s : {"a", "b", "c"}) panel->ListView->AddRow({s});
  panel->ListView->Items()->Item(0)->SetSelected(true);
  panel->ListView->Items()->Item(2)->SetSelected(true);
  events.Accept = false;
  panel->DeleteButton->Click();
  EXPECT_EQ(Captions().size(), 3u);
  events.Accept = true;
  panel->DeleteButton->Click();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"b"}));
  panel->ClearButton->Click();
  EXPECT_EQ(panel->ListView->Items()->Count(), 0);
  EXPECT_TRUE(panel->ListView->Focused());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"Delete button rows 3", "Delete button rows 3",
                                                  "Clear button rows 0"}));
}

TEST_F(SelectPanelTest, LookupButtonsFocusTheTargetAndAskTheForm) {
  form->Show();
  panel->SetOnOpenWinClick(MethodOf<&TPanelEvents::OpenWin>(&events));
  panel->BeginButton->Click();
  EXPECT_TRUE(panel->BeginEdit->Focused());
  ASSERT_EQ(form->Requests.size(), 1u);
  EXPECT_EQ(form->Requests[0], panel->BeginEdit);
  EXPECT_EQ(form->WParams[0], 0u);
  panel->SetStyle(sp_Discrete);
  panel->ListButton->Click();
  EXPECT_EQ(form->Requests.back(), panel->ListView);
  EXPECT_EQ(events.Log, (std::vector<std::string>{"OpenWin panel begin", "OpenWin panel list"}));

  panel->SetDesigning(true);
  panel->BeginButton->Click();
  EXPECT_EQ(form->Requests.size(), 2u);
}

TEST_F(SelectPanelTest, WordsAndHints) {
  TStringList three{"从", "自", "由"};
  panel->SetBeginWords(&three);
  EXPECT_EQ(panel->BeginWords()->ToVector(), (std::vector<std::string>{"从", "自"}));
  EXPECT_EQ(panel->BeginLabel->Caption(), "从");
  panel->SetStyle(sp_UserChoice);
  EXPECT_EQ(panel->BeginLabel->Caption(), "自");  // two-row arrangement: line 1
  TStringList one{"到"};
  panel->SetFinalWords(&one);
  EXPECT_EQ(panel->EndLabel->Caption(), "到");  // one line serves both arrangements
  TStringList none;
  panel->SetFinalWords(&none);
  EXPECT_EQ(panel->FinalWords()->Count(), 0);
  EXPECT_EQ(panel->EndLabel->Caption(), "");

  const std::string listHint = panel->ListView->Hint();
  TStringList hints{"h0", "h1", "h2"};
  panel->SetChildHints(&hints);
  EXPECT_EQ(panel->ChoiceBox->Hint(), "h0");
  EXPECT_EQ(panel->BeginEdit->Hint(), "h1");
  EXPECT_EQ(panel->BeginButton->Hint(), "h2");
  EXPECT_EQ(panel->EndEdit->Hint(), "区间选择-截止信息");
  EXPECT_EQ(panel->ListView->Hint(), listHint);
  panel->ChildHints()->Add("h3");  // in place
  EXPECT_EQ(panel->EndEdit->Hint(), "h3");

  panel->SetHintWord("范围");
  EXPECT_EQ(panel->ChoiceBox->Caption(), "范围");
  EXPECT_EQ(panel->ChoiceBox->Width(), 24 + 24);
}

TEST_F(SelectPanelTest, EnabledReachesEveryInnerControlAndFocusFollowsTheMode) {
  panel->SetEnabled(false);
  EXPECT_FALSE(panel->BeginEdit->Enabled());
  EXPECT_FALSE(panel->BeginLabel->Enabled());
  EXPECT_FALSE(panel->ListView->Enabled());
  EXPECT_FALSE(panel->ClearButton->Enabled());
  panel->SetEnabled(true);
  EXPECT_TRUE(panel->ListView->Enabled());

  form->Show();
  panel->SetStyle(sp_Discrete);
  panel->SetFocus();
  EXPECT_TRUE(panel->ListView->Focused());
}

TEST_F(SelectPanelTest, InnerEventsReachThePanel) {
  form->Show();
  panel->SetOnKeyDown(MethodOf<&TPanelEvents::KeyDown>(&events));
  panel->SetOnMouseDown(MethodOf<&TPanelEvents::MouseDown>(&events));
  panel->SetOnItemSelect(MethodOf<&TPanelEvents::ItemSelect>(&events));
  panel->EndEdit->SetFocus();
  SendKey(VK_F2);
  SendMouseDown(panel->BeginLabel, 1, 1);
  SendMouseDown(panel->EndEdit, 0, 0);
  panel->ListView->AddRow({"a"});
  panel->ListView->Items()->Item(0)->SetSelected(true);
  // BeginLabel at (2, 2) of RangePanel at (2, 14): (1, 1) is (5, 17) in the panel.
  EXPECT_EQ(events.Log, (std::vector<std::string>{"KeyDown 113 end", "MouseDown panel 5,17",
                                                  "MouseDown inner 192,16", "Select list 0 on"}));
}

// An exit handler that keeps the focus where it is.
class TKeepFocus : public TObject {
 public:
  TWinControl* Control = nullptr;
  void Exit(TObject*) { Control->SetFocus(); }
};

TEST_F(SelectPanelTest, ListSelectsOnlyOnceAClickGaveItTheFocus) {
  panel->SetStyle(sp_Discrete);
  form->Show();
  panel->ListView->AddRow({"a"});
  panel->ListView->AddRow({"b"});
  const TRect row1 = panel->ListView->ItemRect(1);
  TKeepFocus keep;
  keep.Control = other;
  other->SetOnExit(MethodOf<&TKeepFocus::Exit>(&keep));
  other->SetFocus();
  SendMouseClick(panel->ListView, row1.Left + 2, row1.Top + 2);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(panel->ListView->SelCount(), 0);

  other->SetOnExit(nullptr);
  SendMouseClick(panel->ListView, row1.Left + 2, row1.Top + 2);
  EXPECT_TRUE(panel->ListView->Focused());
  EXPECT_TRUE(panel->ListView->Items()->Item(1)->Selected());
}

// --- The module's three panels read from a form resource --------------------------------------

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(SelectPanelTest, ModulePanelsFromAFormResourceLayOutAsComputed) {
  TForm* panels = CreateForm<TForm>(nullptr);
  ReadComponentResText(ReadFile(KXBR_CONTROLS_TEST_RESOURCES "/KXBR07Panels.txt"), panels,
                       "KXBR07Panels.txt");
  auto* sp01 = dynamic_cast<TSelectPanel*>(panels->FindComponent("sp01"));
  auto* sp02 = dynamic_cast<TSelectPanel*>(panels->FindComponent("sp02"));
  auto* sp03 = dynamic_cast<TSelectPanel*>(panels->FindComponent("sp03"));
  ASSERT_TRUE(sp01 && sp02 && sp03);

  // Loading keeps the designed sizes (no exchange) and the settings.
  EXPECT_EQ(sp01->Caption(), " 选择结转单号 ");
  EXPECT_EQ(sp01->Style(), sp_UserChoice);
  EXPECT_TRUE(sp01->UserChoice());
  EXPECT_TRUE(sp01->ChoiceBox->Checked());
  EXPECT_TRUE(sp01->IsRangeMode());
  EXPECT_EQ(sp01->BoundsRect(), Bounds(8, 4, 400, 89));
  EXPECT_EQ(sp01->OtherWidth(), 400);
  EXPECT_EQ(sp01->OtherHeight(), 65);
  EXPECT_EQ(sp01->Discard(), "'-'");
  EXPECT_FALSE(sp01->UseDiscard());
  EXPECT_EQ(sp01->ChildHints()->Count(), 10);
  EXPECT_EQ(sp01->BeginEdit->Hint(), "[F2]结转单信息查询");
  EXPECT_EQ(sp01->ListView->Hint(), "[F2]结转单信息查询");
  EXPECT_EQ(sp02->ValueType(), vt_Date);
  EXPECT_EQ(sp02->GlyphIndex(), 9);
  EXPECT_EQ(sp02->BeginButton->GlyphIndex(), 9);
  EXPECT_EQ(sp02->ListButton->GlyphIndex(), 9);
  EXPECT_EQ(sp02->EndButton->Hint(), "日期快手多选-己选择的信息");
  EXPECT_EQ(sp03->OtherWidth(), 406);
  EXPECT_EQ(sp03->OtherHeight(), 70);
  EXPECT_EQ(panels->FindComponent("tsOption1"), sp01->Parent());

  // sp01, user choice: ChoiceBox at 16, 11 + 1; the range panel below it.
  EXPECT_EQ(sp01->ChoiceBox->BoundsRect(), Bounds(16, 12, 72, 13));
  EXPECT_TRUE(sp01->RangePanel->Visible());
  EXPECT_FALSE(sp01->ListPanel->Visible());
  const TRect range01 = Bounds(2, 12 + 11 + 2, 400 - 4, 89 - 25 - 2);
  EXPECT_EQ(sp01->RangePanel->BoundsRect(), range01);
  EXPECT_EQ(sp01->ListPanel->BoundsRect(), range01);
  // Two rows in 396 x 62: g = (62 - 48) div 3 = 4.
  EXPECT_EQ(sp01->BeginEdit->BoundsRect(), Bounds(16, 4, 396 - 2 - 12 - 23 - 4, 24));
  EXPECT_EQ(sp01->EndEdit->BoundsRect(), Bounds(16, 32, 355, 24));
  EXPECT_EQ(sp01->EndButton->BoundsRect(), Bounds(372, 32, 23, 23));
  EXPECT_EQ(sp01->ListView->BoundsRect(), Bounds(0, 0, 396 - 23 - 3, 62));

  // sp02, one-row range: range panel 400 - 5 wide, 45 - 14 - 3 high.
  EXPECT_EQ(sp02->BoundsRect(), Bounds(8, 97, 400, 45));
  EXPECT_EQ(sp02->RangePanel->BoundsRect(), Bounds(2, 14, 395, 28));
  // (395 - 14 - 23 - 12 - 23 - 8) div 2 = 157
  EXPECT_EQ(sp02->BeginEdit->BoundsRect(), Bounds(15, 2, 157, 24));
  EXPECT_EQ(sp02->EndEdit->BoundsRect(), Bounds(15 + 157 + 2 + 23 + 2 + 12 + 2, 2, 157, 24));
  EXPECT_FALSE(sp02->ChoiceBox->Visible());

  // sp03 in list mode after the user unticks the box.
  sp03->ChoiceBox->Click();
  EXPECT_FALSE(sp03->IsRangeMode());
  EXPECT_TRUE(sp03->ListPanel->Visible());
  EXPECT_EQ(sp03->ListPanel->BoundsRect(), Bounds(2, 25, 406 - 4, 89 - 25 - 2));
  EXPECT_EQ(sp03->ListButton->BoundsRect(), Bounds(402 - 26 + 2, 0, 23, 23));

  // Switching sp02 to a list now exchanges its size with the stored other shape.
  sp02->SetStyle(sp_Discrete);
  EXPECT_EQ(sp02->BoundsRect(), Bounds(8, 97, 200, 105));
  panels->Free();
}

}  // namespace
