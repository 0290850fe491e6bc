// The shared library of "ReportCounterS.dmReportCounter". The ProgID table names it:
//   ReportCounterS.dmReportCounter=libReportCounterS.so:CreateReportCounter
#include "dmReportCounter.h"

extern "C" __attribute__((visibility("default"))) void CreateReportCounter(DispatchPtr* out) {
  try {
    *out = TdmReportCounter::CreateFromEnvironment();
  } catch (const std::exception&) {
    out->reset();  // CreateOleObject then reports "Class not registered"
  }
}
