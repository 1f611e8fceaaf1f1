// The frame rate drawn in a corner (--fps): its text drawn with glBitmap from a tiny built-in font, so that it
// needs no font from the X server.
#pragma once

#include <cstdint>
#include <string>

#include "linux/FrameRate.h"

namespace orlinde {

// Draws `text` (digits, '.', ' ', 'f', 'p', 's') in white at the top left of a `width` × `height` viewport,
// over whatever the frame holds; leaves the scene's GL state as it found it.
void DrawOverlayText(const std::string& text, std::int32_t width, std::int32_t height);

}  // namespace orlinde
