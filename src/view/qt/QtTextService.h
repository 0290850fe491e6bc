// Text of the model's canvases with real fonts: measured with Qt's font metrics and drawn as
// glyphs into the bitmap's pixels (antialiased on colour bitmaps, plain on monochrome ones).
#pragma once

#include "Graphics.h"

class TQtTextService : public ITextService {
 public:
  TSize TextExtent(std::string_view text, const TFont& font) override;
  void DrawText(TBitmap& target, const TRect& clip, int x, int y, std::string_view text,
                const TFont& font, int underline) override;
};
