// The host's lookup window (HostApp.Com_F2Window): it finds the candidate rows of a
// lookup, lets the installed chooser pick, and answers the picked rows. Without a
// chooser every window counts as cancelled.
//
//   F2GetData(request)       request: the 19-item array [code, kind, params, multi,
//                            extra, CompanyID, CompanyKey, window, 1, False, ProductID,
//                            "", "", "", rights text, rights flag B, rights flag A,
//                            HostApp, UserID]; answer: the picked rows (0-based array
//                            of rows, in candidate order) or Empty when cancelled
//   ShowInputDay([roc, start, CompanyKey])
//                            the picked date "YYYYMMDD", "" when cancelled; roc: the
//                            display type is greater than 3 (ROC years); a start that
//                            is no date "YYYYMMDD" starts at today
//   GetPhrase(UserID, CompanyKey, window)
//                            the picked common phrase, "" when cancelled
//
// Lookups served (params: the request's parameters, one text or an array of texts;
// extra: the request's extra text; both are prefixes, compared without regard to case):
//   CUSTG 01  carry-over forms: form type, form number, date, contract number, audit
//             status text, partner. params [form type, form number] (either may be
//             empty); a first parameter longer than the type is matched against type
//             and number written together
//   CUSTG 02  contracts: contract number, customer, trade mode, expiry date, signing
//             date, status. params [contract number] (optional); extra: contract number
//   QMTMA 04  active users: user id, name, mobile, e-mail, department. extra: user id
//             (or a part of the name)
//   CMSMS 01  page footers (params ["1"]) or sign-offs (["2"]): code, name, text 1,
//             text 2, text 3. extra: code
// A failure (a request of the wrong shape, an unknown code, too few parameters, a
// chooser that picks a row that does not exist or a date that is no date) answers
// Empty or "" and leaves its reason in ErrorText; a cancel is no failure.
#pragma once

#include <memory>

#include "HostCommon.h"
#include "HostDatabase.h"
#include "LookupChooser.h"

class TLookupWindow : public THostServiceObject {
 public:
  TLookupWindow(std::shared_ptr<THostDatabase> database, std::shared_ptr<TLookupChooser> chooser);

  const std::shared_ptr<TLookupChooser>& Chooser() const { return chooser_; }
  void SetChooser(std::shared_ptr<TLookupChooser> chooser) { chooser_ = std::move(chooser); }

  Variant F2GetData(const Variant& request);
  std::string ShowInputDay(const Variant& args);
  std::string GetPhrase(const Variant& userID, const Variant& companyKey, const Variant& window);

 private:
  std::shared_ptr<THostDatabase> database_;
  std::shared_ptr<TLookupChooser> chooser_;
};
