// The about panel's sparkle pictures, 28 × 28 each, grey on black: an X-shaped four-pointed star centred
// in the square, two diagonal arms that taper to their tips plus a small bright core. Frame i lights a
// square of kSpan[i] pixels around the centre; only frames 0 to 3 are ever drawn.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {

namespace {

constexpr int kSize = 28;
constexpr int kSpan[] = {8, 12, 16, 20};

}  // namespace

int SparkleSpan(int frame) {
  return kSpan[frame];
}

orlinde::Image24 MakeSparkle(int frame) {
  orlinde::Image24 image(kSize, kSize);
  const double half = kSpan[frame] / 2.0;
  const double width = 0.55 + 0.05 * frame;  // arm thickness grows a little with the star
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double dx = x + 0.5 - kSize / 2.0, dy = y + 0.5 - kSize / 2.0;
      if (std::fabs(dx) >= half || std::fabs(dy) >= half) continue;
      const double along = std::max(std::fabs(dx), std::fabs(dy)) / half;  // 0 at the centre, 1 at a tip
      const double taper = std::pow(1.0 - along, 1.5);
      const double off1 = std::fabs(dx - dy) / std::sqrt(2.0), off2 = std::fabs(dx + dy) / std::sqrt(2.0);
      const double arms =
          taper * (std::exp(-off1 * off1 / (2 * width * width)) + std::exp(-off2 * off2 / (2 * width * width)));
      const double core = std::exp(-(dx * dx + dy * dy) / 2.0);
      const auto v = ToByte(arms + core);
      std::uint8_t* p = image.At(x, y);
      p[0] = p[1] = p[2] = v;
    }
  }
  return image;
}

orlinde::Image24 MakeSparkle0() {
  return MakeSparkle(0);
}
orlinde::Image24 MakeSparkle1() {
  return MakeSparkle(1);
}
orlinde::Image24 MakeSparkle2() {
  return MakeSparkle(2);
}
orlinde::Image24 MakeSparkle3() {
  return MakeSparkle(3);
}

}  // namespace assetgen
