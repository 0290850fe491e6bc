#include "Pelvor.h"

#include "Glyphs.h"

namespace {

constexpr int kSize = 16;
constexpr int kMaxBmpID = 99;
constexpr uint32_t kTransparent = 0xFF00FF;

uint32_t PaletteColour(char c) {
  switch (c) {
    case 'k':
      return 0x000000;  // outline
    case 'w':
      return 0xFFFFFF;
    case 'p':
      return 0xFFFFE8;  // paper
    case 'g':
      return 0x808080;
    case 'l':
      return 0xC0C0C0;
    case 'R':
      return 0xE02020;
    case 'r':
      return 0xC04040;
    case 'B':
      return 0x90B8F0;  // glass, tiles
    case 'b':
      return 0x3050A0;  // text rows
    case 'd':
      return 0x203880;  // diskette
    case 'G':
      return 0x209020;
    case 'o':
      return 0xC07820;  // handle, wood
    case 'y':
      return 0xF0D060;
    default:
      return kTransparent;
  }
}

// The disabled look of the platform's buttons: dark pixels become grey, light ones the
// face colour, with a white shadow one pixel down and right of every dark pixel.
void DrawDisabled(const uint32_t* normal, uint32_t* out, int stride) {
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) out[y * stride + x] = kTransparent;
  auto isDark = [](uint32_t c) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return c != kTransparent && (r * 30 + g * 59 + b * 11) / 100 < 0xC0;
  };
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (isDark(normal[y * stride + x]) && x + 1 < kSize && y + 1 < kSize)
        out[(y + 1) * stride + x + 1] = 0xFFFFFF;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (isDark(normal[y * stride + x])) out[y * stride + x] = 0x808080;
}

const GlyphArt* Find(int index) {
  for (int i = 0; i < kGlyphCount; ++i)
    if (kGlyphs[i].Number == index) return &kGlyphs[i];
  return nullptr;
}

}  // namespace

extern "C" {

int GetMaxBmpID() {
  return kMaxBmpID;
}

int LoadBmpPixels(int index, int* width, int* height, uint32_t* pixels, int capacity) {
  const GlyphArt* art = Find(index);
  if (art == nullptr || width == nullptr || height == nullptr) return 0;
  const int images = art->WithDisabled ? 2 : 1;
  *width = kSize * images;
  *height = kSize;
  if (pixels == nullptr || capacity < *width * *height) return 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) pixels[y * *width + x] = PaletteColour(art->Rows[y][x]);
  if (art->WithDisabled) DrawDisabled(pixels, pixels + kSize, *width);
  return 1;
}

}  // extern "C"
