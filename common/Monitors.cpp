#include "common/Monitors.h"

#include <algorithm>

namespace orlinde {

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  // In 64 bits, so that rectangles near the ends of the 32-bit range cannot overflow.
  const std::int64_t left = std::max<std::int64_t>(a.x, b.x);
  const std::int64_t top = std::max<std::int64_t>(a.y, b.y);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height);
  if (right <= left || bottom <= top || a.Empty() || b.Empty()) return {};
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
          static_cast<std::int32_t>(bottom - top)};
}

PixelRect BoundingBox(const std::vector<PixelRect>& rects) {
  bool any = false;
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
  for (const PixelRect& r : rects) {
    if (r.Empty()) continue;
    const std::int64_t rRight = std::int64_t{r.x} + r.width;
    const std::int64_t rBottom = std::int64_t{r.y} + r.height;
    left = any ? std::min<std::int64_t>(left, r.x) : r.x;
    top = any ? std::min<std::int64_t>(top, r.y) : r.y;
    right = any ? std::max(right, rRight) : rRight;
    bottom = any ? std::max(bottom, rBottom) : rBottom;
    any = true;
  }
  if (!any) return {};
  const auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
  };
  return {clamp(left), clamp(top), clamp(right - left), clamp(bottom - top)};
}

MonitorSet CleanMonitors(const std::vector<PixelRect>& listed, std::size_t primary) {
  MonitorSet set;
  const PixelRect* primaryRect = primary < listed.size() && !listed[primary].Empty() ? &listed[primary] : nullptr;
  for (const PixelRect& r : listed) {
    if (r.Empty() || std::find(set.monitors.begin(), set.monitors.end(), r) != set.monitors.end()) continue;
    set.monitors.push_back(r);
  }
  if (primaryRect != nullptr) {
    set.primary = static_cast<std::size_t>(
        std::find(set.monitors.begin(), set.monitors.end(), *primaryRect) - set.monitors.begin());
  }
  return set;
}

}  // namespace orlinde
