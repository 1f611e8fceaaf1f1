// The desk's monitors as Windows reports them now (EnumDisplayMonitors), for the host's covers and the
// renderer's windows alike.
#pragma once

#include "common/Monitors.h"

namespace orlinde {

// Every monitor's rectangle in virtual-screen pixels, cleaned (CleanMonitors). The primary is the monitor
// flagged as such, else the one holding the screen's origin (0, 0), else the first.
MonitorSet CurrentMonitors();

}  // namespace orlinde
