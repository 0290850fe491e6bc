#include "LibStrs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodePage.h"
#include "Release.h"
#include "SysUtils.h"

namespace {

const std::string kSep(1, '\x03');

// Joins fields with character 3, the separator of date-setting records.
std::string Record(const std::vector<std::string>& fields) {
  std::string record;
  for (size_t i = 0; i < fields.size(); ++i) record += (i ? kSep : "") + fields[i];
  return record;
}

std::string AsDate8(TDateTime date) {
  return date == 0 ? "0" : FormatDateTime("yyyymmdd", date);
}

}  // namespace

// --- Text --------------------------------------------------------------------------------

TEST(LibStrsText, FieldsAndTokens) {
  struct Case {
    const char* name;
    std::string text, sep;
    int n;
    const char* field;
    int count;
  } cases[] = {
      {"middle field", "a;b;c", ";", 2, "b", 3},
      {"last field", "a;b;c", ";", 3, "c", 3},
      {"past the last field", "a;b;c", ";", 4, "", 3},
      {"field 0", "a;b;c", ";", 0, "", 3},
      {"ends in a separator", "a;b;", ";", 3, "", 3},
      {"later field after the end", "a;b;", ";", 4, "", 3},
      {"empty fields inside", "a;;c", ";", 2, "", 3},
      {"empty text", "", ";", 1, "", 0},
      {"no separator", "abc", ";", 1, "abc", 1},
      {"separator only", ";", ";", 1, "", 2},
      {"separator of two characters", "a<>b<>c", "<>", 3, "c", 3},
      {"record separator", "1" + kSep + "sp02" + kSep + "Y", kSep, 2, "sp02", 3},
      {"empty separator", "abc", "", 1, "abc", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetField(c.text, c.sep, c.n), c.field);
    EXPECT_EQ(CountFields(c.text, c.sep), c.count);
  }
}

TEST(LibStrsText, CutTokenLeavesTheRest) {
  struct Case {
    const char* name;
    const char* text;
    const char* sep;
    const char* token;
    const char* rest;
  } cases[] = {
      {"first separator only", "a/b/c", "/", "a", "b/c"}, {"leading separator", "/b", "/", "", "b"},
      {"trailing separator", "a/", "/", "a", ""},         {"no separator", "abc", "/", "abc", ""},
      {"empty separator", "a/b", "", "a/b", ""},          {"empty text", "", "/", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    EXPECT_EQ(CutToken(text, c.sep), c.token);
    EXPECT_EQ(text, c.rest);
  }
}

TEST(LibStrsText, PadTextCountsAnsiBytes) {
  const int saved = InterfaceCodePage();
  SetInterfaceCodePage(936);
  EXPECT_EQ(PadText("ab", 5), "ab   ");
  EXPECT_EQ(PadText("ab", 4, '0'), "ab00");
  EXPECT_EQ(PadText("abcdef", 3), "abcdef");
  EXPECT_EQ(PadText("ab", -1), "ab");
  EXPECT_EQ(PadText("中文", 6, '*'), "中文**");  // two bytes per Chinese character
  SetInterfaceCodePage(saved);
}

TEST(LibStrsText, ReplaceText) {
  struct Case {
    const char* name;
    const char* text;
    const char* searched;
    const char* replacement;
    bool trim;
    const char* result;
  } cases[] = {
      {"every occurrence", "a-b-c", "-", "+", false, "a+b+c"},
      {"occurrences formed by replacing", "aaab", "ab", "b", false, "b"},
      {"searched text is case-sensitive", "Ab ab", "ab", "x", false, "Ab x"},
      {"same without case: nothing happens", "aAa", "a", "A", false, "aAa"},
      {"trim afterwards", "  a-b  ", "-", "", true, "ab"},
      {"no trim", "  a  ", "x", "y", false, "  a  "},
      {"empty searched text", "abc", "", "x", false, "abc"},
      {"replacement holding the searched text", "a.b.", ".", "..", false, "a..b.."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceText(c.text, c.searched, c.replacement, c.trim), c.result);
  }
  // A rule that keeps forming new occurrences ends with an error instead of running on.
  EXPECT_THROW(ReplaceText("aab", "ab", "bbaa", false), EConvertError);
}

TEST(LibStrsText, PackFieldsLayout) {
  const Variant fields = VarArrayOf({2, "x", Variant::Wide("y"), "not packed"});
  EXPECT_EQ(PackFields("P", fields), "P" + kSep + "2" + kSep + "x" + kSep + "y" + kSep);
  EXPECT_EQ(PackFields("", VarArrayOf({0})), kSep + "0" + kSep);
  // Element 0 promising more elements than the array holds is an error, not a read past it.
  EXPECT_THROW(PackFields("P", VarArrayOf({3, "x"})), EVariantError);
}

TEST(LibStrsText, ReformatMaskedReflowsTheShownText) {
  const char sep = FormatSettings().DateSeparator;
  FormatSettings().DateSeparator = '/';
  struct Case {
    const char* name;
    const char* text;
    const char* mask;
    const char* newMask;
    const char* shown;
  } cases[] = {
      {"date mask to another date mask", "2004/01/15", "9999/99/99;1; ", "99/99/9999;1; ",
       "20/04/0115"},
      {"unmasked to a date mask inserts literals blindly", "2004/01/15", "", "9999/99/99;1; ",
       "2004//0/1/15"},
      {"mask removed leaves the raw characters", "AB  -123        ", "!aaaa-aaaaaaaaaaa;0; ", "",
       "AB  123        "},
      {"reverse mask right-aligns", "2004/01/15", "9999/99/99;1; ", "!aaaa-aaaaaaaaaaa;0; ",
       "    -   20040115"},
      {"the old blank char is dropped", "2004/1_/__", "9999/99/99;1;_", "9999/99/99;1; ",
       "2004/1 /  "},
      {"the same mask changes nothing", "2004//0/1/15", "9999/99/99;1; ", "9999/99/99;1; ",
       "2004//0/1/15"},
      {"empty text shows the new mask's blanks", "", "", "999/99/99;1;_", "___/__/__"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReformatMasked(c.text, c.mask, c.newMask), c.shown);
  }
  FormatSettings().DateSeparator = sep;
}

TEST(LibStrsText, NumbersAndValues) {
  EXPECT_DOUBLE_EQ(StrToFloatDefault("1.5", 7), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatDefault("1,5x", 7), 7);
  EXPECT_DOUBLE_EQ(StrToFloatDefault("", -1), -1);
  EXPECT_EQ(IfThenVar(true, 1, "b"), Variant(1));
  EXPECT_EQ(IfThenVar(false, 1, "b"), Variant("b"));
  EXPECT_TRUE(VarIsBlank(Variant()));
  EXPECT_TRUE(VarIsBlank(Variant::Null()));
  EXPECT_FALSE(VarIsBlank(Variant("")));
  EXPECT_FALSE(VarIsBlank(Variant(0)));
}

// --- Dates -------------------------------------------------------------------------------

TEST(LibStrsDates, FormatByType) {
  const TDateTime march2024 = EncodeDate(2024, 3, 5);
  const TDateTime march1990 = EncodeDate(1990, 3, 5);
  struct Case {
    const char* name;
    int type;
    const char* sep;
    TDateTime date;
    const char* date8;
    const char* yearMonth;
  } cases[] = {
      {"type 1", 1, "/", march2024, "2024/03/05", "2024/03"},
      {"type 2", 2, "/", march2024, "03/05/2024", "03/2024"},
      {"type 3", 3, "/", march2024, "05/03/2024", "03/2024"},
      {"type 4 with a three-digit ROC year", 4, "/", march2024, "113/03/05", "113/03"},
      {"type 5", 5, "/", march2024, "113/03/05", "113/03"},
      {"type 4 with a two-digit ROC year", 4, "/", march1990, "79/03/05", "79/03"},
      {"type 5 pads the ROC year", 5, "/", march1990, "079/03/05", "079/03"},
      {"first character of the separator", 1, "-.", march2024, "2024-03-05", "2024-03"},
      {"Chinese separator character", 1, "年月", march2024, "2024年03年05", "2024年03"},
      {"no separator", 1, "", march2024, "20240305", "202403"},
      {"date 0", 1, "/", 0, "", ""},
      {"unknown type", 6, "/", march2024, "", ""},
      {"outside the calendar", 1, "/", 1e9, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatDateByType(c.type, c.sep, c.date), c.date8);
    EXPECT_EQ(FormatYearMonthByType(c.type, c.sep, c.date), c.yearMonth);
  }
}

TEST(LibStrsDates, ParseByType) {
  struct Case {
    const char* name;
    const char* text;
    int type;
    const char* date8;  // "0" for no date
  } cases[] = {
      {"type 1", "2024/03/05", 1, "20240305"},
      {"type 2", "03/05/2024", 2, "20240305"},
      {"type 3", "05/03/2024", 3, "20240305"},
      {"type 4", "79/3/5", 4, "19900305"},
      {"type 5 without padding", "113/3/5", 5, "20240305"},
      {"blanks around fields", " 2024 / 3 / 5 ", 1, "20240305"},
      {"day past the month's end runs on", "2024/02/31", 1, "20240302"},
      {"day far past the end", "2024/12/40", 1, "20250109"},
      {"month 13", "2024/13/01", 1, "0"},
      {"month 0", "2024/0/5", 1, "0"},
      {"missing day", "2024/03", 1, "0"},
      {"letters", "2024/ab/05", 1, "0"},
      {"wrong separator", "2024-03-05", 1, "0"},
      {"blank text", "   ", 1, "0"},
      {"empty text", "", 1, "0"},
      {"type 0", "2024/03/05", 0, "0"},
      {"type 6", "2024/03/05", 6, "0"},
      {"year past 9999", "10000/01/01", 1, "0"},
      {"days beyond the calendar", "9999/12/99999", 1, "0"},
      {"ROC year overflowing", "2147483647/1/1", 4, "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsDate8(ParseDateByType(c.text, c.type, "/")), c.date8);
  }
}

TEST(LibStrsDates, ParseReadsWhatFormatWrites) {
  const TDateTime dates[] = {EncodeDate(2024, 3, 5), EncodeDate(1990, 12, 31),
                             EncodeDate(2000, 2, 29)};
  for (int type = 1; type <= 5; ++type) {
    for (const TDateTime date : dates) {
      SCOPED_TRACE(FormatDateByType(type, ".", date));
      EXPECT_EQ(ParseDateByType(FormatDateByType(type, ".", date), type, "."), date);
    }
  }
}

TEST(LibStrsDates, StorageDates) {
  struct Case {
    const char* name;
    const char* text;
    bool realDate;  // Date8ToDate gives a date
    bool valid90;   // IsValidDate8 in release 9.0
    bool valid70;   // IsValidDate8 in release 7.0
  } cases[] = {
      {"ordinary date", "20240305", true, true, true},
      {"lower bound", "17530101", true, true, true},
      {"day before the lower bound", "17521231", true, false, true},
      {"first year of the calendar", "00010101", true, false, true},
      {"upper bound", "99991231", true, true, true},
      {"30 February", "20240230", false, false, false},
      {"29 February of a leap year", "20240229", true, true, true},
      {"29 February of 1900", "19000229", false, false, false},
      {"year 0", "00000101", false, false, false},
      {"seven characters", "2024030", false, false, false},
      {"nine characters", "202403051", false, false, false},
      {"separators", "2024-3-5", false, false, false},
      {"blank inside", "2024 305", false, false, false},
      {"empty text", "", false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Date8ToDate(c.text) != 0, c.realDate);
    EXPECT_EQ(IsValidDate8(c.text), kRelease90 ? c.valid90 : c.valid70);
  }
  EXPECT_EQ(Date8ToDate("20240305"), EncodeDate(2024, 3, 5));
}

TEST(LibStrsDates, AddDate8) {
  struct Case {
    const char* name;
    Variant value;
    const char* unit;
    int count;
    const char* result;
  } cases[] = {
      {"month onto a shorter month", "20240131", "M", 1, "20240229"},
      {"year from 29 February", "20240229", "Y", 1, "20250228"},
      {"minus 12 months from 29 February", "20240229", "M", -12, "20230228"},
      {"into December", "20240115", "M", 11, "20241215"},
      {"out of December", "20241215", "m", 1, "20250115"},
      {"back across a year", "20240310", "M", -15, "20221210"},
      {"days across a year end", "20240101", "d", -1, "20231231"},
      {"leap day by days", "20240228", "D", 1, "20240229"},
      {"a date value", Variant::FromDate(EncodeDate(2024, 3, 5) + 0.5), "D", 0, "20240305"},
      {"a wide text", Variant::Wide("20240305"), "y", -1, "20230305"},
      {"unknown unit", "20240305", "W", 1, ""},
      {"unit of two letters", "20240305", "MM", 1, ""},
      {"no storage date", "2024035", "D", 1, ""},
      {"date 0", Variant::FromDate(0), "D", 1, ""},
      {"an integer", 20240305, "D", 1, ""},
      {"empty", Variant(), "D", 1, ""},
      {"past the calendar's end", "99991231", "D", 1, ""},
      {"years past the end", "20240305", "Y", 2147483647, ""},
      {"months before the start", "00010115", "M", -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AddDate8(c.value, c.unit, c.count), c.result);
  }
}

TEST(LibStrsDates, DaysInMonth) {
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  EXPECT_EQ(DaysInMonth(2023, 0), 0);
}

TEST(LibStrsDates, RelativeDate) {
  struct Case {
    const char* name;
    const char *base, *count, *monthUnit, *dayOffset, *dayMode, *result;
  } cases[] = {
      {"next month's last day", "20240315", "1", "1", "0", "2", "20240430"},
      {"previous month's first day", "20240315", "-1", "1", "0", "1", "20240201"},
      {"month then days", "20240131", "1", "1", "2", "0", "20240302"},
      {"month, other mode", "20240131", "1", "1", "9", "3", "20240229"},
      {"last week's Sunday", "20240315", "-1", "0", "0", "1", "20240303"},
      {"this week's Saturday", "20040107", "0", "0", "0", "2", "20040110"},
      {"this week's Sunday", "20040107", "0", "0", "0", "1", "20040104"},
      {"weeks and days", "20240315", "2", "0", "-3", "0", "20240326"},
      {"days only", "20240301", "0", "0", "-1", "0", "20240229"},
      {"year-month back", "202401", "-1", "1", "0", "2", "202312"},
      {"year-month ahead", "202411", "14", "0", "5", "1", "202601"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RelativeDate(c.base, c.count, c.monthUnit, c.dayOffset, c.dayMode), c.result);
  }
}

TEST(LibStrsDates, RelativeDateRejectsUnreadableValues) {
  EXPECT_THROW(RelativeDate("20240315", "x", "1", "0", "0"), EConvertError);
  EXPECT_THROW(RelativeDate("20240315", "1", "1", "0", ""), EConvertError);
  EXPECT_THROW(RelativeDate("20240315", "1", "0", "y", "0"), EConvertError);
  EXPECT_THROW(RelativeDate("20240230", "1", "1", "0", "0"), EConvertError);
  EXPECT_THROW(RelativeDate("", "1", "1", "0", "0"), EConvertError);
  EXPECT_THROW(RelativeDate("99991231", "1", "0", "0", "0"), EConvertError);
  EXPECT_THROW(RelativeDate("20240315", "2147483647", "1", "0", "0"), EConvertError);
}

TEST(LibStrsDates, WeekBoundary) {
  struct Case {
    const char* name;
    const char* base;
    int weeks;
    const char* mode;
    const char* result;
  } cases[] = {
      {"Sunday of the week", "20040107", 0, "1", "20040104"},
      {"Saturday of the week", "20040107", 0, "2", "20040110"},
      {"any other mode is Saturday", "20040107", 0, "x", "20040110"},
      {"a Sunday starts its own week", "20040104", 0, "1", "20040104"},
      {"a Saturday ends its own week", "20040110", 0, "0", "20040110"},
      {"two weeks back", "20040107", -2, "1", "20031221"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WeekBoundary(c.base, c.weeks, c.mode), c.result);
  }
  EXPECT_THROW(WeekBoundary("2004017", 0, "1"), EConvertError);
  EXPECT_THROW(WeekBoundary("00010101", 0, "1"), EConvertError);  // Sunday before the calendar
}

TEST(LibStrsDates, NextPeriodDate) {
  const auto weekly = [](Variant interval, int weekday) {
    return VarArrayOf({1, VarArrayOf({interval, weekday})});
  };
  const auto monthlyDay = [](Variant interval, Variant day) {
    return VarArrayOf({2, VarArrayOf({0, interval, day})});
  };
  const auto monthlyWeekday = [](int interval, int occurrence, int weekday) {
    return VarArrayOf({2, VarArrayOf({1, interval, occurrence, weekday})});
  };
  struct Case {
    const char* name;
    const char* start;
    Variant period;
    const char* result;
  } cases[] = {
      {"daily is the start", "20240315", VarArrayOf({0, "3"}), "20240315"},
      {"hourly is empty", "20240315", VarArrayOf({3, 1.5}), ""},
      {"weekly: next Monday", "20240315", weekly("1", 1), "20240318"},
      {"weekly: the start's own weekday", "20240315", weekly("1", 5), "20240315"},
      {"weekly: Monday after a Wednesday", "20040107", weekly("1", 1), "20040112"},
      {"weekly: Friday after a Wednesday", "20040107", weekly("1", 5), "20040109"},
      {"weekly: every 2 weeks on Friday", "20040107", weekly("2", 5), "20040116"},
      {"weekly: every 2 weeks on Monday", "20040107", weekly("2", 1), "20040119"},
      {"monthly: day 31 of this month", "20240315", monthlyDay("1", "31"), "20240331"},
      {"monthly: day 31 in January", "20040120", monthlyDay("1", "31"), "20040131"},
      {"monthly: day 15 is next month", "20040120", monthlyDay("1", "15"), "20040215"},
      {"monthly: day 31 in February", "20040210", monthlyDay("1", "31"), "20040229"},
      {"monthly: the start's own day", "20040120", monthlyDay("1", "20"), "20040120"},
      {"monthly: every 3 months", "20041120", monthlyDay(3, 10), "20050210"},
      {"monthly: last Friday", "20240315", monthlyWeekday(1, 4, 5), "20240329"},
      {"monthly: first Monday already past", "20040120", monthlyWeekday(1, 0, 1), "20040202"},
      {"monthly: last Sunday", "20040101", monthlyWeekday(1, 4, 0), "20040125"},
      {"monthly: second Tuesday in 2 months", "20040120", monthlyWeekday(2, 1, 2), "20040210"},
      {"invalid start", "20040230", VarArrayOf({0, "1"}), ""},
      {"empty start", "", weekly("1", 1), ""},
      {"interval not a number", "20240315", weekly("", 1), ""},
      {"interval 0", "20240315", monthlyDay("0", "31"), ""},
      {"weekday 7", "20240315", weekly("1", 7), ""},
      {"occurrence 5", "20240315", monthlyWeekday(1, 5, 1), ""},
      {"day 0", "20240315", monthlyDay("1", "0"), ""},
      {"unknown monthly rule", "20240315", VarArrayOf({2, VarArrayOf({2, 1, 1})}), ""},
      {"parameters missing", "20240315", VarArrayOf({1}), ""},
      {"not an array", "20240315", Variant(1), ""},
      {"past the calendar's end", "99991220", weekly("3", 1), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NextPeriodDate(c.start, c.period), c.result);
  }
}

// The moving dates of periodic jobs: values 1 a text, 2 a range [marker, begin, end], 3 a
// single date; records name their value by the position field appended to them.
class LibStrsApplyDateSettings : public testing::Test {
 protected:
  static Variant Values() {
    Variant values = VarArrayCreate({1, 3}, varVariant);
    values[1] = "x";
    values[2] = VarArrayOf({std::string(1, '\x04'), "20000101", "20000102"});
    values[3] = "20000101";
    return values;
  }
  static Variant Args(const std::vector<std::string>& records) {
    Variant list = VarArrayCreate({0, static_cast<int>(records.size())}, varVariant);
    list[0] = static_cast<int>(records.size());
    for (size_t i = 0; i < records.size(); ++i) list[static_cast<int>(i) + 1] = records[i];
    return VarArrayOf({Variant(), Values(), VarArrayOf({0}), list});
  }
};

TEST_F(LibStrsApplyDateSettings, RangeMovesBeginAndEnd) {
  // Begin: one month back, first day; end: one month back, last day.
  const Variant args = Args(
      {Record({"0", "sp02", "Y", "-1", "1", "1", "0", "Y", "-1", "1", "2", "0", "D", "2", "2"})});
  const Variant result = ApplyDateSettings(args, "20040315");
  ASSERT_TRUE(result.IsArray());
  EXPECT_EQ(result[2][0], Variant(std::string(1, '\x04')));  // the marker stays
  EXPECT_EQ(result[2][1], Variant("20040201"));
  EXPECT_EQ(result[2][2], Variant("20040229"));
  EXPECT_EQ(result[1], Variant("x"));
  EXPECT_EQ(result[3], Variant("20000101"));
}

TEST_F(LibStrsApplyDateSettings, SingleDates) {
  struct Case {
    const char* name;
    std::vector<std::string> record;
    Variant value3;
  } cases[] = {
      {"nothing moves: the run date", {"1", "ed", "Y", "0", "0", "0", "0", "D", "3"}, "20040107"},
      {"week's Sunday", {"1", "ed", "Y", "0", "0", "1", "0", "D", "3"}, "20040104"},
      {"week's Saturday", {"1", "ed", "Y", "0", "0", "2", "0", "D", "3"}, "20040110"},
      {"ten days back", {"1", "ed", "Y", "0", "0", "0", "-10", "D", "3"}, "20031228"},
      {"year-month of the run", {"1", "ed", "Y", "0", "1", "0", "0", "M", "3"}, "200401"},
      {"previous year-month", {"1", "ed", "Y", "-1", "1", "0", "0", "M", "3"}, "200312"},
      {"not moving", {"1", "ed", "N", "5", "0", "0", "0", "D", "3"}, "20000101"},
      {"first position is read", {"1", "ed", "Y", "0", "0", "0", "0", "D", "3", "1"}, "20040107"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Variant result = ApplyDateSettings(Args({Record(c.record)}), "20040107");
    ASSERT_TRUE(result.IsArray());
    EXPECT_EQ(result[3], c.value3);
    EXPECT_EQ(result[1], Variant("x"));
  }
}

TEST_F(LibStrsApplyDateSettings, EndOnlyAndNoRecords) {
  const Variant endOnly = ApplyDateSettings(
      Args({Record({"0", "sp02", "N", "9", "9", "9", "9", "Y", "0", "0", "0", "0", "D", "2"})}),
      "20040315");
  ASSERT_TRUE(endOnly.IsArray());
  EXPECT_EQ(endOnly[2][1], Variant("20000101"));
  EXPECT_EQ(endOnly[2][2], Variant("20040315"));
  EXPECT_EQ(ApplyDateSettings(Args({}), "20040315"), Values());
}

TEST_F(LibStrsApplyDateSettings, AnyFailureGivesAnEmptyText) {
  const std::vector<std::vector<std::string>> bad = {
      {"1", "ed", "Y", "x", "0", "0", "1", "D", "3"},  // count not a number
      {"1", "ed", "Y", "0", "0", "0", "0", "D", "9"},  // position outside the values
      {"1", "ed", "Y", "0", "0", "0", "0", "D"},       // no position
      {"0", "sp02", "Y", "1", "0", "0", "0", "N", "0", "0", "0", "0", "D", "1"},  // not a range
  };
  for (const auto& record : bad) {
    SCOPED_TRACE(Record(record));
    EXPECT_EQ(ApplyDateSettings(Args({Record(record)}), "20040107"), Variant(std::string()));
  }
  // A run date that is no date (the hourly cycle has none) fails once a rule moves it.
  EXPECT_EQ(ApplyDateSettings(Args({Record({"1", "ed", "Y", "1", "0", "0", "0", "D", "3"})}), ""),
            Variant(std::string()));
  EXPECT_EQ(ApplyDateSettings(Variant(1), "20040107"), Variant(std::string()));
}

// --- System and code pages --------------------------------------------------------------

TEST(LibStrsSystem, LocalAddress) {
  EXPECT_TRUE(IsLocalAddress("127.0.0.1"));
  EXPECT_FALSE(IsLocalAddress("localhost"));
  EXPECT_FALSE(IsLocalAddress(" 127.0.0.1"));
  EXPECT_FALSE(IsLocalAddress("127.0.0.2"));
}

TEST(LibStrsSystem, TextConversionsKeepCharacters) {
  EXPECT_EQ(WideToAnsi("报表 ok", 936), "报表 ok");
  EXPECT_EQ(AnsiToWide("報表", 950), "報表");
  EXPECT_EQ(WideToAnsi("报表", 437), "报表");  // 437 cannot hold them: the text stays
}

TEST(LibStrsSystem, VariantToWideChangesOnlyTheTagsOfA2DArray) {
  Variant grid = VarArrayCreate({1, 2, 0, 2}, varVariant);
  grid.At({1, 0}) = Variant::Ansi("条件");
  grid.At({2, 0}) = Variant::Wide("wide");
  grid.At({1, 1}) = 42;
  grid.At({2, 1}) = Variant::Null();
  grid.At({1, 2}) = VarArrayOf({Variant::Ansi("内"), 1.5});
  grid.At({2, 2}) = Variant::FromDate(EncodeDate(2024, 3, 5));
  const Variant original = grid;

  const Variant wide = VariantToWide(grid, 936);
  EXPECT_EQ(grid, original);  // the argument is left alone
  EXPECT_EQ(VarArrayDimCount(wide), 2);
  EXPECT_EQ(VarArrayLowBound(wide, 1), 1);
  EXPECT_EQ(VarArrayHighBound(wide, 1), 2);
  EXPECT_EQ(VarArrayLowBound(wide, 2), 0);
  EXPECT_EQ(VarArrayHighBound(wide, 2), 2);
  EXPECT_EQ(wide.At({1, 0}), Variant::Wide("条件"));
  EXPECT_EQ(wide.At({2, 0}), Variant::Wide("wide"));
  EXPECT_EQ(wide.At({1, 1}), Variant(42));
  EXPECT_TRUE(wide.At({2, 1}).IsNull());
  EXPECT_EQ(wide.At({1, 2}), VarArrayOf({Variant::Wide("内"), 1.5}));
  EXPECT_EQ(wide.At({2, 2}), original.At({2, 2}));

  const Variant ansi = VariantToAnsi(wide, 936);
  EXPECT_EQ(ansi.At({1, 0}), Variant::Ansi("条件"));
  EXPECT_EQ(ansi.At({2, 0}), Variant::Ansi("wide"));
  EXPECT_EQ(ansi.At({1, 2}), VarArrayOf({Variant::Ansi("内"), 1.5}));
  EXPECT_EQ(ansi.At({1, 1}), Variant(42));
}

TEST(LibStrsSystem, VariantConversionsOfSimpleValues) {
  EXPECT_EQ(VariantToWide(Variant::Ansi("a"), 936), Variant::Wide("a"));
  EXPECT_EQ(VariantToAnsi(Variant::Wide("a"), 936), Variant::Ansi("a"));
  EXPECT_EQ(VariantToAnsi(Variant::Ansi("a"), 936), Variant::Ansi("a"));
  EXPECT_EQ(VariantToWide(7, 936), Variant(7));
  EXPECT_TRUE(VariantToWide(Variant(), 936).IsEmpty());
  EXPECT_TRUE(VariantToAnsi(Variant::Null(), 936).IsNull());
  // The request package: nested arrays at every level.
  const Variant package =
      VarArrayOf({VarArrayOf({"env"}), VarArrayOf({VarArrayOf({"caption", "sp01"})}), true});
  const Variant wide = VariantToWide(package, 936);
  EXPECT_EQ(wide[1][0][1], Variant::Wide("sp01"));
  EXPECT_EQ(wide[2], Variant(true));
  EXPECT_EQ(VariantToAnsi(wide, 936), package);
  // An array made for wide text can hold nothing else.
  Variant typed = VarArrayCreate({0, 0}, varOleStr);
  typed[0] = Variant::Wide("w");
  EXPECT_EQ(VariantToAnsi(typed, 936), typed);
}
