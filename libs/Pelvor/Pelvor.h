// The glyph library: numbered button images of the product, drawn as pixel art.
// A glyph is a horizontal strip of square images (normal, then disabled where a glyph
// carries two). Pixels are 0x00RRGGBB, row by row from the top; the bottom-left pixel's
// colour (magenta) marks the transparent background, as the platform's buttons expect.
#pragma once

#include <cstdint>

#define PELVOR_EXPORT __attribute__((visibility("default")))

extern "C" {
// The highest glyph number the library holds.
PELVOR_EXPORT int GetMaxBmpID();
// Writes glyph `index` into `pixels` (room for `capacity` pixels) and its size into
// width / height. Returns 1 on success; 0 for a number the library does not hold, or
// when the room is too small (width and height are still set, so a caller can retry).
PELVOR_EXPORT int LoadBmpPixels(int index, int* width, int* height, uint32_t* pixels, int capacity);
}
