#include "ValidatorObject.h"

#include <iterator>

namespace {

struct TQueryDef {
  const char* Name;
  const char* Number;
  size_t KeyCount;
  const char* Sql;  // nullptr: answered from the scheme store
};

constexpr TQueryDef kQueries[] = {
    {"ADMMB", "01", 1,
     "SELECT NAME, PROGRAMID, SYSTEMCODE, KIND, WANTLOG, VERSION, NODIRECTQUERY, ENGNAME "
     "FROM ADMMB WHERE PROGRAMID = upper(:k1)"},
    {"ADMMB", "11", 1,
     "SELECT PROGRAMID, NAME, WANTLOG, NODIRECTQUERY FROM ADMMB WHERE PROGRAMID = upper(:k1)"},
    {"CMSMS", "01", 2,
     "SELECT CODE, TEXT1, TEXT2, TEXT3, NAME FROM CMSMS "
     "WHERE COMPANYKEY = :ck AND KIND = :k1 AND CODE = :k2 COLLATE NOCASE"},
    {"CMSMT", "01", 1,
     "SELECT NOTECODE, NOTELOOKUP, NOTEEVERYPAGE, NOTE1, NOTE2, NOTE3, "
     "SIGNCODE, SIGNLOOKUP, SIGNEVERYPAGE, SIGN1, SIGN2, SIGN3 "
     "FROM CMSMT WHERE COMPANYKEY = :ck AND PROGRAMID = upper(:k1)"},
    {"CMSMA", "02", 0,
     "SELECT WebReportSiteUrl, SITENAME FROM WebReportConfig WHERE COMPANYKEY = :ck"},
    {"GENES", "01", 3, nullptr},
};

const TQueryDef& FindQuery(const std::string& name, const std::string& number) {
  bool nameKnown = false;
  for (const TQueryDef& def : kQueries) {
    if (name != def.Name) continue;
    nameKnown = true;
    if (number == def.Number) return def;
  }
  if (!nameKnown) throw EHostError("unknown query name \"" + name + "\"");
  throw EHostError("query " + name + " has no number \"" + number + "\"");
}

}  // namespace

TValidatorObject::TValidatorObject(std::shared_ptr<THostDatabase> database,
                                   std::string schemeDatabasePath)
    : database_(std::move(database)), schemeDatabasePath_(std::move(schemeDatabasePath)) {
  AddMethod("QueryData", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 5);
    return Variant(QueryData(args[0], args[1], args[2], args[3], args[4]));
  });
  AddMethod("CheckValue", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 5);
    return Variant(CheckValue(args[0], args[1], args[2], args[3], args[4]));
  });
  AddProperty(
      "ProductID", [this] { return Variant(productID_); },
      [this](const Variant& v) { productID_ = v.AsInteger(); });
  AddProperty(
      "BaseLimited", [this] { return Variant::Wide(baseLimited_); },
      [this](const Variant& v) { baseLimited_ = RequireText(v, "BaseLimited"); });
}

bool TValidatorObject::QueryData(const Variant& name, const Variant& number,
                                 const Variant& companyKey, const Variant& keys, Variant& result) {
  return Run(true, name, number, companyKey, keys, result);
}

bool TValidatorObject::CheckValue(const Variant& name, const Variant& number,
                                  const Variant& companyKey, const Variant& keys, Variant& result) {
  return Run(false, name, number, companyKey, keys, result);
}

bool TValidatorObject::Run(bool allRows, const Variant& name, const Variant& number,
                           const Variant& companyKey, const Variant& keys, Variant& result) {
  const char* call = allRows ? "QueryData: " : "CheckValue: ";
  result = Variant();
  try {
    const std::string queryName = UpperCase(Trim(RequireText(name, "the query name")));
    std::string queryNumber = Trim(RequireText(number, "the query number"));
    if (queryNumber.size() == 1) queryNumber.insert(0, "0");
    const std::string company = RequireText(companyKey, "the company key");
    const auto items = ArrayItems(keys);
    if (!items) throw EHostError("the keys must be an array, not " + VarTypeName(keys.VarType()));
    std::vector<std::string> keyTexts;
    for (const Variant& key : *items)
      keyTexts.push_back(RequireText(key, "key " + IntToStr(std::ssize(keyTexts) + 1)));

    const TQueryDef& def = FindQuery(queryName, queryNumber);
    if (keyTexts.size() < def.KeyCount)
      throw EHostError("query " + queryName + " " + queryNumber + " needs " +
                       IntToStr(def.KeyCount) + " keys, not " + IntToStr(keyTexts.size()));
    THostTable table;
    if (def.Sql == nullptr) {
      table = Schemes(keyTexts);
    } else {
      THostParams params{{":ck", company}};
      for (size_t i = 0; i < keyTexts.size(); ++i)
        params.emplace_back(":k" + IntToStr(i + 1), keyTexts[i]);
      table = database_->Query(def.Sql, params);
    }
    ClearError();
    if (table.Rows.empty()) return false;
    result = allRows ? RowsToVariant(table.Rows) : RowToVariant(table.Rows.front());
    return true;
  } catch (const Exception& e) {
    SetError(call + e.Message());
    result = Variant();
    return false;
  }
}

THostTable TValidatorObject::Schemes(const std::vector<std::string>& keys) {
  if (!schemeDatabase_) {
    if (schemeDatabasePath_.empty())
      throw EHostError("no scheme store is configured (ORVANT_SERVER_DB)");
    schemeDatabase_ = std::make_unique<THostDatabase>(schemeDatabasePath_);
  }
  // CONSAVE is the application server's scheme table.
  return schemeDatabase_->Query(
      "SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE FROM CONSAVE"
      " WHERE NCONDITION = :k1 AND CREATOR = :k2 AND PROGRAMME = :k3",
      {{":k1", keys[0]}, {":k2", keys[1]}, {":k3", keys[2]}});
}
