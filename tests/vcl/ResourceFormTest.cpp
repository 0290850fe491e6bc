#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "DateTime.h"
#include "ExtCtrls.h"
#include "FormTestKit.h"
#include "Mask.h"
#include "Reader.h"
#include "Spin.h"
#include "StdCtrls.h"

namespace {

using Log = std::vector<std::string>;

// A form of the kind the module declares: pages, masked and plain edits, buttons, and
// handlers named in its resource.
class TfrmOrder : public TForm {
  KXBR_CLASS(TfrmOrder, TForm)

 public:
  using TForm::TForm;

  TPageControl* pgMain = nullptr;
  TTabSheet* tsBasic = nullptr;
  TTabSheet* tsMore = nullptr;
  TEdit* edName = nullptr;
  TMaskEdit* edDate = nullptr;
  TComboBox* cboKind = nullptr;
  TCheckBox* chkNotify = nullptr;
  TSpinEdit* edHour = nullptr;
  TListView* lstItems = nullptr;
  TButton* btnOk = nullptr;
  TButton* btnCancel = nullptr;
  Log Calls;

  void FormCreate(TObject*) { Calls.push_back("FormCreate"); }
  void FormShow(TObject*) { Calls.push_back("FormShow"); }
  void FormKeyDown(TObject*, WORD& key, TShiftState) {
    if (key != VK_F2) return;
    Calls.push_back("F2 in " + ActiveControl()->Name());
    key = 0;
  }
  void FormCloseQuery(TObject*, bool& canClose) {
    canClose = !edName->Text().empty();
    Calls.push_back(canClose ? "CloseQuery yes" : "CloseQuery no");
  }
  void FormClose(TObject*, TCloseAction& action) { action = caFree; }
  void pgMainChange(TObject*) { Calls.push_back("Page " + pgMain->ActivePage()->Name()); }
  void btnOkClick(TObject*) { Calls.push_back("Ok " + edName->Text() + " " + edDate->Text()); }
};

KXBR_DEFINE_CLASS(TfrmOrder, .Method<&TfrmOrder::FormCreate>("FormCreate")
                                 .Method<&TfrmOrder::FormShow>("FormShow")
                                 .Method<&TfrmOrder::FormKeyDown>("FormKeyDown")
                                 .Method<&TfrmOrder::FormCloseQuery>("FormCloseQuery")
                                 .Method<&TfrmOrder::FormClose>("FormClose")
                                 .Method<&TfrmOrder::pgMainChange>("pgMainChange")
                                 .Method<&TfrmOrder::btnOkClick>("btnOkClick")
                                 .Field<&TfrmOrder::pgMain>("pgMain")
                                 .Field<&TfrmOrder::tsBasic>("tsBasic")
                                 .Field<&TfrmOrder::tsMore>("tsMore")
                                 .Field<&TfrmOrder::edName>("edName")
                                 .Field<&TfrmOrder::edDate>("edDate")
                                 .Field<&TfrmOrder::cboKind>("cboKind")
                                 .Field<&TfrmOrder::chkNotify>("chkNotify")
                                 .Field<&TfrmOrder::edHour>("edHour")
                                 .Field<&TfrmOrder::lstItems>("lstItems")
                                 .Field<&TfrmOrder::btnOk>("btnOk")
                                 .Field<&TfrmOrder::btnCancel>("btnCancel"))

const char* kOrderForm = R"(object frmOrder: TfrmOrder
  Left = 0
  Top = 0
  Width = 509
  Height = 355
  BorderIcons = [biSystemMenu, biMaximize]
  Caption = '订单条件'
  Font.Charset = GB2312_CHARSET
  Font.Height = -13
  Font.Name = '宋体'
  KeyPreview = True
  Position = poScreenCenter
  ActiveControl = edName
  OnCreate = FormCreate
  OnShow = FormShow
  OnKeyDown = FormKeyDown
  OnCloseQuery = FormCloseQuery
  OnClose = FormClose
  object pgMain: TPageControl
    Align = alClient
    TabOrder = 0
    OnChange = pgMainChange
    object tsBasic: TTabSheet
      Caption = '基本选项'
      object lblName: TLabel
        Left = 8
        Top = 12
        Caption = '名称(&N)'
        FocusControl = edName
      end
      object edName: TEdit
        Left = 80
        Top = 8
        Width = 121
        MaxLength = 20
        TabOrder = 0
      end
      object edDate: TMaskEdit
        Left = 80
        Top = 36
        Width = 121
        EditMask = '9999/99/99;1; '
        TabOrder = 1
      end
      object cboKind: TComboBox
        Left = 80
        Top = 64
        Style = csDropDownList
        Items.Strings = (
          '全部'
          '已审核'
          '未审核')
        TabOrder = 2
      end
    end
    object tsMore: TTabSheet
      Caption = '系统选项'
      object chkNotify: TCheckBox
        Left = 8
        Top = 8
        Caption = '完成后通知'
        TabOrder = 0
      end
      object edHour: TSpinEdit
        Left = 8
        Top = 32
        MaxValue = 23
        TabOrder = 1
      end
      object lstItems: TListView
        Left = 8
        Top = 64
        ViewStyle = vsReport
        RowSelect = True
        MultiSelect = True
        ReadOnly = True
        Columns = <
          item
            Caption = '代码'
            Width = -1
          end
          item
            Caption = '名称'
            Width = -2
          end>
        TabOrder = 2
      end
    end
  end
  object Panel1: TPanel
    Align = alBottom
    Height = 43
    TabOrder = 1
    object btnOk: TButton
      Left = 320
      Top = 9
      Caption = '确定'
      Default = True
      ModalResult = mrOk
      TabOrder = 0
      OnClick = btnOkClick
    end
    object btnCancel: TButton
      Left = 408
      Top = 9
      Caption = '取消'
      Cancel = True
      ModalResult = 2
      TabOrder = 1
    end
  end
end
)";

class ResourceFormTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    savedSeparator = FormatSettings().DateSeparator;
    FormatSettings().DateSeparator = '/';
    RegisterResource(RT_RCDATA, "TfrmOrder", kOrderForm);
  }
  void TearDown() override {
    UnregisterResource(RT_RCDATA, "TfrmOrder");
    FormatSettings().DateSeparator = savedSeparator;
    VclTest::TearDown();
  }
  char savedSeparator = '/';
};

TEST_F(ResourceFormTest, TheResourceBuildsTheFormWithItsLayout) {
  TOwned<TfrmOrder> f(CreateForm<TfrmOrder>(nullptr));
  EXPECT_EQ(f->Name(), "frmOrder");
  EXPECT_EQ(f->Calls, (Log{"FormCreate"}));
  ASSERT_NE(f->edDate, nullptr);
  EXPECT_EQ(f->edDate->EditText(), "    /  /  ");
  EXPECT_EQ(f->cboKind->Items()->Count(), 3);
  EXPECT_EQ(f->lstItems->Columns()->Count(), 2);
  EXPECT_EQ(f->pgMain->ActivePage(), f->tsBasic);
  EXPECT_EQ(f->ActiveControl(), f->edName);
  EXPECT_EQ(f->edName->Font()->Name(), "宋体");  // the form's font
  // Aligned: the panel at the bottom of the client area, the pages above it.
  EXPECT_EQ(f->ClientWidth(), 501);
  EXPECT_EQ(f->pgMain->BoundsRect(), Rect(0, 0, 501, f->ClientHeight() - 43));
  EXPECT_EQ(f->edName->TabOrder(), 0);
  EXPECT_EQ(f->cboKind->TabOrder(), 2);
  EXPECT_FALSE(f->Visible());
}

TEST_F(ResourceFormTest, ShownFocusedTypedIntoPagedAndClosedFromATest) {
  TOwned<TfrmOrder> f(CreateForm<TfrmOrder>(nullptr));
  f->Show();
  EXPECT_EQ(f->Left(), (1024 - 509) / 2);
  EXPECT_TRUE(f->edName->Focused());
  SendText("张三");
  SendKey(VK_TAB);
  EXPECT_TRUE(f->edDate->Focused());
  SendText("20240315");
  SendKey(VK_F2);  // the form's key preview takes F2
  SendKey(VK_TAB);
  SendKey(VK_DOWN);  // the list-only combo selects its next item
  EXPECT_EQ(f->cboKind->Text(), "全部");
  SendKey(VK_TAB, {ssCtrl});  // the next page
  EXPECT_EQ(f->pgMain->ActivePage(), f->tsMore);
  EXPECT_TRUE(f->chkNotify->Focused());
  SendKey(VK_SPACE);
  EXPECT_TRUE(f->chkNotify->Checked());
  SendKey(VK_TAB);
  SendKey(VK_UP);
  EXPECT_EQ(f->edHour->Value(), 1);
  SendKey(VK_RETURN);  // the default button
  EXPECT_EQ(f->ModalResult(), mrOk);
  EXPECT_EQ(f->Calls,
            (Log{"FormCreate", "FormShow", "F2 in edDate", "Page tsMore", "Ok 张三 2024/03/15"}));
  // Closing frees the form (its OnClose answers caFree) once the messages are processed.
  TfrmOrder* raw = f.release();
  raw->Close();
  EXPECT_EQ(raw->Calls.back(), "CloseQuery yes");
  const int forms = Screen()->FormCount();
  Application()->ProcessMessages();
  EXPECT_EQ(Screen()->FormCount(), forms - 1);
}

TEST_F(ResourceFormTest, AModalResourceFormIsDrivenByTheRunnerScript) {
  TOwned<TfrmOrder> f(CreateForm<TfrmOrder>(nullptr));
  HeadlessModalRunner()->Enqueue([](TCustomForm* form) {
    SendKey(VK_ESCAPE);  // the cancel button
    EXPECT_EQ(form->ModalResult(), mrCancel);
  });
  HeadlessModalRunner()->Enqueue([](TCustomForm* form) {
    auto* order = static_cast<TfrmOrder*>(form);
    // The close was refused while the name was empty; the form is still up.
    EXPECT_EQ(order->Calls.back(), "CloseQuery no");
    EXPECT_TRUE(order->Visible());
    SendMouseClick(order->edName);
    SendText("Li");
    SendMouseClick(order->btnCancel);
  });
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_EQ(f->edName->Text(), "Li");
  // ShowModal's close hides; the caFree of OnClose released the form afterwards.
  EXPECT_EQ(PostedMessageCount(), 1);
  f.release();
  Application()->ProcessMessages();
}

}  // namespace
