// Where the rain goes on a desk of several monitors, and where black: the shells ask their system for the
// monitors (Win32's EnumDisplayMonitors, X11's Xinerama) and for the chosen mode; this file alone decides
// which rectangles get a scene of their own and which stay black (in `primary`, every monitor but the
// primary's: the renderer and the Linux program leave them without rain, the host lays its covers over
// them). Plain arithmetic on pixel rectangles, tested without a display.
#pragma once

#include <cstdint>
#include <vector>

#include "common/DisplaySetting.h"
#include "common/Monitors.h"

namespace orlinde {

// One scene's place: its rectangle, and whether it is the primary's scene (the one that keeps the
// window title and the keys on Windows).
struct SceneArea {
  PixelRect area;
  bool primary = false;
};

// The scenes for a mode: `each`, one a monitor (the primary's first); `primary`, the primary's alone;
// `span`, one over the bounding box of all monitors. No monitor at all gives no scene.
std::vector<SceneArea> LayOutScenes(MonitorMode mode, const MonitorSet& set);

// What shows no rain and is covered in black, in the monitors' coordinates: in `primary` every monitor
// but the primary, less whatever it shares with the primary (a monitor that mirrors the primary gives
// nothing, one that overlaps it gives the bands around the shared part, at most four), in the monitors'
// order; nothing in `each` and `span`, where every monitor has rain. Two other monitors that overlap each
// give their own rectangles.
std::vector<PixelRect> BlackAreas(MonitorMode mode, const MonitorSet& set);

// The scenes of `areas` as they fall inside a window placed at `window` (same coordinates), moved into
// the window's own pixels with the origin at its top left; parts outside the window are cut off and
// areas that miss it are dropped (a window on no scene's monitor stays black).
std::vector<SceneArea> AreasInWindow(const std::vector<SceneArea>& areas, const PixelRect& window);

}  // namespace orlinde
