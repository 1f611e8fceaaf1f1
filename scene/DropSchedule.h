// The rain timer as a due time on the loop's clock: a drop every rain interval, for one scene. The
// program's loop asks it on every turn and sleeps no longer than until the next drop. Plain arithmetic:
// tests drive it with a fake clock.
#pragma once

#include <cstdint>

#include "scene/FramePacer.h"
#include "scene/RainScene.h"

namespace orlinde {

class DropSchedule final : public RainTimerSink {
 public:
  explicit DropSchedule(MonotonicClock& clock) : clock_(clock) {}

  // Arms or re-arms the timer: the next drop one period from now. 0 or less stops the rain.
  void SetRainTimer(std::int32_t milliseconds) override;

  // Whether a drop is due at `now`. Taking it moves the due time one period on, or, when the loop is a
  // whole period or more behind, one period from now: drops missed meanwhile are not made up.
  bool TakeDueDrop(Microseconds now);

  // How long from `now` until the next drop is due (0 when due); -1 while the timer is not armed.
  Microseconds TimeUntilDrop(Microseconds now) const;

  // After a pause: the next drop one whole period from now, none for the time paused.
  void Restart(Microseconds now) { due_ = now + period_; }

  Microseconds Period() const { return period_; }

 private:
  MonotonicClock& clock_;
  Microseconds period_ = 0;
  Microseconds due_ = 0;
};

}  // namespace orlinde
