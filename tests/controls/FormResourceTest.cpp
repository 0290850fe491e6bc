#include <gtest/gtest.h>

#include "BtChkBox.h"
#include "DBLabel.h"
#include "ExtPage.h"
#include "F2Button.h"
#include "FormTestKit.h"
#include "QmRadioGroup.h"
#include "QmSpin.h"
#include "Reader.h"

namespace {

// A page of the system options as the forms declare it: the controls come from a form
// resource, their references are resolved after reading and they place themselves.
constexpr const char* kSystemPage = R"(object F: TForm
  Left = 0
  Top = 0
  Width = 500
  Height = 300
  object pgOption: TExtPageControl
    Left = 0
    Top = 0
    Width = 480
    Height = 260
    object tsOption2: TTabSheet
      Caption = '系统选项'
      object lblToday: TDBLabel
        AutoSize = False
        Width = 48
        Height = 13
        Caption = '制表日期'
        FocusControl = edPrintDate
      end
      object edPrintDate: TEdit
        Left = 80
        Top = 10
        Width = 90
        Height = 21
        Hint = '[F2]日期快手'
      end
      object btnPrintDate: TF2Button
        Hint = '日期快手'
        GlyphIndex = 9
        F2Control = edPrintDate
      end
      object chkNotify: TBitCheckBox
        Left = 8
        Top = 40
        Caption = '完成后通知'
        Checked = True
      end
      object seSetDay: TQmSpinEdit
        Left = 8
        Top = 70
        MinValue = -99
        MaxValue = 99
      end
      object grpType: TQmRadioGroup
        Left = 8
        Top = 100
        Width = 185
        Height = 60
        Columns = 2
        Items.Strings = (
          '公历'
          '民国年')
        ItemIndex = 0
      end
    end
  end
end
)";

class FormResourceTest : public VclTest {};

TEST_F(FormResourceTest, ControlsReadFromAResourcePlaceThemselves) {
  TOwned<TForm> form(CreateForm<TForm>(nullptr));
  ReadComponentResText(kSystemPage, form.get(), "System.txt");
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent("edPrintDate"));
  auto* label = dynamic_cast<TDBLabel*>(form->FindComponent("lblToday"));
  auto* button = dynamic_cast<TF2Button*>(form->FindComponent("btnPrintDate"));
  auto* box = dynamic_cast<TBitCheckBox*>(form->FindComponent("chkNotify"));
  auto* group = dynamic_cast<TQmRadioGroup*>(form->FindComponent("grpType"));
  ASSERT_TRUE(edit && label && button && box && group);
  EXPECT_EQ(button->F2Control(), edit);
  EXPECT_EQ(button->GlyphIndex(), 9);
  EXPECT_EQ(button->Caption(), "");
  EXPECT_EQ(button->BoundsRect(), Bounds(172, 10, 21, 21));
  EXPECT_EQ(label->FocusControl(), edit);
  EXPECT_EQ(label->Caption(), "制表日期");  // a plain edit has no field to name it
  EXPECT_EQ(label->BoundsRect(), Bounds(80 - 48 - 4, 10 + 10 - 6, 48, 13));
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_TRUE(group->Buttons(0)->Checked());
  form->Show();
  auto* pages = dynamic_cast<TExtPageControl*>(form->FindComponent("pgOption"));
  ASSERT_NE(pages, nullptr);
  EXPECT_TRUE(pages->IsOwnerDrawn());
  EXPECT_EQ(pages->TabCaption(0), "系统选项");
}

}  // namespace
