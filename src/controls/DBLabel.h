// TDBLabel: a caption label bound to a control (FocusControl). It places itself beside,
// above or below that control and, for a data-aware control, takes its caption from the
// display label of the bound field.
#pragma once

#include <cstdint>

#include "BoundFollower.h"
#include "StdCtrls.h"

KXBR_ENUM(TPos, psTop, psLeft, psRight, psBottom)

class TDBLabel : public TLabel {
  KXBR_CLASS(TDBLabel, TLabel)

 public:
  // Caption "挂靠标签"; registers its refresh message under its name at this moment and
  // sends it to itself once.
  explicit TDBLabel(TComponent* owner);
  void BeforeDestruction() override;

  // The bound control. A control another TDBLabel owned by this label's parent is already
  // bound to is refused with a message box; nil is always accepted. Refreshes.
  TWinControl* FocusControl() const { return TLabel::FocusControl(); }
  void SetFocusControl(TWinControl* v);
  bool AutoAlign() const { return autoAlign_; }
  void SetAutoAlign(bool v);
  bool AutoCaption() const { return autoCaption_; }
  void SetAutoCaption(bool v);
  uint8_t Gap() const { return gap_; }
  void SetGap(uint8_t v);
  TPos Pos() const { return pos_; }
  void SetPos(TPos v);

  // The registered window message that makes the label refresh.
  UINT RefreshMessage() const { return refreshMessage_; }
  // Caption from the bound field (AutoCaption), then the place (AutoAlign). In a form
  // designer the label is placed again after every move, resize or text change of the
  // bound control.
  void RefreshLabel();
  void UpdateCaption();
  void AlignToControl();

  void WndProc(TMessage& message) override;

 private:
  bool autoAlign_ = true;
  bool autoCaption_ = true;
  uint8_t gap_ = 4;
  TPos pos_ = psLeft;
  UINT refreshMessage_ = 0;
  TBoundControlFollower follower_{[this] { AlignToControl(); }, true};

 protected:
  void Notification(TComponent* component, TOperation operation) override;
};
