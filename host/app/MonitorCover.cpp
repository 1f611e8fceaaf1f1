#include "host/app/MonitorCover.h"

#include <algorithm>

namespace orlinde {

namespace {

// `area` less `hole`: the bands above and below the hole across the whole width, then the parts left and
// right of it between those bands. Without an overlap this is `area` itself, in one piece.
void AddDifference(const ScreenRect& area, const ScreenRect& hole, std::vector<ScreenRect>& out) {
  const ScreenRect shared{std::max(area.left, hole.left), std::max(area.top, hole.top),
                          std::min(area.right, hole.right), std::min(area.bottom, hole.bottom)};
  if (hole.Empty() || shared.Empty()) {
    out.push_back(area);
    return;
  }
  const ScreenRect pieces[] = {
      {area.left, area.top, area.right, shared.top},
      {area.left, shared.bottom, area.right, area.bottom},
      {area.left, shared.top, shared.left, shared.bottom},
      {shared.right, shared.top, area.right, shared.bottom},
  };
  for (const ScreenRect& piece : pieces) {
    if (!piece.Empty()) out.push_back(piece);
  }
}

}  // namespace

std::vector<ScreenRect> CoverRects(const std::vector<ScreenRect>& monitors, const ScreenRect& primary) {
  std::vector<ScreenRect> covers;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& monitor = monitors[i];
    if (monitor.Empty() || monitor == primary) continue;
    if (std::find(monitors.begin(), monitors.begin() + static_cast<std::ptrdiff_t>(i), monitor) !=
        monitors.begin() + static_cast<std::ptrdiff_t>(i)) {
      continue;  // the same monitor reported again
    }
    AddDifference(monitor, primary, covers);
  }
  return covers;
}

}  // namespace orlinde
