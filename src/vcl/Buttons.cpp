#include "Buttons.h"

#include <algorithm>

#include "Forms.h"

// --- TButtonGlyph ------------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : glyph_(std::make_unique<TBitmap>()) {}

void TButtonGlyph::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  if (value && value->Height() > 0 && value->Width() % value->Height() == 0) {
    const int count = value->Width() / value->Height();
    SetNumGlyphs(count > 4 ? 1 : count);
  }
}

void TButtonGlyph::SetNumGlyphs(int value) {
  numGlyphs_ = std::clamp(value, 1, 4);
}

int TButtonGlyph::ImageWidth() const {
  return glyph_->Empty() ? 0 : glyph_->Width() / numGlyphs_;
}

int TButtonGlyph::ImageIndexFor(TButtonState state) const {
  const int index = static_cast<int>(state);
  return index < numGlyphs_ ? index : 0;
}

void TButtonGlyph::CalcLayout(TCanvas* canvas, const TRect& client, std::string_view caption,
                              TButtonLayout layout, int margin, int spacing, TPoint& glyphPos,
                              TRect& textRect) const {
  int underline = -1;
  const std::string text = StripAccelerator(caption, underline);
  const TSize textSize = text.empty() ? TSize{} : canvas->TextExtent(text);
  const TSize glyphSize{ImageWidth(), glyph_->Empty() ? 0 : glyph_->Height()};
  const int width = client.Width();
  const int height = client.Height();
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  TPoint textPos;
  if (horizontal) {
    glyphPos.Y = (height - glyphSize.cy + 1) / 2;
    textPos.Y = (height - textSize.cy + 1) / 2;
  } else {
    glyphPos.X = (width - glyphSize.cx + 1) / 2;
    textPos.X = (width - textSize.cx + 1) / 2;
  }
  if (textSize.cx == 0 || glyphSize.cx == 0) spacing = 0;
  const int available = horizontal ? width : height;
  const int glyphExtent = horizontal ? glyphSize.cx : glyphSize.cy;
  const int textExtent = horizontal ? textSize.cx : textSize.cy;
  if (margin == -1) {
    if (spacing == -1) {
      const int total = glyphExtent + textExtent;
      margin = (available - total) / 3;
      spacing = margin;
    } else {
      const int total = glyphExtent + spacing + textExtent;
      margin = (available - total + 1) / 2;
    }
  } else if (spacing == -1) {
    const int total = available - (margin + glyphExtent);
    spacing = (total - textExtent) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyphPos.X = margin;
      textPos.X = glyphPos.X + glyphSize.cx + spacing;
      break;
    case blGlyphRight:
      glyphPos.X = width - margin - glyphSize.cx;
      textPos.X = glyphPos.X - spacing - textSize.cx;
      break;
    case blGlyphTop:
      glyphPos.Y = margin;
      textPos.Y = glyphPos.Y + glyphSize.cy + spacing;
      break;
    case blGlyphBottom:
      glyphPos.Y = height - margin - glyphSize.cy;
      textPos.Y = glyphPos.Y - spacing - textSize.cy;
      break;
  }
  glyphPos = Point(glyphPos.X + client.Left, glyphPos.Y + client.Top);
  textRect = Bounds(textPos.X + client.Left, textPos.Y + client.Top, textSize.cx, textSize.cy);
}

void TButtonGlyph::Draw(TCanvas* canvas, const TRect& client, std::string_view caption,
                        TButtonLayout layout, int margin, int spacing, TButtonState state) {
  TPoint glyphPos;
  TRect textRect;
  CalcLayout(canvas, client, caption, layout, margin, spacing, glyphPos, textRect);
  if (!glyph_->Empty()) {
    const int w = ImageWidth();
    const int index = ImageIndexFor(state);
    TBitmap image;
    image.SetSize(w, glyph_->Height());
    image.Canvas()->CopyRect(Rect(0, 0, w, glyph_->Height()), glyph_->Canvas(),
                             Bounds(index * w, 0, w, glyph_->Height()));
    if (state == bsDisabled && index == 0) {
      // No disabled image: the shape in the shadow colour.
      const TColor clear = glyph_->TransparentColor();
      for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < w; ++x)
          if (image.Pixel(x, y) != clear) image.SetPixel(x, y, ColorToRGB(clBtnShadow));
    }
    image.SetTransparentColor(glyph_->TransparentColor());
    image.SetTransparent(true);
    canvas->Draw(glyphPos.X, glyphPos.Y, &image);
  }
  if (!caption.empty()) {
    if (state == bsDisabled) canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetStyle(bsClear);
    DrawText(canvas, caption, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    canvas->Brush()->SetStyle(bsSolid);
  }
}

// --- TSpeedButton ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TSpeedButton,
    .Prop<&TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp>("AllowAllUp")
        .Prop<&TSpeedButton::Caption, &TSpeedButton::SetCaption>("Caption")
        .Prop<&TSpeedButton::Down, &TSpeedButton::SetDown>("Down")
        .Prop<&TSpeedButton::Flat, &TSpeedButton::SetFlat>("Flat")
        .Prop<&TSpeedButton::Glyph, &TSpeedButton::SetGlyph>("Glyph")
        .Prop<&TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex>("GroupIndex")
        .Prop<&TSpeedButton::Layout, &TSpeedButton::SetLayout>("Layout")
        .Prop<&TSpeedButton::Margin, &TSpeedButton::SetMargin>("Margin")
        .Prop<&TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs>("NumGlyphs")
        .Prop<&TSpeedButton::Spacing, &TSpeedButton::SetSpacing>("Spacing")
        .Prop<&TSpeedButton::Transparent, &TSpeedButton::SetTransparent>("Transparent")
        .Message<&TSpeedButton::CMButtonPressed>(CM_BUTTONPRESSED)
        .Message<&TSpeedButton::CMEnabledChangedSpeed>(CM_ENABLEDCHANGED)
        .Message<&TSpeedButton::CMDialogCharSpeed>(CM_DIALOGCHAR))

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ = {csCaptureMouse, csDoubleClicks};
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
  glyph_.Glyph()->SetOnChange(MethodOf<&TSpeedButton::GlyphChanged>(this));
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::GlyphChanged(TObject*) {
  Changed("Glyph");
  Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* v) {
  glyph_.SetGlyph(v);
  Changed("Glyph");
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
  glyph_.SetNumGlyphs(v);
  Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
  if (flat_ == v) return;
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (groupIndex_ == v) return;
  groupIndex_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = v;
  state_ = v ? bsExclusive : bsUp;
  if (v) UpdateExclusive();
  Changed("Down");
  Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (allowAllUp_ == v) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (layout_ == v) return;
  layout_ = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (margin_ == v || v < -1) return;
  margin_ = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (spacing_ == v) return;
  spacing_ = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  if (transparent_ == v) return;
  transparent_ = v;
  Invalidate();
}

// Tells the other buttons of the group (same parent, same index) to come up, and shares
// AllowAllUp with them.
void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), PointerToLParam(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& m) {
  auto* sender = LParamToPointer<TSpeedButton>(m.LParam);
  if (static_cast<int>(m.WParam) != groupIndex_ || sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Changed("Down");
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::CMEnabledChangedSpeed(TMessage& m) {
  state_ = !Enabled() ? bsDisabled : down_ ? bsExclusive : bsUp;
  TControl::CMEnabledChanged(m);
}

void TSpeedButton::CMDialogCharSpeed(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && IsEnabledInTree() && Visible()) {
    Click();
    m.Result = 1;
  }
}

void TSpeedButton::Click() {
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  const bool doClick = ClientRect().Contains(Point(x, y));
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    if (down_) state_ = bsExclusive;
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush()->SetColor(Color());
  if (!transparent_ || !flat_) canvas->FillRect(client);
  if (!flat_ || state_ == bsDown || state_ == bsExclusive) {
    const bool pressed = state_ == bsDown || state_ == bsExclusive;
    canvas->Pen()->SetColor(pressed ? clBtnShadow : clBtnHighlight);
    canvas->MoveTo(0, Height() - 1);
    canvas->LineTo(0, 0);
    canvas->LineTo(Width() - 1, 0);
    canvas->Pen()->SetColor(pressed ? clBtnHighlight : clBtnShadow);
    canvas->LineTo(Width() - 1, Height() - 1);
    canvas->LineTo(0, Height() - 1);
  }
  TRect inner = client;
  if (state_ == bsDown || state_ == bsExclusive) inner = OffsetRect(inner, 1, 1);
  glyph_.Draw(canvas, inner, Caption(), layout_, margin_, spacing_,
              Enabled() ? state_ : bsDisabled);
}

// --- TBitBtn -----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TBitBtn, .Prop<&TBitBtn::Glyph, &TBitBtn::SetGlyph>("Glyph")
                               .Prop<&TBitBtn::Kind, &TBitBtn::SetKind>("Kind")
                               .Prop<&TBitBtn::Layout, &TBitBtn::SetLayout>("Layout")
                               .Prop<&TBitBtn::Margin, &TBitBtn::SetMargin>("Margin")
                               .Prop<&TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs>("NumGlyphs")
                               .Prop<&TBitBtn::Spacing, &TBitBtn::SetSpacing>("Spacing")
                               .Prop<&TBitBtn::Style, &TBitBtn::SetStyle>("Style"))

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
  glyph_.Glyph()->SetOnChange(MethodOf<&TBitBtn::GlyphChanged>(this));
}

TBitBtn::~TBitBtn() = default;

void TBitBtn::GlyphChanged(TObject*) {
  Changed("Glyph");
  Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* v) {
  glyph_.SetGlyph(v);
  kind_ = bkCustom;
  Changed("Glyph");
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int v) {
  glyph_.SetNumGlyphs(v);
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind v) {
  if (kind_ == v) return;
  kind_ = v;
  if (v == bkCustom) return;
  struct KindInfo {
    const char* Caption;
    TModalResult Result;
  };
  static const KindInfo kinds[] = {
      {"", mrNone},        {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
      {"&Yes", mrYes},     {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
      {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
  };
  SetCaption(kinds[v].Caption);
  SetModalResult(kinds[v].Result);
  if (v == bkOK || v == bkYes) SetDefault(true);
  if (v == bkCancel || v == bkNo) SetCancel(true);
}

void TBitBtn::SetLayout(TButtonLayout v) {
  if (layout_ == v) return;
  layout_ = v;
  Invalidate();
}

void TBitBtn::SetMargin(int v) {
  if (margin_ == v || v < -1) return;
  margin_ = v;
  Invalidate();
}

void TBitBtn::SetSpacing(int v) {
  if (spacing_ == v) return;
  spacing_ = v;
  Invalidate();
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

TBitmap* TBitBtn::PaintControl() {
  TCanvas* canvas = PrepareSurface(surface_, *this)->Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(ClientRect());
  canvas->Pen()->SetColor(IsActive() ? clBlack : clBtnShadow);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(ClientRect());
  canvas->Brush()->SetStyle(bsSolid);
  glyph_.Draw(canvas, InflateRect(ClientRect(), -2, -2), Caption(), layout_, margin_, spacing_,
              Enabled() ? bsUp : bsDisabled);
  return surface_.get();
}
