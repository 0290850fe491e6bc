#include "HostApp.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CodePage.h"

namespace {

struct TLanguage {
  const char* Name;
  const char* Column;
  const char* Missing;  // the text of a message the catalogue does not hold
};

constexpr TLanguage kLanguages[] = {
    {"CHS", "CHS", "找不到讯息（类型 %s，编号 %s）"},
    {"CHT", "CHT", "找不到訊息（類型 %s，編號 %s）"},
    {"ENG", "ENG", "Message not found (type %s, number %s)"},
};

const TLanguage& FindLanguage(const std::string& name) {
  for (const TLanguage& language : kLanguages)
    if (SameText(name, language.Name)) return language;
  throw EHostError("unknown language \"" + name + "\": use CHS, CHT or ENG");
}

std::string DefaultLanguage() {
  switch (GetACP()) {
    case 950:
      return "CHT";
    case 437:
      return "ENG";
    default:
      return "CHS";
  }
}

// The caller formats a message text with its arguments, so a "%" of ours is doubled.
std::string FormatLiteral(const std::string& text) {
  return StringReplaceAll(text, "%", "%%");
}

std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool AllDigits(const std::string& text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

}  // namespace

THostOptions HostOptionsFromEnvironment() {
  THostOptions options;
  options.DatabasePath = DemoDatabasePath();
  if (const char* store = std::getenv("ORVANT_SERVER_DB")) options.SchemeDatabasePath = store;
  if (const char* script = std::getenv("ORVANT_LOOKUP_SCRIPT"); script && *script) {
    std::ifstream file(script, std::ios::binary);
    if (!file) throw EHostError(std::string("cannot read the lookup script ") + script);
    std::ostringstream text;
    text << file.rdbuf();
    options.Chooser = TScriptedChooser::FromScript(text.str());
  }
  return options;
}

THostApp::THostApp(const THostOptions& options)
    : database_(std::make_shared<THostDatabase>(options.DatabasePath)),
      counter_(std::make_shared<TCounterObject>(database_)),
      validator_(std::make_shared<TValidatorObject>(database_, options.SchemeDatabasePath)),
      lookupWindow_(std::make_shared<TLookupWindow>(database_, options.Chooser)),
      language_(FindLanguage(options.Language.empty() ? DefaultLanguage() : options.Language).Name),
      productID_(options.ProductID) {
  AddMethod("GetMessage", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 2);
    return Variant::Wide(GetMessage(args[0], args[1]));
  });
  AddProperty("ProductID", [this] { return Variant(productID_); });
  AddProperty(
      "Language", [this] { return Variant::Wide(language_); },
      [this](const Variant& v) { SetLanguage(RequireText(v, "Language")); });
  AddMethod("CallHelp", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 1);
    CallHelp(args[0]);
    return Variant();
  });
  AddMethod("GetFileList", [this](std::vector<Variant>& args) {
    CheckArgCount(args, 1);
    return Variant::Wide(GetFileList(args[0]));
  });
  AddProperty("Com_Counter", [this] { return Variant(DispatchPtr(counter_)); });
  AddProperty("Com_Validator", [this] { return Variant(DispatchPtr(validator_)); });
  AddProperty("Com_F2Window", [this] { return Variant(DispatchPtr(lookupWindow_)); });
}

void THostApp::SetLanguage(const std::string& language) {
  language_ = FindLanguage(Trim(language)).Name;
}

std::string THostApp::GetMessage(const Variant& type, const Variant& number) {
  try {
    const std::string msgType = UpperCase(Trim(RequireText(type, "GetMessage: the type")));
    std::string msgNo = Trim(RequireText(number, "GetMessage: the number"));
    if (AllDigits(msgNo) && msgNo.size() < 6) msgNo.insert(0, 6 - msgNo.size(), '0');

    const TLanguage& language = FindLanguage(language_);
    const THostTable table =
        database_->Query(std::string("SELECT ") + language.Column +
                             ", CHS FROM QMTMESSAGE WHERE MSGTYPE = :type AND MSGNO = :no",
                         {{":type", msgType}, {":no", msgNo}});
    ClearError();
    if (table.Rows.empty())
      return Format(language.Missing, {FormatLiteral(msgType), FormatLiteral(msgNo)});
    const std::string text = VarToStr(table.Rows[0][0]);
    return text.empty() ? VarToStr(table.Rows[0][1]) : text;
  } catch (const Exception& e) {
    SetError(e.Message());
    throw;
  }
}

void THostApp::CallHelp(const Variant& args) {
  const auto items = ArrayItems(args);
  if (!items || items->size() < 2) {
    SetError("CallHelp expects the array [system, topic]");
    throw EHostError(ErrorText());
  }
  helpCalls_.push_back({RequireText((*items)[0], "CallHelp: the system"),
                        RequireText((*items)[1], "CallHelp: the topic")});
  ClearError();
}

std::string THostApp::GetFileList(const Variant& fileName) {
  const std::string name = LowerCase(Trim(RequireText(fileName, "GetFileList: the file name")));
  const THostTable table = database_->Query(
      "SELECT FILENAME, MODIFY, PATH FROM QMTFILELIST WHERE FILENAME = :name", {{":name", name}});
  ClearError();
  if (table.Rows.empty()) return "";
  const THostRow& row = table.Rows[0];
  return "<FileList><File><Name>" + XmlText(VarToStr(row[0])) + "</Name><Modify>" +
         XmlText(VarToStr(row[1])) + "</Modify><Path>" + XmlText(VarToStr(row[2])) +
         "</Path></File></FileList>";
}

void RegisterTarselWorkCenter(THostOptions options) {
  RegisterProgID(kHostAppProgID, [options] { return std::make_shared<THostApp>(options); });
}

void RegisterTarselWorkCenter() {
  RegisterProgID(kHostAppProgID,
                 [] { return std::make_shared<THostApp>(HostOptionsFromEnvironment()); });
}
