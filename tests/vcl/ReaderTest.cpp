#include <gtest/gtest.h>

#include <memory>

#include "Reader.h"
#include "TempFolder.h"
#include "TestClasses.h"

namespace {

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// The binary form of a bitmap property: a little-endian length, then the BMP file.
std::string GlyphData() {
  TBitmap b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(1, 0, clBlue);
  const std::string bmp = b.SaveToBytes();
  std::string data;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((bmp.size() >> (8 * i)) & 0xFF);
  return Hex(data + bmp);
}

std::string SmallForm() {
  return "object frmTest: TTestForm\n"
         "  Caption = 'Main '#25105'x'#13#10'it''s'\n"
         "  Count = -3\n"
         "  Font.Name = '宋体'\n"
         "  Font.Height = -13\n"
         "  Font.Style = [fsBold, fsUnderline]\n"
         "  Color = clBtnFace\n"
         "  OnClick = btnOkClick\n"
         "  object Panel1: TTestComponent\n"
         "    Style = ts_UserChoice\n"
         "    Enabled = False\n"
         "    Options = [toWide]\n"
         "    Ratio = 1.5E2\n"
         "    Letter = '#'\n"
         "    Small = $7F\n"
         "    Buddy = btnOk\n"
         "    Items.Strings = (\n"
         "      'first'\n"
         "      'sec' +\n"
         "        'ond')\n"
         "    Columns = <\n"
         "      item\n"
         "        Caption = 'Code'\n"
         "        Width = 80\n"
         "      end\n"
         "      item\n"
         "        Caption = 'Name'\n"
         "      end>\n"
         "    object Inner: TTestComponent\n"
         "      Color = 16777215\n"
         "      Glyph.Data = {\n"
         "        " +
         GlyphData() +
         "}\n"
         "      OnKeyPress = edKeyPress\n"
         "    end\n"
         "  end\n"
         "  object btnOk: TTestComponent\n"
         "    Tag = 7\n"
         "    Left = 40\n"
         "    Top = 120\n"
         "    OnClick = btnOkClick\n"
         "  end\n"
         "end\n";
}

class ReaderTest : public ::testing::Test {
 protected:
  std::unique_ptr<TTestForm> form = std::make_unique<TTestForm>(nullptr);
  TCallLog log;

  void Read(const std::string& text) { ReadComponentResText(text, form.get(), "Test.txt"); }
  std::string ReadError(const std::string& text) {
    try {
      Read(text);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "no error";
  }
};

TEST_F(ReaderTest, ReadsEveryPropertyKindIntoNestedComponents) {
  Read(SmallForm());
  EXPECT_EQ(form->Name(), "frmTest");
  EXPECT_EQ(form->Caption(), "Main 我x\r\nit's");
  EXPECT_EQ(form->Count(), -3);
  EXPECT_EQ(form->Font()->Name(), "宋体");
  EXPECT_EQ(form->Font()->Height(), -13);
  EXPECT_EQ(form->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(form->Color(), clBtnFace);

  ASSERT_EQ(form->ComponentCount(), 3);  // every component is owned by the root
  auto* panel = dynamic_cast<TTestComponent*>(form->FindComponent("Panel1"));
  auto* inner = dynamic_cast<TTestComponent*>(form->FindComponent("Inner"));
  ASSERT_TRUE(panel && inner);
  EXPECT_EQ(form->Panel1, panel);  // published fields are filled
  EXPECT_EQ(form->btnOk, form->FindComponent("btnOk"));
  EXPECT_EQ(panel->GetParentComponent(), form.get());
  EXPECT_EQ(inner->GetParentComponent(), panel);

  EXPECT_EQ(panel->Style(), ts_UserChoice);
  EXPECT_FALSE(panel->Enabled());
  EXPECT_EQ(panel->Options(), (TTestOptions{toWide}));
  EXPECT_EQ(panel->Ratio(), 150.0);
  EXPECT_EQ(panel->Letter(), '#');
  EXPECT_EQ(panel->Small(), 127);
  EXPECT_EQ(panel->Buddy(), form->btnOk);  // a forward reference
  EXPECT_EQ(panel->Items()->ToVector(), (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(panel->Columns()->Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(panel->Columns()->Items(0))->Width(), 80);
  EXPECT_EQ(static_cast<TTestItem*>(panel->Columns()->Items(1))->Caption(), "Name");
  EXPECT_EQ(static_cast<TTestItem*>(panel->Columns()->Items(1))->Width(), 50);

  EXPECT_EQ(inner->Color(), clWhite);
  ASSERT_EQ(inner->Glyph()->Width(), 2);
  EXPECT_EQ(inner->Glyph()->Pixel(1, 0), clBlue);

  form->btnOk->Click();
  form->Click();
  char key = 'k';
  inner->OnKeyPress()(inner, key);
  EXPECT_EQ(form->Calls,
            (std::vector<std::string>{"btnOkClick btnOk", "btnOkClick frmTest", "edKeyPress k"}));
  EXPECT_EQ(form->btnOk->Tag(), 7);
  EXPECT_EQ(form->btnOk->DesignInfo(), (120 << 16) | 40);  // where the designer shows it
}

TEST_F(ReaderTest, LoadedRunsOnceEverythingIsReadAndResolved) {
  form->Log = &log;
  Read(SmallForm());
  EXPECT_TRUE(form->StateAtLoaded);
  auto* panel = dynamic_cast<TTestComponent*>(form->FindComponent("Panel1"));
  EXPECT_EQ(panel->BuddyAtLoaded, form->btnOk);
  EXPECT_TRUE(panel->StateAtLoaded);
  for (int i = 0; i < form->ComponentCount(); ++i) {
    const TComponentState state = form->Components(i)->ComponentState();
    EXPECT_FALSE(state.Contains(csLoading) || state.Contains(csReading)) << i;
  }
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_EQ(log.Entries, std::vector<std::string>{"Loaded frmTest"});
}

TEST_F(ReaderTest, InheritedResourcesChangeTheAncestorsComponents) {
  RegisterResource(RT_RCDATA, "TTestForm", SmallForm());
  RegisterResource(RT_RCDATA, "TTestSubForm",
                   "inherited frmSub: TTestSubForm\n"
                   "  Caption = 'Sub'\n"
                   "  inherited Panel1: TTestComponent\n"
                   "    Count = 9\n"
                   "    object Extra: TTestComponent\n"
                   "    end\n"
                   "  end\n"
                   "end\n");
  TTestSubForm sub(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&sub, TComponent::StaticClass()));
  UnregisterResource(RT_RCDATA, "TTestForm");
  UnregisterResource(RT_RCDATA, "TTestSubForm");
  EXPECT_EQ(sub.Name(), "frmSub");  // the most derived resource names the form
  EXPECT_EQ(sub.Caption(), "Sub");
  ASSERT_NE(sub.Panel1, nullptr);
  EXPECT_EQ(sub.Panel1->Count(), 9);
  EXPECT_EQ(sub.Panel1->Style(), ts_UserChoice);  // from the ancestor
  EXPECT_EQ(sub.FindComponent("Extra")->GetParentComponent(), sub.Panel1);
  EXPECT_EQ(sub.ComponentCount(), 4);
  EXPECT_FALSE(InitInheritedComponent(form.get(), TComponent::StaticClass()));
}

// Bad resources fail with the file, the line and the name.
TEST_F(ReaderTest, ErrorsNameTheFileLineAndName) {
  struct Case {
    const char* name;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"unknown class", "object F: TTestForm\n  object X: TNoSuchClass\n  end\nend\n",
       "Test.txt(2): Class TNoSuchClass not found"},
      {"unknown property", "object F: TTestForm\n  Count = 1\n  Colr = clRed\nend\n",
       "Test.txt(3): Error reading F.Colr: Property Colr does not exist"},
      {"unknown sub-property", "object F: TTestForm\n  Font.Nme = 'x'\nend\n",
       "Test.txt(2): Error reading F.Font.Nme: Property Nme does not exist"},
      {"wrong kind", "object F: TTestForm\n  Count = 'text'\nend\n",
       "Test.txt(2): Error reading F.Count: Invalid property value"},
      {"unknown identifier", "object F: TTestForm\n  Style = ts_Wrong\nend\n",
       "Test.txt(2): Error reading F.Style: Invalid property value"},
      {"unknown set member", "object F: TTestForm\n  Options = [toBold, toX]\nend\n",
       "Test.txt(2): Error reading F.Options: Invalid property element: toX"},
      {"unknown method", "object F: TTestForm\n  OnClick = NoSuchHandler\nend\n",
       "Test.txt(2): Error reading F.OnClick: Method NoSuchHandler not found"},
      {"method of another shape", "object F: TTestForm\n  OnClick = edKeyPress\nend\n",
       "Test.txt(2): Error reading F.OnClick: Method does not fit the event OnClick"},
      {"unresolved reference", "object F: TTestForm\n  Buddy = Nobody\nend\n",
       "Test.txt(2): Error reading F.Buddy: Unresolved reference to Nobody"},
      {"setter refuses", "object F: TTestForm\n  Caption = 'much too long for the setter'\nend\n",
       "Test.txt(2): Error reading F.Caption: Caption too long"},
      {"missing ancestor", "object F: TTestForm\n  inherited Gone: TTestComponent\n  end\nend\n",
       "Test.txt(2): Ancestor for 'Gone' not found"},
      {"duplicate name",
       "object F: TTestForm\n  object A: TTestComponent\n  end\n  object a: TTestComponent\n  "
       "end\nend\n",
       "Test.txt(4): Error reading a: A component named a already exists"},
      {"string list item of wrong kind", "object F: TTestForm\n  Items.Strings = ('a' 1)\nend\n",
       "Test.txt(2): Error reading F.Items.Strings: Invalid property value"},
      {"bad collection item",
       "object F: TTestForm\n  Columns = <\n    item\n      Wdth = 1\n    end>\nend\n",
       "Test.txt(4): Error reading F.Columns[0].Wdth: Property Wdth does not exist"},
      {"bad bitmap data", "object F: TTestForm\n  Glyph.Data = {0100000042}\nend\n",
       "Test.txt(2): Error reading F.Glyph.Data: Bitmap image is not valid"},
      {"unterminated string", "object F: TTestForm\n  Caption = 'abc\nend\n",
       "Test.txt(2): Unterminated string"},
      {"missing end", "object F: TTestForm\n  Count = 1\n", "Test.txt(3): 'end' expected"},
      {"bad binary", "object F: TTestForm\n  Glyph.Data = {0G}\nend\n",
       "Test.txt(2): Invalid binary value"},
      {"huge number", "object F: TTestForm\n  Count = 99999999999999999999\nend\n",
       "Test.txt(2): Invalid integer value 99999999999999999999"},
      {"out of range", "object F: TTestForm\n  Small = 70000\nend\n",
       "Test.txt(2): Error reading F.Small: Value 70000 is out of range"},
      {"bad character code", "object F: TTestForm\n  Caption = #1114112\nend\n",
       "Test.txt(2): Invalid character code"},
      {"text after end", "object F: TTestForm\nend\nobject G: TTestForm\nend\n",
       "Test.txt(3): Text after the final 'end'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form = std::make_unique<TTestForm>(nullptr);
    EXPECT_EQ(ReadError(c.text), c.message);
  }
}

TEST_F(ReaderTest, DeepNestingIsRefused) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "object A" + std::to_string(i) + ": TTestComponent\n";
  for (int i = 0; i < 100; ++i) text += "end\n";
  EXPECT_EQ(ReadError(text), "Test.txt(66): Objects nested too deeply");
}

TEST_F(ReaderTest, ReadsFilesWithAByteOrderMark) {
  TempFolder folder;
  const std::string file =
      folder.Write("Form.txt", "\xEF\xBB\xBFobject F: TTestForm\n  Caption = '中文'\nend\n");
  ReadComponentResFile(file, form.get());
  EXPECT_EQ(form->Caption(), "中文");
  EXPECT_THROW(ReadComponentResFile(folder.Path() + "/none.txt", form.get()), EFilerError);
}

}  // namespace
