#include "BtChkBox.h"

#include <algorithm>

#include "Forms.h"

namespace {

const char* ResourceOf(TCheckBoxState state) {
  switch (state) {
    case cbChecked:
      return "CHECKED";
    case cbGrayed:
      return "GRAYED";
    default:
      return "UNCHECKED";
  }
}

}  // namespace

KXBR_DEFINE_CLASS(
    TBitCheckBox,
    .Prop<&TBitCheckBox::Alignment, &TBitCheckBox::SetAlignment>("Alignment")
        .Prop<&TBitCheckBox::AllowGrayed, &TBitCheckBox::SetAllowGrayed>("AllowGrayed")
        .Prop<&TBitCheckBox::Caption, &TBitCheckBox::SetCaption>("Caption")
        .Prop<&TBitCheckBox::Checked, &TBitCheckBox::SetChecked>("Checked")
        .Prop<&TBitCheckBox::CheckedGlyph, &TBitCheckBox::SetCheckedGlyph>("CheckedGlyph")
        .Prop<&TBitCheckBox::CheckedNumGlyphs, &TBitCheckBox::SetCheckedNumGlyphs>(
            "CheckedNumGlyphs")
        .Prop<&TBitCheckBox::GrayedGlyph, &TBitCheckBox::SetGrayedGlyph>("GrayedGlyph")
        .Prop<&TBitCheckBox::GrayedNumGlyphs, &TBitCheckBox::SetGrayedNumGlyphs>("GrayedNumGlyphs")
        .Prop<&TBitCheckBox::State, &TBitCheckBox::SetState>("State")
        .Prop<&TBitCheckBox::UncheckedGlyph, &TBitCheckBox::SetUncheckedGlyph>("UncheckedGlyph")
        .Prop<&TBitCheckBox::UncheckedNumGlyphs, &TBitCheckBox::SetUncheckedNumGlyphs>(
            "UncheckedNumGlyphs")
        .Message<&TBitCheckBox::CMDialogCharBox>(CM_DIALOGCHAR)
        .Message<&TBitCheckBox::CMFontChangedBox>(CM_FONTCHANGED)
        .Message<&TBitCheckBox::RepaintOn>(CM_ENABLEDCHANGED)
        .Message<&TBitCheckBox::RepaintOn>(CM_TEXTCHANGED)
        .Message<&TBitCheckBox::RepaintOn>(CM_SYSCOLORCHANGE)
        .Message<&TBitCheckBox::CMCtl3DChangedBox>(CM_CTL3DCHANGED)
        .Message<&TBitCheckBox::RepaintOn>(WM_SETFOCUS)
        .Message<&TBitCheckBox::RepaintOn>(WM_KILLFOCUS))
KXBR_DEFINE_CLASS(TVekCheckBox)

TBitCheckBox::TBitCheckBox(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csClickEvents, csSetCaption};
  // Painted on its parent's colour, like the platform's check box.
  SetParentColor(true);
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetParentCtl3D(true);
  for (TCheckBoxState state : {cbUnchecked, cbChecked, cbGrayed}) {
    glyphs_[state] = std::make_unique<TBitmap>();
    SetGlyph(state, nullptr);
  }
}

TBitCheckBox::~TBitCheckBox() = default;

void TBitCheckBox::SetState(TCheckBoxState v) {
  if (state_ == v) return;
  state_ = v;
  Changed("Checked");
  Invalidate();
}

void TBitCheckBox::SetAlignment(TLeftRight v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Invalidate();
}

void TBitCheckBox::SetGlyph(TCheckBoxState state, TBitmap* v) {
  TBitmap* glyph = glyphs_[state].get();
  // The state images are wider than high (19 x 14): a strip of them is recognised by the
  // width of the image it replaces as well as by square images.
  const int oldImageWidth = glyph->Empty() ? 0 : glyph->Width() / numGlyphs_[state];
  if (!v || v->Empty())
    glyph->LoadFromResourceName(ResourceOf(state));
  else
    glyph->Assign(v);
  const int w = glyph->Width();
  const int h = glyph->Height();
  if (h > 0 && w % h == 0)
    SetNumGlyphs(state, w / h);
  else if (oldImageWidth > 0 && w > oldImageWidth && w % oldImageWidth == 0)
    SetNumGlyphs(state, w / oldImageWidth);
  Invalidate();
}

void TBitCheckBox::SetNumGlyphs(TCheckBoxState state, int v) {
  numGlyphs_[state] = std::clamp(v, 1, 2);
  Invalidate();
}

void TBitCheckBox::Toggle() {
  SetState(NextCheckBoxState(state_, allowGrayed_));
}

void TBitCheckBox::Click() {
  Toggle();
  TCustomControl::Click();
  if (CanFocus() && Showing()) SetFocus();
}

void TBitCheckBox::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (key == ' ') Click();
}

void TBitCheckBox::CMDialogCharBox(TMessage& m) {
  if (Enabled() && IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    m.Result = 1;
  }
}

void TBitCheckBox::CMFontChangedBox(TMessage& m) {
  Canvas()->Font()->Assign(Font());
  DispatchInherited(StaticClass(), m);
  Invalidate();
}

void TBitCheckBox::CMCtl3DChangedBox(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  Realign();
  Invalidate();
}

void TBitCheckBox::RepaintOn(TMessage& m) {
  DispatchInherited(StaticClass(), m);
  Invalidate();
}

TRect TBitCheckBox::CaptionRect() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TBitmap* glyph = CurrentGlyph();
  const int imageWidth = glyph->Width() / numGlyphs_[state_];
  const std::string caption = Caption();
  const int textHeight = canvas->TextHeight(caption.empty() ? std::string(" ") : caption);
  TRect r;
  r.Left = alignment_ == taRightJustify ? imageWidth + 4 : 1;
  r.Right = r.Left + canvas->TextWidth(caption);
  if (caption.find('&') != std::string::npos) r.Right -= canvas->TextWidth("&");
  r.Top = (ClientHeight() - textHeight) / 2 - 2;
  r.Bottom = r.Top + textHeight + 3;
  const TRect client = ClientRect();
  r.Left = std::max(r.Left, client.Left);
  r.Top = std::max(r.Top, client.Top);
  r.Right = std::min(r.Right, client.Right);
  r.Bottom = std::min(r.Bottom, client.Bottom);
  return r;
}

TPoint TBitCheckBox::ImagePosition() const {
  const TBitmap* glyph = CurrentGlyph();
  const int imageWidth = glyph->Width() / numGlyphs_[state_];
  return Point(alignment_ == taRightJustify ? 0 : ClientWidth() - imageWidth,
               (ClientHeight() - glyph->Height()) / 2);
}

void TBitCheckBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(ClientRect());

  TBitmap* glyph = CurrentGlyph();
  const int images = numGlyphs_[state_];
  const int imageWidth = glyph->Width() / images;
  TRect textRect = CaptionRect();
  const std::string caption = Caption();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  const unsigned flags = DT_SINGLELINE | DT_VCENTER;
  if (Enabled()) {
    DrawText(canvas, caption, textRect, flags);
  } else {
    if (Ctl3D()) {
      TRect shadow = OffsetRect(textRect, 1, 1);
      canvas->Font()->SetColor(clBtnHighlight);
      DrawText(canvas, caption, shadow, flags);
    }
    canvas->Font()->SetColor(clGrayText);
    DrawText(canvas, caption, textRect, flags);
  }
  canvas->Brush()->SetStyle(bsSolid);

  if (Focused()) {
    TRect focus = textRect;
    focus.Left = std::max(focus.Left - 1, 0);
    focus.Top = std::max(focus.Top - 1, 0);
    focus.Right += 1;
    focus.Bottom = std::min(focus.Bottom + 1, Height());
    canvas->DrawFocusRect(focus);
  }

  if (imageWidth <= 0 || glyph->Height() <= 0) return;
  const int source = !Enabled() && images == 2 ? 1 : 0;
  TBitmap image;
  image.SetSize(imageWidth, glyph->Height());
  image.Canvas()->CopyRect(Rect(0, 0, imageWidth, glyph->Height()), glyph->Canvas(),
                           Bounds(source * imageWidth, 0, imageWidth, glyph->Height()));
  image.SetTransparentColor(glyph->TransparentColor());
  image.SetTransparent(true);
  const TPoint at = ImagePosition();
  canvas->Draw(at.X, at.Y, &image);
}
