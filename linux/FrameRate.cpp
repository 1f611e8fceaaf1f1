#include "linux/FrameRate.h"

#include <cstdio>

namespace orlinde {

void FrameRateCounter::Frame(Microseconds now) {
  if (!started_) {
    started_ = true;
    since_ = now;
    return;
  }
  ++frames_;
  const Microseconds elapsed = now - since_;
  if (elapsed >= 1'000'000) {
    rate_ = static_cast<double>(frames_) * 1e6 / static_cast<double>(elapsed);
    frames_ = 0;
    since_ = now;
  } else if (elapsed < 0) {
    frames_ = 0;
    since_ = now;
  }
}

std::string FrameRateText(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f fps", rate);
  return text;
}

}  // namespace orlinde
