// The plain values that every layer of the host passes around, from the form layer up to the run: a
// rectangle in pixels and a mouse button. Portable, so that the cores and the window shells share them.
#pragma once

namespace orlinde {

// A rectangle in pixels: its top-left corner and its size. Right() and Bottom() are just outside it.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;

  // The rectangle whose left and top edges are inside and whose right and bottom edges are just outside.
  static constexpr Rect FromEdges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
  }
  constexpr int Right() const { return x + width; }
  constexpr int Bottom() const { return y + height; }
  constexpr bool Empty() const { return width <= 0 || height <= 0; }
  constexpr bool Contains(int px, int py) const { return px >= x && py >= y && px < Right() && py < Bottom(); }
  bool operator==(const Rect&) const = default;
};

enum class MouseButton { Left, Right, Middle };

}  // namespace orlinde
