// TQmRadioButton: a radio button that keeps the system's button but paints its caption
// itself, with the control's font.
#pragma once

#include <memory>

#include "StdCtrls.h"

class TQmRadioButton : public TButtonControl {
  KXBR_CLASS(TQmRadioButton, TButtonControl)

 public:
  // 113 x 17, caption right of the button, no tab stop.
  explicit TQmRadioButton(TComponent* owner);
  ~TQmRadioButton() override;

  // Checking unchecks the other TQmRadioButtons of the same parent and fires OnClick
  // (unless clicks are disabled); the button is a tab stop exactly while checked.
  bool Checked() const { return GetChecked(); }
  void SetChecked(bool v) override;
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight v);
  // The caption's side as the reading order makes it.
  TLeftRight GetControlsAlignment() const;

  TCanvas* Canvas();
  // The system's button, then the caption painted again by the control; returns the surface.
  TBitmap* PaintControl();
  // Where the caption starts, by the font's size in points.
  static int CaptionOffset(int points);

 protected:
  bool GetChecked() const override { return checked_; }
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommandRadio(TMessage& m);
  void CMDialogCharRadio(TMessage& m);
  void CMCtl3DChanged(TMessage& m);
  void WMPaint(TMessage& m);
  void WMEnable(TMessage& m);

 private:
  bool checked_ = false;
  TLeftRight alignment_ = taRightJustify;
  std::unique_ptr<TBitmap> surface_;
};
