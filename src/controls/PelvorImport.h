// The product's glyph library Pelvor as the controls use it: the highest glyph number and a
// glyph loaded into a bitmap. The library ("Pelvor.dll") is loaded on first use from the
// folder of the runtime libraries; when it or one of its entries is missing, both calls
// raise EGlyphLibraryError ("Load Library Pelvor.dll Error!").
#pragma once

#include "Graphics.h"
#include "SysUtils.h"

KXBR_EXCEPTION_CLASS(EGlyphLibraryError, Exception)

// The highest glyph number the library holds.
int GetMaxBmpID();
// Fills `bitmap` with glyph `index` (a strip of square images, the bottom-left pixel's
// colour transparent); false when the library has no such glyph.
bool LoadBmp(TBitmap* bitmap, int index);
// Unloads the library; the next call loads it again (module shutdown, tests that move
// the library folder).
void ReleaseGlyphLibrary();
