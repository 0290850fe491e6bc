#include "RequestPackage.h"

namespace {

const char* const kEnvironmentNames[] = {
    "",         "program code", "environment count", "condition count", "company id",
    "user id",  "company key",  "time of building",  "server ProgID",   "report kind",
    "run mode", "run time",     "notification list", "output flags",    "report extension name"};
constexpr int kNamedEntries = 14;
constexpr int kBaseEnvCount = 9;

[[noreturn]] void Refuse(const std::string& why) {
  throw ERequestRefused(why);
}

std::string EntryName(int index) {
  std::string name = "environment entry " + IntToStr(index);
  if (index >= 1 && index <= kNamedEntries)
    name += std::string(" (") + kEnvironmentNames[index] + ")";
  return name;
}

// The high bound of a one-dimensional array that starts at `low`.
int VectorHigh(const Variant& v, int low, const std::string& what) {
  if (!v.IsArray() || VarArrayDimCount(v) != 1) Refuse(what + " must be a one-dimensional array");
  if (VarArrayLowBound(v, 1) != low) Refuse(what + " must start at index " + IntToStr(low));
  return VarArrayHighBound(v, 1);
}

std::string TextOf(const Variant& v, const std::string& what, bool required) {
  if (!v.IsText()) Refuse(what + " must be a text");
  if (required && Trim(v.RawText()).empty()) Refuse(what + " must not be empty");
  return v.RawText();
}

int IntegerOf(const Variant& v, const std::string& what, int64_t low, int64_t high) {
  if (!VarTypeIsInteger(v.VarType())) Refuse(what + " must be an integer");
  const int64_t n = v.RawInteger();
  if (n < low || n > high)
    Refuse(what + " must be between " + IntToStr(low) + " and " + IntToStr(high) + ", not " +
           IntToStr(n));
  return static_cast<int>(n);
}

TDateTime DateTimeOf(const Variant& v, const std::string& what) {
  if (v.VarType() != varDate && v.VarType() != varDouble) Refuse(what + " must be a date and time");
  return v.RawDouble();
}

bool IsBlank(const Variant& v) {
  return v.IsEmpty() || v.IsNull();
}

void CheckPeriodDefinition(const Variant& definition) {
  const std::string what = "the period definition";
  if (VectorHigh(definition, 0, what) != 3) Refuse(what + " must have the elements 0..3");
  if (TextOf(definition[0], what + " element 0", true) != "Y")
    Refuse(what + " element 0 must be \"Y\"");
  const std::string time = TextOf(definition[1], what + " element 1 (run time)", true);
  int hour = -1, minute = -1;
  if (time.size() != 5 || time[2] != ':' || !TryStrToInt(time.substr(0, 2), hour) ||
      !TryStrToInt(time.substr(3, 2), minute) || hour < 0 || hour > 23 || minute < 0 || minute > 59)
    Refuse(what + " element 1 must be a time \"hh:nn\", not \"" + time + "\"");
  if (!definition[2].IsArray()) Refuse(what + " element 2 (cycle) must be an array");
  if (!definition[3].IsArray()) Refuse(what + " element 3 (range) must be an array");
}

void CheckMovingDates(const Variant& list) {
  const std::string what = "the moving-date list";
  const int high = VectorHigh(list, 0, what);
  if (high < 0) Refuse(what + " must hold its count in element 0");
  if (IntegerOf(list[0], what + " element 0 (count)", 0, INT32_MAX) != high)
    Refuse(what + " count does not match its " + IntToStr(high) + " records");
  for (int k = 1; k <= high; ++k) TextOf(list[k], what + " record " + IntToStr(k), true);
}

}  // namespace

TRequestSummary CheckRequestPackage(const Variant& package) {
  TRequestSummary r;
  const int packageHigh = VectorHigh(package, 0, "The request package");
  if (packageHigh != 2 && packageHigh != 4)
    Refuse("The request package must have the elements 0..2, or 0..4 for a periodic job");
  r.Periodic = packageHigh == 4;

  const Variant& env = package[0];
  r.EnvCount = VectorHigh(env, 1, "The environment");
  if (r.EnvCount < kBaseEnvCount)
    Refuse("The environment must have at least " + IntToStr(kBaseEnvCount) + " entries, not " +
           IntToStr(r.EnvCount));
  for (int k = 1; k <= r.EnvCount; ++k)
    if (IsBlank(env[k])) Refuse("The " + EntryName(k) + " is empty");
  const auto name = [](int k) { return "The " + EntryName(k); };

  r.ProgramID = Trim(TextOf(env[1], name(1), true));
  if (IntegerOf(env[2], name(2), 0, INT32_MAX) != r.EnvCount)
    Refuse("The " + EntryName(2) + " says " + env[2].AsString() + " but the environment has " +
           IntToStr(r.EnvCount) + " entries");
  r.ConditionCount = IntegerOf(env[3], name(3), 0, INT32_MAX);
  r.CompanyID = TextOf(env[4], name(4), true);
  r.UserID = TextOf(env[5], name(5), true);
  r.CompanyKey = TextOf(env[6], name(6), true);
  r.BuildTime = DateTimeOf(env[7], name(7));
  r.ServerProgID = TextOf(env[8], name(8), true);
  if (!SameText(r.ServerProgID, r.ProgramID + "S.Class1"))
    Refuse("The " + EntryName(8) + " must be \"" + r.ProgramID + "S.Class1\", not \"" +
           r.ServerProgID + "\"");
  r.ReportKind = TextOf(env[9], name(9), true);
  if (r.ReportKind.size() > 2)
    Refuse("The " + EntryName(9) + " \"" + r.ReportKind + "\" is not a report kind");
  const bool lowerKind =
      LowerCase(r.ReportKind) == r.ReportKind && UpperCase(r.ReportKind) != r.ReportKind;
  if (r.Periodic != lowerKind)
    Refuse(r.Periodic
               ? "A periodic job must have its report kind in lower case"
               : "A report kind in lower case needs the period definition and the moving dates");
  r.RunTime = r.BuildTime;
  if (r.EnvCount >= 10) r.RunMode = IntegerOf(env[10], name(10), 0, 2);
  if (r.EnvCount >= 11) r.RunTime = DateTimeOf(env[11], name(11));
  if (r.EnvCount >= 12) TextOf(env[12], name(12), false);
  if (r.EnvCount >= 13) IntegerOf(env[13], name(13), 1, 7);
  if (r.EnvCount >= 14) TextOf(env[14], name(14), false);

  const Variant& texts = package[1];
  const Variant& values = package[2];
  const std::string count = IntToStr(r.ConditionCount);
  if (VectorHigh(texts, 1, "The condition texts") != r.ConditionCount)
    Refuse("The condition texts must have the " + count + " entries the environment announces");
  if (VectorHigh(values, 1, "The condition values") != r.ConditionCount)
    Refuse("The condition values must have the " + count + " entries the environment announces");
  for (int k = 1; k <= r.ConditionCount; ++k) {
    const Variant& entry = texts[k];
    const std::string what = "Condition text " + IntToStr(k);
    if (!entry.IsArray() || VarArrayDimCount(entry) != 1 ||
        VarArrayHighBound(entry, 1) - VarArrayLowBound(entry, 1) != 1)
      Refuse(what + " must be a pair [caption, control name]");
    const int low = VarArrayLowBound(entry, 1);
    TextOf(entry[low], what + " caption", false);
    TextOf(entry[low + 1], what + " control name", true);
    if (IsBlank(values[k])) Refuse("Condition value " + IntToStr(k) + " is empty");
  }

  if (r.Periodic) {
    CheckPeriodDefinition(package[3]);
    CheckMovingDates(package[4]);
  }
  return r;
}
