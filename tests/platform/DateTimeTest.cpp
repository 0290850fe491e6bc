#include "DateTime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SysUtils.h"

namespace {

// Fixes the clock and restores the settings and the clock afterwards.
class DateTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = FormatSettings(); }
  void TearDown() override {
    FormatSettings() = saved_;
    ClearFixedClock();
  }

  // 2024-03-05 14:07:09.045
  static TDateTime Sample() { return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45); }

 private:
  TFormatSettings saved_;
};

struct Ymd {
  int y, m, d;
};

Ymd Decoded(TDateTime dt) {
  Ymd r{};
  DecodeDate(dt, r.y, r.m, r.d);
  return r;
}

}  // namespace

TEST_F(DateTimeTest, SerialNumbersIncludingNegativeValues) {
  struct Case {
    const char* name;
    TDateTime value;
    int y, m, d, h, n;
  } cases[] = {
      {"day zero", 0, 1899, 12, 30, 0, 0},
      {"2.75", 2.75, 1900, 1, 1, 18, 0},
      {"35065", 35065, 1996, 1, 1, 0, 0},
      {"negative keeps a forward time", -1.25, 1899, 12, 29, 6, 0},
      {"first day", -693593, 1, 1, 1, 0, 0},
      {"last day", 2958465.5, 9999, 12, 31, 12, 0},
      {"a hair before midnight is the next day", 45356.99999999999, 2024, 3, 6, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int y, m, d, h, n, s, z;
    DecodeDate(c.value, y, m, d);
    DecodeTime(c.value, h, n, s, z);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
    EXPECT_EQ(h, c.h);
    EXPECT_EQ(n, c.n);
  }
  EXPECT_EQ(EncodeDate(1996, 1, 1), 35065);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
  EXPECT_EQ(Decoded(3e9).y, 0);  // outside the calendar: nothing, no crash
  EXPECT_EQ(Decoded(std::nan("")).y, 0);
  EXPECT_EQ(DateOf(-1.25), -1);
  EXPECT_EQ(DateOf(Sample()), EncodeDate(2024, 3, 5));
}

TEST_F(DateTimeTest, EncodeChecksTheCalendar) {
  struct Case {
    int y, m, d;
    bool ok;
  } cases[] = {
      {2024, 2, 29, true}, {2023, 2, 29, false}, {1900, 2, 29, false}, {2000, 2, 29, true},
      {113, 3, 5, true},   {0, 1, 1, false},     {10000, 1, 1, false}, {2024, 13, 1, false},
      {2024, 0, 1, false}, {2024, 4, 31, false}, {2024, 1, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
    TDateTime date = 0;
    EXPECT_EQ(TryEncodeDate(c.y, c.m, c.d, date), c.ok);
    if (!c.ok) {
      EXPECT_THROW(EncodeDate(c.y, c.m, c.d), EConvertError);
    }
  }
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2024, 13), 0);
  TDateTime t = 0;
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_DOUBLE_EQ(EncodeTime(18, 0, 0, 0), 0.75);
}

TEST_F(DateTimeTest, DayOfWeekAndIncMonth) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 15)), 6);  // Friday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 17)), 1);  // Sunday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(-1.25), 6);                    // 1899-12-29, a Friday

  struct Case {
    Ymd from;
    int months;
    Ymd to;
  } cases[] = {
      {{2024, 1, 31}, 1, {2024, 2, 29}},    {{2024, 3, 31}, -1, {2024, 2, 29}},
      {{2023, 1, 31}, 1, {2023, 2, 28}},    {{2024, 11, 15}, 3, {2025, 2, 15}},
      {{2024, 1, 15}, -13, {2022, 12, 15}}, {{2024, 2, 29}, 12, {2025, 2, 28}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.months);
    const TDateTime result = IncMonth(EncodeDate(c.from.y, c.from.m, c.from.d) + 0.5, c.months);
    const Ymd r = Decoded(result);
    EXPECT_EQ(r.y, c.to.y);
    EXPECT_EQ(r.m, c.to.m);
    EXPECT_EQ(r.d, c.to.d);
    EXPECT_DOUBLE_EQ(result - DateOf(result), 0.5);  // the time of day is kept
  }
  // Before 1899-12-30 the time still counts forward from midnight.
  EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(1899, 11, 29) - 0.25, 1), -1.25);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
}

TEST_F(DateTimeTest, FormatDateTimeSpecifiers) {
  struct Case {
    const char* format;
    const char* result;
  } cases[] = {
      {"yyyymmdd", "20240305"},
      {"yyyy/mm/dd hh:nn:ss", "2024/03/05 14:07:09"},
      {"hh:mm", "14:07"},  // m after h means minutes
      {"yyyymmddhhnnss", "20240305140709"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
      {"yy-m-d h:n:s z", "24-3-5 14:7:9 45"},
      {"YYYY.MM.DD", "2024.03.05"},
      {"h 'x' m", "14 x 7"},  // quoted text does not break "m after h"
      {"mm/dd hh", "03/05 14"},
      {"'yyyy' \"mm\"", "yyyy mm"},
      {"ddddd", "2024/03/05"},
      {"c", "2024/03/05 14:07:09"},
      {"h:nn am/pm", "2:07 pm"},
      {"hh:nn A/P", "02:07 P"},
      {"hh AMPM", "02 下午"},
      {"mmmm dddd", "三月 星期二"},
      {"dddddd", "2024年3月5日"},
      {"", "2024/03/05 14:07:09"},
      {"'unclosed", "unclosed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatDateTime(c.format, Sample()), c.result);
  }
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(113, 3, 5)), "0113");
  EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(0, 30, 0, 0)), "12 am");
}

TEST_F(DateTimeTest, SeparatorsComeFromTheSettings) {
  FormatSettings().DateSeparator = '-';
  FormatSettings().TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", Sample()), "2024-03-05 14.07");
  EXPECT_EQ(FormatDateTime("yyyy'/'mm", Sample()), "2024/03");
  EXPECT_EQ(DateToStr(Sample()), "2024-03-05");
  // A settings format that refers to itself cannot recurse without end.
  FormatSettings().ShortDateFormat = "c";
  EXPECT_NO_THROW(DateTimeToStr(Sample()));
}

TEST_F(DateTimeTest, DateTimeToStrOmitsMidnight) {
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024/03/05");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5) + EncodeTime(0, 0, 0, 500)), "2024/03/05");
  EXPECT_EQ(DateTimeToStr(Sample()), "2024/03/05 14:07:09");
  EXPECT_EQ(DateToStr(Sample()), "2024/03/05");
}

TEST_F(DateTimeTest, StrToDateByShortDateFormat) {
  SetFixedClock(EncodeDate(2024, 6, 1) + 0.5);
  struct Case {
    const char* format;
    const char* text;
    bool ok;
    Ymd date;
  } cases[] = {
      {"YYYY/MM/DD", "2024/3/5", true, {2024, 3, 5}},
      {"YYYY/MM/DD", " 2024 / 03 / 05 ", true, {2024, 3, 5}},
      {"YYYY/MM/DD", "2024-03-05", false, {}},
      {"YYYY/MM/DD", "2024/02/30", false, {}},
      {"YYYY/MM/DD", "3/5", true, {2024, 3, 5}},
      {"YYYY/MM/DD", "03/1/5", true, {2003, 1, 5}},
      {"YYYY/MM/DD", "80/1/5", true, {1980, 1, 5}},
      {"YYYY/MM/DD", "113/3/5", true, {113, 3, 5}},
      {"MM/DD/YYYY", "12/31/2003", true, {2003, 12, 31}},
      {"dd/mm/yyyy", "31/12/2003", true, {2003, 12, 31}},
      {"dd/mm/yyyy", "5/3", true, {2024, 3, 5}},
      {"YYYY/MM/DD", "2024/3/5/", true, {2024, 3, 5}},
      {"YYYY/MM/DD", "2024/3/5 x", false, {}},
      {"YYYY/MM/DD", "12345/1/1", false, {}},
      {"YYYY/MM/DD", "", false, {}},
      {"YYYY/MM/DD", "2024", false, {}},
      {"YYYY/MM/DD", "2024/", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.text);
    FormatSettings().ShortDateFormat = c.format;
    TDateTime date = -7;
    ASSERT_EQ(TryStrToDate(c.text, date), c.ok);
    if (c.ok) {
      const Ymd r = Decoded(date);
      EXPECT_EQ(r.y, c.date.y);
      EXPECT_EQ(r.m, c.date.m);
      EXPECT_EQ(r.d, c.date.d);
    }
  }
}

TEST_F(DateTimeTest, ClockCanBeFixed) {
  const TDateTime fixed = Sample();
  SetFixedClock(fixed);
  EXPECT_EQ(Now(), fixed);
  EXPECT_EQ(Date(), EncodeDate(2024, 3, 5));
  ClearFixedClock();
  // The system clock again: some time after this code was written.
  EXPECT_GT(Now(), EncodeDate(2024, 1, 1));
  EXPECT_LT(Now(), EncodeDate(9999, 1, 1));
}
