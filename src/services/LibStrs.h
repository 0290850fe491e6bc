// The module's library of free functions on text, storage dates ("YYYYMMDD", year-month
// "YYYYMM"), variants and code pages. Every function is stateless and shows nothing.
//
// Deviations by design:
// - Texts are UTF-8 in memory; wide and ANSI texts differ only in the Variant tag, so the
//   code-page conversions keep the characters and change the tags.
// - Storage dates must be exactly eight digits; dates outside 0001-01-01..9999-12-31 are
//   not dates (failure result) instead of wrapping.
// - ReplaceText with a replacement that holds the searched text replaces each original
//   occurrence once instead of looping for ever.
// - The variant conversions descend into nested arrays at every level and into arrays of
//   any dimension count.
#pragma once

#include <string>
#include <string_view>

#include "AlertLog.h"  // WriteAlertLog belongs to this unit's interface
#include "DateTime.h"
#include "SysInfo.h"  // GetTempFolder belongs to this unit's interface
#include "Variant.h"

// --- Text --------------------------------------------------------------------------------

// The text followed by `fill` up to `width` ANSI bytes of the interface code page; a text
// already that long comes back unchanged.
std::string PadText(std::string_view text, int width, char fill = ' ');
// The n-th field (from 1) of the text split at `separator`; empty when there are fewer.
std::string GetField(std::string_view text, std::string_view separator, int n);
// Separators + 1; 0 for the empty text.
int CountFields(std::string_view text, std::string_view separator);
// Returns the part before the first separator and leaves the rest (after it) in `text`;
// without a separator returns the whole text and empties `text`.
std::string CutToken(std::string& text, std::string_view separator);
// When `searched` and `replacement` differ without case: replaces the first occurrence
// (case-sensitive) again and again until none remains; then trims when asked.
std::string ReplaceText(std::string_view text, std::string_view searched,
                        std::string_view replacement, bool trim);
// prefix #3 element0 #3, then elements 1..element0 each followed by #3. Raises the
// platform's variant errors when the array does not hold what element 0 promises.
std::string PackFields(std::string_view prefix, const Variant& fields);
// The text a masked edit shows after its mask is changed from `editMask` to `newMask`,
// `text` being what it showed before (an empty mask: an unmasked edit). The characters
// are re-flowed, not re-interpreted: "2004/01/15" under "9999/99/99;1; " becomes
// "20/04/0115" under "99/99/9999;1; ".
std::string ReformatMasked(std::string_view text, std::string_view editMask,
                           std::string_view newMask);
double StrToFloatDefault(std::string_view text, double def);
Variant IfThenVar(bool flag, const Variant& whenTrue, const Variant& whenFalse);
bool VarIsBlank(const Variant& value);  // Empty or Null

// --- Dates -------------------------------------------------------------------------------
// Display types: 1 y/m/d, 2 m/d/y, 3 d/m/y, 4 ROC year (two digits at least), 5 ROC year
// (three digits at least); ROC years count from 1912. The separator is the first character
// of the separator text (none when it is empty).

// Empty for date 0, an unknown type or a date outside the calendar.
std::string FormatDateByType(int type, std::string_view separator, TDateTime date);
std::string FormatYearMonthByType(int type, std::string_view separator, TDateTime date);
// 0 when the text is blank or not readable. Days past the month's end run on into the
// next months (2024/02/31 gives 2024-03-02).
TDateTime ParseDateByType(std::string_view text, int type, std::string_view separator);
// 0 unless the text is eight digits forming a real date.
TDateTime Date8ToDate(std::string_view date8);
// True for the empty text or eight digits forming a real date; release 9.0 also requires
// "17530101" <= text <= "99991231".
bool IsValidDate8(std::string_view date8);
// The value (a storage-date text or a varDate) shifted by `count` of unit "Y", "M" or "D"
// (any case), as "yyyymmdd"; a day that does not exist in the target month steps back to
// its last day. Empty for anything else, date 0 or a result outside the calendar.
std::string AddDate8(const Variant& value, std::string_view unit, int count);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

// The date-setting rule of schemes and periodic jobs; the count-like values are decimal
// text. A base shorter than 7 characters is a year-month and gives a year-month.
// monthUnit "0" means weeks. dayMode: 0 add the offset, 1 first day, 2 last day (of the
// month, or of the week for week units). Raises EConvertError for unreadable values.
std::string RelativeDate(std::string_view base, std::string_view count, std::string_view monthUnit,
                         std::string_view dayOffset, std::string_view dayMode);
// `weeks` weeks from the base; mode "1" gives that week's Sunday, any other its Saturday.
// Raises EConvertError for an unreadable base.
std::string WeekBoundary(std::string_view base, int weeks, std::string_view mode);
// The first run date of a periodic job from its start date and period definition
// [kind, parameters]; empty for the hourly kind and for anything unusable.
std::string NextPeriodDate(std::string_view startDate, const Variant& period);
// args[1] = condition values, args[3] = date settings [count, record 1..count]; each record
// moves its condition value relative to the run date "YYYYMMDD". The updated values, or an
// empty text on any failure.
Variant ApplyDateSettings(const Variant& args, std::string_view runDate);

// --- System and code pages --------------------------------------------------------------

bool IsLocalAddress(std::string_view host);  // exactly "127.0.0.1"
// Characters are kept: a text becomes bytes of a code page only at the edges (files, byte
// counts), and a character that a code page cannot hold stays as it is.
std::string WideToAnsi(std::string_view text, int codePage);
std::string AnsiToWide(std::string_view text, int codePage);
// A copy with every wide text (also inside arrays) made an ANSI text.
Variant VariantToAnsi(const Variant& value, int codePage);
// A copy with every text (also inside arrays) made a wide text.
Variant VariantToWide(const Variant& value, int codePage);
