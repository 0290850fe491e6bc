#include "CodeConverter.h"

#include "OrvantINI.h"
#include "Paths.h"
#include "TypInfo.h"
#include "XMLDoc.h"

KXBR_DEFINE_CLASS(TCodeConverter,
                  .Prop<&TCodeConverter::DesignType, &TCodeConverter::SetDesignType>("DesignType"))

TCodeConverter::TCodeConverter(TComponent* owner) : TComponent(owner) {
  // The creation always reads the client's settings, whatever DesignType says later.
  const TOrvantIniC ini;
  sysCodePage_ = ini.SysCodePage;
  uiCodePage_ = ini.UICodePage;
  dbCodePage_ = ini.DBCodePage;
  uiConvertMode_ = ini.UIConvertMode;
  dbConvertMode_ = ini.DBConvertMode;
  if (uiConvertMode_ != 0) translator_ = std::make_unique<TTranslator>();
}

TCodeConverter::~TCodeConverter() = default;

std::string TCodeConverter::ConvertText(int mode, const std::string& text) const {
  if (mode == 1) return translator_->BIG5toGB(text);
  if (mode == 2) return translator_->GBtoBIG5(text);
  return text;
}

Variant TCodeConverter::ConvertArray(int mode, const Variant& value) const {
  Variant result = value;
  VarArrayData& data = result.Array();
  if (data.Bounds.size() == 1) {
    for (Variant& element : data.Elements) {
      if (element.IsArray()) {
        element = ConvertValue(mode, element);
      } else if ((mode == 1 || mode == 2) && !element.IsEmpty() && !element.IsNull()) {
        const std::string converted = ConvertText(mode, element.AsString());
        element = element.VarType() == varOleStr ? Variant::Wide(converted) : Variant(converted);
      }
    }
  } else if (data.Bounds.size() == 2) {
    for (Variant& element : data.Elements) element = ConvertValue(mode, element);
  }
  return result;
}

Variant TCodeConverter::ConvertValue(int mode, const Variant& value) const {
  if (mode == 0 || !translator_ || value.IsEmpty() || value.IsNull()) return value;
  if (value.IsArray()) return ConvertArray(mode, value);
  if (mode != 1 && mode != 2) return value;
  const std::string converted = ConvertText(mode, value.AsString());
  return value.VarType() == varOleStr ? Variant::Wide(converted) : Variant(converted);
}

static int ReverseMode(int mode) {
  return mode == 1 ? 2 : mode == 2 ? 1 : mode;
}

Variant TCodeConverter::UIConvertBack(const Variant& value) const {
  try {
    return ConvertValue(ReverseMode(uiConvertMode_), value);
  } catch (const std::exception&) {
    return value;
  }
}

Variant TCodeConverter::DBConvertBack(const Variant& value) const {
  try {
    return ConvertValue(ReverseMode(dbConvertMode_), value);
  } catch (const std::exception&) {
    return value;
  }
}

std::string TCodeConverter::Big5ToGB(const std::string& text) const {
  return translator_ && !text.empty() ? translator_->BIG5toGB(text) : text;
}

std::string TCodeConverter::GBToBig5(const std::string& text) const {
  return translator_ && !text.empty() ? translator_->GBtoBIG5(text) : text;
}

void TCodeConverter::SetModeFont(int mode, TFont* font) {
  if (font == nullptr) return;
  if (mode == 0 || mode == 1 || mode == 4) {
    font->SetName("SimSun");
    font->SetCharset(GB2312_CHARSET);
  } else if (mode == 2 || mode == 3) {
    font->SetName("SimSun");
    font->SetCharset(CHINESEBIG5_CHARSET);
  }
}

std::string LangDirectory(TDesignType designType) {
  std::string uiCodePage, base;
  if (designType == dtServer) {
    const TOrvantIniS ini;
    uiCodePage = ini.UICodePage;
    base = ini.ServerPath;
  } else {
    const TOrvantIniC ini;
    uiCodePage = ini.UICodePage;
    base = ini.ClientPath;
  }
  const std::string code = uiCodePage == "936"   ? "CHS"
                           : uiCodePage == "950" ? "CHT"
                           : uiCodePage == "437" ? "ENG"
                                                 : "";
  if (code.empty()) return {};
  const std::string folder =
      IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(base + "MultiLanguage") + code);
  return DirectoryExists(folder) ? folder : std::string();
}

void ReadLangMessage(TDesignType designType, const std::string& package, const std::string& key,
                     std::string& text, const std::string& def) {
  text = def;
  try {
    const std::string fileName = LangDirectory(designType) + package + ".Lng";
    if (!FileExists(fileName)) return;
    TXMLDocument doc;
    if (!doc.LoadFromFile(fileName)) return;
    const TXMLElement element = doc.FindFirst(key);
    if (element.HasAttribute("Msg")) text = element.Attribute("Msg");
  } catch (const std::exception&) {
    text = def;
  }
}
