#include "dmReportCounter.h"

#include <cstdlib>

#include "CodePage.h"
#include "RequestPackage.h"
#include "UserPower.h"
#include "Wire.h"

namespace {

constexpr int kRequestDigits = 8;
constexpr int64_t kMaxRequestID = 99999999;
constexpr const char* kFirstRun = "0001";
constexpr int kSchemeCodePage = 936;
// The code of the object's own failures, as a caller sees them in process or remotely.
constexpr int32_t kServerFailure = static_cast<int32_t>(0x80004005);

// A scheme call's argument that does not fit; the text is the call's answer.
KXBR_EXCEPTION_CLASS(ESchemeRefused, Exception)

[[noreturn]] void RefuseScheme(const std::string& why) {
  throw ESchemeRefused(why);
}

std::string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The items of a 1-D array argument, from its low bound.
std::vector<Variant> Items(const Variant& v, size_t minimum, const std::string& what) {
  if (!v.IsArray() || VarArrayDimCount(v) != 1)
    RefuseScheme(what + " must be a one-dimensional array");
  std::vector<Variant> items;
  for (int k = VarArrayLowBound(v, 1); k <= VarArrayHighBound(v, 1); ++k) items.push_back(v[k]);
  if (items.size() < minimum)
    RefuseScheme(what + " must have " + IntToStr(static_cast<int64_t>(minimum)) + " items");
  return items;
}

std::string Text(const Variant& v, const std::string& what) {
  if (!v.IsText()) RefuseScheme(what + " must be a text");
  if (Trim(v.RawText()).empty()) RefuseScheme(what + " must not be empty");
  return v.RawText();
}

std::string SchemeName(const Variant& v) {
  const std::string name = Text(v, "The scheme name");
  if (AnsiByteLength(name, kSchemeCodePage) > kMaxSchemeNameBytes)
    RefuseScheme("The scheme name \"" + name + "\" is longer than " +
                 IntToStr(kMaxSchemeNameBytes) + " bytes");
  return name;
}

TSchemeKey KeyOf(const Variant& v, const std::string& what) {
  const std::vector<Variant> items = Items(v, 3, what);
  return {SchemeName(items[0]), Text(items[1], "The user id"), Text(items[2], "The program id")};
}

// Answers "" when the call did its work, else the reason it did not.
template <typename Work>
std::string SchemeCall(Work&& work) {
  try {
    work();
    return {};
  } catch (const ESchemeRefused& e) {
    return e.Message();
  }
}

}  // namespace

std::string RequestNumberText(int64_t requestID) {
  std::string digits = IntToStr(requestID);
  if (digits.size() < kRequestDigits) digits.insert(0, kRequestDigits - digits.size(), '0');
  return digits;
}

int64_t ParseRequestNumber(const std::string& text) {
  const std::string t = Trim(text);
  if (t.size() < kRequestDigits) return 0;
  for (int k = 0; k < kRequestDigits; ++k)
    if (t[k] < '0' || t[k] > '9') return 0;
  int64_t id = 0;
  TryStrToInt64(t.substr(0, kRequestDigits), id);
  return id;
}

void TdmReportCounter::AddCall(const std::string& name, Method method) {
  // Every failure leaves the object as EOleException, in process exactly as through the
  // server, so that a caller sees the same exception on both paths.
  AddMethod(name, [method = std::move(method)](std::vector<Variant>& args) {
    try {
      return method(args);
    } catch (const EOleError&) {
      throw;
    } catch (const Exception& e) {
      throw EOleException(e.Message(), kServerFailure);
    } catch (const std::exception& e) {
      throw EOleException(e.what(), kServerFailure);
    }
  });
}

TdmReportCounter::TdmReportCounter(std::string storePath, std::string demoDatabasePath)
    : storePath_(std::move(storePath)), demoDatabasePath_(std::move(demoDatabasePath)) {
  AddCall("SQLType", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 0);
    return Variant(SQLType());
  });
  AddCall("GetPower", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return GetPower(a[0]);
  });
  AddCall("Request", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return Variant::Wide(Request(a[0]));
  });
  AddCall("Request1", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 2);
    return Variant::Wide(Request1(a[0], a[1]));
  });
  AddCall("ErrorDescript", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 0);
    return Variant::Wide(ErrorDescript());
  });
  AddCall("UpdateStatus1", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 3);
    UpdateStatus1(a[0], a[1], a[2]);
    return Variant();
  });
  AddCall("LoadTable", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return Variant(LoadTable(a[0]));
  });
  AddCall("InsertConTable", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return Variant::Wide(InsertConTable(a[0]));
  });
  AddCall("DeleteConTable", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return Variant::Wide(DeleteConTable(a[0]));
  });
  AddCall("ChangeConName", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 2);
    return Variant::Wide(ChangeConName(a[0], a[1]));
  });
  AddCall("AS_GetRecords", [this](std::vector<Variant>& a) {
    CheckArgCount(a, 1);
    return AS_GetRecords(a[0].AsString());
  });
}

std::shared_ptr<TdmReportCounter> TdmReportCounter::CreateFromEnvironment() {
  return std::make_shared<TdmReportCounter>(EnvironmentText("ORVANT_SERVER_DB"),
                                            EnvironmentText("ORVANT_DEMO_DB"));
}

TReportStore& TdmReportCounter::Store() {
  if (!store_) {
    if (storePath_.empty())
      throw EReportStoreError("No store is configured: set ORVANT_SERVER_DB to the store file");
    store_ = OpenSQLiteReportStore(storePath_);
  }
  return *store_;
}

int TdmReportCounter::SQLType() {
  return Store().SQLType();
}

Variant TdmReportCounter::GetPower(const Variant& keys) {
  if (!keys.IsArray() || VarArrayDimCount(keys) != 1 ||
      VarArrayHighBound(keys, 1) - VarArrayLowBound(keys, 1) < 2)
    throw EOleException("GetPower needs [CompanyKey, UserID, ProgramID, \"\"]", kServerFailure);
  const int low = VarArrayLowBound(keys, 1);
  return ReadUserPower(demoDatabasePath_, keys[low].AsString(), keys[low + 1].AsString(),
                       keys[low + 2].AsString());
}

std::string TdmReportCounter::Submit(const Variant& package, bool registered,
                                     const std::string& computer) {
  try {
    const TRequestSummary summary = CheckRequestPackage(package);
    TJobSubmission job;
    job.Registered = registered;
    job.ProgramID = UpperCase(summary.ProgramID);
    job.CompanyID = summary.CompanyID;
    job.UserID = summary.UserID;
    job.CompanyKey = summary.CompanyKey;
    job.ReportKind = summary.ReportKind;
    job.RunMode = summary.RunMode;
    job.RunTime = summary.RunTime;
    job.Periodic = summary.Periodic;
    job.Computer = computer;
    job.Package = EncodeVariant(package);
    job.Created = Now();
    const int64_t id = Store().AddJob(job);
    if (id > kMaxRequestID) throw EReportStoreError("The request numbers are used up");
    return RequestNumberText(id);
  } catch (const Exception& e) {
    lastRefusal_ = e.Message();
    throw;
  } catch (const std::exception& e) {
    lastRefusal_ = e.what();
    throw;
  }
}

std::string TdmReportCounter::Request(const Variant& package) {
  return Submit(package, false, "") + kFirstRun;
}

std::string TdmReportCounter::Request1(const Variant& package, const Variant& computerName) {
  if (!computerName.IsText() && !computerName.IsEmpty()) {
    lastRefusal_ = "The computer name must be a text";
    throw ERequestRefused(lastRefusal_);
  }
  return Submit(package, true, computerName.AsString());
}

void TdmReportCounter::UpdateStatus1(const Variant& requestNumber, const Variant& messages,
                                     const Variant& when) {
  const std::string number = requestNumber.AsString();
  const int64_t id = ParseRequestNumber(number);
  if (id == 0) throw EOleException("\"" + number + "\" is not a request number", kServerFailure);
  if (!Store().UpdateJobStatus(id, messages.AsString(), when.AsDate()))
    throw EOleException("Request " + number + " does not exist", kServerFailure);
}

int TdmReportCounter::LoadTable(const Variant& keys) {
  std::vector<Variant> items;
  try {
    items = Items(keys, 2, "LoadTable's argument");
  } catch (const ESchemeRefused& e) {
    throw EOleException(e.Message() + " [UserID, ProgramID]", kServerFailure);
  }
  schemeFilter_.emplace(items[0].AsString(), items[1].AsString());
  return static_cast<int>(Store().LoadSchemes(schemeFilter_->first, schemeFilter_->second).size());
}

std::string TdmReportCounter::InsertConTable(const Variant& scheme) {
  return SchemeCall([&] {
    const std::vector<Variant> items = Items(scheme, 7, "The scheme");
    TScheme s;
    s.Key.Name = SchemeName(items[0]);
    s.Key.Creator = Text(items[1], "The user id");
    s.CreateDate = Text(items[2], "The creation date");
    int year = 0, month = 0, day = 0;
    TDateTime date = 0;
    if (s.CreateDate.size() != 8 || !TryStrToInt(s.CreateDate.substr(0, 4), year) ||
        !TryStrToInt(s.CreateDate.substr(4, 2), month) ||
        !TryStrToInt(s.CreateDate.substr(6, 2), day) || !TryEncodeDate(year, month, day, date))
      RefuseScheme("The creation date \"" + s.CreateDate + "\" is not a date YYYYMMDD");
    s.Key.Programme = Text(items[3], "The program id");
    if (!items[4].IsText() || !items[5].IsText())
      RefuseScheme("The property list and the value text must be texts");
    s.PropList = items[4].RawText();
    s.ValueText = items[5].RawText();
    bool replace = false;
    try {
      replace = items[6].AsBoolean();
    } catch (const EVariantError&) {
      RefuseScheme("The replace flag must be a Boolean");
    }
    if (!Store().SaveScheme(s, replace))
      RefuseScheme("The scheme \"" + s.Key.Name + "\" already exists");
  });
}

std::string TdmReportCounter::DeleteConTable(const Variant& key) {
  return SchemeCall([&] {
    const TSchemeKey k = KeyOf(key, "The scheme key");
    if (!Store().DeleteScheme(k)) RefuseScheme("The scheme \"" + k.Name + "\" does not exist");
  });
}

std::string TdmReportCounter::ChangeConName(const Variant& oldKey, const Variant& newKey) {
  return SchemeCall([&] {
    const TSchemeKey from = KeyOf(oldKey, "The old scheme key");
    const TSchemeKey to = KeyOf(newKey, "The new scheme key");
    if (from.Name == to.Name && from.Creator == to.Creator && from.Programme == to.Programme)
      return;
    switch (Store().RenameScheme(from, to)) {
      case rrDone:
        return;
      case rrMissing:
        RefuseScheme("The scheme \"" + from.Name + "\" does not exist");
      case rrTaken:
        RefuseScheme("A scheme named \"" + to.Name + "\" already exists");
    }
  });
}

Variant TdmReportCounter::AS_GetRecords(const std::string& providerName) {
  if (!SameText(providerName, kConSaveProvider))
    throw EOleException("Provider not exported: " + providerName, kServerFailure);
  std::vector<TScheme> rows;
  if (schemeFilter_) rows = Store().LoadSchemes(schemeFilter_->first, schemeFilter_->second);
  static const char* const kColumns[] = {"NCONDITION", "CREATOR",    "PROGRAMME",
                                         "SCONDITION", "VCONDITION", "CREATE_DATE"};
  Variant result = VarArrayCreate({0, static_cast<int>(rows.size()), 0, 5}, varVariant);
  for (int c = 0; c < 6; ++c) result.At({0, c}) = Variant::Wide(kColumns[c]);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    const TScheme& s = rows[r];
    const std::string cells[] = {s.Key.Name, s.Key.Creator, s.Key.Programme,
                                 s.PropList, s.ValueText,   s.CreateDate};
    for (int c = 0; c < 6; ++c) result.At({row, c}) = Variant::Wide(cells[c]);
  }
  return result;
}
