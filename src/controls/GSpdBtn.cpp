#include "GSpdBtn.h"

#include "Dialogs.h"
#include "PelvorImport.h"

KXBR_DEFINE_CLASS(TGSpeedButton,
                  .Prop<&TGSpeedButton::GlyphIndex, &TGSpeedButton::SetGlyphIndex>("GlyphIndex")
                      .Prop<&TGSpeedButton::HintIndex, &TGSpeedButton::SetHintIndex>("HintIndex")
                      .Prop<&TGSpeedButton::Glyph, &TGSpeedButton::SetGlyph>("Glyph"))

TGSpeedButton::TGSpeedButton(TComponent* owner) : TSpeedButton(owner) {}

void TGSpeedButton::ClearGlyph() {
  TBitmap empty;
  SetGlyph(&empty);
}

void TGSpeedButton::SetGlyphIndex(int v) {
  if (v == glyphIndex_) return;
  glyphIndex_ = v;
  SetCaption(std::to_string(v));
  try {
    if (v == 0 || v > GetMaxBmpID()) {
      ClearGlyph();
      return;
    }
    TBitmap image;
    if (!LoadBmp(&image, v)) {
      // No stale image of the previous number stays beside the new number.
      ClearGlyph();
      return;
    }
    SetCaption("");
    SetGlyph(&image);
    if (image.Height() > 0) SetNumGlyphs(image.Width() / image.Height());
  } catch (...) {
    Application()->MessageBox("读取 BMP 发生错误", Application()->Title(), MB_OK | MB_ICONERROR);
  }
}
