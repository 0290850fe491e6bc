#include "ExtCtrls.h"

#include <algorithm>

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  for (int i = 0; i < width; ++i) {
    rect.Right -= 1;
    rect.Bottom -= 1;
    canvas->Pen()->SetColor(topColor);
    canvas->MoveTo(rect.Left, rect.Bottom);
    canvas->LineTo(rect.Left, rect.Top);
    canvas->LineTo(rect.Right, rect.Top);
    canvas->Pen()->SetColor(bottomColor);
    canvas->LineTo(rect.Right, rect.Bottom);
    canvas->LineTo(rect.Left - 1, rect.Bottom);
    rect = InflateRect(rect, -1, -1);
    rect.Right += 1;
    rect.Bottom += 1;
  }
}

// --- TCustomPanel ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomPanel,
    .Prop<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment")
        .Prop<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner")
        .Prop<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter")
        .Prop<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth")
        .Prop<&TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle>("BorderStyle")
        .Prop<&TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth>("BorderWidth")
        .Prop<&TCustomPanel::Caption, &TCustomPanel::SetCaption>("Caption")
        .Prop<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint")
        .Prop<&TCustomPanel::Locked, &TCustomPanel::SetLocked>("Locked"))
KXBR_DEFINE_CLASS(TPanel)

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                   csOpaque,          csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
  if (bevelInner_ == v) return;
  bevelInner_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  if (bevelOuter_ == v) return;
  bevelOuter_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int v) {
  if (bevelWidth_ == v || v < 1) return;
  bevelWidth_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int v) {
  if (borderWidth_ == v || v < 0) return;
  borderWidth_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
  int size = borderWidth_;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  if (borderStyle_ == bsSingle) size += 1;
  rect = InflateRect(rect, -size, -size);
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  auto colors = [](TBevelCut cut, TColor& top, TColor& bottom) {
    top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top = clBtnHighlight;
  TColor bottom = clBtnShadow;
  if (bevelOuter_ != bvNone) {
    colors(bevelOuter_, top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  r = InflateRect(r, -borderWidth_, -borderWidth_);
  if (bevelInner_ != bvNone) {
    colors(bevelInner_, top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  unsigned flags = DT_SINGLELINE | DT_VCENTER;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  DrawText(canvas, Caption(), r, flags);
}

// --- TSplitter ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TSplitter,
                  .Prop<&TSplitter::AutoSnap, &TSplitter::SetAutoSnap>("AutoSnap")
                      .Prop<&TSplitter::Beveled, &TSplitter::SetBeveled>("Beveled")
                      .Prop<&TSplitter::MinSize, &TSplitter::SetMinSize>("MinSize")
                      .Prop<&TSplitter::ResizeStyle, &TSplitter::SetResizeStyle>("ResizeStyle")
                      .Prop<&TSplitter::OnCanResize, &TSplitter::SetOnCanResize>("OnCanResize")
                      .Prop<&TSplitter::OnMoved, &TSplitter::SetOnMoved>("OnMoved"))

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
  SetColor(clBtnFace);
}

TControl* TSplitter::ResizeControl() const {
  TWinControl* parent = Parent();
  if (!parent) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    switch (Align()) {
      case alLeft:
        if (c->Left() + c->Width() == Left()) return c;
        break;
      case alRight:
        if (c->Left() == Left() + Width()) return c;
        break;
      case alTop:
        if (c->Top() + c->Height() == Top()) return c;
        break;
      case alBottom:
        if (c->Top() == Top() + Height()) return c;
        break;
      default:
        break;
    }
  }
  return nullptr;
}

bool TSplitter::MoveBy(int delta) {
  TControl* control = ResizeControl();
  if (!control || delta == 0) return false;
  const bool horizontal = Align() == alLeft || Align() == alRight;
  const int current = horizontal ? control->Width() : control->Height();
  int size = current + ((Align() == alLeft || Align() == alTop) ? delta : -delta);
  // The room: what the parent's client area leaves beside the other aligned controls.
  TWinControl* parent = Parent();
  int room = horizontal ? parent->ClientWidth() : parent->ClientHeight();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == control || !c->Visible()) continue;
    if (horizontal && (c->Align() == alLeft || c->Align() == alRight)) room -= c->Width();
    if (!horizontal && (c->Align() == alTop || c->Align() == alBottom)) room -= c->Height();
  }
  size = std::clamp(size, minSize_, std::max(room - minSize_, minSize_));
  bool accept = true;
  onCanResize_(this, size, accept);
  if (!accept || size == current) return false;
  if (horizontal)
    control->SetWidth(size);
  else
    control->SetHeight(size);
  onMoved_(this);
  return true;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) {
    downAt_ = Point(x, y);
    dragging_ = true;
  }
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && dragging_) {
    dragging_ = false;
    const bool horizontal = Align() == alLeft || Align() == alRight;
    MoveBy(horizontal ? x - downAt_.X : y - downAt_.Y);
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSplitter::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  if (beveled_) {
    TRect r = ClientRect();
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
  }
}

// --- TBevel ------------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TBevel, .Prop<&TBevel::Shape, &TBevel::SetShape>("Shape")
                              .Prop<&TBevel::Style, &TBevel::SetStyle>("Style"))

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  if (shape_ == v) return;
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  if (style_ == v) return;
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  const TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  TRect r = ClientRect();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox:
      Frame3D(canvas, r, c1, c2, 1);
      break;
    case bsFrame:
      Frame3D(canvas, r, c1, c2, 1);
      Frame3D(canvas, r, c2, c1, 1);
      break;
    case bsTopLine:
      line(c1, 0, 0, Width(), 0);
      line(c2, 0, 1, Width(), 1);
      break;
    case bsBottomLine:
      line(c1, 0, Height() - 2, Width(), Height() - 2);
      line(c2, 0, Height() - 1, Width(), Height() - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, Height());
      line(c2, 1, 0, 1, Height());
      break;
    case bsRightLine:
      line(c1, Width() - 2, 0, Width() - 2, Height());
      line(c2, Width() - 1, 0, Width() - 1, Height());
      break;
    case bsSpacer:
      break;
  }
}

// --- TImage ------------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TImage, .Prop<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize")
                              .Prop<&TImage::Center, &TImage::SetCenter>("Center")
                              .Prop<&TImage::Picture, &TImage::SetPicture>("Picture")
                              .Prop<&TImage::Stretch, &TImage::SetStretch>("Stretch")
                              .Prop<&TImage::Transparent, &TImage::SetTransparent>("Transparent"))

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 105, 105);
  picture_->SetOnChange(MethodOf<&TImage::PictureChanged>(this));
}

TImage::~TImage() = default;

void TImage::PictureChanged(TObject*) {
  AdjustSize();
  Invalidate();
}

bool TImage::CanAutoSize(int& newWidth, int& newHeight) {
  if (picture_->Empty()) return false;
  newWidth = picture_->Width();
  newHeight = picture_->Height();
  return true;
}

void TImage::Paint() {
  if (picture_->Empty()) return;
  TCanvas* canvas = Canvas();
  picture_->SetTransparent(transparent_);
  if (stretch_) {
    canvas->StretchDraw(ClientRect(), picture_.get());
    return;
  }
  const int x = center_ ? (Width() - picture_->Width()) / 2 : 0;
  const int y = center_ ? (Height() - picture_->Height()) / 2 : 0;
  canvas->Draw(x, y, picture_.get());
}
