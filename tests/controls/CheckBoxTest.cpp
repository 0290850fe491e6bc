#include <gtest/gtest.h>

#include "BtChkBox.h"
#include "ControlResources.h"
#include "FormTestKit.h"

namespace {

constexpr TColor kMagenta = RGB(255, 0, 255);

class CheckBoxTest : public VclTest {
 protected:
  void SetUp() override {
    VclTest::SetUp();
    form.reset(CreateForm<TForm>(nullptr));
    form->Show();
    box = new TBitCheckBox(form.get());
    box->SetName("chkNotify");
    box->SetParent(form.get());
    box->SetColor(clBtnFace);
    box->SetCaption("Notify");
    other = new TEdit(form.get());
    other->SetParent(form.get());
    HeadlessTextService()->ClearRuns();
  }
  void TearDown() override {
    form.reset();
    VclTest::TearDown();
  }
  // The text runs painted on the box's surface.
  std::vector<TTextRun> Runs(const TBitmap* surface) {
    std::vector<TTextRun> runs;
    for (const TTextRun& r : HeadlessTextService()->Runs())
      if (r.Target == surface) runs.push_back(r);
    return runs;
  }

  TOwned<TForm> form;
  TBitCheckBox* box = nullptr;
  TEdit* other = nullptr;
  TRecorder rec;
};

TEST(CheckBoxBitmapsTest, TheThreeStateImagesAreSixteenColourBoxes) {
  struct Case {
    const char* name;
    TColor face;  // inside the box
    int ticks;    // tick pixels inside the box
  } cases[] = {
      {"CHECKED", clWhite, 21}, {"GRAYED", RGB(192, 192, 192), 21}, {"UNCHECKED", clWhite, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    b.LoadFromResourceName(c.name);
    EXPECT_EQ(b.Width(), 19);
    EXPECT_EQ(b.Height(), 14);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_EQ(b.TransparentColor(), kMagenta);
    EXPECT_EQ(b.Pixel(0, 0), RGB(128, 128, 128));  // sunken frame
    EXPECT_EQ(b.Pixel(1, 1), clBlack);
    EXPECT_EQ(b.Pixel(12, 12), clWhite);
    EXPECT_EQ(b.Pixel(15, 5), kMagenta);  // beside the box
    int face = 0, ticks = 0;
    for (int y = 2; y <= 10; ++y)
      for (int x = 2; x <= 10; ++x) (b.Pixel(x, y) == c.face ? face : ticks)++;
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(face + ticks, 81);
  }
}

TEST(CheckBoxBitmapsTest, MalformedBitmapTextIsRefusedWithItsLine) {
  const char* bad[] = {"BITMAP A\n0F\n0\n", "BITMAP A\n0G\n", "0F\n", "BITMAP A\n"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    EXPECT_THROW(ParseTextBitmaps(text), EConvertError);
  }
  const auto ok = ParseTextBitmaps("# note\nBITMAP A\n0F\nF0\n\nBITMAP B\n7\n");
  ASSERT_EQ(ok.size(), 2u);
  TBitmap b;
  b.LoadFromBytes(ok[0].Dib);
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
  EXPECT_EQ(b.Pixel(1, 0), clWhite);
  EXPECT_EQ(b.Pixel(0, 1), clWhite);
}

TEST_F(CheckBoxTest, ANewBoxIsAnUncheckedTabStopWithTheResourceImages) {
  EXPECT_EQ(box->Width(), 97);
  EXPECT_EQ(box->Height(), 17);
  EXPECT_TRUE(box->TabStop());
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(box->Alignment(), taRightJustify);
  for (TBitmap* glyph : {box->CheckedGlyph(), box->GrayedGlyph(), box->UncheckedGlyph()}) {
    EXPECT_EQ(glyph->Width(), 19);
    EXPECT_EQ(glyph->Height(), 14);
  }
  EXPECT_EQ(box->CheckedNumGlyphs(), 1);
  EXPECT_EQ(GetClass("TVekCheckBox"), TVekCheckBox::StaticClass());
}

TEST_F(CheckBoxTest, ClicksCycleThroughTheStatesFiringOnClickAndTakingTheFocus) {
  box->SetAllowGrayed(true);
  box->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  other->SetFocus();
  const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked};
  for (TCheckBoxState state : expected) {
    SendMouseClick(box);
    EXPECT_EQ(box->State(), state);
  }
  EXPECT_EQ(rec.Log.size(), 3u);
  EXPECT_TRUE(box->Focused());
  box->SetAllowGrayed(false);
  SendKey(VK_SPACE);  // the space bar clicks too
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(rec.Log.size(), 4u);
}

TEST_F(CheckBoxTest, SettingTheStateFiresNoEvent) {
  box->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  box->SetChecked(true);
  EXPECT_EQ(box->State(), cbChecked);
  box->SetState(cbGrayed);
  EXPECT_FALSE(box->Checked());
  box->SetChecked(false);
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_TRUE(rec.Log.empty());
}

TEST_F(CheckBoxTest, AnAcceleratorFocusesAndTogglesWithoutOnClick) {
  box->SetCaption("完成后通知(&N)");
  box->SetOnClick(MethodOf<&TRecorder::Click>(&rec));
  other->SetFocus();
  SendKey('N', {ssAlt});
  EXPECT_TRUE(box->Focused());
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(rec.Log.empty());
  box->SetEnabled(false);
  other->SetFocus();
  SendKey('N', {ssAlt});
  EXPECT_TRUE(box->Checked());
}

TEST_F(CheckBoxTest, GlyphCountsFollowTheBitmapAndStayWithinOneAndTwo) {
  TBitmap strip;
  strip.SetSize(38, 14);  // two images of the state's 19 x 14
  box->SetCheckedGlyph(&strip);
  EXPECT_EQ(box->CheckedNumGlyphs(), 2);
  strip.SetSize(20, 10);  // square images: two of 10 x 10
  box->SetUncheckedGlyph(&strip);
  EXPECT_EQ(box->UncheckedNumGlyphs(), 2);
  box->SetUncheckedNumGlyphs(5);
  EXPECT_EQ(box->UncheckedNumGlyphs(), 2);
  box->SetUncheckedNumGlyphs(0);
  EXPECT_EQ(box->UncheckedNumGlyphs(), 1);
  strip.SetSize(42, 14);  // three images are kept as two
  box->SetGrayedGlyph(&strip);
  EXPECT_EQ(box->GrayedNumGlyphs(), 2);
  box->SetCheckedGlyph(nullptr);  // back to the resource
  EXPECT_EQ(box->CheckedGlyph()->Width(), 19);
}

TEST_F(CheckBoxTest, PaintPutsImageAndCaptionOnTheirSides) {
  struct Case {
    TAlignment alignment;
    TCheckBoxState state;
    int imageLeft;
    int captionLeft;
  } cases[] = {
      {taRightJustify, cbUnchecked, 0, 23},
      {taRightJustify, cbChecked, 0, 23},
      {taLeftJustify, cbChecked, 78, 1},
      {taLeftJustify, cbGrayed, 78, 1},
  };
  const TColor face = ColorToRGB(clBtnFace);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.alignment) + " " + std::to_string(c.state));
    box->SetAlignment(c.alignment);
    box->SetState(c.state);
    HeadlessTextService()->ClearRuns();
    TBitmap* s = box->PaintControl();
    const int x = c.imageLeft, y = 1;  // (17 - 14) div 2
    EXPECT_EQ(s->Pixel(x, y), RGB(128, 128, 128));
    EXPECT_EQ(s->Pixel(x + 1, y + 1), clBlack);
    EXPECT_EQ(s->Pixel(x + 15, y + 5), face);  // the transparent part shows the colour
    EXPECT_EQ(s->Pixel(x, y + 13), face);
    const TColor inside = c.state == cbGrayed ? RGB(192, 192, 192) : clWhite;
    EXPECT_EQ(s->Pixel(x + 2, y + 2), inside);
    const TColor tick = c.state == cbChecked  ? clBlack
                        : c.state == cbGrayed ? RGB(128, 128, 128)
                                              : clWhite;
    EXPECT_EQ(s->Pixel(x + 3, y + 5), tick);
    const auto runs = Runs(s);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Text, "Notify");
    EXPECT_EQ(runs[0].Rect.Left, c.captionLeft);
    EXPECT_EQ(runs[0].FontColor, box->Font()->Color());
    const int middle = (runs[0].Rect.Top + runs[0].Rect.Bottom) / 2;
    EXPECT_NEAR(middle, 17 / 2, 1);
  }
}

TEST_F(CheckBoxTest, DisabledBoxesShowTheSecondImageAndAnEngravedCaption) {
  TBitmap strip;
  strip.SetSize(38, 14);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(Rect(0, 0, 19, 14));
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(Rect(19, 0, 38, 14));
  strip.SetPixel(0, 13, kMagenta);
  box->SetCheckedGlyph(&strip);
  box->SetChecked(true);
  TBitmap* s = box->PaintControl();
  EXPECT_EQ(s->Pixel(5, 6), clRed);
  box->SetEnabled(false);
  HeadlessTextService()->ClearRuns();
  s = box->PaintControl();
  EXPECT_EQ(s->Pixel(5, 6), clBlue);
  const auto runs = Runs(s);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].FontColor, clBtnHighlight);
  EXPECT_EQ(runs[0].Rect.Left, 24);
  EXPECT_EQ(runs[1].FontColor, clGrayText);
  EXPECT_EQ(runs[1].Rect.Left, 23);
  box->SetCtl3D(false);
  HeadlessTextService()->ClearRuns();
  EXPECT_EQ(Runs(box->PaintControl()).size(), 1u);
}

TEST_F(CheckBoxTest, TheFocusedBoxFramesItsCaption) {
  const TRect caption = box->CaptionRect();
  EXPECT_EQ(caption.Left, 23);
  EXPECT_EQ(caption.Right, 23 + box->Canvas()->TextWidth("Notify"));
  TBitmap unfocused;
  unfocused.Assign(box->PaintControl());
  box->SetFocus();
  const TBitmap* focused = box->PaintControl();
  int framed = 0;
  for (int x = caption.Left - 1; x <= caption.Right; ++x)
    framed += focused->Pixel(x, caption.Top - 1) != unfocused.Pixel(x, caption.Top - 1);
  EXPECT_GT(framed, 0);
  // Outside the frame nothing changes.
  EXPECT_EQ(focused->Pixel(caption.Right + 3, caption.Top - 1),
            unfocused.Pixel(caption.Right + 3, caption.Top - 1));
}

}  // namespace
