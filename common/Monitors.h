// The monitors of a desk as plain rectangles: what the Windows programs read from the system
// (MonitorsWin32.h) and the Linux program from Xinerama, and what the scene's layout works on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/PixelRect.h"

namespace orlinde {

// The overlap of two rectangles (empty when they do not meet).
PixelRect Intersect(const PixelRect& a, const PixelRect& b);

// The smallest rectangle holding every non-empty one (empty for none).
PixelRect BoundingBox(const std::vector<PixelRect>& rects);

// Every monitor's rectangle and which of them is the primary.
struct MonitorSet {
  std::vector<PixelRect> monitors;
  std::size_t primary = 0;
  bool operator==(const MonitorSet&) const = default;
};

// The monitors as the system listed them, cleaned: empty rectangles and repeats of one rectangle (a
// mirrored output is listed once per connector) are dropped, and `primary` is moved along with the list.
// A primary index out of range becomes the first monitor.
MonitorSet CleanMonitors(const std::vector<PixelRect>& listed, std::size_t primary);

}  // namespace orlinde
