// The application server object "ReportCounterS.dmReportCounter": condition schemes, the
// job queue and the user's rights, called late-bound by the report forms, through
// orvant-appserver or created in process.
//
// Configuration (environment):
//   ORVANT_SERVER_DB  the SQLite store of schemes and jobs (created when missing); calls
//                     that need the store fail with a clear text while it is unset
//   ORVANT_DEMO_DB    the demo ERP database whose USERPOWER table GetPower reads; when
//                     unset or missing, GetPower answers full rights
//
// Calls (texts answered as wide texts):
//   SQLType()                         the store's SQL dialect number
//   GetPower([CompanyKey, UserID, ProgramID, ""])   the rights record (UserPower.h)
//   Request(package)                  the job number; refusals raise, ErrorDescript tells why
//   Request1(package, computer)       the request number (8 digits; the job number is the
//                                     request number followed by "0001")
//   ErrorDescript()                   the text of the last refusal
//   UpdateStatus1(request number, messages, date-time)
//   LoadTable([UserID, ProgramID])    chooses the schemes pvdConSave answers; their count
//   InsertConTable([name, UserID, YYYYMMDD, ProgramID, property list, value text, Replace])
//   DeleteConTable([name, UserID, ProgramID])
//   ChangeConName([old name, UserID, ProgramID], [new name, UserID, ProgramID])
//                                     the three scheme calls answer "" when done, else why not
//   AS_GetRecords("pvdConSave")       the chosen schemes: a 2-D array, row 0 the column names
//                                     NCONDITION, CREATOR, PROGRAMME, SCONDITION,
//                                     VCONDITION, CREATE_DATE, then one row per scheme
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ComObj.h"
#include "ReportStore.h"

inline constexpr const char* kReportCounterProgID = "ReportCounterS.dmReportCounter";
inline constexpr const char* kConSaveProvider = "pvdConSave";
// Scheme names are limited to this many bytes of ANSI text (code page 936).
inline constexpr int kMaxSchemeNameBytes = 20;

class TdmReportCounter : public TAutoObject {
 public:
  TdmReportCounter(std::string storePath, std::string demoDatabasePath);
  // Paths from ORVANT_SERVER_DB and ORVANT_DEMO_DB (see above), read at creation.
  static std::shared_ptr<TdmReportCounter> CreateFromEnvironment();

  int SQLType();
  Variant GetPower(const Variant& keys);
  std::string Request(const Variant& package);
  std::string Request1(const Variant& package, const Variant& computerName);
  const std::string& ErrorDescript() const { return lastRefusal_; }
  void UpdateStatus1(const Variant& requestNumber, const Variant& messages, const Variant& when);
  int LoadTable(const Variant& keys);
  std::string InsertConTable(const Variant& scheme);
  std::string DeleteConTable(const Variant& key);
  std::string ChangeConName(const Variant& oldKey, const Variant& newKey);
  Variant AS_GetRecords(const std::string& providerName);

  // The store (opened on first use); raises EReportStoreError when it cannot be opened.
  TReportStore& Store();

 private:
  void AddCall(const std::string& name, Method method);
  std::string Submit(const Variant& package, bool registered, const std::string& computer);

  std::string storePath_;
  std::string demoDatabasePath_;
  std::unique_ptr<TReportStore> store_;
  std::string lastRefusal_;
  std::optional<std::pair<std::string, std::string>> schemeFilter_;  // LoadTable's user, program
};

// "00000042" for request 42; the job number of a queued request adds "0001".
std::string RequestNumberText(int64_t requestID);
// The request id of a request or job number, or 0 when the text is not one.
int64_t ParseRequestNumber(const std::string& text);
