// The host's validator object (HostApp.Com_Validator): table checks and queries by name
// and number. Both calls take (name, number, CompanyKey, keys, result) and write the
// result argument:
//   CheckValue  the first matching row, a 0-based array of columns; true when found
//   QueryData   every matching row, a 0-based array of rows; true when any matched
// When nothing matches, or the call fails, the answer is false and the result Empty; a
// failure (unknown name or number, keys that are not an array of simple values, too few
// keys, a store that cannot be read) also leaves its reason in ErrorText.
//
// Queries served, with their keys and the columns of a row:
//   ADMMB 01  [ProgramID]          name, program id, system, kind, logging flag (Y/N),
//                                  version, direct query withheld (Y/N), English name
//   ADMMB 11  [ProgramID]          program id, name, logging flag, direct query withheld
//   CMSMS 01  [kind, code]         code, text 1, text 2, text 3, name
//                                  (kind "1" page footer, "2" sign-off)
//   CMSMT 01  [ProgramID]          footer code, footer lookup allowed (Y/N), footer on
//                                  every page (Y/N), footer texts 1 to 3, sign-off code,
//                                  sign-off lookup allowed, sign-off on every page,
//                                  sign-off texts 1 to 3
//   CMSMA 02  [any]                web report site address, site name
//   GENES 01  [name, user, program]  scheme name, creator, program, creation date
// Program ids compare without regard to case. Rows are those of the CompanyKey's
// accounts, except the program table (ADMMB), which all companies share, and the
// schemes (GENES), which live in the application server's store: ORVANT_SERVER_DB names
// that file, whose scheme table is the one holding the columns NCONDITION, CREATOR,
// PROGRAMME and CREATE_DATE.
//
// The published properties ProductID and BaseLimited (the caller's rights text) are
// kept as the caller sets them before each query.
#pragma once

#include <memory>
#include <string>

#include "HostCommon.h"
#include "HostDatabase.h"

class TValidatorObject : public THostServiceObject {
 public:
  TValidatorObject(std::shared_ptr<THostDatabase> database, std::string schemeDatabasePath);

  bool QueryData(const Variant& name, const Variant& number, const Variant& companyKey,
                 const Variant& keys, Variant& result);
  bool CheckValue(const Variant& name, const Variant& number, const Variant& companyKey,
                  const Variant& keys, Variant& result);

  int ProductID() const { return productID_; }
  void SetProductID(int value) { productID_ = value; }
  const std::string& BaseLimited() const { return baseLimited_; }
  void SetBaseLimited(std::string value) { baseLimited_ = std::move(value); }

 private:
  bool Run(bool allRows, const Variant& name, const Variant& number, const Variant& companyKey,
           const Variant& keys, Variant& result);
  THostTable Schemes(const std::vector<std::string>& keys);

  std::shared_ptr<THostDatabase> database_;
  std::string schemeDatabasePath_;
  std::unique_ptr<THostDatabase> schemeDatabase_;  // opened on first use
  int productID_ = 0;
  std::string baseLimited_;
};
