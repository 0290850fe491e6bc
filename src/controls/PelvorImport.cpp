#include "PelvorImport.h"

#include <cstdint>
#include <vector>

#include "DynLib.h"

namespace {

constexpr const char* kLibraryName = "Pelvor.dll";

using TGetMaxBmpID = int (*)();
using TLoadBmpPixels = int (*)(int, int*, int*, uint32_t*, int);

struct TGlyphLibrary {
  HMODULE Module = nullptr;
  TGetMaxBmpID GetMaxBmpID = nullptr;
  TLoadBmpPixels LoadBmpPixels = nullptr;
};

// The import of the library, as a load-time import would hold it.
TGlyphLibrary& Library() {
  static TGlyphLibrary library;
  return library;
}

const TGlyphLibrary& LoadedLibrary() {
  TGlyphLibrary& lib = Library();
  if (lib.Module) return lib;
  HMODULE module = LoadLibrary(kLibraryName);
  if (!module) throw EGlyphLibraryError(Format("Load Library %s Error!", {kLibraryName}));
  auto maxID = reinterpret_cast<TGetMaxBmpID>(GetProcAddress(module, "GetMaxBmpID"));
  auto load = reinterpret_cast<TLoadBmpPixels>(GetProcAddress(module, "LoadBmpPixels"));
  if (!maxID || !load) {
    FreeLibrary(module);
    throw EGlyphLibraryError(Format("Load Library %s Error!", {kLibraryName}));
  }
  lib = {module, maxID, load};
  return lib;
}

}  // namespace

int GetMaxBmpID() {
  return LoadedLibrary().GetMaxBmpID();
}

bool LoadBmp(TBitmap* bitmap, int index) {
  const TGlyphLibrary& lib = LoadedLibrary();
  if (!bitmap) return false;
  int width = 0;
  int height = 0;
  // The first call only asks for the size (an unknown number leaves it at zero).
  lib.LoadBmpPixels(index, &width, &height, nullptr, 0);
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return false;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  if (lib.LoadBmpPixels(index, &width, &height, pixels.data(), static_cast<int>(pixels.size())) ==
      0)
    return false;
  TBitmap image;
  image.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = pixels[static_cast<size_t>(y) * width + x];
      image.SetPixel(x, y, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
  bitmap->Assign(&image);
  return true;
}

void ReleaseGlyphLibrary() {
  TGlyphLibrary& lib = Library();
  if (lib.Module) FreeLibrary(lib.Module);
  lib = {};
}
