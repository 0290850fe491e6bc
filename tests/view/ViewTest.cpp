// The Qt view, offscreen: the widgets agree with the model, input in the widgets reaches the
// model's events, the model's focus wins, modal forms and message dialogs run in nested
// loops, and the gallery's pictures are written to the build folder.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "BtChkBox.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "FormTestKit.h"
#include "Gallery.h"
#include "Grids.h"
#include "Mask.h"
#include "Menus.h"
#include "QmRadioButton.h"
#include "QtConvert.h"
#include "QtDialogService.h"
#include "QtModalRunner.h"
#include "QtTextService.h"
#include "QtView.h"
#include "SelectPnl.h"
#include "Spin.h"
#include "TempInstallation.h"

namespace {

// The captions a list view's OnEdited saw.
struct TEditedLog : public TObject {
  std::vector<std::string> Log;
  void Edited(TObject*, TListItem*, std::string& s) { Log.push_back(s); }
};

class ViewTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    view = std::make_unique<TQtView>();
    SetTextService(&text);
  }
  void TearDown() override {
    form.reset();
    view.reset();
    SetTextService(nullptr);
    SetModalRunner(nullptr);
    SetDialogService(nullptr);
    VclTest::TearDown();
  }

  // The gallery form, shown and with its window active.
  void ShowGallery(bool convert = false) {
    form.reset(CreateGalleryForm(convert));
    form->Show();
    Activate();
  }
  void Activate() {
    QWidget* window = view->WidgetOf(form.get());
    ASSERT_NE(window, nullptr);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  template <class T>
  T* Find(const char* name) {
    auto* found = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QWidget* W(const TControl* control) const { return view->WidgetOf(control); }
  // Every control of the tree has its widget, with the model's bounds, visibility, enabled
  // state, hint and own state, once the event loop has run (rows are built then).
  void ExpectMirrors(TControl* control) {
    QApplication::processEvents();
    ExpectMirrorsNow(control);
  }
  void ExpectMirrorsNow(TControl* control) {
    SCOPED_TRACE(control->Name() + ": " + control->ClassName());
    QWidget* widget = W(control);
    ASSERT_NE(widget, nullptr);
    if (control->Parent()) {
      EXPECT_EQ(widget->geometry(),
                QRect(control->Left(), control->Top(), control->Width(), control->Height()));
      EXPECT_EQ(widget->isHidden(), !control->Visible());
    } else {
      EXPECT_EQ(widget->size(), QSize(control->ClientWidth(), control->ClientHeight()));
      EXPECT_EQ(widget->windowTitle(), ToQString(control->Caption()));
    }
    EXPECT_EQ(widget->testAttribute(Qt::WA_ForceDisabled), !control->Enabled());
    EXPECT_EQ(widget->font().pixelSize(), std::abs(control->Font()->Height()));
    if (control->ShowHint()) {
      EXPECT_EQ(widget->toolTip(), ToQString(GetShortHint(control->Hint())));
    }
    ExpectState(control, widget);
    if (auto* win = dynamic_cast<TWinControl*>(control))
      for (int i = 0; i < win->ControlCount(); ++i) ExpectMirrorsNow(win->Controls(i));
  }

  void ExpectState(TControl* control, QWidget* widget) {
    if (auto* spin = dynamic_cast<TSpinEdit*>(control)) {
      EXPECT_EQ(widget->findChild<QLineEdit*>()->text(), ToQString(spin->Text()));
    } else if (auto* mask = dynamic_cast<TCustomMaskEdit*>(control); mask && mask->IsMasked()) {
      EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), ToQString(mask->EditText()));
    } else if (auto* memo = dynamic_cast<TCustomMemo*>(control)) {
      EXPECT_EQ(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(), CrLfToLf(memo->Text()));
    } else if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
      EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), ToQString(edit->DisplayText()));
    } else if (auto* check = dynamic_cast<TCustomCheckBox*>(control)) {
      EXPECT_EQ(qobject_cast<QCheckBox*>(widget)->checkState(),
                check->State() == cbChecked  ? Qt::Checked
                : check->State() == cbGrayed ? Qt::PartiallyChecked
                                             : Qt::Unchecked);
    } else if (auto* radio = dynamic_cast<TRadioButton*>(control)) {
      EXPECT_EQ(qobject_cast<QRadioButton*>(widget)->isChecked(), radio->Checked());
    } else if (auto* button = dynamic_cast<TButton*>(control)) {
      EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), ToQString(button->Caption()));
    } else if (auto* combo = dynamic_cast<TCustomComboBox*>(control)) {
      auto* box = qobject_cast<QComboBox*>(widget);
      ASSERT_EQ(box->count(), combo->Items()->Count());
      for (int i = 0; i < box->count(); ++i)
        EXPECT_EQ(box->itemText(i), ToQString(combo->Items()->Strings(i)));
      EXPECT_EQ(box->currentIndex(), combo->ItemIndex());
      EXPECT_EQ(box->currentText(), ToQString(combo->Text()));
    } else if (auto* list = dynamic_cast<TCustomListView*>(control)) {
      auto* stack = qobject_cast<QStackedWidget*>(widget);
      auto* rows = qobject_cast<QAbstractItemView*>(stack->currentWidget());
      ASSERT_EQ(rows->model()->rowCount(), list->Items()->Count());
      for (int r = 0; r < list->Items()->Count(); ++r) {
        TListItem* item = list->Items()->Item(r);
        const QModelIndex index = rows->model()->index(r, 0);
        EXPECT_EQ(index.data().toString(), ToQString(item->Caption()));
        EXPECT_EQ(rows->selectionModel()->isSelected(index),
                  item->Selected() && (!list->HideSelection() || list->Focused()));
        if (list->ViewStyle() != vsReport) continue;
        for (int c = 1; c < list->Columns()->Count(); ++c) {
          EXPECT_EQ(rows->model()->index(r, c).data().toString(), ToQString(item->ColumnText(c)));
        }
      }
    }
  }

  std::unique_ptr<TQtView> view;
  TQtTextService text;
  TOwned<TForm> form;
  TRecorder rec;
};

// --- Model and widgets agree ---------------------------------------------------------------

TEST_F(ViewTest, EveryWidgetOfAFormFromAResourceShowsTheModelsState) {
  ShowGallery();
  ExpectMirrors(form.get());
  EXPECT_EQ(W(Find<TControl>("sbQuery"))->toolTip(), QStringLiteral("查询"));

  // Changes of the model reach the widgets.
  Find<TEdit>("edNo")->SetText("KX-9");
  Find<TEdit>("edNo")->SetBounds(60, 6, 150, 24);
  Find<TCheckBox>("chkSum")->SetChecked(false);
  Find<TComboBox>("cbKind")->SetItemIndex(2);
  Find<TComboBox>("cbKind")->SetStyle(csDropDown);  // now with an edit box
  Find<TPanel>("pnlEdits")->SetEnabled(false);
  Find<TBitBtn>("btnCancel")->Hide();
  Find<TListView>("lvReport")->Items()->Add()->SetCaption("KX-2024-0004");
  Find<TListView>("lvList")->Items()->Item(0)->SetSelected(true);
  Find<TSelectPanel>("sp02")->SetStyle(sp_Discrete);
  for (int i = 0; i < 2000; ++i)  // as a lookup fills a panel, row by row
    Find<TSelectPanel>("spList")->ListView->AddRow({"KX-" + std::to_string(i), "2024/02/01"});
  Find<TMemo>("mmNote")->Lines()->Add("第三行");
  form->SetCaption("改了标题");
  Find<TControl>("sbQuery")->SetHint("查询结转单|按条件查询");
  ExpectMirrors(form.get());
}

TEST_F(ViewTest, ControlsCreatedAndFreedWhileShownGetAndLoseTheirWidgets) {
  ShowGallery();
  auto* panel = Find<TPanel>("pnlEdits");
  auto* edit = new TEdit(form.get());
  edit->SetName("edLate");
  edit->SetParent(panel);
  edit->SetBounds(10, 96, 40, 22);
  edit->SetText("晚");
  ASSERT_NE(W(edit), nullptr);
  EXPECT_EQ(W(edit)->parentWidget(), W(panel));
  ExpectMirrors(edit);

  edit->SetParent(Find<TGroupBox>("gbOutput"));
  EXPECT_EQ(W(edit)->parentWidget(), W(Find<TGroupBox>("gbOutput")));
  edit->Free();
  EXPECT_EQ(W(edit), nullptr);

  // A form placed inside a control is a child widget, not a window.
  TForm* inner = CreateForm<TForm>(form.get());
  inner->SetBorderStyle(bsNone);
  inner->SetParent(panel);
  inner->SetBounds(4, 90, 50, 30);
  inner->Show();
  ASSERT_NE(W(inner), nullptr);
  EXPECT_FALSE(W(inner)->isWindow());
  EXPECT_EQ(W(inner)->parentWidget(), W(panel));
  ExpectMirrors(inner);
  inner->Free();
  EXPECT_EQ(W(inner), nullptr);
}

// --- Input through Qt ----------------------------------------------------------------------

TEST_F(ViewTest, TypingInTheWidgetsIsTheModelsTyping) {
  ShowGallery();
  auto* edNo = Find<TEdit>("edNo");
  edNo->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  edNo->SetOnKeyPress(MethodOf<&TRecorder::KeyPress>(&rec));
  edNo->SetFocus();
  EXPECT_TRUE(W(edNo)->hasFocus());
  edNo->SelectAll();
  QTest::keyClicks(W(edNo), "Ab1");
  EXPECT_EQ(edNo->Text(), "Ab1");
  EXPECT_EQ(qobject_cast<QLineEdit*>(W(edNo))->text(), "Ab1");
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "edNo.Change"), 3);
  for (const char* press : {"edNo.KeyPress A", "edNo.KeyPress b", "edNo.KeyPress 1"})
    EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), press), 1) << press;

  // The input method's composition stays in the widget; the composed text arrives whole.
  QInputMethodEvent composing(QStringLiteral("zhong"), {});
  QApplication::sendEvent(W(edNo), &composing);
  EXPECT_EQ(edNo->Text(), "Ab1");
  QInputMethodEvent compose;
  compose.setCommitString(QStringLiteral("中文"));
  QApplication::sendEvent(W(edNo), &compose);
  EXPECT_EQ(edNo->Text(), "Ab1中文");
  EXPECT_EQ(qobject_cast<QLineEdit*>(W(edNo))->text(), QStringLiteral("Ab1中文"));
  QTest::keyClick(W(edNo), Qt::Key_Backspace);
  EXPECT_EQ(edNo->Text(), "Ab1中");

  // A memo takes Enter as a line break; the widget shows the model's lines.
  auto* mmNote = Find<TMemo>("mmNote");
  mmNote->SetFocus();
  QTest::keyClicks(W(mmNote), "x");
  QTest::keyClick(W(mmNote), Qt::Key_Return);
  QTest::keyClicks(W(mmNote), "y");
  EXPECT_NE(mmNote->Text().find("x\r\ny"), std::string::npos);
  EXPECT_EQ(mmNote->Lines()->Count(), 3);
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(W(mmNote))->toPlainText(), CrLfToLf(mmNote->Text()));

  // The mask's rules are the model's: a letter does not go into a digit position, and the
  // digits typed over the selected text fill the mask from its start.
  auto* meDate = Find<TMaskEdit>("meDate");
  meDate->SetFocus();
  QTest::keyClicks(W(meDate), "x2025");
  EXPECT_EQ(meDate->EditText(), "2025/__/__");
  EXPECT_EQ(qobject_cast<QLineEdit*>(W(meDate))->text(), "2025/__/__");
}

TEST_F(ViewTest, ClicksInTheWidgetsFireTheModelsEvents) {
  ShowGallery();
  struct Case {
    const char* name;
    TControl* control;
    std::function<QPoint()> at;  // where to click in the control's widget; centre when null
    std::function<bool()> happened;
  };
  auto* btnHelp = Find<TButton>("btnHelp");
  btnHelp->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  auto* cbPreview = Find<TBitCheckBox>("cbPreview");
  auto* rbExcel = Find<TQmRadioButton>("rbExcel");
  auto* chkSum = Find<TCheckBox>("chkSum");
  auto* pgOption = Find<TPageControl>("pgOption");
  auto* lvReport = Find<TListView>("lvReport");
  auto* seCopies = Find<TSpinEdit>("seCopies");
  auto* sgDetail = Find<TStringGrid>("sgDetail");
  auto* sp01 = Find<TSelectPanel>("sp01");
  // The page change comes after the clicks on its first page.
  const std::vector<Case> cases = {
      {"sp01.ChoiceBox", sp01->ChoiceBox, nullptr, [&] { return !sp01->ChoiceBox->Checked(); }},
      {"btnHelp", btnHelp, nullptr,
       [&] { return rec.Log == std::vector<std::string>{"btnHelp.Click"}; }},
      {"cbPreview", cbPreview, nullptr, [&] { return cbPreview->State() == cbUnchecked; }},
      {"rbExcel", rbExcel, nullptr,
       [&] { return rbExcel->Checked() && !Find<TQmRadioButton>("rbHtml")->Checked(); }},
      {"chkSum", chkSum, nullptr,
       [&] {
         return !chkSum->Checked() &&
                qobject_cast<QCheckBox*>(W(chkSum))->checkState() == Qt::Unchecked;
       }},
      {"pgOption", pgOption,
       [&] {
         const TRect tab = pgOption->TabRect(1);
         return QPoint((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
       },
       [&] { return pgOption->ActivePage() == Find<TTabSheet>("tsOption2"); }},
      {"lvReport", lvReport,
       [&] {
         auto* tree = W(lvReport)->findChild<QTreeWidget*>();
         return tree->viewport()->mapTo(W(lvReport),
                                        tree->visualItemRect(tree->topLevelItem(2)).center());
       },
       [&] { return lvReport->Selected() == lvReport->Items()->Item(2) && lvReport->Focused(); }},
      {"seCopies", seCopies, [&] { return QPoint(W(seCopies)->width() - 6, 4); },
       [&] { return seCopies->Value() == 3; }},
      {"sgDetail", sgDetail,
       [&] {
         const TRect cell = sgDetail->CellRect(2, 3);
         return QPoint(cell.Left + 4, cell.Top + 4);
       },
       [&] { return sgDetail->Col() == 2 && sgDetail->Row() == 3; }},

  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* widget = W(c.control);
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, c.at ? c.at() : widget->rect().center());
    EXPECT_TRUE(c.happened());
  }
}

// A left-button event as the window system delivers it, at a given time.
void SendLeft(QWidget* widget, QEvent::Type type, QPoint at, quint64 time) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  event.setTimestamp(time);
  QApplication::sendEvent(widget, &event);
}

TEST_F(ViewTest, ADoubleClickIsTheModelsDoubleClick) {
  ShowGallery();
  auto* list = Find<TListView>("lvReport");
  list->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  list->SetOnDblClick(MethodOf<&TRecorder::Change>(&rec));  // logged as "Change"
  auto* tree = W(list)->findChild<QTreeWidget*>();
  QWidget* rows = tree->viewport();
  const QPoint at = tree->visualItemRect(tree->topLevelItem(1)).center();
  const TRect r = list->ItemRect(1);
  const int x = r.Left + 2;
  const int y = (r.Top + r.Bottom) / 2;
  struct Case {
    const char* name;
    std::function<void()> qt;     // the window system's events
    std::function<void()> model;  // the model's own input with the same meaning
  };
  const quint64 t = 100000;
  const Case cases[] = {
      {"press, release, press, double click, release",
       [&] {
         SendLeft(rows, QEvent::MouseButtonPress, at, t);
         SendLeft(rows, QEvent::MouseButtonRelease, at, t + 20);
         SendLeft(rows, QEvent::MouseButtonPress, at, t + 120);
         SendLeft(rows, QEvent::MouseButtonDblClick, at, t + 120);
         SendLeft(rows, QEvent::MouseButtonRelease, at, t + 140);
       },
       [&] { SendMouseDblClick(list, x, y); }},
      {"two clicks too far apart in time",
       [&] {
         SendLeft(rows, QEvent::MouseButtonPress, at, t + 5000);
         SendLeft(rows, QEvent::MouseButtonRelease, at, t + 5020);
         SendLeft(rows, QEvent::MouseButtonPress, at, t + 9000);
         SendLeft(rows, QEvent::MouseButtonRelease, at, t + 9020);
       },
       [&] {
         SendMouseClick(list, x, y);
         SendMouseClick(list, x, y);
       }},
      {"a double click event alone", [&] { QTest::mouseDClick(rows, Qt::LeftButton, {}, at); },
       [&] { SendMouseDoublePress(list, x, y); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rec.Clear();
    c.model();
    const std::vector<std::string> expected = rec.Log;
    rec.Clear();
    c.qt();
    EXPECT_EQ(rec.Log, expected);
    EXPECT_EQ(list->Selected(), list->Items()->Item(1));
  }
  EXPECT_FALSE(rec.Log.empty());
}

TEST_F(ViewTest, AComboBoxOpensAndPicksThroughTheModel) {
  ShowGallery();
  auto* combo = Find<TComboBox>("cbKind");
  combo->SetOnSelect(MethodOf<&TRecorder::Change>(&rec));
  auto* box = qobject_cast<QComboBox*>(W(combo));
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(box->view()->isVisible());

  QAbstractItemView* list = box->view();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(list->model()->index(2, 0)).center());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "年报");
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(rec.Log, std::vector<std::string>{"cbKind.Change"});
  EXPECT_EQ(box->currentIndex(), 2);
}

TEST_F(ViewTest, CellAndCaptionEditorsWriteBackThroughTheModel) {
  ShowGallery();
  // The grid's cell editor is the model's in-place edit, shown as an edit of its own.
  auto* grid = Find<TStringGrid>("sgDetail");
  const TRect cell = grid->CellRect(2, 2);
  QTest::mouseClick(W(grid), Qt::LeftButton, {}, QPoint(cell.Left + 4, cell.Top + 4));
  QTest::keyClicks(W(grid), "Z");
  ASSERT_TRUE(grid->EditorMode());
  QWidget* editor = W(grid->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->hasFocus());
  QTest::keyClicks(editor, "9");
  EXPECT_EQ(qobject_cast<QLineEdit*>(editor)->text(), "Z9");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(grid->Cells(2, 2), "Z9");

  // A list item's caption is edited in place; Enter keeps the text, Esc drops it.
  auto* list = Find<TListView>("lvReport");
  TEditedLog edited;
  list->SetOnEdited(MethodOf<&TEditedLog::Edited>(&edited));
  for (const bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "Enter" : "Esc");
    TListItem* item = list->Items()->Item(0);
    const std::string before = item->Caption();
    list->SetFocus();
    ASSERT_TRUE(item->EditCaption());
    QPointer<QLineEdit> caption = W(list)->findChild<QLineEdit*>();
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->hasFocus());
    EXPECT_EQ(caption->text(), ToQString(before));
    caption->insert(QStringLiteral("改名"));  // typed over the selected caption
    QTest::keyClick(caption, keep ? Qt::Key_Return : Qt::Key_Escape);
    EXPECT_EQ(list->EditingItem(), nullptr);
    EXPECT_EQ(item->Caption(), keep ? "改名" : before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(caption.isNull());
    EXPECT_TRUE(W(list)->hasFocus());
  }
  EXPECT_EQ(edited.Log, std::vector<std::string>{"改名"});
}

TEST_F(ViewTest, PopupMenusShowTheModelsItemsAndClickTheChosenOne) {
  ShowGallery();
  auto* lvReport = Find<TListView>("lvReport");
  auto* tbPrint = Find<TToolButton>("tbPrint");
  Find<TMenuItem>("miDelete")->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  Find<TMenuItem>("miPrintNow")->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  struct Case {
    const char* name;
    TControl* control;
    Qt::MouseButton button;
    QPoint at;
    QStringList items;
    const char* pick;
    const char* clicked;
  };
  const Case cases[] = {
      {"context menu",
       lvReport,
       Qt::RightButton,
       QPoint(200, 60),
       {QStringLiteral("全选(&A)"), QString(), QStringLiteral("删除(&D)")},
       "删除(&D)",
       "miDelete.Click"},
      {"drop-down arrow",
       tbPrint,
       Qt::LeftButton,
       QPoint(tbPrint->Width() - 5, 10),
       {QStringLiteral("预览"), QStringLiteral("直接打印")},
       "直接打印",
       "miPrintNow.Click"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rec.Clear();
    QStringList shown;
    QTimer::singleShot(30, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions()) shown << action->text();
      for (QAction* action : menu->actions())
        if (action->text() == QString::fromUtf8(c.pick))
          QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    });
    QTest::mouseClick(W(c.control), c.button, {}, c.at);
    EXPECT_EQ(shown, c.items);
    EXPECT_EQ(rec.Log, std::vector<std::string>{c.clicked});
  }
}

// --- Focus ---------------------------------------------------------------------------------

TEST_F(ViewTest, AFocusMoveInQtAsksTheModelAndARefusalPutsTheFocusBack) {
  for (const bool refuse : {false, true}) {
    SCOPED_TRACE(refuse ? "refused" : "accepted");
    ShowGallery();
    auto* edNo = Find<TEdit>("edNo");
    auto* meDate = Find<TMaskEdit>("meDate");
    rec.Clear();
    rec.Watch({edNo, meDate});
    // A failed exit check keeps the focus where it is.
    if (refuse) rec.Hooks["edNo.Exit"] = [edNo] { edNo->SetFocus(); };
    edNo->SetFocus();
    ASSERT_TRUE(W(edNo)->hasFocus());
    rec.Clear();

    W(meDate)->setFocus(Qt::OtherFocusReason);
    TWinControl* expected = refuse ? static_cast<TWinControl*>(edNo) : meDate;
    EXPECT_EQ(FocusedControl(), expected);
    EXPECT_TRUE(W(expected)->hasFocus());
    EXPECT_EQ(rec.Log.front(), "edNo.Exit");
    rec.Hooks.clear();
    form.reset();
  }
}

TEST_F(ViewTest, BringingAWindowToTheFrontActivatesItsForm) {
  ShowGallery();
  Find<TEdit>("edNo")->SetFocus();
  TOwned<TForm> other(CreateForm<TForm>(nullptr));
  other->SetBounds(40, 40, 200, 100);
  auto* edit = new TEdit(other.get());
  edit->SetParent(other.get());
  other->SetActiveControl(edit);
  other->Show();
  ASSERT_TRUE(other->Active());
  ASSERT_FALSE(form->Active());
  ASSERT_TRUE(QTest::qWaitForWindowActive(W(other.get())));

  for (TForm* target : {form.get(), other.get(), form.get()}) {
    SCOPED_TRACE(target == other.get() ? "other" : "gallery");
    QWidget* window = W(target);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_TRUE(target->Active());
    EXPECT_EQ(form->Active(), target == form.get());
    // The keyboard focus is in the active form, in Qt as in the model.
    ASSERT_NE(FocusedControl(), nullptr);
    EXPECT_EQ(GetParentForm(FocusedControl()), target);
    EXPECT_TRUE(W(FocusedControl())->hasFocus());
  }
  other.reset();
}

TEST_F(ViewTest, TabMovesTheFocusInTheModelsTabOrder) {
  ShowGallery();
  auto* edNo = Find<TEdit>("edNo");
  edNo->SetFocus();
  QTest::keyClick(W(edNo), Qt::Key_Tab);
  EXPECT_EQ(FocusedControl(), Find<TMaskEdit>("meDate"));
  EXPECT_TRUE(W(FocusedControl())->hasFocus());
  QTest::keyClick(W(FocusedControl()), Qt::Key_Backtab);
  EXPECT_EQ(FocusedControl(), edNo);
  EXPECT_TRUE(W(edNo)->hasFocus());
}

// --- Modal loops and dialogs ---------------------------------------------------------------

TEST_F(ViewTest, AModalFormRunsInANestedLoopUntilAButtonEndsIt) {
  TQtModalRunner runner(*view);
  SetModalRunner(&runner);
  form.reset(CreateForm<TForm>(nullptr));
  form->SetBounds(100, 100, 240, 120);
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetBounds(80, 40, 75, 25);
  ok->SetCaption("确定");
  ok->SetModalResult(mrOk);
  bool shownModal = false;
  QTimer::singleShot(30, [&] {
    QWidget* window = view->WidgetOf(form.get());
    shownModal = window && window->isVisible() && window->isModal();
    QTest::mouseClick(W(ok), Qt::LeftButton);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(shownModal);
  EXPECT_FALSE(view->WidgetOf(form.get())->isVisible());
}

TEST_F(ViewTest, MessageDialogsShowTheirReCaptionedButtonsAndAnswerTheChosenOne) {
  TQtDialogService dialogs;
  SetDialogService(&dialogs);
  struct Case {
    const char* name;
    const char* click;  // caption to click; null: press Escape
    TModalResult result;
  };
  for (const Case& c : {Case{"yes", "是(&Y)", mrYes}, Case{"no", "否(&N)", mrNo},
                        Case{"escape", nullptr, mrCancel}}) {
    SCOPED_TRACE(c.name);
    TOwned<TMessageForm> dialog(CreateMessageDialog("保存方案吗？", mtConfirmation, mbYesNoCancel));
    dialog->FindButton(mbYes)->SetCaption("是(&Y)");
    dialog->FindButton(mbNo)->SetCaption("否(&N)");
    dialog->FindButton(mbCancel)->SetCaption("取消");
    QStringList shown;
    QString text;
    QTimer::singleShot(30, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      for (QAbstractButton* b : box->buttons()) shown << b->text();
      if (!c.click) {
        QTest::keyClick(box, Qt::Key_Escape);
        return;
      }
      for (QAbstractButton* b : box->buttons())
        if (b->text() == QString::fromUtf8(c.click)) b->click();
    });
    EXPECT_EQ(dialog->ShowModal(), c.result);
    EXPECT_EQ(text, QStringLiteral("保存方案吗？"));
    shown.sort();
    QStringList expected{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"),
                         QStringLiteral("取消")};
    expected.sort();
    EXPECT_EQ(shown, expected);
  }
}

TEST_F(ViewTest, ADialogOpenedByAClickRunsInsideTheClickAndReturnsToIt) {
  TQtDialogService dialogs;
  SetDialogService(&dialogs);
  ShowGallery();
  auto* help = Find<TButton>("btnHelp");
  help->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  int answer = -1;
  rec.Hooks["btnHelp.Click"] = [&] {
    answer = MessageDlg("说明", mtInformation, TMsgDlgButtons{mbOK});
    rec.Log.push_back("after dialog");
  };
  QTimer::singleShot(30, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      box->buttons().front()->click();
  });
  QTest::mouseClick(W(help), Qt::LeftButton);
  EXPECT_EQ(answer, mrOk);
  EXPECT_EQ(rec.Log, (std::vector<std::string>{"btnHelp.Click", "after dialog"}));
  EXPECT_TRUE(W(form.get())->isVisible());
}

// --- Real fonts and the gallery's pictures -------------------------------------------------

TEST_F(ViewTest, TheTextServiceMeasuresRealGlyphsAndDrawsThemIntoTheBitmap) {
  TFont font;
  font.SetName("宋体");
  font.SetHeight(-12);
  const TSize wide = text.TextExtent("选择结转单号", font);
  const TSize narrow = text.TextExtent("iiiiii", font);
  EXPECT_GT(wide.cx, narrow.cx);  // proportional, with wide CJK glyphs
  EXPECT_GE(wide.cy, 12);
  EXPECT_TRUE(QFontMetrics(ToQFont(font)).inFont(QChar(0x9009)));  // no boxes for Chinese

  TBitmap bitmap;
  bitmap.SetSize(100, 20);
  bitmap.Fill(clWhite);
  bitmap.Canvas()->Font()->Assign(&font);
  bitmap.Canvas()->TextOut(2, 2, "选择");
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) dark += GetRValue(bitmap.Pixel(x, y)) < 128 ? 1 : 0;
  EXPECT_GT(dark, 20);
  // Nothing is drawn beyond the text's extent.
  const int end = 2 + text.TextExtent("选择", font).cx + 1;
  for (int y = 0; y < 20; ++y)
    for (int x = end; x < 100; ++x) EXPECT_EQ(bitmap.Pixel(x, y), clWhite) << x << "," << y;
}

TEST_F(ViewTest, TheGalleryIsPicturedInSimplifiedAndTraditionalChinese) {
  for (const bool traditional : {false, true}) {
    SCOPED_TRACE(traditional ? "traditional" : "simplified");
    TempInstallation install(traditional ? "950" : "936");
    ShowGallery(traditional);
    auto* sp01 = Find<TSelectPanel>("sp01");
    EXPECT_EQ(sp01->Caption(), traditional ? " 選擇結轉單號 " : " 选择结转单号 ");
    ExpectMirrors(form.get());
    const std::string file =
        std::string("gallery-") + (traditional ? "traditional" : "simplified") + ".png";
    ASSERT_TRUE(SaveFormPicture(*view, form.get(), file));
    QImage picture(QString::fromStdString(file));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(form->ClientWidth(), form->ClientHeight()));
    // The panel's caption is drawn in dark glyph pixels where the model placed it.
    const QRect captionArea(W(sp01)->mapTo(W(form.get()), QPoint(8, 0)), QSize(80, 12));
    int dark = 0;
    for (int y = captionArea.top(); y <= captionArea.bottom(); ++y)
      for (int x = captionArea.left(); x <= captionArea.right(); ++x)
        dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 30);
    form.reset();
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
