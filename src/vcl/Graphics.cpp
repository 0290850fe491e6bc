#include "Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "Paths.h"

// --- Colours ----------------------------------------------------------------------------------

namespace {

// The classic desktop scheme, by system colour index.
constexpr TColor kSystemPalette[] = {
    RGB(212, 208, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 background
    RGB(10, 36, 106),    // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(212, 208, 200),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3-D dark shadow
    RGB(212, 208, 200),  // 22 3-D light
    RGB(0, 0, 0),        // 23 info text
    RGB(255, 255, 225),  // 24 info background
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // 26 hot light
    RGB(166, 202, 240),  // 27 gradient active caption
    RGB(192, 192, 192),  // 28 gradient inactive caption
    RGB(49, 106, 197),   // 29 menu highlight
    RGB(236, 233, 216),  // 30 menu bar
};

const std::vector<TIdentMapEntry>& ColorIdents() {
  static const std::vector<TIdentMapEntry> idents = {
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {clMoneyGreen, "clMoneyGreen"},
      {clSkyBlue, "clSkyBlue"},
      {clCream, "clCream"},
      {clMedGray, "clMedGray"},
      {clActiveBorder, "clActiveBorder"},
      {clActiveCaption, "clActiveCaption"},
      {clAppWorkSpace, "clAppWorkSpace"},
      {clBackground, "clBackground"},
      {clBtnFace, "clBtnFace"},
      {clBtnHighlight, "clBtnHighlight"},
      {clBtnShadow, "clBtnShadow"},
      {clBtnText, "clBtnText"},
      {clCaptionText, "clCaptionText"},
      {clDefault, "clDefault"},
      {clGradientActiveCaption, "clGradientActiveCaption"},
      {clGradientInactiveCaption, "clGradientInactiveCaption"},
      {clGrayText, "clGrayText"},
      {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"},
      {clHotLight, "clHotLight"},
      {clInactiveBorder, "clInactiveBorder"},
      {clInactiveCaption, "clInactiveCaption"},
      {clInactiveCaptionText, "clInactiveCaptionText"},
      {clInfoBk, "clInfoBk"},
      {clInfoText, "clInfoText"},
      {clMenu, "clMenu"},
      {clMenuBar, "clMenuBar"},
      {clMenuHighlight, "clMenuHighlight"},
      {clMenuText, "clMenuText"},
      {clNone, "clNone"},
      {clScrollBar, "clScrollBar"},
      {cl3DDkShadow, "cl3DDkShadow"},
      {cl3DLight, "cl3DLight"},
      {clWindow, "clWindow"},
      {clWindowFrame, "clWindowFrame"},
      {clWindowText, "clWindowText"},
  };
  return idents;
}

}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kSystemPalette))) return clBlack;
  return kSystemPalette[index];
}

TColor ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return color;
}

bool IdentToColor(std::string_view ident, TColor& color) {
  int value = 0;
  if (!IdentToInt(ident, value, ColorIdents())) return false;
  color = value;
  return true;
}

bool ColorToIdent(TColor color, std::string& ident) {
  return IntToIdent(color, ident, ColorIdents());
}

std::string ColorToString(TColor color) {
  std::string ident;
  if (ColorToIdent(color, ident)) return ident;
  return "$" + IntToHex(static_cast<uint32_t>(color), 8);
}

TColor StringToColor(std::string_view text) {
  TColor color = 0;
  if (IdentToColor(Trim(text), color)) return color;
  int64_t value = 0;
  if (!TryStrToInt64(text, value) || value < INT32_MIN || value > UINT32_MAX)
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<TColor>(static_cast<uint32_t>(value));
}

const TTypeInfo* ColorTypeInfo() {
  static const TTypeInfo info = MakeIdentTypeInfo("TColor", ColorIdents());
  return &info;
}

const TTypeInfo* CharsetTypeInfo() {
  static const TTypeInfo info = MakeIdentTypeInfo("TFontCharset", {{0, "ANSI_CHARSET"},
                                                                   {1, "DEFAULT_CHARSET"},
                                                                   {2, "SYMBOL_CHARSET"},
                                                                   {77, "MAC_CHARSET"},
                                                                   {128, "SHIFTJIS_CHARSET"},
                                                                   {129, "HANGEUL_CHARSET"},
                                                                   {130, "JOHAB_CHARSET"},
                                                                   {134, "GB2312_CHARSET"},
                                                                   {136, "CHINESEBIG5_CHARSET"},
                                                                   {161, "GREEK_CHARSET"},
                                                                   {162, "TURKISH_CHARSET"},
                                                                   {163, "VIETNAMESE_CHARSET"},
                                                                   {177, "HEBREW_CHARSET"},
                                                                   {178, "ARABIC_CHARSET"},
                                                                   {186, "BALTIC_CHARSET"},
                                                                   {204, "RUSSIAN_CHARSET"},
                                                                   {222, "THAI_CHARSET"},
                                                                   {238, "EASTEUROPE_CHARSET"},
                                                                   {255, "OEM_CHARSET"}});
  return &info;
}

const TTypeInfo* CursorTypeInfo() {
  static const TTypeInfo info = MakeIdentTypeInfo(
      "TCursor",
      {{crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
       {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
       {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
       {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
       {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
       {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
       {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
       {crSizeAll, "crSizeAll"}});
  return &info;
}

// --- Graphics objects ---------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TGraphicsObject)

KXBR_DEFINE_CLASS(TFont, .Prop<&TFont::Charset, &TFont::SetCharset>("Charset", CharsetTypeInfo())
                             .Prop<&TFont::Color, &TFont::SetColor>("Color", ColorTypeInfo())
                             .Prop<&TFont::Height, &TFont::SetHeight>("Height")
                             .Prop<&TFont::Name, &TFont::SetName>("Name")
                             .Prop<&TFont::Pitch, &TFont::SetPitch>("Pitch")
                             .Prop<&TFont::Size, &TFont::SetSize>("Size")
                             .Prop<&TFont::Style, &TFont::SetStyle>("Style"))

KXBR_DEFINE_CLASS(TPen, .Prop<&TPen::Color, &TPen::SetColor>("Color", ColorTypeInfo())
                            .Prop<&TPen::Mode, &TPen::SetMode>("Mode")
                            .Prop<&TPen::Style, &TPen::SetStyle>("Style")
                            .Prop<&TPen::Width, &TPen::SetWidth>("Width"))

KXBR_DEFINE_CLASS(TBrush, .Prop<&TBrush::Color, &TBrush::SetColor>("Color", ColorTypeInfo())
                              .Prop<&TBrush::Style, &TBrush::SetStyle>("Style"))

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == name_) return;  // the platform keeps the old face for ""
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

static int MulDiv(int a, int b, int c) {
  return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

int TFont::Size() const {
  return -MulDiv(height_, 72, PixelsPerInch);
}

void TFont::SetSize(int size) {
  SetHeight(-MulDiv(size, PixelsPerInch, 72));
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset < 0 || charset > 255)
    throw EConvertError("Invalid character set " + IntToStr(charset));
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (!font) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (SameAs(*font)) return;
  name_ = font->name_;
  height_ = font->height_;
  charset_ = font->charset_;
  color_ = font->color_;
  style_ = font->style_;
  pitch_ = font->pitch_;
  Changed();
}

bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && charset_ == o.charset_ && color_ == o.color_ &&
         style_ == o.style_ && pitch_ == o.pitch_;
}

void TPen::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}
void TPen::SetWidth(int v) {
  if (v < 0 || v == width_) return;
  width_ = v;
  Changed();
}
void TPen::SetStyle(TPenStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TPen::SetMode(TPenMode v) {
  if (v == mode_) return;
  mode_ = v;
  Changed();
}
void TPen::Assign(const TPersistent* source) {
  const auto* pen = dynamic_cast<const TPen*>(source);
  if (!pen) {
    TGraphicsObject::Assign(source);
    return;
  }
  color_ = pen->color_;
  width_ = pen->width_;
  style_ = pen->style_;
  mode_ = pen->mode_;
  Changed();
}

void TBrush::SetColor(TColor v) {
  if (v == color_ && style_ != bsClear) return;
  color_ = v;
  if (style_ == bsClear) style_ = bsSolid;  // a colour makes a clear brush solid again
  Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TBrush::Assign(const TPersistent* source) {
  const auto* brush = dynamic_cast<const TBrush*>(source);
  if (!brush) {
    TGraphicsObject::Assign(source);
    return;
  }
  color_ = brush->color_;
  style_ = brush->style_;
  Changed();
}

// --- Text service -----------------------------------------------------------------------------

static bool IsWideCodePoint(std::string_view ch) {
  if (ch.empty() || static_cast<unsigned char>(ch[0]) < 0x80) return false;
  uint32_t cp = 0;
  const unsigned char c0 = static_cast<unsigned char>(ch[0]);
  if (c0 >= 0xF0 && ch.size() >= 4)
    cp = ((c0 & 0x07) << 18) | ((ch[1] & 0x3F) << 12) | ((ch[2] & 0x3F) << 6) | (ch[3] & 0x3F);
  else if (c0 >= 0xE0 && ch.size() >= 3)
    cp = ((c0 & 0x0F) << 12) | ((ch[1] & 0x3F) << 6) | (ch[2] & 0x3F);
  else if (c0 >= 0xC0 && ch.size() >= 2)
    cp = ((c0 & 0x1F) << 6) | (ch[1] & 0x3F);
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

TSize THeadlessTextService::TextExtent(std::string_view text, const TFont& font) {
  const int height = std::abs(font.Height());
  const int unit = (height + 1) / 2;
  int width = 0;
  for (const std::string& ch : Utf8Chars(text)) width += IsWideCodePoint(ch) ? 2 * unit : unit;
  return TSize{width, height};
}

void THeadlessTextService::DrawText(TBitmap& target, const TRect&, int x, int y,
                                    std::string_view text, const TFont& font, int underline) {
  const TSize size = TextExtent(text, font);
  runs_.push_back(TTextRun{std::string(text), font.Name(), font.Height(), font.Style(),
                           font.Color(), font.Charset(), Bounds(x, y, size.cx, size.cy), &target,
                           underline});
}

static ITextService*& CurrentTextService() {
  static ITextService* service = nullptr;
  return service;
}

THeadlessTextService* HeadlessTextService() {
  static THeadlessTextService service;
  return &service;
}

ITextService* TextService() {
  ITextService* service = CurrentTextService();
  return service ? service : HeadlessTextService();
}

void SetTextService(ITextService* service) {
  CurrentTextService() = service;
}

// --- Bitmaps ----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TGraphic)
KXBR_DEFINE_CLASS(
    TBitmap,
    .Prop<&TBitmap::Height, &TBitmap::SetHeight>("Height")
        .Prop<&TBitmap::Monochrome, &TBitmap::SetMonochrome>("Monochrome")
        .Prop<&TBitmap::PixelFormat, &TBitmap::SetPixelFormat>("PixelFormat")
        .Prop<&TBitmap::Transparent, &TBitmap::SetTransparent>("Transparent")
        .Prop<&TBitmap::TransparentColor, &TBitmap::SetTransparentColor>("TransparentColor",
                                                                         ColorTypeInfo())
        .Prop<&TBitmap::TransparentMode, &TBitmap::SetTransparentMode>("TransparentMode")
        .Prop<&TBitmap::Width, &TBitmap::SetWidth>("Width"))

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0 || (width > 0 && height > kMaxPixels / width))
    throw EInvalidGraphicOperation("Invalid bitmap size " + IntToStr(width) + " x " +
                                   IntToStr(height));
  if (width == width_ && height == height_) return;
  std::vector<TColor> pixels(static_cast<size_t>(width) * height, clWhite);
  for (int y = 0; y < std::min(height, height_); ++y)
    for (int x = 0; x < std::min(width, width_); ++x)
      pixels[static_cast<size_t>(y) * width + x] = pixels_[static_cast<size_t>(y) * width_ + x];
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
  Changed();
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return -1;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  TColor rgb = ColorToRGB(color) & 0xFFFFFF;
  if (pixelFormat_ == pf1bit) rgb = rgb == clWhite ? clWhite : clBlack;
  pixels_[static_cast<size_t>(y) * width_ + x] = rgb;
}

void TBitmap::Fill(TColor color) {
  TColor rgb = ColorToRGB(color) & 0xFFFFFF;
  if (pixelFormat_ == pf1bit) rgb = rgb == clWhite ? clWhite : clBlack;
  std::fill(pixels_.begin(), pixels_.end(), rgb);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pf1bit) {
    SetMonochrome(true);
    return;
  }
  if (format == pixelFormat_) return;
  pixelFormat_ = format;
  Changed();
}

void TBitmap::SetMonochrome(bool value) {
  if (value == Monochrome()) return;
  if (value) {
    for (TColor& p : pixels_) p = p == clWhite ? clWhite : clBlack;
    pixelFormat_ = pf1bit;
  } else {
    pixelFormat_ = pfDevice;
  }
  Changed();
}

void TBitmap::Mask(TColor transparentColor) {
  const TColor key = ColorToRGB(transparentColor) & 0xFFFFFF;
  for (TColor& p : pixels_) p = p == key ? clWhite : clBlack;
  pixelFormat_ = pf1bit;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (width_ == 0 || height_ == 0) return clDefault;
  return Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  transparentMode_ = mode;
  if (mode == tmAuto)
    transparentColor_ = clDefault;
  else if (transparentColor_ == clDefault)
    transparentColor_ = TransparentColor();
  Changed();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(this);
  return canvas_.get();
}

void TBitmap::Assign(const TPersistent* source) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(source);
  if (!bitmap) {
    if (!source) {  // nil empties the bitmap
      width_ = height_ = 0;
      pixels_.clear();
      Changed();
      return;
    }
    TGraphic::Assign(source);
    return;
  }
  if (bitmap == this) return;
  width_ = bitmap->width_;
  height_ = bitmap->height_;
  pixels_ = bitmap->pixels_;
  pixelFormat_ = bitmap->pixelFormat_;
  transparentColor_ = bitmap->transparentColor_;
  transparentMode_ = bitmap->transparentMode_;
  SetTransparent(bitmap->Transparent());
  Changed();
}

namespace {

uint32_t U16(std::string_view b, size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t U32(std::string_view b, size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}
void Put16(std::string& b, uint32_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

[[noreturn]] void BadBitmap() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

// Expands a bit-field mask's value to 0..255.
int FromMask(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    value >>= 1;
    ++shift;
  }
  const uint32_t v = value & mask;
  return static_cast<int>(mask == 0 ? 0 : (v * 255 + mask / 2) / mask);
}

}  // namespace

void TBitmap::LoadFromBytes(std::string_view bytes) {
  size_t info = 0;    // start of the info header
  size_t bitsAt = 0;  // start of the pixel data, 0 = right after the colour table
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (bytes.size() < 14 + 12) BadBitmap();
    bitsAt = U32(bytes, 10);
    info = 14;
  }
  if (bytes.size() < info + 12) BadBitmap();
  const uint32_t headerSize = U32(bytes, info);
  int64_t width = 0, height = 0;
  uint32_t bpp = 0, compression = 0, colorsUsed = 0;
  size_t paletteEntry = 4;
  if (headerSize == 12) {
    width = U16(bytes, info + 4);
    height = static_cast<int16_t>(U16(bytes, info + 6));
    bpp = U16(bytes, info + 10);
    paletteEntry = 3;
  } else if (headerSize >= 40 && headerSize <= 256) {
    if (bytes.size() < info + headerSize) BadBitmap();
    width = static_cast<int32_t>(U32(bytes, info + 4));
    height = static_cast<int32_t>(U32(bytes, info + 8));
    bpp = U16(bytes, info + 14);
    compression = U32(bytes, info + 16);
    colorsUsed = U32(bytes, info + 32);
  } else {
    BadBitmap();
  }
  const bool topDown = height < 0;
  height = std::llabs(height);
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || width * height > kMaxPixels)
    BadBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) BadBitmap();
  if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) BadBitmap();

  size_t table = info + headerSize;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bpp == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }
  if (compression == 3) {
    // The masks follow a 40-byte header; larger headers carry them inside.
    const size_t at = headerSize == 40 ? table : info + 40;
    if (bytes.size() < at + 12) BadBitmap();
    for (int i = 0; i < 3; ++i) masks[i] = U32(bytes, at + 4 * i);
    if (headerSize == 40) table += 12;
  }
  std::vector<TColor> palette;
  if (bpp <= 8) {
    const uint32_t maxColors = 1u << bpp;
    const uint32_t count = colorsUsed == 0 ? maxColors : std::min(colorsUsed, maxColors);
    if (colorsUsed > 256 || bytes.size() < table + count * paletteEntry) BadBitmap();
    for (uint32_t i = 0; i < count; ++i) {
      const size_t at = table + i * paletteEntry;
      palette.push_back(RGB(static_cast<unsigned char>(bytes[at + 2]),
                            static_cast<unsigned char>(bytes[at + 1]),
                            static_cast<unsigned char>(bytes[at])));
    }
    palette.resize(maxColors, clBlack);
    table += count * paletteEntry;
  }
  if (bitsAt == 0) bitsAt = table;
  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  if (bitsAt > bytes.size() || (bytes.size() - bitsAt) / stride < static_cast<size_t>(height))
    BadBitmap();

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  std::vector<TColor> pixels(static_cast<size_t>(w) * h);
  for (int row = 0; row < h; ++row) {
    const size_t line = bitsAt + static_cast<size_t>(row) * stride;
    const int y = topDown ? row : h - 1 - row;
    for (int x = 0; x < w; ++x) {
      TColor c = 0;
      switch (bpp) {
        case 1:
          c = palette[(static_cast<unsigned char>(bytes[line + x / 8]) >> (7 - x % 8)) & 1];
          break;
        case 4:
          c = palette[(static_cast<unsigned char>(bytes[line + x / 2]) >> (x % 2 ? 0 : 4)) & 0xF];
          break;
        case 8:
          c = palette[static_cast<unsigned char>(bytes[line + x])];
          break;
        case 16: {
          const uint32_t v = U16(bytes, line + 2 * static_cast<size_t>(x));
          c = RGB(FromMask(v, masks[0]), FromMask(v, masks[1]), FromMask(v, masks[2]));
          break;
        }
        case 24: {
          const size_t at = line + 3 * static_cast<size_t>(x);
          c = RGB(static_cast<unsigned char>(bytes[at + 2]),
                  static_cast<unsigned char>(bytes[at + 1]), static_cast<unsigned char>(bytes[at]));
          break;
        }
        case 32: {
          const uint32_t v = U32(bytes, line + 4 * static_cast<size_t>(x));
          c = RGB(FromMask(v, masks[0]), FromMask(v, masks[1]), FromMask(v, masks[2]));
          break;
        }
      }
      pixels[static_cast<size_t>(y) * w + x] = c;
    }
  }
  width_ = w;
  height_ = h;
  pixels_ = std::move(pixels);
  switch (bpp) {
    case 1:
      pixelFormat_ = pf1bit;
      break;
    case 4:
      pixelFormat_ = pf4bit;
      break;
    case 8:
      pixelFormat_ = pf8bit;
      break;
    case 16:
      pixelFormat_ = pf16bit;
      break;
    case 24:
      pixelFormat_ = pf24bit;
      break;
    default:
      pixelFormat_ = pf32bit;
      break;
  }
  if (pixelFormat_ == pf1bit)
    for (TColor& p : pixels_) p = p == clWhite ? clWhite : clBlack;
  Changed();
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open file \"" + fileName + "\"");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LoadFromBytes(bytes);
}

void TBitmap::LoadFromResourceName(std::string_view name) {
  const std::string* data = FindResourceData(RT_BITMAP, name);
  if (!data) throw EInvalidGraphic("Resource " + std::string(name) + " not found");
  LoadFromBytes(*data);
}

std::string TBitmap::SaveToBytes() const {
  const bool mono = pixelFormat_ == pf1bit;
  const uint32_t bpp = mono ? 1 : 24;
  const size_t stride = ((static_cast<size_t>(width_) * bpp + 31) / 32) * 4;
  const uint32_t paletteSize = mono ? 8 : 0;
  const uint32_t offset = 14 + 40 + paletteSize;
  const uint32_t imageSize = static_cast<uint32_t>(stride * height_);
  std::string b;
  b += "BM";
  Put32(b, offset + imageSize);
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width_));
  Put32(b, static_cast<uint32_t>(height_));
  Put16(b, 1);
  Put16(b, bpp);
  Put32(b, 0);
  Put32(b, imageSize);
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, mono ? 2 : 0);
  Put32(b, 0);
  if (mono) {
    Put32(b, 0x000000);
    Put32(b, 0xFFFFFF);
  }
  for (int row = height_ - 1; row >= 0; --row) {
    std::string line(stride, '\0');
    for (int x = 0; x < width_; ++x) {
      const TColor c = pixels_[static_cast<size_t>(row) * width_ + x];
      if (mono) {
        if (c == clWhite) line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
      } else {
        line[3 * x] = static_cast<char>(GetBValue(c));
        line[3 * x + 1] = static_cast<char>(GetGValue(c));
        line[3 * x + 2] = static_cast<char>(GetRValue(c));
      }
    }
    b += line;
  }
  return b;
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  std::ofstream out(NativePath(fileName), std::ios::binary);
  const std::string bytes = SaveToBytes();
  if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw EInvalidGraphicOperation("Cannot create file \"" + fileName + "\"");
}

void TBitmap::DefineProperties(TFiler& filer) {
  // The stored form: a 32-bit little-endian length, then that many bytes of a BMP file.
  filer.DefineBinaryProperty("Data", [this](std::string_view bytes) {
    if (bytes.size() < 4) BadBitmap();
    const uint32_t size = U32(bytes, 0);
    if (size > bytes.size() - 4) BadBitmap();
    LoadFromBytes(bytes.substr(4, size));
  });
}

// --- Canvas -----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TCanvas, .Prop<&TCanvas::Brush, &TCanvas::SetBrush>("Brush")
                               .Prop<&TCanvas::Font, &TCanvas::SetFont>("Font")
                               .Prop<&TCanvas::Pen, &TCanvas::SetPen>("Pen"))

TColor ApplyRop(uint32_t rop, TColor pattern, TColor source, TColor dest) {
  const uint32_t index = (rop >> 16) & 0xFF;
  const uint32_t p = static_cast<uint32_t>(pattern), s = static_cast<uint32_t>(source),
                 d = static_cast<uint32_t>(dest);
  uint32_t result = 0;
  for (uint32_t k = 0; k < 8; ++k)
    if (index & (1u << k)) result |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
  return static_cast<TColor>(result & 0xFFFFFF);
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(TBitmap* target) : TCanvas() {
  target_ = target;
  ownClip_ = true;
}

TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(TBitmap* target, TPoint origin, const TRect& clip) {
  target_ = target;
  origin_ = origin;
  clip_ = clip;
  ownClip_ = false;
}

TRect TCanvas::ClipRect() const {
  if (!target_) return TRect{};
  const TRect targetInCanvas =
      Rect(-origin_.X, -origin_.Y, target_->Width() - origin_.X, target_->Height() - origin_.Y);
  return ownClip_ ? targetInCanvas : IntersectRect(clip_, targetInCanvas);
}

TColor TCanvas::Pixels(int x, int y) const {
  if (!target_ || !ClipRect().Contains(Point(x, y))) return -1;
  return target_->Pixel(x + origin_.X, y + origin_.Y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  PlotPixel(x, y, color);
}

void TCanvas::PlotPixel(int x, int y, TColor color) {
  if (!target_ || !ClipRect().Contains(Point(x, y))) return;
  target_->SetPixel(x + origin_.X, y + origin_.Y, color);
}

// One pixel of a pen line: `index` counts along the line for dotted styles.
void TCanvas::PenPixel(int x, int y, int index) {
  switch (pen_->Style()) {
    case psClear:
      return;
    case psDot:
      if (index % 2) return;
      break;
    case psDash:
      if (index % 9 >= 6) return;
      break;
    case psDashDot:
      if (index % 12 >= 6 && index % 12 != 9) return;
      break;
    case psDashDotDot:
      if (index % 15 >= 6 && index % 15 != 9 && index % 15 != 12) return;
      break;
    default:
      break;
  }
  const TColor penColor = ColorToRGB(pen_->Color()) & 0xFFFFFF;
  const TColor dest = Pixels(x, y);
  if (dest < 0) return;
  TColor c = penColor;
  switch (pen_->Mode()) {
    case pmBlack:
      c = clBlack;
      break;
    case pmWhite:
      c = clWhite;
      break;
    case pmNop:
      return;
    case pmNot:
      c = ~dest & 0xFFFFFF;
      break;
    case pmNotCopy:
      c = ~penColor & 0xFFFFFF;
      break;
    case pmMergePenNot:
      c = (penColor | ~dest) & 0xFFFFFF;
      break;
    case pmMaskPenNot:
      c = penColor & ~dest & 0xFFFFFF;
      break;
    case pmMergeNotPen:
      c = (~penColor | dest) & 0xFFFFFF;
      break;
    case pmMaskNotPen:
      c = ~penColor & dest & 0xFFFFFF;
      break;
    case pmMerge:
      c = penColor | dest;
      break;
    case pmNotMerge:
      c = ~(penColor | dest) & 0xFFFFFF;
      break;
    case pmMask:
      c = penColor & dest;
      break;
    case pmNotMask:
      c = ~(penColor & dest) & 0xFFFFFF;
      break;
    case pmXor:
      c = penColor ^ dest;
      break;
    case pmNotXor:
      c = ~(penColor ^ dest) & 0xFFFFFF;
      break;
    default:
      break;
  }
  PlotPixel(x, y, c);
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = Point(x, y);
}

void TCanvas::LineTo(int x, int y) {
  int x0 = penPos_.X, y0 = penPos_.Y;
  const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
  int err = dx + dy, index = 0;
  while (!(x0 == x && y0 == y)) {
    PenPixel(x0, y0, index++);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  penPos_ = Point(x, y);
}

void TCanvas::FillRect(const TRect& r) {
  if (brush_->Style() == bsClear) return;
  const TRect c = IntersectRect(r, ClipRect());
  const TColor color = ColorToRGB(brush_->Color());
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) PlotPixel(x, y, color);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  FillRect(Rect(left + 1, top + 1, right - 1, bottom - 1));
  if (pen_->Style() == psClear) {
    FillRect(Rect(left, top, right, bottom));
    return;
  }
  MoveTo(left, top);
  LineTo(right - 1, top);
  LineTo(right - 1, bottom - 1);
  LineTo(left, bottom - 1);
  LineTo(left, top);
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.IsEmpty()) return;
  const TColor color = ColorToRGB(brush_->Color());
  for (int x = r.Left; x < r.Right; ++x) {
    PlotPixel(x, r.Top, color);
    PlotPixel(x, r.Bottom - 1, color);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    PlotPixel(r.Left, y, color);
    PlotPixel(r.Right - 1, y, color);
  }
}

void TCanvas::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  auto invert = [&](int x, int y) {
    if ((x + y) % 2 != 0) return;
    const TColor d = Pixels(x, y);
    if (d >= 0) PlotPixel(x, y, ~d & 0xFFFFFF);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    invert(x, r.Top);
    if (r.Bottom - 1 != r.Top) invert(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    invert(r.Left, y);
    if (r.Right - 1 != r.Left) invert(r.Right - 1, y);
  }
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap || bitmap->Empty()) return;
  StretchDraw(Bounds(x, y, bitmap->Width(), bitmap->Height()), bitmap);
}

void TCanvas::StretchDraw(const TRect& dest, TGraphic* graphic) {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap || bitmap->Empty() || dest.IsEmpty()) return;
  const bool transparent = bitmap->Transparent();
  const TColor key = bitmap->TransparentColor();
  const TColor pattern = ColorToRGB(brush_->Color());
  const TRect c = IntersectRect(dest, ClipRect());
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) {
      const int sx =
          static_cast<int>(static_cast<int64_t>(x - dest.Left) * bitmap->Width() / dest.Width());
      const int sy =
          static_cast<int>(static_cast<int64_t>(y - dest.Top) * bitmap->Height() / dest.Height());
      const TColor s = bitmap->Pixel(sx, sy);
      if (transparent && s == key) continue;
      PlotPixel(x, y, transparent ? s : ApplyRop(copyMode_, pattern, s, Pixels(x, y)));
    }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source || !source->target_ || dest.IsEmpty() || sourceRect.IsEmpty()) return;
  if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
    BitBlt(this, dest.Left, dest.Top, dest.Width(), dest.Height(), source, sourceRect.Left,
           sourceRect.Top, copyMode_);
    return;
  }
  const TColor pattern = ColorToRGB(brush_->Color());
  const TRect c = IntersectRect(dest, ClipRect());
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) {
      const int sx = sourceRect.Left + (x - dest.Left) * sourceRect.Width() / dest.Width();
      const int sy = sourceRect.Top + (y - dest.Top) * sourceRect.Height() / dest.Height();
      const TColor s = source->Pixels(sx, sy);
      if (s >= 0) PlotPixel(x, y, ApplyRop(copyMode_, pattern, s, Pixels(x, y)));
    }
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* source, const TRect& sourceRect, TColor color) {
  if (!source) return;
  const TColor key = ColorToRGB(color) & 0xFFFFFF;
  const TColor brush = ColorToRGB(brush_->Color());
  const TRect c = IntersectRect(dest, ClipRect());
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) {
      const int sx =
          sourceRect.Left + (x - dest.Left) * sourceRect.Width() / std::max(1, dest.Width());
      const int sy =
          sourceRect.Top + (y - dest.Top) * sourceRect.Height() / std::max(1, dest.Height());
      const TColor s = source->Pixel(sx, sy);
      if (s >= 0) PlotPixel(x, y, s == key ? brush : s);
    }
}

TSize TCanvas::TextExtent(std::string_view text) const {
  return TextService()->TextExtent(text, *font_);
}

void TCanvas::DrawTextRun(int x, int y, std::string_view text, const TRect& clip, int underline) {
  if (!target_) return;
  const TRect targetClip = OffsetRect(IntersectRect(clip, ClipRect()), origin_.X, origin_.Y);
  TextService()->DrawText(*target_, targetClip, x + origin_.X, y + origin_.Y, text, *font_,
                          underline);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  const TSize size = TextExtent(text);
  const TRect box = Bounds(x, y, size.cx, size.cy);
  FillRect(box);
  DrawTextRun(x, y, text, ClipRect(), -1);
  penPos_ = Point(x + size.cx, y);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  FillRect(rect);
  DrawTextRun(x, y, text, rect, -1);
}

void BitBlt(TCanvas* dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy,
            uint32_t rop) {
  if (!dest || !dest->target_ || width <= 0 || height <= 0) return;
  const TColor pattern = ColorToRGB(dest->brush_->Color());
  const bool sourceMono = source && source->target_ && source->target_->Monochrome();
  const bool destMono = dest->target_->Monochrome();
  const TColor textColor = ColorToRGB(dest->textColor_) & 0xFFFFFF;
  const TColor bkColor = ColorToRGB(dest->bkColor_) & 0xFFFFFF;
  const TColor sourceBk = source ? ColorToRGB(source->bkColor_) & 0xFFFFFF : clWhite;
  const TRect c = IntersectRect(Bounds(x, y, width, height), dest->ClipRect());
  // NOTE: reading the whole source block first keeps overlapping copies on one bitmap right.
  std::vector<TColor> src(static_cast<size_t>(std::max(0, c.Width())) * std::max(0, c.Height()), 0);
  if (source)
    for (int row = c.Top; row < c.Bottom; ++row)
      for (int col = c.Left; col < c.Right; ++col) {
        TColor s = source->Pixels(sx + col - x, sy + row - y);
        if (s < 0) s = 0;
        if (sourceMono && !destMono) s = s == clWhite ? bkColor : textColor;
        if (!sourceMono && destMono) s = s == sourceBk ? clWhite : clBlack;
        src[static_cast<size_t>(row - c.Top) * c.Width() + (col - c.Left)] = s;
      }
  for (int row = c.Top; row < c.Bottom; ++row)
    for (int col = c.Left; col < c.Right; ++col) {
      const TColor s = src[static_cast<size_t>(row - c.Top) * c.Width() + (col - c.Left)];
      dest->PlotPixel(col, row, ApplyRop(rop, pattern, s, dest->Pixels(col, row)));
    }
}

void PatBlt(TCanvas* dest, int x, int y, int width, int height, uint32_t rop) {
  BitBlt(dest, x, y, width, height, nullptr, 0, 0, rop);
}

std::string StripAccelerator(std::string_view text, int& underline) {
  underline = -1;
  std::string out;
  int chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && underline < 0) underline = chars;
    }
    out += text[i];
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++chars;
  }
  return out;
}

int DrawText(TCanvas* canvas, std::string_view text, TRect& rect, unsigned flags) {
  if (!canvas) return 0;
  int underline = -1;
  const std::string plain =
      (flags & DT_NOPREFIX) ? std::string(text) : StripAccelerator(text, underline);
  // Lines: CR LF breaks unless single-line; word breaks at blanks or wide characters.
  std::vector<std::string> lines;
  if (flags & DT_SINGLELINE) {
    std::string one;
    for (char ch : plain)
      if (ch != '\r' && ch != '\n') one += ch;
    lines.push_back(one);
  } else {
    std::string current;
    for (size_t i = 0; i <= plain.size(); ++i) {
      if (i == plain.size() || plain[i] == '\n' || plain[i] == '\r') {
        lines.push_back(current);
        current.clear();
        if (i < plain.size() && plain[i] == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n')
          ++i;
      } else {
        current += plain[i];
      }
    }
    if (flags & DT_WORDBREAK) {
      std::vector<std::string> wrapped;
      const int maxWidth = rect.Width();
      for (const std::string& line : lines) {
        std::string piece;
        for (const std::string& ch : Utf8Chars(line)) {
          if (!piece.empty() && canvas->TextWidth(piece + ch) > maxWidth) {
            const size_t blank = piece.rfind(' ');
            if (ch != " " && blank != std::string::npos && blank > 0) {
              wrapped.push_back(piece.substr(0, blank));
              piece = piece.substr(blank + 1);
            } else {
              wrapped.push_back(piece);
              piece.clear();
            }
            if (ch == " ") continue;
          }
          piece += ch;
        }
        wrapped.push_back(piece);
      }
      lines = std::move(wrapped);
    }
  }
  const int lineHeight = canvas->TextHeight("Wg");
  const int total = lineHeight * static_cast<int>(lines.size());
  if (flags & DT_CALCRECT) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, canvas->TextWidth(line));
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + total;
    return total;
  }
  int y = rect.Top;
  if (flags & DT_SINGLELINE) {
    if (flags & DT_VCENTER)
      y = rect.Top + (rect.Height() - lineHeight) / 2;
    else if (flags & DT_BOTTOM)
      y = rect.Bottom - lineHeight;
  }
  const TRect clip = (flags & DT_NOCLIP) ? canvas->ClipRect() : rect;
  int consumed = 0;  // characters of earlier lines, to place the underline
  for (const std::string& line : lines) {
    const int width = canvas->TextWidth(line);
    int x = rect.Left;
    if (flags & DT_CENTER)
      x = rect.Left + (rect.Width() - width) / 2;
    else if (flags & DT_RIGHT)
      x = rect.Right - width;
    const int length = Utf8Length(line);
    const int lineUnderline =
        underline >= consumed && underline < consumed + length ? underline - consumed : -1;
    canvas->DrawTextRun(x, y, line, clip, lineUnderline);
    consumed += length;
    y += lineHeight;
  }
  return total;
}
