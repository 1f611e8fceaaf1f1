#include "scene/FramePacer.h"

namespace orlinde {
namespace {

constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
constexpr std::int64_t kStepUnits = kMicrosecondsPerSecond;  // owed_ units in one step
// Elapsed time beyond this counts as a clock jump; it is owed as the largest catch-up, not more.
constexpr Microseconds kLongestGap = kMicrosecondsPerSecond;

}  // namespace

int EffectiveRefreshRate(int reportedHz) {
  return reportedHz <= 1 ? kFallbackRefreshRate : reportedHz;
}

Microseconds FramePeriod(int refreshHz) {
  const std::int64_t hz = EffectiveRefreshRate(refreshHz);
  return (kMicrosecondsPerSecond + hz - 1) / hz;
}

Microseconds ChooseFramePeriod(int reportedHz, bool paced, Microseconds leastPeriod) {
  Microseconds period = 0;
  if (paced) {
    period = FramePeriod(reportedHz);
    if (period < kStepPeriod) period = kStepPeriod;
  }
  return leastPeriod > period ? leastPeriod : period;
}

// The step clock starts half a step in: on a display that runs at the step rate, each frame then falls
// in the middle of a step and runs exactly one, even when frames jitter by a few milliseconds.
FramePacer::FramePacer(MonotonicClock& clock, Microseconds framePeriod)
    : clock_(clock),
      framePeriod_(framePeriod),
      nextFrame_(clock.Now()),
      lastStepTime_(nextFrame_),
      owed_(kStepUnits / 2) {}

void FramePacer::Restart() {
  nextFrame_ = clock_.Now();
  lastStepTime_ = nextFrame_;
  owed_ = kStepUnits / 2;
}

Microseconds FramePacer::TimeUntilFrame() {
  if (framePeriod_ <= 0) return 0;
  const Microseconds now = clock_.Now();
  // A clock that went backwards would otherwise hold the next frame back for as long as it jumped.
  if (nextFrame_ - now > framePeriod_) nextFrame_ = now + framePeriod_;
  return nextFrame_ > now ? nextFrame_ - now : 0;
}

int FramePacer::BeginFrame() {
  const Microseconds now = clock_.Now();
  if (framePeriod_ > 0) {
    // Keep the display's cadence when a frame is a little late; a frame late by a whole period or more
    // starts a new cadence from now, so that no frames are drawn back to back to make up for it.
    nextFrame_ += framePeriod_;
    if (nextFrame_ <= now) nextFrame_ = now + framePeriod_;
  }

  Microseconds elapsed = now - lastStepTime_;
  lastStepTime_ = now;
  if (elapsed < 0) elapsed = 0;  // a clock that went backwards owes nothing
  if (elapsed > kLongestGap) elapsed = kLongestGap;
  owed_ += elapsed * kSceneStepsPerSecond;
  std::int64_t steps = owed_ / kStepUnits;
  owed_ -= steps * kStepUnits;
  if (steps > kMaxStepsPerFrame) steps = kMaxStepsPerFrame;  // the rest is dropped
  return static_cast<int>(steps);
}

}  // namespace orlinde
