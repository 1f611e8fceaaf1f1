// The Linux program's two shells, each drawing the rain through one display system; main picks one
// (ChooseShell) and runs it. Each returns the program's status.
#pragma once

#include "linux/ProgramOptions.h"

namespace orlinde {

// X11 + GLX: an XScreenSaver hack, the root window or a window of its own (linux/OrlindeX11.cpp).
int RunX11(const ProgramOptions& options);

// Wayland + EGL: a layer-shell surface on every output, or a window of its own (linux/OrlindeWayland.cpp).
int RunWayland(const ProgramOptions& options);

}  // namespace orlinde
