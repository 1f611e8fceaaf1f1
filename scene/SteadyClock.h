// The system's monotonic clock for the frame pacer and the drop schedule, in both programs: the C++
// steady clock (CLOCK_MONOTONIC on Linux, the performance counter on Windows).
#pragma once

#include <chrono>
#include <cstdint>

#include "scene/FramePacer.h"

namespace orlinde {

class SteadyClock final : public MonotonicClock {
 public:
  Microseconds Now() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// A seed for the drop positions: the clock's low bits differ from run to run.
inline std::uint32_t ClockSeed(MonotonicClock& clock) { return static_cast<std::uint32_t>(clock.Now()); }

}  // namespace orlinde
