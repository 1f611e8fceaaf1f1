// The mouse rule that ends a run, shared by the host's mouse watch and the renderer's frame loop:
// the pointer must be more than 30 pixels away from the reference on both axes at once.
#pragma once

#include <cstdlib>

namespace orlinde {

inline constexpr int kCursorMoveThreshold = 30;

inline bool CursorMovedFar(int refX, int refY, int x, int y) {
  return std::abs(refX - x) > kCursorMoveThreshold && std::abs(refY - y) > kCursorMoveThreshold;
}

}  // namespace orlinde
