#include "MaskUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CodePage.h"
#include "DateTime.h"

namespace {

const char* const kMaskA = "!aaaa-aaaaaaaaaaa;0; ";
const char* const kMaskB = "9999/99/99;1; ";
const char* const kMaskC = "99/99/9999;1; ";
const char* const kMaskD = "999/99/99;1; ";

// Keeps the process-wide separators and interface code page as the test found them.
class MaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings();
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
    codePage_ = InterfaceCodePage();
  }
  void TearDown() override {
    FormatSettings() = saved_;
    SetInterfaceCodePage(codePage_);
  }

 private:
  TFormatSettings saved_;
  int codePage_ = 0;
};

TMaskEditState Masked(const char* mask) {
  TMaskEditState edit;
  edit.SetEditMask(mask);
  return edit;
}

// --- The three fields ------------------------------------------------------------------------

TEST_F(MaskTest, FieldsAreReadFromTheLastFourCharacters) {
  struct Case {
    const char* name;
    const char* mask;
    bool save;
    const char* blank;
    int length;
    bool reverse;
  } cases[] = {
      {"mask A", kMaskA, false, " ", 16, true},
      {"mask B", kMaskB, true, " ", 10, false},
      {"mask C", kMaskC, true, " ", 10, false},
      {"mask D", kMaskD, true, " ", 9, false},
      {"no fields", "9999/99/99", true, "_", 10, false},
      {"save field only", "000;0", false, "_", 3, false},
      {"any save character but 0 saves", "000;x;*", true, "*", 3, false},
      {"ends in a separator", "99;1;", true, "_", 2, false},
      {"empty save field", "999;;*", true, "*", 3, false},
      {"blank without save field is no blank", "0000;*", true, "_", 4, false},
      {"mask shorter than four has no fields", "a;b", true, "_", 3, false},
      {"separator before the last four is a literal", "99;99-99;0", false, "_", 8, false},
      {"escaped separator is a literal", "\\;999;0", false, "_", 4, false},
      {"escaped backslash is one literal", "\\\\99;0", false, "_", 3, false},
      {"directives take no place", ">LL<ll;1;_", true, "_", 4, false},
      {"reverse directive anywhere", "99!99", true, "_", 4, true},
      {"a Chinese literal counts one", "9999年99月;1;_", true, "_", 8, false},
      {"the empty mask", "", true, "_", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TParsedMask mask(c.mask);
    EXPECT_EQ(mask.SaveLiterals(), c.save);
    EXPECT_EQ(mask.Blank(), c.blank);
    EXPECT_EQ(mask.DisplayLength(), c.length);
    EXPECT_EQ(mask.Reverse(), c.reverse);
    EXPECT_EQ(MaskGetMaskSave(c.mask), c.save);
    EXPECT_EQ(MaskGetMaskBlank(c.mask), c.blank);
    EXPECT_EQ(MaskDisplayLength(c.mask), c.length);
  }
}

TEST_F(MaskTest, CharacterTypesOfAMask) {
  const TParsedMask mask("\\9>L:/-c;0;*");
  const std::vector<TMaskCharType> expected = {
      mcDirective, mcLiteral, mcDirective,      mcMask,  mcIntlLiteral,    mcIntlLiteral,
      mcLiteral,   mcMaskOpt, mcFieldSeparator, mcField, mcFieldSeparator, mcField};
  EXPECT_EQ(mask.CharTypes(), expected);
  EXPECT_TRUE(mask.IsLiteral(0));  // the escaped 9
  EXPECT_TRUE(mask.IsRequired(1));
  EXPECT_TRUE(mask.Directives(1).Contains(mdUpperCase));
  EXPECT_EQ(mask.PositionType(6), mcNone);
}

// --- The worked examples -----------------------------------------------------------------------

struct Example {
  const char* name;
  const char* mask;
  std::function<void(TMaskEditState&)> act;
  std::string editText;
  std::string text;
};

void CheckExamples(const std::vector<Example>& examples) {
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    TMaskEditState edit = Masked(e.mask);
    e.act(edit);
    EXPECT_EQ(edit.EditText(), e.editText);
    EXPECT_EQ(edit.Text(), e.text);
  }
}

const auto kNothing = [](TMaskEditState&) {};

TEST_F(MaskTest, MaskAReverseWithoutLiterals) {
  CheckExamples({
      {"empty", kMaskA, kNothing, "    -           ", ""},
      {"typed all 15 positions", kMaskA, [](auto& e) { e.TypeText("QRTA00012345678"); },
       "QRTA-00012345678", "QRTA00012345678"},
      {"typed AB then 123 at the number start", kMaskA,
       [](auto& e) {
         e.TypeText("AB");
         e.SetSel(5, 0);
         e.TypeText("123");
       },
       "AB  -123        ", "AB  123        "},
      {"Text written in full", kMaskA, [](auto& e) { e.SetText("QRTA00012345678"); },
       "QRTA-00012345678", "QRTA00012345678"},
      {"short Text is right-aligned", kMaskA, [](auto& e) { e.SetText("AB12345"); },
       "    -    AB12345", "AB12345"},
      {"12 characters: the last 11 fill the number", kMaskA,
       [](auto& e) { e.SetText("ABCD20040001"); }, "   A-BCD20040001", "ABCD20040001"},
      {"mask removed after typing", kMaskA,
       [](auto& e) {
         e.TypeText("AB");
         e.SetSel(5, 0);
         e.TypeText("123");
         e.SetEditMask("");
       },
       "AB  123        ", "AB  123        "},
  });
  EXPECT_EQ(FormatMaskText(kMaskA, "QRTA00012345678"), "QRTA-00012345678");
}

TEST_F(MaskTest, MaskBDateWithSavedLiterals) {
  CheckExamples({
      {"empty", kMaskB, kNothing, "    /  /  ", "    /  /  "},
      {"typed 20040115", kMaskB, [](auto& e) { e.TypeText("20040115"); }, "2004/01/15",
       "2004/01/15"},
      {"typed 2004 then 1", kMaskB, [](auto& e) { e.TypeText("20041"); }, "2004/1 /  ",
       "2004/1 /  "},
      {"Text with short sub-fields", kMaskB, [](auto& e) { e.SetText("2004/1/5"); }, "2004/1 /5 ",
       "2004/1 /5 "},
      {"Text without separators loses the digits", kMaskB, [](auto& e) { e.SetText("20040115"); },
       "2004/  /  ", "2004/  /  "},
      {"mask changed to C re-flows the characters", kMaskB,
       [](auto& e) {
         e.SetText("2004/01/15");
         e.SetEditMask(kMaskC);
       },
       "20/04/0115", "20/04/0115"},
  });
  EXPECT_EQ(FormatMaskText(kMaskB, "2004/01/15"), "2004/01/15");
  EXPECT_EQ(Trim(Masked(kMaskB).Text()), "/  /");
  TMaskEditState typed = Masked(kMaskB);
  typed.TypeText("20041");
  EXPECT_EQ(Trim(typed.Text()), "2004/1 /");  // the trimmed text ends with the separator

  TMaskEditState unmasked;
  unmasked.SetText("2004/01/15");
  unmasked.SetEditMask(kMaskB);
  EXPECT_EQ(unmasked.EditText(), "2004//0/1/15");  // literals inserted blindly
}

TEST_F(MaskTest, MasksCAndD) {
  CheckExamples({
      {"C empty", kMaskC, kNothing, "  /  /    ", "  /  /    "},
      {"C typed 12312003", kMaskC, [](auto& e) { e.TypeText("12312003"); }, "12/31/2003",
       "12/31/2003"},
      {"D empty", kMaskD, kNothing, "   /  /  ", "   /  /  "},
      {"D short sub-fields", kMaskD, [](auto& e) { e.SetText("93/1/5"); }, "93 /1 /5 ",
       "93 /1 /5 "},
      {"D full", kMaskD, [](auto& e) { e.SetText("093/01/05"); }, "093/01/05", "093/01/05"},
  });
  // The blank texts of the date masks all trim to the same separators.
  for (const char* mask : {kMaskB, kMaskC, kMaskD}) EXPECT_EQ(Trim(Masked(mask).Text()), "/  /");
}

TEST_F(MaskTest, IntlLiteralsShowTheProcessSeparators) {
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(Masked(kMaskB).EditText(), "    -  -  ");
  EXPECT_EQ(Masked("99:99;1;_").EditText(), "__.__");
  TMaskEditState edit = Masked(kMaskB);
  edit.SetText("2004-1-5");
  EXPECT_EQ(edit.Text(), "2004-1 -5 ");
  EXPECT_EQ(FormatMaskText(kMaskB, "2004/01/15"), "2004-  -  ");  // "/" is no separator now
}

TEST_F(MaskTest, PadLiteralsPadsAndCutsEachSubField) {
  struct Case {
    const char* mask;
    const char* value;
    const char* shown;
  } cases[] = {
      {"999-99;1; ", "12345-6", "123-6 "},   // too long: the start is kept
      {"!999-99;1; ", "12345-6", "345- 6"},  // reverse: the end is kept
      {"!999-99;1; ", "12-3", " 12- 3"},     // reverse: padded at the start
      {"999-99;1;_", "1 3-4", "1_3-4_"},     // spaces in input positions become blanks
      {"999;1;_", "", "___"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " <- " + c.value);
    EXPECT_EQ(PadInputLiterals(c.mask, c.value, TParsedMask(c.mask).Blank()), c.shown);
  }
}

TEST_F(MaskTest, BlankCharIsShownButReadAsSpace) {
  TMaskEditState edit = Masked("9999/99/99;1;_");
  EXPECT_EQ(edit.EditText(), "____/__/__");
  EXPECT_EQ(edit.Text(), "    /  /  ");
  edit.TypeText("20041");
  EXPECT_EQ(edit.EditText(), "2004/1_/__");
  EXPECT_EQ(edit.Text(), "2004/1 /  ");
  // FormatMaskText never uses the mask's own blank.
  EXPECT_EQ(FormatMaskText("9999/99/99;1;_", "2004/1"), "2004/1 /  ");
}

TEST_F(MaskTest, ChangingTheMask) {
  // An unmasked edit counts as blank "_": its trailing "_" go, inner ones become spaces.
  TMaskEditState edit;
  edit.SetText("a_b__");
  edit.SetEditMask("cccccc;0;*");
  EXPECT_EQ(edit.EditText(), "a b***");

  // The same mask again changes nothing, even a garbled text.
  TMaskEditState garbled;
  garbled.SetText("2004/01/15");
  garbled.SetEditMask(kMaskB);
  EXPECT_FALSE(garbled.SetEditMask(kMaskB));
  EXPECT_EQ(garbled.EditText(), "2004//0/1/15");

  // Removing the mask leaves the unformatted text.
  TMaskEditState dated = Masked(kMaskB);
  dated.TypeText("20040115");
  dated.SetEditMask("");
  EXPECT_EQ(dated.EditText(), "20040115");
  EXPECT_FALSE(dated.IsMasked());
}

// --- Typing --------------------------------------------------------------------------------------

TEST_F(MaskTest, TypingOverwritesAndSkipsLiterals) {
  TMaskEditState edit = Masked(kMaskB);
  EXPECT_EQ(edit.SelStart(), 0);
  EXPECT_EQ(edit.SelLength(), 1);  // the caret selects the character it overwrites
  edit.TypeText("2004");
  EXPECT_EQ(edit.SelStart(), 5);  // past the literal
  EXPECT_TRUE(edit.Modified());

  // A rejected character changes nothing; one equal to the next literal jumps past it.
  EXPECT_FALSE(edit.KeyPress("x"));
  EXPECT_EQ(edit.SelStart(), 5);
  EXPECT_FALSE(edit.KeyPress("/"));
  EXPECT_EQ(edit.SelStart(), 8);
  edit.TypeText("5");
  EXPECT_EQ(edit.EditText(), "2004/  /5 ");

  // Typing over filled positions overwrites them.
  edit.SetSel(0, 0);
  edit.TypeText("19");
  EXPECT_EQ(edit.EditText(), "1904/  /5 ");

  // Only the very next literal counts.
  TMaskEditState mixed = Masked("99-99/99;1;_");
  mixed.KeyPress("/");
  EXPECT_EQ(mixed.SelStart(), 0);
  mixed.KeyPress("-");
  EXPECT_EQ(mixed.SelStart(), 3);

  // At the end nothing more goes in.
  edit.SetSel(10, 0);
  EXPECT_FALSE(edit.KeyPress("1"));
  EXPECT_EQ(edit.EditText(), "1904/  /5 ");
}

TEST_F(MaskTest, DeleteKeysPutTheBlankBack) {
  struct Case {
    const char* name;
    int selStart, selLength;
    WORD key;
    const char* shown;
    int caret;
  } cases[] = {
      {"backspace at the end", 10, 0, VK_BACK, "2004/01/1_", 9},
      {"backspace after a literal", 5, 1, VK_BACK, "200_/01/15", 3},
      {"backspace at the start", 0, 1, VK_BACK, "2004/01/15", 0},
      {"delete at the caret", 0, 1, VK_DELETE, "_004/01/15", 0},
      {"delete at the end", 10, 0, VK_DELETE, "2004/01/15", 10},
      {"delete a selection keeps literals", 2, 5, VK_DELETE, "20__/__/15", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMaskEditState edit = Masked("9999/99/99;1;_");
    edit.TypeText("20040115");
    edit.SetSel(c.selStart, c.selLength);
    WORD key = c.key;
    edit.KeyDown(key);
    EXPECT_EQ(key, 0);  // a masked edit consumes its delete keys
    EXPECT_EQ(edit.EditText(), c.shown);
    EXPECT_EQ(edit.SelStart(), c.caret);
  }
}

TEST_F(MaskTest, CaretKeysStayOnInputPositions) {
  TMaskEditState edit = Masked(kMaskB);
  edit.SetSel(5, 0);
  WORD key = VK_LEFT;
  edit.KeyDown(key);
  EXPECT_EQ(edit.SelStart(), 3);  // over the literal
  key = VK_RIGHT;
  edit.KeyDown(key);
  EXPECT_EQ(edit.SelStart(), 5);
  key = VK_END;
  edit.KeyDown(key);
  EXPECT_EQ(edit.SelStart(), 10);
  EXPECT_EQ(edit.SelLength(), 0);
  key = VK_HOME;
  edit.KeyDown(key);
  EXPECT_EQ(edit.SelStart(), 0);

  // A caret put on a literal steps over it when typing.
  edit.SetSel(4, 0);
  edit.TypeText("0");
  EXPECT_EQ(edit.EditText(), "    /0 /  ");
  edit.SetSel(7, 0);
  edit.TypeText("/");
  EXPECT_EQ(edit.SelStart(), 8);
  EXPECT_EQ(edit.EditText(), "    /0 /  ");
}

TEST_F(MaskTest, CharacterClassesAndCase) {
  struct Case {
    const char* maskChar;
    const char* typed;
    bool accepted;
  } cases[] = {
      {"0", "5", true},  {"0", "a", false},  {"9", " ", false},  {"#", "+", true},
      {"#", " ", true},  {"#", "a", false},  {"L", "a", true},   {"L", "5", false},
      {"l", "中", true}, {"A", "5", true},   {"a", "-", false},  {"C", "-", true},
      {"c", " ", true},  {"0", "中", false}, {"c", "\t", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.maskChar) + " <- " + c.typed);
    std::string ch = c.typed;
    EXPECT_EQ(TParsedMask(c.maskChar).Accepts(0, ch), c.accepted);
  }

  struct CaseCase {
    const char* mask;
    const char* typed;
    const char* shown;
  } conversions[] = {
      {">LL<ll;1;_", "abCD", "ABcd"},
      {">L<>LL;1;_", "abC", "AbC"},
      {">cc;1;_", "a-", "A-"},
      {">aa;1;_", "中b", "中B"},
  };
  for (const CaseCase& c : conversions) {
    SCOPED_TRACE(c.mask);
    TMaskEditState edit = Masked(c.mask);
    edit.TypeText(c.typed);
    EXPECT_EQ(edit.EditText(), c.shown);
  }
}

TEST_F(MaskTest, PositionsCountCharacters) {
  TMaskEditState edit = Masked("9999年99月;1;_");
  EXPECT_EQ(edit.MaxChars(), 8);
  EXPECT_EQ(edit.EditText(), "____年__月");
  edit.TypeText("200401");
  EXPECT_EQ(edit.EditText(), "2004年01月");
  EXPECT_EQ(edit.Text(), "2004年01月");

  TMaskEditState names = Masked("cccc;0;_");
  names.TypeText("中文ab");
  EXPECT_EQ(names.EditText(), "中文ab");
  EXPECT_EQ(names.SelStart(), 4);
}

TEST_F(MaskTest, EscapeReturnsToTheValueAtEnter) {
  TMaskEditState edit = Masked(kMaskB);
  edit.SetText("2004/01/15");
  edit.Enter();
  edit.SetSel(5, 0);
  edit.TypeText("12");
  EXPECT_EQ(edit.EditText(), "2004/12/15");
  EXPECT_TRUE(edit.KeyPress("\x1b"));
  EXPECT_EQ(edit.EditText(), "2004/01/15");
  EXPECT_FALSE(edit.Modified());
  EXPECT_FALSE(edit.KeyPress("\x1b"));  // nothing to undo
}

TEST_F(MaskTest, ReadOnlyRefusesEdits) {
  TMaskEditState edit = Masked(kMaskB);
  edit.SetText("2004/01/15");
  edit.SetReadOnly(true);
  EXPECT_FALSE(edit.TypeText("1999"));
  EXPECT_FALSE(edit.Delete());
  EXPECT_FALSE(edit.Backspace());
  EXPECT_EQ(edit.EditText(), "2004/01/15");
  EXPECT_FALSE(edit.Modified());
}

TEST_F(MaskTest, UnmaskedEditInsertsWithinMaxLengthInBytes) {
  SetInterfaceCodePage(936);
  TMaskEditState edit;
  edit.SetMaxLength(4);
  EXPECT_TRUE(edit.TypeText("中文"));
  EXPECT_FALSE(edit.KeyPress("x"));  // a fifth byte
  EXPECT_EQ(edit.EditText(), "中文");
  edit.SetSel(1, 0);
  EXPECT_TRUE(edit.Backspace());
  EXPECT_EQ(edit.EditText(), "文");
  EXPECT_TRUE(edit.TypeText("ab"));
  EXPECT_EQ(edit.EditText(), "ab文");
  WORD key = VK_DELETE;
  EXPECT_TRUE(edit.KeyDown(key));
  EXPECT_EQ(key, VK_DELETE);  // a plain edit leaves the key to the control
  EXPECT_EQ(edit.EditText(), "ab");
  EXPECT_EQ(edit.Text(), "ab");
}

// --- Exit validation
// -------------------------------------------------------------------------------

TEST_F(MaskTest, ExitValidationChecksRequiredPositions) {
  struct Case {
    const char* name;
    const char* mask;
    const char* typed;
    bool fails;
    int caret;
  } cases[] = {
      {"required position left blank", "000;1;_", "1", true, 1},
      {"all required filled", "000;1;_", "123", false, 0},
      {"optional positions never fail", kMaskB, "2", false, 0},
      {"mask A never fails", kMaskA, "Q", false, 0},
      {"a space fills C", "CC;1;_", "a ", false, 0},
      {"a space does not fill L", "LL;1;_", "a", true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMaskEditState edit = Masked(c.mask);
    edit.TypeText(c.typed);
    if (!c.fails) {
      EXPECT_NO_THROW(edit.ValidateEdit());
      continue;
    }
    try {
      edit.ValidateEdit();
      ADD_FAILURE() << "no exception";
    } catch (const EDBEditError& e) {
      EXPECT_STREQ(e.what(), "Invalid input value.  Use escape key to abandon changes");
      EXPECT_STREQ(e.ClassName(), "EDBEditError");
    }
    EXPECT_EQ(edit.SelStart(), c.caret);
  }

  // An unmodified edit is not checked, and Enter validates too.
  TMaskEditState edit = Masked("000;1;_");
  EXPECT_NO_THROW(edit.ValidateEdit());
  edit.TypeText("1");
  EXPECT_THROW(edit.KeyPress("\r"), EDBEditError);

  // A space put into a required position by the program counts as blank.
  edit.SetEditText("1 3");
  edit.SetModified(true);
  EXPECT_THROW(edit.ValidateEdit(), EDBEditError);
  EXPECT_EQ(edit.SelStart(), 1);
}

}  // namespace
