// The zoom outlines of the settings dialog: a rectangle that grows from a point (the recorded mouse
// position) to the window when it opens, and shrinks back when it closes.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orlinde {

void ZoomOpen(HWND window, std::int16_t cursorX, std::int16_t cursorY);
void ZoomClose(HWND window, std::int16_t cursorX, std::int16_t cursorY);

}  // namespace orlinde
