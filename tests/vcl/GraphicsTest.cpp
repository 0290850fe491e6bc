#include <gtest/gtest.h>

#include "Graphics.h"
#include "ImgList.h"
#include "TempFolder.h"

namespace {

// A bitmap of a size, filled with one colour.
struct Bmp : TBitmap {
  Bmp(int w, int h, TColor fill) {
    SetSize(w, h);
    Fill(fill);
  }
};

TEST(GraphicsTest, ColoursResolveThroughTheFixedPaletteAndIdentifiers) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToString(clSkyBlue), "clSkyBlue");
  EXPECT_EQ(ColorToString(RGB(1, 2, 3)), "$00030201");
  EXPECT_EQ(StringToColor("clInfoBk"), clInfoBk);
  EXPECT_EQ(StringToColor("$00FF0000"), clBlue);
  EXPECT_EQ(StringToColor("11534335"), RGB(255, 255, 175));
  EXPECT_THROW(StringToColor("clPink"), EConvertError);
}

TEST(GraphicsTest, FontSizeAndHeightAndChangeEvents) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  struct Counter : TObject {
    int n = 0;
    void Changed(TObject*) { ++n; }
  } counter;
  font.SetOnChange(MethodOf<&Counter::Changed>(&counter));
  font.SetName("Tahoma");
  font.SetName("Tahoma");  // unchanged: no event
  font.SetCharset(GB2312_CHARSET);
  EXPECT_EQ(counter.n, 2);
  EXPECT_THROW(font.SetCharset(300), EConvertError);
  TFont copy;
  copy.Assign(&font);
  EXPECT_TRUE(copy.SameAs(font));
}

TEST(GraphicsTest, ResizingKeepsPixelsAndFillsWhite) {
  Bmp b(2, 2, clRed);
  b.SetSize(3, 1);
  EXPECT_EQ(b.Pixel(0, 0), clRed);
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  EXPECT_EQ(b.Pixel(2, 0), clWhite);
  EXPECT_EQ(b.Pixel(0, 1), -1);
  b.SetPixel(5, 5, clBlue);  // outside: ignored
  EXPECT_THROW(b.SetSize(-1, 2), EInvalidGraphicOperation);
  EXPECT_THROW(b.SetSize(100000, 100000), EInvalidGraphicOperation);
  EXPECT_EQ(b.Width(), 3);
  b.SetPixel(0, 0, clBtnFace);  // system colours are stored as their RGB
  EXPECT_EQ(b.Pixel(0, 0), RGB(212, 208, 200));
}

TEST(GraphicsTest, BmpFilesRoundTrip) {
  TempFolder folder;
  Bmp b(5, 3, clWhite);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(4, 2, RGB(1, 2, 3));
  b.SaveToFile(folder.Path() + "/a.bmp");
  TBitmap loaded;
  loaded.LoadFromFile(folder.Path() + "/a.bmp");
  EXPECT_EQ(loaded.Pixels(), b.Pixels());
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);

  b.SetMonochrome(true);
  TBitmap mono;
  mono.LoadFromBytes(b.SaveToBytes());
  EXPECT_TRUE(mono.Monochrome());
  EXPECT_EQ(mono.Pixel(0, 0), clBlack);
  EXPECT_EQ(mono.Pixel(1, 0), clWhite);
}

// A 16-colour 19 x 14 bitmap resource as the check boxes use, without file header.
TEST(GraphicsTest, LoadsFourBitResourcesWithPalettes) {
  std::string dib;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) dib += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(40, 4);
  put(19, 4);
  put(14, 4);
  put(1, 2);
  put(4, 2);
  put(0, 4);
  put(0, 4);
  put(0, 4);
  put(0, 4);
  put(16, 4);
  put(0, 4);
  for (int i = 0; i < 16; ++i) put(i == 1 ? 0x0000FF : (i == 2 ? 0xFF0000 : 0xC0C0C0), 4);  // BGR0
  const int stride = 12;  // 19 pixels of 4 bits, padded to 4 bytes
  for (int row = 0; row < 14; ++row) {
    std::string line(stride, '\0');
    line[0] = row == 0 ? '\x12' : '\x00';  // bottom row: pixel 0 colour 1, pixel 1 colour 2
    dib += line;
  }
  RegisterResource(RT_BITMAP, "CHECKED", dib);
  TBitmap b;
  b.LoadFromResourceName("checked");
  UnregisterResource(RT_BITMAP, "CHECKED");
  EXPECT_EQ(b.Width(), 19);
  EXPECT_EQ(b.Height(), 14);
  EXPECT_EQ(b.PixelFormat(), pf4bit);
  EXPECT_EQ(b.Pixel(0, 13), clBlue);  // palette entry 1 is blue (stored B, G, R)
  EXPECT_EQ(b.Pixel(1, 13), clRed);
  EXPECT_EQ(b.Pixel(2, 13), RGB(192, 192, 192));
  EXPECT_EQ(b.TransparentColor(), clBlue);  // the bottom-left pixel
  EXPECT_THROW(b.LoadFromResourceName("MISSING"), EInvalidGraphic);
}

TEST(GraphicsTest, MalformedBmpDataIsRefusedAndChangesNothing) {
  Bmp b(1, 1, clRed);
  const std::string good = Bmp(4, 4, clBlue).SaveToBytes();
  const std::string cases[] = {"",
                               "BM",
                               good.substr(0, 60),
                               std::string(good).replace(28, 2, "\x03\x00", 2),  // 3 bits per pixel
                               std::string(good).replace(18, 4, "\0\0\0\x80", 4),   // huge width
                               std::string(good).replace(30, 4, "\x01\0\0\0", 4)};  // RLE8
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_THROW(b.LoadFromBytes(cases[i]), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
  }
}

TEST(GraphicsTest, MaskAndMonochromeConversions) {
  Bmp b(3, 1, clOlive);
  b.SetPixel(1, 0, clBlack);
  b.SetPixel(2, 0, clWhite);
  TBitmap mask;
  mask.Assign(&b);
  mask.Mask(clOlive);
  EXPECT_EQ(mask.Pixel(0, 0), clWhite);
  EXPECT_EQ(mask.Pixel(1, 0), clBlack);
  EXPECT_EQ(mask.Pixel(2, 0), clBlack);
  b.SetMonochrome(true);
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
  EXPECT_EQ(b.Pixel(2, 0), clWhite);
  b.SetPixel(0, 0, clYellow);  // a monochrome bitmap holds black and white only
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(GraphicsTest, RasterOperationsFollowTheirTruthTables) {
  const TColor p = 0x00F0F0, s = 0x00CCCC, d = 0x00AAAA;
  struct Case {
    const char* name;
    uint32_t rop;
    TColor result;
  };
  const Case cases[] = {{"SRCCOPY", SRCCOPY, s},
                        {"SRCPAINT", SRCPAINT, s | d},
                        {"SRCAND", SRCAND, s & d},
                        {"SRCINVERT", SRCINVERT, s ^ d},
                        {"NOTSRCCOPY", NOTSRCCOPY, ~s & 0xFFFFFF},
                        {"PATCOPY", PATCOPY, p},
                        {"DSTINVERT", DSTINVERT, ~d & 0xFFFFFF},
                        {"BLACKNESS", BLACKNESS, 0},
                        {"WHITENESS", WHITENESS, 0xFFFFFF},
                        {"DSPDxax", ROP_DSPDxax, (s & p) | (~s & d & 0xFFFFFF)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ApplyRop(c.rop, p, s, d), c.result);
  }
}

// The disabled-glyph recipe: a monochrome mask drawn with DSPDxax paints the brush where
// the mask maps to white and keeps the destination elsewhere.
TEST(GraphicsTest, MonochromeSourcesMapThroughTextAndBackgroundColours) {
  Bmp mono(2, 1, clWhite);
  mono.SetMonochrome(true);
  mono.SetPixel(0, 0, clBlack);
  Bmp dest(2, 1, clGreen);
  TCanvas* canvas = dest.Canvas();
  canvas->Brush()->SetColor(clRed);
  canvas->SetTextColor(clBlack);
  canvas->SetBkColor(clWhite);
  BitBlt(canvas, 0, 0, 2, 1, mono.Canvas(), 0, 0, ROP_DSPDxax);
  EXPECT_EQ(dest.Pixel(0, 0), clGreen);
  EXPECT_EQ(dest.Pixel(1, 0), clRed);
  // Swapping the colours swaps the roles.
  dest.Fill(clGreen);
  canvas->SetTextColor(clWhite);
  canvas->SetBkColor(clBlack);
  BitBlt(canvas, 0, 0, 2, 1, mono.Canvas(), 0, 0, ROP_DSPDxax);
  EXPECT_EQ(dest.Pixel(0, 0), clRed);
  EXPECT_EQ(dest.Pixel(1, 0), clGreen);
  // A colour source onto a monochrome target: its background colour becomes white.
  Bmp colour(2, 1, clOlive);
  colour.SetPixel(1, 0, clBlack);
  colour.Canvas()->SetBkColor(clOlive);
  Bmp target(2, 1, clBlack);
  target.SetMonochrome(true);
  BitBlt(target.Canvas(), 0, 0, 2, 1, colour.Canvas(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Pixel(1, 0), clBlack);
}

TEST(GraphicsTest, CanvasShapesStayInsideTheirRectangles) {
  Bmp b(6, 6, clWhite);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(1, 1, 3, 3));
  EXPECT_EQ(b.Pixel(1, 1), clRed);
  EXPECT_EQ(b.Pixel(2, 2), clRed);
  EXPECT_EQ(b.Pixel(3, 3), clWhite);  // right and bottom are excluded
  c->Pen()->SetColor(clBlue);
  c->MoveTo(0, 5);
  c->LineTo(5, 5);
  EXPECT_EQ(b.Pixel(0, 5), clBlue);
  EXPECT_EQ(b.Pixel(4, 5), clBlue);
  EXPECT_EQ(b.Pixel(5, 5), clWhite);  // the end point is not drawn
  EXPECT_EQ(c->PenPos(), Point(5, 5));
  c->Brush()->SetColor(clLime);
  c->Rectangle(0, 0, 6, 5);
  EXPECT_EQ(b.Pixel(0, 0), clBlue);
  EXPECT_EQ(b.Pixel(5, 4), clBlue);
  EXPECT_EQ(b.Pixel(2, 2), clLime);
  const std::vector<TColor> before = b.Pixels();
  c->DrawFocusRect(Rect(1, 1, 5, 4));
  EXPECT_NE(b.Pixels(), before);
  c->DrawFocusRect(Rect(1, 1, 5, 4));
  EXPECT_EQ(b.Pixels(), before);
  EXPECT_EQ(c->Pixels(9, 9), -1);
}

TEST(GraphicsTest, DrawingHonoursTransparencyAndRegions) {
  Bmp glyph(2, 2, clFuchsia);
  glyph.SetPixel(0, 0, clNavy);
  glyph.SetTransparent(true);  // bottom-left fuchsia is transparent
  Bmp dest(4, 4, clWhite);
  dest.Canvas()->Draw(1, 1, &glyph);
  EXPECT_EQ(dest.Pixel(1, 1), clNavy);
  EXPECT_EQ(dest.Pixel(2, 2), clWhite);
  glyph.SetTransparent(false);
  dest.Canvas()->Draw(1, 1, &glyph);
  EXPECT_EQ(dest.Pixel(2, 2), clFuchsia);
  // A canvas for a region of the bitmap: origin (2, 2), clipped to 1 x 1.
  TCanvas region;
  region.SetTarget(&dest, Point(2, 2), Rect(0, 0, 1, 1));
  region.Brush()->SetColor(clLime);
  region.FillRect(Rect(-5, -5, 5, 5));
  EXPECT_EQ(dest.Pixel(2, 2), clLime);
  EXPECT_EQ(dest.Pixel(3, 3), clWhite);
  EXPECT_EQ(dest.Pixel(1, 1), clNavy);
}

TEST(GraphicsTest, TextIsMeasuredAndRecordedByTheTextService) {
  THeadlessTextService* service = HeadlessTextService();
  service->ClearRuns();
  Bmp b(100, 40, clWhite);
  TCanvas* c = b.Canvas();
  c->Font()->SetName("宋体");
  c->Font()->SetHeight(-12);
  EXPECT_EQ(c->TextWidth("abc"), 18);
  EXPECT_EQ(c->TextWidth("起止"), 24);
  EXPECT_EQ(c->TextHeight("x"), 12);
  c->Brush()->SetColor(clYellow);
  c->TextOut(3, 4, "ab");
  ASSERT_EQ(service->Runs().size(), 1u);
  EXPECT_EQ(service->Runs()[0].Text, "ab");
  EXPECT_EQ(service->Runs()[0].Rect, Rect(3, 4, 15, 16));
  EXPECT_EQ(service->Runs()[0].FontName, "宋体");
  EXPECT_EQ(b.Pixel(3, 4), clYellow);  // opaque background
  EXPECT_EQ(b.Pixel(15, 4), clWhite);

  TRect r = Rect(0, 0, 100, 40);
  DrawText(c, "&Save", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ASSERT_EQ(service->Runs().size(), 2u);
  EXPECT_EQ(service->Runs()[1].Text, "Save");
  EXPECT_EQ(service->Runs()[1].Underline, 0);
  EXPECT_EQ(service->Runs()[1].Rect, Rect(38, 14, 62, 26));
  TRect calc = Rect(0, 0, 0, 0);
  EXPECT_EQ(DrawText(c, "a&&b\r\nlonger", calc, DT_CALCRECT), 24);
  EXPECT_EQ(calc, Rect(0, 0, 36, 24));
  TRect narrow = Rect(0, 0, 30, 40);
  DrawText(c, "one two three", narrow, DT_WORDBREAK);
  EXPECT_EQ(service->Runs().back().Text, "three");
  service->ClearRuns();
}

TEST(GraphicsTest, ImageListsCutStripsAndDrawTransparently) {
  Bmp strip(8, 4, clFuchsia);
  strip.SetPixel(0, 0, clRed);
  strip.SetPixel(4, 0, clBlue);
  TImageList list(nullptr);
  list.SetWidth(4);
  list.SetHeight(4);
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  Bmp dest(4, 4, clWhite);
  list.Draw(dest.Canvas(), 0, 0, 1);
  EXPECT_EQ(dest.Pixel(0, 0), clBlue);
  EXPECT_EQ(dest.Pixel(1, 1), clWhite);
  TBitmap single;
  list.GetBitmap(0, &single);
  EXPECT_EQ(single.Pixel(0, 0), clRed);
  EXPECT_THROW(list.GetBitmap(2, &single), EInvalidOperation);
  list.SetWidth(8);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
