// The dialog's two 12 × 12 option marks on the dialog's black: unticked, a light grey square outline;
// ticked, the same outline filled with a blue square.
#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr int kSize = 12;

orlinde::Image24 MakeMark(bool ticked) {
  orlinde::Image24 image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool outline = x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1;
      const bool fill = ticked && x >= 2 && y >= 2 && x <= kSize - 3 && y <= kSize - 3;
      std::uint8_t* p = image.At(x, y);
      if (outline) {
        p[0] = p[1] = p[2] = 0xC0;
      } else if (fill) {
        p[0] = 0x20;
        p[1] = 0x60;
        p[2] = 0xF0;
      }
    }
  }
  return image;
}

}  // namespace

orlinde::Image24 MakeOptionUnticked() {
  return MakeMark(false);
}
orlinde::Image24 MakeOptionTicked() {
  return MakeMark(true);
}

}  // namespace assetgen
