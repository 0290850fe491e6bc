#include "QmRadioButton.h"

#include <algorithm>

#include "Forms.h"

KXBR_DEFINE_CLASS(TQmRadioButton,
                  .Prop<&TQmRadioButton::Alignment, &TQmRadioButton::SetAlignment>("Alignment")
                      .Prop<&TQmRadioButton::Caption, &TQmRadioButton::SetCaption>("Caption")
                      .Prop<&TQmRadioButton::Checked, &TQmRadioButton::SetChecked>("Checked")
                      .Message<&TQmRadioButton::CNCommandRadio>(CN_COMMAND)
                      .Message<&TQmRadioButton::CMDialogCharRadio>(CM_DIALOGCHAR)
                      .Message<&TQmRadioButton::CMCtl3DChanged>(CM_CTL3DCHANGED)
                      .Message<&TQmRadioButton::WMPaint>(WM_PAINT)
                      .Message<&TQmRadioButton::WMEnable>(WM_ENABLE))

namespace {
constexpr uint32_t BS_LEFTTEXT = 0x0020;
}  // namespace

TQmRadioButton::TQmRadioButton(TComponent* owner)
    : TButtonControl(owner), surface_(std::make_unique<TBitmap>()) {
  // Painted on its parent's colour, like the platform's radio button.
  SetParentColor(true);
  SetBounds(0, 0, 113, 17);
  SetTabStop(false);
}

TQmRadioButton::~TQmRadioButton() = default;

void TQmRadioButton::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  SetTabStop(v);
  Changed("Checked");  // the window (the view) shows the check state
  if (!v) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TQmRadioButton*>(parent->Controls(i));
          sibling && sibling != this)
        sibling->SetChecked(false);
  if (!ClicksDisabled()) Click();
}

void TQmRadioButton::SetAlignment(TLeftRight v) {
  if (alignment_ == v) return;
  alignment_ = v;
  RecreateWnd();
  Invalidate();
}

TLeftRight TQmRadioButton::GetControlsAlignment() const {
  if (!UseRightToLeftReading()) return alignment_;
  return alignment_ == taRightJustify ? taLeftJustify : taRightJustify;
}

void TQmRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.WinClassName = "BUTTON";
  params.Style |= BS_RADIOBUTTON;
  if (GetControlsAlignment() == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TQmRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  Changed("Checked");
}

void TQmRadioButton::CNCommandRadio(TMessage& m) {
  switch ((m.WParam >> 16) & 0xFFFF) {
    case BN_CLICKED:
      SetChecked(true);
      break;
    case BN_DOUBLECLICKED:
      DblClick();
      break;
    default:
      break;
  }
}

void TQmRadioButton::CMDialogCharRadio(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    m.Result = 1;
  }
}

void TQmRadioButton::CMCtl3DChanged(TMessage&) {
  RecreateWnd();
}

void TQmRadioButton::WMPaint(TMessage&) {
  PaintControl();
}

void TQmRadioButton::WMEnable(TMessage&) {
  Invalidate();
}

TCanvas* TQmRadioButton::Canvas() {
  return surface_->Canvas();
}

int TQmRadioButton::CaptionOffset(int points) {
  struct Step {
    int upTo;
    int offset;
  };
  static constexpr Step steps[] = {{8, 17},  {15, 19}, {17, 20}, {23, 21}, {29, 23},
                                   {35, 25}, {41, 27}, {43, 29}, {60, 31}, {80, 39}};
  if (points >= 1)
    for (const Step& s : steps)
      if (points <= s.upTo) return s.offset;
  return 44;
}

TBitmap* TQmRadioButton::PaintControl() {
  surface_->SetSize(Width(), Height());
  TCanvas* canvas = surface_->Canvas();
  const TRect client = ClientRect();
  // The system's button: face, and a round mark on the caption's other side.
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  const int mark = 12;
  const int markLeft = GetControlsAlignment() == taRightJustify ? 1 : client.Right - mark - 1;
  const int markTop = (client.Height() - mark) / 2;
  // A ring in the shadow colour around the window colour, a dot when checked; pixel by
  // pixel so that it is round at this size.
  const TColor face = Enabled() ? clWindow : clBtnFace;
  const TColor dot = Enabled() ? clWindowText : clGrayText;
  const double centre = (mark - 1) / 2.0;
  for (int y = 0; y < mark; ++y)
    for (int x = 0; x < mark; ++x) {
      const double dx = x - centre, dy = y - centre, d2 = dx * dx + dy * dy;
      TColor c;
      if (d2 > 6.0 * 6.0) continue;
      if (d2 > 4.9 * 4.9)
        c = clBtnShadow;
      else if (checked_ && d2 <= 2.3 * 2.3)
        c = dot;
      else
        c = face;
      canvas->SetPixels(markLeft + x, markTop + y, c);
    }

  // The caption again, in the control's font.
  TRect r = client;
  r.Left = client.Left + CaptionOffset(Font()->Size());
  canvas->Brush()->SetColor(Color());
  canvas->Pen()->SetColor(Color());
  canvas->FillRect(Rect(r.Left - 4, r.Top - 4, r.Right + 4, r.Bottom + 4));
  canvas->Font()->Assign(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  canvas->Brush()->SetStyle(bsClear);
  DrawText(canvas, Caption(), r, DT_SINGLELINE | DT_VCENTER);
  canvas->Brush()->SetStyle(bsSolid);
  return surface_.get();
}
