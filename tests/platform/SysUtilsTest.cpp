#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CodePage.h"
#include "DateTime.h"

namespace {

// Restores the process-wide settings a test changes.
class SettingsGuard {
 public:
  SettingsGuard() : saved_(FormatSettings()), codePage_(InterfaceCodePage()) {}
  ~SettingsGuard() {
    FormatSettings() = saved_;
    SetInterfaceCodePage(codePage_);
  }

 private:
  TFormatSettings saved_;
  int codePage_;
};

}  // namespace

TEST(SysUtilsText, TrimCaseAndSearch) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
  EXPECT_EQ(Trim("中文 "), "中文");  // bytes of UTF-8 characters are no blanks
  EXPECT_EQ(UpperCase("abc中z"), "ABC中Z");
  EXPECT_EQ(LowerCase("ABC"), "abc");
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_TRUE(SameText("Key", "KEY"));
  EXPECT_FALSE(SameText("Key", "Keys"));
  EXPECT_TRUE(StartsText("soft", "Software\\QMT"));
  EXPECT_FALSE(StartsText("Softwares", "Software"));
  EXPECT_EQ(Pos("b", "abcb"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(SysUtilsText, ReplaceAndSplit) {
  EXPECT_EQ(StringReplaceAll("aaa", "aa", "b"), "ba");  // non-overlapping, left to right
  EXPECT_EQ(StringReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(StringReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(SplitString("", ';'), std::vector<std::string>{""});
  EXPECT_EQ(SplitString("a;;b;", ';'), (std::vector<std::string>{"a", "", "b", ""}));
}

TEST(SysUtilsText, Utf8CharactersWithMalformedBytes) {
  EXPECT_EQ(Utf8Length("a中文"), 3);
  EXPECT_EQ(Utf8Chars("a中"), (std::vector<std::string>{"a", "中"}));
  // A lone continuation byte and a truncated sequence count one character per byte.
  EXPECT_EQ(Utf8Length("\x80x\xE4\xB8"), 4);
}

TEST(SysUtilsNumbers, IntegerParsing) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {
      {"12", true, 12},
      {"  -7 ", true, -7},
      {"+8", true, 8},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, std::numeric_limits<int>::min()},
      {"2147483648", false, 0},
      {"$FF", true, 255},
      {"0x1f", true, 31},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},  // hexadecimal may use the sign bit
      {"$100000000", false, 0},
      {"", false, 0},
      {"  ", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"1.5", false, 0},
      {"12a", false, 0},
      {"1 2", false, 0},
      {"x1A", true, 26},  // the platform also takes a bare "x" prefix
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int value = 0;
    EXPECT_EQ(TryStrToInt(c.text, value), c.ok);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
    EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99);
  }
  int64_t big = 0;
  ASSERT_TRUE(TryStrToInt64("-9223372036854775808", big));
  EXPECT_EQ(big, std::numeric_limits<int64_t>::min());
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", big));
  ASSERT_TRUE(TryStrToInt64("$FFFFFFFF", big));
  EXPECT_EQ(big, 0xFFFFFFFFll);
}

TEST(SysUtilsNumbers, ConversionErrorsCarryThePlatformTexts) {
  try {
    StrToInt("a1");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'a1' is not a valid integer value");
    EXPECT_STREQ(e.ClassName(), "EConvertError");
  }
  try {
    StrToFloat("1,5");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1,5' is not a valid floating point value");
  }
}

TEST(SysUtilsNumbers, FloatParsing) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"1.5", true, 1.5}, {" -2 ", true, -2},  {"1e3", true, 1000}, {"2.5E-2", true, 0.025},
      {".5", true, 0.5},  {"5.", true, 5},     {"1,5", false, 0},   {"abc", false, 0},
      {"", false, 0},     {"1e", false, 0},    {".", false, 0},     {"INF", false, 0},
      {"NAN", false, 0},  {"1e999", false, 0}, {"1.2.3", false, 0}, {"0x10", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    double value = 0;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.ok);
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value);
    }
  }
  SettingsGuard guard;
  FormatSettings().DecimalSeparator = ',';
  double value = 0;
  EXPECT_TRUE(TryStrToFloat("1,25", value));
  EXPECT_DOUBLE_EQ(value, 1.25);
  EXPECT_FALSE(TryStrToFloat("1.25", value));
}

TEST(SysUtilsNumbers, FloatToStrGeneralFifteenDigits) {
  struct Case {
    const char* name;
    double value;
    const char* text;
  } cases[] = {
      {"whole", 3.0, "3"},
      {"tenth", 0.1, "0.1"},
      {"third", 1.0 / 3, "0.333333333333333"},
      {"1E15 switches to exponent", 1e15, "1E15"},
      {"15 digits stay fixed", 123456789012345.0, "123456789012345"},
      {"negative", -2.5, "-2.5"},
      {"zero", 0.0, "0"},
      {"negative zero", -0.0, "0"},
      {"binary noise rounds away", 0.1 + 0.2, "0.3"},
      {"small fixed", 0.0001, "0.0001"},
      {"tiny", 1.5e-7, "1.5E-7"},
      {"huge", 1e100, "1E100"},
      {"rounds up into a new digit", 9.9999999999999999e14, "1E15"},
      {"NaN", std::nan(""), "NAN"},
      {"infinity", -std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FloatToStr(c.value), c.text);
  }
  SettingsGuard guard;
  FormatSettings().DecimalSeparator = ',';
  EXPECT_EQ(FloatToStr(1.5), "1,5");
}

TEST(SysUtilsNumbers, CurrencyAndHex) {
  EXPECT_EQ(CurrToStr(12345000), "1234.5");
  EXPECT_EQ(CurrToStr(10000), "1");
  EXPECT_EQ(CurrToStr(-5), "-0.0005");
  EXPECT_EQ(CurrToStr(0), "0");
  EXPECT_EQ(CurrToStr(std::numeric_limits<int64_t>::min()), "-922337203685477.5808");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");  // never truncates
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");  // an Integer's 32 bits
  EXPECT_EQ(IntToHex(-0x100000000ll, 1), "FFFFFFFF00000000");
}

TEST(SysUtilsFormat, PlatformExamples) {
  struct Case {
    const char* fmt;
    std::vector<FormatArg> args;
    const char* result;
  } cases[] = {
      {"%.2d", {int64_t{5}}, "05"},
      {"%.2d", {int64_t{123}}, "123"},
      {"%.3d", {int64_t{79}}, "079"},
      {"%.4d", {int64_t{113}}, "0113"},
      {"%d%.2d%.2d", {int64_t{2003}, int64_t{1}, int64_t{5}}, "20030105"},
      {"%.4d%s%.2d%s%.2d", {int64_t{2024}, "/", int64_t{3}, "/", int64_t{5}}, "2024/03/05"},
      {"%x", {int64_t{255}}, "FF"},
      {"%.4x", {int64_t{255}}, "00FF"},
      {"%.3s", {"abcdef"}, "abc"},
      {"%s %s", {"a", "b", "c"}, "a b"},
      // sign before the zeros, widths, justification, indexes, "*" and "%%"
      {"%.3d", {int64_t{-5}}, "-005"},
      {"%5d|", {int64_t{42}}, "   42|"},
      {"%-5d|", {int64_t{42}}, "42   |"},
      {"%6.3s|", {"abcdef"}, "   abc|"},
      {"%1:s-%0:s-%s", {"a", "b", "c"}, "b-a-b"},
      {"%*d", {int64_t{4}, int64_t{7}}, "   7"},
      {"%.*d", {int64_t{3}, int64_t{7}}, "007"},
      {"%-*d|", {int64_t{3}, int64_t{7}}, "7  |"},
      {"100%%", {}, "100%"},
      {"%x", {int64_t{-1}}, "FFFFFFFF"},
      {"%u", {int64_t{-1}}, "4294967295"},
      {"%D", {int64_t{1}}, "1"},
      // floating point kinds
      {"%f", {1.5}, "1.50"},
      {"%.0f", {2.5}, "3"},  // half away from zero
      {"%.2f", {2.675}, "2.68"},
      {"%.1f", {-0.04}, "0.0"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {-0.000123}, "-1.23E-004"},
      {"%g", {0.1}, "0.1"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {-999.5}, "-1,000"},
      {"%m", {-1234.5}, "\xC2\xA5-1,234.50"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fmt);
    EXPECT_EQ(Format(c.fmt, c.args), c.result);
  }
}

TEST(SysUtilsFormat, ErrorsNameTheFormat) {
  struct Case {
    const char* fmt;
    std::vector<FormatArg> args;
    const char* message;
  } cases[] = {
      {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {int64_t{1}}, "Format '%s' invalid or incompatible with argument"},
      {"%f", {int64_t{1}}, "Format '%f' invalid or incompatible with argument"},
      {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
      {"%k", {int64_t{1}}, "Format '%k' invalid or incompatible with argument"},
      {"abc %", {}, "Format 'abc %' invalid or incompatible with argument"},
      {"%5", {int64_t{1}}, "Format '%5' invalid or incompatible with argument"},
      {"%*d", {"w", int64_t{1}}, "Format '%*d' invalid or incompatible with argument"},
      {"%s %s", {"a"}, "No argument for format '%s %s'"},
      {"%3:s", {"a"}, "No argument for format '%3:s'"},
      {"%99999999999d",
       {int64_t{1}},
       "Format '%99999999999d' invalid or incompatible with argument"},
      // only the first 31 bytes are quoted, and never half a character
      {"0123456789012345678901234567890123456789 %d",
       {},
       "No argument for format '0123456789012345678901234567890'"},
      {"012345678901234567890123456789中 %d",
       {},
       "No argument for format '012345678901234567890123456789'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fmt);
    try {
      Format(c.fmt, c.args);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(SysUtilsFormat, TextWidthsCountAnsiBytes) {
  SettingsGuard guard;
  SetInterfaceCodePage(936);
  EXPECT_EQ(Format("%6s|", {"中文"}), "  中文|");  // two characters, four bytes
  EXPECT_EQ(Format("%.3s|", {"中文"}), "中|");     // never half a character
  EXPECT_EQ(Format("%-5s|", {"中"}), "中   |");
}

TEST(SysUtilsExceptions, ClassNamesAndEngineErrors) {
  const EDBEngineError empty({});
  EXPECT_FALSE(empty.Message().empty());
  const EDBEngineError e({{10024, "Table is busy"}, {8708, "Key violation"}});
  EXPECT_EQ(e.Message(), "Table is busy\nKey violation");
  EXPECT_EQ(e.ErrorCount(), 2);
  EXPECT_EQ(e.Errors(1).ErrorCode, 8708);
  EXPECT_THROW(e.Errors(2), std::out_of_range);
  const EDBEngineError codeOnly({{13059, ""}});
  EXPECT_NE(codeOnly.Message().find("13059"), std::string::npos);

  const Exception& base = EVariantBadIndexError("x");
  EXPECT_STREQ(base.ClassName(), "EVariantBadIndexError");
  EXPECT_STREQ(EWin32Error("y", 5).ClassName(), "EWin32Error");
}
