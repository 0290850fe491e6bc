// The job request package as the report counter object accepts it:
//   0..2  [environment 1..EnvCount, condition texts 1..ConditionCount,
//          condition values 1..ConditionCount]
//   0..4  the same for a periodic job, with the period definition and the moving dates
// Environment entries: 1 program code, 2 EnvCount, 3 ConditionCount, 4 CompanyID,
// 5 UserID, 6 CompanyKey, 7 time of building, 8 server ProgID (program code + "S.Class1"),
// 9 report kind (lower case for a periodic job); from 12 entries on: 10 run mode 0..2,
// 11 run time, 12 notification XML; from 14 entries on: 13 output flags 1..7,
// 14 report extension name. No entry may be Empty or Null.
#pragma once

#include <string>

#include "DateTime.h"
#include "SysUtils.h"
#include "Variant.h"

// A package the server refuses; the text is the reason, as ErrorDescript answers it.
KXBR_EXCEPTION_CLASS(ERequestRefused, Exception)

struct TRequestSummary {
  std::string ProgramID;
  int EnvCount = 0;
  int ConditionCount = 0;
  std::string CompanyID;
  std::string UserID;
  std::string CompanyKey;
  TDateTime BuildTime = 0;
  std::string ServerProgID;
  std::string ReportKind;
  int RunMode = 0;        // 0 when the package has fewer than 12 entries
  TDateTime RunTime = 0;  // the time of building when the package has no run time
  bool Periodic = false;
};

// Checks the package's bounds, counts and environment entries; raises ERequestRefused.
TRequestSummary CheckRequestPackage(const Variant& package);
