// Dates and times as the platform keeps them: a double whose whole part counts days
// since 1899-12-30 and whose fraction is the time of day.
#pragma once

#include <string>
#include <string_view>

using TDateTime = double;

// The locale's date and time formats. One process-wide record, as on the platform; the
// defaults are those of a Chinese (PRC) desktop.
struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char DecimalSeparator = '.';
  std::string ShortDateFormat = "yyyy/mm/dd";
  std::string LongTimeFormat = "hh:nn:ss";
  int TwoDigitYearCenturyWindow = 50;
};
TFormatSettings& FormatSettings();

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);  // 0 for a month outside 1..12
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);  // raises EConvertError
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec);
int DayOfWeek(TDateTime date);  // 1 = Sunday ... 7 = Saturday
TDateTime IncMonth(TDateTime date, int months);  // clamps the day to the month's end
TDateTime DateOf(TDateTime dt);  // the whole-day part

// Format specifiers of the platform: yyyy yy m mm d dd (ddddd short date) h hh n nn s ss
// z zzz, c, am/pm, "..." and '...' literals; "m" after "h" means minutes; "/" and ":" put
// the settings' separators.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string DateToStr(TDateTime date);      // short date format
std::string DateTimeToStr(TDateTime dt);    // "c": short date, then long time unless 0
bool TryStrToDate(std::string_view s, TDateTime& date);  // by ShortDateFormat's order

// The one clock of the system. Nothing reads the system clock directly; tests may fix it.
TDateTime Now();
TDateTime Date();
void SetFixedClock(TDateTime now);  // every later Now() answers exactly this
void ClearFixedClock();             // back to the system clock
