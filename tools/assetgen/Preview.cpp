// The preview: glowing green rings spreading on dark water, seen at a slant (so the circles are squashed
// into ellipses), for the control panel's 152 × 112 preview area.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

orlinde::Image24 MakePreviewPicture() {
  constexpr int kWidth = 152, kHeight = 112;
  constexpr double kCentreX = 76.0, kCentreY = 58.0, kSlant = 0.42;
  constexpr double kRings[] = {6.0, 17.0, 30.0, 45.0, 62.0, 81.0};
  orlinde::Image24 image(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double dx = x + 0.5 - kCentreX, dy = (y + 0.5 - kCentreY) / kSlant;
      const double r = std::sqrt(dx * dx + dy * dy);
      double glow = 0.0;
      for (double ring : kRings) {
        const double d = r - ring;
        const double fade = 1.0 / (1.0 + ring / 40.0);
        glow += fade * (std::exp(-d * d / 2.0) + 0.35 * std::exp(-d * d / 18.0));
      }
      const double core = Clamp01(glow - 0.8);
      const double shade = 0.05 * (1.0 - static_cast<double>(y) / kHeight);  // faint light at the far edge
      unsigned char* px = image.At(x, y);
      px[0] = ToByte(0.01 + 0.15 * glow + 0.5 * core);
      px[1] = ToByte(0.03 + shade + 0.85 * glow + 0.2 * core);
      px[2] = ToByte(0.02 + shade + 0.30 * glow + 0.4 * core);
    }
  }
  return image;
}

}  // namespace assetgen
