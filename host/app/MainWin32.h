// The start-up routine of "Orlinde.scr".
#pragma once

#include <memory>

#include "host/app/Host.h"
#include "host/forms/FormWin32.h"

namespace orlinde {

// Refuses to run beside another instance, reads the screen-saver switch and opens the preview form, the
// settings dialog or the run form. Returns the run form it loaded, which the caller keeps while the
// message loop runs; null otherwise (the preview form lives on by itself, and with nothing loaded the
// process ends). Some paths end the process itself.
std::unique_ptr<forms::Form> Main(Host& host);

}  // namespace orlinde
