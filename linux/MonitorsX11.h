// The X screen's monitors: Xinerama's heads (which servers with RandR answer too), the primary being
// RandR's primary output where one is named, else the first head.
#pragma once

#include <X11/Xlib.h>

#include "common/Monitors.h"

namespace orlinde {

// The monitors of `screen` in root-window pixels, cleaned (CleanMonitors). Without Xinerama, or with no
// heads, the whole screen is one monitor.
MonitorSet CurrentMonitorsX11(Display* display, int screen);

// Asks for the events that say the monitors changed (RandR's screen change, the root window's size), so
// that the caller can list them again. Returns RandR's event base, or -1 without RandR.
int WatchMonitorChangesX11(Display* display, int screen);

}  // namespace orlinde
