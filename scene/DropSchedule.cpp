#include "scene/DropSchedule.h"

namespace orlinde {

void DropSchedule::SetRainTimer(std::int32_t milliseconds) {
  period_ = milliseconds > 0 ? static_cast<Microseconds>(milliseconds) * 1000 : 0;
  due_ = clock_.Now() + period_;
}

bool DropSchedule::TakeDueDrop(Microseconds now) {
  if (period_ <= 0 || now < due_) return false;
  due_ += period_;
  if (due_ <= now) due_ = now + period_;
  return true;
}

Microseconds DropSchedule::TimeUntilDrop(Microseconds now) const {
  if (period_ <= 0) return -1;
  return due_ > now ? due_ - now : 0;
}

}  // namespace orlinde
