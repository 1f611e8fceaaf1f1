// A clock the tests set by hand, for everything that runs on the loop's clock.
#pragma once

#include "scene/FramePacer.h"

namespace orlinde {

class FakeClock final : public MonotonicClock {
 public:
  Microseconds Now() override { return now; }
  Microseconds now = 5'000'000'000;  // far from zero: nothing may care where time starts
};

}  // namespace orlinde
