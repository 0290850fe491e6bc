#include "ExtPage.h"

KXBR_DEFINE_CLASS(TExtPageControl)

TExtPageControl::TExtPageControl(TComponent* owner) : TPageControl(owner) {}

void TExtPageControl::CreateParams(TCreateParams& params) {
  TPageControl::CreateParams(params);
  params.Style |= TCS_OWNERDRAWFIXED;
}

void TExtPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
  if (OnDrawTab()) {
    OnDrawTab()(this, tabIndex, rect, active);
    return;
  }
  TCanvas* canvas = Canvas();
  TRect r = rect;
  TFontStyles style = canvas->Font()->Style();
  if (active) {
    r = InflateRect(r, -2, -2);
    canvas->Font()->SetColor(clCaptionText);
    canvas->Brush()->SetColor(clActiveCaption);
    style.Include(fsBold);
  } else {
    canvas->Font()->SetColor(clInactiveCaptionText);
    canvas->Brush()->SetColor(clInactiveCaption);
    style.Exclude(fsBold);
  }
  canvas->Font()->SetStyle(style);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  if (!active) r.Top += 2;
  // The tab index counts only pages whose tab is visible.
  if (TTabSheet* page = PageOfTab(tabIndex)) {
    canvas->Brush()->SetStyle(bsClear);
    DrawText(canvas, page->Caption(), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    canvas->Brush()->SetStyle(bsSolid);
  }
}
