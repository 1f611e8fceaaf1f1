// The zoom outlines of the settings dialog: a rectangle that grows from the recorded mouse position
// (CursorX, CursorY) to the window when it opens, and shrinks back when it closes.
#pragma once

#include <windows.h>

namespace orlinde {

void ZoomOpen(HWND window);
void ZoomClose(HWND window);

}  // namespace orlinde
