#include <gtest/gtest.h>

#include "DateTime.h"
#include "FormTestKit.h"
#include "Mask.h"

namespace {

using Log = std::vector<std::string>;

const char* kCodeMask = "!aaaa-aaaaaaaaaaa;0; ";
const char* kYmdMask = "9999/99/99;1; ";
const char* kMdyMask = "99/99/9999;1; ";

// A shown form with the masked edit under test and a second edit to move the focus to.
class MaskEditTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    savedSeparator = FormatSettings().DateSeparator;
    FormatSettings().DateSeparator = '/';
    form.reset(CreateForm<TForm>(nullptr));
    edit = new TMaskEdit(form.get());
    edit->SetName("ME");
    edit->SetParent(form.get());
    other = new TEdit(form.get());
    other->SetName("Other");
    other->SetParent(form.get());
    form->Show();
    other->SetFocus();
  }
  void TearDown() override {
    form.reset();
    FormatSettings().DateSeparator = savedSeparator;
    VclTest::TearDown();
  }
  // Focus the edit, put the caret at `pos` and type.
  void TypeAt(int pos, std::string_view text) {
    edit->SetFocus();
    edit->SetSelStart(pos);
    SendText(text);
  }

  TOwned<TForm> form;
  TMaskEdit* edit = nullptr;
  TEdit* other = nullptr;
  char savedSeparator = '/';
};

struct MaskCase {
  const char* Name;
  const char* Mask;
  int Caret;
  const char* Typed;
  const char* EditText;
  const char* Text;
};

// Typing into the masks of the condition forms, as the user does.
const MaskCase kTyping[] = {
    {"CodeEmpty", kCodeMask, 0, "", "    -           ", ""},
    {"CodeFull", kCodeMask, 0, "QRTA00012345678", "QRTA-00012345678", "QRTA00012345678"},
    {"CodeOnlyLeadingBlanksGo", kCodeMask, 0, "AB", "AB  -           ", "AB             "},
    {"YmdEmpty", kYmdMask, 0, "", "    /  /  ", "    /  /  "},
    {"YmdFull", kYmdMask, 0, "20040115", "2004/01/15", "2004/01/15"},
    {"YmdPartial", kYmdMask, 0, "20041", "2004/1 /  ", "2004/1 /  "},
    {"YmdLettersRefused", kYmdMask, 0, "20x04", "2004/  /  ", "2004/  /  "},
    {"MdyFull", kMdyMask, 0, "12312003", "12/31/2003", "12/31/2003"},
};

TEST_F(MaskEditTest, TypingFollowsTheMask) {
  for (const MaskCase& c : kTyping) {
    SCOPED_TRACE(c.Name);
    other->SetFocus();
    edit->SetEditMask("");
    edit->SetText("");
    edit->SetEditMask(c.Mask);
    TypeAt(c.Caret, c.Typed);
    EXPECT_EQ(edit->EditText(), c.EditText);
    EXPECT_EQ(edit->Text(), c.Text);
    EXPECT_EQ(edit->DisplayText(), c.EditText);
  }
}

TEST_F(MaskEditTest, TheCodeMaskKeepsBlanksAfterLeadingOnesAreTrimmed) {
  edit->SetEditMask(kCodeMask);
  TypeAt(0, "AB");
  TypeAt(5, "123");
  EXPECT_EQ(edit->EditText(), "AB  -123        ");
  EXPECT_EQ(edit->Text(), "AB  123        ");
}

struct SetTextCase {
  const char* Name;
  const char* Mask;
  const char* Value;
  const char* EditText;
  const char* Text;
};

const SetTextCase kSetText[] = {
    {"CodeRightAligned", kCodeMask, "AB12345", "    -    AB12345", "AB12345"},
    {"CodeLastCharsFillTheNumber", kCodeMask, "ABCD20040001", "   A-BCD20040001", "ABCD20040001"},
    {"YmdPadsSubFields", kYmdMask, "2004/1/5", "2004/1 /5 ", "2004/1 /5 "},
    {"YmdWithoutSeparatorsLosesDigits", kYmdMask, "20040115", "2004/  /  ", "2004/  /  "},
};

TEST_F(MaskEditTest, SettingTextFormatsIt) {
  for (const SetTextCase& c : kSetText) {
    SCOPED_TRACE(c.Name);
    edit->SetEditMask("");
    edit->SetText("");
    edit->SetEditMask(c.Mask);
    edit->SetText(c.Value);
    EXPECT_EQ(edit->EditText(), c.EditText);
    EXPECT_EQ(edit->Text(), c.Text);
    EXPECT_FALSE(edit->Modified());
  }
}

TEST_F(MaskEditTest, ChangingTheMaskReflowsTheRawCharacters) {
  TRecorder rec;
  edit->SetOnChange(MethodOf<&TRecorder::Change>(&rec));
  edit->SetEditMask(kYmdMask);
  edit->SetText("2004/01/15");
  rec.Clear();
  edit->SetEditMask(kMdyMask);
  EXPECT_EQ(edit->EditText(), "20/04/0115");
  EXPECT_EQ(rec.Log, (Log{"ME.Change"}));
  edit->SetEditMask(kMdyMask);  // the same mask again changes nothing
  EXPECT_EQ(rec.Log.size(), 1u);
  // An unmasked edit's text is taken as raw characters: literals are inserted blindly.
  edit->SetEditMask("");
  edit->SetText("2004/01/15");
  edit->SetEditMask(kYmdMask);
  EXPECT_EQ(edit->EditText(), "2004//0/1/15");
}

TEST_F(MaskEditTest, DeletingPutsTheBlankBackAndEscUndoes) {
  edit->SetEditMask(kYmdMask);
  edit->SetText("2004/01/15");
  edit->SetFocus();
  edit->SetSelStart(5);
  SendKey(VK_DELETE);
  EXPECT_EQ(edit->EditText(), "2004/ 1/15");
  EXPECT_TRUE(edit->Modified());
  SendKey(VK_ESCAPE);  // a modified masked edit takes Esc for its undo
  EXPECT_EQ(edit->EditText(), "2004/01/15");
}

TEST_F(MaskEditTest, AFaultyRequiredPositionKeepsTheFocusWithoutASecondEnter) {
  TRecorder rec;
  rec.Watch({edit, other});
  edit->SetEditMask("000;1;_");
  TypeAt(0, "1");
  rec.Clear();
  EXPECT_THROW(other->SetFocus(), EDBEditError);
  EXPECT_EQ(FocusedControl(), edit);
  EXPECT_EQ(form->ActiveControl(), edit);
  EXPECT_EQ(edit->SelStart(), 1);  // the caret on the first blank required position
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "ME.Enter"), 0);
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "ME.Exit"), 0);
  EXPECT_EQ(std::count(rec.Log.begin(), rec.Log.end(), "Other.Enter"), 0);
  // From the keyboard the error is shown instead of raised.
  SendKey(VK_TAB);
  ASSERT_FALSE(Application()->ShownExceptions().empty());
  EXPECT_EQ(Application()->ShownExceptions().back(), std::string(SMaskEditErr) + ".");
  TypeAt(1, "23");
  other->SetFocus();
  EXPECT_EQ(FocusedControl(), other);
  EXPECT_EQ(edit->Text(), "123");
}

TEST_F(MaskEditTest, WithoutAMaskItIsAPlainEdit) {
  edit->SetMaxLength(4);
  edit->SetFocus();
  SendText("abcdef");
  EXPECT_EQ(edit->Text(), "abcd");
  SendKey(VK_BACK);
  EXPECT_EQ(edit->Text(), "abc");
  edit->SetText("中文");
  EXPECT_EQ(edit->EditText(), "中文");
}

}  // namespace
