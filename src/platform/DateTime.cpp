#include "DateTime.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "SysUtils.h"

// Deviations by design:
// - Month and day names, the long date format, the short time format and the AM/PM texts
//   ("mmm", "dddd", "dddddd", "t", "ampm") are fixed to the PRC desktop's; the settings
//   record carries only what the system sets.

namespace {

// Days from 1970-01-01 to the Gregorian date (proleptic calendar, any year).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr int64_t kUnixEpochDays = 25569;  // 1970-01-01 as a TDateTime
constexpr int64_t kMinDays = -693593;      // 0001-01-01
constexpr int64_t kMaxDays = 2958465;      // 9999-12-31
constexpr int64_t kMSecsPerDay = 86400000;

// A date-time split into whole days and milliseconds of the day, the milliseconds rounded
// as the platform rounds them (a time a hair before midnight is the next day's 00:00).
struct Stamp {
  bool Valid = false;
  int64_t Days = 0;
  int64_t MSecs = 0;
};

Stamp Split(TDateTime dt) {
  Stamp s;
  if (!std::isfinite(dt) || dt < kMinDays - 1 || dt > kMaxDays + 1) return s;
  const double whole = std::trunc(dt);
  s.Days = static_cast<int64_t>(whole);
  s.MSecs = std::llround(std::fabs(dt - whole) * kMSecsPerDay);
  if (s.MSecs >= kMSecsPerDay) {
    s.MSecs -= kMSecsPerDay;
    s.Days += dt < 0 ? -1 : 1;
  }
  s.Valid = s.Days >= kMinDays && s.Days <= kMaxDays;
  return s;
}

// Whole days plus a time of day; before 1899-12-30 the time is subtracted, since the
// fraction of a negative date still counts forward from midnight.
TDateTime Combine(TDateTime date, TDateTime time) {
  const double t = std::fabs(time - std::trunc(time));
  return date >= 0 ? date + t : date - t;
}

const char* const kLongMonthNames[12] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                         "七月", "八月", "九月", "十月", "十一月", "十二月"};
const char* const kShortMonthNames[12] = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                                          "7月", "8月", "9月", "10月", "11月", "12月"};
const char* const kLongDayNames[7] = {"星期日", "星期一", "星期二", "星期三",
                                      "星期四", "星期五", "星期六"};
const char* const kShortDayNames[7] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
constexpr const char* kLongDateFormat = "yyyy'年'm'月'd'日'";
constexpr const char* kShortTimeFormat = "hh:nn";
constexpr const char* kTimeAMString = "上午";
constexpr const char* kTimePMString = "下午";

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsNoCase(std::string_view s, size_t at, std::string_view prefix) {
  return s.size() - at >= prefix.size() && SameText(s.substr(at, prefix.size()), prefix);
}

// The platform's date formatter: tokens are runs of one letter; a letter run that is no
// specifier is copied. Nested formats (ddddd, c, t) go at most one level deep, so a
// settings format that names itself cannot recurse.
class DateFormatter {
 public:
  explicit DateFormatter(TDateTime dt) {
    const Stamp s = Split(dt);
    if (s.Valid) {
      CivilFromDays(s.Days - kUnixEpochDays, year_, month_, day_);
      dayOfWeek_ = DayOfWeek(dt);
    }
    hour_ = static_cast<int>(s.MSecs / 3600000);
    minute_ = static_cast<int>(s.MSecs / 60000 % 60);
    second_ = static_cast<int>(s.MSecs / 1000 % 60);
    msec_ = static_cast<int>(s.MSecs % 1000);
  }

  std::string Run(std::string_view format) {
    Append(format.empty() ? std::string_view("C") : format);
    return out_;
  }

 private:
  void Number(int value, int digits) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
    out_ += text;
  }

  void Append(std::string_view f) {
    if (level_ >= 2) return;
    ++level_;
    char lastToken = ' ';
    size_t i = 0;
    while (i < f.size()) {
      const char starter = f[i++];
      auto count = [&] {
        int n = 1;
        while (i < f.size() && f[i] == starter) ++i, ++n;
        return n;
      };
      char token = Upper(starter);
      if (IsAsciiLetter(token)) {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      switch (token) {
        case 'Y':
          if (count() <= 2)
            Number(year_ % 100, 2);
          else
            Number(year_, 4);
          break;
        case 'M': {
          const int n = count();
          if (n <= 2)
            Number(month_, n);
          else if (month_ >= 1)
            out_ += (n == 3 ? kShortMonthNames : kLongMonthNames)[month_ - 1];
          break;
        }
        case 'D': {
          const int n = count();
          if (n <= 2)
            Number(day_, n);
          else if (n == 3 && dayOfWeek_ >= 1)
            out_ += kShortDayNames[dayOfWeek_ - 1];
          else if (n == 4 && dayOfWeek_ >= 1)
            out_ += kLongDayNames[dayOfWeek_ - 1];
          else if (n == 5)
            Append(FormatSettings().ShortDateFormat);
          else if (n == 6)
            Append(kLongDateFormat);
          break;
        }
        case 'H': {
          const int n = count();
          int h = hour_;
          if (TwelveHourClockAhead(f, i)) h = h == 0 ? 12 : h > 12 ? h - 12 : h;
          Number(h, std::min(n, 2));
          break;
        }
        case 'N':
          Number(minute_, std::min(count(), 2));
          break;
        case 'S':
          Number(second_, std::min(count(), 2));
          break;
        case 'Z': {
          const int n = count();
          Number(msec_, n > 2 ? 3 : n);
          break;
        }
        case 'T':
          Append(count() == 1 ? std::string_view(kShortTimeFormat)
                              : std::string_view(FormatSettings().LongTimeFormat));
          break;
        case 'C':
          count();
          Append(FormatSettings().ShortDateFormat);
          if (hour_ != 0 || minute_ != 0 || second_ != 0) {
            out_ += ' ';
            Append(FormatSettings().LongTimeFormat);
          }
          break;
        case 'A':
          AmPm(f, i);
          break;
        case '/':
          if (FormatSettings().DateSeparator != '\0') out_ += FormatSettings().DateSeparator;
          break;
        case ':':
          if (FormatSettings().TimeSeparator != '\0') out_ += FormatSettings().TimeSeparator;
          break;
        case '\'':
        case '"': {
          const size_t close = f.find(starter, i);
          const size_t end = close == std::string_view::npos ? f.size() : close;
          out_.append(f.substr(i, end - i));
          i = close == std::string_view::npos ? f.size() : close + 1;
          break;
        }
        default:
          out_ += starter;
      }
    }
    --level_;
  }

  // An hour uses the 12-hour clock when an am/pm marker follows before the next hour
  // specifier (quoted text skipped).
  static bool TwelveHourClockAhead(std::string_view f, size_t i) {
    bool quoted = false;
    for (; i < f.size(); ++i) {
      const char c = f[i];
      if (c == '\'' || c == '"') quoted = !quoted;
      if (quoted) continue;
      if (c == 'A' || c == 'a')
        return StartsNoCase(f, i, "AM/PM") || StartsNoCase(f, i, "A/P") ||
               StartsNoCase(f, i, "AMPM");
      if (c == 'H' || c == 'h') return false;
    }
    return false;
  }

  // At f[i - 1] == 'a' or 'A': "am/pm" and "a/p" copy the marker in the format's own case.
  void AmPm(std::string_view f, size_t& i) {
    const size_t at = i - 1;
    const bool pm = hour_ >= 12;
    if (StartsNoCase(f, at, "AM/PM")) {
      out_.append(f.substr(at + (pm ? 3 : 0), 2));
      i = at + 5;
    } else if (StartsNoCase(f, at, "A/P")) {
      out_.append(f.substr(at + (pm ? 2 : 0), 1));
      i = at + 3;
    } else if (StartsNoCase(f, at, "AMPM")) {
      out_ += pm ? kTimePMString : kTimeAMString;
      i = at + 4;
    } else {
      out_ += f[at];
    }
  }

  std::string out_;
  int level_ = 0;
  int year_ = 0, month_ = 0, day_ = 0, dayOfWeek_ = 0;
  int hour_ = 0, minute_ = 0, second_ = 0, msec_ = 0;
};

// The fixed clock; NaN when the system clock answers.
std::atomic<double> fixedClock{std::nan("")};

}  // namespace

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInAMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInAMonth(year, month))
    return false;
  date = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDays);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date))
    throw EConvertError("Invalid argument to date encode");
  return date;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999)
    return false;
  time = (((hour * 60 + minute) * 60 + second) * 1000 + msec) / static_cast<double>(kMSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second, msec, time))
    throw EConvertError("Invalid argument to time encode");
  return time;
}

// Values outside 0001-01-01 .. 9999-12-31 decode to 0/0/0.
void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  const Stamp s = Split(date);
  year = month = day = 0;
  if (s.Valid) CivilFromDays(s.Days - kUnixEpochDays, year, month, day);
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec) {
  const Stamp s = Split(time);
  hour = static_cast<int>(s.MSecs / 3600000);
  minute = static_cast<int>(s.MSecs / 60000 % 60);
  second = static_cast<int>(s.MSecs / 1000 % 60);
  msec = static_cast<int>(s.MSecs % 1000);
}

int DayOfWeek(TDateTime date) {
  const Stamp s = Split(date);
  // 1899-12-30 was a Saturday.
  const int64_t r = ((s.Days % 7) + 7 + 6) % 7;
  return static_cast<int>(r) + 1;
}

TDateTime IncMonth(TDateTime date, int months) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  if (year == 0) throw EConvertError("Invalid argument to date encode");
  int64_t total = int64_t{year} * 12 + (month - 1) + months;
  const int64_t newYear = total >= 0 ? total / 12 : (total - 11) / 12;
  const int newMonth = static_cast<int>(total - newYear * 12) + 1;
  if (newYear < 1 || newYear > 9999) throw EConvertError("Invalid argument to date encode");
  const int y = static_cast<int>(newYear);
  day = std::min(day, DaysInAMonth(y, newMonth));
  return Combine(EncodeDate(y, newMonth, day), date);
}

TDateTime DateOf(TDateTime dt) {
  const Stamp s = Split(dt);
  return s.Valid ? static_cast<double>(s.Days) : std::trunc(dt);
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
  return DateFormatter(dt).Run(format);
}

std::string DateToStr(TDateTime date) {
  return FormatDateTime(FormatSettings().ShortDateFormat, date);
}

std::string DateTimeToStr(TDateTime dt) {
  return FormatDateTime("c", dt);
}

namespace {

// The platform's date scanner: blanks are spaces only; a number stops once it reaches
// four digits' worth (1000), so an overlong year fails at the next separator.
class DateScanner {
 public:
  explicit DateScanner(std::string_view s) : s_(s) {}

  void Blanks() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
  }
  bool Char(char c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Number(int& value, int& length) {
    Blanks();
    size_t i = pos_;
    int n = 0;
    while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9' && n < 1000) n = n * 10 + (s_[i++] - '0');
    if (i == pos_) return false;
    length = static_cast<int>(i - pos_);
    pos_ = i;
    value = n;
    return true;
  }
  bool AtEnd() const { return pos_ >= s_.size(); }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(std::string_view format) {
  for (char c : format) {
    switch (Upper(c)) {
      case 'E':
      case 'Y':
        return DateOrder::YMD;
      case 'M':
        return DateOrder::MDY;
      case 'D':
        return DateOrder::DMY;
      default:
        break;
    }
  }
  return DateOrder::MDY;
}

}  // namespace

bool TryStrToDate(std::string_view s, TDateTime& date) {
  const TFormatSettings& fs = FormatSettings();
  const DateOrder order = OrderOf(fs.ShortDateFormat);
  DateScanner scan(s);
  int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
  if (!scan.Number(n1, l1) || !scan.Char(fs.DateSeparator) || !scan.Number(n2, l2)) return false;
  int year = 0, month = 0, day = 0;
  int currentYear = 0, m = 0, d = 0;
  DecodeDate(Date(), currentYear, m, d);
  if (scan.Char(fs.DateSeparator)) {
    if (!scan.Number(n3, l3)) return false;
    int yearLength = 0;
    switch (order) {
      case DateOrder::MDY:
        year = n3, yearLength = l3, month = n1, day = n2;
        break;
      case DateOrder::DMY:
        year = n3, yearLength = l3, month = n2, day = n1;
        break;
      case DateOrder::YMD:
        year = n1, yearLength = l1, month = n2, day = n3;
        break;
    }
    if (yearLength <= 2) {
      const int window = fs.TwoDigitYearCenturyWindow;
      const int centuryBase = currentYear - window;
      year += centuryBase / 100 * 100;
      if (window > 0 && year < centuryBase) year += 100;
    }
  } else {
    year = currentYear;
    if (order == DateOrder::DMY)
      day = n1, month = n2;
    else
      month = n1, day = n2;
  }
  scan.Char(fs.DateSeparator);
  scan.Blanks();
  if (!scan.AtEnd()) return false;
  return TryEncodeDate(year, month, day, date);
}

TDateTime Now() {
  const double fixed = fixedClock.load();
  if (!std::isnan(fixed)) return fixed;
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  localtime_r(&ts.tv_sec, &local);
  TDateTime date = 0, time = 0;
  TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
  // A leap second (tm_sec 60) reads as 59.
  TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                static_cast<int>(ts.tv_nsec / 1000000), time);
  return Combine(date, time);
}

TDateTime Date() {
  return DateOf(Now());
}

void SetFixedClock(TDateTime now) {
  fixedClock.store(now);
}

void ClearFixedClock() {
  fixedClock.store(std::nan(""));
}
