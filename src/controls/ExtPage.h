// TExtPageControl: a page control that draws its own tabs, the active one highlighted
// like a title bar.
#pragma once

#include "ComCtrls.h"

class TExtPageControl : public TPageControl {
  KXBR_CLASS(TExtPageControl, TPageControl)

 public:
  explicit TExtPageControl(TComponent* owner);

 protected:
  // Owner-drawn tabs of fixed size.
  void CreateParams(TCreateParams& params) override;
  // OnDrawTab when assigned; otherwise the caption of the tab's page, centred, on the
  // active or inactive caption colours (the active tab bold and 2 pixels smaller).
  void DrawTab(int tabIndex, const TRect& rect, bool active) override;
};
