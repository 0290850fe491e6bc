// TF2Button: the lookup button beside the control it serves (F2Control). A click asks the
// owning form to open the lookup window for that control, as F2 pressed in it would.
#pragma once

#include <cstdint>

#include "BoundFollower.h"
#include "GSpdBtn.h"

// The lookup request: sent to the form's window with WParam 0 and LParam the control the
// lookup is for.
inline constexpr UINT WM_OPENWIN = WM_USER + 10;

class TF2Button : public TGSpeedButton {
  KXBR_CLASS(TF2Button, TGSpeedButton)

 public:
  // Flat, glyph 8.
  explicit TF2Button(TComponent* owner);
  void BeforeDestruction() override;

  // Place the button beside F2Control.
  bool AutoAlign() const { return autoAlign_; }
  void SetAutoAlign(bool v);
  // The control the lookup is for. A control another F2 button owned by this button's
  // parent already serves is refused with a message box; nil is always accepted.
  TWinControl* F2Control() const { return f2Control_; }
  void SetF2Control(TWinControl* v);
  // Pixels between F2Control and the button.
  uint8_t Gap() const { return gap_; }
  void SetGap(uint8_t v);

  // OnClick, then F2Control (when enabled) is focused and its form asked for the lookup.
  void Click() override;
  // A square as high as F2Control, Gap pixels right of it (with AutoAlign and F2Control).
  // In a form designer this follows every move and resize of F2Control.
  void AlignToControl();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool autoAlign_ = true;
  TWinControl* f2Control_ = nullptr;
  uint8_t gap_ = 2;
  TBoundControlFollower follower_{[this] { AlignToControl(); }, false};
};
