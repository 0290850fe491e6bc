#include "CounterObject.h"

TCounterObject::TCounterObject(std::shared_ptr<THostDatabase> database)
    : database_(std::move(database)) {
  AddMethod("GetSysInfo", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 1);
    return GetSysInfo(args[0]);
  });
  AddMethod("GetCounter", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 3);
    return GetCounter(args[0], args[1], args[2]);
  });
}

Variant TCounterObject::GetSysInfo(const Variant& companyID) {
  try {
    const std::string company = RequireText(companyID, "GetSysInfo: the company");
    const THostTable table = database_->Query(
        "SELECT NAME, VALUE FROM SYSSETTING WHERE COMPANYID = :company ORDER BY SEQ, NAME",
        {{":company", company}});
    THostRow names, values;
    for (const THostRow& row : table.Rows) {
      names.push_back(row[0]);
      values.push_back(row[1]);
    }
    ClearError();
    return RowsToVariant({names, values});
  } catch (const Exception& e) {
    SetError(e.Message());
    throw;
  }
}

Variant TCounterObject::GetCounter(const Variant& name, const Variant& params,
                                   const Variant& company) {
  try {
    const std::string counter = UpperCase(Trim(RequireText(name, "GetCounter: the counter name")));
    // The company pair names the accounts; the demo keeps one database for all of them.
    if (!company.IsEmpty() && !company.IsNull() && !ArrayItems(company))
      throw EHostError("GetCounter: the company must be an array [CompanyID, CompanyKey]");
    if (counter != "SIMPLESQL") throw EHostError("GetCounter: unknown counter \"" + counter + "\"");
    Variant result = SimpleSQL(params);
    ClearError();
    return result;
  } catch (const Exception& e) {
    SetError(e.Message());
    throw;
  }
}

Variant TCounterObject::SimpleSQL(const Variant& params) {
  const auto items = ArrayItems(params);
  if (!items || items->empty())
    throw EHostError("SimpleSQL expects the parameters [statement, columns]");
  const std::string statement = RequireText((*items)[0], "SimpleSQL: the statement");
  const std::string columns =
      items->size() > 1 ? Trim(RequireText((*items)[1], "SimpleSQL: the column list")) : "";

  const THostTable table = database_->QueryReadOnly(statement);
  if (columns.empty()) return RowsToVariant(table.Rows);

  // Pick the named columns by name, in the order the caller gives them.
  std::vector<size_t> picks;
  for (const std::string& piece : SplitString(columns, ',')) {
    const std::string wanted = Trim(piece);
    size_t i = 0;
    while (i < table.Columns.size() && !SameText(table.Columns[i], wanted)) ++i;
    if (i == table.Columns.size())
      throw EHostError("SimpleSQL: the statement answers no column \"" + wanted + "\"");
    picks.push_back(i);
  }
  std::vector<THostRow> rows;
  rows.reserve(table.Rows.size());
  for (const THostRow& row : table.Rows) {
    THostRow picked;
    for (size_t i : picks) picked.push_back(row[i]);
    rows.push_back(std::move(picked));
  }
  return RowsToVariant(rows);
}
