// TGSpeedButton: a speed button whose image is chosen by number from the glyph library, so
// that forms store a glyph number instead of a bitmap.
#pragma once

#include "Buttons.h"

class TGSpeedButton : public TSpeedButton {
  KXBR_CLASS(TGSpeedButton, TSpeedButton)

 public:
  explicit TGSpeedButton(TComponent* owner);

  // Setting a new number shows it as the caption until its image is loaded: 0 or a number
  // beyond the library's clears the image; a loaded image clears the caption. A failure of
  // the library is reported in a message box and goes no further.
  int GlyphIndex() const { return glyphIndex_; }
  void SetGlyphIndex(int v);
  // Kept with the form; has no effect.
  int HintIndex() const { return hintIndex_; }
  void SetHintIndex(int v) { hintIndex_ = v; }

 private:
  void ClearGlyph();

  int glyphIndex_ = 0;
  int hintIndex_ = 0;
};
