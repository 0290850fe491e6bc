// Colours, fonts, pens, brushes, bitmaps and canvases. A bitmap is a real pixel buffer;
// pixel operations are plain software with the platform's raster operations. Text goes
// through a text service: the headless default measures deterministically and records
// every text run; a view may install one that measures real fonts and draws glyphs.
//
// Deviations by design:
// - Bitmaps keep full colour per pixel whatever their PixelFormat; only pf1bit
//   (monochrome) restricts pixels to black and white.
// - TransparentColor answers the plain colour (without the platform's 0x02000000 flag).
// - The headless text service draws no glyph pixels; it records the runs instead.
// - Pens draw one pixel wide.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Types.h"

KXBR_EXCEPTION_CLASS(EInvalidGraphic, Exception)
KXBR_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception)

// --- Colours ----------------------------------------------------------------------------------

// 0x00BBGGRR, or a system colour 0x800000nn (nn = the system colour index).
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) {
  return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
  return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
  return (c >> 16) & 0xFF;
}

constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index));
}

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a system colour from the fixed palette (the classic desktop scheme);
// other colours unchanged.
TColor ColorToRGB(TColor color);
TColor GetSysColor(int index);
// "clRed", or "$00RRGGBB"-style hexadecimal ("$00C0DCC1") for colours without a name.
std::string ColorToString(TColor color);
// An identifier or a number; raises EConvertError for anything else.
TColor StringToColor(std::string_view text);
bool IdentToColor(std::string_view ident, TColor& color);
bool ColorToIdent(TColor color, std::string& ident);
const TTypeInfo* ColorTypeInfo();

// --- Character sets and cursors ---------------------------------------------------------------

using TFontCharset = int;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset SHIFTJIS_CHARSET = 128;
inline constexpr TFontCharset HANGEUL_CHARSET = 129;
inline constexpr TFontCharset GB2312_CHARSET = 134;
inline constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
inline constexpr TFontCharset OEM_CHARSET = 255;
const TTypeInfo* CharsetTypeInfo();

using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
const TTypeInfo* CursorTypeInfo();

// --- Graphics objects ---------------------------------------------------------------------------

KXBR_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
KXBR_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
KXBR_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal,
          bsCross, bsDiagCross)
KXBR_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
KXBR_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
          pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

// A font, pen or brush: fires OnChange after every change.
class TGraphicsObject : public TPersistent {
  KXBR_CLASS(TGraphicsObject, TPersistent)

 public:
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }

 protected:
  virtual void Changed() { onChange_(this); }

 private:
  TNotifyEvent onChange_;
};

class TFont : public TGraphicsObject {
  KXBR_CLASS(TFont, TGraphicsObject)

 public:
  TFont() = default;
  static constexpr int PixelsPerInch = 96;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Height in pixels: negative for the character height, as the platform stores it.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Size in points: -Height * 72 / PixelsPerInch, rounded.
  int Size() const;
  void SetSize(int size);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  void Assign(const TPersistent* source) override;
  bool SameAs(const TFont& other) const;

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TColor color_ = clWindowText;
  TFontStyles style_;
  TFontPitch pitch_ = fpDefault;
};

class TPen : public TGraphicsObject {
  KXBR_CLASS(TPen, TGraphicsObject)

 public:
  TPen() = default;
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);
  void Assign(const TPersistent* source) override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  KXBR_CLASS(TBrush, TGraphicsObject)

 public:
  TBrush() = default;
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  void Assign(const TPersistent* source) override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// --- Text service -----------------------------------------------------------------------------

// One piece of text drawn on a bitmap, as the headless text service records it.
struct TTextRun {
  std::string Text;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle;
  TColor FontColor = clBlack;
  TFontCharset Charset = DEFAULT_CHARSET;
  TRect Rect;                    // in the bitmap's pixels, before clipping
  const void* Target = nullptr;  // the bitmap drawn on
  int Underline = -1;            // index (in characters) of the underlined accelerator
};

class TBitmap;

class ITextService {
 public:
  virtual ~ITextService() = default;
  virtual TSize TextExtent(std::string_view text, const TFont& font) = 0;
  // Draws `text` with its top-left corner at (x, y) of `target`, clipped to `clip`.
  virtual void DrawText(TBitmap& target, const TRect& clip, int x, int y, std::string_view text,
                        const TFont& font, int underline) = 0;
};

// Metrics: height |Font.Height|; each character is (height + 1) / 2 wide, twice that for
// East Asian wide characters. Records every run drawn.
class THeadlessTextService : public ITextService {
 public:
  TSize TextExtent(std::string_view text, const TFont& font) override;
  void DrawText(TBitmap& target, const TRect& clip, int x, int y, std::string_view text,
                const TFont& font, int underline) override;
  const std::vector<TTextRun>& Runs() const { return runs_; }
  void ClearRuns() { runs_.clear(); }

 private:
  std::vector<TTextRun> runs_;
};

ITextService* TextService();
THeadlessTextService* HeadlessTextService();
// Installs a text service (not owned); nullptr goes back to the headless one.
void SetTextService(ITextService* service);

// --- Bitmaps ----------------------------------------------------------------------------------

KXBR_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit,
          pfCustom)
KXBR_ENUM(TTransparentMode, tmAuto, tmFixed)

class TCanvas;

class TGraphic : public TPersistent {
  KXBR_CLASS(TGraphic, TPersistent)

 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }

 protected:
  virtual void Changed() { onChange_(this); }

 private:
  bool transparent_ = false;
  TNotifyEvent onChange_;
};

class TBitmap : public TGraphic {
  KXBR_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;
  static constexpr int kMaxPixels = 16 * 1024 * 1024;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // New pixels are white; existing ones keep their place. Raises EInvalidGraphicOperation
  // for negative or too large sizes.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  // The colour of a pixel; -1 (clNone-like "outside") for coordinates outside the bitmap.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);  // ignored outside the bitmap
  void Fill(TColor color);

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  // To monochrome: white stays white, every other colour becomes black.
  void SetMonochrome(bool value);
  // Turns the bitmap into a monochrome mask: `transparentColor` white, all else black.
  void Mask(TColor transparentColor);

  // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  TCanvas* Canvas();

  // BMP files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed (or bit fields), with or
  // without the file header (resources hold none). Malformed data raises EInvalidGraphic
  // and leaves the bitmap unchanged.
  void LoadFromBytes(std::string_view bytes);
  void LoadFromFile(const std::string& fileName);
  // An RT_BITMAP resource; raises EResNotFound-like EInvalidGraphic when missing.
  void LoadFromResourceName(std::string_view name);
  // A 24-bit BMP file (1-bit for monochrome bitmaps).
  std::string SaveToBytes() const;
  void SaveToFile(const std::string& fileName) const;

  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;
  const std::vector<TColor>& Pixels() const { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<TColor> pixels_;  // RGB, row by row from the top
  TPixelFormat pixelFormat_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TCanvas> canvas_;
};

// --- Canvas -----------------------------------------------------------------------------------

// Ternary raster operations of the platform.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t SRCPAINT = 0x00EE0086;
inline constexpr uint32_t SRCAND = 0x008800C6;
inline constexpr uint32_t SRCINVERT = 0x00660046;
inline constexpr uint32_t SRCERASE = 0x00440328;
inline constexpr uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr uint32_t NOTSRCERASE = 0x001100A6;
inline constexpr uint32_t MERGECOPY = 0x00C000CA;
inline constexpr uint32_t MERGEPAINT = 0x00BB0226;
inline constexpr uint32_t PATCOPY = 0x00F00021;
inline constexpr uint32_t PATPAINT = 0x00FB0A09;
inline constexpr uint32_t PATINVERT = 0x005A0049;
inline constexpr uint32_t DSTINVERT = 0x00550009;
inline constexpr uint32_t BLACKNESS = 0x00000042;
inline constexpr uint32_t WHITENESS = 0x00FF0062;
inline constexpr uint32_t ROP_DSPDxax = 0x00E20746;  // pattern where the source is set

// The result of raster operation `rop` on pattern, source and destination colours.
TColor ApplyRop(uint32_t rop, TColor pattern, TColor source, TColor dest);

// DrawText flags.
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;

// Draws on a bitmap (its own, or a region of another one: Origin places the canvas's (0, 0)
// in the target, ClipRect limits drawing in canvas coordinates). A canvas without target
// measures text but draws nothing.
class TCanvas : public TPersistent {
  KXBR_CLASS(TCanvas, TPersistent)

 public:
  TCanvas();
  explicit TCanvas(TBitmap* target);
  ~TCanvas() override;

  void SetTarget(TBitmap* target, TPoint origin, const TRect& clip);
  TBitmap* Target() const { return target_; }
  TPoint Origin() const { return origin_; }
  TRect ClipRect() const;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* pen) { pen_->Assign(pen); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* brush) { brush_->Assign(brush); }
  uint32_t CopyMode() const { return copyMode_; }
  void SetCopyMode(uint32_t rop) { copyMode_ = rop; }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }
  // The device colours that map a monochrome source's black (text colour) and white
  // (background colour) pixels in BitBlt, and that a colour source compares against when
  // drawn onto a monochrome target (background colour becomes white).
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor c) { textColor_ = c; }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c) { bkColor_ = c; }

  TColor Pixels(int x, int y) const;
  void SetPixels(int x, int y, TColor color);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is not drawn
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);          // dotted, inverting: drawing it twice restores
  void Draw(int x, int y, TGraphic* graphic);  // honours the graphic's transparency
  void StretchDraw(const TRect& dest, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);  // CopyMode
  // Copies `source` replacing its pixels of `color` by the brush colour.
  void BrushCopy(const TRect& dest, TBitmap* source, const TRect& sourceRect, TColor color);

  void TextOut(int x, int y, std::string_view text);
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text) const;
  int TextWidth(std::string_view text) const { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) const { return TextExtent(text).cy; }

 private:
  friend void BitBlt(TCanvas*, int, int, int, int, TCanvas*, int, int, uint32_t);
  friend int DrawText(TCanvas*, std::string_view, TRect&, unsigned);
  void PlotPixel(int x, int y, TColor color);  // canvas coordinates, clipped
  void PenPixel(int x, int y, int index);
  void DrawTextRun(int x, int y, std::string_view text, const TRect& clip, int underline);

  TBitmap* target_ = nullptr;
  TPoint origin_;
  TRect clip_;
  bool ownClip_ = false;  // clip follows the target's size
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  uint32_t copyMode_ = SRCCOPY;
  TPoint penPos_;
  TColor textColor_ = clBlack;
  TColor bkColor_ = clWhite;
};

// Block transfer with a raster operation from `source` (may be null for operations
// without a source) to `dest`, as the platform's BitBlt: P is the destination's brush
// colour; a monochrome source maps black to dest's TextColor and white to its BkColor; a
// colour source onto a monochrome target gives white where it equals the source's BkColor.
void BitBlt(TCanvas* dest, int x, int y, int width, int height, TCanvas* source, int sx, int sy,
            uint32_t rop);
void PatBlt(TCanvas* dest, int x, int y, int width, int height, uint32_t rop);
// Draws text in `rect` by `flags` (see DT_*); "&" marks an accelerator unless DT_NOPREFIX.
// Returns the height of the text; with DT_CALCRECT only sets rect's right and bottom.
int DrawText(TCanvas* canvas, std::string_view text, TRect& rect, unsigned flags);
// The text without accelerator marks, and the index of the underlined character (-1).
std::string StripAccelerator(std::string_view text, int& underline);
