#include "host/app/MonitorCover.h"

#include <algorithm>

namespace orlinde {

namespace {

// `area` less `hole`: the bands above and below the hole across the whole width, then the parts left and
// right of it between those bands. Without an overlap this is `area` itself, in one piece.
void AddDifference(const Rect& area, const Rect& hole, std::vector<Rect>& out) {
  const Rect shared = Rect::FromEdges(std::max(area.x, hole.x), std::max(area.y, hole.y),
                                      std::min(area.Right(), hole.Right()), std::min(area.Bottom(), hole.Bottom()));
  if (hole.Empty() || shared.Empty()) {
    out.push_back(area);
    return;
  }
  const Rect pieces[] = {
      Rect::FromEdges(area.x, area.y, area.Right(), shared.y),
      Rect::FromEdges(area.x, shared.Bottom(), area.Right(), area.Bottom()),
      Rect::FromEdges(area.x, shared.y, shared.x, shared.Bottom()),
      Rect::FromEdges(shared.Right(), shared.y, area.Right(), shared.Bottom()),
  };
  for (const Rect& piece : pieces) {
    if (!piece.Empty()) out.push_back(piece);
  }
}

}  // namespace

std::vector<Rect> CoverRects(const std::vector<Rect>& monitors, const Rect& primary) {
  std::vector<Rect> covers;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Rect& monitor = monitors[i];
    if (monitor.Empty() || monitor == primary) continue;
    if (std::find(monitors.begin(), monitors.begin() + static_cast<std::ptrdiff_t>(i), monitor) !=
        monitors.begin() + static_cast<std::ptrdiff_t>(i)) {
      continue;  // the same monitor reported again
    }
    AddDifference(monitor, primary, covers);
  }
  return covers;
}

std::vector<Rect> CoverRects(MonitorMode mode, const std::vector<Rect>& monitors, const Rect& primary) {
  if (mode != MonitorMode::kPrimary) return {};
  return CoverRects(monitors, primary);
}

}  // namespace orlinde
