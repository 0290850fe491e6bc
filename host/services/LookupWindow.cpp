#include "LookupWindow.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr size_t kRequestItems = 19;

struct TLookupDef {
  const char* Code;
  const char* Kind;
  size_t ParamCount;  // parameters the lookup cannot do without
  const char* Title;
  std::vector<const char*> Columns;
  const char* Sql;  // binds :ck, :user, :p1, :p2, :p1like, :p2like, :extralike
};

const std::vector<TLookupDef>& Lookups() {
  static const std::vector<TLookupDef> defs = {
      {"CUSTG",
       "01",
       0,
       "结转单信息查询",
       {"单据类型", "结转单号", "结转日期", "合同编号", "审核状态", "对方企业"},
       "SELECT FORMTYPE, FORMNO, FORMDATE, CONTRACTNO, "
       "CASE AUDIT WHEN 'Y' THEN '已审核' WHEN 'N' THEN '未审核' ELSE '作废' END, PARTNER "
       "FROM CUSTCARRYOVER WHERE COMPANYKEY = :ck "
       "AND ((FORMTYPE LIKE :p1like || '%' ESCAPE '\\' AND FORMNO LIKE :p2like || '%' ESCAPE '\\') "
       "  OR (:p2 = '' AND FORMTYPE || FORMNO LIKE :p1like || '%' ESCAPE '\\')) "
       "AND FORMTYPE || FORMNO LIKE :extralike || '%' ESCAPE '\\' "
       "ORDER BY FORMTYPE, FORMNO"},
      {"CUSTG",
       "02",
       0,
       "合同信息查询",
       {"合同编号", "客户名称", "贸易方式", "有效期至", "签订日期", "状态"},
       "SELECT CONTRACTNO, CUSTOMER, TRADEMODE, EXPIRYDATE, SIGNDATE, STATUS "
       "FROM CUSTCONTRACT WHERE COMPANYKEY = :ck "
       "AND CONTRACTNO LIKE :p1like || '%' ESCAPE '\\' "
       "AND CONTRACTNO LIKE :extralike || '%' ESCAPE '\\' ORDER BY CONTRACTNO"},
      {"QMTMA",
       "04",
       0,
       "系统用户",
       {"用户代号", "姓名", "手机", "电子邮件", "部门"},
       "SELECT USERID, NAME, MOBILE, EMAIL, DEPT FROM QMTMA WHERE ACTIVE = 'Y' "
       "AND (USERID LIKE :extralike || '%' ESCAPE '\\' "
       "  OR NAME LIKE '%' || :extralike || '%' ESCAPE '\\') ORDER BY USERID"},
      {"CMSMS",
       "01",
       1,
       "页脚及签核信息查询",
       {"编号", "名称", "内容一", "内容二", "内容三"},
       "SELECT CODE, NAME, TEXT1, TEXT2, TEXT3 FROM CMSMS "
       "WHERE COMPANYKEY = :ck AND KIND = :p1 "
       "AND CODE LIKE :extralike || '%' ESCAPE '\\' ORDER BY CODE"},
  };
  return defs;
}

const TLookupDef& FindLookup(const std::string& code, const std::string& kind) {
  for (const TLookupDef& def : Lookups())
    if (code == def.Code && kind == def.Kind) return def;
  throw EHostError("unknown lookup \"" + code + "\" kind \"" + kind + "\"");
}

// The parameters of a request: none, one text, or an array of texts.
std::vector<std::string> ParamTexts(const Variant& params) {
  std::vector<std::string> texts;
  if (params.IsEmpty() || params.IsNull()) return texts;
  if (const auto items = ArrayItems(params)) {
    for (const Variant& item : *items)
      texts.push_back(Trim(RequireText(item, "parameter " + IntToStr(std::ssize(texts) + 1))));
    return texts;
  }
  if (params.IsArray()) throw EHostError("the parameters must be a one-dimensional array");
  texts.push_back(Trim(RequireText(params, "the parameter")));
  return texts;
}

bool IsStorageDate(const std::string& text) {
  if (text.size() != 8) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  TDateTime date;
  return TryEncodeDate(StrToInt(text.substr(0, 4)), StrToInt(text.substr(4, 2)),
                       StrToInt(text.substr(6, 2)), date);
}

}  // namespace

TLookupWindow::TLookupWindow(std::shared_ptr<THostDatabase> database,
                             std::shared_ptr<TLookupChooser> chooser)
    : database_(std::move(database)), chooser_(std::move(chooser)) {
  AddMethod("F2GetData", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 1);
    return F2GetData(args[0]);
  });
  AddMethod("ShowInputDay", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 1);
    return Variant::Wide(ShowInputDay(args[0]));
  });
  AddMethod("GetPhrase", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 3);
    return Variant::Wide(GetPhrase(args[0], args[1], args[2]));
  });
}

Variant TLookupWindow::F2GetData(const Variant& request) {
  try {
    const auto items = ArrayItems(request);
    if (!items || items->size() < kRequestItems)
      throw EHostError("the lookup request must be an array of " + IntToStr(kRequestItems) +
                       " items");
    const std::vector<Variant>& r = *items;
    const std::string code = UpperCase(Trim(RequireText(r[0], "the lookup code")));
    std::string kind = Trim(RequireText(r[1], "the lookup kind"));
    if (kind.size() == 1) kind.insert(0, "0");
    const std::vector<std::string> params = ParamTexts(r[2]);
    const bool multi = r[3].AsBoolean();
    const std::string extra = Trim(RequireText(r[4], "the extra text"));
    const std::string companyKey = RequireText(r[6], "the company key");
    const std::string user = RequireText(r[18], "the user");

    const TLookupDef& def = FindLookup(code, kind);
    if (params.size() < def.ParamCount)
      throw EHostError("lookup " + code + " " + kind + " needs " + IntToStr(def.ParamCount) +
                       " parameters");
    const std::string p1 = params.size() > 0 ? params[0] : "";
    const std::string p2 = params.size() > 1 ? params[1] : "";
    const THostTable table = database_->Query(def.Sql, {{":ck", companyKey},
                                                        {":user", user},
                                                        {":p1", p1},
                                                        {":p2", p2},
                                                        {":p1like", LikeLiteral(p1)},
                                                        {":p2like", LikeLiteral(p2)},
                                                        {":extralike", LikeLiteral(extra)}});

    TLookupPrompt prompt{code, kind, def.Title, {def.Columns.begin(), def.Columns.end()},
                         {},   multi};
    for (const THostRow& row : table.Rows) {
      std::vector<std::string> texts;
      for (const Variant& value : row) texts.push_back(VarToStr(value));
      prompt.Rows.push_back(std::move(texts));
    }
    std::vector<int> picks = chooser_ ? chooser_->ChooseRows(prompt) : std::vector<int>();
    for (int pick : picks)
      if (pick < 0 || static_cast<size_t>(pick) >= table.Rows.size())
        throw EHostError("the lookup window picked row " + IntToStr(pick) + " of " +
                         IntToStr(table.Rows.size()));
    // Picks come back in candidate order, each once; a single choice keeps the first.
    if (!multi && picks.size() > 1) picks.resize(1);
    std::sort(picks.begin(), picks.end());
    picks.erase(std::unique(picks.begin(), picks.end()), picks.end());

    ClearError();
    if (picks.empty()) return Variant();
    std::vector<THostRow> rows;
    for (int pick : picks) rows.push_back(table.Rows[static_cast<size_t>(pick)]);
    return RowsToVariant(rows);
  } catch (const Exception& e) {
    SetError("F2GetData: " + e.Message());
    return Variant();
  }
}

std::string TLookupWindow::ShowInputDay(const Variant& args) {
  try {
    const auto items = ArrayItems(args);
    if (!items || items->size() < 2)
      throw EHostError("the argument must be the array [roc, start date, CompanyKey]");
    const bool roc = (*items)[0].AsBoolean();
    std::string start = Trim(RequireText((*items)[1], "the start date"));
    if (!IsStorageDate(start)) start = FormatDateTime("yyyymmdd", Date());

    const std::string answer = chooser_ ? Trim(chooser_->ChooseDate(start, roc)) : "";
    if (!answer.empty() && !IsStorageDate(answer))
      throw EHostError("the date picker answered \"" + answer + "\", which is no date YYYYMMDD");
    ClearError();
    return answer;
  } catch (const Exception& e) {
    SetError("ShowInputDay: " + e.Message());
    return "";
  }
}

std::string TLookupWindow::GetPhrase(const Variant& userID, const Variant& companyKey,
                                     const Variant&) {
  try {
    const THostTable table = database_->Query(
        "SELECT PHRASE FROM QMTPHRASE WHERE (COMPANYKEY = '' OR COMPANYKEY = :ck) "
        "AND (USERID = '' OR USERID = :user) ORDER BY USERID = '', COMPANYKEY = '', SEQ",
        {{":ck", RequireText(companyKey, "the company key")},
         {":user", RequireText(userID, "the user")}});
    std::vector<std::string> phrases;
    for (const THostRow& row : table.Rows) phrases.push_back(VarToStr(row[0]));
    const int pick = chooser_ ? chooser_->ChoosePhrase(phrases) : -1;
    if (pick >= static_cast<int>(phrases.size()) || pick < -1)
      throw EHostError("the phrase window picked phrase " + IntToStr(pick) + " of " +
                       IntToStr(phrases.size()));
    ClearError();
    return pick < 0 ? "" : phrases[static_cast<size_t>(pick)];
  } catch (const Exception& e) {
    SetError("GetPhrase: " + e.Message());
    return "";
  }
}
