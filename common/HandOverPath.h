// Where the host leaves the texture picture for the renderer: the user's own temporary folder, which a
// standard user can always write (the Windows folder cannot be written without elevation).
#pragma once

#include <string>

namespace orlinde {

// GetTempPathA() + "Velsora.bmp"; empty when the temporary folder cannot be determined.
std::string HandOverBitmapPath();

}  // namespace orlinde
