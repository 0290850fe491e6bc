// The base of every form of the module: a form with a code-page converter and a language
// controller. On creation it clears forced input methods, sets the English-interface font
// and gives single-image button glyphs a disabled image; on every show it applies the
// language packs of its class chain; on request it converts its texts once.
//
// Deviations by design:
// - A pack that exists but does not parse is skipped like a missing one: a broken file of
//   the installation must not stop the form from showing.
#pragma once

#include <string>

#include "CodeConverter.h"
#include "Forms.h"
#include "LanguageController.h"

class TQMForm : public TForm {
  KXBR_CLASS(TQMForm, TForm)

 public:
  explicit TQMForm(TComponent* owner);

  // Published fields, created from the form resource.
  TCodeConverter* QmConverter = nullptr;
  TQmLangController* LangController = nullptr;
  // True once ConvertForm has run.
  bool Converted = false;

  // The packs named after the classes from just below TForm down to the component's own.
  virtual void LoadLangPackages(TComponent* component);
  // The same without TQMForm's own pack.
  virtual void LoadDerivedLangPackages(TComponent* component);

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);

  void ConvertForm();
  int ShowMessageDlg(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons);
  std::string GetSysCodePage() const;
  std::string GetUICodePage() const;
  uint8_t GetUIConvertMode() const;
  uint8_t GetDBConvertMode() const;
  void GetLangText(const std::string& package, const std::string& key, std::string& text,
                   bool convertDefault, const std::string& def);

 private:
  void LoadPackages(TComponent* component, TClass stopAt);
};

// Adds the disabled image to a glyph of one image (the platform's look: an embossed grey
// outline on the button face) and makes it a strip of two.
void AddDisabledGlyph(TBitmap* glyph);
