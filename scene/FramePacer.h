// Frame pacing for the renderers' loop: the scene advances at a fixed 60 steps per second whatever the
// display's rate, and frames are drawn no faster than the display refreshes and never faster than the
// scene steps. Plain arithmetic on a monotonic clock in microseconds; the programs feed it the system's
// clock (SteadyClock), tests a fake clock.
#pragma once

#include <cstdint>

namespace orlinde {

// Times in microseconds from any fixed origin; they only ever need to be compared and subtracted.
using Microseconds = std::int64_t;

// The clock the pacer is fed from.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual Microseconds Now() = 0;
};

inline constexpr int kSceneStepsPerSecond = 60;
// A frame that comes late runs at most this many of the steps it owes; the rest are dropped, so a slow
// machine shows slower rain instead of falling further behind with every frame.
inline constexpr int kMaxStepsPerFrame = 4;
// What a display that reports no usable rate (0 or 1, as Wine on a virtual screen does) is taken to run at.
inline constexpr int kFallbackRefreshRate = 60;

// The display's refresh rate in Hz as the device reports it; 0 and 1 mean "the hardware's default".
int EffectiveRefreshRate(int reportedHz);

// The shortest time between two frames at that rate, rounded up so that frames never come faster.
Microseconds FramePeriod(int refreshHz);

// One scene step, rounded up: 16,667 µs.
inline constexpr Microseconds kStepPeriod = (1'000'000 + kSceneStepsPerSecond - 1) / kSceneStepsPerSecond;

// The frame period a program's loop runs at. Paced: the display's period, but never shorter than one
// scene step, because a frame drawn between two steps shows the picture of the frame before it again. A
// display slower than the step rate keeps its own period; `reportedHz` 0 (a program that does not know
// the display's rate) and 1 count as 60 Hz. Unpaced (for measuring): 0, a frame whenever the loop turns.
// `leastPeriod` is a longer period the user asked for; it holds paced or not.
Microseconds ChooseFramePeriod(int reportedHz, bool paced, Microseconds leastPeriod = 0);

class FramePacer {
 public:
  // Starts at the clock's present time. `framePeriod` 0 draws a frame whenever the loop is idle (no
  // pacing); the scene still advances 60 steps per second.
  FramePacer(MonotonicClock& clock, Microseconds framePeriod);

  // How long the loop should wait before the next frame may be drawn; 0 when it is due. Never more
  // than one frame period, even when the clock has gone backwards.
  Microseconds TimeUntilFrame();

  // The loop draws a frame now: how many scene steps to run first (0 to kMaxStepsPerFrame).
  int BeginFrame();

  // Starts afresh from the clock's present time, as at construction: after a pause (the display was off)
  // the next frame is due at once and owes no steps for the time paused.
  void Restart();

 private:
  MonotonicClock& clock_;
  Microseconds framePeriod_;
  Microseconds nextFrame_;
  Microseconds lastStepTime_;
  // Time owed to the scene, in microseconds times the step rate: one step is a million units, so that
  // 60 steps a second add up exactly, with no rounding drift.
  std::int64_t owed_;
};

}  // namespace orlinde
