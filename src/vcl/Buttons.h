// Buttons with glyphs: TSpeedButton (a graphic control that can stay down in a group) and
// TBitBtn (a push button with a glyph and standard kinds).
//
// Deviations by design:
// - The standard kinds of TBitBtn bring their caption, modal result and default / cancel
//   role but no built-in glyph.
#pragma once

#include <memory>

#include "Controls.h"
#include "StdCtrls.h"

KXBR_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
KXBR_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
KXBR_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry,
          bkIgnore, bkAll)
KXBR_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)

// The glyph of a button: images side by side for the up, disabled, down and exclusive (stay
// down) states.
class TButtonGlyph {
 public:
  TButtonGlyph();
  TBitmap* Glyph() const { return glyph_.get(); }
  // Copies the bitmap; a width that is 1 to 4 times its height sets the number of images.
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return numGlyphs_; }
  // Kept within 1..4.
  void SetNumGlyphs(int value);
  // The width of one image.
  int ImageWidth() const;
  // The image for a state: its own when the glyph holds one, else the first (drawn greyed
  // when disabled).
  int ImageIndexFor(TButtonState state) const;
  // Lays out glyph and caption in `client` by the platform's rules and draws them.
  // The glyph's transparent colour (its bottom-left pixel) is not drawn.
  void Draw(TCanvas* canvas, const TRect& client, std::string_view caption, TButtonLayout layout,
            int margin, int spacing, TButtonState state);
  // Where Draw puts the glyph and the caption's rectangle.
  void CalcLayout(TCanvas* canvas, const TRect& client, std::string_view caption,
                  TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                  TRect& textRect) const;

 private:
  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
};

class TSpeedButton : public TGraphicControl {
  KXBR_CLASS(TSpeedButton, TGraphicControl)

 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* v);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  // Buttons of the same parent with the same non-zero group index stay down one at a time.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Down() const { return down_; }
  // Only a grouped button can be down; it comes up only when AllowAllUp.
  void SetDown(bool v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  TButtonState State() const { return state_; }

  // The platform's click: a grouped button goes down (or up with AllowAllUp), then OnClick.
  void Click() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint() override;
  void GlyphChanged(TObject* sender);
  void CMButtonPressed(TMessage& m);
  void CMEnabledChangedSpeed(TMessage& m);
  void CMDialogCharSpeed(TMessage& m);
  void UpdateExclusive();

  TButtonGlyph glyph_;

 private:
  bool flat_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool transparent_ = true;
  bool dragging_ = false;
  TButtonState state_ = bsUp;
};

class TBitBtn : public TButton {
  KXBR_CLASS(TBitBtn, TButton)

 public:
  explicit TBitBtn(TComponent* owner);
  ~TBitBtn() override;

  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* v);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int v);
  // A standard kind sets caption, modal result and the default or cancel role.
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle v) { style_ = v; }

  // bkClose closes the form; other kinds click as a button.
  void Click() override;
  // Paints the button on its surface and returns it.
  TBitmap* PaintControl();

 protected:
  void GlyphChanged(TObject* sender);

 private:
  TButtonGlyph glyph_;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonStyle style_ = bsAutoDetect;
  std::unique_ptr<TBitmap> surface_;
};
