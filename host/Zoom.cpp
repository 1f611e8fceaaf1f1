#include "Zoom.h"

#include "HostState.h"

namespace orlinde {

namespace {

RECT CursorPoint() {
  return RECT{CursorX, CursorY, CursorX, CursorY};
}

}  // namespace

void ZoomOpen(HWND window) {
  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  const RECT from = CursorPoint();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &windowRect);
}

void ZoomClose(HWND window) {
  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  const RECT to = CursorPoint();
  DrawAnimatedRects(window, IDANI_CAPTION, &windowRect, &to);
}

}  // namespace orlinde
