#include "QMForm.h"

#include "Buttons.h"
#include "Paths.h"
#include "QmcEdit.h"
#include "Release.h"
#include "SelectPnl.h"
#include "TypInfo.h"

KXBR_DEFINE_CLASS(TQMForm, .Field<&TQMForm::QmConverter>("QmConverter")
                               .Field<&TQMForm::LangController>("LangController")
                               .Method<&TQMForm::FormCreate>("FormCreate")
                               .Method<&TQMForm::FormShow>("FormShow"))

namespace {

// The form resource every form of the module inherits.
const bool resourceRegistered = [] {
  RegisterResource(RT_RCDATA, "TQMForm", R"(object QMForm: TQMForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  Font.Charset = GB2312_CHARSET
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = '宋体'
  KeyPreview = True
  Position = poScreenCenter
  Scaled = False
  ShowHint = True
  OnCreate = FormCreate
  OnShow = FormShow
  object QmConverter: TCodeConverter
    DesignType = dtClient
  end
  object LangController: TQmLangController
    Active = False
  end
end
)");
  return true;
}();

// The buttons of a component whose glyphs get a disabled image.
std::vector<TComponent*> GlyphButtons(TComponent* component) {
#if KXBR_RELEASE >= 90
  if (auto* edit = dynamic_cast<TQmBtnDBEdit*>(component)) return {edit->Button()};
#endif
  if (auto* panel = dynamic_cast<TSelectPanel*>(component))
    return {panel->ListButton, panel->DeleteButton, panel->ClearButton};
  return {component};
}

// Gives a button of kind B whose glyph holds one image its disabled image; false when
// `button` is not a B.
template <class B>
bool AddDisabledImage(TComponent* button) {
  auto* b = dynamic_cast<B*>(button);
  if (b == nullptr) return false;
  if (b->NumGlyphs() == 1 && !b->Glyph()->Empty()) {
    AddDisabledGlyph(b->Glyph());
    b->SetNumGlyphs(2);
  }
  return true;
}

bool IsTransparent(TColor c, TColor transparent) {
  return ColorToRGB(c) == ColorToRGB(transparent);
}

}  // namespace

void AddDisabledGlyph(TBitmap* glyph) {
  const int w = glyph->Width(), h = glyph->Height();
  if (w <= 0 || h <= 0) return;
  const TColor transparent = glyph->TransparentColor();
  TBitmap original;
  original.Assign(glyph);
  glyph->SetPixelFormat(pf24bit);

  // Marks: dark pixels, and pixels at the edge of the transparent background.
  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(w, h);
  TCanvas* b = glyph->Canvas();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const TColor c = b->Pixels(x, y);
      bool marked = false;
      if (!IsTransparent(c, transparent)) {
        const TColor rgb = ColorToRGB(c);
        marked = GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb) < 384;
        const int nx[] = {x - 1, x + 1, x, x};
        const int ny[] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4 && !marked; ++k) {
          const bool inside = nx[k] >= 0 && nx[k] < w && ny[k] >= 0 && ny[k] < h;
          // At the border the pixel itself stands in for the missing neighbour.
          marked = inside && IsTransparent(b->Pixels(nx[k], ny[k]), transparent);
        }
      }
      mask.Canvas()->SetPixels(x, y, marked ? clBlack : clWhite);
    }
  }

  // The embossed image: highlight one pixel down-right, shadow on top, on the button face.
  TBitmap disabled;
  disabled.SetPixelFormat(pf24bit);
  disabled.SetSize(w, h);
  TCanvas* c = disabled.Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(TRect{0, 0, w, h});
  c->SetTextColor(clWhite);  // black mask pixels take the brush
  c->SetBkColor(clBlack);
  c->Brush()->SetColor(clBtnHighlight);
  BitBlt(c, 1, 1, w, h, mask.Canvas(), 0, 0, ROP_DSPDxax);
  c->Brush()->SetColor(clBtnShadow);
  BitBlt(c, 0, 0, w, h, mask.Canvas(), 0, 0, ROP_DSPDxax);

  glyph->SetSize(2 * w, h);
  b = glyph->Canvas();
  b->Brush()->SetColor(transparent);
  b->FillRect(TRect{0, 0, 2 * w, h});
  b->CopyRect(TRect{0, 0, w, h}, original.Canvas(), TRect{0, 0, w, h});
  b->CopyRect(TRect{w, 0, 2 * w, h}, disabled.Canvas(), TRect{0, 0, w, h});
}

TQMForm::TQMForm(TComponent* owner) : TForm(owner) {}

void TQMForm::FormCreate(TObject*) {
  Converted = false;
  const bool english = GetUICodePage() == "437";
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    if (IsPublishedProp(component, "ImeName")) SetPropByPath(component, "ImeName", "");
    if (english && IsPublishedProp(component, "Font")) {
      SetPropByPath(component, "Font.Charset", "134");
      SetPropByPath(component, "Font.Name", "Tahoma");
    }
    for (TComponent* button : GlyphButtons(component))
      AddDisabledImage<TSpeedButton>(button) || AddDisabledImage<TBitBtn>(button);
  }
}

void TQMForm::FormShow(TObject*) {
  LoadLangPackages(this);
}

void TQMForm::LoadPackages(TComponent* component, TClass stopAt) {
  if (component == nullptr || LangController == nullptr) return;
  std::vector<std::string> names;
  for (TClass cls = component->ClassType();
       cls != nullptr && cls != TForm::StaticClass() && cls != stopAt; cls = cls->Parent)
    names.insert(names.begin(), cls->Name);
  for (const std::string& name : names) {
    LangController->SetLangPackageName(name);
    if (!FileExists(LangController->FileName())) continue;
    try {
      LangController->SetActive(true);
    } catch (const LanguageControllerError&) {
      continue;
    }
    LangController->Reader()->ReadComponent(component);
  }
}

void TQMForm::LoadLangPackages(TComponent* component) {
  LoadPackages(component, nullptr);
}

void TQMForm::LoadDerivedLangPackages(TComponent* component) {
  LoadPackages(component, TQMForm::StaticClass());
}

void TQMForm::ConvertForm() {
  if (Converted) return;
  if (QmConverter) QmConverter->ConvertComponents(this);
  Converted = true;
}

int TQMForm::ShowMessageDlg(const std::string& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons) {
  return QmConverter ? QmConverter->ShowMessageDlg(msg, dlgType, buttons) : 0;
}

std::string TQMForm::GetSysCodePage() const {
  return QmConverter ? QmConverter->SysCodePage() : "";
}

std::string TQMForm::GetUICodePage() const {
  return QmConverter ? QmConverter->UICodePage() : "";
}

uint8_t TQMForm::GetUIConvertMode() const {
  return QmConverter ? static_cast<uint8_t>(QmConverter->UIConvertMode()) : 0;
}

uint8_t TQMForm::GetDBConvertMode() const {
  return QmConverter ? static_cast<uint8_t>(QmConverter->DBConvertMode()) : 0;
}

void TQMForm::GetLangText(const std::string& package, const std::string& key, std::string& text,
                          bool convertDefault, const std::string& def) {
  std::string fallback = def;
  if (convertDefault && QmConverter) fallback = QmConverter->UIConvert(Variant(def)).AsString();
  ReadLangMessage(LangController ? LangController->DesignType() : dtClient, package, key, text,
                  fallback);
}
