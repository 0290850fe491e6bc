// In a form designer the lookup button and the bound label follow their bound control: they
// hear of its moves and resizes (and, for the label, of its text) and place themselves
// again. At run time nothing is followed. One follower serves both controls.
#pragma once

#include <functional>
#include <string_view>

#include "Classes.h"

class TBoundControlFollower : public IComponentObserver {
 public:
  // `place` runs after every move or resize of the followed control, and after a text
  // change when `followText`.
  TBoundControlFollower(std::function<void()> place, bool followText)
      : place_(std::move(place)), followText_(followText) {}
  ~TBoundControlFollower() override { Stop(); }
  TBoundControlFollower(const TBoundControlFollower&) = delete;
  TBoundControlFollower& operator=(const TBoundControlFollower&) = delete;

  // Follows `target` when `designing` (stops following the previous one first).
  void Follow(TComponent* target, bool designing);
  void Stop();
  TComponent* Target() const { return target_; }

  void ComponentChanged(TComponent* component, TObserverEvent event,
                        std::string_view what) override;

 private:
  std::function<void()> place_;
  bool followText_;
  TComponent* target_ = nullptr;
};
