#include "scene/MonitorLayout.h"

namespace orlinde {

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

std::vector<SceneArea> AreasInWindow(const std::vector<SceneArea>& areas, const PixelRect& window) {
  std::vector<SceneArea> inside;
  for (const SceneArea& a : areas) {
    const PixelRect cut = Intersect(a.area, window);
    if (cut.Empty()) continue;
    inside.push_back({{cut.x - window.x, cut.y - window.y, cut.width, cut.height}, a.primary});
  }
  return inside;
}

PixelRect GlViewport(const PixelRect& inWindow, std::int32_t windowHeight) {
  return {inWindow.x, windowHeight - inWindow.y - inWindow.height, inWindow.width, inWindow.height};
}

}  // namespace orlinde
