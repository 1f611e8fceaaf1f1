// A rectangle of pixels: the one rectangle type of the whole tree (monitors, parts of a window, covers).
#pragma once

#include <cstdint>

namespace orlinde {

// Its top-left corner and its size, in whatever coordinates the caller uses (the virtual screen on Windows,
// the root window on X11, a drawable's own pixels from its top-left corner).
struct PixelRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
  bool operator==(const PixelRect&) const = default;
};

}  // namespace orlinde
