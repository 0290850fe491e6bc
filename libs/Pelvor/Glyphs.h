#pragma once

struct GlyphArt {
  int Number;
  bool WithDisabled;  // the strip carries a second, disabled image made from the first
  const char* Rows[16];
};

extern const GlyphArt kGlyphs[];
extern const int kGlyphCount;
