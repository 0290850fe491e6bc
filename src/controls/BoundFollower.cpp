#include "BoundFollower.h"

void TBoundControlFollower::Follow(TComponent* target, bool designing) {
  Stop();
  if (!target || !designing) return;
  target_ = target;
  AddComponentObserver(this);
}

void TBoundControlFollower::Stop() {
  if (!target_) return;
  target_ = nullptr;
  RemoveComponentObserver(this);
}

void TBoundControlFollower::ComponentChanged(TComponent* component, TObserverEvent event,
                                             std::string_view what) {
  if (component != target_) return;
  if (event == oeDestroying) {
    Stop();
    return;
  }
  if (event == oeChanged && (what == "Bounds" || (followText_ && what == "Text"))) place_();
}
