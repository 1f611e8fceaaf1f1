// The frame rate for --fps: a counter over the last second of frames and its text. Portable: the Linux
// program draws the text in a corner with GL, the web page shows it in a line of its own.
#pragma once

#include <cstdint>
#include <string>

#include "scene/FramePacer.h"

namespace orlinde {

class FrameRateCounter {
 public:
  // Counts one drawn frame at `now`; the rate is renewed once a second has gone by.
  void Frame(Microseconds now);
  // Frames a second over the last whole second (0 until one has passed).
  double Rate() const { return rate_; }

 private:
  bool started_ = false;
  Microseconds since_ = 0;
  std::int64_t frames_ = 0;
  double rate_ = 0.0;
};

// "59.9 fps" for 59.94.
std::string FrameRateText(double rate);

}  // namespace orlinde
