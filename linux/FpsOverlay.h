// The frame rate drawn in a corner (--fps): a counter over the last second of frames, and its text drawn
// with glBitmap from a tiny built-in font, so that it needs no font from the X server.
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

// Draws `text` (digits, '.', ' ', 'f', 'p', 's') in white at the top left of a `width` × `height` viewport,
// over whatever the frame holds; leaves the scene's GL state as it found it.
void DrawOverlayText(const std::string& text, std::int32_t width, std::int32_t height);

}  // namespace orlinde
