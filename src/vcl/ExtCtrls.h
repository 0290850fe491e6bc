// Extra controls: panels, splitters, bevels and images.
#pragma once

#include <memory>

#include "Controls.h"

KXBR_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
KXBR_ENUM(TBevelStyle, bsLowered, bsRaised)
KXBR_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)

class TCustomPanel : public TCustomControl {
  KXBR_CLASS(TCustomPanel, TCustomControl)

 public:
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v) { fullRepaint_ = v; }
  bool Locked() const { return locked_; }
  void SetLocked(bool v) { locked_ = v; }

  // Less the border width and the width of each bevel.
  void AdjustClientRect(TRect& rect) const override;

 protected:
  void Paint() override;

 private:
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  bool fullRepaint_ = true;
  bool locked_ = false;
};

class TPanel : public TCustomPanel {
  KXBR_CLASS(TPanel, TCustomPanel)

 public:
  using TCustomPanel::TCustomPanel;
};

using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewSize, bool& Accept)>;

// Resizes the aligned control before it (on its side) when dragged.
class TSplitter : public TGraphicControl {
  KXBR_CLASS(TSplitter, TGraphicControl)

 public:
  explicit TSplitter(TComponent* owner);

  bool Beveled() const { return beveled_; }
  void SetBeveled(bool v) { beveled_ = v; }
  int MinSize() const { return minSize_; }
  void SetMinSize(int v) { minSize_ = std::max(v, 1); }
  TResizeStyle ResizeStyle() const { return resizeStyle_; }
  void SetResizeStyle(TResizeStyle v) { resizeStyle_ = v; }
  bool AutoSnap() const { return autoSnap_; }
  void SetAutoSnap(bool v) { autoSnap_ = v; }

  // The control the splitter resizes, or null.
  TControl* ResizeControl() const;
  // The user dragged the splitter by `delta` pixels (towards right / bottom positive).
  // OnCanResize may change or refuse the new size; the size stays within MinSize and the
  // room the parent leaves. True when the control was resized; OnMoved follows.
  bool MoveBy(int delta);

  const TCanResizeEvent& OnCanResize() const { return onCanResize_; }
  void SetOnCanResize(TCanResizeEvent e) { onCanResize_ = e; }
  const TNotifyEvent& OnMoved() const { return onMoved_; }
  void SetOnMoved(TNotifyEvent e) { onMoved_ = e; }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool beveled_ = false;
  int minSize_ = 30;
  TResizeStyle resizeStyle_ = rsPattern;
  bool autoSnap_ = true;
  TPoint downAt_;
  bool dragging_ = false;
  TCanResizeEvent onCanResize_;
  TNotifyEvent onMoved_;
};

class TBevel : public TGraphicControl {
  KXBR_CLASS(TBevel, TGraphicControl)

 public:
  explicit TBevel(TComponent* owner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// Shows a bitmap (the Picture's graphic).
class TImage : public TGraphicControl {
  KXBR_CLASS(TImage, TGraphicControl)

 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TBitmap* Picture() const { return picture_.get(); }
  void SetPicture(TBitmap* v) { picture_->Assign(v); }
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { stretch_ = v; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }

 protected:
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void Paint() override;
  void PictureChanged(TObject* sender);

 private:
  std::unique_ptr<TBitmap> picture_;
  bool center_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
};

// Draws a 3-D frame: `outer` raised or lowered, as the platform's Frame3D.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
