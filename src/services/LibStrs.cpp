#include "LibStrs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <vector>

#include "CodePage.h"
#include "MaskUtils.h"
#include "Release.h"
#include "SysUtils.h"

namespace {

constexpr char kFieldSeparator = '\x03';

// Whole days of 0001-01-01 and 9999-12-31, the calendar's ends.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

bool InCalendar(TDateTime date) {
  return std::isfinite(date) && std::trunc(date) >= kFirstDay && std::trunc(date) <= kLastDay;
}

// "yyyymmdd"; raises for a value that is no date of the calendar.
std::string ToDate8(TDateTime date) {
  if (!InCalendar(date)) throw EConvertError("Date is outside the calendar");
  return FormatDateTime("yyyymmdd", date);
}

// A storage date read for a computation; raises when it is none.
TDateTime ReadDate8(std::string_view date8) {
  const TDateTime date = Date8ToDate(date8);
  if (date == 0) throw EConvertError("'" + std::string(date8) + "' is not a valid date");
  return date;
}

// The first character of a separator text (a whole UTF-8 character), or nothing.
std::string FirstCharacter(std::string_view text) {
  if (text.empty()) return {};
  return Utf8Chars(text).front();
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The date `months` months after `date`, its day clamped to the month's end; raises when
// the result leaves the calendar.
TDateTime ShiftMonths(TDateTime date, int64_t months) {
  // IncMonth checks the calendar; the count only has to fit its int.
  if (months < -120000 || months > 120000) throw EConvertError("Date is outside the calendar");
  return IncMonth(date, static_cast<int>(months));
}

// The first day of the month `months` after the given date's month.
TDateTime MonthStart(TDateTime date, int64_t months) {
  int year = 0, month = 0, day = 0;
  DecodeDate(ShiftMonths(date, months), year, month, day);
  return EncodeDate(year, month, 1);
}

TDateTime AddDays(TDateTime date, int64_t days) {
  const TDateTime result = date + static_cast<double>(days);
  if (!InCalendar(result)) throw EConvertError("Date is outside the calendar");
  return result;
}

// The occurrence (0..3 first to fourth, 4 last) of a weekday (0 Sunday) in the month that
// starts on `first`.
TDateTime NthWeekdayOfMonth(TDateTime first, int occurrence, int weekday) {
  if (occurrence < 0 || occurrence > 4 || weekday < 0 || weekday > 6) {
    throw EConvertError("Invalid weekday occurrence");
  }
  if (occurrence == 4) {
    int year = 0, month = 0, day = 0;
    DecodeDate(first, year, month, day);
    const TDateTime last = first + DaysInAMonth(year, month) - 1;
    return last - ((DayOfWeek(last) - 1 - weekday + 7) % 7);
  }
  return first + ((weekday - (DayOfWeek(first) - 1) + 7) % 7) + 7 * occurrence;
}

// A value of the date-setting rules: the base itself when nothing moves it.
std::string MovedDate(const std::string& base, const std::string& count,
                      const std::string& monthUnit, const std::string& dayOffset,
                      const std::string& dayMode) {
  if (count == "0" && dayMode == "0" && dayOffset == "0") return base;
  return RelativeDate(base, count, monthUnit, dayOffset, dayMode);
}

// Gives every text the tag `target`, descending into arrays of any shape.
void RetagTexts(Variant& value, TVarType target, int codePage) {
  if (value.IsArray()) {
    VarArrayData& array = value.Array();
    // NOTE: an array made for wide text holds nothing else (the platform turns a stored
    // ANSI text back into a wide one), so it keeps its elements.
    if (target == varString && array.ElementType == varOleStr) return;
    for (Variant& element : array.Elements) RetagTexts(element, target, codePage);
  } else if (target == varString && value.VarType() == varOleStr) {
    value = Variant::Ansi(WideToAnsi(value.RawText(), codePage));
  } else if (target == varOleStr && value.IsText()) {
    value = Variant::Wide(AnsiToWide(value.RawText(), codePage));
  }
}

Variant ConvertVariant(const Variant& value, TVarType target, int codePage, const char* line) {
  Variant result = value;
  if (VarIsBlank(result)) return result;
  try {
    RetagTexts(result, target, codePage);
  } catch (const std::exception& e) {
    WriteAlertLog("libstrs", std::string(line) + e.what(), 'D');
  }
  return result;
}

}  // namespace

// --- Text --------------------------------------------------------------------------------

std::string PadText(std::string_view text, int width, char fill) {
  std::string result(text);
  const int length = AnsiByteLength(text);
  if (width > length) result.append(static_cast<size_t>(width - length), fill);
  return result;
}

std::string GetField(std::string_view text, std::string_view separator, int n) {
  if (n < 1) return {};
  if (separator.empty()) return n == 1 ? std::string(text) : std::string();
  size_t start = 0;
  for (int field = 1;; ++field) {
    const size_t pos = text.find(separator, start);
    if (field == n) {
      return std::string(text.substr(start, pos == std::string_view::npos ? pos : pos - start));
    }
    if (pos == std::string_view::npos) return {};
    start = pos + separator.size();
  }
}

int CountFields(std::string_view text, std::string_view separator) {
  if (text.empty()) return 0;
  if (separator.empty()) return 1;
  int count = 1;
  for (size_t pos = text.find(separator); pos != std::string_view::npos;
       pos = text.find(separator, pos + separator.size())) {
    ++count;
  }
  return count;
}

std::string CutToken(std::string& text, std::string_view separator) {
  const size_t pos = separator.empty() ? std::string::npos : text.find(separator);
  if (pos == std::string::npos) {
    std::string token = std::move(text);
    text.clear();
    return token;
  }
  std::string token = text.substr(0, pos);
  text.erase(0, pos + separator.size());
  return token;
}

std::string ReplaceText(std::string_view text, std::string_view searched,
                        std::string_view replacement, bool trim) {
  std::string result(text);
  if (!searched.empty() && !SameText(searched, replacement)) {
    if (replacement.find(searched) != std::string_view::npos) {
      // Replacing again would never end: each original occurrence is replaced once.
      result = StringReplaceAll(result, searched, replacement);
    } else {
      // Some replacements keep forming new occurrences without end (ab -> bbaa); a text
      // far beyond what replacing each occurrence once could give is such a case.
      const size_t limit =
          result.size() * (replacement.size() / searched.size() + 1) * 4 + size_t{4096};
      size_t from = 0;
      for (size_t pos = result.find(searched); pos != std::string::npos;
           pos = result.find(searched, from)) {
        result.replace(pos, searched.size(), replacement);
        if (result.size() > limit) {
          throw EConvertError("Replacing '" + std::string(searched) + "' by '" +
                              std::string(replacement) + "' does not come to an end");
        }
        // No occurrence starts before `pos` - |searched| + 1: the text there is unchanged.
        from = pos >= searched.size() - 1 ? pos - (searched.size() - 1) : 0;
      }
    }
  }
  return trim ? Trim(result) : result;
}

std::string ReformatMasked(std::string_view text, std::string_view editMask,
                           std::string_view newMask) {
  TMaskEditState edit;
  edit.SetEditMask(editMask);
  edit.SetEditText(text);
  edit.SetEditMask(newMask);
  return edit.EditText();
}

std::string PackFields(std::string_view prefix, const Variant& fields) {
  std::string packed(prefix);
  packed += kFieldSeparator;
  packed += VarToStr(fields[0]);
  packed += kFieldSeparator;
  const int count = fields[0].AsInteger();
  for (int i = 1; i <= count; ++i) {
    packed += VarToStr(fields[i]);
    packed += kFieldSeparator;
  }
  return packed;
}

double StrToFloatDefault(std::string_view text, double def) {
  double value = 0;
  return TryStrToFloat(text, value) ? value : def;
}

Variant IfThenVar(bool flag, const Variant& whenTrue, const Variant& whenFalse) {
  return flag ? whenTrue : whenFalse;
}

bool VarIsBlank(const Variant& value) {
  return value.IsEmpty() || value.IsNull();
}

// --- Dates -------------------------------------------------------------------------------

std::string FormatDateByType(int type, std::string_view separator, TDateTime date) {
  if (std::trunc(date) == 0 || !InCalendar(date)) return {};
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  const std::string sep = FirstCharacter(separator);
  const int64_t y = year, m = month, d = day, roc = year - 1911;
  switch (type) {
    case 1:
      return Format("%.4d%s%.2d%s%.2d", {y, sep, m, sep, d});
    case 2:
      return Format("%.2d%s%.2d%s%.4d", {m, sep, d, sep, y});
    case 3:
      return Format("%.2d%s%.2d%s%.4d", {d, sep, m, sep, y});
    case 4:
      return Format("%.2d%s%.2d%s%.2d", {roc, sep, m, sep, d});
    case 5:
      return Format("%.3d%s%.2d%s%.2d", {roc, sep, m, sep, d});
    default:
      return {};
  }
}

std::string FormatYearMonthByType(int type, std::string_view separator, TDateTime date) {
  if (std::trunc(date) == 0 || !InCalendar(date)) return {};
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  const std::string sep = FirstCharacter(separator);
  const int64_t y = year, m = month, roc = year - 1911;
  switch (type) {
    case 1:
      return Format("%.4d%s%.2d", {y, sep, m});
    case 2:
    case 3:
      return Format("%.2d%s%.4d", {m, sep, y});
    case 4:
      return Format("%.2d%s%.2d", {roc, sep, m});
    case 5:
      return Format("%.3d%s%.2d", {roc, sep, m});
    default:
      return {};
  }
}

TDateTime ParseDateByType(std::string_view text, int type, std::string_view separator) {
  if (Trim(text).empty() || type < 1 || type > 5) return 0;
  const std::string sep = FirstCharacter(separator);
  std::string rest(text);
  int64_t field[3];
  for (int64_t& f : field) {
    f = StrToIntDef(Trim(CutToken(rest, sep)), -1);
    if (f <= 0) return 0;
  }
  // Positions of year, month and day in the text per type.
  static constexpr int kOrder[5][3] = {{0, 1, 2}, {2, 0, 1}, {2, 1, 0}, {0, 1, 2}, {0, 1, 2}};
  const int* order = kOrder[type - 1];
  const int64_t year = field[order[0]] + (type >= 4 ? 1911 : 0);
  const int64_t month = field[order[1]];
  const int64_t day = field[order[2]];
  TDateTime start = 0;
  if (year > 9999 || month > 12 || !TryEncodeDate(int(year), int(month), 1, start)) return 0;
  const TDateTime date = start + static_cast<double>(day - 1);
  return InCalendar(date) ? date : 0;
}

TDateTime Date8ToDate(std::string_view date8) {
  if (date8.size() != 8 || !AllDigits(date8)) return 0;
  const int year = StrToInt(date8.substr(0, 4));
  const int month = StrToInt(date8.substr(4, 2));
  const int day = StrToInt(date8.substr(6, 2));
  TDateTime date = 0;
  if (year == 0 || month == 0 || day == 0 || !TryEncodeDate(year, month, day, date)) return 0;
  return date;
}

bool IsValidDate8(std::string_view date8) {
  if (date8.empty()) return true;
  if (Date8ToDate(date8) == 0) return false;
  if constexpr (kRelease90) return date8 >= "17530101" && date8 <= "99991231";
  return true;
}

std::string AddDate8(const Variant& value, std::string_view unit, int count) {
  TDateTime date = 0;
  if (value.IsText()) {
    date = Date8ToDate(value.RawText());
  } else if (value.VarType() == varDate) {
    date = value.RawDouble();
  } else {
    return {};
  }
  if (std::trunc(date) == 0 || !InCalendar(date)) return {};
  try {
    if (SameText(unit, "Y")) return ToDate8(ShiftMonths(date, int64_t{count} * 12));
    if (SameText(unit, "M")) return ToDate8(ShiftMonths(date, count));
    if (SameText(unit, "D")) return ToDate8(AddDays(date, count));
  } catch (const EConvertError&) {
    // A result outside the calendar is no date.
  }
  return {};
}

int DaysInMonth(int year, int month) {
  return DaysInAMonth(year, month);
}

std::string RelativeDate(std::string_view base, std::string_view count, std::string_view monthUnit,
                         std::string_view dayOffset, std::string_view dayMode) {
  const int shift = StrToInt(count);
  if (base.size() < 7) {
    return ToDate8(ShiftMonths(ReadDate8(std::string(base) + "01"), shift)).substr(0, 6);
  }
  const TDateTime date = ReadDate8(base);
  const int mode = StrToInt(dayMode);
  if (monthUnit != "0") {
    const TDateTime shifted = ShiftMonths(date, shift);
    int year = 0, month = 0, day = 0;
    DecodeDate(shifted, year, month, day);
    switch (mode) {
      case 0:
        return ToDate8(AddDays(shifted, StrToInt(dayOffset)));
      case 1:
        return ToDate8(EncodeDate(year, month, 1));
      case 2:
        return ToDate8(EncodeDate(year, month, DaysInAMonth(year, month)));
      default:
        return ToDate8(shifted);
    }
  }
  if (mode != 0) return WeekBoundary(base, shift, IntToStr(mode));
  return ToDate8(AddDays(date, int64_t{shift} * 7 + StrToInt(dayOffset)));
}

std::string WeekBoundary(std::string_view base, int weeks, std::string_view mode) {
  const TDateTime date = AddDays(ReadDate8(base), int64_t{weeks} * 7);
  const int weekday = DayOfWeek(date);  // 1 = Sunday
  if (mode == "1") return ToDate8(AddDays(date, 1 - weekday));
  return ToDate8(AddDays(date, 7 - weekday));
}

std::string NextPeriodDate(std::string_view startDate, const Variant& period) {
  std::string result;
  try {
    const TDateTime start = Date8ToDate(startDate);
    if (start == 0) return result;
    int startYear = 0, startMonth = 0, startDay = 0;  // only the day is used
    DecodeDate(start, startYear, startMonth, startDay);
    const int kind = period[0].AsInteger();
    if (kind == 0) {
      result = ToDate8(start);
    } else if (kind == 1) {
      const Variant& params = period[1];
      const int interval = params[0].AsInteger();
      const int weekday = params[1].AsInteger();
      if (interval < 1 || weekday < 0 || weekday > 6) return result;
      const int startWeekday = DayOfWeek(start) - 1;
      const int64_t weeks = weekday >= startWeekday ? interval - 1 : interval;
      result = ToDate8(AddDays(start, weekday - startWeekday + weeks * 7));
    } else if (kind == 2) {
      const Variant& params = period[1];
      const int rule = params[0].AsInteger();
      const int interval = params[1].AsInteger();
      if (interval < 1) return result;
      if (rule == 0) {
        const int day = params[2].AsInteger();
        if (day < 1) return result;
        int year = 0, month = 0, first = 0;
        DecodeDate(MonthStart(start, int64_t{interval} - (day >= startDay ? 1 : 0)), year, month,
                   first);
        result = ToDate8(EncodeDate(year, month, std::min(day, DaysInAMonth(year, month))));
      } else if (rule == 1) {
        const int occurrence = params[2].AsInteger();
        const int weekday = params[3].AsInteger();
        std::string date = ToDate8(
            NthWeekdayOfMonth(MonthStart(start, int64_t{interval} - 1), occurrence, weekday));
        if (date < startDate) {
          date = ToDate8(NthWeekdayOfMonth(MonthStart(start, interval), occurrence, weekday));
        }
        result = date;
      }
    }
  } catch (const std::exception&) {
    // An unusable definition leaves the result as far as it got.
  }
  return result;
}

Variant ApplyDateSettings(const Variant& args, std::string_view runDate) {
  const std::string sep(1, kFieldSeparator);
  try {
    Variant values = args[1];
    const Variant& settings = args[3];
    const int count = settings[0].AsInteger();
    for (int i = 1; i <= count; ++i) {
      const std::string record = settings[i].ToStringStrict();
      auto field = [&](int n) { return GetField(record, sep, n); };
      const bool single = field(1) != "0";
      const std::string unit = single ? field(8) : field(13);
      const std::string base =
          unit == "D" ? std::string(runDate) : std::string(runDate.substr(0, 6));
      Variant& target = values[StrToInt(single ? field(9) : field(14))];
      if (single) {
        if (field(3) == "Y") target = MovedDate(base, field(4), field(5), field(7), field(6));
        continue;
      }
      if (field(3) == "Y") target[1] = MovedDate(base, field(4), field(5), field(7), field(6));
      if (field(8) == "Y") target[2] = MovedDate(base, field(9), field(10), field(12), field(11));
    }
    return values;
  } catch (const std::exception&) {
    return Variant(std::string());
  }
}

// --- System and code pages --------------------------------------------------------------

bool IsLocalAddress(std::string_view host) {
  return host == "127.0.0.1";
}

std::string WideToAnsi(std::string_view text, int /*codePage*/) {
  return std::string(text);
}

std::string AnsiToWide(std::string_view text, int /*codePage*/) {
  return std::string(text);
}

Variant VariantToAnsi(const Variant& value, int codePage) {
  return ConvertVariant(value, varString, codePage, "LINE[2735] ");
}

Variant VariantToWide(const Variant& value, int codePage) {
  return ConvertVariant(value, varOleStr, codePage, "LINE[115] ");
}
