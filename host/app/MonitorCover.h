// Which parts of the desktop a run covers in black. When the renderer fills only the primary monitor
// (the display setting "primary"), every other monitor would go on showing the desktop, so the run lays a
// black window over each of them; when it draws on every monitor ("each", "span"), the run covers nothing.
// Working out where those windows go is plain arithmetic on rectangles, kept here away from the windows
// themselves.
#pragma once

#include <vector>

#include "common/DisplaySetting.h"
#include "host/forms/Geometry.h"

namespace orlinde {

// The rectangles to cover (virtual-screen pixels), given every monitor's rectangle (the primary's among them, in any
// order) and the primary's. Each monitor other than the primary gives its own rectangle, less whatever it shares with
// the primary: a monitor that mirrors the primary gives nothing, one that overlaps it gives the bands around the shared
// part (at most four), so a cover never lies over the primary, where the renderer draws. A monitor reported twice is
// covered once; empty rectangles are ignored. In the order of the monitors.
std::vector<Rect> CoverRects(const std::vector<Rect>& monitors, const Rect& primary);

// The rectangles to cover for a display mode: CoverRects in "primary"; nothing in "each" and "span",
// where the renderer draws on every monitor itself.
std::vector<Rect> CoverRects(MonitorMode mode, const std::vector<Rect>& monitors, const Rect& primary);

}  // namespace orlinde
