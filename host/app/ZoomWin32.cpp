#include "host/app/ZoomWin32.h"

namespace orlinde {

void ZoomOpen(HWND window, std::int16_t cursorX, std::int16_t cursorY) {
  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  const RECT from{cursorX, cursorY, cursorX, cursorY};
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &windowRect);
}

void ZoomClose(HWND window, std::int16_t cursorX, std::int16_t cursorY) {
  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  const RECT to{cursorX, cursorY, cursorX, cursorY};
  DrawAnimatedRects(window, IDANI_CAPTION, &windowRect, &to);
}

}  // namespace orlinde
