// TBitCheckBox: a check box painted entirely by the control from three state images, so
// that its caption is drawn with the control's own font (character set included).
#pragma once

#include <memory>

#include "StdCtrls.h"

class TBitCheckBox : public TCustomControl {
  KXBR_CLASS(TBitCheckBox, TCustomControl)

 public:
  // 97 x 17, a tab stop; the images are the bitmap resources "CHECKED", "GRAYED" and
  // "UNCHECKED".
  explicit TBitCheckBox(TComponent* owner);
  ~TBitCheckBox() override;

  // Setting State or Checked repaints and fires no event.
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  // taRightJustify: image left, caption right of it; taLeftJustify: caption left, image at
  // the right edge.
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight v);

  // The image of each state. Assigning nil loads the state's resource; a bitmap whose
  // width is a multiple of its height sets the number of images.
  TBitmap* CheckedGlyph() const { return glyphs_[cbChecked].get(); }
  void SetCheckedGlyph(TBitmap* v) { SetGlyph(cbChecked, v); }
  TBitmap* GrayedGlyph() const { return glyphs_[cbGrayed].get(); }
  void SetGrayedGlyph(TBitmap* v) { SetGlyph(cbGrayed, v); }
  TBitmap* UncheckedGlyph() const { return glyphs_[cbUnchecked].get(); }
  void SetUncheckedGlyph(TBitmap* v) { SetGlyph(cbUnchecked, v); }
  // Images per bitmap: 1, or 2 (enabled, then disabled); kept within 1..2.
  int CheckedNumGlyphs() const { return numGlyphs_[cbChecked]; }
  void SetCheckedNumGlyphs(int v) { SetNumGlyphs(cbChecked, v); }
  int GrayedNumGlyphs() const { return numGlyphs_[cbGrayed]; }
  void SetGrayedNumGlyphs(int v) { SetNumGlyphs(cbGrayed, v); }
  int UncheckedNumGlyphs() const { return numGlyphs_[cbUnchecked]; }
  void SetUncheckedNumGlyphs(int v) { SetNumGlyphs(cbUnchecked, v); }

  // Unchecked -> grayed (AllowGrayed) or checked; checked -> unchecked; grayed -> checked.
  virtual void Toggle();
  // Toggle, OnClick, then the box takes the focus when it can.
  void Click() override;

  // Where Paint puts the caption (before the focus frame) and the image.
  TRect CaptionRect();
  TPoint ImagePosition() const;

 protected:
  void Paint() override;
  void KeyPress(char& key) override;
  void CMDialogCharBox(TMessage& m);
  void CMFontChangedBox(TMessage& m);
  void CMCtl3DChangedBox(TMessage& m);
  // Enabled, text, system colour, focus gain and loss: paint again.
  void RepaintOn(TMessage& m);

 private:
  void SetGlyph(TCheckBoxState state, TBitmap* v);
  void SetNumGlyphs(TCheckBoxState state, int v);
  TBitmap* CurrentGlyph() const { return glyphs_[state_].get(); }

  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TLeftRight alignment_ = taRightJustify;
  std::unique_ptr<TBitmap> glyphs_[3];
  int numGlyphs_[3] = {1, 1, 1};
};

// The selection panel's range / list switch: the glyph check box as it is.
class TVekCheckBox : public TBitCheckBox {
  KXBR_CLASS(TVekCheckBox, TBitCheckBox)

 public:
  using TBitCheckBox::TBitCheckBox;
};
