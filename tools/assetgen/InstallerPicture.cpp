// The installer's welcome and finish pages: a tall 164 × 314 picture of the rain at night. The tilted
// water surface fills the lower part, its caustics reflection seen in perspective (rows crowd together
// towards the far edge, which fades into the dark), and one drop's rings spread on it, squashed by the
// slant into ellipses, in the preview's green glow.
#include <cmath>

#include "tools/assetgen/AssetGen.h"

namespace assetgen {
namespace {

// Channel ch of the repeating 256 × 256 texture at (u, v), 0..1, blended between the four nearest pixels.
double Sample(const orlinde::Image24& texture, double u, double v, int ch) {
  const double fu = std::floor(u), fv = std::floor(v);
  const int x0 = static_cast<int>(fu) & 255, y0 = static_cast<int>(fv) & 255;
  const int x1 = (x0 + 1) & 255, y1 = (y0 + 1) & 255;
  const double au = u - fu, av = v - fv;
  const double top = texture.At(x0, y0)[ch] * (1 - au) + texture.At(x1, y0)[ch] * au;
  const double bottom = texture.At(x0, y1)[ch] * (1 - au) + texture.At(x1, y1)[ch] * au;
  return (top * (1 - av) + bottom * av) / 255.0;
}

}  // namespace

orlinde::Image24 MakeInstallerPicture() {
  constexpr int kWidth = 164, kHeight = 314;
  constexpr int kHorizon = 96;  // the far edge of the water
  constexpr double kCentreX = 82.0, kCentreY = 232.0, kSlant = 0.38;
  constexpr double kRings[] = {5.0, 16.0, 29.0, 44.0, 61.0};
  const orlinde::Image24 caustics = MakeCausticsTexture();
  orlinde::Image24 image(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      double r = 0.01, g = 0.015, b = 0.04 + 0.03 * y / kHeight;  // the night above the water
      if (y >= kHorizon) {
        // Distance into the picture falls as 1/t below the far edge; the texture repeats without a seam.
        const double t = (y - kHorizon + 0.5) / (kHeight - kHorizon);
        const double depth = 1.0 / (t + 0.12);
        const double u = (x + 0.5 - kCentreX) * depth * 0.35 + 128.0, v = depth * 48.0;
        const double light = 0.9 * Clamp01(t * 1.8);  // the far water fades into the night
        const double c[3] = {Sample(caustics, u, v, 0), Sample(caustics, u, v, 1), Sample(caustics, u, v, 2)};
        r += light * c[0];
        g += light * c[1];
        b += light * c[2];

        const double dx = x + 0.5 - kCentreX, dy = (y + 0.5 - kCentreY) / kSlant;
        const double radius = std::sqrt(dx * dx + dy * dy);
        double glow = 0.0;
        for (double ring : kRings) {
          const double d = radius - ring;
          glow += (std::exp(-d * d / 2.0) + 0.3 * std::exp(-d * d / 16.0)) / (1.0 + ring / 30.0);
        }
        r += 0.10 * glow;
        g += 0.55 * glow;
        b += 0.25 * glow;
      }
      unsigned char* px = image.At(x, y);
      px[0] = ToByte(r);
      px[1] = ToByte(g);
      px[2] = ToByte(b);
    }
  }
  return image;
}

}  // namespace assetgen
