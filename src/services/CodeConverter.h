// Conversion between simplified (GB) and traditional (BIG5) Chinese by the configured
// modes, the font of each mode, and the message texts of the language packs.
//
// Conversion modes: 0 no change; 1 BIG5 to GB; 2 GB to BIG5; 3 and 4 leave the text and
// only choose the font.
//
// Deviations by design:
// - Empty and Null elements of an array stay as they are instead of becoming empty texts.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Graphics.h"
#include "TranslatorU.h"
#include "Variant.h"

KXBR_ENUM(TDesignType, dtClient, dtServer)

class TCustomListView;

// Converts one text in the direction of a conversion.
using TTextConversion = std::function<std::string(const std::string&)>;
// The conversion to traditional characters of a control family the converter cannot know
// (the controls above this library register theirs); found along the class chain.
using TComponentConversion = std::function<void(TComponent*, const TTextConversion&)>;
void RegisterComponentConversion(TClass cls, TComponentConversion conversion);
// The captions of a list view's columns and its rows with their sub-items.
void ConvertListViewTexts(TCustomListView* listView, const TTextConversion& convert);

class TCodeConverter : public TComponent {
  KXBR_CLASS(TCodeConverter, TComponent)

 public:
  // Reads the client's settings; a mode other than 0 loads the conversion library, whose
  // failure ("Load Library %s Error!") fails the creation.
  explicit TCodeConverter(TComponent* owner);
  ~TCodeConverter() override;

  TDesignType DesignType() const { return designType_; }
  void SetDesignType(TDesignType value) { designType_ = value; }

  const std::string& SysCodePage() const { return sysCodePage_; }
  const std::string& UICodePage() const { return uiCodePage_; }
  const std::string& DBCodePage() const { return dbCodePage_; }
  int UIConvertMode() const { return uiConvertMode_; }
  int DBConvertMode() const { return dbConvertMode_; }
  bool HasTranslator() const { return translator_ != nullptr; }

  Variant ConvertValue(int mode, const Variant& value) const;
  Variant UIConvert(const Variant& value) const { return ConvertValue(uiConvertMode_, value); }
  Variant UIConvertBack(const Variant& value) const;  // never raises
  Variant DBConvert(const Variant& value) const { return ConvertValue(dbConvertMode_, value); }
  Variant DBConvertBack(const Variant& value) const;  // never raises
  std::string Big5ToGB(const std::string& text) const;
  std::string GBToBig5(const std::string& text) const;
  // Modes 0, 1, 4: "SimSun" with GB2312; modes 2, 3: "SimSun" with Chinese BIG5.
  static void SetModeFont(int mode, TFont* font);
  // The one-time conversion of a form and the components it owns to the interface mode;
  // nothing without the conversion library.
  void ConvertComponents(TCustomForm* form) const;
  // A standard message box in the interface code page, titled with the owner form's
  // caption; 0 without showing anything for an empty message.
  int ShowMessageDlg(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons) const;

 private:
  Variant ConvertArray(int mode, const Variant& value) const;
  void ConvertComponent(TComponent* component, int mode) const;
  std::string ConvertText(int mode, const std::string& text) const;

  TDesignType designType_ = dtClient;
  std::string sysCodePage_ = "936";
  std::string uiCodePage_ = "936";
  std::string dbCodePage_ = "936";
  int uiConvertMode_ = 0;
  int dbConvertMode_ = 0;
  std::unique_ptr<TTranslator> translator_;
};

// The language folder of the configured interface code page: installation folder +
// "MultiLanguage\" + CHS, CHT or ENG + "\"; empty when the code page has no language or
// the folder does not exist.
std::string LangDirectory(TDesignType designType);
// The attribute "Msg" of the first element named `key` in the pack `package`; `def` when
// the file is missing, does not parse or has no such attribute. Never raises.
void ReadLangMessage(TDesignType designType, const std::string& package, const std::string& key,
                     std::string& text, const std::string& def);
