#include "common/MonitorLayout.h"

namespace orlinde {
namespace {

PixelRect FromEdges(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
          static_cast<std::int32_t>(bottom - top)};
}

// `area` less `hole`: the bands above and below the hole across the whole width, then the parts left and
// right of it between those bands. Without an overlap this is `area` itself, in one piece.
void AddDifference(const PixelRect& area, const PixelRect& hole, std::vector<PixelRect>& out) {
  const PixelRect shared = Intersect(area, hole);
  if (shared.Empty()) {
    out.push_back(area);
    return;
  }
  const std::int64_t areaRight = std::int64_t{area.x} + area.width, areaBottom = std::int64_t{area.y} + area.height;
  const std::int64_t sharedRight = std::int64_t{shared.x} + shared.width;
  const std::int64_t sharedBottom = std::int64_t{shared.y} + shared.height;
  const PixelRect pieces[] = {
      FromEdges(area.x, area.y, areaRight, shared.y),
      FromEdges(area.x, sharedBottom, areaRight, areaBottom),
      FromEdges(area.x, shared.y, shared.x, sharedBottom),
      FromEdges(sharedRight, shared.y, areaRight, sharedBottom),
  };
  for (const PixelRect& piece : pieces) {
    if (!piece.Empty()) out.push_back(piece);
  }
}

}  // namespace

std::vector<SceneArea> LayOutScenes(MonitorMode mode, const MonitorSet& set) {
  std::vector<SceneArea> areas;
  if (set.monitors.empty()) return areas;
  const std::size_t primary = set.primary < set.monitors.size() ? set.primary : 0;
  switch (mode) {
    case MonitorMode::kSpan:
      areas.push_back({BoundingBox(set.monitors), true});
      break;
    case MonitorMode::kPrimary:
      areas.push_back({set.monitors[primary], true});
      break;
    case MonitorMode::kEach:
      areas.push_back({set.monitors[primary], true});
      for (std::size_t i = 0; i < set.monitors.size(); ++i) {
        if (i != primary) areas.push_back({set.monitors[i], false});
      }
      break;
  }
  return areas;
}

std::vector<PixelRect> BlackAreas(MonitorMode mode, const MonitorSet& set) {
  std::vector<PixelRect> black;
  if (mode != MonitorMode::kPrimary || set.monitors.empty()) return black;
  const std::size_t primary = set.primary < set.monitors.size() ? set.primary : 0;
  for (std::size_t i = 0; i < set.monitors.size(); ++i) {
    if (i != primary) AddDifference(set.monitors[i], set.monitors[primary], black);
  }
  return black;
}

std::vector<SceneArea> AreasInWindow(const std::vector<SceneArea>& areas, const PixelRect& window) {
  std::vector<SceneArea> inside;
  for (const SceneArea& a : areas) {
    const PixelRect cut = Intersect(a.area, window);
    if (cut.Empty()) continue;
    inside.push_back({{cut.x - window.x, cut.y - window.y, cut.width, cut.height}, a.primary});
  }
  return inside;
}

}  // namespace orlinde
