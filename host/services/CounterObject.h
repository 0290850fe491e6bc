// The host's counter object (HostApp.Com_Counter): company settings and counters.
//
//   GetSysInfo(CompanyID)                 [[name, ...], [value, ...]]: the company's
//                                         settings in their order; two empty rows for a
//                                         company that has none
//   GetCounter(Name, Params, [CompanyID, CompanyKey])
//                                         the counter's result; the one counter served is
//                                         "SIMPLESQL" with Params [statement, columns]:
//                                         the rows of one read-only SELECT or WITH
//                                         statement, restricted to the named columns
//                                         (comma-separated; empty: all), in their order
//
// GetCounter raises an exception with a clear text for an unknown counter, a bad
// argument or a statement it refuses; nothing it is given can change the database.
#pragma once

#include <memory>

#include "HostCommon.h"
#include "HostDatabase.h"

class TCounterObject : public THostServiceObject {
 public:
  explicit TCounterObject(std::shared_ptr<THostDatabase> database);

  Variant GetSysInfo(const Variant& companyID);
  Variant GetCounter(const Variant& name, const Variant& params, const Variant& company);

 private:
  Variant SimpleSQL(const Variant& params);

  std::shared_ptr<THostDatabase> database_;
};
