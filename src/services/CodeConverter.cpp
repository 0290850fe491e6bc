#include "CodeConverter.h"

#include <functional>

#include "ComCtrls.h"
#include "Grids.h"
#include "Menus.h"
#include "OrvantINI.h"
#include "Paths.h"
#include "StdCtrls.h"
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

namespace {

// The object a component publishes under `name` as an instance of T, or null.
template <class T>
T* PublishedObject(TObject* object, const char* name) {
  const TPropInfo* prop = GetPropInfo(object, name);
  if (prop == nullptr || prop->PropType->Kind != tkClass) return nullptr;
  return dynamic_cast<T*>(GetObjectProp(object, *prop));
}

// Converts a published text property in place (only when it is not empty).
void ConvertStrProp(TObject* object, const char* name,
                    const std::function<std::string(const std::string&)>& convert) {
  const TPropInfo* prop = GetPropInfo(object, name);
  if (prop == nullptr || prop->PropType->Kind != tkString || prop->SetStr == nullptr) return;
  const std::string text = GetStrProp(object, *prop);
  if (!text.empty()) SetStrProp(object, *prop, convert(text));
}

std::vector<std::pair<TClass, TComponentConversion>>& ConversionTable() {
  static std::vector<std::pair<TClass, TComponentConversion>> table;
  return table;
}

const TComponentConversion* FindConversion(TClass cls) {
  for (; cls != nullptr; cls = cls->Parent)
    for (const auto& [registered, conversion] : ConversionTable())
      if (registered == cls) return &conversion;
  return nullptr;
}

bool PublishesType(TObject* object, const char* name, const TTypeInfo* type) {
  const TPropInfo* prop = GetPropInfo(object, name);
  return prop != nullptr && prop->PropType == type;
}

}  // namespace

void RegisterComponentConversion(TClass cls, TComponentConversion conversion) {
  for (auto& entry : ConversionTable())
    if (entry.first == cls) {
      entry.second = std::move(conversion);
      return;
    }
  ConversionTable().emplace_back(cls, std::move(conversion));
}

void ConvertListViewTexts(TCustomListView* listView, const TTextConversion& convert) {
  for (int c = 0; c < listView->Columns()->Count(); ++c) {
    auto* column = static_cast<TListColumn*>(listView->Columns()->Items(c));
    column->SetCaption(convert(column->Caption()));
  }
  for (int r = 0; r < listView->Items()->Count(); ++r) {
    TListItem* row = listView->Items()->Item(r);
    row->SetCaption(convert(row->Caption()));
    TStrings* subItems = row->SubItems();
    for (int k = 0; k < subItems->Count(); ++k)
      subItems->SetStrings(k, convert(subItems->Strings(k)));
  }
}

void TCodeConverter::ConvertComponent(TComponent* component, int mode) const {
  const TTextConversion convert = [this, mode](const std::string& text) {
    return ConvertText(mode, text);
  };
  for (const char* fontName : {"Font", "TitleFont"})
    if (TFont* font = PublishedObject<TFont>(component, fontName)) SetModeFont(mode, font);
  for (const char* textName : {"Caption", "Hint", "ButtonHint"})
    ConvertStrProp(component, textName, convert);

  auto* combo = dynamic_cast<TCustomComboBox*>(component);
  const int selected = combo ? combo->ItemIndex() : -1;
  for (const char* linesName : {"Items", "Lines"})
    if (TStrings* lines = PublishedObject<TStrings>(component, linesName);
        lines && lines->Count() > 0)
      lines->SetText(convert(lines->Text()));
  if (combo && PublishesType(component, "Style",
                             TypeInfoOfEnum(static_cast<const TComboBoxStyle*>(nullptr)))) {
    if (combo->Style() == csDropDown) combo->SetStyle(csOwnerDrawVariable);
    if (combo->Style() == csDropDownList) combo->SetStyle(csOwnerDrawFixed);
  }
  if (combo && combo->Items()->Count() > 0 && combo->ItemIndex() != selected)
    combo->SetItemIndex(selected);
  if (PublishesType(component, "Style",
                    TypeInfoOfEnum(static_cast<const TListBoxStyle*>(nullptr)))) {
    auto* listBox = dynamic_cast<TCustomListBox*>(component);
    if (listBox && listBox->Style() == lbStandard) listBox->SetStyle(lbOwnerDrawFixed);
  }
  if (auto* panels = PublishedObject<TCollection>(component, "Panels"))
    for (int i = 0; i < panels->Count(); ++i) ConvertStrProp(panels->Items(i), "Text", convert);

  if (auto* menu = dynamic_cast<TMenu*>(component)) menu->SetOwnerDraw(true);
  if (mode != 2) return;
  if (const TComponentConversion* conversion = FindConversion(component->ClassType())) {
    (*conversion)(component, convert);
  } else if (auto* listView = dynamic_cast<TCustomListView*>(component)) {
    ConvertListViewTexts(listView, convert);
  } else if (combo) {
    if (combo->Style() != csSimple) combo->SetStyle(csOwnerDrawFixed);
    if (combo->ItemIndex() < 0 && combo->Items()->Count() > 0) combo->SetItemIndex(0);
  } else if (auto* treeView = dynamic_cast<TCustomTreeView*>(component)) {
    for (int n = 0; n < treeView->Items()->Count(); ++n) {
      TTreeNode* node = treeView->Items()->Item(n);
      node->SetText(convert(node->Text()));
    }
  } else if (auto* grid = dynamic_cast<TStringGrid*>(component)) {
    for (int row = 0; row < grid->RowCount(); ++row)
      for (int col = 0; col < grid->ColCount(); ++col)
        grid->SetCells(col, row, convert(grid->Cells(col, row)));
  }
}

void TCodeConverter::ConvertComponents(TCustomForm* form) const {
  if (!translator_ || form == nullptr) return;
  const int mode = uiConvertMode_;
  // The system draws the window caption in its own code page.
  if (sysCodePage_ == "950") form->SetCaption(GBToBig5(form->Caption()));
  const auto convert = [this, mode](const std::string& text) { return ConvertText(mode, text); };
  for (const char* textName : {"Hint", "ButtonHint"}) ConvertStrProp(form, textName, convert);
  SetModeFont(mode, Screen()->IconFont());
  SetModeFont(mode, Screen()->HintFont());
  SetModeFont(mode, Screen()->MenuFont());
  // Off and on again: the hint window is made anew and takes the new hint font.
  Application()->SetShowHint(false);
  Application()->SetShowHint(true);
  if (mode == 0) return;
  for (int i = 0; i < form->ComponentCount(); ++i) ConvertComponent(form->Components(i), mode);
}

int TCodeConverter::ShowMessageDlg(const std::string& msg, TMsgDlgType dlgType,
                                   TMsgDlgButtons buttons) const {
  if (msg.empty()) return 0;
  std::string text = msg;
  if (uiCodePage_ == "936" || sysCodePage_ == "936") text += "      ";
  std::unique_ptr<TMessageForm, void (*)(TMessageForm*)> dialog(
      CreateMessageDialog(text, dlgType, buttons), [](TMessageForm* f) { f->Free(); });
  if (auto* form = dynamic_cast<TCustomForm*>(Owner())) {
    if (form->WindowState() == wsMinimized) form->SetWindowState(wsNormal);
    dialog->SetCaption(form->Caption());
  }
  SetModeFont(uiConvertMode_, dialog->Font());
  return dialog->ShowModal();
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
